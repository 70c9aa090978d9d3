#include "platform/sim/SimSleep.h"

#include "platform/WinConst.h"
#include "platform/sim/SimClock.h"
#include "platform/sim/SimPower.h"
#include "platform/sim/SimWindowing.h"

namespace {

// The power broadcasts of a sleep (PBT_*).
constexpr uintptr_t EVENT_SUSPEND = 0x0004;
constexpr uintptr_t EVENT_RESUME_SUSPEND = 0x0007;
constexpr uintptr_t EVENT_RESUME_AUTOMATIC = 0x0012;

}  // namespace

void cSimSleep::SetNextWake(eSimWake wake, uint64_t at)
{
    NextWake_ = wake;
    NextWakeAt = at;
}

bool cSimSleep::Sleep(bool hibernate)
{
    if (Pending || Asleep)
        return false;
    Pending = true;
    Sleeps_.push_back({hibernate, Clock.Now(), 0, eSimWake::None});
    // The call may come from any thread; the broadcasts go through the
    // message loop of the program's windows.
    Windowing.Schedule(Clock.Now(), [this] { FallAsleep(); });
    return true;
}

void cSimSleep::FallAsleep()
{
    Broadcast(EVENT_SUSPEND);
    Pending = false;
    Asleep = true;
    const eSimWake wake = NextWake_;
    NextWake_ = eSimWake::None;
    if (wake == eSimWake::None)
        return;
    Clock.AdvanceTo(NextWakeAt);
    WakeUp(wake);
}

bool cSimSleep::Wake(eSimWake wake)
{
    if (!Asleep || wake == eSimWake::None)
        return false;
    WakeUp(wake);
    return true;
}

void cSimSleep::WakeUp(eSimWake wake)
{
    Asleep = false;
    Sleeps_.back().Woke = Clock.Now();
    Sleeps_.back().Wake = wake;
    const bool automatic = wake == eSimWake::Automatic;
    Power.SetResumeAutomatic(automatic);
    Broadcast(EVENT_RESUME_AUTOMATIC);
    if (wake == eSimWake::User)
        Power.UserInput();
    if (!automatic)
        Broadcast(EVENT_RESUME_SUSPEND);
}

void cSimSleep::Broadcast(uintptr_t event)
{
    std::vector<cWindowInfo> windows;
    Windowing.EnumerateWindows(windows);
    for (const cWindowInfo& window : windows)
        if (window.ProcessId == cSimWindowing::OWN_PROCESS_ID)
            Windowing.SendMessage(window.Handle, WM_POWERBROADCAST, event, 0);
}
