// The recording monitor on the simulator, driven as the main window drives
// it: the power events first to the monitor and then to the engine, and one
// evaluation per virtual second.
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "EngineTestBench.h"
#include "detection/MediaCenterExtender.h"
#include "detection/RecordingMonitor.h"
#include "targets/MediaCenterContract.h"

namespace {

constexpr uint64_t SECOND = 1000;
constexpr uint64_t MINUTE = 60 * SECOND;
constexpr uint64_t HOUR = 60 * MINUTE;
// The simulation starts at 23:50; the machine has been up for an hour.
constexpr uint64_t MIDNIGHT = 10 * MINUTE;
constexpr uint32_t UPTIME_AT_START = 3600000;

const std::string APPLICATIONS_KEY = std::string(SETTINGS_KEY) + "\\Non Idle Applications";
const std::string NETSESSIONS_KEY = std::string(SETTINGS_KEY) + "\\Non Idle Networksessions";

constexpr const char* AUTOMATIC_IDLE = "Automatic-resume idle period detected";
constexpr const char* UNATTENDED_IDLE = "Unattended-resume idle period detected";
constexpr const char* MC_IDLE = "'Media Center is running and idle' idle period detected";
constexpr const char* NO_INPUT_IDLE = "'Media Center is running and no user input' idle period detected";

bool IsIdlePeriod(const std::string& line)
{
    return line.find("idle period detected") != std::string::npos;
}

// One simulated machine with the engine and the monitor, and the clock of
// its night.
class cNight : public cEngineTestBench {
public:
    cNight()
    {
        LogToFile();
        NoForcedReboots();
        SetHklm("SleepState", 4);
        Sim.Clock().SetTickBase(UPTIME_AT_START);
        Sim.Clock().SetLocalTime({2026, 12, 3, 9, 23, 50, 0, 0});
    }

    // The program starts now: the objects as the main window builds them,
    // then the start-up pair Suspend, Resume(SuspendIdleOnResume).
    void Start()
    {
        SessionCounter = std::make_unique<cMediaCenterExtender>(Sim.Get());
        cEngineTestBench::Start(eOs::Windows7, 0);
        Monitor = std::make_unique<cRecordingMonitor>(Sim.Get(), *Engine, *Version, *Logger, *SessionCounter);
        Monitor->Suspend();
        Monitor->Resume(0);
        TakeLog();
    }

    uint64_t Now() { return Sim.Clock().Now(); }
    void RunTo(uint64_t moment) { Sim.Windowing().RunUntil(moment); }

    // The heartbeat: one evaluation at the moment; the lines it logged.
    std::vector<std::string> EvaluateAt(uint64_t moment)
    {
        RunTo(moment);
        Monitor->EvaluateAwakeState();
        return TakeLog();
    }
    std::vector<std::string> Second() { return EvaluateAt(Now() + SECOND); }
    // Evaluates once per second up to and including the moment.
    void SecondsTo(uint64_t moment)
    {
        while (Now() + SECOND <= moment)
            Second();
    }

    // Evaluates once per second until an idle period is logged, at most
    // limit seconds, calling eachSecond before each evaluation. Returns the
    // moment of that evaluation, 0 when none came.
    uint64_t RunToIdlePeriod(uint64_t limit, const std::function<void()>& eachSecond = {})
    {
        const uint64_t end = Now() + limit * SECOND;
        while (Now() < end) {
            RunTo(Now() + SECOND);
            if (eachSecond)
                eachSecond();
            Monitor->EvaluateAwakeState();
            const std::vector<std::string> log = TakeLog();
            LastEvaluation = log;
            if (std::any_of(log.begin(), log.end(), IsIdlePeriod))
                return Now();
        }
        return 0;
    }

    // The power events of the main window, the monitor first.
    void GoToSleepUntil(uint64_t wake)
    {
        Monitor->Suspend();
        Engine->OnSuspend();
        RunTo(wake);
        WakeMoment = wake;
    }
    void AutomaticWake()
    {
        Sim.Power().SetResumeAutomatic(true);
        Monitor->ResetForWake();
        Monitor->Resume(0);
        Engine->OnResumeAutomatic();
        TakeLog();
    }
    // The user wakes the machine and touches the remote.
    void UserWake()
    {
        Sim.Power().SetResumeAutomatic(false);
        Monitor->ResetForWake();
        Monitor->Resume(0);
        Engine->OnResumeAutomatic();
        Sim.Power().UserInput();
        Monitor->RestartIdleTimers();
        Engine->OnResumeSuspend();
        TakeLog();
    }
    // The usual night: started at 23:50, asleep at 23:55, woken at 02:00.
    void SleepAndWakeAutomatically()
    {
        Start();
        SecondsTo(5 * MINUTE);
        GoToSleepUntil(MIDNIGHT + 2 * HOUR);
        AutomaticWake();
    }

    // The add-in's block with these records from index 0 on.
    void WriteRecords(const std::vector<cMcsaRecord>& records)
    {
        std::vector<uint8_t> block(MCSA_BLOCK_SIZE);
        for (size_t i = 0; i < records.size(); ++i)
            WriteMcsaRecord(block.data(), block.size(), static_cast<int>(i), records[i]);
        Sim.SharedMemory().WriteBlock(MCSA_BLOCK_NAME, block);
    }
    static cMcsaRecord Record(uint32_t state)
    {
        cMcsaRecord record;
        record.InUse = true;
        record.State = state;
        return record;
    }

    // The sleeps the engine began on the requests of the monitor.
    static size_t SleepRequests(const std::vector<std::string>& log)
    {
        return static_cast<size_t>(std::count(log.begin(), log.end(), "Entering Standby"));
    }
    bool Holds(uint32_t bit) { return (Monitor->GetStayAwakeConditions() & bit) != 0; }

    std::unique_ptr<cMediaCenterExtender> SessionCounter;
    std::unique_ptr<cRecordingMonitor> Monitor;
    std::vector<std::string> LastEvaluation;
    uint64_t WakeMoment = 0;
};

class RecordingMonitor : public ::testing::Test, protected cNight {};

// ---------------------------------------------------------------------------
// Automatic wakes

TEST_F(RecordingMonitor, ARecordingAfterAnAutomaticWakeEndsTheWake30SecondsAfterItsEnd)
{
    SleepAndWakeAutomatically();
    // The recording starts a minute after the wake and runs 30 minutes.
    const uint64_t start = WakeMoment + MINUTE;
    const uint64_t end = start + 30 * MINUTE;
    SecondsTo(start);
    WriteRecords({Record(MCSA_STATE_RECORDING)});
    std::vector<std::string> log = Second();
    EXPECT_NE(std::find(log.begin(), log.end(), "Number of active recordings: 1"), log.end());
    EXPECT_EQ(Monitor->GetActiveRecordings(), 1);
    EXPECT_EQ(RunToIdlePeriod((end - Now()) / SECOND), 0u) << "idle during the recording";

    // Last seen by the evaluation at its end; the grace of 30 s holds through
    // the 30th second after it.
    WriteRecords({});
    SecondsTo(end + 30 * SECOND);
    EXPECT_TRUE(Holds(SA_REC_GRACE));
    EXPECT_EQ(RunToIdlePeriod(60), end + 31 * SECOND);
    EXPECT_FALSE(Holds(SA_REC_GRACE));

    const auto idle = std::find(LastEvaluation.begin(), LastEvaluation.end(), AUTOMATIC_IDLE);
    ASSERT_NE(idle, LastEvaluation.end());
    EXPECT_EQ(SleepRequests({idle, LastEvaluation.end()}), 1u);
    // The engine's thread makes the sleep call a moment later.
    Second();
    ASSERT_EQ(Sim.Sleep().Sleeps().size(), 1u);
    EXPECT_FALSE(Sim.Sleep().Sleeps()[0].Hibernate);
}

TEST_F(RecordingMonitor, WithoutRecordingAWakeEndsAfterTheGraceThatFollowsTheSuspension)
{
    struct cCase {
        const char* Name;
        bool Debug;          // DebugRecordingMonitor: a grace of 30 s
        uint64_t WrapAfter;  // the tick count wraps this long after the wake (0: not during the test)
        uint64_t Expected;   // the idle period after the wake
    };
    const cCase cases[] = {
        {"defaults", false, 0, (60 + 361) * SECOND},
        {"debug grace", true, 0, (60 + 31) * SECOND},
        {"wrap during the suspension", false, 30 * SECOND, (60 + 361) * SECOND},
        {"wrap during the grace", false, 200 * SECOND + 300, (60 + 361) * SECOND},
    };
    for (const cCase& c : cases) {
        SCOPED_TRACE(c.Name);
        cNight night;
        const uint64_t wake = MIDNIGHT + 2 * HOUR;
        if (c.WrapAfter)
            night.Sim.Clock().SetTickBase(0u - static_cast<uint32_t>(wake + c.WrapAfter));
        night.SetHklm("DebugRecordingMonitor", c.Debug);
        night.SleepAndWakeAutomatically();
        EXPECT_EQ(night.RunToIdlePeriod(1000), wake + c.Expected);
        const std::vector<std::string>& log = night.LastEvaluation;
        EXPECT_NE(std::find(log.begin(), log.end(), AUTOMATIC_IDLE), log.end());
        // The next period is measured from the request.
        EXPECT_EQ(night.RunToIdlePeriod(1000), wake + c.Expected + (c.Debug ? 31 : 361) * SECOND);
    }
}


TEST_F(RecordingMonitor, TheWakeIsReportedAsAutomaticOrUnattended)
{
    struct cCase {
        const char* Name;
        bool Automatic;  // what the system reports
        const char* Expected;
    };
    const cCase cases[] = {
        {"automatic", true, AUTOMATIC_IDLE},
        {"no input after a user wake", false, UNATTENDED_IDLE},
    };
    for (const cCase& c : cases) {
        SCOPED_TRACE(c.Name);
        cNight night;
        night.SetHklm("TreatUnattendedAsAutomatic", 1);
        night.Start();
        night.SecondsTo(5 * MINUTE);
        night.GoToSleepUntil(MIDNIGHT + 2 * HOUR);
        night.Sim.Power().SetResumeAutomatic(c.Automatic);
        night.Monitor->ResetForWake();
        night.Monitor->Resume(0);
        night.Engine->OnResumeAutomatic();
        if (!c.Automatic) {
            night.Monitor->RestartIdleTimers();
            night.Engine->OnResumeSuspend();
        }
        EXPECT_EQ(night.RunToIdlePeriod(1000), night.WakeMoment + 421 * SECOND);
        const std::vector<std::string>& log = night.LastEvaluation;
        EXPECT_NE(std::find(log.begin(), log.end(), c.Expected), log.end());
    }
}

// Something that keeps an automatic wake going, from the wake on.
struct cKeeper {
    const char* Name;
    std::function<void(cNight&)> Configure;  // before the program starts
    std::function<void(cNight&)> Begin;      // at the wake
    std::function<void(cNight&)> During;     // before each evaluation while it lasts
    std::function<void(cNight&)> End;
    uint32_t Bit;     // the condition it sets; 0 when it does not keep the wake going
    int ReleaseAfter; // seconds from its last evaluation to the idle period
};

void StartProcessAt(cNight& night, const char* name)
{
    night.Sim.ProcessList().StartProcess(name);
}

void ConnectSession(cNight& night, uint32_t id, const char* user)
{
    night.Sim.Sessions().AddSession(id, TS_STATE_ACTIVE, user, TS_PROTOCOL_RDP);
    night.SessionCounter->OnSessionChange(TS_CHANGE_REMOTE_CONNECT, id);
}

void DisconnectSession(cNight& night, uint32_t id)
{
    // Still listed while the notification is handled.
    night.SessionCounter->OnSessionChange(TS_CHANGE_REMOTE_DISCONNECT, id);
    night.Sim.Sessions().SetSessionState(id, TS_STATE_DISCONNECTED);
}

TEST_F(RecordingMonitor, AnythingInUseKeepsAnAutomaticWakeGoingUntilItEnds)
{
    int netSession = 0;
    const cKeeper keepers[] = {
        {"listed program",
         [](cNight& n) { n.Sim.Registry().SetString(eHive::LocalMachine, APPLICATIONS_KEY, "1", "Recorder.exe"); },
         [](cNight& n) { StartProcessAt(n, "RECORDER.EXE"); }, {},
         [](cNight& n) { n.Sim.ProcessList().EndProcesses("RECORDER.EXE"); }, SA_APPS_NON_USER, 1},
        // Active while its idle time is at most 10 s; it then counts from its
        // last activity.
        {"listed network user",
         [](cNight& n) { n.Sim.Registry().SetString(eHive::LocalMachine, NETSESSIONS_KEY, "1", "alice"); },
         [&](cNight& n) { netSession = n.Sim.Sessions().AddNetSession("\\\\LAPTOP", "Alice"); },
         [&](cNight& n) { n.Sim.Sessions().SetNetSessionIdle(netSession, 0); }, [](cNight&) {}, SA_NET_SESSION, 300},
        {"Remote Desktop session", {}, [](cNight& n) { ConnectSession(n, 5, "Bob"); }, {},
         [](cNight& n) { DisconnectSession(n, 5); }, SA_RDP, 301},
        {"extender without forced away mode", [](cNight& n) { n.SetHklm("ForceAwayWhenExtenderInUse", 0); },
         [](cNight& n) { ConnectSession(n, 6, "Mcx1-HTPC"); }, {}, [](cNight& n) { DisconnectSession(n, 6); },
         SA_EXTENDER, 301},
        {"execution-state holder", [](cNight& n) { n.SetHklm("IgnoreSuspendBlock", 0); },
         [](cNight& n) { n.Sim.PowerPolicy().SetRecord(POWER_INFO_EXECUTION_STATE, uint32_t{0x80000001}); }, {},
         [](cNight& n) { n.Sim.PowerPolicy().SetRecord(POWER_INFO_EXECUTION_STATE, uint32_t{0}); }, SA_EXEC_STATE,
         1},
        // Away mode serves the extender instead.
        {"extender with forced away mode", {}, [](cNight& n) { ConnectSession(n, 6, "Mcx1-HTPC"); }, {},
         [](cNight& n) { DisconnectSession(n, 6); }, 0, 0},
        {"execution-state holder, ignored", {},
         [](cNight& n) { n.Sim.PowerPolicy().SetRecord(POWER_INFO_EXECUTION_STATE, uint32_t{0x80000001}); }, {},
         [](cNight&) {}, 0, 0},
        {"unlisted program", {}, [](cNight& n) { StartProcessAt(n, "notepad.exe"); }, {}, [](cNight&) {}, 0, 0},
    };
    for (const cKeeper& keeper : keepers) {
        SCOPED_TRACE(keeper.Name);
        cNight night;
        if (keeper.Configure)
            keeper.Configure(night);
        night.Start();
        night.SecondsTo(5 * MINUTE);
        night.GoToSleepUntil(MIDNIGHT + 2 * HOUR);
        night.AutomaticWake();
        keeper.Begin(night);
        const uint64_t idle = night.RunToIdlePeriod(15 * 60, [&] {
            if (keeper.During)
                keeper.During(night);
        });
        if (keeper.Bit == 0) {
            EXPECT_EQ(idle, night.WakeMoment + 421 * SECOND);
            continue;
        }
        ASSERT_EQ(idle, 0u);
        EXPECT_TRUE(night.Holds(keeper.Bit));
        const uint64_t last = night.Now();
        keeper.End(night);
        EXPECT_EQ(night.RunToIdlePeriod(400), last + static_cast<uint64_t>(keeper.ReleaseAfter) * SECOND);
        EXPECT_FALSE(night.Holds(keeper.Bit));
    }
}

// ---------------------------------------------------------------------------
// Boundaries of the rules

TEST_F(RecordingMonitor, TheSuspensionLastsTheResumeDelay)
{
    struct cCase {
        int32_t Delay;
        uint64_t Lasts;
        uint32_t TickAtResume;  // shortly after boot the tick count is below the delay
    };
    const cCase cases[] = {
        {0, 60000, UPTIME_AT_START}, {-5, 60000, UPTIME_AT_START}, {1500, 1500, UPTIME_AT_START},
        {0, 60000, 5000},            {0, 60000, 0xFFFFF000},  // wraps during the suspension
    };
    for (const cCase& c : cases) {
        SCOPED_TRACE(std::to_string(c.Delay) + " at tick " + std::to_string(c.TickAtResume));
        cNight night;
        night.Sim.Clock().SetTickBase(c.TickAtResume);
        night.Start();
        night.Monitor->Resume(c.Delay);
        night.EvaluateAt(c.Lasts / 2);
        EXPECT_TRUE(night.Monitor->IsDetectionSuspended());
        night.EvaluateAt(c.Lasts - 1);
        EXPECT_TRUE(night.Monitor->IsDetectionSuspended());
        EXPECT_FALSE(night.Monitor->IsMonitoring());
        night.EvaluateAt(c.Lasts);
        EXPECT_FALSE(night.Monitor->IsDetectionSuspended());
        EXPECT_TRUE(night.Monitor->IsMonitoring());
        // A new suspension waits for its Resume, however long that takes.
        night.Monitor->Suspend();
        night.SecondsTo(c.Lasts + 5 * MINUTE);
        EXPECT_TRUE(night.Monitor->IsDetectionSuspended());
    }
}

// The boundary of each timed condition: set at Inside seconds (in
// milliseconds after its start), clear at Outside.
struct cBoundary {
    const char* Name;
    uint32_t Bit;
    std::function<void(cNight&)> Begin;  // the condition starts at the moment
    std::function<void(cNight&)> End;    // and stops right after its evaluation
    uint64_t Inside;
    uint64_t Outside;
};

TEST_F(RecordingMonitor, TimedConditionsHoldUpToTheirLimitInRoundedSeconds)
{
    int netSession = 0;
    const cBoundary boundaries[] = {
        // Media Center idle for exactly MceIdleTimeout is still busy.
        {"Media Center busy", SA_MC_BUSY, [](cNight& n) { n.WriteRecords({cNight::Record(MCSA_STATE_PLAYING)}); },
         [](cNight& n) { n.WriteRecords({cNight::Record(MCSA_STATE_MENU)}); }, 1800 * SECOND, 1801 * SECOND},
        {"input within MceIdleTimeout", SA_INPUT_MC, [](cNight& n) { n.Sim.Power().UserInput(); }, {},
         1800 * SECOND, 1801 * SECOND},
        {"input within UserInputIdleTimeout", SA_INPUT, [](cNight& n) { n.Sim.Power().UserInput(); }, {},
         2400 * SECOND, 2401 * SECOND},
        {"recent recording", SA_REC_RECENT, [](cNight& n) { n.WriteRecords({cNight::Record(MCSA_STATE_RECORDING)}); },
         [](cNight& n) { n.WriteRecords({}); }, 30 * SECOND, 31 * SECOND},
        {"recording grace", SA_REC_GRACE, [](cNight& n) { n.WriteRecords({cNight::Record(MCSA_STATE_RECORDING)}); },
         [](cNight& n) { n.WriteRecords({}); }, 30 * SECOND + 499, 30 * SECOND + 500},
        {"Remote Desktop", SA_RDP, [](cNight& n) { ConnectSession(n, 5, "Bob"); },
         [](cNight& n) { DisconnectSession(n, 5); }, 300 * SECOND, 301 * SECOND},
        // Strictly less than 300 s, and 299.6 s rounds to 300.
        {"network session", SA_NET_SESSION,
         [&](cNight& n) { netSession = n.Sim.Sessions().AddNetSession("\\\\LAPTOP", "alice"); },
         [&](cNight& n) { n.Sim.Sessions().RemoveNetSession(netSession); }, 299 * SECOND + 499, 299 * SECOND + 600},
    };
    for (const cBoundary& b : boundaries) {
        SCOPED_TRACE(b.Name);
        cNight night;
        night.SetHklm("UserInputIdleTimeout", 2400);
        night.Sim.Registry().SetString(eHive::LocalMachine, NETSESSIONS_KEY, "1", "Alice");
        night.Start();
        // Long after the start, so that nothing of the start-up holds.
        night.SecondsTo(10 * MINUTE);
        const uint64_t start = night.Now() + SECOND;
        night.RunTo(start);
        b.Begin(night);
        night.EvaluateAt(start);
        ASSERT_TRUE(night.Holds(b.Bit));
        if (b.End)
            b.End(night);
        // Evaluations at least once a minute, up to the two moments.
        night.SecondsTo(start + b.Inside - SECOND);
        night.EvaluateAt(start + b.Inside);
        EXPECT_TRUE(night.Holds(b.Bit));
        night.EvaluateAt(start + b.Outside);
        EXPECT_FALSE(night.Holds(b.Bit));
    }
}

TEST_F(RecordingMonitor, AGapOfMoreThanAMinuteBetweenEvaluationsRestartsTheIdleTimers)
{
    struct cCase {
        uint64_t Gap;
        uint64_t Expected;  // seconds after the gap
    };
    // Due at the wake + 421 s; the gap starts at + 400 s.
    const cCase cases[] = {{60 * SECOND + 499, 0}, {60 * SECOND + 500, 361}};
    for (const cCase& c : cases) {
        SCOPED_TRACE(c.Gap);
        cNight night;
        night.SleepAndWakeAutomatically();
        night.SecondsTo(night.WakeMoment + 400 * SECOND);
        const uint64_t after = night.Now() + c.Gap;
        night.RunTo(after - SECOND);
        const uint64_t idle = night.RunToIdlePeriod(400);
        EXPECT_EQ(idle, after + c.Expected * SECOND);
    }
}

TEST_F(RecordingMonitor, RecordingMonitorEnabledIsOffWhileHibernationCannotTellUnattendedWakes)
{
    struct cCase {
        uint32_t SleepState;
        bool TreatUnattended;
        bool Enabled;
    };
    const cCase cases[] = {{5, false, false}, {5, true, true}, {4, false, true}, {101, false, true}};
    cNight night;
    night.Start();
    night.SecondsTo(2 * MINUTE);
    for (const cCase& c : cases) {
        SCOPED_TRACE(std::to_string(c.SleepState) + (c.TreatUnattended ? " unattended" : ""));
        night.SetHklm("SleepState", c.SleepState);
        night.SetHklm("TreatUnattendedAsAutomatic", c.TreatUnattended);
        night.Second();
        EXPECT_EQ(night.Holds(SA_REC_DISABLED), !c.Enabled);
        EXPECT_EQ(night.Monitor->CanEnableRecordingMonitor(), c.Enabled);
        EXPECT_EQ(night.Monitor->IsRecordingMonitorEnabled(), c.Enabled);
    }
    // Switched off by the user: enabled in principle.
    night.SetHklm("RecordingMonitorEnabled", 0);
    night.Second();
    EXPECT_TRUE(night.Holds(SA_REC_DISABLED));
    EXPECT_TRUE(night.Monitor->CanEnableRecordingMonitor());
}

TEST_F(RecordingMonitor, FormatElapsedGivesHoursMinutesAndSeconds)
{
    struct cCase {
        uint32_t Ago;  // ms
        const char* Text;
    };
    const cCase cases[] = {
        {59 * 1000, "0:00.59"},   {3600 * 1000, "1:00.00"},       {3725 * 1000, "1:02.05"},
        {499, "0:00.00"},         {59500, "0:01.00"},             {100 * 3600 * 1000u, "100:00.00"},
        {4294966795u, "1193:02.47"},  // the longest span that rounds within 32 bits
    };
    cNight night;
    night.Start();
    const uint32_t now = night.Sim.Clock().GetTickCount();
    for (const cCase& c : cases)
        EXPECT_EQ(night.Monitor->FormatElapsed(now - c.Ago), c.Text) << c.Ago;
}

// ---------------------------------------------------------------------------
// Media Center

// The user wakes the machine into Media Center, showing its menu (idle),
// and touches the remote for the last time 300 s after the wake.
class cMediaCenterEvening {
public:
    explicit cMediaCenterEvening(cNight& night) : Night(night) {}

    WindowHandle Begin()
    {
        Window = Night.Sim.Windowing().AddWindow(MC_SHELL_WINDOW_CLASS, "Windows Media Center", 4242);
        Night.Sim.Windowing().SetTitleBarState(Window, 0x8000);
        Night.Sim.Windowing().SetForegroundWindow(Window);
        Night.WriteRecords({cNight::Record(MCSA_STATE_MENU)});
        Night.Start();
        Night.SecondsTo(5 * MINUTE);
        Night.GoToSleepUntil(MIDNIGHT + 2 * HOUR);
        Night.UserWake();
        Night.SecondsTo(Night.WakeMoment + 299 * SECOND);
        LastInput = Night.WakeMoment + 300 * SECOND;
        Night.RunTo(LastInput);
        Night.Sim.Power().UserInput();
        Night.EvaluateAt(LastInput);
        return Window;
    }

    cNight& Night;
    WindowHandle Window = 0;
    uint64_t LastInput = 0;
};

struct cMediaCenterCase {
    const char* Name;
    std::vector<std::pair<const char*, uint32_t>> Settings;
    uint32_t State;                     // of the one Media Center session
    std::vector<const char*> Expected;  // the periods reached, in order; none: never
    uint64_t After;                     // seconds after the last input
};

const cMediaCenterCase MEDIA_CENTER_CASES[] = {
    {"idle menu", {}, MCSA_STATE_MENU, {MC_IDLE}, 1801},
    {"idle menu, shorter timeout", {{"MceIdleTimeout", 600}}, MCSA_STATE_MENU, {MC_IDLE}, 601},
    {"playing, no input", {{"UserInputIdleDetection", 1}, {"UserInputIdleTimeout", 600}}, MCSA_STATE_PLAYING,
     {NO_INPUT_IDLE}, 601},
    {"both at once", {{"UserInputIdleDetection", 1}, {"UserInputIdleTimeout", 1800}}, MCSA_STATE_MENU,
     {MC_IDLE, NO_INPUT_IDLE}, 1801},
    {"idle detection off", {{"MceIdleDetectionEnabled", 0}}, MCSA_STATE_MENU, {}, 0},
    {"playing", {}, MCSA_STATE_PLAYING, {}, 0},
};

// The periods whose conditions are all clear now.
std::vector<std::string> PeriodsReached(uint32_t conditions)
{
    std::vector<std::string> periods;
    if ((conditions & IDLE_MASK_MEDIA_CENTER_IDLE) == 0)
        periods.push_back(MC_IDLE);
    if ((conditions & IDLE_MASK_NO_INPUT) == 0)
        periods.push_back(NO_INPUT_IDLE);
    return periods;
}

TEST_F(RecordingMonitor, MediaCenterIdleConditionsClearAfterTheirTimeWithoutInput)
{
    for (const cMediaCenterCase& c : MEDIA_CENTER_CASES) {
        SCOPED_TRACE(c.Name);
        cNight night;
        for (const auto& [name, value] : c.Settings)
            night.SetHklm(name, value);
        cMediaCenterEvening evening(night);
        evening.Begin();
        night.WriteRecords({cNight::Record(c.State)});
        const uint64_t due = evening.LastInput + (c.Expected.empty() ? 2500 : c.After) * SECOND;
        night.SecondsTo(due - SECOND);
        EXPECT_TRUE(PeriodsReached(night.Monitor->GetStayAwakeConditions()).empty());
        night.EvaluateAt(due);
        EXPECT_EQ(PeriodsReached(night.Monitor->GetStayAwakeConditions()),
                  std::vector<std::string>(c.Expected.begin(), c.Expected.end()));
    }
}

TEST_F(RecordingMonitor, MediaCenterIdlePeriodsAskForSleepInTheirOrder)
{
    for (const cMediaCenterCase& c : MEDIA_CENTER_CASES) {
        SCOPED_TRACE(c.Name);
        cNight night;
        for (const auto& [name, value] : c.Settings)
            night.SetHklm(name, value);
        cMediaCenterEvening evening(night);
        evening.Begin();
        if (night.Engine->GetAwakeState() != AS_MEDIACENTER)
            GTEST_SKIP() << "the engine does not report Media Center running yet";
        night.WriteRecords({cNight::Record(c.State)});
        const uint64_t idle = night.RunToIdlePeriod(2500);
        if (c.Expected.empty()) {
            EXPECT_EQ(idle, 0u);
            continue;
        }
        EXPECT_EQ(idle, evening.LastInput + c.After * SECOND);
        std::vector<std::string> periods;
        for (const std::string& line : night.LastEvaluation)
            if (IsIdlePeriod(line))
                periods.push_back(line);
        EXPECT_EQ(periods, std::vector<std::string>(c.Expected.begin(), c.Expected.end()));
        EXPECT_EQ(night.SleepRequests(night.LastEvaluation), c.Expected.size());
    }
}

TEST_F(RecordingMonitor, MediaCenterIdleNeedsItsWindowInFrontAndFullScreenUnlessTheRulesAreOff)
{
    struct cCase {
        const char* Name;
        bool Front;
        uint32_t TitleBar;  // STATE_SYSTEM_INVISIBLE: no caption, full screen
        bool TitleBarFails;
        bool OnlyIfForeground;
        bool OnlyIfFullscreen;
        bool Reached;
    };
    const cCase cases[] = {
        {"in front, full screen", true, 0x8000, false, true, true, true},
        {"behind", false, 0x8000, false, true, true, false},
        {"behind, front rule off", false, 0x8000, false, false, true, true},
        {"in a window", true, 0, false, true, true, false},
        {"in a window, full-screen rule off", true, 0, false, true, false, true},
        {"title bar unknown", true, 0, true, true, true, true},
    };
    for (const cCase& c : cases) {
        SCOPED_TRACE(c.Name);
        cNight night;
        night.SetHklm("OnlyIfForegroundApplication", c.OnlyIfForeground);
        night.SetHklm("OnlyIfFullscreen", c.OnlyIfFullscreen);
        cMediaCenterEvening evening(night);
        const WindowHandle window = evening.Begin();
        cSimWindowing& windowing = night.Sim.Windowing();
        if (!c.Front)
            windowing.SetForegroundWindow(windowing.AddWindow("Shell_TrayWnd", "", 1234));
        windowing.SetTitleBarState(window, c.TitleBar);
        windowing.SetTitleBarFails(window, c.TitleBarFails);
        night.SecondsTo(evening.LastInput + 1801 * SECOND);
        EXPECT_EQ(night.Holds(SA_NOT_FOREGROUND), !c.Front && c.OnlyIfForeground);
        EXPECT_EQ(night.Holds(SA_NOT_FULLSCREEN), c.TitleBar == 0 && !c.TitleBarFails && c.OnlyIfFullscreen);
        EXPECT_EQ(PeriodsReached(night.Monitor->GetStayAwakeConditions()).size(), c.Reached ? 1u : 0u);
    }
    // Without the window neither rule holds anything back.
    cNight night;
    night.Start();
    night.SecondsTo(2 * MINUTE);
    EXPECT_FALSE(night.Holds(SA_NOT_FOREGROUND | SA_NOT_FULLSCREEN));
}

// ---------------------------------------------------------------------------
// The log

TEST_F(RecordingMonitor, TheFirstEvaluationAfterTheStartLogsTheStateAndTheWholeMask)
{
    SetHklm("LogActivity", 1);
    Start();
    const std::vector<std::string> startUp = {"RecordingMonitor Suspend", "RecordingMonitor Resume(0)."};
    Monitor->Suspend();
    Monitor->Resume(0);
    EXPECT_EQ(TakeLog(), startUp);
    // During the suspension nothing is measured or logged.
    SecondsTo(59 * SECOND);
    EXPECT_TRUE(TakeLog().empty());

    // No input since the start (60 s ago), no Media Center, no session: the
    // mask is logged against the previous 0.
    const uint32_t mask = SA_INPUT_IDLE_DISABLED | SA_ALWAYS | SA_REC_GRACE | SA_REC_RECENT | SA_MC_BUSY |
                          SA_INPUT_MC | SA_INPUT | SA_RDP;
    const std::vector<std::string> expected = {
        "AwakeState: AS_DESKTOP",
        "0 0 0 0 1 0 ",
        "Number of active recordings: 0",
        "ExecutionState: 0",
        "StayAwakeConditions: 0003870C (0003870C)",
        "Rec: 0(30) (MC: 0) Inp: 60 Exe: 0",
    };
    EXPECT_EQ(mask, 0x0003870Cu);
    EXPECT_EQ(Second(), expected);
    // Only the activity line from now on, until something changes.
    EXPECT_EQ(Second(), std::vector<std::string>{"Rec: 1(30) (MC: 1) Inp: 61 Exe: 0"});
    WriteRecords({Record(MCSA_STATE_MENU)});
    const std::vector<std::string> active = {"Rec: 2(30) MC: 0(1800) Inp: 62 Exe: 0"};
    EXPECT_EQ(Second(), active);
}

TEST_F(RecordingMonitor, TheStateLineShowsTheSystemsOwnAnswerAboutTheWake)
{
    Start();
    SecondsTo(5 * MINUTE);
    GoToSleepUntil(MIDNIGHT + 2 * HOUR);
    // Any non-zero answer means automatic; the line shows it as it came.
    Sim.Power().SetResumeAutomaticResult(2);
    Monitor->ResetForWake();
    Monitor->Resume(0);
    Engine->OnResumeAutomatic();
    TakeLog();
    std::vector<std::string> log;
    while (Now() < WakeMoment + 2 * MINUTE)
        for (const std::string& line : Second())
            log.push_back(line);
    const auto state = std::find(log.begin(), log.end(), "AwakeState: AS_NON_USER");
    ASSERT_NE(state, log.end());
    ASSERT_NE(state + 1, log.end());
    EXPECT_EQ(*(state + 1), "0 2 1 0 1 1 ");
}

TEST_F(RecordingMonitor, TheExecutionStateIsAskedOfTheOSConfigurationAndAFailureIsShownOncePerStreak)
{
    constexpr uint32_t ACCESS_DENIED = 0xC0000022;
    Start();
    // The power library of the OS configuration is the only one loaded.
    EXPECT_EQ(Sim.PowerPolicy().LoadedLibraries(), 1);
    SecondsTo(2 * MINUTE);
    auto logged = [](const std::vector<std::string>& log, const char* line) {
        return std::find(log.begin(), log.end(), line) != log.end();
    };
    Sim.PowerPolicy().SetRecord(POWER_INFO_EXECUTION_STATE, uint32_t{0x41});
    EXPECT_TRUE(logged(Second(), "ExecutionState: 65"));
    EXPECT_TRUE(Sim.Dialogs().Shown().empty());

    // A failing query reads 0 and is shown once, not at every evaluation.
    Sim.PowerPolicy().SetReadStatus(POWER_INFO_EXECUTION_STATE, ACCESS_DENIED);
    EXPECT_TRUE(logged(Second(), "ExecutionState: 0"));
    SecondsTo(Now() + 10 * SECOND);
    EXPECT_EQ(Sim.Dialogs().Shown().size(), 1u);
    // After a success the next failure is shown again.
    Sim.PowerPolicy().SetReadStatus(POWER_INFO_EXECUTION_STATE, 0);
    EXPECT_TRUE(logged(Second(), "ExecutionState: 65"));
    Sim.PowerPolicy().SetReadStatus(POWER_INFO_EXECUTION_STATE, ACCESS_DENIED);
    SecondsTo(Now() + 10 * SECOND);
    EXPECT_EQ(Sim.Dialogs().Shown().size(), 2u);
}

TEST_F(RecordingMonitor, ChangesAreLoggedOnceWithTheNamesOfWhatIsActive)
{
    const std::string longName = std::string(94, 'x') + ".exe";  // 98 characters
    Sim.Registry().SetString(eHive::LocalMachine, APPLICATIONS_KEY, "1", "Recorder.exe");
    Sim.Registry().SetString(eHive::LocalMachine, APPLICATIONS_KEY, "2", longName);
    Sim.Registry().SetString(eHive::LocalMachine, NETSESSIONS_KEY, "1", "alice");
    Start();
    SecondsTo(2 * MINUTE);
    int netSession = 0;
    uint32_t recorder = 0;
    struct cStep {
        const char* Name;
        std::function<void()> Action;
        std::vector<std::string> Expected;  // the lines of the next evaluation, without the mask
        bool Away;                          // the monitor asks for away mode
    };
    const cStep steps[] = {
        {"update", [&] { Sim.ProcessList().StartProcess("mcupdate.exe"); },
         {"Media center update started", "Number of \"Non Idle Applications\" running: 1/1/1", "  mcupdate.exe"},
         false},
        {"update done", [&] { Sim.ProcessList().EndProcesses("mcupdate.exe"); },
         {"Media center update done", "Number of \"Non Idle Applications\" running: 0/0/0"}, false},
        {"programs",
         [&] {
             recorder = Sim.ProcessList().StartProcess("RECORDER.exe");
             Sim.ProcessList().StartProcess(longName);
             Sim.ProcessList().StartProcess(longName);
         },
         // At most 199 characters of names.
         {"Number of \"Non Idle Applications\" running: 3/3/3",
          "  " + ("RECORDER.exe, " + longName + ", " + longName).substr(0, 199)},
         false},
        {"a program ends", [&] { Sim.ProcessList().EndProcess(recorder); },
         {"Number of \"Non Idle Applications\" running: 2/2/2", "  " + longName + ", " + longName}, false},
        {"nothing new", [] {}, {}, false},
        {"network user", [&] { netSession = Sim.Sessions().AddNetSession("\\\\LAPTOP", "Alice"); },
         {"Number of \"Non Idle Networksessions\" active: 1", "  Alice"}, true},
        {"network user idle", [&] { Sim.Sessions().SetNetSessionIdle(netSession, 11); },
         {"Number of \"Non Idle Networksessions\" active: 0"}, false},
        {"extender", [&] { ConnectSession(*this, 6, "Mcx1-HTPC"); }, {"Number of extenders in use: 1"}, true},
        {"Remote Desktop", [&] { ConnectSession(*this, 7, "Bob"); }, {"Number of RDP sessions in use: 1"}, true},
        {"both gone",
         [&] {
             DisconnectSession(*this, 6);
             DisconnectSession(*this, 7);
         },
         {"Number of extenders in use: 0", "Number of RDP sessions in use: 0"}, false},
        {"recording", [&] { WriteRecords({Record(MCSA_STATE_RECORDING), Record(MCSA_STATE_RECORDING)}); },
         {"Number of active recordings: 2"}, false},
        {"execution state",
         [&] { Sim.PowerPolicy().SetRecord(POWER_INFO_EXECUTION_STATE, uint32_t{0x80000041}); },
         {"ExecutionState: -2147483583"}, false},
    };
    for (const cStep& step : steps) {
        SCOPED_TRACE(step.Name);
        RunTo(Now() + SECOND);
        step.Action();
        Monitor->EvaluateAwakeState();
        std::vector<std::string> log = TakeLog();
        std::erase_if(log, [](const std::string& line) { return line.rfind("StayAwakeConditions: ", 0) == 0; });
        EXPECT_EQ(log, step.Expected);
        ASSERT_FALSE(Sim.PowerRequests().ExecutionStates().empty());
        EXPECT_EQ((Sim.PowerRequests().ExecutionStates().back() & 0x40) != 0, step.Away);
    }
}

TEST_F(RecordingMonitor, TheFirstInputAfterAWakeIsLoggedOnce)
{
    SleepAndWakeAutomatically();
    SecondsTo(WakeMoment + 2 * MINUTE);
    RunTo(Now() + SECOND);
    Sim.Power().UserInput();
    const int32_t tick = static_cast<int32_t>(Sim.Clock().GetTickCount());
    Monitor->EvaluateAwakeState();
    const std::vector<std::string> log = TakeLog();
    EXPECT_EQ(std::count(log.begin(), log.end(), "User input detected (" + std::to_string(tick) + ")"), 1);
    RunTo(Now() + SECOND);
    Sim.Power().UserInput();
    const std::vector<std::string> later = EvaluateAt(Now());
    EXPECT_EQ(std::count_if(later.begin(), later.end(),
                            [](const std::string& line) { return line.rfind("User input detected", 0) == 0; }),
              0);
}

}  // namespace
