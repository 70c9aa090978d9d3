#pragma once
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "engine/EngineSettings.h"
#include "diagnostics/SystemInformation.h"
#include "engine/EventActions.h"
#include "engine/ExecutionStateSlots.h"
#include "engine/PowerManager.h"
#include "engine/RebootScheduler.h"
#include "engine/WakeKind.h"
#include "foundation/PersistentVariables.h"
#include "platform/Platform.h"
#include "targets/TargetEhome.h"
#include "targets/TargetMediaPortal.h"

class cCPU;
class cMessageLogger;
class cOSConfiguration;
class cFpManager;
class cRecordingMonitor;
class cScreenBlanker;
class cSuspendInitiator;
class cWindowsVersion;

// The two settings of the standby profile that the configurator's power
// pages share with the engine.
class cSuspendEngineConfiguration {
public:
    explicit cSuspendEngineConfiguration(cRegistry& registry);
    virtual ~cSuspendEngineConfiguration() = default;

    // The front-ends are also closed when an automatic wake ends and started
    // after an automatic resume.
    cPersistentBool RestartAtAutomaticResume;
    // Version of the standby profile last applied (the configurator asks to
    // choose the sleep state again while it is below 2).
    cPersistentInteger StandbyProfileVersion;
};

// The suspend engine of the Windows XP family, and the base of the one for
// Vista and later. Created by the main window, which routes every power
// broadcast to it; lives and runs on the main thread.
//
// It tells automatic, unattended and user wakes apart, closes the front-ends
// before the machine sleeps and restores the user interface when the user
// comes back, and learns whether this machine reports automatic wakes at all.
class cMcePowerManager : public cPowerManager, public cSuspendEngineConfiguration, private cRebootHost {
public:
    // The LOG switch (logFlag) is accepted and ignored: the LogMode setting
    // decides. Installs the logger's new-file hook. The platform, version, system-information reader,
    // processor reader, OS configuration and logger must outlive the engine.
    cMcePowerManager(cPlatform& platform, cWindowsVersion& version, cSystemInformation& systemInformation, cCPU& cpu,
                     cOSConfiguration& osConfiguration, bool logFlag, cMessageLogger& logger);
    ~cMcePowerManager() override;
    cMcePowerManager(const cMcePowerManager&) = delete;
    cMcePowerManager& operator=(const cMcePowerManager&) = delete;

    // The OS configuration the engine was built with (the monitor asks it
    // for the system's execution state).
    cOSConfiguration& GetOSConfiguration() { return OSConfiguration; }

    // The power broadcasts.
    void OnBatteryLow() override;
    void OnOemEvent(uint32_t eventCode) override;
    void OnPowerStatusChange() override;
    uint32_t OnQuerySuspend(uint32_t flags) override;
    void OnQuerySuspendFailed() override;
    void OnResumeAutomatic() override;
    void OnResumeCritical() override;
    void OnSuspend() override;
    void OnResumeSuspend() override;
    void OnAway() override;
    void OnAwayResume() override;
    void OnPowerSettingChange(const cPowerBroadcastSetting* setting) override;
    void OnUnknownPowerEvent() override;

    // Brings back what the user works with after a wake: the display, the
    // front-ends, the front panel.
    virtual void RestoreTargets();
    virtual int32_t GetRebootMode();
    virtual bool IsRebootModeAvailable();
    // Puts the machine to sleep (standby true) or into hibernation. Here, on
    // the XP family, the call returns after the wake: 0 on success (or when
    // a forced reboot took the sleep's place), negative on failure (-1 also
    // when away mode is required). forced skips the applications' consent
    // after the engine's own suspend query.
    virtual int32_t SuspendSystem(bool standby, bool forced);

    // Puts the machine into the configured sleep state (hibernation when
    // SleepState is 5, else standby). fromAutomatic tells whether the end of
    // an automatic or unattended wake asks; it changes nothing.
    int32_t RequestSuspend(bool fromAutomatic) override;

    // The execution states the detection requests (see cExecutionStateSlots).
    int AllocateExecutionStateSlot() { return ExecutionStates.Allocate(); }
    uint32_t SetExecutionStateSlot(int slot, uint32_t flags) { return ExecutionStates.Set(slot, flags); }
    uint32_t GetCombinedExecutionState() const { return ExecutionStates.GetCombined(); }

    // Starts the forced reboot when one is due now; true when it started.
    bool CheckForcedReboot() { return Reboots->CheckForcedReboot(); }
    // Once, after the start-up of the engine role: the follow-up of a
    // forced reboot, or the front-ends that start at logon.
    void EngineStartup() { Reboots->EngineStartup(); }

    // How the current wake counts, each setting behind it read once.
    cWakeKind GetWakeKind();
    int GetAwakeState() { return GetWakeKind().AwakeState(Ehome.IsRunning()); }
    bool IsNonUserResume() { return GetWakeKind().IsNonUserResume(); }
    bool IsUnattended();
    bool IsAutomaticResume();
    bool IsInAwayMode() const { return AwayMode; }
    bool IsMonitorOn() const { return MonitorOn; }
    // The later of the last user input and the baseline reset.
    uint32_t GetLastUserInputTick();
    // The class of the Media Center front-end's main window.
    std::string GetMediaCenterWindowClass() { return Ehome.GetWindowClass(); }
    // The Media Center target, for the configurator and the start-up.
    cTargetEhome& GetEhome() { return Ehome; }
    cTargetMediaPortal& GetMediaPortal() { return MediaPortal; }
    // Every front-end target, Media Center first.
    std::vector<cTargetApplication*> GetTargets() { return Targets(); }
    void ResetUserActivityBaseline();
    uint32_t GetUserActivityBaseline() const { return ActivityBaseline; }
    // Kept for the recording monitor: input after the baseline was logged.
    bool IsInputAfterBaselineLogged() const { return InputAfterBaselineLogged; }
    void SetInputAfterBaselineLogged(bool logged) { InputAfterBaselineLogged = logged; }

    // The answer to a suspend query; fromSuspendSystem is true when the
    // engine asks itself before a forced sleep.
    uint32_t HandleSuspendQuery(bool fromSuspendSystem);
    // True when Media Center downloaded its guide since the last check (and
    // that is logged).
    bool CheckGuideDownload();

    // Writes the system summary as the beginning of a new log file. The
    // engine installs it as the logger's new-file hook for its lifetime; the
    // file's path is taken from the logger itself.
    void WriteSystemSummary(const char* logFilePath);

    // The front-end status around a forced reboot.
    void StatusSave() override;
    void StatusRestore() override;
    void StatusClear() override;

    // For the configurator.
    void SetSleepState(int32_t state);
    void SetRebootMode(int32_t mode);
    // The stored moment of the last forced reboot; false when there is none.
    bool ReadLastForcedReboot(std::string& text) { return Reboots->ReadLastReboot(text); }
    bool GetDenyQuery() const { return DenyQuery; }
    // Debugging: refuse every suspend query.
    void SetDenyQuery(bool deny) { DenyQuery = deny; }
    bool GetLogMode();
    void SetLogMode(bool on);
    bool GetStoreTaskLists();
    void SetStoreTaskLists(bool on);
    // Whether any bit of mask is set in the flags of the power-button,
    // sleep-button or idle action of the AC power policy.
    bool TestPowerActionFlags(uint32_t mask);
    // Sets (on) or clears the bits in those three actions of the AC and the
    // DC policy; false when a policy could not be read or written.
    bool ChangePowerActionFlags(uint32_t mask, bool on);
    // The test page's actions: a forced reboot now, closing the front-ends
    // as a suspend does, and the blanker as the event actions drive it.
    void ForceReboot() { Reboots->ForceReboot(); }
    void CloseTargets();
    void Blank() { Actions->Blank(); }
    void UnBlank(bool restartPending) { Actions->UnBlank(restartPending); }

    // The main window stores the tick count of every power broadcast.
    void SetLastPowerBroadcastTick(uint32_t tick) { LastPowerBroadcastTick = tick; }
    // Set by the recording monitor when it is created; not owned.
    void SetRecordingMonitor(cRecordingMonitor* monitor) { RecordingMonitor = monitor; }

    cEngineSettings Settings;
    // The front panel manager's handler (the settings window's debug page
    // kills it on request).
    cFpManager& GetFpManager() { return *FpManager; }

protected:
    cPlatform& Platform;
    cWindowsVersion& Version;
    cSystemInformation& SystemInformation;
    cCPU& CPU;
    cOSConfiguration& OSConfiguration;
    cMessageLogger& Logger;
    cRecordingMonitor* RecordingMonitor = nullptr;
    cTargetEhome Ehome;
    cTargetMediaPortal MediaPortal;

    // Only changes the wording of resume log lines (set on Windows 7 and later).
    bool Windows7 = false;
    // Owned; created in this order by the constructor.
    std::unique_ptr<cScreenBlanker> Blanker;
    std::unique_ptr<cEventActions> Actions;
    std::unique_ptr<cRebootScheduler> Reboots;

private:
    // The front-end targets, Media Center first.
    std::vector<cTargetApplication*> Targets() { return {&Ehome, &MediaPortal}; }

    void MigrateLegacyPrograms();
    void ReplaceDelayDefaults();
    bool StartTargetsAfterWake();
    void WarnRunningFrontEnds();
    void StartFrontEndsAtLogon() override;
    // CallNtPowerInformation through the OS configuration, which shows failures.
    bool CallPowerInformation(int level, const void* input, uint32_t inputSize, void* output, uint32_t outputSize);
    bool ReadPowerPolicy(int level, cSystemPowerPolicy& policy);

    void TakeOverMediaCenterLogonStart();
    void FrontPanelResume();

    // User-activity baseline: the last-activity tick at the last reset and
    // the tick of that reset.
    uint32_t ActivityBaseline = 0;
    uint32_t BaselineResetTick = 0;
    bool InputAfterBaselineLogged = false;

    // The last SYSTEM_AWAYMODE and MONITOR_POWER_ON values the system reported.
    bool AwayMode = false;
    bool MonitorOn = true;
    tFileTimeBytes LastGuideDownload{};
    bool DenyQuery = false;

    // This wake so far; all cleared by the suspend handler.
    bool AutomaticResumeSeen = false;
    bool UserResumeSeen = false;
    bool FrontEndsStarted = false;
    // False only between a suspend and the first resume that shows the
    // user is there: an automatic resume then is doubtful on Windows 7.
    bool ResumeWording = true;

    cExecutionStateSlots ExecutionStates;

    uint32_t LastPowerBroadcastTick = 0;

    std::unique_ptr<cFpManager> FpManager;
};
