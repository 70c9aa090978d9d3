#pragma once
// The power broadcasts of Windows: the event codes that arrive in wParam of
// WM_POWERBROADCAST, the power-setting record of PBT_POWERSETTINGCHANGE and
// the settings the program listens to. Under the Windows names, so never
// include this next to <windows.h>.
#include <cstddef>
#include <cstdint>
#include <cstring>

#include "platform/Power.h"

constexpr uintptr_t PBT_APMQUERYSUSPEND = 0x0000;
constexpr uintptr_t PBT_APMQUERYSTANDBY = 0x0001;
constexpr uintptr_t PBT_APMQUERYSUSPENDFAILED = 0x0002;
constexpr uintptr_t PBT_APMQUERYSTANDBYFAILED = 0x0003;
constexpr uintptr_t PBT_APMSUSPEND = 0x0004;
constexpr uintptr_t PBT_APMSTANDBY = 0x0005;
constexpr uintptr_t PBT_APMRESUMECRITICAL = 0x0006;
constexpr uintptr_t PBT_APMRESUMESUSPEND = 0x0007;
constexpr uintptr_t PBT_APMRESUMESTANDBY = 0x0008;
constexpr uintptr_t PBT_APMBATTERYLOW = 0x0009;
constexpr uintptr_t PBT_APMPOWERSTATUSCHANGE = 0x000A;
constexpr uintptr_t PBT_APMOEMEVENT = 0x000B;
constexpr uintptr_t PBT_APMRESUMEAUTOMATIC = 0x0012;
constexpr uintptr_t PBT_APMAWAY = 0x0015;
constexpr uintptr_t PBT_APMAWAYRESUME = 0x0016;
constexpr uintptr_t PBT_POWERSETTINGCHANGE = 0x8013;

// GUIDs are compared as 16 bytes.
inline bool SameGuid(const cGuid& a, const cGuid& b)
{
    return std::memcmp(&a, &b, sizeof(cGuid)) == 0;
}

// {515C31D8-F734-163D-A0FD-11A08C91E8F1}
constexpr cGuid GUID_IDLE_BACKGROUND_TASK = {0x515C31D8, 0xF734, 0x163D,
                                             {0xA0, 0xFD, 0x11, 0xA0, 0x8C, 0x91, 0xE8, 0xF1}};
// {98A7F580-01F7-48AA-9C0F-44352C29E5C0}
constexpr cGuid GUID_SYSTEM_AWAYMODE = {0x98A7F580, 0x01F7, 0x48AA,
                                        {0x9C, 0x0F, 0x44, 0x35, 0x2C, 0x29, 0xE5, 0xC0}};
// {02731015-4510-4526-99E6-E5A17EBD1AEA}
constexpr cGuid GUID_MONITOR_POWER_ON = {0x02731015, 0x4510, 0x4526,
                                         {0x99, 0xE6, 0xE5, 0xA1, 0x7E, 0xBD, 0x1A, 0xEA}};

// Laid out like POWERBROADCAST_SETTING, so that the lParam of
// PBT_POWERSETTINGCHANGE can be handed over as it is: DataLength bytes of
// data follow the header (Data is only their start).
struct cPowerBroadcastSetting {
    cGuid PowerSetting;
    uint32_t DataLength;
    uint8_t Data[1];
};
static_assert(offsetof(cPowerBroadcastSetting, DataLength) == 16);
static_assert(offsetof(cPowerBroadcastSetting, Data) == 20);
