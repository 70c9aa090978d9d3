#include "shell/MainWindow.h"

#include "foundation/ApplicationLauncher.h"
#include "foundation/BuildMoment.h"
#include "foundation/FileVersion.h"
#include "foundation/MessageLogger.h"
#include "foundation/NotifyIcon.h"
#include "foundation/WindowsVersion.h"
#include "detection/Cpu.h"
#include "detection/EhomeIdleFix.h"
#include "detection/MediaCenterExtender.h"
#include "detection/RecordingMonitor.h"
#include "configurator/ConfiguratorModel.h"
#include "configurator/ConfiguratorWindow.h"
#include "diagnostics/SystemInformation.h"
#include "engine/VistaSuspendEngine.h"
#include "osconfig/NvidiaVgaConfiguration.h"
#include "osconfig/OSConfigurationFactory.h"
#include "osconfig/WakeDevice.h"
#include "targets/MediaCenterContract.h"
#include "platform/WinConst.h"
#include "shell/EngineStatusBlock.h"
#include "shell/EngineWatch.h"
#include "shell/MemoryMappedFile.h"
#include "shell/StatusTexts.h"
#include "shell/WindowsIdlePage.h"

namespace {

constexpr const char* WINDOW_CLASS = APPLICATION_WINDOW_CLASS;
constexpr const char* CAPTION = "Slumberhold";
constexpr const char* ENGINE_TITLE = ENGINE_WINDOW_TITLE;
constexpr const char* ICON_RESOURCE = "IDI_ICON2";
constexpr const char* CONFIGURATOR_SWITCH = "configurator";
constexpr const char* SLEEP_STATE_NOT_SET = "Sleep state not set, please select one from the 'Sleep state' tab.";
// Timer1 gives up on the tray after this many retries.
constexpr int32_t MAX_TRAY_RETRIES = 120;
constexpr const char* LOG_FILE_NAME = "SLH Log.txt";
constexpr uintptr_t TIMER1 = 1;
constexpr uintptr_t TIMER2 = 2;
constexpr uint32_t TIMER_INTERVAL_MS = 1000;

}  // namespace

TfMain::TfMain(cPlatform& platform)
    : Platform(platform), Open1(ID_OPEN1, "Configure", [this] { Open1Click(); }),
      Exit1(ID_EXIT1, "Exit", [this] { Exit1Click(); })
{
    Window = Platform.Windowing.CreateMainWindow(WINDOW_CLASS, CAPTION, *this);

    SuspendIdleOnResume =
        std::make_unique<cPersistentInteger>(Platform.Registry, "SuspendIdleOnResume", HIVE_LOCAL_MACHINE, 0);
    LogWindowsIdleDetails =
        std::make_unique<cPersistentBool>(Platform.Registry, "LogWindowsIdleDetails", HIVE_LOCAL_MACHINE, false);
    Logger = std::make_unique<cMessageLogger>(Platform, LOG_FILE_NAME);
    // The writer maps the whole block, not only the version word: the texts
    // lie beyond it, and a view only promises the length asked for.
    StatusBlock = std::make_unique<cMemoryMappedFile>(Platform, ENGINE_STATUS_BLOCK_NAME, ENGINE_STATUS_MAPPING_SIZE,
                                                      static_cast<int32_t>(ENGINE_STATUS_MAPPING_SIZE));
    SessionCounter = std::make_unique<cMediaCenterExtender>(Platform);
    Version = std::make_unique<cWindowsVersion>(Platform);

    Flags = ParseSwitches(Platform.Processes.CommandLineArguments());

    NvidiaConfiguration = std::make_unique<cNvidiaVgaConfiguration>(Platform.Registry);
    OSConfiguration = CreateOSConfiguration(Platform, *Version);
    SystemInformation = std::make_unique<cSystemInformation>(Platform);
    CPU = std::make_unique<cCPU>(Platform.Registry);
    PopupMenu1 = std::make_unique<cPopupMenu>(Platform, Window, [this] {
        // The menu closes properly only when its owner is in front.
        Platform.Windowing.SetForegroundWindow(Window);
    });
    PopupMenu1->Add(Open1);
    PopupMenu1->AddSeparator();
    PopupMenu1->Add(Exit1);
    NotifyIcon = std::make_unique<cNotifyIcon>(Platform, CAPTION, ICON_RESOURCE, Window, MSG_TRAY_CALLBACK);
    NotifyIcon->SetPopupMenu(PopupMenu1.get());
    NotifyIcon->SetDefaultItem(&Open1);
    if (Version->IsVistaOrLater())
        Engine = std::make_unique<cVistaSuspendEngine>(Platform, *Version, *SystemInformation, *CPU,
                                                       *OSConfiguration, false, Window, *Logger);
    else
        Engine = std::make_unique<cMcePowerManager>(Platform, *Version, *SystemInformation, *CPU, *OSConfiguration,
                                                    false, *Logger);
    // The engine has made every new log file begin with its system summary.
    // The UI font and the wake devices join here.
    WakeDevices = std::make_unique<cWakeDeviceList>(Platform);
    Monitor = std::make_unique<cRecordingMonitor>(Platform, *Engine, *Version, *Logger, *SessionCounter);
    IdleFix = std::make_unique<cEhomeIdleFix>(Platform, *Engine, *Monitor, *Logger, *Version);
    EngineWatch = std::make_unique<cEngineWatch>(Platform, *StatusBlock);
    WindowsIdlePage = std::make_unique<cWindowsIdlePage>(Platform, *OSConfiguration, *Logger, *LogWindowsIdleDetails);
    // Before the icon is in the tray the balloon waits in the icon's record
    // and appears with the icon.
    if (Engine->Settings.SleepState == 0)
        NotifyIcon->ShowBalloon(CAPTION, SLEEP_STATE_NOT_SET, NIIF_ERROR);

    // Detection starts only after the resume delay, as after a wake.
    Monitor->Suspend();
    Monitor->Resume(*SuspendIdleOnResume);
    SetSettingAvailability();

    if (Flags.EngineRole) {
        MoveIconToTray();
        OpenStatusBlock();
        SessionCounter->RegisterSessionNotification(Window);
    }

    Platform.Windowing.SetTimer(Window, TIMER2, TIMER_INTERVAL_MS);
    if (Flags.ConfiguratorRole)
        CreateConfigurator();
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
    Display = &NoDisplay;
    ConfiguratorWindow.reset();
    Configurator.reset();
    // The objects of the engine side go first, in reverse order of creation.
    if (Engine)
        Engine->SetRecordingMonitor(nullptr);
    WindowsIdlePage.reset();
    EngineWatch.reset();
    IdleFix.reset();
    Monitor.reset();
    WakeDevices.reset();
    // Removes itself from the tray; before the menu it refers to.
    NotifyIcon.reset();
    PopupMenu1.reset();
    Engine.reset();
    CPU.reset();
    SystemInformation.reset();
    OSConfiguration.reset();
    NvidiaConfiguration.reset();
    Logger->WriteLine("Slumberhold/frontend closed.");
    Logger->WriteLine("", false);
    Version.reset();
    StatusBlock.reset();
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
        result = 0;
        return NotifyIcon && NotifyIcon->HandleCallbackMessage(lParam);
    case WM_COMMAND:
        result = 0;
        // Menus send the command in the low word; a zero high word says it
        // came from a menu.
        return (wParam >> 16) == 0 && PopupMenu1->Dispatch(static_cast<uint16_t>(wParam));
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
        else if (wParam == TIMER1)
            Timer1Timer();
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
    // The settings window reads the engine's objects: it stops first.
    if (Configurator)
        Configurator->Detach();
    // The idle fix works only through the engine: it goes with it.
    IdleFix.reset();
    // The tray icon and the system-information reader go here too.
    Engine.reset();
    NotifyIcon.reset();
    SystemInformation.reset();
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
        IdleFix->RearmAfterWake();
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
    // A MediaPortal whose program cannot be found is neither stopped nor started.
    cTargetMediaPortal& mediaPortal = Engine->GetMediaPortal();
    const bool mediaPortalFound = Platform.Files.FileExists(mediaPortal.GetExecutablePath());
    mediaPortal.StopStartMode.SetEnabled(0x10, mediaPortalFound);
    mediaPortal.StartAtBoot.SetEnabled(0x10, mediaPortalFound);
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

void TfMain::Open1Click()
{
    if (Flags.ConfiguratorRole) {
        if (!Platform.Windowing.IsWindowVisible(Window))
            Platform.Windowing.ShowWindow(Window, true);
        Platform.Windowing.SetForegroundWindow(Window);
        return;
    }
    // A configurator of its own is already running.
    const WindowHandle configurator = Platform.Windowing.FindWindow(WINDOW_CLASS, CAPTION);
    if (configurator != 0) {
        Platform.Windowing.SetForegroundWindow(configurator);
        return;
    }
    cApplicationLauncher launcher(Platform, Platform.Files.GetModuleFileName(), 0);
    if (OSConfiguration->IsAdministrator())
        launcher.Launch(CONFIGURATOR_SWITCH);
    else
        launcher.LaunchElevated(CONFIGURATOR_SWITCH);
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
            Configurator->ShowRebootNotice();
            canClose = false;
        }
    }
    ExitRequested = false;
    return canClose;
}

void TfMain::FormClose()
{
    if (Configurator)
        Configurator->ShowRebootNotice();
    Logger->WriteLine("FormClose");
}

void TfMain::HideWindow()
{
    Logger->WriteLine("Hide()");
    Platform.Windowing.ShowWindow(Window, false);
}

void TfMain::AttachStatusDisplay(cStatusDisplay* display)
{
    Display = display != nullptr ? display : DefaultDisplay;
    for (auto show : {&cStatusDisplay::ShowMediaCenterState, &cStatusDisplay::ShowRecording,
                      &cStatusDisplay::ShowLastUserInput, &cStatusDisplay::ShowExtendersInUse})
        (Display->*show)(StatusText::NOT_YET_SEEN);
}

// The settings pages, filled from the objects built so far.
void TfMain::CreateConfigurator()
{
    Configurator = std::make_unique<cConfiguratorModel>(cConfiguratorObjects{
        Platform, Window, Flags, *Version, *Engine, *OSConfiguration, *NvidiaConfiguration, *WakeDevices, *Monitor,
        *Logger, *SessionCounter, *LogWindowsIdleDetails, *WindowsIdlePage, *SystemInformation,
        [this] { SetSettingAvailability(); }, *NotifyIcon, *StatusBlock});
    Configurator->BuildPages();
    Configurator->RefreshControls();
    Configurator->FillWakeDeviceList();
    DefaultDisplay = &Configurator->GetStatusDisplay();
    AttachStatusDisplay(nullptr);
    ConfiguratorWindow = std::make_unique<cConfiguratorWindow>(*Configurator, Platform.Windowing, Window,
                                                               Version->GetUiFontName());
}

void TfMain::Timer2Timer()
{
    if (Flags.ConfiguratorRole && !Flags.EngineRole && !EngineWatch->Tick(*Display)) {
        // The engine this configurator belonged to has ended.
        Close();
        return;
    }
    if (Flags.HandlePowerEvents && EngineRuns()) {
        EnterEngineHandler();
        // All automatic suspends start here: the monitor decides and asks the engine.
        Monitor->EvaluateAwakeState();
        // A box shown meanwhile may have let the session end in.
        if (EngineRuns()) {
            PublishEngineStatus();
            IdleFix->ApplyIdleFixes();
            if (Flags.IdlePage)
                RefreshIdleDebugPage();
        }
        LeaveEngineHandler();
    }
    if (Flags.ConfiguratorRole && EngineRuns())
        WindowsIdlePage->Refresh(*Display, Monitor->FormatElapsed(Engine->GetLastUserInputTick()));
}

void TfMain::PublishEngineStatus()
{
    const cMonitorFacts facts = GatherMonitorFacts(*Monitor);
    cEngineStatus status;
    status.MediaCenterState = MediaCenterStateText(facts);
    status.Recording = RecordingText(facts);
    status.LastUserInput = Monitor->FormatElapsed(Engine->GetLastUserInputTick());
    status.ExtendersInUse = static_cast<uint32_t>(Monitor->GetExtendersInUse());
    Display->ShowMediaCenterState(status.MediaCenterState);
    Display->ShowRecording(status.Recording);
    Display->ShowLastUserInput(status.LastUserInput);
    // In tray mode the window shows the count it publishes.
    Display->ShowExtendersInUse(std::to_string(status.ExtendersInUse));
    if (Flags.EngineRole)
        WriteEngineStatus(StatusBlock->WritableView(), status);
}

void TfMain::RefreshIdleDebugPage()
{
    Display->ShowRecordingRow(RecordingRowText(GatherMonitorFacts(*Monitor)));
    Display->ShowAttendance(AttendanceText(Engine->IsUnattended()));
}

void TfMain::OpenStatusBlock()
{
    InitialiseEngineStatus(StatusBlock->CreateForWriting());
}

// The shell may not be up yet when the engine starts with Windows: Timer1
// tries again every second for two minutes.
void TfMain::MoveIconToTray()
{
    if (NotifyIcon->MoveToTray() > 0)
        return;
    Logger->WriteLine("NotifyIcon->MoveToTray() failed!");
    TrayRetryCount = 0;
    Platform.Windowing.SetTimer(Window, TIMER1, TIMER_INTERVAL_MS);
}

void TfMain::Timer1Timer()
{
    if (!NotifyIcon) {
        Platform.Windowing.KillTimer(Window, TIMER1);
        return;
    }
    if (NotifyIcon->MoveToTray() < 0 && TrayRetryCount <= MAX_TRAY_RETRIES) {
        ++TrayRetryCount;
        return;
    }
    Platform.Windowing.KillTimer(Window, TIMER1);
    if (TrayRetryCount <= MAX_TRAY_RETRIES)
        Logger->WriteLine("MoveToTray() retry succesfull after " + std::to_string(TrayRetryCount) + " retries");
    else
        Logger->WriteLine("MoveToTray() cancelled after " + std::to_string(TrayRetryCount) + " retries");
}
