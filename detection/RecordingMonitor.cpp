#include "detection/RecordingMonitor.h"

#include <cstdio>

#include "detection/MediaCenterExtender.h"
#include "engine/McePowerManager.h"
#include "osconfig/OSConfiguration.h"
#include "foundation/MessageLogger.h"
#include "foundation/Settings.h"
#include "foundation/Ticks.h"
#include "platform/Platform.h"
#include "platform/PowerPolicy.h"
#include "targets/MediaCenterContract.h"

namespace {

// Seconds a recording keeps an automatic wake going: after a wake, and once
// a recording has been seen.
constexpr uint32_t WAKE_RECORDING_GRACE = 360;
constexpr uint32_t RECORDING_GRACE = 30;
// A recording within this many seconds also keeps Media Center awake.
constexpr uint32_t RECENT_RECORDING_SECONDS = 30;
// An extender, Remote Desktop or network session keeps the machine awake
// this many seconds after it was last in use.
constexpr uint32_t REMOTE_SESSION_SECONDS = 300;
// Evaluations further apart than this mean that the machine slept or the
// timer stalled: every idle period starts again.
constexpr uint32_t EVALUATION_GAP_SECONDS = 60;
constexpr uint32_t DEFAULT_RESUME_DELAY = 60000;

// The longest list of trigger names that is logged.
constexpr size_t MAX_TRIGGER_NAMES = 199;

// GetTitleBarInfo: a window without a visible caption is full screen.
constexpr uint32_t STATE_SYSTEM_INVISIBLE = 0x00008000;
constexpr uint32_t ES_AWAYMODE_REQUIRED = 0x00000040;

const char* AwakeStateName(int state)
{
    switch (state) {
    case AS_UNKNOWN:
        return "AS_UNKNOWN";
    case AS_SUSPENDED:
        return "AS_SUSPENDED";
    case AS_NON_USER:
        return "AS_NON_USER";
    case AS_MEDIACENTER:
        return "AS_MEDIACENTER";
    case AS_DESKTOP:
        return "AS_DESKTOP";
    default:
        return "";
    }
}

std::string Hex8(uint32_t value)
{
    char text[9];
    std::snprintf(text, sizeof text, "%08X", value);
    return text;
}

// Whether seconds is at most the limit; a negative limit is never reached.
bool AtMost(uint32_t seconds, int32_t limit)
{
    return static_cast<int64_t>(seconds) <= static_cast<int64_t>(limit);
}

}  // namespace

cRecordingMonitorSettings::cRecordingMonitorSettings(cRegistry& registry)
    : RecordingMonitorEnabled(registry, "RecordingMonitorEnabled", HIVE_LOCAL_MACHINE, true),
      MceIdleDetectionEnabled(registry, "MceIdleDetectionEnabled", HIVE_LOCAL_MACHINE, true),
      UserInputIdleDetection(registry, "UserInputIdleDetection", HIVE_LOCAL_MACHINE, false),
      MceIdleTimeout(registry, "MceIdleTimeout", HIVE_LOCAL_MACHINE, 1800),
      UserInputIdleTimeout(registry, "UserInputIdleTimeout", HIVE_LOCAL_MACHINE, 18000),
      PausedIsIdle(registry, "PausedIsIdle", HIVE_LOCAL_MACHINE, false),
      ForceAwayWhenExtenderInUse(registry, "ForceAwayWhenExtenderInUse", HIVE_LOCAL_MACHINE, true),
      IgnoreSuspendBlock(registry, "IgnoreSuspendBlock", HIVE_LOCAL_MACHINE, true),
      OnlyIfForegroundApplication(registry, "OnlyIfForegroundApplication", HIVE_LOCAL_MACHINE, true),
      OnlyIfFullscreen(registry, "OnlyIfFullscreen", HIVE_LOCAL_MACHINE, true),
      DebugRecordingMonitor(registry, "DebugRecordingMonitor", HIVE_LOCAL_MACHINE, false),
      LogActivity(registry, "LogActivity", HIVE_LOCAL_MACHINE, false)
{
}

// ---------------------------------------------------------------------------
// Construction

cRecordingMonitor::cRecordingMonitor(cPlatform& platform, cMcePowerManager& engine, cWindowsVersion& /*version*/,
                                     cMessageLogger& logger, cMediaCenterExtender& sessionCounter)
    : Settings(platform.Registry),
      Platform(platform),
      Engine(&engine),
      Logger(logger),
      SessionCounter(sessionCounter),
      ProcessSensor(platform),
      SessionSensor(platform),
      McsaClient(platform.SharedMemory, MCSA_BLOCK_NAME),
      SessionReader(McsaClient, logger),
      ExecutionStateSlot(engine.AllocateExecutionStateSlot())
{
    const uint32_t now = Now();
    LastRecordingTick = now;
    LastExtenderTick = now;
    LastRdpTick = now;
    MediaCenterIdleSince = now;
    LastEvaluationTick = now;
    ResumeTick = now;
    RecordingGrace = Settings.DebugRecordingMonitor ? RECORDING_GRACE : WAKE_RECORDING_GRACE;
    AwakeState = AS_UNKNOWN;
    // -1 makes the first evaluation log the count.
    ActiveRecordings = Settings.LogActivity ? -1 : 0;
    Engine->SetRecordingMonitor(this);
}

// The engine is not touched here: at session end it is destroyed before the
// monitor.
cRecordingMonitor::~cRecordingMonitor() = default;

void cRecordingMonitor::ForgetEngine()
{
    Engine = nullptr;
}

// ---------------------------------------------------------------------------
// Power events

void cRecordingMonitor::Suspend()
{
    if (Settings.LogActivity)
        Log("RecordingMonitor Suspend");
    DetectionSuspended = true;
    ResumeDelay = 0;
}

void cRecordingMonitor::Resume(int32_t delay)
{
    ResumeDelay = delay > 0 ? static_cast<uint32_t>(delay) : DEFAULT_RESUME_DELAY;
    if (Settings.LogActivity)
        Log("RecordingMonitor Resume(" + std::to_string(delay) + ").");
    ResumeTick = Now();
}

void cRecordingMonitor::ResetForWake()
{
    ProcessSensor.WakeReset();
    SessionSensor.WakeReset();
    AwakeState = AS_SUSPENDED;
    RecordingGrace = Settings.DebugRecordingMonitor ? RECORDING_GRACE : WAKE_RECORDING_GRACE;
}

void cRecordingMonitor::RestartIdleTimers()
{
    const uint32_t now = Now();
    MediaCenterIdleSince = now;
    LastRecordingTick = now;
}

// ---------------------------------------------------------------------------
// Settings

bool cRecordingMonitor::IsRecordingMonitorEnabled()
{
    if (!Engine)
        return Settings.RecordingMonitorEnabled;
    return IsRecordingMonitorEnabled(Engine->Settings.SleepState == SLEEP_STATE_HIBERNATION,
                                     Engine->Settings.TreatUnattendedAsAutomatic);
}

bool cRecordingMonitor::IsRecordingMonitorEnabled(bool hibernation, bool treatUnattendedAsAutomatic)
{
    // With hibernation the system's report of an automatic wake is not
    // trusted, so only unattended wakes can end automatically.
    Settings.RecordingMonitorEnabled.SetEnabled(RECORDING_MONITOR_NEEDS_NON_USER_WAKES,
                                                !hibernation || treatUnattendedAsAutomatic);
    return Settings.RecordingMonitorEnabled;
}

bool cRecordingMonitor::CanEnableRecordingMonitor()
{
    IsRecordingMonitorEnabled();
    return Settings.RecordingMonitorEnabled.IsEnabled();
}

// ---------------------------------------------------------------------------
// Evaluation

void cRecordingMonitor::EvaluateAwakeState()
{
    if (!Engine)
        return;
    const uint32_t now = Now();

    // 1. The first input since the engine's baseline.
    const uint32_t lastInput = Engine->GetLastUserInputTick();
    if (lastInput != Engine->GetUserActivityBaseline() && !Engine->IsInputAfterBaselineLogged()) {
        Engine->SetInputAfterBaselineLogged(true);
        Log("User input detected (" + std::to_string(static_cast<int32_t>(lastInput)) + ")");
    }

    // 2. The previous evaluation stopped short of the link (or this is the
    // first): nothing was measured meanwhile.
    if (!Monitored)
        RestartIdleTimers();
    Monitored = false;

    // 3. The wake changed its kind. Its settings are read once here, still
    // at every evaluation, so a change takes effect at the next one.
    const cWakeKind wake = Engine->GetWakeKind();
    const bool nonUser = wake.IsNonUserResume();
    if (nonUser != NonUser) {
        RestartIdleTimers();
        NonUser = nonUser;
    }

    // 4. The machine slept or the timer stalled since the last evaluation.
    if (SecondsSince(now, LastEvaluationTick) > EVALUATION_GAP_SECONDS)
        RestartIdleTimers();
    LastEvaluationTick = now;

    // 5. Detection suspended: wait for the resume delay (tick differences
    // stay right across the wrap of the tick count).
    if (DetectionSuspended) {
        if (ResumeDelay == 0 || now - ResumeTick < ResumeDelay) {
            RestartIdleTimers();
            return;
        }
        DetectionSuspended = false;
        ResumeDelay = 0;
    }

    // Settings used twice below are read once per evaluation, likewise.
    const bool logActivity = Settings.LogActivity;
    const bool forceAway = Settings.ForceAwayWhenExtenderInUse;
    const int32_t mceIdleTimeout = Settings.MceIdleTimeout;

    // 6. Media Center sessions and recordings; 7. programs and network users.
    ReadMediaCenterSessions(now, logActivity);
    ProcessSensor.Update();
    SessionSensor.Update();

    // 8. Awake state. Media Center's window is looked for once: the
    // conditions below ask about the same window.
    const WindowHandle mediaCenterWindow =
        Platform.Windowing.FindWindow(Engine->GetMediaCenterWindowClass(), "");
    const int state = wake.AwakeState(mediaCenterWindow != 0);
    if (state != AwakeState) {
        AwakeState = state;
        LogAwakeState(state, wake);
        if (state == AS_MEDIACENTER)
            MediaCenterIdleSince = now;
    }

    // 9. to 15. Log what changed.
    const bool updating = ProcessSensor.GetCounter(PROCESS_COUNTER_UPDATE) > 0;
    if (updating != UpdateRunning) {
        UpdateRunning = updating;
        Log(updating ? "Media center update started" : "Media center update done");
    }

    const int32_t extenders = SessionCounter.GetExtendersInUseCount();
    if (extenders > 0)
        LastExtenderTick = now;
    if (extenders != ExtendersInUse) {
        ExtendersInUse = extenders;
        Log("Number of extenders in use: " + std::to_string(extenders));
    }

    const int32_t rdpSessions = SessionCounter.GetRdpSessionsInUse();
    if (rdpSessions > 0)
        LastRdpTick = now;
    if (rdpSessions != RdpSessionsInUse) {
        RdpSessionsInUse = rdpSessions;
        Log("Number of RDP sessions in use: " + std::to_string(rdpSessions));
    }

    const int32_t c0 = ProcessSensor.GetCounter(PROCESS_COUNTER_ALL);
    const int32_t c1 = ProcessSensor.GetCounter(PROCESS_COUNTER_ALL_2);
    const int32_t c2 = ProcessSensor.GetCounter(PROCESS_COUNTER_NON_USER);
    if (c0 != Applications[0] || c1 != Applications[1] || c2 != Applications[2]) {
        Log("Number of \"Non Idle Applications\" running: " + std::to_string(c0) + "/" + std::to_string(c1) + "/" +
            std::to_string(c2));
        Applications[0] = c0;
        Applications[1] = c1;
        Applications[2] = c2;
        LogTriggerNames(ProcessSensor);
    }

    const int32_t netSessions = SessionSensor.GetCounter(NETSESSION_COUNTER_ACTIVE);
    if (netSessions != NetworkSessions) {
        Log("Number of \"Non Idle Networksessions\" active: " + std::to_string(netSessions));
        NetworkSessions = netSessions;
        LogTriggerNames(SessionSensor);
    }

    if (Reading.ActiveRecordings != ActiveRecordings) {
        ActiveRecordings = Reading.ActiveRecordings;
        Log("Number of active recordings: " + std::to_string(ActiveRecordings));
    }

    const uint32_t executionState = GetSystemExecutionState();
    if (executionState != ExecutionState) {
        ExecutionState = executionState;
        Log("ExecutionState: " + std::to_string(static_cast<int32_t>(executionState)));
    }

    // 16. Away mode keeps an extender or a network client served while the
    // machine looks asleep. Written every time, changed or not.
    const bool away = (forceAway && extenders > 0) || netSessions > 0;
    Engine->SetExecutionStateSlot(ExecutionStateSlot, away ? ES_AWAYMODE_REQUIRED : 0);

    // 17. and 18. The conditions.
    cReadings readings;
    readings.Now = now;
    readings.LastInput = lastInput;
    readings.ExecutionState = executionState;
    readings.Wake = wake;
    readings.ForceAway = forceAway;
    readings.MceIdleTimeout = mceIdleTimeout;
    readings.MediaCenterWindow = mediaCenterWindow;
    const uint32_t conditions = BuildConditions(readings);
    if (conditions != StayAwakeConditions) {
        Log("StayAwakeConditions: " + Hex8(conditions) + " (" + Hex8(conditions ^ StayAwakeConditions) + ")");
        StayAwakeConditions = conditions;
    }

    // 19. Activity line.
    if (logActivity)
        LogActivityLine(SecondsSince(now, LastRecordingTick), SecondsSince(now, MediaCenterIdleSince),
                        SecondsSince(now, lastInput), mceIdleTimeout);

    // 20. Decision.
    Decide(state, conditions);
}

void cRecordingMonitor::ReadMediaCenterSessions(uint32_t now, bool logActivity)
{
    Reading = SessionReader.Read(Settings.PausedIsIdle, logActivity);
    Monitored = true;
    // Media Center idle time counts from its start, and from its last activity.
    if (Reading.MediaCenterActive && !WasMediaCenterActive)
        MediaCenterIdleSince = now;
    WasMediaCenterActive = Reading.MediaCenterActive;
    if (!Reading.MediaCenterIdle)
        MediaCenterIdleSince = now;
    if (Reading.ActiveRecordings > 0) {
        LastRecordingTick = now;
        RecordingGrace = RECORDING_GRACE;
    }
}

void cRecordingMonitor::LogAwakeState(int state, const cWakeKind& wake)
{
    Log(std::string("AwakeState: ") + AwakeStateName(state));
    // The system's answer as it came, then as true or false.
    auto flag = [](bool value) { return std::string(value ? "1 " : "0 "); };
    Log(flag(wake.AwayMode) + std::to_string(wake.SystemAutomatic) + " " + flag(wake.SystemAutomatic != 0) +
        flag(wake.TreatUnattendedAsAutomatic) + flag(wake.Unattended) + flag(wake.IsNonUserResume()));
}

void cRecordingMonitor::LogTriggerNames(const cSensor& sensor)
{
    std::string names;
    for (int i = 0; i < sensor.GetTriggerCount(); ++i) {
        const cTrigger* trigger = sensor.GetTrigger(i);
        if (!trigger->IsActive())
            continue;
        if (!names.empty())
            names += ", ";
        names += trigger->GetName();
    }
    if (names.size() > MAX_TRIGGER_NAMES)
        names.resize(MAX_TRIGGER_NAMES);
    if (!names.empty())
        Log(names, false);
}

uint32_t cRecordingMonitor::GetSystemExecutionState()
{
    uint32_t state = 0;
    // Asked every second: a failure is shown once, at the start of a streak.
    const bool read = Engine->GetOSConfiguration().CallPowerInformation(POWER_INFO_EXECUTION_STATE, nullptr, 0,
                                                                       &state, sizeof state,
                                                                       !ExecutionStateFailing);
    ExecutionStateFailing = !read;
    return read ? state : 0;
}

uint32_t cRecordingMonitor::BuildConditions(const cReadings& readings)
{
    const uint32_t now = readings.Now;
    const uint32_t secsRec = SecondsSince(now, LastRecordingTick);
    const uint32_t secsMc = SecondsSince(now, MediaCenterIdleSince);
    const uint32_t secsInp = SecondsSince(now, readings.LastInput);
    const int32_t mceIdleTimeout = readings.MceIdleTimeout;

    uint32_t conditions = SA_ALWAYS;
    if (!IsRecordingMonitorEnabled(readings.Wake.Hibernation, readings.Wake.TreatUnattendedAsAutomatic))
        conditions |= SA_REC_DISABLED;
    if (!Settings.MceIdleDetectionEnabled)
        conditions |= SA_MC_IDLE_DISABLED;
    if (!Settings.UserInputIdleDetection)
        conditions |= SA_INPUT_IDLE_DISABLED;
    if (secsRec <= RecordingGrace)
        conditions |= SA_REC_GRACE;
    if (secsRec <= RECENT_RECORDING_SECONDS)
        conditions |= SA_REC_RECENT;
    if (AtMost(secsMc, mceIdleTimeout))
        conditions |= SA_MC_BUSY;
    if (Applications[2] > 0)
        conditions |= SA_APPS_NON_USER;
    if (Applications[0] > 0)
        conditions |= SA_APPS;
    // With away mode forced, an extender keeps the machine awake only in
    // away mode: otherwise away mode itself does.
    if ((!readings.ForceAway || readings.Wake.AwayMode) &&
        SecondsSince(now, LastExtenderTick) <= REMOTE_SESSION_SECONDS)
        conditions |= SA_EXTENDER;
    if (!Settings.IgnoreSuspendBlock && readings.ExecutionState != 0)
        conditions |= SA_EXEC_STATE;
    if (AtMost(secsInp, mceIdleTimeout))
        conditions |= SA_INPUT_MC;
    if (AtMost(secsInp, Settings.UserInputIdleTimeout))
        conditions |= SA_INPUT;
    if (SecondsSince(now, LastRdpTick) <= REMOTE_SESSION_SECONDS)
        conditions |= SA_RDP;
    if (SecondsSince(now, SessionSensor.GetLatestActivity()) < REMOTE_SESSION_SECONDS)
        conditions |= SA_NET_SESSION;
    return conditions | WindowConditions(readings.MediaCenterWindow);
}

uint32_t cRecordingMonitor::WindowConditions(WindowHandle window)
{
    if (window == 0)
        return 0;
    uint32_t conditions = 0;
    if (Settings.OnlyIfFullscreen) {
        // A window whose caption cannot be queried counts as full screen.
        cTitleBarStates states{};
        if (Platform.Windowing.GetTitleBarInfo(window, states) && !(states[0] & STATE_SYSTEM_INVISIBLE))
            conditions |= SA_NOT_FULLSCREEN;
    }
    if (Settings.OnlyIfForegroundApplication && Platform.Windowing.GetForegroundWindow() != window)
        conditions |= SA_NOT_FOREGROUND;
    return conditions;
}

void cRecordingMonitor::LogActivityLine(uint32_t secsRec, uint32_t secsMc, uint32_t secsInp, int32_t mceIdleTimeout)
{
    std::string line = "Rec: " + std::to_string(secsRec) + "(" + std::to_string(RECENT_RECORDING_SECONDS) + ")";
    if (IsMediaCenterActive())
        line += " MC: " + std::to_string(secsMc) + "(" + std::to_string(mceIdleTimeout) + ")";
    else
        line += " (MC: " + std::to_string(secsMc) + ")";
    line += " Inp: " + std::to_string(secsInp) + " Exe: " + std::to_string(Applications[0]);
    Log(line);
}

void cRecordingMonitor::Decide(int state, uint32_t conditions)
{
    if (state == AS_NON_USER) {
        if ((conditions & IDLE_MASK_NON_USER) == 0)
            RequestSleep(Engine->IsAutomaticResume() ? "Automatic-resume idle period detected"
                                                    : "Unattended-resume idle period detected",
                         true);
    } else if (state == AS_MEDIACENTER) {
        // Both periods may be reached at once: two requests, in this order.
        if ((conditions & IDLE_MASK_MEDIA_CENTER_IDLE) == 0)
            RequestSleep("'Media Center is running and idle' idle period detected", false);
        if ((conditions & IDLE_MASK_NO_INPUT) == 0)
            RequestSleep("'Media Center is running and no user input' idle period detected", false);
    }
}

void cRecordingMonitor::RequestSleep(const char* period, bool fromAutomatic)
{
    Log(period);
    // Restarted on both sides: if the machine does not sleep, the same
    // period comes again only after its full time.
    RestartIdleTimers();
    Engine->RequestSuspend(fromAutomatic);
    RestartIdleTimers();
}

// ---------------------------------------------------------------------------

std::string cRecordingMonitor::FormatElapsed(uint32_t tick)
{
    const uint32_t seconds = SecondsSince(Now(), tick);
    char text[24];
    std::snprintf(text, sizeof text, "%u:%02u.%02u", seconds / 3600, seconds % 3600 / 60, seconds % 60);
    return text;
}

uint32_t cRecordingMonitor::Now()
{
    return Platform.Clock.GetTickCount();
}

void cRecordingMonitor::Log(const std::string& text, bool first)
{
    Logger.WriteLine(text, first);
}
