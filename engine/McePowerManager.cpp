#include "engine/McePowerManager.h"

#include <algorithm>
#include <cstdio>
#include <limits>
#include <vector>

#include "diagnostics/SystemSummary.h"
#include "foundation/MessageLogger.h"
#include "foundation/Settings.h"
#include "foundation/Ticks.h"
#include "foundation/WindowsVersion.h"
#include "osconfig/OSConfiguration.h"
#include "osconfig/FpManager.h"
#include "platform/WinConst.h"
#include "targets/ScreenBlanker.h"
#include "targets/MediaCenterContract.h"

namespace {

// Execution-state flag, as SetThreadExecutionState takes it.
constexpr uint32_t ES_AWAYMODE_REQUIRED = 0x00000040;

constexpr uint32_t WM_SYSCOMMAND = 0x0112;
constexpr uintptr_t SC_MONITORPOWER = 0xF170;
constexpr intptr_t MONITOR_OFF = 2;
constexpr intptr_t MONITOR_ON = -1;

// GetWindowText and GetClassName buffers of 200 and 100 characters.
constexpr size_t MAX_TITLE = 199;
constexpr size_t MAX_CLASS_NAME = 99;
constexpr const char* TITLES_FILE = "Titles.txt";

// Wait after a forced reboot before standby when AutoRebootDelay is 0.
constexpr int32_t XP_POST_REBOOT_STANDBY_DELAY = 30000;

// A user wake more than this many times in a row: this machine does not
// report automatic wakes.
constexpr int32_t MAX_SUCCESSIVE_USER_WAKES = 20;


std::string Hex(const char* format, uint32_t value)
{
    char text[16];
    std::snprintf(text, sizeof text, format, value);
    return text;
}

uint32_t Milliseconds(int32_t setting)
{
    return setting > 0 ? static_cast<uint32_t>(setting) : 0;
}

// A registry string of the settings key, or nothing when the value is missing
// or not a string.
bool ReadLegacyString(cRegistry& registry, const char* name, std::string& text, bool& exists)
{
    cRegistryValue value;
    exists = registry.ReadValue(eHive::LocalMachine, SETTINGS_KEY, name, value) == REGRESULT_SUCCESS;
    if (!exists || value.Type != REGTYPE_SZ)
        return false;
    text.assign(value.Data.begin(), std::find(value.Data.begin(), value.Data.end(), 0));
    return true;
}

}  // namespace

cSuspendEngineConfiguration::cSuspendEngineConfiguration(cRegistry& registry)
    : RestartAtAutomaticResume(registry, "RestartAtAutomaticResume", HIVE_LOCAL_MACHINE, false),
      StandbyProfileVersion(registry, "StandbyProfileVersion", HIVE_LOCAL_MACHINE, 0)
{
}

// ---------------------------------------------------------------------------
// Construction

cMcePowerManager::cMcePowerManager(cPlatform& platform, cWindowsVersion& version,
                                   cSystemInformation& systemInformation, cOSConfiguration& osConfiguration,
                                   bool /*logFlag*/, cMessageLogger& logger)
    : cSuspendEngineConfiguration(platform.Registry), Settings(platform.Registry), Platform(platform),
      Version(version), SystemInformation(systemInformation), OSConfiguration(osConfiguration), Logger(logger),
      Ehome(platform, logger, version),
      MediaPortal(platform, logger, version),
      Blanker(std::make_unique<cFlagOnlyBlanker>()),
      Actions(std::make_unique<cEventActions>(platform, Settings, *Blanker, logger)),
      Reboots(std::make_unique<cRebootScheduler>(platform, Settings, *Actions, static_cast<cRebootHost&>(*this), logger,
                                                 XP_POST_REBOOT_STANDBY_DELAY)),
      ExecutionStates(platform.PowerRequests)
{
    Settings.RebootMode.SetDisabledValue(RM_NEVER_REBOOT);
    FpManager = std::make_unique<cFpManager>(Platform, Logger);
    MigrateLegacyPrograms();
    ResetUserActivityBaseline();
    Platform.Power.SetPriorityClass(Settings.RunAtHighPriority ? PRIORITY_CLASS_ABOVE_NORMAL
                                                               : PRIORITY_CLASS_NORMAL);
    SystemInformation.ReadLastGuideDownload(LastGuideDownload);
    TakeOverMediaCenterLogonStart();
    ReplaceDelayDefaults();
    // From here on every new log file begins with the system summary, also
    // the one that the Vista engine's own construction may begin. The hook
    // never outlives the engine, whose objects the summary reads.
    Logger.SetNewFileHook([this](const char* path) { WriteSystemSummary(path); });
}

// The blanker, the front-panel handler and the targets go with their members.
cMcePowerManager::~cMcePowerManager()
{
    Logger.SetNewFileHook({});
}

void cMcePowerManager::TakeOverMediaCenterLogonStart()
{
    // From now on the engine starts Media Center after logon, not Windows.
    if (Ehome.IsLogonStartRegistered()) {
        Ehome.StartAtBoot = true;
        Ehome.SetLogonStartRegistered(false);
    }
}

void cMcePowerManager::MigrateLegacyPrograms()
{
    // Older versions had one program for each direction.
    struct cMove {
        const char* Legacy;
        cPersistentAnsiString& User;
        cPersistentAnsiString& Auto;
    };
    const cMove moves[] = {
        {"RunAtSuspend", Settings.RunOnUserSuspend, Settings.RunOnAutoSuspend},
        {"RunAtResume", Settings.RunOnUserResume, Settings.RunOnAutoResume},
    };
    for (const cMove& move : moves) {
        std::string command;
        bool exists = false;
        if (ReadLegacyString(Platform.Registry, move.Legacy, command, exists)) {
            move.User.Set(command);
            move.Auto.Set(command);
        }
        if (exists)
            Platform.Registry.DeleteValue(eHive::LocalMachine, SETTINGS_KEY, move.Legacy);
    }
}

void cMcePowerManager::ReplaceDelayDefaults()
{
    if (Version.IsVistaOrLater()) {
        if (Settings.MaxSuspendDelay < 0)
            Settings.MaxSuspendDelay = 3000;
        // 5000 is the XP default, left over from an upgrade: too long on Vista.
        const int32_t closeDelay = Settings.eHomeCloseDelay;
        if (closeDelay < 0 || closeDelay == 5000)
            Settings.eHomeCloseDelay = 1000;
    } else {
        if (Settings.MaxSuspendDelay < 0)
            Settings.MaxSuspendDelay = 20000;
        if (Settings.eHomeCloseDelay < 0)
            Settings.eHomeCloseDelay = 5000;
    }
}

// ---------------------------------------------------------------------------
// Classification of the wake

bool cMcePowerManager::IsAutomaticResume()
{
    return Platform.Power.IsSystemResumeAutomatic() != 0;
}

uint32_t cMcePowerManager::GetLastUserInputTick()
{
    uint32_t lastInput = 0;
    if (!Platform.Power.GetLastInputTick(lastInput))
        return BaselineResetTick;  // nothing known: no input since the reset
    const uint32_t now = Platform.Clock.GetTickCount();
    return SecondsSince(now, BaselineResetTick) < SecondsSince(now, lastInput) ? BaselineResetTick : lastInput;
}

void cMcePowerManager::ResetUserActivityBaseline()
{
    BaselineResetTick = Platform.Clock.GetTickCount();
    ActivityBaseline = GetLastUserInputTick();
    InputAfterBaselineLogged = false;
}

bool cMcePowerManager::IsUnattended()
{
    return GetLastUserInputTick() == ActivityBaseline || AwayMode;
}

bool cMcePowerManager::IsNonUserResume()
{
    // After hibernation the system's own report is not trusted.
    return (Settings.TreatUnattendedAsAutomatic && IsUnattended()) ||
           (Settings.SleepState != SLEEP_STATE_HIBERNATION && IsAutomaticResume());
}

int cMcePowerManager::GetAwakeState()
{
    return GetAwakeState(IsNonUserResume(), Ehome.IsRunning());
}

int cMcePowerManager::GetAwakeState(bool nonUserResume, bool mediaCenterRunning)
{
    if (nonUserResume || IsInAwayMode())
        return AS_NON_USER;
    if (mediaCenterRunning)
        return AS_MEDIACENTER;
    return AS_DESKTOP;
}

// ---------------------------------------------------------------------------
// Power broadcasts

void cMcePowerManager::OnBatteryLow()
{
    Logger.WriteLine("PBT_APMBATTERYLOW");
}

void cMcePowerManager::OnOemEvent(uint32_t eventCode)
{
    Logger.WriteLine("PBT_APMOEMEVENT (" + Hex("%08X", eventCode) + ")");
}

void cMcePowerManager::OnPowerStatusChange() {}

uint32_t cMcePowerManager::OnQuerySuspend(uint32_t flags)
{
    Logger.WriteLine("PBT_APMQUERYSUSPEND (" + Hex("%X", flags) + ")");
    Ehome.SetQuerySuspendFlags(flags);
    return HandleSuspendQuery(false);
}

uint32_t cMcePowerManager::HandleSuspendQuery(bool fromSuspendSystem)
{
    CheckGuideDownload();
    Logger.WriteLine(IsAutomaticResume() ? "HandleSuspendQuery (Query suspend from automatic task)"
                                         : "HandleSuspendQuery (Query suspend from user interaction)");
    // Where automatic wakes cannot be told apart, every query may be the end
    // of one: the forced reboot takes the place of the sleep.
    if ((IsNonUserResume() || !Settings.AutoTasksEnabled) && CheckForcedReboot())
        return BROADCAST_QUERY_DENY;
    if (!DenyQuery || fromSuspendSystem)
        return 1;
    Logger.WriteLine("returning BROADCAST_QUERY_DENY (debug setting)", false);
    return BROADCAST_QUERY_DENY;
}

void cMcePowerManager::OnQuerySuspendFailed()
{
    Logger.WriteLine("PBT_APMQUERYSUSPENDFAILED (Standby cancelled)");
}

void cMcePowerManager::OnSuspend()
{
    const uint32_t start = Platform.Clock.GetTickCount();
    CheckGuideDownload();
    Logger.StoreTaskList("PBT_APMSUSPEND");

    const bool automatic = IsAutomaticResume();
    Logger.WriteLine(automatic ? "PBT_APMSUSPEND (Suspend from automatic-resume)"
                               : "PBT_APMSUSPEND (Suspend from user interaction)");
    if (automatic)
        Actions->Run(eEventProgram::AutoSuspendEarly);
    else
        Actions->Run(eEventProgram::UserSuspendEarly);

    if (!automatic || RestartAtAutomaticResume) {
        if (Settings.DebugEngine & DEBUG_ENGINE_PRIORITY) {
            Logger.WriteLine("Boost SLH priority");
            Platform.Power.SetPriorityClass(PRIORITY_CLASS_ABOVE_NORMAL);
        }
        bool blank = false;
        for (cTargetApplication* target : Targets())
            blank = blank || (target->IsRunning() && target->MustStopAtSuspend());
        if (blank)
            Actions->Blank();
        CloseTargets();
        if (Settings.RestartEhrecvrAtSuspend)
            Actions->RestartReceiverService();
        if (Settings.RestartEhschedAtSuspend)
            Actions->RestartSchedulerService();
    }

    if (automatic)
        Actions->Run(eEventProgram::AutoSuspend);
    else
        Actions->Run(eEventProgram::UserSuspend);

    AutomaticResumeSeen = false;
    UserResumeSeen = false;
    FrontEndsStarted = false;
    ResumeWording = false;

    // Windows sleeps once this handler returns: give the front-ends time to
    // close.
    const int32_t standbyDelay = Settings.eHomeCloseDelay;
    if (standbyDelay > 0) {
        Logger.WriteLine("Delaying suspend for " + std::to_string(standbyDelay) + " milliseconds.");
        Platform.Clock.Sleep(Milliseconds(standbyDelay));
    }

    bool blankForStart = false;
    for (cTargetApplication* target : Targets())
        blankForStart = blankForStart || target->MustStartAtResume();
    if (blankForStart)
        Actions->Blank();
    Reboots->ClearPostRebootStandbyPending();
    Logger.WriteLine("PBT_APMSUSPEND done (" + std::to_string(Platform.Clock.GetTickCount() - start) + "ms)");

    if (Settings.DebugEngine & DEBUG_ENGINE_TIMING) {
        // Logs every 200 ms until two readings lie a second or more apart:
        // the machine slept in between.
        uint32_t now = Platform.Clock.GetTickCount();
        uint32_t previous = now;
        while (now - previous < 1000) {
            previous = now;
            now = Platform.Clock.GetTickCount();
            if (now - previous < 1000) {
                Logger.WriteLine("Timing PBT_APMSUSPEND (" + std::to_string(now - LastPowerBroadcastTick) + "ms)");
                Platform.Clock.Sleep(200);
            }
        }
    }
    if (Settings.DebugEngine & DEBUG_ENGINE_PRIORITY) {
        Logger.WriteLine("End SLH priority boost");
        Platform.Power.SetPriorityClass(PRIORITY_CLASS_NORMAL);
    }
    Logger.WriteLine("...", false);
}

void cMcePowerManager::OnResumeAutomatic()
{
    const uint32_t start = Platform.Clock.GetTickCount();
    if (UserResumeSeen)
        ResumeWording = true;

    const bool automatic = IsAutomaticResume();
    std::string line = automatic ? "PBT_APMRESUMEAUTOMATIC (Resume for automatic task"
                                 : "PBT_APMRESUMEAUTOMATIC (Resume for user interaction";
    // Windows 7 sends this event before the user's resume as well; until the
    // user has shown up, the wording is not sure.
    if (!ResumeWording && Windows7)
        line += "???";
    Logger.WriteLine(line + ")");
    if (automatic) {
        Settings.AutoTasksEnabled = true;
        Settings.SuccesiveNonAutoTasks = 0;
    } else {
        // Read from the user's registry, where anything may stand: the
        // count stops at its largest value instead of overflowing.
        const int32_t stored = Settings.SuccesiveNonAutoTasks;
        const int32_t userWakes = stored == std::numeric_limits<int32_t>::max() ? stored : stored + 1;
        Settings.SuccesiveNonAutoTasks = userWakes;
        if (userWakes > MAX_SUCCESSIVE_USER_WAKES)
            Settings.AutoTasksEnabled = false;
    }

    WarnRunningFrontEnds();
    CheckGuideDownload();
    Logger.StoreTaskList("PBT_APMRESUMEAUTOMATIC");
    if (automatic)
        Actions->Run(eEventProgram::AutoResume);
    else
        Actions->Run(eEventProgram::UserResume);

    AutomaticResumeSeen = true;
    Ehome.SetSuspendInitiated(false);
    if (automatic && RestartAtAutomaticResume)
        StartTargetsAfterWake();
    // After hibernation the user interface comes back at once.
    if (automatic && Settings.SleepState == SLEEP_STATE_HIBERNATION)
        RestoreTargets();
    if (UserResumeSeen) {
        Logger.WriteLine("Reversed resume order", false);
        const int32_t delay = Settings.ReversedResumeDelay;
        Platform.Clock.Sleep(Milliseconds(delay));
        RestoreTargets();
    }
    ResetUserActivityBaseline();
    if (AwayMode) {
        AwayMode = false;
        Logger.WriteLine("Away mode flag reset");
    }
    Logger.WriteLine("PBT_APMRESUMEAUTOMATIC done (" + std::to_string(Platform.Clock.GetTickCount() - start) +
                     "ms)");
}

void cMcePowerManager::OnResumeCritical()
{
    Logger.WriteLine("PBT_APMRESUMECRITICAL");
    Ehome.SetSuspendInitiated(false);
    ResetUserActivityBaseline();
}

void cMcePowerManager::OnResumeSuspend()
{
    const uint32_t start = Platform.Clock.GetTickCount();
    Logger.WriteLine("PBT_APMRESUMESUSPEND (Start user interaction)");
    Logger.StoreTaskList("PBT_APMRESUMESUSPEND");
    UserResumeSeen = true;
    ResumeWording = true;
    // In the reversed order the automatic resume restores them, later.
    if (AutomaticResumeSeen)
        RestoreTargets();
    CheckGuideDownload();
    ResetUserActivityBaseline();
    Logger.WriteLine("PBT_APMRESUMESUSPEND done (" + std::to_string(Platform.Clock.GetTickCount() - start) + "ms)");
}

void cMcePowerManager::OnAway()
{
    Logger.WriteLine("PBT_APMAWAY");
    Actions->Run(eEventProgram::Away);
}

void cMcePowerManager::OnAwayResume()
{
    Logger.WriteLine("PBT_APMAWAYRESUME");
    Actions->Run(eEventProgram::AwayResume);
}

void cMcePowerManager::OnPowerSettingChange(const cPowerBroadcastSetting* setting)
{
    if (setting == nullptr) {
        Logger.WriteLine("PBT_POWERSETTINGCHANGE: 0");
        return;
    }
    // Both settings report a 32-bit value; the first byte carries it.
    const bool hasValue = setting->DataLength >= sizeof(uint32_t);
    const unsigned value = hasValue ? setting->Data[0] : 0;
    if (SameGuid(setting->PowerSetting, GUID_IDLE_BACKGROUND_TASK)) {
        Logger.WriteLine("PBT_POWERSETTINGCHANGE - IDLE_BACKGROUND_TASK");
    } else if (hasValue && SameGuid(setting->PowerSetting, GUID_SYSTEM_AWAYMODE)) {
        AwayMode = value != 0;
        Logger.WriteLine("PBT_POWERSETTINGCHANGE - SYSTEM_AWAYMODE: " + std::to_string(value));
        if (AwayMode)
            OnAway();
        else
            OnAwayResume();
    } else if (hasValue && SameGuid(setting->PowerSetting, GUID_MONITOR_POWER_ON)) {
        MonitorOn = value != 0;
        Logger.WriteLine("PBT_POWERSETTINGCHANGE - MONITOR_POWER_ON: " + std::to_string(value));
        if (MonitorOn)
            Actions->Run(eEventProgram::DisplayOn);
        else
            Actions->Run(eEventProgram::DisplayOff);
    } else {
        Logger.WriteLine("PBT_POWERSETTINGCHANGE: " + std::to_string(setting->DataLength));
    }
}

void cMcePowerManager::OnUnknownPowerEvent()
{
    Logger.WriteLine("Unknown Power Event");
}

// ---------------------------------------------------------------------------
// Front-ends around the sleep

void cMcePowerManager::RestoreTargets()
{
    Logger.WriteLine("Resuming userinterface");
    if (Settings.WakeMonitor) {
        Logger.WriteLine("Waking monitor/TV");
        // Off first: some displays only react to a change.
        Platform.Windowing.SendMessage(BROADCAST_WINDOW, WM_SYSCOMMAND, SC_MONITORPOWER, MONITOR_OFF);
        Platform.Windowing.SendMessage(BROADCAST_WINDOW, WM_SYSCOMMAND, SC_MONITORPOWER, MONITOR_ON);
    }
    Actions->Run(eEventProgram::UserInterfaceResume);
    Logger.WriteLine("RestoreTargets()");
    if (!StartTargetsAfterWake()) {
        Logger.WriteLine("RestoreTargets() == false");
        Actions->UnBlank(true);
    }
    FrontPanelResume();
    Logger.WriteLine(Ehome.IsRunning() ? "Ehome.IsRunning() == true" : "Ehome.IsRunning() == false");
}

bool cMcePowerManager::StartTargetsAfterWake()
{
    // At most once per wake, whichever resume event comes first.
    if (FrontEndsStarted)
        return false;
    FrontEndsStarted = true;
    bool started = false;
    for (cTargetApplication* target : Targets()) {
        if (target->StartIfNeeded() == TARGET_STARTED)
            started = true;
        if (target->MustStartAtResume())
            Blanker->WatchForWindow(target->GetWindowClass(), Settings.UnblankDelay);
    }
    return started;
}

void cMcePowerManager::CloseTargets()
{
    // After a forced reboot the saved states stay as the reboot left them.
    if (!Reboots->IsPostRebootStandbyPending())
        for (cTargetApplication* target : Targets())
            target->SetWasRunningAtSuspend(target->IsRunning());
    const bool saveTitles = Settings.SaveWindowTitels;
    if (saveTitles)
        Actions->BeginWindowTitles();

    std::vector<cWindowInfo> windows;
    if (!Platform.Windowing.EnumerateWindows(windows)) {
        Logger.WriteError("EnumWindows failed!", true);
        return;
    }
    const bool hibernate = Settings.SleepState == SLEEP_STATE_HIBERNATION;
    for (cWindowInfo& window : windows) {
        window.Title.resize(std::min(window.Title.size(), MAX_TITLE));
        window.ClassName.resize(std::min(window.ClassName.size(), MAX_CLASS_NAME));
        if (saveTitles)
            Actions->SaveWindowTitle(window);
        for (cTargetApplication* target : Targets()) {
            if (window.ClassName.empty() || window.ClassName != target->GetWindowClass() ||
                !target->MustStopAtSuspend())
                continue;
            target->Close(window.Handle, window.ProcessId, hibernate);
            // Once MediaPortal is gone the taskbar must not show through the blanking.
            if (target == &MediaPortal && Settings.BlankScreen != 0)
                Blanker->HideTaskBar();
        }
    }
}

void cMcePowerManager::WarnRunningFrontEnds()
{
    // Media Center should have closed at the suspend and is still there.
    if (Ehome.IsRunning() && Ehome.MustStopAtSuspend())
        Actions->WarnFrontEndStillRunning(eFrontEnd::MediaCenter);
    if (MediaPortal.IsRunning() && MediaPortal.MustStopAtSuspend())
        Actions->WarnFrontEndStillRunning(eFrontEnd::MediaPortal);
}

void cMcePowerManager::StartFrontEndsAtLogon()
{
    for (cTargetApplication* target : Targets())
        if (target->StartAtBoot)
            target->Start();
}

// ---------------------------------------------------------------------------
// Guide downloads, the system summary and the status around a forced reboot

bool cMcePowerManager::CheckGuideDownload()
{
    tFileTimeBytes current;
    SystemInformation.ReadLastGuideDownload(current);
    bool downloaded = false;
    if (current != LastGuideDownload && LastGuideDownload != tFileTimeBytes{}) {
        Logger.WriteLine("Guide succesfully downloaded at " + SystemInformation.FormatFileTime(current, true), false);
        downloaded = true;
    }
    LastGuideDownload = current;
    return downloaded;
}

void cMcePowerManager::WriteSystemSummary(const char* /*logFilePath*/)
{
    cSystemSummary(Platform, Logger, SystemInformation, OSConfiguration, MediaPortal).Write(GetRebootMode());
}

void cMcePowerManager::StatusSave()
{
    Logger.WriteLine("StatusSave()");
    for (cTargetApplication* target : Targets())
        target->SaveRunningState();
    if (Settings.BlankScreen != 0)
        cPersistentBool(Platform.Registry, "SavedIsBlanked", HIVE_CURRENT_USER, false).Set(Blanker->IsBlanking());
}

void cMcePowerManager::StatusRestore()
{
    Logger.WriteLine("StatusRestore()");
    for (cTargetApplication* target : Targets())
        target->RestoreRunningState();
    if (cPersistentBool(Platform.Registry, "SavedIsBlanked", HIVE_CURRENT_USER, false))
        Actions->Blank();
    StatusClear();
}

void cMcePowerManager::StatusClear()
{
    Logger.WriteLine("StatusClear()");
    for (cTargetApplication* target : Targets())
        target->ClearRunningState();
    cPersistentBool(Platform.Registry, "SavedIsBlanked", HIVE_CURRENT_USER).Delete();
}

// ---------------------------------------------------------------------------
// Configurator operations

void cMcePowerManager::SetSleepState(int32_t state)
{
    // Hibernation hides automatic wakes: start learning again.
    Settings.AutoTasksEnabled = state != SLEEP_STATE_HIBERNATION;
    Settings.SuccesiveNonAutoTasks = 0;
    Settings.SleepState = state;
}

void cMcePowerManager::SetRebootMode(int32_t mode)
{
    Reboots->SetRebootMode(mode);
}

int32_t cMcePowerManager::GetRebootMode()
{
    return Settings.RebootMode;
}

bool cMcePowerManager::IsRebootModeAvailable()
{
    return Settings.RebootMode.IsEnabled();
}

bool cMcePowerManager::GetLogMode()
{
    return Logger.IsLogging();
}

void cMcePowerManager::SetLogMode(bool on)
{
    // The logger reads LogMode at every line; each switch leaves its mark.
    cPersistentBool logMode(Platform.Registry, "LogMode", HIVE_LOCAL_MACHINE);
    if (!on)
        Logger.WriteLine("Logging disabled.");
    logMode.Set(on);
    if (on)
        Logger.WriteLine("Logging enabled.");
}

bool cMcePowerManager::GetStoreTaskLists()
{
    return cPersistentBool(Platform.Registry, "StoreTaskLists", HIVE_LOCAL_MACHINE).Get();
}

void cMcePowerManager::SetStoreTaskLists(bool on)
{
    cPersistentBool(Platform.Registry, "StoreTaskLists", HIVE_LOCAL_MACHINE).Set(on);
}

bool cMcePowerManager::CallPowerInformation(int level, const void* input, uint32_t inputSize, void* output,
                                            uint32_t outputSize)
{
    return OSConfiguration.CallPowerInformation(level, input, inputSize, output, outputSize);
}

bool cMcePowerManager::ReadPowerPolicy(int level, cSystemPowerPolicy& policy)
{
    policy = {};
    return CallPowerInformation(level, nullptr, 0, &policy, sizeof policy);
}

bool cMcePowerManager::TestPowerActionFlags(uint32_t mask)
{
    cSystemPowerPolicy policy;
    if (!ReadPowerPolicy(POWER_INFO_POLICY_AC, policy))
        return false;
    return ((policy.PowerButton.Flags | policy.SleepButton.Flags | policy.Idle.Flags) & mask) != 0;
}

bool cMcePowerManager::ChangePowerActionFlags(uint32_t mask, bool on)
{
    bool done = true;
    for (int level : {POWER_INFO_POLICY_AC, POWER_INFO_POLICY_DC}) {
        cSystemPowerPolicy policy;
        if (!ReadPowerPolicy(level, policy)) {
            done = false;
            continue;
        }
        for (cPowerActionPolicy* action : {&policy.PowerButton, &policy.SleepButton, &policy.Idle})
            action->Flags = on ? action->Flags | mask : action->Flags & ~mask;
        done = CallPowerInformation(level, &policy, sizeof policy, nullptr, 0) && done;
    }
    return done;
}

// ---------------------------------------------------------------------------
// Putting the machine to sleep

int32_t cMcePowerManager::RequestSuspend(bool /*fromAutomatic*/)
{
    // Through the virtual slot: on Vista and later the initiator's thread
    // makes the call.
    return SuspendSystem(Settings.SleepState != SLEEP_STATE_HIBERNATION, false);
}

int32_t cMcePowerManager::SuspendSystem(bool standby, bool forced)
{
    // A holder that needs away mode (a recording in the background) keeps
    // the machine up while Windows is in away mode.
    if (IsInAwayMode() && (GetCombinedExecutionState() & ES_AWAYMODE_REQUIRED) != 0) {
        Logger.WriteLine("Not suspending because the system is in Away mode and SLH requires Away mode");
        return -1;
    }
    Ehome.SetSuspendInitiated(true);
    const std::string state = standby ? "Standby" : "Hibernation";
    Logger.WriteLine("Entering " + state + (forced ? " (forced)" : ""));
    if (forced) {
        Logger.WriteLine("HandleSuspendQuery");
        // Asked from here, only a forced reboot that has just started denies.
        if (HandleSuspendQuery(true) == BROADCAST_QUERY_DENY)
            return 0;
    }

    const int32_t method = Settings.SuspendMethod;
    const bool useSystemPowerState = method == 0 || method == 1;
    Logger.WriteLine(useSystemPowerState ? "SetSystemPowerState()" : "SetSuspendState()");
    // Returns after the wake, or at once when the call failed.
    const int32_t result = OSConfiguration.Suspend(standby, forced, useSystemPowerState);

    if (Reboots->IsForcedRebootStarted()) {
        Logger.WriteLine("Entering " + state + " cancelled because of forced reboot");
        return result;
    }
    if (result < 0) {
        Logger.WriteError("Entering " + state + " failed: " + std::to_string(result), true);
        return result;
    }
    Logger.WriteLine(standby ? "Entering Standby succesfull" : "Entering Hibernation successfull");
    return result;
}

// ---------------------------------------------------------------------------
// Front panel

void cMcePowerManager::FrontPanelResume()
{
    FpManager->OnResume();
}
