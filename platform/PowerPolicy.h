#pragma once
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

#include "platform/Power.h"

// The power-management library of Windows (powrprof.dll) and the records it
// passes. The records are laid out byte for byte like their Windows
// counterparts (named in the comments), on 32-bit and 64-bit Windows alike:
// the platform copies them unchanged and the logic does the field work.
// The names here keep clear of the macros of <windows.h>, which the Win32
// backend includes together with this header.

// Information levels of CallNtPowerInformation (POWER_INFORMATION_LEVEL).
constexpr int POWER_INFO_POLICY_AC = 0;            // SystemPowerPolicyAc, cSystemPowerPolicy
constexpr int POWER_INFO_POLICY_DC = 1;            // SystemPowerPolicyDc, cSystemPowerPolicy
constexpr int POWER_INFO_CAPABILITIES = 4;         // SystemPowerCapabilities, cSystemPowerCapabilities
constexpr int POWER_INFO_BATTERY_STATE = 5;        // SystemBatteryState, 32 bytes
constexpr int POWER_INFO_ADMINISTRATOR_POLICY = 9; // AdministratorPowerPolicy, cAdministratorPowerPolicy
constexpr int POWER_INFO_SYSTEM_INFORMATION = 12;  // SystemPowerInformation, cSystemPowerInformation
constexpr int POWER_INFO_EXECUTION_STATE = 16;     // SystemExecutionState, 4 bytes

// NTSTATUS codes that CallNtPowerInformation returns.
constexpr uint32_t POWER_STATUS_SUCCESS = 0;
constexpr uint32_t POWER_STATUS_NOT_IMPLEMENTED = 0xC0000002;
constexpr uint32_t POWER_STATUS_ACCESS_DENIED = 0xC0000022;
constexpr uint32_t POWER_STATUS_BUFFER_TOO_SMALL = 0xC0000023;
constexpr uint32_t POWER_STATUS_ENTRYPOINT_NOT_FOUND = 0xC0000139;

// POWER_ACTION.
enum class ePowerAction : uint32_t {
    None = 0,
    Reserved = 1,
    Sleep = 2,
    Hibernate = 3,
    Shutdown = 4,
    ShutdownReset = 5,
    ShutdownOff = 6,
    WarmEject = 7,
};

// Flags of a power action (POWER_ACTION_*).
constexpr uint32_t POWER_ACTION_FLAG_QUERY_ALLOWED = 0x00000001;
constexpr uint32_t POWER_ACTION_FLAG_UI_ALLOWED = 0x00000002;
constexpr uint32_t POWER_ACTION_FLAG_OVERRIDE_APPS = 0x00000004;
constexpr uint32_t POWER_ACTION_FLAG_DISABLE_WAKES = 0x40000000;

// POWER_ACTION_POLICY.
struct cPowerActionPolicy {
    ePowerAction Action;
    uint32_t Flags;
    uint32_t EventCode;
};

// BATTERY_REPORTING_SCALE.
struct cBatteryReportingScale {
    uint32_t Granularity;
    uint32_t Capacity;
};

// SYSTEM_POWER_CAPABILITIES (76 bytes). The power states are
// SYSTEM_POWER_STATE numbers.
struct cSystemPowerCapabilities {
    uint8_t PowerButtonPresent;
    uint8_t SleepButtonPresent;
    uint8_t LidPresent;
    uint8_t SystemS1;
    uint8_t SystemS2;
    uint8_t SystemS3;
    uint8_t SystemS4;
    uint8_t SystemS5;
    uint8_t HiberFilePresent;
    uint8_t FullWake;
    uint8_t VideoDimPresent;
    uint8_t ApmPresent;
    uint8_t UpsPresent;
    uint8_t ThermalControl;
    uint8_t ProcessorThrottle;
    uint8_t ProcessorMinThrottle;
    uint8_t ProcessorMaxThrottle;
    uint8_t FastSystemS4;  // Vista and later: hybrid sleep possible
    uint8_t Spare2[3];
    uint8_t DiskSpinDown;
    uint8_t Spare3[8];
    uint8_t SystemBatteriesPresent;
    uint8_t BatteriesAreShortTerm;
    cBatteryReportingScale BatteryScale[3];
    uint32_t AcOnLineWake;
    uint32_t SoftLidWake;
    uint32_t RtcWake;
    uint32_t MinDeviceWakeState;
    uint32_t DefaultLowLatencyWake;
};

// SYSTEM_POWER_LEVEL.
struct cSystemPowerLevel {
    uint8_t Enable;
    uint8_t Spare[3];
    uint32_t BatteryLevel;
    cPowerActionPolicy PowerPolicy;
    uint32_t MinSystemState;
};

// SYSTEM_POWER_POLICY (232 bytes): the AC or the DC policy of the system.
struct cSystemPowerPolicy {
    uint32_t Revision;
    cPowerActionPolicy PowerButton;
    cPowerActionPolicy SleepButton;
    cPowerActionPolicy LidClose;
    uint32_t LidOpenWake;
    uint32_t Reserved;
    cPowerActionPolicy Idle;
    uint32_t IdleTimeout;  // seconds
    uint8_t IdleSensitivity;  // percent
    uint8_t DynamicThrottle;
    uint8_t Spare2[2];
    uint32_t MinSleep;
    uint32_t MaxSleep;
    uint32_t ReducedLatencySleep;
    uint32_t WinLogonFlags;
    uint32_t Spare3;
    uint32_t DozeS4Timeout;
    uint32_t BroadcastCapacityResolution;
    cSystemPowerLevel DischargePolicy[4];
    uint32_t VideoTimeout;  // seconds
    uint8_t VideoDimDisplay;
    uint32_t VideoReserved[3];
    uint32_t SpindownTimeout;
    uint8_t OptimizeForPower;
    uint8_t FanThrottleTolerance;
    uint8_t ForcedThrottle;
    uint8_t MinThrottle;
    cPowerActionPolicy OverThrottled;
};

// ADMINISTRATOR_POWER_POLICY (24 bytes).
struct cAdministratorPowerPolicy {
    uint32_t MinSleep;
    uint32_t MaxSleep;
    uint32_t MinVideoTimeout;
    uint32_t MaxVideoTimeout;
    uint32_t MinSpindownTimeout;
    uint32_t MaxSpindownTimeout;
};

// SYSTEM_POWER_INFORMATION (16 bytes).
struct cSystemPowerInformation {
    uint32_t MaxIdlenessAllowed;
    uint32_t Idleness;
    int32_t TimeRemaining;  // seconds
    uint8_t CoolingMode;
};

// USER_POWER_POLICY.
struct cUserPowerPolicy {
    uint32_t Revision;
    cPowerActionPolicy IdleAc;
    cPowerActionPolicy IdleDc;
    uint32_t IdleTimeoutAc;
    uint32_t IdleTimeoutDc;
    uint8_t IdleSensitivityAc;
    uint8_t IdleSensitivityDc;
    uint8_t ThrottlePolicyAc;
    uint8_t ThrottlePolicyDc;
    uint32_t MaxSleepAc;
    uint32_t MaxSleepDc;
    uint32_t Reserved[2];
    uint32_t VideoTimeoutAc;
    uint32_t VideoTimeoutDc;
    uint32_t SpindownTimeoutAc;
    uint32_t SpindownTimeoutDc;
    uint8_t OptimizeForPowerAc;
    uint8_t OptimizeForPowerDc;
    uint8_t FanThrottleToleranceAc;
    uint8_t FanThrottleToleranceDc;
    uint8_t ForcedThrottleAc;
    uint8_t ForcedThrottleDc;
};

// MACHINE_POWER_POLICY.
struct cMachinePowerPolicy {
    uint32_t Revision;
    uint32_t MinSleepAc;
    uint32_t MinSleepDc;
    uint32_t ReducedLatencySleepAc;
    uint32_t ReducedLatencySleepDc;
    uint32_t DozeTimeoutAc;
    uint32_t DozeTimeoutDc;
    uint32_t DozeS4TimeoutAc;
    uint32_t DozeS4TimeoutDc;
    uint8_t MinThrottleAc;
    uint8_t MinThrottleDc;
    uint8_t Pad1[2];
    cPowerActionPolicy OverThrottledAc;
    cPowerActionPolicy OverThrottledDc;
};

// POWER_POLICY (144 bytes): one power scheme of the legacy scheme interface.
struct cPowerSchemePolicy {
    cUserPowerPolicy User;
    cMachinePowerPolicy Machine;
};

static_assert(sizeof(cPowerActionPolicy) == 12);
static_assert(sizeof(cSystemPowerCapabilities) == 76 && offsetof(cSystemPowerCapabilities, FastSystemS4) == 17);
static_assert(sizeof(cSystemPowerLevel) == 24);
static_assert(sizeof(cSystemPowerPolicy) == 232 && offsetof(cSystemPowerPolicy, VideoTimeout) == 192);
static_assert(sizeof(cAdministratorPowerPolicy) == 24);
static_assert(sizeof(cSystemPowerInformation) == 16);
static_assert(sizeof(cUserPowerPolicy) == 80 && sizeof(cMachinePowerPolicy) == 64);
static_assert(sizeof(cPowerSchemePolicy) == 144);

// powrprof.dll, loaded. The destructor frees the library. The calls pass
// their arguments through unchanged; a call of a function that the library
// does not export fails (false, or POWER_STATUS_ENTRYPOINT_NOT_FOUND) without
// calling anything. Failed calls leave the thread's last platform error set.
class cPowerLibrary {
public:
    virtual ~cPowerLibrary() = default;

    // Whether the library exports the function (GetProcAddress).
    virtual bool HasFunction(const std::string& name) = 0;

    // CallNtPowerInformation; returns its NTSTATUS. Either buffer may be
    // null with length 0.
    virtual uint32_t CallNtPowerInformation(int level, const void* input, uint32_t inputLength, void* output,
                                            uint32_t outputLength) = 0;
    virtual bool GetActivePwrScheme(uint32_t& index) = 0;
    // Makes the scheme active, passing no global and no user policy.
    virtual bool SetActivePwrScheme(uint32_t index) = 0;
    virtual bool ReadPwrScheme(uint32_t index, cPowerSchemePolicy& policy) = 0;
    // Writes the scheme under the index, passing no name and no description.
    virtual bool WritePwrScheme(uint32_t index, const cPowerSchemePolicy& policy) = 0;
    // Returns when the machine has woken again, or at once when it fails.
    // May be called from any thread.
    virtual bool SetSuspendState(bool hibernate, bool force, bool wakeEventsDisabled) = 0;

    // The power-setting functions of Vista and later, on the machine's own
    // schemes (no root key). Each returns the call's Win32 error code, 0 on
    // success; a function the library does not export answers 127
    // (ERROR_PROC_NOT_FOUND).
    // PowerGetActiveScheme; the GUID that Windows allocates is copied and
    // freed (LocalFree) here.
    virtual uint32_t PowerGetActiveScheme(cGuid& scheme) = 0;
    virtual uint32_t PowerSetActiveScheme(const cGuid& scheme) = 0;
    virtual uint32_t PowerReadACValueIndex(const cGuid& scheme, const cGuid& subgroup, const cGuid& setting,
                                           uint32_t& index) = 0;
    virtual uint32_t PowerReadDCValueIndex(const cGuid& scheme, const cGuid& subgroup, const cGuid& setting,
                                           uint32_t& index) = 0;
    virtual uint32_t PowerWriteACValueIndex(const cGuid& scheme, const cGuid& subgroup, const cGuid& setting,
                                            uint32_t index) = 0;
    virtual uint32_t PowerWriteDCValueIndex(const cGuid& scheme, const cGuid& subgroup, const cGuid& setting,
                                            uint32_t index) = 0;
    // Reads the setting's description into the buffer of size bytes; size
    // becomes the length Windows reports.
    virtual uint32_t PowerReadDescription(const cGuid& scheme, const cGuid& subgroup, const cGuid& setting,
                                          uint8_t* buffer, uint32_t& size) = 0;
};

class cPowerPolicy {
public:
    virtual ~cPowerPolicy() = default;

    // Loads powrprof.dll (LoadLibrary); null when it cannot be loaded.
    virtual std::unique_ptr<cPowerLibrary> LoadPowerLibrary() = 0;
};
