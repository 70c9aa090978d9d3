#pragma once
#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "engine/EngineSettings.h"
#include "engine/GuideDownload.h"
#include "engine/PowerManager.h"
#include "foundation/PersistentVariables.h"
#include "platform/Platform.h"

class cMessageLogger;
class cOSConfiguration;
class cFpManager;
class cRecordingMonitor;
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
class cMcePowerManager : public cPowerManager, public cSuspendEngineConfiguration {
public:
    // The LOG switch (logFlag) is accepted and ignored: the LogMode setting
    // decides. The platform, version, OS configuration and logger must
    // outlive the engine.
    cMcePowerManager(cPlatform& platform, cWindowsVersion& version, cOSConfiguration& osConfiguration,
                     bool logFlag, cMessageLogger& logger);
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
    int32_t RequestSuspend(bool fromAutomatic);

    // The execution states the detection requests: each holder owns one
    // slot (1 to 10) and writes its ES_ flags there; Windows gets their
    // combination as the main thread's continuous execution state.
    // 0 when all slots are taken (a holder with 0 writes into a slot that
    // is never combined).
    int AllocateExecutionStateSlot();
    // Stores the flags and passes the combination to SetThreadExecutionState;
    // returns what that returns (the previous state, 0 on failure).
    uint32_t SetExecutionStateSlot(int slot, uint32_t flags);
    // The flags of the slots handed out, with ES_CONTINUOUS (0x80000000).
    uint32_t GetCombinedExecutionState() const;

    // Starts the forced reboot when one is due now; true when it started.
    bool CheckForcedReboot();

    // How the current wake counts.
    int GetAwakeState();
    // The same, for a caller that has just asked IsNonUserResume and looked
    // for Media Center's window.
    int GetAwakeState(bool nonUserResume, bool mediaCenterRunning);
    bool IsNonUserResume();
    bool IsUnattended();
    bool IsAutomaticResume();
    bool IsInAwayMode() const { return AwayMode; }
    bool IsMonitorOn() const { return MonitorOn; }
    // The later of the last user input and the baseline reset.
    uint32_t GetLastUserInputTick();
    // The class of the Media Center front-end's main window.
    std::string GetMediaCenterWindowClass();
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

    // The front-end status around a forced reboot.
    void StatusSave();
    void StatusRestore();
    void StatusClear();

    // For the configurator.
    void SetSleepState(int32_t state);
    void SetRebootMode(int32_t mode);
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

    // The main window stores the tick count of every power broadcast.
    void SetLastPowerBroadcastTick(uint32_t tick) { LastPowerBroadcastTick = tick; }
    // Set by the recording monitor when it is created; not owned.
    void SetRecordingMonitor(cRecordingMonitor* monitor) { RecordingMonitor = monitor; }

    cEngineSettings Settings;
    // The front panel manager's handler (the settings window's debug page
    // kills it on request).
    cFpManager& GetFpManager() { return *FpManager; }

protected:
    // The Media Center target's engine-suspending flag (plugged in later,
    // like the seams below).
    void EhomeSetEngineSuspending(bool suspending);

    cPlatform& Platform;
    cWindowsVersion& Version;
    cOSConfiguration& OSConfiguration;
    cMessageLogger& Logger;
    cRecordingMonitor* RecordingMonitor = nullptr;

    // Only changes the wording of resume log lines (set on Windows 7 and later).
    bool Windows7 = false;
    // Wait after a forced reboot before standby when AutoRebootDelay is 0.
    int32_t PostRebootStandbyDelay = 30000;

private:
    enum class eTarget { Ehome, MediaPortal };
    static constexpr eTarget TARGETS[] = {eTarget::Ehome, eTarget::MediaPortal};

    void MigrateLegacyPrograms();
    void ReplaceDelayDefaults();
    void RunEventAction(const cPersistentAnsiString& command, const cPersistentInteger& flags);
    bool StartTargetsAfterWake();
    void CloseTargets();
    void SaveWindowTitle(const cWindowInfo& window);
    std::string TitlesFilePath();
    // CallNtPowerInformation through the OS configuration, which shows failures.
    bool CallPowerInformation(int level, const void* input, uint32_t inputSize, void* output, uint32_t outputSize);
    bool ReadPowerPolicy(int level, cSystemPowerPolicy& policy);

    // What later parts of the engine plug in (see the definitions).
    void TakeOverMediaCenterLogonStart();
    void CreateBlanker();
    void Blank();
    void UnBlank(bool restartPending);
    bool IsBlanking();
    void UnblankWhenWindowAppears(const std::string& windowClass, int32_t delay);
    void HideTaskBar();
    bool TargetIsRunning(eTarget target);
    bool TargetMustStopAtSuspend(eTarget target);
    bool TargetMustStartAtResume(eTarget target);
    std::string TargetWindowClass(eTarget target);
    void TargetClose(eTarget target, const cWindowInfo& window, bool hibernate);
    int TargetStartIfNeeded(eTarget target);
    void TargetRememberRunningAtSuspend(eTarget target, bool running);
    void TargetSaveRunningState(eTarget target);
    void TargetRestoreRunningState(eTarget target);
    void TargetClearRunningState(eTarget target);
    void EhomeQuerySuspend(uint32_t flags);
    bool RunEventProgram(const std::string& commandLine, int32_t flags);
    void WarnRunningFrontEnds();
    void RestartReceiverService();
    void RestartSchedulerService();
    void SetRebootPeriodValues();
    void FrontPanelResume();

    // User-activity baseline: the last-activity tick at the last reset and
    // the tick of that reset.
    uint32_t ActivityBaseline = 0;
    uint32_t BaselineResetTick = 0;
    bool InputAfterBaselineLogged = false;

    bool ForcedRebootStarted = false;
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

    bool PostRebootStandbyPending = false;

    // Execution-state requests of the detection (slot 0 is never combined).
    static constexpr int EXECUTION_STATE_SLOTS = 10;
    std::array<uint32_t, EXECUTION_STATE_SLOTS + 1> ExecutionStateSlots{};
    int ExecutionStateSlotCount = 0;

    uint32_t LastPowerBroadcastTick = 0;

    std::unique_ptr<cFpManager> FpManager;
};

// The engine for Windows Vista and later: the sleep call runs on its own
// thread, and it listens to the away-mode and display power settings.
class cVistaSuspendEngine : public cMcePowerManager {
public:
    // mainWindow receives the power-setting notifications.
    cVistaSuspendEngine(cPlatform& platform, cWindowsVersion& version, cOSConfiguration& osConfiguration,
                        bool logFlag, WindowHandle mainWindow, cMessageLogger& logger);
    // Stops the suspend initiator's thread first, then ends the
    // registrations.
    ~cVistaSuspendEngine() override;

    int32_t GetRebootMode() override;
    bool IsRebootModeAvailable() override;
    // Hands the sleep to the suspend initiator's thread and returns 1 at
    // once; the main thread then handles the broadcasts of the sleep in its
    // message loop. 0 when a forced reboot took the sleep's place.
    int32_t SuspendSystem(bool standby, bool forced) override;

private:
    void RefreshRebootModeAvailability();
    void RegisterPowerSettingNotifications();
    bool IsRecordingMonitorEnabled();

    WindowHandle MainWindow;
    std::unique_ptr<cSuspendInitiator> Initiator;
    // GUID_SYSTEM_AWAYMODE and GUID_MONITOR_POWER_ON, as far as they worked.
    std::vector<std::unique_ptr<cPowerSettingRegistration>> PowerSettingRegistrations;
};
