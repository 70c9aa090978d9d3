#pragma once
#include <cstdint>
#include <memory>

#include "platform/Windowing.h"

// Priority classes of the own process, numbered as Windows numbers them.
constexpr uint32_t PRIORITY_CLASS_NORMAL = 0x0020;
constexpr uint32_t PRIORITY_CLASS_ABOVE_NORMAL = 0x8000;

// The power state of the machine as the running program sees it, and the
// program's own scheduling priority.
class cPower {
public:
    virtual ~cPower() = default;

    // The system's BOOL answer whether the last wake was not caused by the
    // user (IsSystemResumeAutomatic), as it came: any non-zero value is true.
    virtual int32_t IsSystemResumeAutomatic() = 0;
    // The tick count of the last keyboard or mouse input in the session
    // (GetLastInputInfo); false when the system cannot tell.
    virtual bool GetLastInputTick(uint32_t& tick) = 0;
    // The priority class of the own process; false when it was refused.
    virtual bool SetPriorityClass(uint32_t priorityClass) = 0;
};

// A GUID as Windows lays it out in memory (16 bytes).
struct cGuid {
    uint32_t Data1;
    uint16_t Data2;
    uint16_t Data3;
    uint8_t Data4[8];
};
static_assert(sizeof(cGuid) == 16);

// One window's registration for the notifications of one power setting.
// The destructor ends it (UnregisterPowerSettingNotification).
class cPowerSettingRegistration {
public:
    virtual ~cPowerSettingRegistration() = default;
};

// How far looking up an optional system procedure got.
enum class eProcedureLookup {
    Found,
    NoLibrary,    // LoadLibrary failed
    NoProcedure,  // the library does not export it (GetProcAddress failed)
};

// What the program asks of the system's power management: to keep the
// machine awake, and to hear when power settings change.
class cPowerRequests {
public:
    virtual ~cPowerRequests() = default;

    // SetThreadExecutionState for the calling thread: the ES_ flags are
    // passed unchanged; returns the previous state, 0 when the call failed.
    virtual uint32_t SetThreadExecutionState(uint32_t flags) = 0;
    // Whether user32.dll loads and exports RegisterPowerSettingNotification
    // (Vista and later).
    virtual eProcedureLookup FindPowerSettingNotification() = 0;
    // Registers the window for PBT_POWERSETTINGCHANGE broadcasts of the
    // setting (DEVICE_NOTIFY_WINDOW_HANDLE); null when the function is
    // missing or the call fails.
    virtual std::unique_ptr<cPowerSettingRegistration> RegisterPowerSettingNotification(WindowHandle window,
                                                                                        const cGuid& setting) = 0;
};
