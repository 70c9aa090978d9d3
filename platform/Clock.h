#pragma once
#include <cstdint>
#include <string>

struct cLocalTime {
    uint16_t Year = 0;
    uint16_t Month = 0;      // 1..12
    uint16_t DayOfWeek = 0;  // 0 = Sunday
    uint16_t Day = 0;
    uint16_t Hour = 0;
    uint16_t Minute = 0;
    uint16_t Second = 0;
    uint16_t Milliseconds = 0;
};

// Time as the program sees it: the 32-bit millisecond tick count (it wraps
// after 49.7 days), the local wall-clock time, and sleeping.
class cClock {
public:
    virtual ~cClock() = default;

    virtual uint32_t GetTickCount() = 0;
    virtual cLocalTime GetLocalTime() = 0;
    virtual void Sleep(uint32_t milliseconds) = 0;
};

// Day and month names of the user's locale.
class cLocale {
public:
    virtual ~cLocale() = default;

    virtual std::string ShortDayName(int dayOfWeek) = 0;  // 0 = Sunday
    virtual std::string LongDayName(int dayOfWeek) = 0;
    virtual std::string ShortMonthName(int month) = 0;    // 1..12
    virtual std::string LongMonthName(int month) = 0;
};
