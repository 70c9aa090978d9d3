#pragma once
#include "platform/Windowing.h"

#include <memory>
#include <vector>

// Windows, messages and timers through the ANSI user32 API, for the thread
// that creates the windows (the user-interface thread).
//
// The window procedure binds the cWindowProcedure at WM_NCCREATE and from
// then on passes every message, unchanged, to HandleMessage; what it does not
// handle goes to DefWindowProcA. The few messages Windows sends before
// WM_NCCREATE (WM_GETMINMAXINFO) get the default processing. An exception
// that HandleMessage throws is carried over the system's frames and rethrown
// from the call of this class (or cWin32Dialogs::MessageBox) during which
// Windows called the procedure (see Win32Callbacks.h).
class cWin32Windowing final : public cWindowing {
public:
    cWin32Windowing();
    // Windows still open are unbound first (their procedures may be gone
    // already) and then destroyed.
    ~cWin32Windowing() override;
    cWin32Windowing(const cWin32Windowing&) = delete;
    cWin32Windowing& operator=(const cWin32Windowing&) = delete;

    // Registers className (once; later calls reuse it) with the program's
    // icon resource IDI_ICON2 and creates a hidden WS_OVERLAPPEDWINDOW
    // top-level window: not a message-only window, which would miss the
    // power broadcasts.
    WindowHandle CreateMainWindow(const std::string& className, const std::string& title,
                                  cWindowProcedure& procedure) override;
    void DestroyWindow(WindowHandle window) override;
    void SetWindowText(WindowHandle window, const std::string& text) override;
    std::string GetWindowText(WindowHandle window) override;
    // SW_SHOW or SW_HIDE.
    void ShowWindow(WindowHandle window, bool visible) override;
    bool IsWindowVisible(WindowHandle window) override;
    bool SetForegroundWindow(WindowHandle window) override;
    // An empty class name or title matches any (FindWindowA with NULL).
    WindowHandle FindWindow(const std::string& className, const std::string& title) override;

    bool PostMessage(WindowHandle window, uint32_t message, uintptr_t wParam, intptr_t lParam) override;
    // WM_TIMER reaches the window's procedure with the id in wParam.
    bool SetTimer(WindowHandle window, uintptr_t id, uint32_t milliseconds) override;
    void KillTimer(WindowHandle window, uintptr_t id) override;

    // GetMessageA, TranslateMessage, DispatchMessageA until WM_QUIT; returns
    // its wParam (-1 if GetMessageA fails).
    int RunMessageLoop() override;
    void PostQuitMessage(int exitCode) override;
    // PeekMessageA(PM_REMOVE) until the queue is empty. A WM_QUIT it meets
    // is posted again and ends the call, so that RunMessageLoop still ends.
    void ProcessMessages() override;
    // SendMessageA; EnumWindows with GetWindowTextA, GetClassNameA and
    // GetWindowThreadProcessId (both in Win32WindowList.cpp).
    intptr_t SendMessage(WindowHandle window, uint32_t message, uintptr_t wParam, intptr_t lParam) override;
    bool EnumerateWindows(std::vector<cWindowInfo>& windows) override;
    // GetForegroundWindow and GetTitleBarInfo (in Win32WindowList.cpp).
    WindowHandle GetForegroundWindow() override;
    bool GetTitleBarInfo(WindowHandle window, cTitleBarStates& states) override;
    // RegisterWindowMessageA, SendMessageTimeoutA and SendInput (in
    // Win32WindowInput.cpp).
    uint32_t RegisterWindowMessage(const std::string& name) override;
    bool SendMessageTimeout(WindowHandle window, uint32_t message, uintptr_t wParam, intptr_t lParam, uint32_t flags,
                            uint32_t timeout, uintptr_t& result) override;
    uint32_t SendKeyboardInput(const std::vector<cKeyEvent>& events) override;
    bool SetWindowPos(WindowHandle window, WindowHandle insertAfter, int x, int y, int width, int height,
                      uint32_t flags) override;
    // Native common controls (Win32SettingsView.h).
    std::unique_ptr<cSettingsView> CreateSettingsView(WindowHandle window, cSettingsViewListener& listener) override;

    // What the window procedure keeps per window (defined in the source).
    struct cBinding;

private:
    friend class cWin32WindowProcedure;

    // Called at WM_NCDESTROY, when the window no longer refers to it.
    void ReleaseBinding(const cBinding* binding);

    // One per window created and not yet destroyed; owned here, so that the
    // window only refers to it.
    std::vector<std::unique_ptr<cBinding>> Bindings;
};
