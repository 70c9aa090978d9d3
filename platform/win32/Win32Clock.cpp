#include "platform/win32/Win32Clock.h"

#include "platform/win32/Win32.h"

uint32_t cWin32Clock::GetTickCount()
{
    return ::GetTickCount();
}

cLocalTime cWin32Clock::GetLocalTime()
{
    SYSTEMTIME now = {};
    ::GetLocalTime(&now);
    cLocalTime time;
    time.Year = now.wYear;
    time.Month = now.wMonth;
    time.DayOfWeek = now.wDayOfWeek;  // Windows counts from 0 = Sunday as well.
    time.Day = now.wDay;
    time.Hour = now.wHour;
    time.Minute = now.wMinute;
    time.Second = now.wSecond;
    time.Milliseconds = now.wMilliseconds;
    return time;
}

void cWin32Clock::Sleep(uint32_t milliseconds)
{
    ::Sleep(milliseconds);
}

namespace {

// The name numbers are consecutive in each group; the look-ups below count
// on it.
static_assert(LOCALE_SDAYNAME7 == LOCALE_SDAYNAME1 + 6);
static_assert(LOCALE_SABBREVDAYNAME7 == LOCALE_SABBREVDAYNAME1 + 6);
static_assert(LOCALE_SMONTHNAME12 == LOCALE_SMONTHNAME1 + 11);
static_assert(LOCALE_SABBREVMONTHNAME12 == LOCALE_SABBREVMONTHNAME1 + 11);

std::string LocaleText(LCTYPE type)
{
    char buffer[256] = {};
    int length = GetLocaleInfoA(LOCALE_USER_DEFAULT, type, buffer, sizeof(buffer));
    if (length <= 0)
        return std::string();
    return std::string(buffer);
}

// The locale's day names run from Monday (...DAYNAME1) to Sunday
// (...DAYNAME7); the interface numbers the days from 0 = Sunday.
std::string DayName(LCTYPE monday, int dayOfWeek)
{
    if (dayOfWeek < 0 || dayOfWeek > 6)
        return std::string();
    return LocaleText(monday + static_cast<LCTYPE>((dayOfWeek + 6) % 7));
}

std::string MonthName(LCTYPE january, int month)
{
    if (month < 1 || month > 12)
        return std::string();
    return LocaleText(january + static_cast<LCTYPE>(month - 1));
}

}  // namespace

std::string cWin32Locale::ShortDayName(int dayOfWeek)
{
    return DayName(LOCALE_SABBREVDAYNAME1, dayOfWeek);
}

std::string cWin32Locale::LongDayName(int dayOfWeek)
{
    return DayName(LOCALE_SDAYNAME1, dayOfWeek);
}

std::string cWin32Locale::ShortMonthName(int month)
{
    return MonthName(LOCALE_SABBREVMONTHNAME1, month);
}

std::string cWin32Locale::LongMonthName(int month)
{
    return MonthName(LOCALE_SMONTHNAME1, month);
}
