#pragma once
#include <cstdint>
#include <string>

#include "osconfig/OSConfiguration.h"

// Windows Vista and Windows 7: the power configuration as power settings of
// the active power scheme (the power-setting functions of powrprof.dll,
// looked up at construction), a few registry fixes and powercfg.exe for
// hibernation and hybrid sleep. Every power-setting call gets the active
// scheme anew, so a scheme the user switched to meanwhile is the one
// changed. The AC and the DC index are always written with the same value.
class cVistaConfiguration : public cOSConfiguration {
public:
    explicit cVistaConfiguration(cPlatform& platform);

    bool IsSleepStateSupported(uint8_t state) override;
    bool IsSleepStateOffered(uint8_t state) override;
    std::string GetSleepStateShortName(uint8_t state) override;
    std::string GetSleepStateName(uint8_t state) override;
    bool ApplySleepState(uint8_t state) override;
    bool IsRebootRequired() override;
    bool IsSelectiveSuspendDisabled() override;
    void SetSelectiveSuspendDisabled(bool disabled) override;
    uint32_t GetAwayModeOptions() override;
    uint32_t GetAwayMode() override;
    bool SetAwayMode(uint32_t option) override;
    bool HasUnattendedSleepTimeout() override;
    // Seconds; -2 stands for the setting's maximum (0xFFFFFFFF), which -1
    // cannot, being a list value of its own in the settings window.
    int32_t GetUnattendedSleepTimeout() override;
    void SetUnattendedSleepTimeout(int32_t seconds) override;
    bool CheckAdministrator() override;
    bool ReloadActivePowerScheme() override;
    void LoadPowerFunctions(cPowerLibrary* library) override;
    // The idle threshold in percent; no bounds are applied on a step.
    void IncreaseIdleThreshold() override;
    void DecreaseIdleThreshold() override;
    bool IsIdleThresholdMax() override;
    bool IsIdleThresholdMin() override;
    void ResetIdleThreshold() override;
    bool ConfigureAutologon() override;

    // Through powercfg.exe, which also keeps the setting's dependants
    // consistent; switching it on first switches hibernation on.
    bool SetHybridSleep(bool on);
    // Sleep-after and hibernate-after, in seconds: a timeout the user set is
    // kept, only "never" (0) is replaced, and 0 always takes effect. The
    // caller makes the scheme active.
    void SetStandbyTimeout(uint32_t seconds);
    void SetHibernateTimeout(uint32_t seconds);
    // Selective suspend as Windows sets it for the scheme's personality.
    void RestoreSelectiveSuspendDefault();
    bool IsFastResumeDisabled();
    void SetFastResumeDisabled(bool disabled);
    bool IsForceHcResetOnResume();
    void SetForceHcResetOnResume(bool on);
    // Whether Windows may enter away mode. The engine switches it off and on
    // again to make Windows leave away mode before a sleep.
    bool IsAwayModeAllowed();
    void SetAwayModeAllowed(bool on);
    void SetAllowPreventSleep(bool on);

protected:
    // Win32 error codes of the power-setting calls, 0 on success; the
    // active scheme is fetched for each call. Without the functions every
    // call fails with ERROR_PROC_NOT_FOUND and calls nothing.
    uint32_t ReadAcIndex(const cGuid& subgroup, const cGuid& setting, uint32_t& index);
    uint32_t ReadDcIndex(const cGuid& subgroup, const cGuid& setting, uint32_t& index);
    uint32_t WriteAcIndex(const cGuid& subgroup, const cGuid& setting, uint32_t index);
    uint32_t WriteDcIndex(const cGuid& subgroup, const cGuid& setting, uint32_t index);
    // Both indexes, then the scheme made active.
    void WriteBothAndActivate(const cGuid& subgroup, const cGuid& setting, uint32_t index);
    uint32_t ActivateScheme();

private:
    // call(scheme) with the active scheme; the error of the fetch, or
    // ERROR_PROC_NOT_FOUND without the functions, instead of calling it.
    template <typename tCall>
    uint32_t WithActiveScheme(tCall call);
    // The AC index, 0 when it cannot be read.
    uint32_t ReadAcOrZero(const cGuid& subgroup, const cGuid& setting);
    void SetTimeout(const cGuid& setting, uint32_t seconds);
    void SetAllowSetting(const cGuid& setting, bool on, const char* caption);
    void ProbeDescription();
    void RunPowercfg(const std::string& parameters);

    bool PowerSettingFunctions = false;
    bool FastResumeDisabledAtStart = false;
    bool ForceHcResetAtStart = false;
};

// Windows Vista with Media Center: adds the Media Center background
// scanner. The settings window reaches these operations after a checked
// down-cast.
class cVistaMCEConfiguration : public cVistaConfiguration {
public:
    explicit cVistaMCEConfiguration(cPlatform& platform);

    virtual bool HasBackgroundScanner();
    // The scanner's last periodic scan as a UTC FILETIME; false when it is
    // not recorded.
    virtual bool GetLastBackgroundScan(uint64_t& fileTime);
    // 99 when the scanner's own default applies (no value set).
    virtual int GetBackgroundScanEnabled();
    // 99 removes the value, so the scanner's own default applies again.
    virtual void SetBackgroundScanEnabled(uint8_t value);
};

class cWindows7Configuration : public cVistaConfiguration {
public:
    explicit cWindows7Configuration(cPlatform& platform);
};

class cWindows7MCConfiguration : public cVistaMCEConfiguration {
public:
    explicit cWindows7MCConfiguration(cPlatform& platform);
};
