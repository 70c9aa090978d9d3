// The engine's power event handling on the simulator: classification of
// wakes, the order of the resume events, the suspend path and its log.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <functional>
#include <iterator>
#include <vector>

#include "EngineTestBench.h"
#include "foundation/Folders.h"
#include "foundation/Ticks.h"

namespace {

constexpr uint32_t MINUTE = 60000;

class EngineEvents : public ::testing::Test, protected cEngineTestBench {
protected:
    void SetUp() override
    {
        LogToFile();
        NoForcedReboots();
        // The machine has been up a while; the user last touched it at start.
        Sim.Clock().Advance(10 * MINUTE);
    }

    cMcePowerManager& Start(eOs os = eOs::Windows7)
    {
        cEngineTestBench::Start(os);
        TakeLog();
        return *Engine;
    }

    // Milliseconds of the day at which the first line with the text was written.
    int64_t StampOf(const std::string& wanted)
    {
        std::string text;
        Sim.Files().ReadWholeFile(LOG_FILE, text);
        for (const std::string& line : Lines(text))
            if (line.size() > STAMP_COLUMNS && line[0] != ' ' && line.substr(STAMP_COLUMNS) == wanted)
                return std::stoll(line.substr(16, 2)) * 3600000 + std::stoll(line.substr(19, 2)) * 60000 +
                       std::stoll(line.substr(22, 2)) * 1000 + std::stoll(line.substr(25, 3));
        ADD_FAILURE() << "not logged: " << wanted;
        return -1;
    }

    // Replays resume events: S suspend, A automatic resume, U user resume.
    void Play(const std::string& events)
    {
        for (char event : events) {
            Engine->SetLastPowerBroadcastTick(Sim.Clock().GetTickCount());
            if (event == 'S')
                Engine->OnSuspend();
            else if (event == 'A')
                Engine->OnResumeAutomatic();
            else if (event == 'U')
                Engine->OnResumeSuspend();
        }
    }

    static size_t Count(const std::vector<std::string>& log, const std::string& text)
    {
        return static_cast<size_t>(std::count(log.begin(), log.end(), text));
    }
    static bool Has(const std::vector<std::string>& log, const std::string& text) { return Count(log, text) > 0; }
};

// A POWERBROADCAST_SETTING record as Windows builds it: header and data in
// one block of exactly the announced length.
class cSettingRecord {
public:
    cSettingRecord(const cGuid& guid, std::vector<uint8_t> data)
        : Bytes(offsetof(cPowerBroadcastSetting, Data) + data.size())
    {
        const uint32_t length = static_cast<uint32_t>(data.size());
        std::memcpy(Bytes.data(), &guid, sizeof guid);
        std::memcpy(Bytes.data() + offsetof(cPowerBroadcastSetting, DataLength), &length, sizeof length);
        std::copy(data.begin(), data.end(), Bytes.begin() + offsetof(cPowerBroadcastSetting, Data));
    }
    const cPowerBroadcastSetting* Get() const { return reinterpret_cast<const cPowerBroadcastSetting*>(Bytes.data()); }

private:
    std::vector<uint8_t> Bytes;
};

const std::vector<uint8_t> ON = {1, 0, 0, 0};
const std::vector<uint8_t> OFF = {0, 0, 0, 0};

// ---------------------------------------------------------------------------
// Ticks and user activity

TEST(SecondsSince, RoundsToWholeSecondsAcrossTheWrapOfTheTickCount)
{
    struct cCase {
        uint32_t Now, Tick, Seconds;
    };
    const cCase cases[] = {
        {10499, 10000, 0},         {10500, 10000, 1},          {11499, 10000, 1},
        {11500, 10000, 2},         {500, 0xFFFFFC18, 2},       // 1000 ms before the wrap, 500 after
        {0, 0xFFFFFE0C, 1},        // 500 ms before the wrap
        {0xFFFFFFFF, 0xFFFFFFFF, 0},
    };
    for (const cCase& c : cases)
        EXPECT_EQ(SecondsSince(c.Now, c.Tick), c.Seconds) << c.Now << " " << c.Tick;
}

TEST_F(EngineEvents, LastUserInputIsTheLaterOfInputAndBaselineInWholeSeconds)
{
    struct cCase {
        uint32_t InputAgo, ResetAgo;
        bool InputWins;
    };
    const cCase cases[] = {
        {3000, 10000, true},   // input after the reset
        {10000, 3000, false},  // no input since the reset
        {3400, 2600, true},    // both 3 s ago: the input
        {3499, 2500, true},    // 3 s and 3 s
        {3500, 2499, false},   // 4 s and 2 s
    };
    // Also with the tick count wrapping between the events and now.
    for (bool wrap : {false, true}) {
        for (const cCase& c : cases) {
            SCOPED_TRACE(std::string(wrap ? "wrapping" : "") + ": input " + std::to_string(c.InputAgo) +
                         " ms ago, reset " + std::to_string(c.ResetAgo) + " ms ago");
            const uint32_t first = std::max(c.InputAgo, c.ResetAgo);
            const uint64_t now = Sim.Clock().Now() + first;
            // Tick 0 falls between the earlier event and now.
            Sim.Clock().SetTickBase(wrap ? 0u - static_cast<uint32_t>(now - first / 2) : 0u);
            cMcePowerManager& engine = Start();
            uint32_t resetTick = 0, inputTick = 0;
            auto reset = [&] {
                Sim.Clock().AdvanceTo(now - c.ResetAgo);
                engine.ResetUserActivityBaseline();
                resetTick = Sim.Clock().GetTickCount();
            };
            auto input = [&] {
                Sim.Clock().AdvanceTo(now - c.InputAgo);
                Sim.Power().UserInput();
                inputTick = Sim.Clock().GetTickCount();
            };
            if (c.ResetAgo > c.InputAgo) {
                reset();
                input();
            } else {
                input();
                reset();
            }
            Sim.Clock().AdvanceTo(now);
            ASSERT_EQ(Sim.Clock().GetTickCount() - inputTick, c.InputAgo);
            ASSERT_EQ(Sim.Clock().GetTickCount() - resetTick, c.ResetAgo);
            EXPECT_EQ(engine.GetLastUserInputTick(), c.InputWins ? inputTick : resetTick);
        }
    }
}

TEST_F(EngineEvents, WakesAreClassifiedFromTheSystemReportInputAndSleepState)
{
    struct cCase {
        int32_t SleepState;
        bool TreatUnattendedAsAutomatic, SystemAutomatic, UserInput, AwayMode;
        bool Unattended, NonUser;
        int AwakeState;
    };
    const cCase cases[] = {
        {4, false, true, false, false, true, true, AS_NON_USER},
        {4, false, true, true, false, false, true, AS_NON_USER},
        {4, false, false, false, false, true, false, AS_DESKTOP},
        {4, true, false, false, false, true, true, AS_NON_USER},
        {4, true, false, true, false, false, false, AS_DESKTOP},
        // After hibernation the system's report is not trusted.
        {5, false, true, false, false, true, false, AS_DESKTOP},
        {5, true, true, false, false, true, true, AS_NON_USER},
        {5, true, true, true, false, false, false, AS_DESKTOP},
        // Away mode: unattended, and never the user's desktop.
        {4, false, false, true, true, true, false, AS_NON_USER},
    };
    for (const cCase& c : cases) {
        SCOPED_TRACE(::testing::Message() << "sleep " << c.SleepState << " treat " << c.TreatUnattendedAsAutomatic
                                          << " auto " << c.SystemAutomatic << " input " << c.UserInput << " away "
                                          << c.AwayMode);
        SetHklm("SleepState", static_cast<uint32_t>(c.SleepState));
        SetHklm("TreatUnattendedAsAutomatic", c.TreatUnattendedAsAutomatic);
        Sim.Power().SetResumeAutomatic(c.SystemAutomatic);
        cMcePowerManager& engine = Start();
        Sim.Clock().Advance(5000);
        if (c.UserInput)
            Sim.Power().UserInput();
        if (c.AwayMode)
            engine.OnPowerSettingChange(cSettingRecord(GUID_SYSTEM_AWAYMODE, ON).Get());
        Sim.Clock().Advance(5000);
        EXPECT_EQ(engine.IsAutomaticResume(), c.SystemAutomatic);
        EXPECT_EQ(engine.IsUnattended(), c.Unattended);
        EXPECT_EQ(engine.IsNonUserResume(), c.NonUser);
        EXPECT_EQ(engine.GetAwakeState(), c.AwakeState);
    }
}

TEST_F(EngineEvents, TheTwentyFirstUserWakeInARowDisablesAutomaticTasks)
{
    struct cCase {
        int UserWakes;
        uint32_t AutoTasksEnabled;
    };
    for (const cCase& c : {cCase{20, 1}, cCase{21, 0}}) {
        SCOPED_TRACE(c.UserWakes);
        cMcePowerManager& engine = Start();
        SetHkcu("AutoTasksEnabled", 1);
        SetHkcu("SuccesiveNonAutoTasks", 0);
        Sim.Power().SetResumeAutomatic(false);
        for (int wake = 0; wake < c.UserWakes; ++wake)
            engine.OnResumeAutomatic();
        EXPECT_EQ(Hkcu("AutoTasksEnabled"), c.AutoTasksEnabled);
        EXPECT_EQ(Hkcu("SuccesiveNonAutoTasks"), static_cast<uint32_t>(c.UserWakes));

        // One automatic wake shows that this machine can tell them apart.
        Sim.Power().SetResumeAutomatic(true);
        engine.OnResumeAutomatic();
        EXPECT_EQ(Hkcu("AutoTasksEnabled"), 1u);
        EXPECT_EQ(Hkcu("SuccesiveNonAutoTasks"), 0u);
    }
}

TEST_F(EngineEvents, TheUserWakeCountStopsAtItsLargestValue)
{
    struct cCase {
        uint32_t Stored, Expected;
    };
    // The count is read from the user's registry, where anything may stand.
    for (const cCase& c : {cCase{0x7FFFFFFE, 0x7FFFFFFF}, cCase{0x7FFFFFFF, 0x7FFFFFFF}}) {
        SCOPED_TRACE(c.Stored);
        cMcePowerManager& engine = Start();
        SetHkcu("AutoTasksEnabled", 1);
        SetHkcu("SuccesiveNonAutoTasks", c.Stored);
        Sim.Power().SetResumeAutomatic(false);
        engine.OnResumeAutomatic();
        EXPECT_EQ(Hkcu("SuccesiveNonAutoTasks"), c.Expected);
        EXPECT_EQ(Hkcu("AutoTasksEnabled"), 0u);
    }
}

// ---------------------------------------------------------------------------
// Suspend queries and simple events

TEST_F(EngineEvents, SuspendQueriesAreGrantedUnlessTheDebugFlagDeniesThem)
{
    struct cCase {
        bool Deny, FromSuspendSystem, Automatic;
        uint32_t Answer;
        std::vector<std::string> Log;
    };
    const cCase cases[] = {
        {false, false, false, 1, {"HandleSuspendQuery (Query suspend from user interaction)"}},
        {false, false, true, 1, {"HandleSuspendQuery (Query suspend from automatic task)"}},
        {true,
         false,
         false,
         BROADCAST_QUERY_DENY,
         {"HandleSuspendQuery (Query suspend from user interaction)",
          "  returning BROADCAST_QUERY_DENY (debug setting)"}},
        {true, true, false, 1, {"HandleSuspendQuery (Query suspend from user interaction)"}},
    };
    cMcePowerManager& engine = Start(eOs::XP);
    for (const cCase& c : cases) {
        SCOPED_TRACE(::testing::Message() << "deny " << c.Deny << " from SuspendSystem " << c.FromSuspendSystem);
        Sim.Power().SetResumeAutomatic(c.Automatic);
        engine.SetDenyQuery(c.Deny);
        EXPECT_EQ(engine.HandleSuspendQuery(c.FromSuspendSystem), c.Answer);
        EXPECT_EQ(TakeLog(), c.Log);
    }
    EXPECT_EQ(BROADCAST_QUERY_DENY, 0x424D5144u);

    engine.SetDenyQuery(true);
    EXPECT_EQ(engine.OnQuerySuspend(1), BROADCAST_QUERY_DENY);
    EXPECT_EQ(TakeLog()[0], "PBT_APMQUERYSUSPEND (1)");
    engine.SetDenyQuery(false);
    EXPECT_EQ(engine.OnQuerySuspend(0x8000001A), 1u);
    EXPECT_EQ(TakeLog()[0], "PBT_APMQUERYSUSPEND (8000001A)");
}

TEST_F(EngineEvents, SimpleEventsWriteOneLine)
{
    cMcePowerManager& engine = Start();
    cPowerManager& events = engine;
    const std::pair<std::function<void()>, std::vector<std::string>> cases[] = {
        {[&] { events.OnOemEvent(0x1A); }, {"PBT_APMOEMEVENT (0000001A)"}},
        {[&] { events.OnOemEvent(0xDEADBEEF); }, {"PBT_APMOEMEVENT (DEADBEEF)"}},
        {[&] { events.OnBatteryLow(); }, {"PBT_APMBATTERYLOW"}},
        {[&] { events.OnPowerStatusChange(); }, {}},
        {[&] { events.OnQuerySuspendFailed(); }, {"PBT_APMQUERYSUSPENDFAILED (Standby cancelled)"}},
        {[&] { events.OnResumeCritical(); }, {"PBT_APMRESUMECRITICAL"}},
        {[&] { events.OnAway(); }, {"PBT_APMAWAY"}},
        {[&] { events.OnAwayResume(); }, {"PBT_APMAWAYRESUME"}},
        {[&] { events.OnUnknownPowerEvent(); }, {"Unknown Power Event"}},
    };
    for (const auto& [event, log] : cases) {
        event();
        EXPECT_EQ(TakeLog(), log);
    }
}

TEST_F(EngineEvents, TheBaseInterfaceIgnoresEventsAndGrantsQueries)
{
    cPowerManager base;
    base.OnSuspend();
    base.OnPowerSettingChange(nullptr);
    EXPECT_EQ(base.OnQuerySuspend(1), 1u);
}

// ---------------------------------------------------------------------------
// Power settings

TEST_F(EngineEvents, PowerSettingChangesTrackAwayModeAndTheDisplay)
{
    const cGuid unknown = {0x12345678, 0x1, 0x2, {3, 4, 5, 6, 7, 8, 9, 10}};
    struct cCase {
        const char* Name;
        cGuid Guid;
        std::vector<uint8_t> Data;
        std::vector<std::string> Log;
        bool Away, MonitorOn;
    };
    const cCase cases[] = {
        {"away on",
         GUID_SYSTEM_AWAYMODE,
         ON,
         {"PBT_POWERSETTINGCHANGE - SYSTEM_AWAYMODE: 1", "PBT_APMAWAY"},
         true,
         true},
        {"away off",
         GUID_SYSTEM_AWAYMODE,
         OFF,
         {"PBT_POWERSETTINGCHANGE - SYSTEM_AWAYMODE: 0", "PBT_APMAWAYRESUME"},
         false,
         true},
        {"display off", GUID_MONITOR_POWER_ON, OFF, {"PBT_POWERSETTINGCHANGE - MONITOR_POWER_ON: 0"}, false, false},
        {"display on", GUID_MONITOR_POWER_ON, {2, 0, 0, 0}, {"PBT_POWERSETTINGCHANGE - MONITOR_POWER_ON: 2"}, false,
         true},
        {"background task", GUID_IDLE_BACKGROUND_TASK, {}, {"PBT_POWERSETTINGCHANGE - IDLE_BACKGROUND_TASK"}, false,
         true},
        {"unknown", unknown, ON, {"PBT_POWERSETTINGCHANGE: 4"}, false, true},
        // Too short for the 32-bit value: not read, only the length logged.
        {"away without data", GUID_SYSTEM_AWAYMODE, {}, {"PBT_POWERSETTINGCHANGE: 0"}, false, true},
        {"display with 2 bytes", GUID_MONITOR_POWER_ON, {0, 0}, {"PBT_POWERSETTINGCHANGE: 2"}, false, true},
    };
    for (const cCase& c : cases) {
        SCOPED_TRACE(c.Name);
        cMcePowerManager& engine = Start();
        engine.OnPowerSettingChange(cSettingRecord(c.Guid, c.Data).Get());
        EXPECT_EQ(TakeLog(), c.Log);
        EXPECT_EQ(engine.IsInAwayMode(), c.Away);
        EXPECT_EQ(engine.IsMonitorOn(), c.MonitorOn);
    }

    cMcePowerManager& engine = Start();
    engine.OnPowerSettingChange(nullptr);
    EXPECT_EQ(TakeLog(), std::vector<std::string>{"PBT_POWERSETTINGCHANGE: 0"});
}

TEST_F(EngineEvents, AnAutomaticResumeEndsAwayMode)
{
    cMcePowerManager& engine = Start();
    engine.OnPowerSettingChange(cSettingRecord(GUID_SYSTEM_AWAYMODE, ON).Get());
    TakeLog();
    engine.OnResumeAutomatic();
    EXPECT_FALSE(engine.IsInAwayMode());
    EXPECT_TRUE(Has(TakeLog(), "Away mode flag reset"));
    engine.OnResumeAutomatic();
    EXPECT_FALSE(Has(TakeLog(), "Away mode flag reset"));
}

// ---------------------------------------------------------------------------
// Resume order

TEST_F(EngineEvents, TheUserInterfaceIsRestoredOncePerWakeWhateverTheOrder)
{
    struct cCase {
        const char* Events;
        int32_t SleepState;
        bool Automatic;
        // The line after which "RestoreTargets()" comes, or none.
        const char* RestoredIn;
        bool Reversed;
    };
    const cCase cases[] = {
        {"SAU", 4, true, "PBT_APMRESUMESUSPEND (Start user interaction)", false},
        {"SUA", 4, true, "PBT_APMRESUMEAUTOMATIC (Resume for automatic task)", true},
        {"SUA", 4, false, "PBT_APMRESUMEAUTOMATIC (Resume for user interaction)", true},
        {"SA", 4, true, nullptr, false},  // the wake stays automatic
        {"SU", 4, true, nullptr, false},  // no automatic resume (yet)
        {"SA", 5, true, "PBT_APMRESUMEAUTOMATIC (Resume for automatic task??" "?)", false},  // hibernation
    };
    for (const cCase& c : cases) {
        SCOPED_TRACE(::testing::Message() << c.Events << " sleep state " << c.SleepState << " automatic "
                                          << c.Automatic);
        SetHklm("SleepState", static_cast<uint32_t>(c.SleepState));
        Sim.Power().SetResumeAutomatic(c.Automatic);
        Start();
        Play(c.Events);
        const std::vector<std::string> log = TakeLog();
        const auto restored = std::find(log.begin(), log.end(), "RestoreTargets()");
        if (c.RestoredIn == nullptr) {
            EXPECT_EQ(restored, log.end());
            continue;
        }
        ASSERT_NE(restored, log.end());
        EXPECT_EQ(Count(log, "RestoreTargets()"), 1u);
        EXPECT_EQ(Count(log, "Resuming userinterface"), 1u);
        // Restored while that event is handled.
        const auto handling = std::find_if(std::make_reverse_iterator(restored), log.rend(),
                                           [](const std::string& line) { return line.rfind("PBT_", 0) == 0; });
        ASSERT_NE(handling, log.rend());
        EXPECT_EQ(*handling, c.RestoredIn);
        EXPECT_EQ(Has(log, "  Reversed resume order"), c.Reversed);
    }
}

TEST_F(EngineEvents, ReversedOrderRestoresAfterTheReversedResumeDelay)
{
    SetHklm("ReversedResumeDelay", 2500);
    Sim.Power().SetResumeAutomatic(true);
    Start();
    Play("SU");
    TakeLog();
    Play("A");
    const std::vector<std::string> log = TakeLog();
    const std::vector<std::string> tail(std::find(log.begin(), log.end(), "  Reversed resume order"), log.end());
    const std::vector<std::string> expected = {
        "  Reversed resume order",  "Resuming userinterface",     "RestoreTargets()",
        "RestoreTargets() == false", "UnBlank(true)",              "Ehome.IsRunning() == false",
        "PBT_APMRESUMEAUTOMATIC done (2500ms)",
    };
    EXPECT_EQ(tail, expected);
    EXPECT_EQ(StampOf("Resuming userinterface") - StampOf("PBT_APMRESUMEAUTOMATIC (Resume for automatic task)"),
              2500);
}

TEST_F(EngineEvents, OnlyWindows7DoubtsAnAutomaticResumeBeforeTheUserShowsUp)
{
    struct cCase {
        eOs Os;
        const char* Events;
        bool Automatic;
        const char* Line;
    };
    const cCase cases[] = {
        {eOs::Windows7, "A", true, "PBT_APMRESUMEAUTOMATIC (Resume for automatic task)"},  // first after start
        {eOs::Windows7, "SA", true, "PBT_APMRESUMEAUTOMATIC (Resume for automatic task??" "?)"},
        {eOs::Windows7, "SA", false, "PBT_APMRESUMEAUTOMATIC (Resume for user interaction??" "?)"},
        {eOs::Windows7, "SUA", true, "PBT_APMRESUMEAUTOMATIC (Resume for automatic task)"},
        {eOs::Vista, "SA", true, "PBT_APMRESUMEAUTOMATIC (Resume for automatic task)"},
        {eOs::XP, "SA", false, "PBT_APMRESUMEAUTOMATIC (Resume for user interaction)"},
    };
    for (const cCase& c : cases) {
        SCOPED_TRACE(::testing::Message() << static_cast<int>(c.Os) << " " << c.Events);
        Sim.Power().SetResumeAutomatic(c.Automatic);
        Start(c.Os);
        Play(c.Events);
        EXPECT_TRUE(Has(TakeLog(), c.Line));
    }
}

TEST_F(EngineEvents, WakeMonitorSwitchesTheDisplayOffAndOnWhenRestoring)
{
    for (bool wake : {false, true}) {
        SetHklm("WakeMonitor", wake);
        Start();
        const size_t before = Sim.Windowing().Broadcasts().size();
        Engine->RestoreTargets();
        const auto& sent = Sim.Windowing().Broadcasts();
        EXPECT_EQ(Has(TakeLog(), "Waking monitor/TV"), wake);
        ASSERT_EQ(sent.size() - before, wake ? 2u : 0u);
        if (!wake)
            continue;
        EXPECT_EQ(sent[before].Message, 0x0112u);  // WM_SYSCOMMAND
        EXPECT_EQ(sent[before].WParam, 0xF170u);   // SC_MONITORPOWER
        EXPECT_EQ(sent[before].LParam, 2);
        EXPECT_EQ(sent[before + 1].WParam, 0xF170u);
        EXPECT_EQ(sent[before + 1].LParam, -1);
    }
}

// ---------------------------------------------------------------------------
// The suspend path

TEST_F(EngineEvents, SuspendLogsItsCauseWaitsTheStandbyDelayAndEnds)
{
    struct cCase {
        eOs Os;
        bool Automatic;
        std::vector<std::string> Log;
    };
    const cCase cases[] = {
        {eOs::Windows7,
         false,
         {"PBT_APMSUSPEND (Suspend from user interaction)", "Delaying suspend for 1000 milliseconds.",
          "PBT_APMSUSPEND done (1000ms)", "  ..."}},
        {eOs::XP,
         true,
         {"PBT_APMSUSPEND (Suspend from automatic-resume)", "Delaying suspend for 5000 milliseconds.",
          "PBT_APMSUSPEND done (5000ms)", "  ..."}},
    };
    for (const cCase& c : cases) {
        Sim.Registry().DeleteValue(eHive::LocalMachine, SETTINGS_KEY, "eHomeCloseDelay");
        Sim.Power().SetResumeAutomatic(c.Automatic);
        Start(c.Os);
        const uint64_t before = Sim.Clock().Now();
        Engine->OnSuspend();
        EXPECT_EQ(TakeLog(), c.Log);
        EXPECT_EQ(Sim.Clock().Now() - before, c.Os == eOs::XP ? 5000u : 1000u);
    }

    SetHklm("eHomeCloseDelay", 0);
    Engine->OnSuspend();
    EXPECT_EQ(TakeLog(), (std::vector<std::string>{"PBT_APMSUSPEND (Suspend from automatic-resume)",
                                                   "PBT_APMSUSPEND done (0ms)", "  ..."}));
}

TEST_F(EngineEvents, TheStandbyDelaySleepsThroughTheClockSoOutsideEventsCanArrive)
{
    Start();
    Sim.Windowing().SetDeliverDuringSleep(true);
    Sim.Windowing().Schedule(Sim.Clock().Now() + 400, [this] { Engine->OnQuerySuspendFailed(); });
    Engine->OnSuspend();
    EXPECT_EQ(TakeLog(), (std::vector<std::string>{"PBT_APMSUSPEND (Suspend from user interaction)",
                                                   "Delaying suspend for 1000 milliseconds.",
                                                   "PBT_APMQUERYSUSPENDFAILED (Standby cancelled)",
                                                   "PBT_APMSUSPEND done (1000ms)", "  ..."}));
}

TEST_F(EngineEvents, DebugEngineTimesTheSleepAndBoostsThePriorityMeanwhile)
{
    SetHklm("DebugEngine", 3);
    SetHklm("RunAtHighPriority", 1);
    cMcePowerManager& engine = Start();
    Sim.Windowing().SetDeliverDuringSleep(true);
    const uint64_t broadcast = Sim.Clock().Now();
    // The machine sleeps for an hour, 1500 ms after the broadcast.
    Sim.Windowing().Schedule(broadcast + 1500, [this] { Sim.Clock().Advance(60 * MINUTE); });
    engine.SetLastPowerBroadcastTick(Sim.Clock().GetTickCount());
    engine.OnSuspend();
    const std::vector<std::string> expected = {
        "PBT_APMSUSPEND (Suspend from user interaction)",
        "Boost SLH priority",
        "Delaying suspend for 1000 milliseconds.",
        "PBT_APMSUSPEND done (1000ms)",
        "Timing PBT_APMSUSPEND (1000ms)",
        "Timing PBT_APMSUSPEND (1200ms)",
        "Timing PBT_APMSUSPEND (1400ms)",
        "End SLH priority boost",
        "  ...",
    };
    EXPECT_EQ(TakeLog(), expected);
    // High priority at start, normal after the first suspend.
    EXPECT_EQ(Sim.Power().PriorityChanges(),
              (std::vector<uint32_t>{PRIORITY_CLASS_ABOVE_NORMAL, PRIORITY_CLASS_ABOVE_NORMAL, PRIORITY_CLASS_NORMAL}));
}

// ---------------------------------------------------------------------------
// Closing the front-ends: the window enumeration

TEST_F(EngineEvents, SuspendListsTheTitledTopLevelWindowsWhenAsked)
{
    SetHklm("SaveWindowTitels", 1);
    const char* titles = "C:\\Logs\\Titles.txt";
    ForceDirectories(Sim.Files(), "C:\\Logs");
    Sim.Files().WriteNewFile(titles, "left from the last suspend\r\n");
    Sim.Windowing().AddWindow("eHome Render Window", "Windows Media Center", 0x5A4);
    Sim.Windowing().AddWindow("Shell_TrayWnd", "", 0x2F0);
    Sim.Windowing().AddWindow("AVeryLongClassNameOfThirtyChars", std::string(250, 'x'), 0x1234ABCD);
    Start();
    Engine->OnSuspend();
    std::string text;
    ASSERT_TRUE(Sim.Files().ReadWholeFile(titles, text));
    EXPECT_EQ(text, "eHome Render Window      , 000005a4, >Windows Media Center<\r\n"
                    "AVeryLongClassNameOfThirtyChars, 1234abcd, >" +
                        std::string(199, 'x') +
                        "<\r\n"
                        // The engine's own blank-screen window, hidden.
                        "BlankerWindow            , 00000f10, >SLH blanker<\r\n");

    // An automatic wake that ends leaves the front-ends (and the list) alone.
    Sim.Files().DeleteFile(titles);
    Sim.Power().SetResumeAutomatic(true);
    Engine->OnSuspend();
    EXPECT_FALSE(Sim.Files().FileExists(titles));
    SetHklm("RestartAtAutomaticResume", 1);
    Engine->OnSuspend();
    EXPECT_TRUE(Sim.Files().FileExists(titles));
}

TEST_F(EngineEvents, AFailedWindowEnumerationIsLoggedWithTheSystemError)
{
    Start();
    Sim.Windowing().SetEnumerationFails(true);
    Sim.Errors().SetLastError(5);
    Engine->OnSuspend();
    const std::vector<std::string> log = TakeLog();
    const auto failed = std::find(log.begin(), log.end(), "EnumWindows failed!");
    ASSERT_NE(failed, log.end());
    EXPECT_EQ(*(failed + 1), "  LastError=0005h: Access is denied.");
    EXPECT_TRUE(Has(log, "PBT_APMSUSPEND done (1000ms)"));
}

// ---------------------------------------------------------------------------
// Guide downloads, status, logging switch

TEST_F(EngineEvents, ANewGuideDownloadIsLoggedInLocalTimeOnce)
{
    const char* epg = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Media Center\\Service\\EPG";
    auto storeDownload = [&](const cLocalTime& utc) {
        const uint64_t fileTime = SimFileTimeOf(utc);
        cRegistryValue value;
        value.Type = REGTYPE_BINARY;
        for (int i = 0; i < 8; ++i)
            value.Data.push_back(static_cast<uint8_t>(fileTime >> (8 * i)));
        Sim.Registry().WriteValue(eHive::LocalMachine, epg, "dlLastTime", value);
    };
    Sim.FileTimes().SetLocalOffsetMinutes(60);
    cMcePowerManager& engine = Start();

    // From nothing to a first download: nothing to compare with yet.
    storeDownload({2026, 12, 3, 9, 1, 45, 14, 123});
    EXPECT_FALSE(engine.CheckGuideDownload());
    EXPECT_EQ(TakeLog(), std::vector<std::string>{});

    storeDownload({2026, 12, 3, 9, 2, 4, 38, 120});
    engine.OnResumeSuspend();
    EXPECT_TRUE(Has(TakeLog(), "  Guide succesfully downloaded at Wed 09 Dec 2026 03:04:38.120"));
    EXPECT_FALSE(engine.CheckGuideDownload());

    // A value of another type is read as far as it goes.
    Sim.Registry().SetDword(eHive::LocalMachine, epg, "dlLastTime", 0);
    EXPECT_TRUE(engine.CheckGuideDownload());
    EXPECT_EQ(TakeLog(), std::vector<std::string>{"  Guide succesfully downloaded at Invalid time/date"});
}

TEST_F(EngineEvents, StatusAroundAForcedRebootIsSavedRestoredAndCleared)
{
    cMcePowerManager& engine = Start();
    engine.StatusSave();
    EXPECT_EQ(Hkcu("SavedIsBlanked"), 0u);
    engine.StatusRestore();
    EXPECT_EQ(TakeLog(), (std::vector<std::string>{"StatusSave()", "StatusRestore()", "StatusClear()"}));
    EXPECT_EQ(Hkcu("SavedIsBlanked"), 0xDEADu);  // deleted
}

TEST_F(EngineEvents, SwitchingTheLogLeavesAMarkOnBothSides)
{
    cMcePowerManager& engine = Start();
    engine.SetLogMode(false);
    EXPECT_FALSE(engine.GetLogMode());
    engine.OnBatteryLow();
    engine.SetLogMode(true);
    EXPECT_TRUE(engine.GetLogMode());
    EXPECT_EQ(TakeLog(), (std::vector<std::string>{"Logging disabled.", "Logging enabled."}));
}

}  // namespace
