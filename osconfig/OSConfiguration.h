#pragma once
#include <cstdint>
#include <memory>
#include <string>

#include "platform/Platform.h"
#include "platform/PowerPolicy.h"

// Sleep-state codes: SYSTEM_POWER_STATE numbers, plus hybrid sleep.
constexpr uint8_t SLEEP_STATE_UNSPECIFIED = 0;
constexpr uint8_t SLEEP_STATE_S1 = 2;
constexpr uint8_t SLEEP_STATE_S2 = 3;
constexpr uint8_t SLEEP_STATE_S3 = 4;
constexpr uint8_t SLEEP_STATE_S4 = 5;
constexpr uint8_t SLEEP_STATE_HYBRID = 101;  // S3 with a hibernation image (Vista and later)

// Away-mode options: a bit mask from GetAwayModeOptions, one value for
// GetAwayMode and SetAwayMode.
constexpr uint32_t AWAY_MODE_NOT_SUPPORTED = 1;
constexpr uint32_t AWAY_MODE_NEVER = 2;
constexpr uint32_t AWAY_MODE_ALWAYS = 4;
constexpr uint32_t AWAY_MODE_ON_REQUEST = 8;

// The one gateway to the power configuration of Windows. The start-up
// creates one object of the class that fits the Windows version
// (CreateOSConfiguration) and keeps it until the main window is destroyed;
// everyone else holds it through this class.
//
// Nothing is cached except the values recorded at construction, which
// IsRebootRequired compares with: every read goes to Windows, so a change by
// another process is seen at the next read. Failures are shown in message
// boxes and nothing is logged here. Used on the main thread; only Suspend
// and SetSuspendState are also called from the suspend thread.
class cOSConfiguration {
public:
    virtual ~cOSConfiguration();
    cOSConfiguration(const cOSConfiguration&) = delete;
    cOSConfiguration& operator=(const cOSConfiguration&) = delete;

    virtual bool IsSleepStateSupported(uint8_t state);
    // Whether the configurator offers the state.
    virtual bool IsSleepStateOffered(uint8_t state);
    virtual std::string GetSleepStateShortName(uint8_t state);
    virtual std::string GetSleepStateName(uint8_t state);
    // A SYSTEM_POWER_STATE of a power record.
    virtual std::string GetPowerStateName(uint32_t powerState);
    virtual std::string GetPowerStateShortName(uint32_t powerState);
    // Configures Windows to use the sleep state for every sleep.
    virtual bool ApplySleepState(uint8_t state) = 0;
    // Whether something that needs a reboot changed since this object was made.
    virtual bool IsRebootRequired();
    virtual bool IsSelectiveSuspendDisabled() = 0;
    virtual void SetSelectiveSuspendDisabled(bool disabled) = 0;
    virtual uint32_t GetAwayModeOptions() = 0;
    virtual uint32_t GetAwayMode() = 0;
    virtual bool SetAwayMode(uint32_t option) = 0;
    virtual bool HasUnattendedSleepTimeout();
    virtual int32_t GetUnattendedSleepTimeout();
    virtual void SetUnattendedSleepTimeout(int32_t seconds);
    // Tells the user when the rights are missing; the answer as recorded at
    // construction.
    virtual bool CheckAdministrator();
    // Whether the user's token passes an access check against the
    // Administrators group; false when any step of the check fails.
    virtual bool IsAdministrator();
    virtual bool ReloadActivePowerScheme() = 0;
    // Looks up the functions a family needs beyond the common ones; the
    // library is null when powrprof.dll could not be loaded.
    virtual void LoadPowerFunctions(cPowerLibrary* library) = 0;
    virtual void IncreaseIdleThreshold();
    virtual void DecreaseIdleThreshold();
    virtual bool IsIdleThresholdMax();
    virtual bool IsIdleThresholdMin();
    virtual void ResetIdleThreshold();
    // Puts the machine to sleep with the shutdown privilege enabled: 0
    // success, -1 no process token, -2 no privilege, -3 the sleep call
    // failed. Returns after the wake.
    virtual int Suspend(bool suspend, bool force, bool useSystemPowerState);
    // Opens the Windows tool for automatic logon; false when the machine is
    // in a domain.
    virtual bool ConfigureAutologon() = 0;

    // CallNtPowerInformation, the output zeroed first; a failing status is
    // shown unless showFailure is false (a caller that asks every second
    // shows only the first failure of a streak).
    bool CallPowerInformation(int level, const void* input, uint32_t inputLength, void* output,
                              uint32_t outputLength, bool showFailure = true);
    bool WriteAdministratorPolicy(uint32_t minimum, uint32_t maximum);
    bool SetHibernation(bool on);
    bool SetResumePassword(bool on);
    bool IsBalloonTipsEnabled();
    void SetBalloonTips(bool on);
    // Writes the state into the active legacy power scheme; returns the
    // scheme's index, or -1 when there is no active scheme or no scheme
    // functions.
    int32_t WriteSchemeSleepState(uint8_t state);
    // SetSuspendState of powrprof.dll; false also when it is missing.
    bool SetSuspendState(bool hibernate, bool force, bool wakeEventsDisabled);
    bool IsIdleThresholdAdjustable() const { return IdleThresholdAdjustable; }
    const std::string& GetName() const { return Name; }

protected:
    explicit cOSConfiguration(cPlatform& platform);

    // Every message box of the power configuration goes through here.
    int ShowMessage(const std::string& text, const std::string& caption, uint32_t style = 0);
    // The functions of powrprof.dll that every family uses, looked up at
    // construction.
    enum class ePowerFunction {
        SetSuspendState,
        CallNtPowerInformation,
        GetActivePwrScheme,
        SetActivePwrScheme,
        ReadPwrScheme,
        WritePwrScheme,
    };
    static constexpr int POWER_FUNCTION_COUNT = 6;
    // Whether powrprof.dll is loaded and exports the function.
    bool HasPowerFunction(ePowerFunction function) const;
    // Read and write one DWORD value; a value of another type reads as absent.
    bool ReadDword(eHive hive, const std::string& key, const std::string& name, uint32_t& data);
    bool ValueExists(eHive hive, const std::string& key, const std::string& name);
    bool WriteDword(eHive hive, const std::string& key, const std::string& name, uint32_t data);
    // Installs (writes) or removes (deletes, when present) a DWORD fix;
    // failures are shown, the removal with its own text.
    void SetRegistryFix(const std::string& key, const std::string& name, bool install, uint32_t value,
                        const char* removalFailedText);

    // The legacy scheme functions and the level reads and writes without
    // messages, for the XP family.
    bool ReadPolicy(int level, cSystemPowerPolicy& policy);
    bool WritePolicy(int level, const cSystemPowerPolicy& policy);
    bool GetActiveScheme(uint32_t& index);
    bool SetActiveScheme(uint32_t index);

    cPlatform& Platform;
    std::string Name;
    bool IdleThresholdAdjustable = true;
    cSystemPowerCapabilities Capabilities{};
    bool SelectiveSuspendDisabledAtStart = false;
    bool Administrator = false;
    // Null when powrprof.dll could not be loaded.
    std::unique_ptr<cPowerLibrary> Library;
    bool BalloonTipsAtStart = false;

private:
    // Which of the common functions the library exports.
    bool Functions[POWER_FUNCTION_COUNT] = {};
};

// Windows XP, and every version without a class of its own: the legacy
// power policies of powrprof.dll and registry fixes.
class cXPConfiguration : public cOSConfiguration {
public:
    explicit cXPConfiguration(cPlatform& platform);

    bool ApplySleepState(uint8_t state) override;
    bool IsRebootRequired() override;
    bool IsSelectiveSuspendDisabled() override;
    void SetSelectiveSuspendDisabled(bool disabled) override;
    uint32_t GetAwayModeOptions() override;
    uint32_t GetAwayMode() override;
    bool SetAwayMode(uint32_t option) override;
    bool ReloadActivePowerScheme() override;
    void LoadPowerFunctions(cPowerLibrary* library) override;
    void IncreaseIdleThreshold() override;
    void DecreaseIdleThreshold() override;
    bool IsIdleThresholdMax() override;
    bool IsIdleThresholdMin() override;
    void ResetIdleThreshold() override;
    bool ConfigureAutologon() override;
    virtual bool IsForceEnumerationDisabled();
    virtual void SetForceEnumerationDisabled(bool disabled);

    bool IsUsbBiosXInstalled();
    void SetUsbBiosX(bool install);
    bool IsUsbBiosHacksInstalled();
    void SetUsbBiosHacks(bool install);

private:
    // Sets the idle sensitivity of the AC and the DC policy to the value.
    void WriteIdleSensitivity(int value);
    // The AC policy's idle sensitivity; -1 when it cannot be read.
    int ReadIdleSensitivity();

    bool UsbBiosXAtStart = false;
    bool UsbBiosHacksAtStart = false;
    bool ForceEnumerationDisabledAtStart = false;
    uint32_t AwayModeAtStart = 0;
};

class cXPMCEConfiguration : public cXPConfiguration {
public:
    explicit cXPMCEConfiguration(cPlatform& platform);
};

class cServer2003Configuration : public cXPConfiguration {
public:
    explicit cServer2003Configuration(cPlatform& platform);
};
