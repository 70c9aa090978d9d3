#pragma once
#include <cstdint>
#include <functional>

#include "platform/Clock.h"

// Virtual time: nothing here ever waits. Time moves only when the simulation
// advances it (directly or through Sleep).
class cSimClock : public cClock {
public:
    cSimClock();

    uint32_t GetTickCount() override;
    cLocalTime GetLocalTime() override;
    void Sleep(uint32_t milliseconds) override;

    // Milliseconds since the simulation began.
    uint64_t Now() const { return Now_; }
    void Advance(uint64_t milliseconds) { Now_ += milliseconds; }
    void AdvanceTo(uint64_t now);
    // The tick count at simulation start (tests put it near 2^32 to cross the wrap).
    void SetTickBase(uint32_t ticks) { TickBase = ticks; }
    // The local time at the current moment.
    void SetLocalTime(const cLocalTime& time);
    // Called by Sleep with the moment the sleep ends, before the clock gets
    // there (see cSimWindowing::SetDeliverDuringSleep).
    void SetSleepHook(std::function<void(uint64_t until)> hook) { SleepHook = std::move(hook); }

private:
    uint64_t Now_ = 0;
    uint32_t TickBase = 0;
    int64_t LocalEpochAtStart = 0;
    std::function<void(uint64_t)> SleepHook;  // local wall-clock milliseconds since 1970 at Now_ == 0
};

// Wall-clock helpers shared by the simulator and its scenarios.
int64_t LocalTimeToMilliseconds(const cLocalTime& time);
cLocalTime MillisecondsToLocalTime(int64_t milliseconds);
