#include "detection/Cpu.h"

#include <algorithm>
#include <cstring>

#include "platform/Registry.h"

namespace {

constexpr const char* PROCESSOR_KEY = "HARDWARE\\DESCRIPTION\\System\\CentralProcessor\\0";
constexpr const char* NAME_VALUE = "ProcessorNameString";
constexpr const char* MHZ_VALUE = "~MHz";
constexpr const char* UNKNOWN = "Unknown";

// Blanks and control characters alike.
bool IsPadding(char c)
{
    return static_cast<unsigned char>(c) <= ' ' || c == 0x7F;
}

}  // namespace

std::string cCPU::GetProcessorName()
{
    cRegistryValue value;
    if (Registry.ReadValue(eHive::LocalMachine, PROCESSOR_KEY, NAME_VALUE, value) != REGRESULT_SUCCESS ||
        (value.Type != REGTYPE_SZ && value.Type != REGTYPE_EXPAND_SZ))
        return UNKNOWN;
    // The stored text ends at its first terminator, if it has one.
    std::string name(value.Data.begin(), std::find(value.Data.begin(), value.Data.end(), 0));
    const auto first = std::find_if_not(name.begin(), name.end(), IsPadding);
    const auto last = std::find_if_not(name.rbegin(), name.rend(), IsPadding).base();
    return first < last ? std::string(first, last) : std::string();
}

uint32_t cCPU::GetProcessorMhz()
{
    cRegistryValue value;
    if (Registry.ReadValue(eHive::LocalMachine, PROCESSOR_KEY, MHZ_VALUE, value) != REGRESULT_SUCCESS ||
        value.Type != REGTYPE_DWORD || value.Data.size() < sizeof(uint32_t))
        return 0;
    uint32_t mhz = 0;
    std::memcpy(&mhz, value.Data.data(), sizeof mhz);
    return mhz;
}
