#pragma once
#include <cstdint>
#include <vector>

class cSimClock;
class cSimPower;
class cSimWindowing;

// How the machine wakes from a simulated sleep.
enum class eSimWake {
    None,       // it sleeps until the simulation wakes it (Wake)
    Automatic,  // Windows wakes it for a task (a timer, a recording)
    User,       // the user wakes it (keyboard, remote control)
    Unattended, // Windows reports a user wake, but no input comes
};

// The sleeps of the simulated machine, started by the simulated sleep
// functions (SetSuspendState, SetSystemPowerState). As on Windows, the call
// only starts the sleep; the program hears of it through its message loop:
//
// 1. at the moment of the call, PBT_APMSUSPEND to each of the program's
//    windows; once every window has answered, the machine sleeps;
// 2. nothing runs while it sleeps: with a chosen wake the clock jumps to
//    that moment (a wait of the simulation that ends meanwhile ends only
//    then), without one the machine sleeps until Wake;
// 3. at the wake PBT_APMRESUMEAUTOMATIC and, when the system reports a user
//    wake, PBT_APMRESUMESUSPEND, after the user's input when the user woke
//    it. The system reports the wake as automatic exactly when it was not
//    (as far as it knows) the user's.
class cSimSleep {
public:
    cSimSleep(cSimClock& clock, cSimWindowing& windowing, cSimPower& power)
        : Clock(clock), Windowing(windowing), Power(power)
    {
    }
    cSimSleep(const cSimSleep&) = delete;
    cSimSleep& operator=(const cSimSleep&) = delete;

    // How and at which virtual moment the next sleep ends; used by one sleep.
    void SetNextWake(eSimWake wake, uint64_t at = 0);
    eSimWake NextWake() const { return NextWake_; }

    // A sleep function was called successfully. False when the machine is
    // already on its way to sleep (the second call fails).
    bool Sleep(bool hibernate);
    // Wakes the machine that sleeps without a chosen wake; false when it
    // does not sleep.
    bool Wake(eSimWake wake);
    bool IsAsleep() const { return Asleep; }

    struct cSleep {
        bool Hibernate = false;
        uint64_t Requested = 0;  // virtual moment of the sleep call
        uint64_t Woke = 0;       // virtual moment of the wake; 0 while asleep
        eSimWake Wake = eSimWake::None;
    };
    const std::vector<cSleep>& Sleeps() const { return Sleeps_; }

private:
    void FallAsleep();
    void WakeUp(eSimWake wake);
    // WM_POWERBROADCAST to every window of the program.
    void Broadcast(uintptr_t event);

    cSimClock& Clock;
    cSimWindowing& Windowing;
    cSimPower& Power;
    eSimWake NextWake_ = eSimWake::None;
    uint64_t NextWakeAt = 0;
    bool Pending = false;
    bool Asleep = false;
    std::vector<cSleep> Sleeps_;
};
