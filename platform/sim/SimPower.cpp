#include "platform/sim/SimPower.h"

#include "platform/sim/SimClock.h"

namespace {

constexpr uint64_t UNITS_PER_MS = 10000;
// Milliseconds from 1601-01-01 to 1970-01-01.
constexpr int64_t MS_1601_TO_1970 = 11644473600000LL;
// Windows refuses FILETIME values with the top bit set.
constexpr uint64_t LARGEST_FILETIME = 0x7FFFFFFFFFFFFFFFULL;

}  // namespace

bool cSimPower::GetLastInputTick(uint32_t& tick)
{
    if (LastInputFails)
        return false;
    tick = LastInput;
    return true;
}

bool cSimPower::SetPriorityClass(uint32_t priorityClass)
{
    Priority = priorityClass;
    Changes.push_back(priorityClass);
    return true;
}

void cSimPower::UserInput()
{
    LastInput = Clock.GetTickCount();
}

bool cSimFileTimes::FileTimeToLocalFileTime(uint64_t utc, uint64_t& local)
{
    const int64_t shifted = static_cast<int64_t>(utc) + static_cast<int64_t>(OffsetMinutes) * 60000 *
                                                             static_cast<int64_t>(UNITS_PER_MS);
    if (utc > LARGEST_FILETIME || shifted < 0)
        return false;
    local = static_cast<uint64_t>(shifted);
    return true;
}

bool cSimFileTimes::FileTimeToSystemTime(uint64_t fileTime, cLocalTime& time)
{
    if (fileTime > LARGEST_FILETIME)
        return false;
    time = MillisecondsToLocalTime(static_cast<int64_t>(fileTime / UNITS_PER_MS) - MS_1601_TO_1970);
    return true;
}

uint64_t SimFileTimeOf(const cLocalTime& time)
{
    return static_cast<uint64_t>(LocalTimeToMilliseconds(time) + MS_1601_TO_1970) * UNITS_PER_MS;
}
