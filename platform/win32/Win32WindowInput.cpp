// What the logic sends to other programs' windows: registered messages with
// a time limit, keyboard input for the foreground window and Z-order moves.
#include "platform/win32/Win32Windowing.h"

#include "platform/win32/Win32.h"
#include "platform/win32/Win32Callbacks.h"

namespace {

HWND ToHwnd(WindowHandle window)
{
    return reinterpret_cast<HWND>(window);
}

}  // namespace

uint32_t cWin32Windowing::RegisterWindowMessage(const std::string& name)
{
    return RegisterWindowMessageA(name.c_str());
}

bool cWin32Windowing::SendMessageTimeout(WindowHandle window, uint32_t message, uintptr_t wParam, intptr_t lParam,
                                         uint32_t flags, uint32_t timeout, uintptr_t& result)
{
    DWORD_PTR answer = 0;
    const LRESULT done =
        SendMessageTimeoutA(ToHwnd(window), message, wParam, lParam, flags, timeout, &answer);
    RethrowCallbackException();
    result = answer;
    return done != 0;
}

uint32_t cWin32Windowing::SendKeyboardInput(const std::vector<cKeyEvent>& events)
{
    std::vector<INPUT> inputs(events.size());
    for (size_t i = 0; i < events.size(); ++i) {
        inputs[i].type = INPUT_KEYBOARD;
        inputs[i].ki.wVk = events[i].VirtualKey;
        inputs[i].ki.dwFlags = events[i].KeyUp ? KEYEVENTF_KEYUP : 0;
    }
    return SendInput(static_cast<UINT>(inputs.size()), inputs.data(), sizeof(INPUT));
}

bool cWin32Windowing::SetWindowPos(WindowHandle window, WindowHandle insertAfter, int x, int y, int width, int height,
                                   uint32_t flags)
{
    return ::SetWindowPos(ToHwnd(window), ToHwnd(insertAfter), x, y, width, height, flags) != FALSE;
}
