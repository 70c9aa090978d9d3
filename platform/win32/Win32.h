#pragma once
// The one way into the Windows headers for platform/win32/: every source of
// this folder includes this file instead of <windows.h>. Never include
// platform/WinConst.h here: it defines constants under the names that
// <windows.h> defines as macros.
//
// The program runs on Windows XP too. _WIN32_WINNT declares the Windows 7 API
// so that its types are known, but anything newer than XP must be looked up
// at run time with GetProcAddress (see LookUpProcedure) and not linked
// directly, or the program would not load on XP.
#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#ifndef NOMINMAX
#define NOMINMAX
#endif
#ifdef _WIN32_WINNT
#undef _WIN32_WINNT
#endif
#define _WIN32_WINNT 0x0601

#include <windows.h>

// <windows.h> maps these generic names to their A or W functions with
// macros; the platform interfaces use the same names for their operations.
// Sources here call the A functions by their full names.
#undef CreateDirectory
#undef CreateProcess
#undef DeleteFile
#undef FindWindow
#undef FormatMessage
#undef GetModuleFileName
#undef GetSystemDirectory
#undef GetTempFileName
#undef GetTempPath
#undef GetWindowsDirectory
#undef LoadIcon
#undef GetWindowText
#undef MessageBox
#undef PostMessage
#undef SendMessage
#undef SetWindowText

// The address of an exported procedure as a typed function pointer; null when
// the module is not loaded or does not export it. The module must already be
// loaded (kernel32, user32, ...): it is not loaded here.
template <typename tProcedure>
tProcedure LookUpProcedure(const char* moduleName, const char* procedureName)
{
    HMODULE module = GetModuleHandleA(moduleName);
    if (module == nullptr)
        return nullptr;
    // Through void* so that GCC does not warn about the cast between
    // unrelated function types (FARPROC has no parameters).
    return reinterpret_cast<tProcedure>(reinterpret_cast<void*>(GetProcAddress(module, procedureName)));
}

// Keeps the calling thread's last-error code across clean-up (closing a
// handle after a failed call), so that the logic still reads the code of the
// call that failed.
class cLastErrorKeeper {
public:
    cLastErrorKeeper() : Saved(GetLastError()) {}
    ~cLastErrorKeeper() { SetLastError(Saved); }
    cLastErrorKeeper(const cLastErrorKeeper&) = delete;
    cLastErrorKeeper& operator=(const cLastErrorKeeper&) = delete;

private:
    DWORD Saved;
};
