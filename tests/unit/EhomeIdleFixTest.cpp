// The idle fixes on the simulator, driven as the main window drives them:
// one evaluation of the recording monitor, then ApplyIdleFixes, once per
// virtual second. Media Center's state comes from the add-in's block.
#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

#include "EngineTestBench.h"
#include "detection/EhomeIdleFix.h"
#include "detection/MediaCenterExtender.h"
#include "detection/RecordingMonitor.h"
#include "platform/WinConst.h"
#include "targets/MediaCenterContract.h"

namespace {

constexpr uint64_t SECOND = 1000;
constexpr uint32_t ES_CONTINUOUS = 0x80000000;
constexpr uint32_t SYSTEM_AND_DISPLAY = ES_SYSTEM_REQUIRED | ES_DISPLAY_REQUIRED;

constexpr const char* HOLD = "SetContinuousThreadExecutionState(ES_SYSTEM_REQUIRED | ES_DISPLAY_REQUIRED)";
constexpr const char* RELEASE = "SetContinuousThreadExecutionState(0)";
constexpr const char* RESET_BOTH = "SetThreadExecutionState(ES_SYSTEM_REQUIRED | ES_DISPLAY_REQUIRED)";
constexpr const char* RESET_SYSTEM = "SetThreadExecutionState(ES_SYSTEM_REQUIRED)";
constexpr const char* IDLE = "eHome is idle";

bool IsIdleFixLine(const std::string& line)
{
    return line.rfind("SetContinuousThreadExecutionState(", 0) == 0 ||
           line.rfind("SetThreadExecutionState(", 0) == 0 || line == IDLE;
}

// What one call of ApplyIdleFixes did.
struct cCall {
    std::vector<std::string> Lines;     // the fix's own lines
    std::vector<uint32_t> Resets;       // SetThreadExecutionState without ES_CONTINUOUS
    std::vector<uint32_t> SlotChanges;  // the combined continuous states passed on
};

class cIdleFixBench : public cEngineTestBench {
public:
    explicit cIdleFixBench(eOs os)
    {
        LogToFile();
        NoForcedReboots();
        // The machine has been up for an hour.
        Sim.Clock().SetTickBase(3600000);
        SessionCounter = std::make_unique<cMediaCenterExtender>(Sim.Get());
        Start(os, 0);
        Monitor = std::make_unique<cRecordingMonitor>(Sim.Get(), *Engine, *Version, *Logger, *SessionCounter);
        // Detection from the first evaluation on.
        Monitor->Suspend();
        Monitor->Resume(1);
        IdleFix = std::make_unique<cEhomeIdleFix>(Sim.Get(), *Engine, *Monitor, *Logger, *Version);
        // The user is there: the wake counts as the user's.
        Sim.Power().UserInput();
        TakeLog();
    }

    // One Media Center session: playing with unknown progress (busy) or in
    // the menus (idle).
    void SetMediaCenter(bool busy)
    {
        cMcsaRecord record;
        record.InUse = true;
        record.State = busy ? MCSA_STATE_PLAYING : MCSA_STATE_MENU;
        std::vector<uint8_t> block(MCSA_BLOCK_SIZE);
        WriteMcsaRecord(block.data(), block.size(), 0, record);
        Sim.SharedMemory().WriteBlock(MCSA_BLOCK_NAME, block);
    }

    void SetMonitor(bool on)
    {
        cPowerBroadcastSetting setting{GUID_MONITOR_POWER_ON, 4, {static_cast<uint8_t>(on ? 1 : 0)}};
        Engine->OnPowerSettingChange(&setting);
    }

    // One virtual second: the evaluation, then the fixes.
    cCall Second()
    {
        Sim.Windowing().RunUntil(Sim.Clock().Now() + SECOND);
        Monitor->EvaluateAwakeState();
        TakeLog();
        const size_t before = Sim.PowerRequests().ExecutionStates().size();
        IdleFix->ApplyIdleFixes();
        cCall call;
        for (const std::string& line : TakeLog())
            if (IsIdleFixLine(line))
                call.Lines.push_back(line);
        const std::vector<uint32_t>& states = Sim.PowerRequests().ExecutionStates();
        for (size_t i = before; i < states.size(); ++i)
            ((states[i] & ES_CONTINUOUS) != 0 ? call.SlotChanges : call.Resets).push_back(states[i]);
        return call;
    }

    std::unique_ptr<cMediaCenterExtender> SessionCounter;
    std::unique_ptr<cRecordingMonitor> Monitor;
    std::unique_ptr<cEhomeIdleFix> IdleFix;
};

using tLines = std::vector<std::string>;
using tFlags = std::vector<uint32_t>;

TEST(EhomeIdleFix, OnlyVistaHasTheFixes)
{
    for (eOs os : {eOs::XP, eOs::Windows7}) {
        SCOPED_TRACE(os == eOs::XP ? "XP" : "Windows 7");
        cIdleFixBench bench(os);
        bench.SetHklm("VistaEhomeIdleFix", 1);
        bench.SetHklm("VistaRemoteIdleFix", 1);
        EXPECT_FALSE(bench.IdleFix->VistaEhomeIdleFix);
        EXPECT_FALSE(bench.IdleFix->VistaRemoteIdleFix);
        EXPECT_FALSE(bench.IdleFix->VistaEhomeIdleFix.IsEnabled());
        for (bool busy : {true, false, true}) {
            bench.SetMediaCenter(busy);
            bench.Sim.Power().UserInput();
            const cCall call = bench.Second();
            EXPECT_EQ(call.Lines, tLines{});
            EXPECT_EQ(call.Resets, tFlags{});
            EXPECT_EQ(call.SlotChanges, tFlags{});
        }
    }
}

// The slot holds the system and the display from the moment Media Center
// gets busy until it gets idle; then the idle timers get one last reset,
// with the display only while it is on.
TEST(EhomeIdleFix, OnVistaTheSlotFollowsMediaCenter)
{
    cIdleFixBench bench(eOs::Vista);
    bench.SetHklm("VistaRemoteIdleFix", 0);
    struct cStep {
        const char* Name;
        bool Busy;
        bool MonitorOn;
        tLines Lines;
        tFlags Resets;
        tFlags SlotChanges;
    };
    const cStep steps[] = {
        // Idle is what the fix starts from.
        {"idle at start", false, true, {}, {}, {}},
        {"busy", true, true, {HOLD}, {}, {ES_CONTINUOUS | SYSTEM_AND_DISPLAY}},
        {"still busy", true, true, {}, {}, {}},
        {"idle, display off", false, false, {RELEASE, RESET_SYSTEM}, {ES_SYSTEM_REQUIRED}, {ES_CONTINUOUS}},
        {"still idle", false, false, {}, {}, {}},
        {"busy again", true, false, {HOLD}, {}, {ES_CONTINUOUS | SYSTEM_AND_DISPLAY}},
        {"idle, display on", false, true, {RELEASE, RESET_BOTH}, {SYSTEM_AND_DISPLAY}, {ES_CONTINUOUS}},
    };
    for (const cStep& step : steps) {
        SCOPED_TRACE(step.Name);
        bench.SetMediaCenter(step.Busy);
        bench.SetMonitor(step.MonitorOn);
        const cCall call = bench.Second();
        EXPECT_EQ(call.Lines, step.Lines);
        EXPECT_EQ(call.Resets, step.Resets);
        EXPECT_EQ(call.SlotChanges, step.SlotChanges);
    }
}

TEST(EhomeIdleFix, EveryIdleCallIsLoggedWithLogActivity)
{
    cIdleFixBench bench(eOs::Vista);
    bench.SetHklm("VistaRemoteIdleFix", 0);
    bench.SetHklm("LogActivity", 1);
    bench.SetMediaCenter(true);
    EXPECT_EQ(bench.Second().Lines, tLines{HOLD});
    bench.SetMediaCenter(false);
    EXPECT_EQ(bench.Second().Lines, (tLines{RELEASE, RESET_BOTH, IDLE}));
    EXPECT_EQ(bench.Second().Lines, tLines{IDLE});
}

// The remote fix resets the idle timers once for each new input tick.
TEST(EhomeIdleFix, EachNewInputResetsTheIdleTimersOnce)
{
    cIdleFixBench bench(eOs::Vista);
    bench.SetHklm("VistaEhomeIdleFix", 0);
    EXPECT_EQ(bench.Second().Resets, tFlags{SYSTEM_AND_DISPLAY});
    EXPECT_EQ(bench.Second().Resets, tFlags{});
    bench.Sim.Power().UserInput();
    EXPECT_EQ(bench.Second().Resets, tFlags{SYSTEM_AND_DISPLAY});
    EXPECT_EQ(bench.Second().Resets, tFlags{});
    // Nothing is logged for it.
    bench.Sim.Power().UserInput();
    EXPECT_EQ(bench.Second().Lines, tLines{});

    bench.SetHklm("VistaRemoteIdleFix", 0);
    bench.Sim.Power().UserInput();
    EXPECT_EQ(bench.Second().Resets, tFlags{});
}

// During an automatic wake the eHome fix does nothing, but it still follows
// Media Center: a state that changed meanwhile is not acted on later, and
// neither is one that changed while the fix was off.
TEST(EhomeIdleFix, ChangesWhileTheFixDoesNotApplyAreNotActedOnLater)
{
    {
        SCOPED_TRACE("automatic wake");
        cIdleFixBench bench(eOs::Vista);
        bench.SetHklm("VistaRemoteIdleFix", 0);
        bench.Sim.Power().SetResumeAutomatic(true);
        bench.IdleFix->RearmAfterWake();
        bench.SetMediaCenter(true);
        EXPECT_EQ(bench.Second().Lines, tLines{});
        EXPECT_EQ(bench.Engine->GetCombinedExecutionState() & SYSTEM_AND_DISPLAY, 0u);
        // The user takes over; Media Center was busy all along.
        bench.Sim.Power().SetResumeAutomatic(false);
        EXPECT_EQ(bench.Second().Lines, tLines{});
        bench.SetMediaCenter(false);
        EXPECT_EQ(bench.Second().Lines, (tLines{RELEASE, RESET_BOTH}));
    }
    {
        SCOPED_TRACE("fix switched on");
        cIdleFixBench bench(eOs::Vista);
        bench.SetHklm("VistaRemoteIdleFix", 0);
        bench.SetHklm("VistaEhomeIdleFix", 0);
        bench.SetMediaCenter(true);
        EXPECT_EQ(bench.Second().Lines, tLines{});
        bench.SetHklm("VistaEhomeIdleFix", 1);
        EXPECT_EQ(bench.Second().Lines, tLines{});
    }
}

// A busy Media Center at the first call after start-up, and again after a
// wake, takes the slot; an idle one after a wake leaves the slot as the
// sleep found it.
TEST(EhomeIdleFix, AWakeRearmsTheFixLikeTheStart)
{
    cIdleFixBench bench(eOs::Vista);
    bench.SetHklm("VistaRemoteIdleFix", 0);
    bench.SetMediaCenter(true);
    cCall call = bench.Second();
    EXPECT_EQ(call.Lines, tLines{HOLD});
    EXPECT_EQ(call.SlotChanges, tFlags{ES_CONTINUOUS | SYSTEM_AND_DISPLAY});
    bench.IdleFix->RearmAfterWake();
    EXPECT_EQ(bench.Second().Lines, tLines{HOLD});
    bench.IdleFix->RearmAfterWake();
    bench.SetMediaCenter(false);
    call = bench.Second();
    EXPECT_EQ(call.Lines, tLines{});
    EXPECT_EQ(call.SlotChanges, tFlags{});
    EXPECT_EQ(bench.Engine->GetCombinedExecutionState() & SYSTEM_AND_DISPLAY, SYSTEM_AND_DISPLAY);
}

}  // namespace
