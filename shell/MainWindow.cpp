#include "shell/MainWindow.h"

#include "foundation/FileVersion.h"
#include "foundation/MessageLogger.h"
#include "foundation/WindowsVersion.h"
#include "platform/WinConst.h"

namespace {

constexpr const char* WINDOW_CLASS = "TApplication";
constexpr const char* CAPTION = "Slumberhold";
constexpr const char* ENGINE_TITLE = "Slumberhold - Engine mode";
constexpr const char* LOG_FILE_NAME = "SLH Log.txt";
constexpr uintptr_t TIMER1 = 1;
constexpr uintptr_t TIMER2 = 2;
constexpr uint32_t TIMER_INTERVAL_MS = 1000;

// The compiler's build moment, as "Dec 10 2026, 13:55:42".
constexpr const char* BUILD_MOMENT = __DATE__ ", " __TIME__;

}  // namespace

TfMain::TfMain(cPlatform& platform) : Platform(platform)
{
    Window = Platform.Windowing.CreateMainWindow(WINDOW_CLASS, CAPTION, *this);

    SuspendIdleOnResume =
        std::make_unique<cPersistentInteger>(Platform.Registry, "SuspendIdleOnResume", HIVE_LOCAL_MACHINE, 0);
    LogWindowsIdleDetails =
        std::make_unique<cPersistentBool>(Platform.Registry, "LogWindowsIdleDetails", HIVE_LOCAL_MACHINE, false);
    Logger = std::make_unique<cMessageLogger>(Platform, LOG_FILE_NAME);
    // The status block and the session counter join here.
    Version = std::make_unique<cWindowsVersion>(Platform);

    Flags = ParseSwitches(Platform.Processes.CommandLineArguments());

    // The graphics-driver fix, the OS configuration, the system-information
    // reader, the processor information, the tray icon and the engine are
    // created here, in that order; then the logger's new-file hook, the UI
    // font, the wake devices, the recording monitor and the idle fix.

    // With the engine role: the tray icon, the status block and session
    // notifications start here.

    Platform.Windowing.SetTimer(Window, TIMER2, TIMER_INTERVAL_MS);
    WriteStartupLines();
    if (!Flags.HandlePowerEvents)
        Platform.Windowing.ShowWindow(Window, true);
    Platform.Windowing.PostMessage(Window, MSG_INIT_DONE, 0, 0);
}

TfMain::~TfMain()
{
    Platform.Windowing.KillTimer(Window, TIMER1);
    Platform.Windowing.KillTimer(Window, TIMER2);
    // The objects of the engine side go first, in reverse order of creation.
    Logger->WriteLine("Slumberhold/frontend closed.");
    Logger->WriteLine("", false);
    Version.reset();
    Logger.reset();
    LogWindowsIdleDetails.reset();
    SuspendIdleOnResume.reset();
    Platform.Windowing.DestroyWindow(Window);
}

void TfMain::WriteStartupLines()
{
    if (Flags.EngineRole || !Flags.ConfiguratorRole) {
        Logger->WriteLine("---------------------------------------------------", false);
        Logger->WriteLine(std::string("Starting ") + CAPTION);
        Logger->WriteLine("SLH Version         : " + cFileVersion(Platform).GetFullVersion(), false);
        Logger->WriteLine(std::string("Build               : ") + BUILD_MOMENT, false);
    } else {
        Logger->WriteLine(std::string("Starting frontend: ") + CAPTION);
    }
}

bool TfMain::HandleMessage(uint32_t message, uintptr_t wParam, intptr_t, intptr_t& result)
{
    switch (message) {
    case MSG_INIT_DONE:
        OnInitDone();
        result = 0;
        return true;
    case WM_CLOSE:
        Close();
        result = 0;
        return true;
    case WM_TIMER:
        if (wParam == TIMER2)
            Timer2Timer();
        result = 0;
        return true;
    default:
        return false;
    }
}

void TfMain::OnInitDone()
{
    Logger->WriteLine("Initialisation done");
    Platform.Windowing.SetWindowText(Window,
                                     Flags.EngineRole && !Flags.ConfiguratorRole ? ENGINE_TITLE : CAPTION);
    // The engine's start-up check (forced-reboot follow-up, front-ends at
    // logon) runs here when EngineRole is set and Installing is not.
}

void TfMain::Exit1Click()
{
    ExitRequested = true;
    Close();
}

void TfMain::Close()
{
    if (!FormCloseQuery())
        return;
    FormClose();
    Platform.Windowing.PostQuitMessage(0);
}

bool TfMain::FormCloseQuery()
{
    if (CloseQueryGuard)
        return false;
    bool canClose = true;
    if (Flags.EngineRole) {
        if (ExitRequested) {
            CloseQueryGuard = true;
            const int answer = Platform.Dialogs.MessageBox(
                "This will disable the advanced features of SLH,\rare you sure you want to close SLH?",
                "Close Slumberhold", MB_YESNO | MB_ICONWARNING | MB_SYSTEMMODAL);
            canClose = answer != IDNO;
            CloseQueryGuard = false;
        } else if (Flags.ConfiguratorRole) {
            // In tray mode closing the window only hides it; "Exit" ends the process.
            HideWindow();
            // The reboot notice of the settings pages is shown here.
            canClose = false;
        }
    }
    ExitRequested = false;
    return canClose;
}

void TfMain::FormClose()
{
    // The reboot notice of the settings pages is shown here in the configurator role.
    Logger->WriteLine("FormClose");
}

void TfMain::HideWindow()
{
    Logger->WriteLine("Hide()");
    Platform.Windowing.ShowWindow(Window, false);
}

void TfMain::Timer2Timer()
{
    // The heartbeat: the configurator's status display, the awake-state
    // evaluation and the engine's status block hang off this tick.
}
