#pragma once
#include <atomic>
#include <cstdint>
#include <memory>
#include <mutex>
#include <string>

#include "platform/Platform.h"
#include "targets/ScreenBlanker.h"

class cWindowsVersion;

// Bits of the BlankScreen setting that change how the blanker works.
constexpr uint8_t BLANK_TRANSLUCENT = 0x02;
// Dark blue instead of black: the window, and on the XP family a grey desktop.
constexpr uint8_t BLANK_DARK_BLUE = 0x04;
constexpr uint8_t BLANK_DEBUG_BOXES = 0x10;
constexpr uint8_t BLANK_KEEP_CURSOR = 0x20;

// The black window's private messages.
constexpr uint32_t MSG_BLANK_SHOW = 35755;
constexpr uint32_t MSG_BLANK_HIDE = 35756;  // wParam: restart-pending (0 or 1)

// Hides the desktop behind a full-screen window while the front-ends close
// and start. The window lives on a thread of its own, with its own message
// loop, so that it stays on top and answers a double-click while the main
// thread is blocked in a power event.
//
// Owned by the engine. The operations of cScreenBlanker run on the main
// thread and reach the window only through posted messages and the watch
// timer; showing and hiding happen on the blanker thread, in the order the
// messages arrive. The threads share the blanking flag (set by the main
// thread's requests; cleared by either side, each clear followed by a hide),
// the shown flag (written by the blanker thread only) and the watch, which
// is guarded by a lock.
class cBlanker final : public cScreenBlanker, private cWindowProcedure {
public:
    // options: the BlankScreen setting. Starts the thread and returns once
    // its window exists (or could not be made: then nothing is ever shown).
    // The platform must outlive the blanker.
    cBlanker(cPlatform& platform, uint8_t options, const cWindowsVersion& version);
    // Ends the blanking and the thread, and waits for it.
    ~cBlanker() override;
    cBlanker(const cBlanker&) = delete;
    cBlanker& operator=(const cBlanker&) = delete;

    bool IsBlanking() const override { return Blanking; }
    void StartBlanking() override;
    void StopBlanking(bool restartPending) override;
    // The blanking ends delay ms (at most the 45 s limit) after a window of
    // the class has been seen visible, or after 45 s without one.
    void WatchForWindow(const std::string& windowClass, int32_t delay) override;
    void HideTaskBar() override;

    // The window; 0 when it could not be made.
    WindowHandle GetWindow() const { return Window; }

private:
    struct cWatch {
        std::string WindowClass;
        uint32_t Delay = 0;
        uint32_t StartTick = 0;
        bool Seen = false;
        uint32_t SeenTick = 0;
    };

    // The thread's body.
    void Run();
    // On the blanker thread.
    bool HandleMessage(uint32_t message, uintptr_t wParam, intptr_t lParam, intptr_t& result) override;
    void Show();
    // Hides what Show showed. flagCleared: the main thread's StopBlanking
    // has already cleared the blanking flag, and a request made since then
    // must keep it.
    void EndBlanking(bool restartPending, bool flagCleared = false);
    void OnWatchTimer();
    void OnUserWakeTimer();
    void ShowTaskBar(bool show, bool restartPending);
    void DebugBox(const char* text);

    cPlatform& Platform;
    const uint8_t Options;
    const bool XpFamily;
    // Windows 7 keeps its own taskbar above full-screen windows correctly.
    const bool HidesTaskBar;

    std::atomic<bool> Blanking{false};
    std::atomic<bool> Shown{false};
    std::atomic<bool> Terminated{false};
    std::atomic<WindowHandle> Window{0};

    std::mutex WatchLock;
    cWatch Watch;

    // Blanker thread only: the desktop colour Show replaced, if it did.
    bool DesktopChanged = false;
    uint32_t SavedDesktopColour = 0;

    std::unique_ptr<cThreadEvent> Ready;
    std::unique_ptr<cThread> Thread;
};
