#include "platform/win32/Win32ProcessList.h"

#include "platform/win32/Win32.h"

#include <tlhelp32.h>

bool cWin32ProcessList::Snapshot(std::vector<cProcessEntry>& processes)
{
    processes.clear();
    HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
    if (snapshot == INVALID_HANDLE_VALUE)
        return false;
    PROCESSENTRY32 entry = {};
    entry.dwSize = sizeof(entry);
    for (BOOL more = Process32First(snapshot, &entry); more; more = Process32Next(snapshot, &entry)) {
        entry.szExeFile[sizeof(entry.szExeFile) - 1] = '\0';
        processes.push_back({entry.szExeFile, static_cast<uint32_t>(entry.th32ProcessID)});
    }
    cLastErrorKeeper keepError;
    CloseHandle(snapshot);
    return true;
}
