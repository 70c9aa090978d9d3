#pragma once
#include <cstdint>

#include "engine/PowerEvents.h"

// The answer to PBT_APMQUERYSUSPEND that refuses the suspend ('BMQD').
constexpr uint32_t BROADCAST_QUERY_DENY = 0x424D5144;

// How the machine is being used right now.
constexpr int AS_UNKNOWN = 0;
constexpr int AS_SUSPENDED = 1;
constexpr int AS_NON_USER = 2;     // an automatic or unattended wake, or away mode
constexpr int AS_MEDIACENTER = 3;  // the user is in Media Center
constexpr int AS_DESKTOP = 4;

// Forced reboot schedules (the RebootMode setting).
constexpr int32_t RM_NEVER_REBOOT = 0;
constexpr int32_t RM_ONCE_A_DAY = 1;
constexpr int32_t RM_ONCE_A_WEEK = 2;
constexpr int32_t RM_ONCE_A_MONTH = 3;

// Receives the power broadcasts, one operation per event code, all on the
// main thread. The base ignores every event and grants every suspend query.
class cPowerManager {
public:
    virtual ~cPowerManager() = default;

    virtual void OnBatteryLow() {}
    virtual void OnOemEvent(uint32_t /*eventCode*/) {}
    virtual void OnPowerStatusChange() {}
    // Returns the answer to the query: 1 grants it, BROADCAST_QUERY_DENY refuses.
    virtual uint32_t OnQuerySuspend(uint32_t /*flags*/) { return 1; }
    virtual void OnQuerySuspendFailed() {}
    virtual void OnResumeAutomatic() {}
    virtual void OnResumeCritical() {}
    virtual void OnSuspend() {}
    virtual void OnResumeSuspend() {}
    virtual void OnAway() {}
    virtual void OnAwayResume() {}
    // The record may be null; the data that follows it is DataLength bytes long.
    virtual void OnPowerSettingChange(const cPowerBroadcastSetting* /*setting*/) {}
    virtual void OnUnknownPowerEvent() {}
};
