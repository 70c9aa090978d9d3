#include "shell/MainWindow.h"

#include "foundation/FileVersion.h"
#include "foundation/MessageLogger.h"
#include "foundation/WindowsVersion.h"
#include "detection/MediaCenterExtender.h"
#include "detection/RecordingMonitor.h"
#include "engine/VistaSuspendEngine.h"
#include "osconfig/OSConfigurationFactory.h"
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
    // The status block joins here.
    SessionCounter = std::make_unique<cMediaCenterExtender>(Platform);
    Version = std::make_unique<cWindowsVersion>(Platform);

    Flags = ParseSwitches(Platform.Processes.CommandLineArguments());

    // The graphics-driver fix joins here, before the OS configuration.
    OSConfiguration = CreateOSConfiguration(Platform, *Version);
    // The system-information reader, the processor information and the tray
    // icon are created here, in that order, before the engine.
    if (Version->IsVistaOrLater())
        Engine = std::make_unique<cVistaSuspendEngine>(Platform, *Version, *OSConfiguration, false, Window, *Logger);
    else
        Engine = std::make_unique<cMcePowerManager>(Platform, *Version, *OSConfiguration, false, *Logger);
    // The logger's new-file hook, the UI font and the wake devices join here.
    Monitor = std::make_unique<cRecordingMonitor>(Platform, *Engine, *Version, *Logger, *SessionCounter);
    // The idle fix joins here, then the sleep-state balloon.

    // Detection starts only after the resume delay, as after a wake.
    Monitor->Suspend();
    Monitor->Resume(*SuspendIdleOnResume);
    SetSettingAvailability();

    if (Flags.EngineRole) {
        // The tray icon moves into the tray and the status block opens here.
        SessionCounter->RegisterSessionNotification(Window);
    }

    Platform.Windowing.SetTimer(Window, TIMER2, TIMER_INTERVAL_MS);
    WriteStartupLines();
    if (!Flags.HandlePowerEvents)
        Platform.Windowing.ShowWindow(Window, true);
    Platform.Windowing.PostMessage(Window, MSG_INIT_DONE, 0, 0);
    Running = true;
}

TfMain::~TfMain()
{
    Running = false;
    Platform.Windowing.KillTimer(Window, TIMER1);
    Platform.Windowing.KillTimer(Window, TIMER2);
    // The objects of the engine side go first, in reverse order of creation.
    if (Engine)
        Engine->SetRecordingMonitor(nullptr);
    Monitor.reset();
    Engine.reset();
    OSConfiguration.reset();
    Logger->WriteLine("Slumberhold/frontend closed.");
    Logger->WriteLine("", false);
    Version.reset();
    // Its notifications end before the window goes.
    SessionCounter.reset();
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

bool TfMain::HandleMessage(uint32_t message, uintptr_t wParam, intptr_t lParam, intptr_t& result)
{
    // A box shown during start-up or shutdown pumps messages; what arrives
    // then must not reach objects that do not exist (yet or any more) and
    // gets the default answer. Only a close is swallowed: the default one
    // would destroy the window that is still being built or torn down.
    if (!Running) {
        result = 0;
        return message == WM_CLOSE;
    }
    switch (message) {
    case WM_POWERBROADCAST:
        result = OnPowerBroadcast(wParam, lParam);
        return true;
    case WM_QUERYENDSESSION:
        Logger->WriteLine("WM_QUERYENDSESSION");
        result = 1;
        return true;
    case WM_ENDSESSION:
        OnEndSession();
        result = 0;
        return true;
    case WM_WTSSESSION_CHANGE:
        if (SessionCounter)
            SessionCounter->OnSessionChange(wParam, lParam);
        result = 0;
        return true;
    case MSG_TRAY_CALLBACK:
        // The tray icon opens its menu or the default item here.
        result = 0;
        return true;
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

// Windows ends the session: the engine goes, whether or not the session
// really ends, and the window answers messages without it from then on. A
// handler still running on the engine (it pumped the message in) finishes
// first: the engine goes when the outermost one returns.
void TfMain::OnEndSession()
{
    Logger->WriteLine("WM_ENDSESSION");
    EngineEnding = true;
    if (EngineHandlers == 0)
        EndEngine();
}

void TfMain::LeaveEngineHandler()
{
    if (--EngineHandlers == 0 && EngineEnding)
        EndEngine();
}

void TfMain::EndEngine()
{
    // The monitor keeps a reference to the engine: it lets go at once.
    if (Monitor)
        Monitor->ForgetEngine();
    // The system-information reader and the tray icon go here too.
    Engine.reset();
}

intptr_t TfMain::OnPowerBroadcast(uintptr_t event, intptr_t lParam)
{
    if (EngineRuns())
        Engine->SetLastPowerBroadcastTick(Platform.Clock.GetTickCount());
    // A handler that pumps messages lets another broadcast in; power-setting
    // changes arrive that way all the time and are not worth a line.
    if (PowerBroadcastNesting > 0 && event != PBT_POWERSETTINGCHANGE)
        Logger->WriteLine("Nested WM_POWERBROADCAST (" + std::to_string(PowerBroadcastNesting) + ")");
    ++PowerBroadcastNesting;
    intptr_t result = 0;
    if (Flags.HandlePowerEvents && EngineRuns()) {
        EnterEngineHandler();
        TellActivityDetection(event);
        if (EngineRuns())
            result = RouteToEngine(event, lParam);
        LeaveEngineHandler();
    }
    --PowerBroadcastNesting;
    return result;
}

// The activity detection hears of each event before the engine handles it.
void TfMain::TellActivityDetection(uintptr_t event)
{
    switch (event) {
    case PBT_APMSUSPEND:
    case PBT_APMAWAY:
        Monitor->Suspend();
        break;
    case PBT_APMRESUMECRITICAL:
    case PBT_APMRESUMEAUTOMATIC:
        Monitor->ResetForWake();
        Monitor->Resume(*SuspendIdleOnResume);
        // The idle fix re-arms itself here.
        break;
    case PBT_APMRESUMESUSPEND:
        Monitor->RestartIdleTimers();
        break;
    case PBT_APMAWAYRESUME:
        Monitor->Resume(*SuspendIdleOnResume);
        break;
    default:
        break;
    }
}

// Settings that cannot apply on this machine are switched off by reason bit.
void TfMain::SetSettingAvailability()
{
    cTargetEhome& mediaCenter = Engine->GetEhome();
    const bool mediaCenterInstalled = mediaCenter.IsInstalled();
    for (cPersistentVariable* setting :
         std::initializer_list<cPersistentVariable*>{&mediaCenter.StopStartMode, &mediaCenter.StartPage,
                                                     &mediaCenter.StartAtBoot})
        setting->SetEnabled(0x8, mediaCenterInstalled);
    cRecordingMonitorSettings& settings = Monitor->Settings;
    for (cPersistentBool* setting : {&settings.RecordingMonitorEnabled, &settings.MceIdleDetectionEnabled,
                                     &settings.UserInputIdleDetection, &settings.ForceAwayWhenExtenderInUse})
        setting->SetEnabled(0x8, mediaCenterInstalled);
    settings.ForceAwayWhenExtenderInUse.SetEnabled(0x4, Version->IsVistaOrLater());
    // MediaPortal's settings (bit 0x10) join here with its target.
}

intptr_t TfMain::RouteToEngine(uintptr_t event, intptr_t lParam)
{
    switch (event) {
    case PBT_APMQUERYSUSPEND:
        return static_cast<intptr_t>(Engine->OnQuerySuspend(static_cast<uint32_t>(lParam)));
    case PBT_APMQUERYSUSPENDFAILED:
        Engine->OnQuerySuspendFailed();
        break;
    case PBT_APMSUSPEND:
        Engine->OnSuspend();
        break;
    case PBT_APMRESUMECRITICAL:
        Engine->OnResumeCritical();
        break;
    case PBT_APMRESUMESUSPEND:
        Engine->OnResumeSuspend();
        break;
    case PBT_APMBATTERYLOW:
        Engine->OnBatteryLow();
        break;
    case PBT_APMPOWERSTATUSCHANGE:
        Engine->OnPowerStatusChange();
        break;
    case PBT_APMOEMEVENT:
        Engine->OnOemEvent(static_cast<uint32_t>(lParam));
        break;
    case PBT_APMRESUMEAUTOMATIC:
        Engine->OnResumeAutomatic();
        break;
    case PBT_APMAWAY:
        Engine->OnAway();
        break;
    case PBT_APMAWAYRESUME:
        Engine->OnAwayResume();
        break;
    case PBT_POWERSETTINGCHANGE:
        Engine->OnPowerSettingChange(reinterpret_cast<const cPowerBroadcastSetting*>(lParam));
        break;
    default:
        Engine->OnUnknownPowerEvent();
        break;
    }
    return 1;
}

void TfMain::OnInitDone()
{
    Logger->WriteLine("Initialisation done");
    Platform.Windowing.SetWindowText(Window,
                                     Flags.EngineRole && !Flags.ConfiguratorRole ? ENGINE_TITLE : CAPTION);
    // An installer starts the engine while the user is still at work: no
    // forced-reboot follow-up, no front-ends.
    if (Flags.EngineRole && !Flags.Installing && Engine)
        Engine->EngineStartup();
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
    // The configurator's status display of a separate engine joins here.
    if (Flags.HandlePowerEvents && EngineRuns()) {
        EnterEngineHandler();
        // All automatic suspends start here: the monitor decides and asks the engine.
        Monitor->EvaluateAwakeState();
        // The status texts, the status block and the idle fixes join here.
        LeaveEngineHandler();
    }
}
