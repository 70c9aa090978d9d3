#include "targets/Blanker.h"

#include <algorithm>

#include "engine/PowerEvents.h"
#include "foundation/WindowsVersion.h"
#include "platform/WinConst.h"

namespace {

constexpr const char* THREAD_NAME = "SLH blanking thread";
constexpr const char* CLASS_NAME = "BlankerWindow";
constexpr const char* WINDOW_TITLE = "SLH blanker";
// Created maximised: shown, it covers the whole screen.
constexpr uint32_t WINDOW_STYLE = WS_POPUP | WS_MAXIMIZE | 0x80;
constexpr int32_t WINDOW_X = 10;
constexpr int32_t WINDOW_Y = 10;
constexpr int32_t WINDOW_WIDTH = 400;
constexpr int32_t WINDOW_HEIGHT = 500;
constexpr uint32_t BLANK_COLOUR = 0x003B1609;  // RGB(9, 22, 59)
constexpr uint8_t TRANSLUCENT_ALPHA = 210;

constexpr uintptr_t WATCH_TIMER = 1;
constexpr uint32_t WATCH_PERIOD_MS = 100;
constexpr uint32_t WATCH_LIMIT_MS = 45000;
// After a user wake the screen is never blank for longer than this.
constexpr uintptr_t USER_WAKE_TIMER = 2;
constexpr uint32_t USER_WAKE_LIMIT_MS = 60000;

constexpr const char* TASKBAR_CLASS = "Shell_traywnd";
constexpr const char* START_BUTTON_CLASS = "Button";
constexpr const char* START_BUTTON_TITLE = "Start";
// A mouse move to (1, 1) makes the Start button redraw itself.
constexpr intptr_t START_BUTTON_POINT = 0x00010001;

constexpr int32_t OFF_SCREEN = 5000;
constexpr uint32_t BLACK = 0x000000;
constexpr uint32_t GREY = 0x808080;

namespace Text {
constexpr const char* DEBUG_CAPTION = "SLH Blanker debug";
constexpr const char* WATCH_TIMED_OUT = "Target start detection timeout";
constexpr const char* USER_WAKE_TIMED_OUT = "Failed to meet unblank requirements";
constexpr const char* LOOP_ERROR_CAPTION = "BlankerWindow - GetLastError";
}  // namespace Text

}  // namespace

cBlanker::cBlanker(cPlatform& platform, uint8_t options, const cWindowsVersion& version)
    : Platform(platform), Options(options), XpFamily(version.IsXpFamily()),
      HidesTaskBar(!version.IsWindows7OrLater()), Ready(Platform.Threads.CreateThreadEvent())
{
    if (!Ready)
        return;
    Thread = Platform.Threads.StartThread(THREAD_NAME, [this] { Run(); });
    // The main thread may blank at once; the window must be there for it.
    if (Thread)
        Ready->Wait(WAIT_FOREVER);
}

cBlanker::~cBlanker()
{
    if (!Thread)
        return;
    // The thread ends the blanking itself once its loop is left, so that the
    // window, the cursor and the taskbar are only ever touched by it.
    Terminated = true;
    if (const WindowHandle window = Window)
        Platform.Windowing.PostMessage(window, WM_NULL, 0, 0);
    Thread->Join();
}

void cBlanker::Run()
{
    cCoverWindowLook look;
    look.ClassName = CLASS_NAME;
    look.Title = WINDOW_TITLE;
    look.ClassStyle = CS_VREDRAW | CS_HREDRAW | CS_DBLCLKS;
    look.Style = WINDOW_STYLE;
    look.X = WINDOW_X;
    look.Y = WINDOW_Y;
    look.Width = WINDOW_WIDTH;
    look.Height = WINDOW_HEIGHT;
    look.Cursor = IDC_APPSTARTING;
    look.BackgroundColour = Options & BLANK_DARK_BLUE ? BLANK_COLOUR : BLACK;
    if (Options & BLANK_TRANSLUCENT) {
        look.ExStyle = WS_EX_LAYERED;
        look.Alpha = TRANSLUCENT_ALPHA;
    }
    const WindowHandle window = Platform.Screen.CreateCoverWindow(look, *this);
    Window = window;
    Ready->Signal();
    if (window == 0)
        return;

    bool failedBefore = false;
    while (!Terminated) {
        const int got = Platform.Screen.PumpWindowMessage(window);
        if (got == 0)
            break;
        if (got > 0) {
            failedBefore = false;
            continue;
        }
        std::string text;
        Platform.Errors.FormatMessage(Platform.Errors.GetLastError(), text);
        Platform.Dialogs.MessageBox(text, Text::LOOP_ERROR_CAPTION, MB_ICONINFORMATION);
        // A queue that fails twice in a row does not recover; going on
        // would only stack up boxes.
        if (failedBefore)
            break;
        failedBefore = true;
    }
    EndBlanking(true);
    Window = 0;
    Platform.Screen.DestroyCoverWindow(window);
}

void cBlanker::StartBlanking()
{
    if (Window == 0 || Blanking.exchange(true))
        return;
    Platform.Windowing.PostMessage(Window, MSG_BLANK_SHOW, 0, 0);
}

void cBlanker::StopBlanking(bool restartPending)
{
    if (!Blanking.exchange(false))
        return;
    Platform.Windowing.PostMessage(Window, MSG_BLANK_HIDE, restartPending ? 1 : 0, 0);
}

void cBlanker::WatchForWindow(const std::string& windowClass, int32_t delay)
{
    if (!Blanking)
        return;
    {
        std::lock_guard<std::mutex> lock(WatchLock);
        // Window class names have at most 99 characters.
        Watch.WindowClass = windowClass.substr(0, 99);
        Watch.Delay = delay <= 0 ? 0 : std::min(static_cast<uint32_t>(delay), WATCH_LIMIT_MS);
        Watch.StartTick = Platform.Clock.GetTickCount();
        Watch.Seen = false;
    }
    Platform.Windowing.SetTimer(Window, WATCH_TIMER, WATCH_PERIOD_MS);
}

void cBlanker::HideTaskBar()
{
    if (!Blanking || !HidesTaskBar)
        return;
    if (const WindowHandle taskbar = Platform.Windowing.FindWindow(TASKBAR_CLASS, ""))
        Platform.Screen.SetVisibilityInPlace(taskbar, SWP_HIDEWINDOW);
}

bool cBlanker::HandleMessage(uint32_t message, uintptr_t wParam, intptr_t lParam, intptr_t& result)
{
    result = 0;
    switch (message) {
    case MSG_BLANK_SHOW:
        Show();
        return true;
    case MSG_BLANK_HIDE:
        EndBlanking(wParam != 0, true);
        return true;
    case WM_TIMER:
        if (wParam == WATCH_TIMER)
            OnWatchTimer();
        else if (wParam == USER_WAKE_TIMER)
            OnUserWakeTimer();
        else
            return false;
        return true;
    case WM_POWERBROADCAST:
        // Like every top-level window, this one hears of the user's wake.
        if (wParam != PBT_APMRESUMESUSPEND)
            return false;
        Platform.Windowing.SetTimer(Window, USER_WAKE_TIMER, USER_WAKE_LIMIT_MS);
        result = 1;
        return true;
    case WM_LBUTTONDBLCLK:
        // The user can always take the blank screen away.
        EndBlanking(true);
        return true;
    case WM_ACTIVATE: {
        // The taskbar taking the activation would come out on top of the
        // blank screen (the XP family has it hidden instead).
        const WindowHandle taskbar = Platform.Windowing.FindWindow(TASKBAR_CLASS, "");
        if ((wParam & 0xFFFF) != WA_INACTIVE || taskbar == 0 || static_cast<WindowHandle>(lParam) != taskbar)
            return false;
        if (Shown && !XpFamily)
            Platform.Screen.MakeTopmost(Window);
        return true;
    }
    case WM_CLOSE:
        // Not closed by Alt+F4.
        return true;
    default:
        return false;
    }
}

void cBlanker::Show()
{
    // A StopBlanking that came before this message was handled: stay hidden.
    if (Shown || !Blanking)
        return;
    Platform.Screen.MakeTopmost(Window);
    Platform.Windowing.ShowWindow(Window, true);
    if (XpFamily)
        Platform.Screen.SetCursorPos(OFF_SCREEN, OFF_SCREEN);
    if (!(Options & BLANK_KEEP_CURSOR))
        Platform.Screen.ShowCursor(false);
    if (HidesTaskBar)
        ShowTaskBar(false, false);
    if (XpFamily) {
        Platform.Screen.RemoveWallpaper();
        SavedDesktopColour = Platform.Screen.GetDesktopColour();
        Platform.Screen.SetDesktopColour(Options & BLANK_DARK_BLUE ? GREY : BLACK);
        DesktopChanged = true;
    }
    Shown = true;
}

void cBlanker::EndBlanking(bool restartPending, bool flagCleared)
{
    Platform.Windowing.KillTimer(Window, WATCH_TIMER);
    Platform.Windowing.KillTimer(Window, USER_WAKE_TIMER);
    // Cleared before the window goes: a StartBlanking from now on posts a
    // show that is handled after this hide, not lost in between.
    if (!flagCleared)
        Blanking = false;
    if (!Shown)
        return;
    Platform.Windowing.ShowWindow(Window, false);
    if (HidesTaskBar)
        ShowTaskBar(true, restartPending);
    if (!(Options & BLANK_KEEP_CURSOR))
        Platform.Screen.ShowCursor(true);
    if (DesktopChanged) {
        Platform.Screen.RestoreWallpaper();
        Platform.Screen.SetDesktopColour(SavedDesktopColour);
        DesktopChanged = false;
    }
    Shown = false;
}

void cBlanker::OnWatchTimer()
{
    // A watch that outlived the blanking it was made for.
    if (!Blanking) {
        Platform.Windowing.KillTimer(Window, WATCH_TIMER);
        return;
    }
    cWatch watch;
    {
        std::lock_guard<std::mutex> lock(WatchLock);
        watch = Watch;
    }
    const uint32_t now = Platform.Clock.GetTickCount();
    if (watch.Seen) {
        // The front-end gets the delay to draw itself before it is uncovered.
        if (now - watch.SeenTick >= watch.Delay)
            EndBlanking(false);
        return;
    }
    if (now - watch.StartTick < WATCH_LIMIT_MS) {
        if (watch.WindowClass.empty())
            return;
        const WindowHandle found = Platform.Windowing.FindWindow(watch.WindowClass, "");
        if (found == 0 || !Platform.Windowing.IsWindowVisible(found))
            return;
        if (watch.Delay == 0) {
            EndBlanking(false);
            return;
        }
        std::lock_guard<std::mutex> lock(WatchLock);
        // Unless a new watch began meanwhile.
        if (Watch.StartTick == watch.StartTick && Watch.WindowClass == watch.WindowClass) {
            Watch.Seen = true;
            Watch.SeenTick = now;
        }
        return;
    }
    EndBlanking(true);
    DebugBox(Text::WATCH_TIMED_OUT);
}

void cBlanker::OnUserWakeTimer()
{
    Platform.Windowing.KillTimer(Window, USER_WAKE_TIMER);
    if (!Shown)
        return;
    EndBlanking(true);
    DebugBox(Text::USER_WAKE_TIMED_OUT);
}

void cBlanker::ShowTaskBar(bool show, bool restartPending)
{
    const uint32_t flags = !show ? SWP_HIDEWINDOW : restartPending ? SWP_SHOWWINDOW : SWP_SHOWWINDOW | SWP_NOREDRAW;
    if (const WindowHandle taskbar = Platform.Windowing.FindWindow(TASKBAR_CLASS, ""))
        Platform.Screen.SetVisibilityInPlace(taskbar, flags);
    const WindowHandle start = Platform.Windowing.FindWindow(START_BUTTON_CLASS, START_BUTTON_TITLE);
    if (start == 0)
        return;
    Platform.Screen.SetVisibilityInPlace(start, flags);
    if (show)
        Platform.Windowing.SendMessage(start, WM_MOUSEMOVE, 0, START_BUTTON_POINT);
}

void cBlanker::DebugBox(const char* text)
{
    if (Options & BLANK_DEBUG_BOXES)
        Platform.Dialogs.MessageBox(text, Text::DEBUG_CAPTION, MB_OK | MB_SYSTEMMODAL);
}
