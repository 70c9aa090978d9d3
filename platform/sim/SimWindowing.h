#pragma once
#include <cstdint>
#include <deque>
#include <functional>
#include <limits>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/Windowing.h"
#include "platform/sim/SimSettingsView.h"

class cSimClock;

// The simulated user-interface thread: windows, posted messages, timers and
// scheduled outside events (a broadcast from Windows, the user pressing a
// key), all on one virtual time line. Nothing runs unless the simulation
// pumps it.
class cSimWindowing : public cWindowing, private cSimSettingsView::cOwner {
public:
    explicit cSimWindowing(cSimClock& clock) : Clock(clock) {}

    WindowHandle CreateMainWindow(const std::string& className, const std::string& title,
                                  cWindowProcedure& procedure) override;
    void DestroyWindow(WindowHandle window) override;
    void SetWindowText(WindowHandle window, const std::string& text) override;
    std::string GetWindowText(WindowHandle window) override;
    void ShowWindow(WindowHandle window, bool visible) override;
    bool IsWindowVisible(WindowHandle window) override;
    bool SetForegroundWindow(WindowHandle window) override;
    WindowHandle FindWindow(const std::string& className, const std::string& title) override;
    bool PostMessage(WindowHandle window, uint32_t message, uintptr_t wParam, intptr_t lParam) override;
    bool SetTimer(WindowHandle window, uintptr_t id, uint32_t milliseconds) override;
    void KillTimer(WindowHandle window, uintptr_t id) override;
    // Runs until the quit message or, as a guard against a program that never
    // quits, until a virtual day has passed (then returns -1).
    int RunMessageLoop() override;
    void PostQuitMessage(int exitCode) override;
    void ProcessMessages() override;

    // Delivers a message synchronously, as SendMessage from another process
    // does. A message to BROADCAST_WINDOW is recorded and goes to every
    // window of the program.
    intptr_t SendMessage(WindowHandle window, uint32_t message, uintptr_t wParam, intptr_t lParam) override;
    // The program's own windows and those AddWindow added, in creation order.
    bool EnumerateWindows(std::vector<cWindowInfo>& windows) override;
    WindowHandle GetForegroundWindow() override;
    // The first word is the window's title-bar state (SetTitleBarState); the
    // parts read 0. Fails for a window that does not exist.
    bool GetTitleBarInfo(WindowHandle window, cTitleBarStates& states) override;
    // Numbers from 0xC000 up, one per name.
    uint32_t RegisterWindowMessage(const std::string& name) override;
    // Fails for a window that does not exist; otherwise the window's answer.
    bool SendMessageTimeout(WindowHandle window, uint32_t message, uintptr_t wParam, intptr_t lParam, uint32_t flags,
                            uint32_t timeout, uintptr_t& result) override;
    // Records the events. Alt+Esc moves the foreground to the next window;
    // Alt+F4 sends WM_CLOSE to the foreground window, as Windows does.
    uint32_t SendKeyboardInput(const std::vector<cKeyEvent>& events) override;
    const std::vector<cKeyEvent>& KeyEvents() const { return KeyEvents_; }
    // Records the call; fails for a window that does not exist.
    bool SetWindowPos(WindowHandle window, WindowHandle insertAfter, int x, int y, int width, int height,
                      uint32_t flags) override;
    struct cPlacement {
        WindowHandle Window;
        WindowHandle InsertAfter;
        uint32_t Flags;
    };
    const std::vector<cPlacement>& Placements() const { return Placements_; }
    std::unique_ptr<cSettingsView> CreateSettingsView(WindowHandle window, cSettingsViewListener& listener) override;
    // The settings pages the program shows; null while it shows none.
    cSimSettingsView* SettingsView() { return View; }
    // Runs action at the virtual moment at (milliseconds since simulation start).
    void Schedule(uint64_t at, std::function<void()> action);
    // Pumps everything due up to the moment until, then sets the clock there.
    // Returns early, with the clock at that moment, once quit has been posted.
    void RunUntil(uint64_t until);
    // A handler that sleeps on the main thread normally holds every outside
    // event back until it returns. Tests of re-entrance let the scheduled
    // outside events in during such sleeps, as a message pump inside a called
    // component would.
    void SetDeliverDuringSleep(bool deliver);
    bool QuitPosted() const { return QuitRequested; }
    // A new program starts with a fresh message queue.
    void StartNewProcess()
    {
        QuitRequested = false;
        Posted.clear();
    }
    int ExitCode() const { return QuitCode; }
    WindowHandle ForegroundWindow() { return GetForegroundWindow(); }

    // A top-level window of another process (a front-end, the taskbar...).
    // It answers every message with 0 until SetWindowAnswer.
    WindowHandle AddWindow(const std::string& className, const std::string& title, uint32_t processId);
    // What another program's window answers to the messages sent or posted
    // to it (posted ones are handled at once).
    using tAnswer = std::function<intptr_t(uint32_t message, uintptr_t wParam, intptr_t lParam)>;
    void SetWindowAnswer(WindowHandle window, tAnswer answer);
    // The windows of the process disappear at the virtual moment at.
    void CloseWindowsOfProcess(uint32_t processId, uint64_t at);
    // Sends WM_CLOSE to every window of the process.
    void RequestCloseOfProcess(uint32_t processId);
    // While locked, neither SetForegroundWindow nor Alt+Esc changes the
    // foreground window (another program holds the foreground lock).
    void SetForegroundLocked(bool locked) { ForegroundLocked = locked; }
    // The process id of the program's own windows.
    static constexpr uint32_t OWN_PROCESS_ID = 0x0F10;
    void SetEnumerationFails(bool fails) { EnumerationFails = fails; }
    // The STATE_SYSTEM_* word of the window's title bar: 0 (a normal,
    // visible caption) until set; a full-screen window has none
    // (STATE_SYSTEM_INVISIBLE, 0x8000).
    void SetTitleBarState(WindowHandle window, uint32_t state);
    // GetTitleBarInfo fails for the window.
    void SetTitleBarFails(WindowHandle window, bool fails);
    struct cBroadcast {
        uint32_t Message;
        uintptr_t WParam;
        intptr_t LParam;
    };
    const std::vector<cBroadcast>& Broadcasts() const { return Broadcasts_; }

    // A window of the program owned by a simulated thread (cSimThreads), not
    // by the simulation's own: what is posted or sent to it, and its timers,
    // wait in a queue of the window, wake is called for each, and the thread
    // hands them to the procedure with DispatchThreadMessage. A message sent
    // to it answers what the procedure answered when the woken thread took
    // it at once, else 0 (the thread was busy elsewhere).
    WindowHandle CreateThreadWindow(const std::string& className, const std::string& title,
                                    cWindowProcedure& procedure, std::function<void()> wake);
    // The next message of the window's queue to its procedure; false when
    // the queue is empty.
    bool DispatchThreadMessage(WindowHandle window);
    // While held, messages for thread windows queue up without waking their
    // threads, as when a thread is busy; the release wakes every thread that
    // has messages waiting.
    void HoldThreadDelivery(bool hold);
    struct cPostedMessage {
        WindowHandle Window;
        uint32_t Message;
        uintptr_t WParam;
        intptr_t LParam;
    };
    // Every message posted to a window of the program, in order.
    const std::vector<cPostedMessage>& PostedMessages() const { return PostLog; }

private:
    struct cQueued {
        uint32_t Message;
        uintptr_t WParam;
        intptr_t LParam;
        // Set for a sent message: where its answer goes.
        std::shared_ptr<std::optional<intptr_t>> Answer;
    };
    struct cWindow {
        std::string ClassName;
        std::string Title;
        cWindowProcedure* Procedure = nullptr;  // null for windows of other processes
        bool Visible = false;
        uint32_t ProcessId = OWN_PROCESS_ID;
        uint32_t TitleBarState = 0;
        bool TitleBarFails = false;
        uint64_t ClosesAt = std::numeric_limits<uint64_t>::max();
        tAnswer Answer;
        // Set for a window of a simulated thread, with its own queue.
        std::function<void()> Wake;
        std::deque<cQueued> Queue;
    };
    struct cPosted {
        WindowHandle Window;
        uint32_t Message;
        uintptr_t WParam;
        intptr_t LParam;
    };
    struct cTimer {
        uint32_t Interval;
        uint64_t Due;
    };

    void Forget(cSimSettingsView& view) override;
    void DeliverPosted();
    // Queues the message for a thread window and wakes its thread.
    void QueueForThread(WindowHandle window, cQueued message);
    // Forgets the windows whose programs have ended by now.
    void Prune();
    // Fires the earliest timer or scheduled action due by the moment limit;
    // false when none is.
    bool FireNextDue(uint64_t limit);

    cSimClock& Clock;
    cSimSettingsView* View = nullptr;
    std::map<WindowHandle, cWindow> Windows;
    std::deque<cPosted> Posted;
    std::map<std::pair<WindowHandle, uintptr_t>, cTimer> Timers;
    std::multimap<uint64_t, std::function<void()>> Scheduled;
    WindowHandle NextHandle = 0x10010;
    WindowHandle Foreground = 0;
    bool QuitRequested = false;
    int QuitCode = 0;
    bool EnumerationFails = false;
    bool ForegroundLocked = false;
    bool AltDown = false;
    std::vector<cBroadcast> Broadcasts_;
    std::vector<cKeyEvent> KeyEvents_;
    std::vector<cPlacement> Placements_;
    std::map<std::string, uint32_t> RegisteredMessages;
    std::vector<cPostedMessage> PostLog;
    bool ThreadDeliveryHeld = false;
};
