#pragma once
#include "platform/Clock.h"

// GetTickCount, GetLocalTime and Sleep.
class cWin32Clock final : public cClock {
public:
    uint32_t GetTickCount() override;
    cLocalTime GetLocalTime() override;
    void Sleep(uint32_t milliseconds) override;
};

// Day and month names from GetLocaleInfoA for LOCALE_USER_DEFAULT; an empty
// text for a number out of range or when the system has no name.
class cWin32Locale final : public cLocale {
public:
    std::string ShortDayName(int dayOfWeek) override;
    std::string LongDayName(int dayOfWeek) override;
    std::string ShortMonthName(int month) override;
    std::string LongMonthName(int month) override;
};
