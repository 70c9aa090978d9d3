#include "platform/sim/SimClock.h"

#include <algorithm>

namespace {

// Days since 1970-01-01 of a civil date (proleptic Gregorian calendar).
int64_t DaysFromCivil(int64_t y, unsigned m, unsigned d)
{
    y -= m <= 2;
    const int64_t era = (y >= 0 ? y : y - 399) / 400;
    const unsigned yoe = static_cast<unsigned>(y - era * 400);
    const unsigned doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
    const unsigned doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + static_cast<int64_t>(doe) - 719468;
}

void CivilFromDays(int64_t z, int& year, unsigned& month, unsigned& day)
{
    z += 719468;
    const int64_t era = (z >= 0 ? z : z - 146096) / 146097;
    const unsigned doe = static_cast<unsigned>(z - era * 146097);
    const unsigned yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    const unsigned doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const unsigned mp = (5 * doy + 2) / 153;
    day = doy - (153 * mp + 2) / 5 + 1;
    month = mp < 10 ? mp + 3 : mp - 9;
    year = static_cast<int>(static_cast<int64_t>(yoe) + era * 400 + (month <= 2));
}

constexpr int64_t MS_PER_DAY = 86400000;

}  // namespace

int64_t LocalTimeToMilliseconds(const cLocalTime& t)
{
    return DaysFromCivil(t.Year, t.Month, t.Day) * MS_PER_DAY + t.Hour * 3600000LL + t.Minute * 60000LL +
           t.Second * 1000LL + t.Milliseconds;
}

cLocalTime MillisecondsToLocalTime(int64_t ms)
{
    int64_t days = ms / MS_PER_DAY;
    int64_t rest = ms % MS_PER_DAY;
    if (rest < 0) {
        rest += MS_PER_DAY;
        --days;
    }
    cLocalTime t;
    int year;
    unsigned month, day;
    CivilFromDays(days, year, month, day);
    t.Year = static_cast<uint16_t>(year);
    t.Month = static_cast<uint16_t>(month);
    t.Day = static_cast<uint16_t>(day);
    t.DayOfWeek = static_cast<uint16_t>(((days % 7) + 11) % 7);  // 1970-01-01 was a Thursday
    t.Hour = static_cast<uint16_t>(rest / 3600000);
    t.Minute = static_cast<uint16_t>(rest / 60000 % 60);
    t.Second = static_cast<uint16_t>(rest / 1000 % 60);
    t.Milliseconds = static_cast<uint16_t>(rest % 1000);
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
