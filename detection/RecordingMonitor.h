#pragma once
#include <cstdint>
#include <memory>
#include <string>

#include "detection/McsaClient.h"
#include "detection/NetSessionSensor.h"
#include "detection/ProcessSensor.h"
#include "engine/WakeKind.h"
#include "foundation/PersistentVariables.h"
#include "platform/Windowing.h"

struct cPlatform;
class cMcePowerManager;
class cMediaCenterExtender;
class cMessageLogger;
class cWindowsVersion;

// StayAwakeConditions: one bit for each reason to keep the machine awake,
// rebuilt by every evaluation.
constexpr uint32_t SA_REC_DISABLED = 0x00000001;         // automatic-wake detection is off
constexpr uint32_t SA_MC_IDLE_DISABLED = 0x00000002;     // Media Center idle detection is off
constexpr uint32_t SA_INPUT_IDLE_DISABLED = 0x00000004;  // no-input detection is off
constexpr uint32_t SA_ALWAYS = 0x00000008;
constexpr uint32_t SA_REC_GRACE = 0x00000100;       // a recording within the recording grace
constexpr uint32_t SA_REC_RECENT = 0x00000200;      // a recording within the last 30 s
constexpr uint32_t SA_MC_BUSY = 0x00000400;         // Media Center idle for at most MceIdleTimeout
constexpr uint32_t SA_APPS_NON_USER = 0x00000800;   // a listed program runs (counter 2)
constexpr uint32_t SA_APPS = 0x00001000;            // a listed program runs (counter 0)
constexpr uint32_t SA_EXTENDER = 0x00002000;        // an extender within the last 300 s
constexpr uint32_t SA_EXEC_STATE = 0x00004000;      // a program holds the execution state
constexpr uint32_t SA_INPUT_MC = 0x00008000;        // user input within MceIdleTimeout
constexpr uint32_t SA_INPUT = 0x00010000;           // user input within UserInputIdleTimeout
constexpr uint32_t SA_RDP = 0x00020000;             // a Remote Desktop session within the last 300 s
constexpr uint32_t SA_NET_SESSION = 0x00040000;     // a listed network user within the last 300 s
constexpr uint32_t SA_NOT_FULLSCREEN = 0x00080000;  // the Media Center window has a caption
constexpr uint32_t SA_NOT_FOREGROUND = 0x00100000;  // the Media Center window is not in front

// An idle period is reached when none of the bits of its mask is set.
// After an automatic or unattended wake:
constexpr uint32_t IDLE_MASK_NON_USER = SA_REC_DISABLED | SA_REC_GRACE | SA_APPS_NON_USER | SA_EXTENDER |
                                        SA_EXEC_STATE | SA_RDP | SA_NET_SESSION;
// Media Center running and idle:
constexpr uint32_t IDLE_MASK_MEDIA_CENTER_IDLE = SA_MC_IDLE_DISABLED | SA_REC_RECENT | SA_MC_BUSY | SA_APPS |
                                                 SA_EXTENDER | SA_INPUT_MC | SA_RDP | SA_NET_SESSION |
                                                 SA_NOT_FULLSCREEN | SA_NOT_FOREGROUND;
// Media Center running and no user input:
constexpr uint32_t IDLE_MASK_NO_INPUT = SA_INPUT_IDLE_DISABLED | SA_REC_RECENT | SA_APPS | SA_EXTENDER | SA_INPUT |
                                        SA_RDP | SA_NET_SESSION | SA_NOT_FULLSCREEN | SA_NOT_FOREGROUND;
static_assert(IDLE_MASK_NON_USER == 0x00066901);
static_assert(IDLE_MASK_MEDIA_CENTER_IDLE == 0x001EB602);
static_assert(IDLE_MASK_NO_INPUT == 0x001F3204);

// RecordingMonitorEnabled reads false for this reason while the machine
// hibernates and unattended wakes do not count as automatic: such a wake
// cannot be told from a user's.
constexpr uint32_t RECORDING_MONITOR_NEEDS_NON_USER_WAKES = 0x40;

// The settings of the recording monitor (HKEY_LOCAL_MACHINE), read at every
// use. Timeouts are in seconds.
struct cRecordingMonitorSettings {
    explicit cRecordingMonitorSettings(cRegistry& registry);

    // Sleep when an automatic or unattended wake has done its work.
    cPersistentBool RecordingMonitorEnabled;
    // Sleep when Media Center runs and is idle ...
    cPersistentBool MceIdleDetectionEnabled;
    // ... or when it runs and the user has not touched the machine.
    cPersistentBool UserInputIdleDetection;
    cPersistentInteger MceIdleTimeout;
    cPersistentInteger UserInputIdleTimeout;
    // A paused Media Center session counts as idle.
    cPersistentBool PausedIsIdle;
    // Ask for away mode while an extender is in use (then an extender keeps
    // an automatic wake going only in away mode).
    cPersistentBool ForceAwayWhenExtenderInUse;
    // Programs that hold the system's execution state do not keep it awake.
    cPersistentBool IgnoreSuspendBlock;
    // The Media Center periods need its window in front ...
    cPersistentBool OnlyIfForegroundApplication;
    // ... and full screen.
    cPersistentBool OnlyIfFullscreen;
    // A recording grace of 30 s instead of 360 s after a wake.
    cPersistentBool DebugRecordingMonitor;
    // Logs the monitor's figures on every evaluation.
    cPersistentBool LogActivity;
};

// Decides, once per second, whether the machine may go back to sleep, and
// asks the engine for the sleep when an idle period is reached.
//
// Created by the main window in every role (the configurator edits its
// settings); where the engine runs, the main window tells it of every power
// event before the engine hears of it and calls EvaluateAwakeState on every
// one-second tick. Owns the process and network-session sensors and the
// Media Center link. Main thread only.
class cRecordingMonitor {
public:
    // Registers itself with the engine, which keeps a non-owning pointer.
    // The platform, engine, logger and session counter must outlive the
    // monitor, except that the engine may go first at session end, after
    // ForgetEngine. Nothing here depends on the Windows version; the
    // start-up passes it all the same.
    cRecordingMonitor(cPlatform& platform, cMcePowerManager& engine, cWindowsVersion& version,
                      cMessageLogger& logger, cMediaCenterExtender& sessionCounter);
    ~cRecordingMonitor();
    cRecordingMonitor(const cRecordingMonitor&) = delete;
    cRecordingMonitor& operator=(const cRecordingMonitor&) = delete;

    // The engine is about to go (session end): from now on the evaluation
    // does nothing and the settings are read as they stand.
    void ForgetEngine();

    // The one-second evaluation: gathers the evidence, logs what changed and
    // requests the sleep when an idle period has been reached.
    void EvaluateAwakeState();

    // Power events and start-up. Suspend stops the detection; Resume starts
    // it again delay ms later (0 or less: 60000 ms).
    void Suspend();
    void Resume(int32_t delay);
    // After a wake: forgets stale sensor state and gives recordings the full
    // grace to appear.
    void ResetForWake();
    // Every idle period starts again from now.
    void RestartIdleTimers();

    // Updates the hibernation reason of RecordingMonitorEnabled, then reads it.
    bool IsRecordingMonitorEnabled();
    // The same update, then whether nothing at all disables the setting.
    bool CanEnableRecordingMonitor();

    // For the status texts.
    bool IsDetectionSuspended() const { return DetectionSuspended; }
    // The last evaluation reached the Media Center link.
    bool IsMonitoring() const { return Monitored; }
    bool IsMediaCenterLinkPresent() const { return Reading.LinkPresent; }
    bool IsMediaCenterActive() const { return Reading.MediaCenterActive; }
    bool IsMediaCenterIdle() const { return Reading.MediaCenterIdle; }
    uint32_t GetMediaCenterIdleSince() const { return MediaCenterIdleSince; }
    int GetActiveRecordings() const { return Reading.ActiveRecordings; }
    int GetExtendersInUse() const { return ExtendersInUse; }
    uint32_t GetLastRecordingTick() const { return LastRecordingTick; }
    uint32_t GetStayAwakeConditions() const { return StayAwakeConditions; }
    // The time since the tick as hours:minutes.seconds, such as 1:02.05.
    std::string FormatElapsed(uint32_t tick);

    cRecordingMonitorSettings Settings;

private:
    // What one evaluation has read or found once and uses in several steps.
    struct cReadings {
        uint32_t Now = 0;
        uint32_t LastInput = 0;
        uint32_t ExecutionState = 0;
        cWakeKind Wake;
        bool ForceAway = false;
        int32_t MceIdleTimeout = 0;
        WindowHandle MediaCenterWindow = 0;  // 0: none
    };

    // The update of IsRecordingMonitorEnabled from the engine's settings as
    // the caller has read them.
    bool IsRecordingMonitorEnabled(bool hibernation, bool treatUnattendedAsAutomatic);
    void ReadMediaCenterSessions(uint32_t now, bool logActivity);
    void LogAwakeState(int state, const cWakeKind& wake);
    void LogTriggerNames(const cSensor& sensor);
    uint32_t GetSystemExecutionState();
    uint32_t BuildConditions(const cReadings& readings);
    uint32_t WindowConditions(WindowHandle mediaCenterWindow);
    void LogActivityLine(uint32_t secsRec, uint32_t secsMc, uint32_t secsInp, int32_t mceIdleTimeout);
    void Decide(int state, uint32_t conditions);
    void RequestSleep(const char* period, bool fromAutomatic);
    uint32_t Now();
    void Log(const std::string& text, bool first = true);

    cPlatform& Platform;
    // Null once the engine has gone.
    cMcePowerManager* Engine;
    cMessageLogger& Logger;
    cMediaCenterExtender& SessionCounter;

    cProcessSensor ProcessSensor;
    cSessionSensor SessionSensor;
    cMcsaClient McsaClient;
    cMediaCenterSessionReader SessionReader;
    // This monitor's word among the engine's execution-state requests.
    const int ExecutionStateSlot;

    uint32_t LastRecordingTick;
    uint32_t LastExtenderTick;
    uint32_t LastRdpTick;
    uint32_t MediaCenterIdleSince;
    uint32_t LastEvaluationTick;
    // Seconds after the last recording (or timer restart) that an automatic
    // wake is kept going for.
    uint32_t RecordingGrace;

    bool DetectionSuspended = false;
    uint32_t ResumeDelay = 0;
    uint32_t ResumeTick;

    bool NonUser = false;
    int AwakeState;

    // Last logged values, so that only changes are logged.
    bool UpdateRunning = false;
    int32_t ExtendersInUse = 0;
    int32_t RdpSessionsInUse = 0;
    int32_t Applications[3] = {0, 0, 0};
    int32_t NetworkSessions = 0;
    int32_t ActiveRecordings;
    uint32_t ExecutionState = 0xFFFFFF;
    // The last query of the execution state failed (its box was shown).
    bool ExecutionStateFailing = false;
    uint32_t StayAwakeConditions = 0;

    // Latest Media Center link reading. Monitored is set by the reading and
    // cleared at the start of each evaluation: an evaluation that finds it
    // clear knows the previous one stopped short of the link.
    cMediaCenterReading Reading;
    bool WasMediaCenterActive = false;
    bool Monitored = false;
};
