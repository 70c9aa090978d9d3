#pragma once
#include "platform/FileTimes.h"
#include "platform/Power.h"

// IsSystemResumeAutomatic, GetLastInputInfo and the own process's priority
// class (all there since Windows 2000).
class cWin32Power final : public cPower {
public:
    int32_t IsSystemResumeAutomatic() override;
    bool GetLastInputTick(uint32_t& tick) override;
    bool SetPriorityClass(uint32_t priorityClass) override;
};

// FileTimeToLocalFileTime and FileTimeToSystemTime.
class cWin32FileTimes final : public cFileTimes {
public:
    bool FileTimeToLocalFileTime(uint64_t utc, uint64_t& local) override;
    bool FileTimeToSystemTime(uint64_t fileTime, cLocalTime& time) override;
};
