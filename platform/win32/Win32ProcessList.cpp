#include "platform/win32/Win32ProcessList.h"

#include "platform/win32/Win32Handle.h"

#include <tlhelp32.h>

bool cWin32ProcessList::ForEachProcess(const cVisit& visit)
{
    const cScopedHandle snapshot(CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0));
    if (!snapshot.IsOpen())
        return false;
    PROCESSENTRY32 entry = {};
    entry.dwSize = sizeof(entry);
    for (BOOL more = Process32First(snapshot.Get(), &entry); more; more = Process32Next(snapshot.Get(), &entry)) {
        entry.szExeFile[sizeof(entry.szExeFile) - 1] = '\0';
        visit(entry.szExeFile, static_cast<uint32_t>(entry.th32ProcessID));
    }
    return true;
}
