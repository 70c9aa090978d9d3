#include "platform/win32/Win32SystemInfo.h"

#include "platform/win32/Win32.h"

#include <cstring>

bool cWin32SystemInfo::GetVersionRecord(cOsVersionRecord& record)
{
    // What Windows reports to this program: from Windows 8.1 on, a program
    // whose manifest does not name the newer versions is told 6.2.
    OSVERSIONINFOEXA info = {};
    info.dwOSVersionInfoSize = sizeof(info);
    if (!GetVersionExA(reinterpret_cast<OSVERSIONINFOA*>(&info)))
        return false;
    record.Major = info.dwMajorVersion;
    record.Minor = info.dwMinorVersion;
    record.Build = info.dwBuildNumber;
    record.PlatformId = info.dwPlatformId;
    record.ServicePack.assign(info.szCSDVersion, strnlen(info.szCSDVersion, sizeof(info.szCSDVersion)));
    record.ServicePackMajor = info.wServicePackMajor;
    record.ServicePackMinor = info.wServicePackMinor;
    record.SuiteMask = info.wSuiteMask;
    record.ProductType = info.wProductType;
    return true;
}

int cWin32SystemInfo::GetSystemMetric(int index)
{
    return GetSystemMetrics(index);
}

bool cWin32SystemInfo::IsWow64Process(bool& wow64)
{
    using tIsWow64Process = BOOL(WINAPI*)(HANDLE, PBOOL);
    auto isWow64Process = LookUpProcedure<tIsWow64Process>("kernel32", "IsWow64Process");
    if (isWow64Process == nullptr)
        return false;
    BOOL answer = FALSE;
    if (!isWow64Process(GetCurrentProcess(), &answer))
        return false;
    wow64 = answer != FALSE;
    return true;
}
