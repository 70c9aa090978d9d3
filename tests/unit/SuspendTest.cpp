// Putting the machine to sleep on the simulator: the XP engine's own sleep
// call, the Vista engine's hand-over to the suspend initiator's thread, the
// execution-state slots, the power-setting registrations and a whole
// simulated sleep with its broadcasts.
#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "EngineTestBench.h"
#include "engine/PowerEvents.h"
#include "osconfig/VistaConfiguration.h"
#include "platform/PowerSettings.h"
#include "platform/WinConst.h"

namespace {

constexpr uint32_t ES_SYSTEM_REQUIRED = 0x01;
constexpr uint32_t ES_DISPLAY_REQUIRED = 0x02;
constexpr uint32_t ES_AWAYMODE_REQUIRED = 0x40;
constexpr uint32_t ES_CONTINUOUS = 0x80000000;
constexpr uint64_t HOUR = 3600000;

// A home-theatre PC with logging on and the engine of its Windows (or the
// Vista engine on another Windows, when asked).
class cHtpc : public cEngineTestBench {
public:
    explicit cHtpc(eOs os, bool vistaEngine, const cMakeOSConfiguration& makeOS = {})
    {
        LogToFile();
        NoForcedReboots();
        SetWindows(os);
        Sim.Clock().Advance(HOUR);
        StartPlatform(makeOS);
        StartEngine(vistaEngine);
    }
    explicit cHtpc(eOs os) : cHtpc(os, os != eOs::XP) {}

    void SetAwayMode(bool on)
    {
        std::vector<uint8_t> bytes(offsetof(cPowerBroadcastSetting, Data) + 4);
        const uint32_t length = 4;
        std::memcpy(bytes.data(), &GUID_SYSTEM_AWAYMODE, sizeof(cGuid));
        std::memcpy(bytes.data() + offsetof(cPowerBroadcastSetting, DataLength), &length, sizeof length);
        bytes[offsetof(cPowerBroadcastSetting, Data)] = on ? 1 : 0;
        Engine->OnPowerSettingChange(reinterpret_cast<const cPowerBroadcastSetting*>(bytes.data()));
    }

    size_t SleepCalls()
    {
        return Sim.PowerPolicy().SuspendCalls().size() + Sim.Security().SystemPowerStateCalls().size();
    }
};

std::string Describe(const std::vector<std::string>& lines)
{
    std::string text;
    for (const std::string& line : lines)
        text += "\n  [" + line + "]";
    return text;
}

// ---------------------------------------------------------------------------
// Vista and later: the suspend initiator

TEST(SuspendInitiator, SleepsOnce100MsAfterTheRequestInTheConfiguredState)
{
    struct cCase {
        eOs Os;
        uint32_t SleepState;
        bool Legacy, Hibernate;
    };
    const cCase cases[] = {
        {eOs::Windows7, 4, false, false}, {eOs::Windows7, 5, false, true}, {eOs::Vista, 0, false, false},
        {eOs::Vista, 2, false, false},    {eOs::Windows7, 101, false, false},
        // The initiator's own rule; the start-up never builds this engine before Vista.
        {eOs::XP, 4, true, false},        {eOs::XP, 5, true, true},
    };
    for (const cCase& c : cases) {
        SCOPED_TRACE("SleepState " + std::to_string(c.SleepState) + (c.Legacy ? " legacy" : ""));
        cHtpc htpc(c.Os, true);
        EXPECT_EQ(htpc.Sim.Threads().StartedNames(),
                  (std::vector<std::string>{"SLH blanking thread", "SLH Suspend Initiator"}));
        EXPECT_EQ(htpc.TakeLog(), std::vector<std::string>{c.Legacy ? "cSuspendInitiator - UseLegacyCall_ == true"
                                                                    : "cSuspendInitiator - UseLegacyCall_ == false"});
        htpc.SetHklm("SleepState", c.SleepState);
        const uint64_t start = htpc.Sim.Clock().Now();

        EXPECT_EQ(htpc.Engine->RequestSuspend(true), 1);
        const std::vector<std::string> expected = {c.Hibernate ? "Entering Hibernation" : "Entering Standby",
                                                   "cSuspendInitiator - SuspendSystem()"};
        EXPECT_EQ(htpc.TakeLog(), expected);
        // The request returns at once; the thread waits 100 ms.
        EXPECT_EQ(htpc.Sim.Clock().Now(), start);
        htpc.Sim.Windowing().RunUntil(start + 99);
        EXPECT_EQ(htpc.SleepCalls(), 0u);
        htpc.Sim.Windowing().RunUntil(start + 100);
        ASSERT_EQ(htpc.SleepCalls(), 1u);
        if (c.Legacy) {
            const cSimSystemPowerStateCall& call = htpc.Sim.Security().SystemPowerStateCalls()[0];
            EXPECT_EQ(call.Suspend, !c.Hibernate);
            EXPECT_FALSE(call.Force);
        } else {
            const cSimSuspendCall& call = htpc.Sim.PowerPolicy().SuspendCalls()[0];
            EXPECT_EQ(call.Hibernate, c.Hibernate);
            EXPECT_FALSE(call.Force);
            EXPECT_FALSE(call.WakeEventsDisabled);
        }
        EXPECT_FALSE(htpc.Sim.Security().IsPrivilegeEnabled("SeShutdownPrivilege"));
        htpc.Sim.Windowing().RunUntil(start + HOUR);
        EXPECT_EQ(htpc.SleepCalls(), 1u);
        EXPECT_TRUE(htpc.TakeLog().empty());

        htpc.Engine.reset();
        EXPECT_EQ(htpc.Sim.Threads().RunningThreads(), 0);
    }
}

TEST(SuspendInitiator, ARequestDuringTheWaitOnlyChangesTheStateOfTheComingCall)
{
    cHtpc htpc(eOs::Windows7);
    htpc.SetHklm("SleepState", 4);
    const uint64_t start = htpc.Sim.Clock().Now();
    htpc.Engine->RequestSuspend(false);
    htpc.Sim.Windowing().RunUntil(start + 60);
    htpc.SetHklm("SleepState", 5);
    EXPECT_EQ(htpc.Engine->RequestSuspend(false), 1);

    htpc.Sim.Windowing().RunUntil(start + HOUR);
    ASSERT_EQ(htpc.Sim.PowerPolicy().SuspendCalls().size(), 1u);
    EXPECT_TRUE(htpc.Sim.PowerPolicy().SuspendCalls()[0].Hibernate);
    // Still at the first request's moment, not 100 ms after the second.
    ASSERT_EQ(htpc.Sim.Sleep().Sleeps().size(), 1u);
    EXPECT_EQ(htpc.Sim.Sleep().Sleeps()[0].Requested, start + 100);
}

TEST(SuspendInitiator, ClosingTheEngineDuringTheWaitCancelsTheSleep)
{
    cHtpc htpc(eOs::Windows7);
    const uint64_t start = htpc.Sim.Clock().Now();
    htpc.Engine->RequestSuspend(false);
    htpc.Sim.Windowing().RunUntil(start + 50);
    htpc.Engine.reset();

    htpc.Sim.Windowing().RunUntil(start + HOUR);
    EXPECT_EQ(htpc.SleepCalls(), 0u);
    EXPECT_EQ(htpc.Sim.Threads().RunningThreads(), 0);
}

TEST(SuspendInitiator, ClosingTheEngineDuringTheSleepCallEndsTheThread)
{
    cHtpc htpc(eOs::Windows7);
    // The sleep call returns only when the machine wakes, an hour later.
    std::unique_ptr<cThreadEvent> machineWakes = htpc.Sim.Threads().CreateThreadEvent();
    htpc.Sim.PowerPolicy().SetSuspendHook([&](const cSimSuspendCall&) {
        machineWakes->Wait(HOUR);
        return true;
    });
    const uint64_t start = htpc.Sim.Clock().Now();
    htpc.Engine->RequestSuspend(false);
    htpc.Sim.Windowing().RunUntil(start + 200);
    ASSERT_EQ(htpc.Sim.PowerPolicy().SuspendCalls().size(), 1u);

    htpc.Engine.reset();
    // The thread ended by itself: on Windows a wait broken off here never returns.
    EXPECT_EQ(htpc.Sim.Threads().BrokenOffWaits(), 0);
    EXPECT_EQ(htpc.Sim.Threads().RunningThreads(), 0);
    EXPECT_EQ(htpc.Sim.PowerPolicy().SuspendCalls().size(), 1u);
}

TEST(SuspendInitiator, WithoutAThreadRequestsAreLoggedAndNothingSleeps)
{
    for (bool eventsFail : {true, false}) {
        SCOPED_TRACE(eventsFail ? "no events" : "no thread");
        cHtpc htpc(eOs::Windows7);
        if (eventsFail)
            htpc.Sim.Threads().SetEventCreationFails(true);
        else
            htpc.Sim.Threads().SetThreadCreationFails(true);
        htpc.StartEngine(true);
        htpc.TakeLog();
        EXPECT_EQ(htpc.Engine->RequestSuspend(false), 1);
        EXPECT_EQ(htpc.TakeLog(),
                  (std::vector<std::string>{"Entering Standby", "cSuspendInitiator - SuspendSystem()"}));
        htpc.Sim.Windowing().RunUntil(htpc.Sim.Clock().Now() + HOUR);
        EXPECT_EQ(htpc.SleepCalls(), 0u);
    }
}

// Windows 7's own configuration: leaving away mode switches the
// allow-away-mode setting off and on again, both indexes each time.
TEST(VistaEngine, LeavesAwayModeBeforeTheSleepButNeverRefusesIt)
{
    struct cCase {
        bool AwayMode, Allowed;
        std::vector<uint32_t> Writes;  // AC, DC, ... of the allow-away-mode setting
    };
    const cCase cases[] = {
        {true, true, {0, 0, 1, 1}},
        {true, false, {}},
        {false, true, {}},
    };
    for (const cCase& c : cases) {
        SCOPED_TRACE(std::string(c.AwayMode ? "away" : "present") + (c.Allowed ? ", allowed" : ""));
        cHtpc htpc(eOs::Windows7);
        ASSERT_NE(dynamic_cast<cVistaConfiguration*>(htpc.OSConfiguration.get()), nullptr);
        const uint32_t allowed = c.Allowed ? 1 : 0;
        htpc.Sim.PowerPolicy().SetPowerSetting(POWER_SUBGROUP_SLEEP, POWER_SETTING_ALLOW_AWAY_MODE, allowed, allowed);
        const size_t writesBefore = htpc.Sim.PowerPolicy().PowerSettingWrites().size();
        htpc.SetAwayMode(c.AwayMode);
        // A holder requiring away mode does not stop the Vista path.
        const int slot = htpc.Engine->AllocateExecutionStateSlot();
        htpc.Engine->SetExecutionStateSlot(slot, ES_AWAYMODE_REQUIRED);
        htpc.TakeLog();

        EXPECT_EQ(htpc.Engine->RequestSuspend(false), 1);
        std::vector<std::string> expected = {"Entering Standby"};
        if (!c.Writes.empty())
            expected.push_back("Exit Away mode");
        expected.push_back("cSuspendInitiator - SuspendSystem()");
        EXPECT_EQ(htpc.TakeLog(), expected);
        std::vector<uint32_t> writes;
        const auto& all = htpc.Sim.PowerPolicy().PowerSettingWrites();
        for (size_t index = writesBefore; index < all.size(); ++index) {
            EXPECT_TRUE(SameGuid(all[index].Setting, POWER_SETTING_ALLOW_AWAY_MODE));
            EXPECT_EQ(all[index].Ac, index % 2 == writesBefore % 2);
            writes.push_back(all[index].Index);
        }
        EXPECT_EQ(writes, c.Writes);
        EXPECT_TRUE(htpc.Sim.Dialogs().Shown().empty());
        htpc.Sim.Windowing().RunUntil(htpc.Sim.Clock().Now() + 100);
        EXPECT_EQ(htpc.SleepCalls(), 1u);
    }
}

TEST(VistaEngine, RegistersForAwayModeAndDisplayChangesUntilItIsDestroyed)
{
    struct cCase {
        const char* Name;
        eOs Os;
        eProcedureLookup Lookup;
        size_t Registrations;
        const char* Box;
    };
    const cCase cases[] = {
        {"Windows 7", eOs::Windows7, eProcedureLookup::Found, 2, nullptr},
        {"no user32", eOs::Vista, eProcedureLookup::NoLibrary, 0, "Cannot load dll"},
        {"no function", eOs::Vista, eProcedureLookup::NoProcedure, 0, "GetProcAddress failed"},
        {"XP engine", eOs::XP, eProcedureLookup::Found, 0, nullptr},
    };
    for (const cCase& c : cases) {
        SCOPED_TRACE(c.Name);
        cHtpc htpc(c.Os);
        // The lookup happens at construction: build the engine again.
        htpc.Engine.reset();
        const int endedBefore = htpc.Sim.PowerRequests().EndedRegistrations();
        htpc.Sim.PowerRequests().SetPowerSettingLookup(c.Lookup);
        htpc.StartEngine(c.Os != eOs::XP);

        const auto& registrations = htpc.Sim.PowerRequests().Registrations();
        ASSERT_EQ(registrations.size(), c.Registrations);
        if (c.Registrations == 2) {
            EXPECT_EQ(registrations[0].Window, cHtpc::MAIN_WINDOW);
            EXPECT_TRUE(SameGuid(registrations[0].Setting, GUID_SYSTEM_AWAYMODE));
            EXPECT_EQ(registrations[1].Window, cHtpc::MAIN_WINDOW);
            EXPECT_TRUE(SameGuid(registrations[1].Setting, GUID_MONITOR_POWER_ON));
        }
        const auto& boxes = htpc.Sim.Dialogs().Shown();
        if (c.Box == nullptr) {
            EXPECT_TRUE(boxes.empty());
        } else {
            ASSERT_EQ(boxes.size(), 1u);
            EXPECT_EQ(boxes[0].Text, c.Box);
            EXPECT_EQ(boxes[0].Caption, "User32.dll");
        }

        htpc.Engine.reset();
        EXPECT_TRUE(htpc.Sim.PowerRequests().Registrations().empty());
        EXPECT_EQ(htpc.Sim.PowerRequests().EndedRegistrations() - endedBefore, static_cast<int>(c.Registrations));
    }
}

// ---------------------------------------------------------------------------
// The XP family: the engine's own sleep call

TEST(XpEngine, SuspendMethodChoosesTheSleepFunctionAndTheOutcomeIsLogged)
{
    struct cCase {
        int32_t SuspendMethod;
        uint32_t SleepState;
        bool Forced, SleepWorks;
        std::vector<std::string> Log;
        int32_t Result;
    };
    const cCase cases[] = {
        {0, 4, false, true, {"Entering Standby", "SetSystemPowerState()", "Entering Standby succesfull"}, 0},
        {1, 5, false, true, {"Entering Hibernation", "SetSystemPowerState()", "Entering Hibernation successfull"}, 0},
        {2, 4, false, true, {"Entering Standby", "SetSuspendState()", "Entering Standby succesfull"}, 0},
        {7, 5, false, true, {"Entering Hibernation", "SetSuspendState()", "Entering Hibernation successfull"}, 0},
        {-1, 4, false, true, {"Entering Standby", "SetSuspendState()", "Entering Standby succesfull"}, 0},
        {2, 4, false, false, {"Entering Standby", "SetSuspendState()", "Entering Standby failed: -3"}, -3},
        {0, 5, false, false, {"Entering Hibernation", "SetSystemPowerState()", "Entering Hibernation failed: -3"}, -3},
        // Forced: the engine asks itself first, the debug denial does not count.
        {0, 4, true, true,
         {"Entering Standby (forced)", "HandleSuspendQuery", "HandleSuspendQuery (Query suspend from user interaction)",
          "SetSystemPowerState()", "Entering Standby succesfull"},
         0},
    };
    for (const cCase& c : cases) {
        SCOPED_TRACE("SuspendMethod " + std::to_string(c.SuspendMethod) + ", SleepState " +
                     std::to_string(c.SleepState) + (c.Forced ? ", forced" : "") + (c.SleepWorks ? "" : ", failing"));
        cHtpc htpc(eOs::XP);
        htpc.SetHklm("SuspendMethod", static_cast<uint32_t>(c.SuspendMethod));
        htpc.SetHklm("SleepState", c.SleepState);
        if (!c.SleepWorks) {
            // As Windows does, the failing call leaves its error behind.
            auto fail = [&](const auto&) {
                htpc.Sim.Errors().SetLastError(0x15);
                return false;
            };
            htpc.Sim.PowerPolicy().SetSuspendHook(fail);
            htpc.Sim.Security().SetSystemPowerStateHook(fail);
        }
        htpc.Engine->SetDenyQuery(true);
        htpc.TakeLog();

        const bool standby = c.SleepState != 5;
        const int32_t result =
            c.Forced ? htpc.Engine->SuspendSystem(standby, true) : htpc.Engine->RequestSuspend(false);
        EXPECT_EQ(result, c.Result);
        std::vector<std::string> log = htpc.TakeLog();
        if (!c.SleepWorks) {
            // The failure entry carries the system's error.
            ASSERT_GT(log.size(), c.Log.size()) << Describe(log);
            EXPECT_EQ(log[c.Log.size()].rfind("  LastError=0015h: ", 0), 0u) << Describe(log);
            log.resize(c.Log.size());
        }
        EXPECT_EQ(log, c.Log) << Describe(log);

        const bool systemPowerState = c.SuspendMethod == 0 || c.SuspendMethod == 1;
        const auto& legacy = htpc.Sim.Security().SystemPowerStateCalls();
        const auto& suspends = htpc.Sim.PowerPolicy().SuspendCalls();
        ASSERT_EQ(legacy.size(), systemPowerState ? 1u : 0u);
        ASSERT_EQ(suspends.size(), systemPowerState ? 0u : 1u);
        if (systemPowerState) {
            EXPECT_EQ(legacy[0].Suspend, standby);
            EXPECT_EQ(legacy[0].Force, c.Forced);
        } else {
            EXPECT_EQ(suspends[0].Hibernate, !standby);
            EXPECT_EQ(suspends[0].Force, c.Forced);
        }
    }
}

TEST(XpEngine, RefusesToSleepFromAwayModeThatAHolderRequires)
{
    struct cCase {
        const char* Name;
        bool AwayMode;
        std::vector<uint32_t> Writes;  // by holders of their own, or all by one
        bool OneHolder, Refused;
    };
    const cCase cases[] = {
        {"away, required", true, {ES_AWAYMODE_REQUIRED}, false, true},
        {"away, required by the second holder", true,
         {ES_SYSTEM_REQUIRED, ES_AWAYMODE_REQUIRED | ES_SYSTEM_REQUIRED}, false, true},
        {"away, not required", true, {ES_SYSTEM_REQUIRED | ES_DISPLAY_REQUIRED}, false, false},
        {"required, not away", false, {ES_AWAYMODE_REQUIRED}, false, false},
        {"away, required, then withdrawn", true, {ES_AWAYMODE_REQUIRED, 0}, true, false},
    };
    for (const cCase& c : cases) {
        SCOPED_TRACE(c.Name);
        cHtpc htpc(eOs::XP);
        htpc.SetAwayMode(c.AwayMode);
        int slot = 0;
        for (uint32_t flags : c.Writes) {
            if (slot == 0 || !c.OneHolder)
                slot = htpc.Engine->AllocateExecutionStateSlot();
            htpc.Engine->SetExecutionStateSlot(slot, flags);
        }
        htpc.TakeLog();

        const int32_t result = htpc.Engine->RequestSuspend(true);
        const std::vector<std::string> log = htpc.TakeLog();
        if (c.Refused) {
            EXPECT_EQ(result, -1);
            EXPECT_EQ(log, std::vector<std::string>{
                               "Not suspending because the system is in Away mode and SLH requires Away mode"});
            EXPECT_EQ(htpc.SleepCalls(), 0u);
        } else {
            EXPECT_EQ(result, 0);
            EXPECT_EQ(htpc.SleepCalls(), 1u);
        }
    }
}

// ---------------------------------------------------------------------------
// Execution-state slots

TEST(ExecutionStateSlots, TenHoldersAreCombinedAndAnEleventhGetsTheSlotThatNeverCounts)
{
    cHtpc htpc(eOs::Windows7);
    cMcePowerManager& engine = *htpc.Engine;
    EXPECT_EQ(engine.GetCombinedExecutionState(), ES_CONTINUOUS);
    for (int expected = 1; expected <= 10; ++expected)
        EXPECT_EQ(engine.AllocateExecutionStateSlot(), expected);
    EXPECT_EQ(engine.AllocateExecutionStateSlot(), 0);
    EXPECT_EQ(engine.AllocateExecutionStateSlot(), 0);

    engine.SetExecutionStateSlot(1, ES_AWAYMODE_REQUIRED);
    engine.SetExecutionStateSlot(2, ES_SYSTEM_REQUIRED);
    EXPECT_EQ(engine.GetCombinedExecutionState(), ES_CONTINUOUS | 0x41);
    // The eleventh holder writes into slot 0; holders outside the slots change nothing.
    engine.SetExecutionStateSlot(0, ES_DISPLAY_REQUIRED);
    engine.SetExecutionStateSlot(11, ES_DISPLAY_REQUIRED);
    engine.SetExecutionStateSlot(-1, ES_DISPLAY_REQUIRED);
    EXPECT_EQ(engine.GetCombinedExecutionState(), ES_CONTINUOUS | 0x41);
    // Clearing one holder leaves the other's request.
    engine.SetExecutionStateSlot(1, 0);
    EXPECT_EQ(engine.GetCombinedExecutionState(), ES_CONTINUOUS | ES_SYSTEM_REQUIRED);

    // Windows gets the combination at every change, whichever slot changed.
    const std::vector<uint32_t> expected = {
        ES_CONTINUOUS | 0x40, ES_CONTINUOUS | 0x41, ES_CONTINUOUS | 0x41, ES_CONTINUOUS | 0x41,
        ES_CONTINUOUS | 0x41, ES_CONTINUOUS | 0x01,
    };
    EXPECT_EQ(htpc.Sim.PowerRequests().ExecutionStates(), expected);
}

TEST(ExecutionStateSlots, OnlySlotsHandedOutAreCombined)
{
    cHtpc htpc(eOs::XP);
    // A holder that writes before the slot was handed out is not counted.
    htpc.Engine->SetExecutionStateSlot(3, ES_SYSTEM_REQUIRED);
    EXPECT_EQ(htpc.Engine->GetCombinedExecutionState(), ES_CONTINUOUS);
    htpc.Engine->AllocateExecutionStateSlot();
    htpc.Engine->AllocateExecutionStateSlot();
    htpc.Engine->AllocateExecutionStateSlot();
    EXPECT_EQ(htpc.Engine->GetCombinedExecutionState(), ES_CONTINUOUS | ES_SYSTEM_REQUIRED);
}

// ---------------------------------------------------------------------------
// A whole simulated sleep

// The main window as far as the sleep is concerned: records the broadcasts
// with their moment and the system's report of the wake, and ticks a timer.
class cBroadcastRecorder : public cWindowProcedure {
public:
    explicit cBroadcastRecorder(cSimWindows& sim) : Sim(sim) {}

    bool HandleMessage(uint32_t message, uintptr_t wParam, intptr_t /*lParam*/, intptr_t& result) override
    {
        if (message == WM_POWERBROADCAST)
            Events.push_back({wParam, Sim.Clock().Now(), Sim.Power().IsSystemResumeAutomatic() != 0});
        else if (message == WM_TIMER)
            Ticks.push_back(Sim.Clock().Now());
        result = 1;
        return true;
    }

    struct cEvent {
        uintptr_t Event;
        uint64_t At;
        bool Automatic;
        bool operator==(const cEvent&) const = default;
    };
    std::vector<cEvent> Events;
    std::vector<uint64_t> Ticks;

private:
    cSimWindows& Sim;
};

TEST(SimulatedSleep, BroadcastsSuspendAndTheResumesOfTheChosenWakeInOrder)
{
    using cEvent = cBroadcastRecorder::cEvent;
    struct cCase {
        const char* Name;
        eOs Os;
        eSimWake Wake;
        uint64_t SleptAt;  // after the request
        std::vector<cEvent> Events;  // moments after the request
    };
    const cCase cases[] = {
        {"Vista, automatic wake", eOs::Vista, eSimWake::Automatic, 100,
         {{PBT_APMSUSPEND, 100, false}, {PBT_APMRESUMEAUTOMATIC, 2 * HOUR, true}}},
        {"Windows 7, user wake", eOs::Windows7, eSimWake::User, 100,
         {{PBT_APMSUSPEND, 100, false},
          {PBT_APMRESUMEAUTOMATIC, 2 * HOUR, false},
          {PBT_APMRESUMESUSPEND, 2 * HOUR, false}}},
        // XP makes the call on the main thread, at once.
        {"XP, user wake", eOs::XP, eSimWake::User, 0,
         {{PBT_APMSUSPEND, 0, false},
          {PBT_APMRESUMEAUTOMATIC, 2 * HOUR, false},
          {PBT_APMRESUMESUSPEND, 2 * HOUR, false}}},
    };
    for (const cCase& c : cases) {
        SCOPED_TRACE(c.Name);
        cHtpc htpc(c.Os);
        cBroadcastRecorder recorder(htpc.Sim);
        const WindowHandle window = htpc.Sim.Windowing().CreateMainWindow("TApplication", "Slumberhold", recorder);
        htpc.Sim.Windowing().SetTimer(window, 2, 1000);
        const uint64_t start = htpc.Sim.Clock().Now();
        htpc.Sim.Sleep().SetNextWake(c.Wake, start + 2 * HOUR);

        htpc.Engine->RequestSuspend(false);
        htpc.Sim.Windowing().RunUntil(start + 3 * HOUR);

        std::vector<cEvent> expected = c.Events;
        for (cEvent& event : expected)
            event.At += start;
        EXPECT_EQ(recorder.Events, expected);
        // Nothing ran while the machine slept.
        for (uint64_t tick : recorder.Ticks)
            EXPECT_FALSE(tick > start + c.SleptAt && tick < start + 2 * HOUR) << tick - start;
        EXPECT_FALSE(htpc.Sim.Sleep().IsAsleep());
        uint32_t lastInput = 0;
        htpc.Sim.Power().GetLastInputTick(lastInput);
        EXPECT_EQ(lastInput == static_cast<uint32_t>(start + 2 * HOUR), c.Wake == eSimWake::User);
        // The wake was for one sleep only.
        EXPECT_EQ(htpc.Sim.Sleep().NextWake(), eSimWake::None);
    }
}

TEST(SimulatedSleep, WithoutAChosenWakeTheMachineSleepsUntilWoken)
{
    cHtpc htpc(eOs::Windows7);
    cBroadcastRecorder recorder(htpc.Sim);
    htpc.Sim.Windowing().CreateMainWindow("TApplication", "Slumberhold", recorder);
    const uint64_t start = htpc.Sim.Clock().Now();
    htpc.Engine->RequestSuspend(false);
    htpc.Sim.Windowing().RunUntil(start + 1000);
    ASSERT_EQ(recorder.Events.size(), 1u);
    EXPECT_TRUE(htpc.Sim.Sleep().IsAsleep());
    // A second sleep call while the machine is on its way fails.
    EXPECT_FALSE(htpc.Sim.Sleep().Sleep(false));

    htpc.Sim.Clock().AdvanceTo(start + 5 * HOUR);
    EXPECT_TRUE(htpc.Sim.Sleep().Wake(eSimWake::Automatic));
    ASSERT_EQ(recorder.Events.size(), 2u);
    EXPECT_EQ(recorder.Events[1], (cBroadcastRecorder::cEvent{PBT_APMRESUMEAUTOMATIC, start + 5 * HOUR, true}));
    EXPECT_FALSE(htpc.Sim.Sleep().Wake(eSimWake::User));
    ASSERT_EQ(htpc.Sim.Sleep().Sleeps().size(), 1u);
    EXPECT_EQ(htpc.Sim.Sleep().Sleeps()[0].Woke, start + 5 * HOUR);
}

}  // namespace
