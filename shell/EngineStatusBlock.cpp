#include "shell/EngineStatusBlock.h"

#include <algorithm>
#include <cstring>

namespace {

constexpr size_t VERSION_OFFSET = 0;
constexpr size_t LAST_INPUT_OFFSET = 12;
constexpr size_t MEDIA_CENTER_OFFSET = 112;
constexpr size_t RECORDING_OFFSET = 212;
constexpr size_t EXTENDERS_OFFSET = 312;
constexpr size_t TEXT_FIELD_SIZE = 100;

void PutUint32(std::span<uint8_t> block, size_t offset, uint32_t value)
{
    for (size_t i = 0; i < 4; ++i)
        block[offset + i] = static_cast<uint8_t>(value >> (8 * i));
}

uint32_t GetUint32(std::span<const uint8_t> block, size_t offset)
{
    uint32_t value = 0;
    for (size_t i = 0; i < 4; ++i)
        value |= static_cast<uint32_t>(block[offset + i]) << (8 * i);
    return value;
}

// One bounded copy: the text, then zeros to the end of the field, so that
// the last byte of the field is zero at every moment.
void PutText(std::span<uint8_t> block, size_t offset, const std::string& text)
{
    const size_t length = std::min(text.size(), TEXT_FIELD_SIZE - 1);
    std::memcpy(block.data() + offset, text.data(), length);
    std::memset(block.data() + offset + length, 0, TEXT_FIELD_SIZE - length);
}

// Up to the first zero, and never past the field: a torn or foreign block
// may hold no zero at all.
std::string GetText(std::span<const uint8_t> block, size_t offset)
{
    const uint8_t* begin = block.data() + offset;
    const uint8_t* end = std::find(begin, begin + TEXT_FIELD_SIZE - 1, 0);
    return std::string(begin, end);
}

}  // namespace

bool InitialiseEngineStatus(std::span<uint8_t> block)
{
    if (block.size() < ENGINE_STATUS_BLOCK_LENGTH)
        return false;
    PutUint32(block, VERSION_OFFSET, 0);
    PutUint32(block, VERSION_OFFSET, static_cast<uint32_t>(ENGINE_STATUS_FORMAT_VERSION));
    return true;
}

bool WriteEngineStatus(std::span<uint8_t> block, const cEngineStatus& status)
{
    if (block.size() < ENGINE_STATUS_BLOCK_LENGTH)
        return false;
    PutText(block, LAST_INPUT_OFFSET, status.LastUserInput);
    PutText(block, MEDIA_CENTER_OFFSET, status.MediaCenterState);
    PutText(block, RECORDING_OFFSET, status.Recording);
    PutUint32(block, EXTENDERS_OFFSET, status.ExtendersInUse);
    return true;
}

bool ReadEngineStatus(std::span<const uint8_t> block, cEngineStatus& status)
{
    if (block.size() < ENGINE_STATUS_BLOCK_LENGTH)
        return false;
    if (static_cast<int32_t>(GetUint32(block, VERSION_OFFSET)) != ENGINE_STATUS_FORMAT_VERSION)
        return false;
    status.LastUserInput = GetText(block, LAST_INPUT_OFFSET);
    status.MediaCenterState = GetText(block, MEDIA_CENTER_OFFSET);
    status.Recording = GetText(block, RECORDING_OFFSET);
    status.ExtendersInUse = GetUint32(block, EXTENDERS_OFFSET);
    return true;
}
