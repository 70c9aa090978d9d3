// cWin32Windowing's messages to, enumeration of and state of the windows of
// all processes (the rest of the class is in Win32Windowing.cpp).
#include "platform/win32/Win32Windowing.h"

#include "platform/win32/Win32.h"
#include "platform/win32/Win32Callbacks.h"

namespace {

// Longer titles and class names are cut; the logic reads no more anyway.
constexpr int MAX_TEXT = 512;

BOOL CALLBACK CollectWindow(HWND window, LPARAM list)
{
    auto& windows = *reinterpret_cast<std::vector<cWindowInfo>*>(list);
    try {
        cWindowInfo info;
        info.Handle = reinterpret_cast<WindowHandle>(window);
        char text[MAX_TEXT];
        int length = GetWindowTextA(window, text, MAX_TEXT);
        info.Title.assign(text, length > 0 ? static_cast<size_t>(length) : 0);
        length = GetClassNameA(window, text, MAX_TEXT);
        info.ClassName.assign(text, length > 0 ? static_cast<size_t>(length) : 0);
        DWORD processId = 0;
        GetWindowThreadProcessId(window, &processId);
        info.ProcessId = processId;
        windows.push_back(std::move(info));
        return TRUE;
    } catch (...) {
        // Out of memory: no exception may cross the system's frames.
        SetLastError(ERROR_NOT_ENOUGH_MEMORY);
        return FALSE;
    }
}

}  // namespace

intptr_t cWin32Windowing::SendMessage(WindowHandle window, uint32_t message, uintptr_t wParam, intptr_t lParam)
{
    const LRESULT answer = SendMessageA(reinterpret_cast<HWND>(window), message, wParam, lParam);
    RethrowCallbackException();
    return answer;
}

bool cWin32Windowing::EnumerateWindows(std::vector<cWindowInfo>& windows)
{
    windows.clear();
    // GetWindowTextA asks the program's own windows through their procedure.
    const BOOL done = EnumWindows(&CollectWindow, reinterpret_cast<LPARAM>(&windows));
    RethrowCallbackException();
    return done != FALSE;
}

WindowHandle cWin32Windowing::GetForegroundWindow()
{
    return reinterpret_cast<WindowHandle>(::GetForegroundWindow());
}

bool cWin32Windowing::GetTitleBarInfo(WindowHandle window, cTitleBarStates& states)
{
    TITLEBARINFO info{};
    info.cbSize = sizeof info;
    if (!::GetTitleBarInfo(reinterpret_cast<HWND>(window), &info))
        return false;
    static_assert(sizeof info.rgstate / sizeof info.rgstate[0] == std::tuple_size_v<cTitleBarStates>);
    for (size_t i = 0; i < states.size(); ++i)
        states[i] = info.rgstate[i];
    return true;
}
