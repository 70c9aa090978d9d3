#pragma once
#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

using WindowHandle = uintptr_t;

// SendMessage to this handle reaches every top-level window (HWND_BROADCAST).
constexpr WindowHandle BROADCAST_WINDOW = 0xFFFF;
// SetWindowPos places a window after this one to make it topmost (HWND_TOPMOST).
constexpr WindowHandle TOPMOST_WINDOW = static_cast<WindowHandle>(-1);

// A top-level window as the enumeration reports it.
struct cWindowInfo {
    WindowHandle Handle = 0;
    std::string ClassName;
    std::string Title;
    uint32_t ProcessId = 0;  // of the process that created the window
};

// One keyboard event of injected input: a virtual key down or up.
struct cKeyEvent {
    uint16_t VirtualKey = 0;
    bool KeyUp = false;
};

// The state words of a title bar and its five parts, as GetTitleBarInfo
// reports them.
using cTitleBarStates = std::array<uint32_t, 6>;

// Receives the messages of a window. The platform passes every message
// through unchanged; what a message means is decided here.
class cWindowProcedure {
public:
    virtual ~cWindowProcedure() = default;

    // True when the message was handled and result holds its answer; false
    // lets the platform's default processing answer it.
    virtual bool HandleMessage(uint32_t message, uintptr_t wParam, intptr_t lParam, intptr_t& result) = 0;
};

class cSettingsView;
class cSettingsViewListener;

// Windows, messages and timers of the user-interface thread.
class cWindowing {
public:
    virtual ~cWindowing() = default;

    // A hidden top-level window (top-level so that it receives the power
    // broadcasts); 0 on failure. The procedure must outlive the window.
    virtual WindowHandle CreateMainWindow(const std::string& className, const std::string& title,
                                          cWindowProcedure& procedure) = 0;
    virtual void DestroyWindow(WindowHandle window) = 0;
    virtual void SetWindowText(WindowHandle window, const std::string& text) = 0;
    virtual std::string GetWindowText(WindowHandle window) = 0;
    virtual void ShowWindow(WindowHandle window, bool visible) = 0;
    virtual bool IsWindowVisible(WindowHandle window) = 0;
    virtual bool SetForegroundWindow(WindowHandle window) = 0;
    // A top-level window by class and title; an empty class or title matches any.
    virtual WindowHandle FindWindow(const std::string& className, const std::string& title) = 0;

    virtual bool PostMessage(WindowHandle window, uint32_t message, uintptr_t wParam, intptr_t lParam) = 0;
    virtual bool SetTimer(WindowHandle window, uintptr_t id, uint32_t milliseconds) = 0;
    virtual void KillTimer(WindowHandle window, uintptr_t id) = 0;

    // Runs the message loop until PostQuitMessage; returns its exit code.
    virtual int RunMessageLoop() = 0;
    virtual void PostQuitMessage(int exitCode) = 0;
    // Dispatches the messages that are waiting, then returns.
    virtual void ProcessMessages() = 0;

    // Delivers a message and waits for its answer (SendMessage); with
    // BROADCAST_WINDOW it goes to every top-level window.
    virtual intptr_t SendMessage(WindowHandle window, uint32_t message, uintptr_t wParam, intptr_t lParam) = 0;
    // Every top-level window of the desktop, of all processes, in the order
    // the system reports them (EnumWindows); false when the enumeration fails.
    virtual bool EnumerateWindows(std::vector<cWindowInfo>& windows) = 0;

    // The window the user is working with (GetForegroundWindow); 0 when none.
    virtual WindowHandle GetForegroundWindow() = 0;
    // The STATE_SYSTEM_* words of the window's title bar (GetTitleBarInfo,
    // rgstate): the title bar itself first, then its parts. False when the
    // call fails.
    virtual bool GetTitleBarInfo(WindowHandle window, cTitleBarStates& states) = 0;

    // The message number registered for the name, the same in every
    // program (RegisterWindowMessage); 0 on failure.
    virtual uint32_t RegisterWindowMessage(const std::string& name) = 0;
    // SendMessageTimeout with the SMTO_ flags; false when the call failed or
    // timed out, else result holds the answer.
    virtual bool SendMessageTimeout(WindowHandle window, uint32_t message, uintptr_t wParam, intptr_t lParam,
                                    uint32_t flags, uint32_t timeout, uintptr_t& result) = 0;
    // Injects the events into the input stream, where the foreground window
    // gets them (SendInput); returns how many were inserted.
    virtual uint32_t SendKeyboardInput(const std::vector<cKeyEvent>& events) = 0;
    // Moves the window in the Z order after insertAfter (TOPMOST_WINDOW: above
    // all others), with position, size and the SWP_ flags passed through.
    virtual bool SetWindowPos(WindowHandle window, WindowHandle insertAfter, int x, int y, int width, int height,
                              uint32_t flags) = 0;

    // The settings pages inside the window (platform/SettingsView.h); the
    // window and the listener must outlive the view.
    virtual std::unique_ptr<cSettingsView> CreateSettingsView(WindowHandle window,
                                                              cSettingsViewListener& listener) = 0;
};
