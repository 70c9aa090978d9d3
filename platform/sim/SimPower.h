#pragma once
// The simulated power state of the machine and the simulated time-zone
// conversions.
#include <cstdint>
#include <vector>

#include "platform/FileTimes.h"
#include "platform/Power.h"

class cSimClock;

// What the system reports about the last wake and the user's input, as the
// test sets it; records every priority change of the program.
class cSimPower : public cPower {
public:
    explicit cSimPower(cSimClock& clock) : Clock(clock) {}

    int32_t IsSystemResumeAutomatic() override { return ResumeAutomatic; }
    bool GetLastInputTick(uint32_t& tick) override;
    bool SetPriorityClass(uint32_t priorityClass) override;

    void SetResumeAutomatic(bool automatic) { ResumeAutomatic = automatic ? 1 : 0; }
    // Any non-zero answer means automatic, as any true BOOL does.
    void SetResumeAutomaticResult(int32_t result) { ResumeAutomatic = result; }
    // The user touches keyboard or mouse now (at the clock's current tick).
    void UserInput();
    void SetLastInputTick(uint32_t tick) { LastInput = tick; }
    void SetLastInputFails(bool fails) { LastInputFails = fails; }
    // NORMAL at start, as for any program started from the desktop.
    uint32_t PriorityClass() const { return Priority; }
    const std::vector<uint32_t>& PriorityChanges() const { return Changes; }

private:
    cSimClock& Clock;
    int32_t ResumeAutomatic = 0;
    uint32_t LastInput = 0;
    bool LastInputFails = false;
    uint32_t Priority = PRIORITY_CLASS_NORMAL;
    std::vector<uint32_t> Changes;
};

// A time zone with a fixed offset (no daylight saving), UTC by default.
class cSimFileTimes : public cFileTimes {
public:
    bool FileTimeToLocalFileTime(uint64_t utc, uint64_t& local) override;
    bool FileTimeToSystemTime(uint64_t fileTime, cLocalTime& time) override;

    // Local time = UTC + offset.
    void SetLocalOffsetMinutes(int minutes) { OffsetMinutes = minutes; }

private:
    int OffsetMinutes = 0;
};

// The FILETIME of a calendar moment (for tests that store time stamps).
uint64_t SimFileTimeOf(const cLocalTime& time);
