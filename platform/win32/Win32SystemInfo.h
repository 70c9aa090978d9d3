#pragma once
#include "platform/SystemInfo.h"

// GetVersionExA, GetSystemMetrics, and IsWow64Process looked up at run time
// (it is missing before XP SP2).
class cWin32SystemInfo final : public cSystemInfo {
public:
    bool GetVersionRecord(cOsVersionRecord& record) override;
    int GetSystemMetric(int index) override;
    // False also when the call itself fails (there is no answer then).
    bool IsWow64Process(bool& wow64) override;
};
