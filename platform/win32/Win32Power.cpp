#include "platform/win32/Win32Power.h"

#include "platform/win32/Win32.h"

namespace {

FILETIME ToFileTime(uint64_t value)
{
    FILETIME time;
    time.dwLowDateTime = static_cast<DWORD>(value);
    time.dwHighDateTime = static_cast<DWORD>(value >> 32);
    return time;
}

}  // namespace

int32_t cWin32Power::IsSystemResumeAutomatic()
{
    return ::IsSystemResumeAutomatic();
}

bool cWin32Power::GetLastInputTick(uint32_t& tick)
{
    LASTINPUTINFO input = {};
    input.cbSize = sizeof(input);
    if (!::GetLastInputInfo(&input))
        return false;
    tick = input.dwTime;
    return true;
}

bool cWin32Power::SetPriorityClass(uint32_t priorityClass)
{
    return ::SetPriorityClass(GetCurrentProcess(), priorityClass) != FALSE;
}

bool cWin32FileTimes::FileTimeToLocalFileTime(uint64_t utc, uint64_t& local)
{
    const FILETIME in = ToFileTime(utc);
    FILETIME out = {};
    if (!::FileTimeToLocalFileTime(&in, &out))
        return false;
    local = static_cast<uint64_t>(out.dwHighDateTime) << 32 | out.dwLowDateTime;
    return true;
}

bool cWin32FileTimes::FileTimeToSystemTime(uint64_t fileTime, cLocalTime& time)
{
    const FILETIME in = ToFileTime(fileTime);
    SYSTEMTIME out = {};
    if (!::FileTimeToSystemTime(&in, &out))
        return false;
    time.Year = out.wYear;
    time.Month = out.wMonth;
    time.DayOfWeek = out.wDayOfWeek;
    time.Day = out.wDay;
    time.Hour = out.wHour;
    time.Minute = out.wMinute;
    time.Second = out.wSecond;
    time.Milliseconds = out.wMilliseconds;
    return true;
}
