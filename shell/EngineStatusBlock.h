#pragma once
#include <cstdint>
#include <span>
#include <string>

// The block in which the engine publishes its status every second for a
// configurator in another process. Little-endian; texts are ANSI,
// zero-terminated within fields of 100 bytes:
//   0   format version (signed 32-bit)   12  time since the last user input
//   4   8 bytes, zero                    112 Media Center state
//   312 extenders in use (unsigned 32)   212 recordings
// The rest of the mapping is zero. There is no lock: a reader may see a text
// half replaced, but never one without its terminating zero.
constexpr const char* ENGINE_STATUS_BLOCK_NAME = "SLH_EngineStatus";
constexpr uint32_t ENGINE_STATUS_MAPPING_SIZE = 4096;
constexpr int32_t ENGINE_STATUS_FORMAT_VERSION = 4;
// The bytes a block of this version needs.
constexpr size_t ENGINE_STATUS_BLOCK_LENGTH = 316;

struct cEngineStatus {
    std::string LastUserInput;
    std::string MediaCenterState;
    std::string Recording;
    uint32_t ExtendersInUse = 0;
};

// Sets the format version; false when the block is too short for it.
bool InitialiseEngineStatus(std::span<uint8_t> block);
// Writes the fields, texts cut to 99 characters; false (nothing written) when
// the block is too short.
bool WriteEngineStatus(std::span<uint8_t> block, const cEngineStatus& status);
// The fields of a block of this version; false when the block is of another
// version or too short. Reads nothing past the block, whatever it holds.
bool ReadEngineStatus(std::span<const uint8_t> block, cEngineStatus& status);
