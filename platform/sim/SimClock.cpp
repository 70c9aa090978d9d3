#include "platform/sim/SimClock.h"

#include <algorithm>

#include "foundation/Calendar.h"

// The calendar's whole seconds plus the milliseconds.
int64_t LocalTimeToMilliseconds(const cLocalTime& t)
{
    return LocalTimeToSeconds(t) * 1000 + t.Milliseconds;
}

cLocalTime MillisecondsToLocalTime(int64_t ms)
{
    int64_t seconds = ms / 1000;
    int64_t rest = ms % 1000;
    if (rest < 0) {
        rest += 1000;
        --seconds;
    }
    cLocalTime t = SecondsToLocalTime(seconds);
    t.Milliseconds = static_cast<uint16_t>(rest);
    return t;
}

cSimClock::cSimClock()
{
    cLocalTime start;
    start.Year = 2026;
    start.Month = 12;
    start.Day = 9;
    start.Hour = 20;
    SetLocalTime(start);
}

uint32_t cSimClock::GetTickCount()
{
    return static_cast<uint32_t>(TickBase + Now_);
}

cLocalTime cSimClock::GetLocalTime()
{
    return MillisecondsToLocalTime(LocalEpochAtStart + static_cast<int64_t>(Now_));
}

void cSimClock::Sleep(uint32_t milliseconds)
{
    const uint64_t until = Now_ + milliseconds;
    if (SleepHook)
        SleepHook(until);
    Now_ = std::max(Now_, until);
}

void cSimClock::AdvanceTo(uint64_t now)
{
    if (now > Now_)
        Now_ = now;
}

void cSimClock::SetLocalTime(const cLocalTime& time)
{
    LocalEpochAtStart = LocalTimeToMilliseconds(time) - static_cast<int64_t>(Now_);
}
