#pragma once
// The power broadcasts a scenario sends: event codes by name, the kinds of
// wake, and the power-setting record of PBT_POWERSETTINGCHANGE built from a
// scenario line the way Windows builds it.
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "engine/PowerEvents.h"
#include "platform/sim/SimSleep.h"

// A PBT_ name or a number.
uintptr_t ParsePowerEvent(const std::string& word);
// automatic, user or unattended.
eSimWake ParseWake(const std::string& word);
// GUID_SYSTEM_AWAYMODE, GUID_MONITOR_POWER_ON, GUID_IDLE_BACKGROUND_TASK or
// any GUID written {8-4-4-4-12} in hexadecimal (the braces may be left out).
cGuid ParseSettingGuid(const std::string& word);

// A POWERBROADCAST_SETTING record: the setting's GUID, the data length and
// the data, in one block of exactly that size. A value is 4 bytes, as the
// settings the program listens to report it; without one the record has no
// data. The record must outlive the broadcast that points to it.
class cPowerSettingRecord {
public:
    cPowerSettingRecord(const cGuid& setting, std::optional<uint32_t> value);
    // The lParam of the broadcast.
    intptr_t Param() const { return reinterpret_cast<intptr_t>(Bytes.data()); }

private:
    std::vector<uint8_t> Bytes;
};
