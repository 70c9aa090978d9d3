#include "foundation/Calendar.h"

#include <algorithm>

namespace {

constexpr int64_t SECONDS_PER_DAY = 86400;

// Days since 1970-01-01 of a civil date.
int64_t DaysFromCivil(int64_t year, unsigned month, unsigned day)
{
    year -= month <= 2;
    const int64_t era = (year >= 0 ? year : year - 399) / 400;
    const unsigned yearOfEra = static_cast<unsigned>(year - era * 400);
    const unsigned dayOfYear = (153 * (month + (month > 2 ? -3 : 9)) + 2) / 5 + day - 1;
    const unsigned dayOfEra = yearOfEra * 365 + yearOfEra / 4 - yearOfEra / 100 + dayOfYear;
    return era * 146097 + static_cast<int64_t>(dayOfEra) - 719468;
}

void CivilFromDays(int64_t days, int64_t& year, unsigned& month, unsigned& day)
{
    days += 719468;
    const int64_t era = (days >= 0 ? days : days - 146096) / 146097;
    const unsigned dayOfEra = static_cast<unsigned>(days - era * 146097);
    const unsigned yearOfEra = (dayOfEra - dayOfEra / 1460 + dayOfEra / 36524 - dayOfEra / 146096) / 365;
    const unsigned dayOfYear = dayOfEra - (365 * yearOfEra + yearOfEra / 4 - yearOfEra / 100);
    const unsigned shifted = (5 * dayOfYear + 2) / 153;
    day = dayOfYear - (153 * shifted + 2) / 5 + 1;
    month = shifted < 10 ? shifted + 3 : shifted - 9;
    year = static_cast<int64_t>(yearOfEra) + era * 400 + (month <= 2);
}

// 0 = Sunday; 1970-01-01 was a Thursday.
int DayOfWeek(int64_t days)
{
    return static_cast<int>(((days % 7) + 11) % 7);
}

bool IsLeapYear(int year)
{
    return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
}

int DaysInMonth(int year, int month)
{
    static constexpr int DAYS[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    return month == 2 && IsLeapYear(year) ? 29 : DAYS[month - 1];
}

}  // namespace

int64_t LocalTimeToSeconds(const cLocalTime& time)
{
    return DaysFromCivil(time.Year, time.Month, time.Day) * SECONDS_PER_DAY + time.Hour * 3600 + time.Minute * 60 +
           time.Second;
}

cLocalTime SecondsToLocalTime(int64_t seconds)
{
    int64_t days = seconds / SECONDS_PER_DAY;
    int64_t rest = seconds % SECONDS_PER_DAY;
    if (rest < 0) {
        rest += SECONDS_PER_DAY;
        --days;
    }
    int64_t year = 0;
    unsigned month = 0;
    unsigned day = 0;
    CivilFromDays(days, year, month, day);
    cLocalTime time;
    time.Year = static_cast<uint16_t>(year);
    time.Month = static_cast<uint16_t>(month);
    time.Day = static_cast<uint16_t>(day);
    time.DayOfWeek = static_cast<uint16_t>(DayOfWeek(days));
    time.Hour = static_cast<uint16_t>(rest / 3600);
    time.Minute = static_cast<uint16_t>(rest / 60 % 60);
    time.Second = static_cast<uint16_t>(rest % 60);
    return time;
}

int IsoWeekNumber(const cLocalTime& time)
{
    // The week belongs to the year of its Thursday; week 1 holds 4 January.
    const int64_t days = DaysFromCivil(time.Year, time.Month, time.Day);
    const int mondayBased = (DayOfWeek(days) + 6) % 7;  // 0 = Monday
    const int64_t thursday = days - mondayBased + 3;
    int64_t year = 0;
    unsigned month = 0;
    unsigned day = 0;
    CivilFromDays(thursday, year, month, day);
    const int64_t firstOfYear = DaysFromCivil(year, 1, 1);
    return static_cast<int>((thursday - firstOfYear) / 7 + 1);
}

uint32_t ToDosDateTime(const cLocalTime& time)
{
    const uint32_t year = static_cast<uint32_t>(std::clamp(static_cast<int>(time.Year), 1980, 2107) - 1980);
    const uint32_t date = year * 512 + time.Month * 32u + time.Day;
    const uint32_t clock = time.Hour * 2048u + time.Minute * 32u + time.Second / 2u;
    return date << 16 | clock;
}

bool FromDosDateTime(uint32_t dosDateTime, cLocalTime& time)
{
    const uint32_t date = dosDateTime >> 16;
    const uint32_t clock = dosDateTime & 0xFFFF;
    const int year = static_cast<int>(date / 512) + 1980;
    const int month = static_cast<int>(date / 32 % 16);
    const int day = static_cast<int>(date % 32);
    const int hour = static_cast<int>(clock / 2048);
    const int minute = static_cast<int>(clock / 32 % 64);
    const int second = static_cast<int>(clock % 32) * 2;
    if (month < 1 || month > 12 || day < 1 || day > DaysInMonth(year, month) || hour > 23 || minute > 59 ||
        second > 59)
        return false;
    cLocalTime parsed;
    parsed.Year = static_cast<uint16_t>(year);
    parsed.Month = static_cast<uint16_t>(month);
    parsed.Day = static_cast<uint16_t>(day);
    parsed.Hour = static_cast<uint16_t>(hour);
    parsed.Minute = static_cast<uint16_t>(minute);
    parsed.Second = static_cast<uint16_t>(second);
    // The day of the week comes from the date.
    time = SecondsToLocalTime(LocalTimeToSeconds(parsed));
    return true;
}
