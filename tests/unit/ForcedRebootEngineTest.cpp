// The forced reboot inside the engines and the main window: where the
// schedule takes the place of a sleep, the Vista engine's availability rule
// and the start-up check after MSG_INIT_DONE.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "EngineTestBench.h"
#include "detection/MediaCenterExtender.h"
#include "detection/RecordingMonitor.h"
#include "foundation/Calendar.h"
#include "shell/MainWindow.h"

namespace {

constexpr uint64_t HOUR = 3600000;

class ForcedRebootEngine : public ::testing::Test, protected cEngineTestBench {
protected:
    void SetUp() override
    {
        LogToFile();
        Sim.Clock().Advance(HOUR);
    }

    size_t Reboots() { return Sim.Security().ExitWindowsCalls().size(); }
    size_t SleepCalls()
    {
        return Sim.PowerPolicy().SuspendCalls().size() + Sim.Security().SystemPowerStateCalls().size();
    }
    bool Has(const std::vector<std::string>& log, const std::string& line)
    {
        return std::find(log.begin(), log.end(), line) != log.end();
    }
};

// On the XP family a query while automatic wakes cannot be told apart
// consults the schedule: the reboot denies it, and a sleep call that
// returns anyway says why.
TEST_F(ForcedRebootEngine, OnXpADueRebootDeniesTheQuery)
{
    cMcePowerManager& engine = Start(eOs::XP);
    TakeLog();
    EXPECT_EQ(engine.OnQuerySuspend(0), BROADCAST_QUERY_DENY);
    EXPECT_EQ(Reboots(), 1u);
    const std::vector<std::string> log = TakeLog();
    EXPECT_TRUE(Has(log, "A (scheduled) reboot will be forced now"));

    // The same day: no second reboot, the query is granted.
    EXPECT_EQ(engine.OnQuerySuspend(0), 1u);
    EXPECT_EQ(Reboots(), 1u);
    engine.SuspendSystem(true, false);
    EXPECT_TRUE(Has(TakeLog(), "Entering Standby cancelled because of forced reboot"));
}

TEST_F(ForcedRebootEngine, OnXpAUserQueryOfAMachineThatReportsAutomaticWakesIsNotConsulted)
{
    SetHkcu("AutoTasksEnabled", 1);
    cMcePowerManager& engine = Start(eOs::XP);
    Sim.Power().SetResumeAutomatic(false);
    Sim.Power().SetLastInputTick(Sim.Clock().GetTickCount());  // the user is there
    EXPECT_EQ(engine.OnQuerySuspend(0), 1u);
    EXPECT_EQ(Reboots(), 0u);
}

// On Vista and later the unattended end of a wake reboots instead of
// sleeping: the initiator's thread is never woken.
TEST_F(ForcedRebootEngine, OnWindows7TheRebootTakesThePlaceOfTheSleep)
{
    cMcePowerManager& engine = Start(eOs::Windows7);
    engine.RequestSuspend(true);
    Sim.Windowing().RunUntil(Sim.Clock().Now() + 1000);
    EXPECT_EQ(Reboots(), 1u);
    EXPECT_EQ(SleepCalls(), 0u);

    // Later the same day the schedule lets the sleep through.
    engine.RequestSuspend(true);
    Sim.Windowing().RunUntil(Sim.Clock().Now() + 1000);
    EXPECT_EQ(Reboots(), 1u);
    EXPECT_EQ(SleepCalls(), 1u);
}

// Without the detection of the end of automatic wakes the Vista engine
// disables forced reboots; the XP engine does not know that rule.
TEST_F(ForcedRebootEngine, OnVistaForcedRebootsNeedTheRecordingMonitor)
{
    SetHklm("RebootMode", RM_ONCE_A_WEEK);
    for (eOs os : {eOs::Windows7, eOs::XP}) {
        SCOPED_TRACE(os == eOs::XP ? "XP engine" : "Vista engine");
        cMcePowerManager& engine = Start(os);
        cMediaCenterExtender sessions(Sim.Get());
        cRecordingMonitor monitor(Sim.Get(), engine, *Version, *Logger, sessions);

        SetHklm("RecordingMonitorEnabled", 0);
        const bool vista = os != eOs::XP;
        EXPECT_EQ(engine.GetRebootMode(), vista ? RM_NEVER_REBOOT : RM_ONCE_A_WEEK);
        EXPECT_EQ(engine.IsRebootModeAvailable(), !vista);
        EXPECT_EQ(engine.CheckForcedReboot(), !vista);

        SetHklm("RecordingMonitorEnabled", 1);
        EXPECT_EQ(engine.GetRebootMode(), RM_ONCE_A_WEEK);
        EXPECT_TRUE(engine.IsRebootModeAvailable());
        Sim.Registry().DeleteValue(eHive::CurrentUser, SETTINGS_KEY, "RebootWeek");
        Engine.reset();
    }
}

// The start-up check runs once the main window has posted MSG_INIT_DONE,
// in the engine role only, and never for an installer.
TEST_F(ForcedRebootEngine, TheMainWindowRunsTheStartupCheckInTheEngineRoleOnly)
{
    struct cCase {
        std::vector<std::string> Switches;
        bool Checked;
    };
    const cCase cases[] = {
        {{"ENGINE"}, true},
        {{"TRAY"}, true},
        {{"ENGINE", "INSTALLING"}, false},
        {{}, false},  // the configurator
    };
    for (const cCase& c : cases) {
        SCOPED_TRACE(testing::PrintToString(c.Switches));
        cSimWindows sim;
        sim.Registry().SetDword(eHive::LocalMachine, SETTINGS_KEY, "LogMode", 1);
        sim.Registry().SetString(eHive::LocalMachine, SETTINGS_KEY, "LogPath", "C:\\Logs");
        sim.Registry().SetDword(eHive::LocalMachine, SETTINGS_KEY, "RebootMode", 0);
        sim.Registry().SetDword(eHive::LocalMachine, SETTINGS_KEY, "AutoRebootDelay", 1000);
        cLocalTime started = sim.Clock().GetLocalTime();
        started = SecondsToLocalTime(LocalTimeToSeconds(started) - 180);
        sim.Registry().SetDword(eHive::CurrentUser, SETTINGS_KEY, "RebootInitiated", ToDosDateTime(started));

        std::vector<std::string> arguments = c.Switches;
        arguments.insert(arguments.begin(), "C:\\Slumberhold.exe");
        sim.Processes().SetArguments(arguments);
        auto main = std::make_unique<TfMain>(sim.Get());
        sim.Windowing().ProcessMessages();
        sim.Windowing().RunUntil(sim.Clock().Now() + 2000);

        std::string log;
        sim.Files().ReadWholeFile("C:\\Logs\\SLH Log.txt", log);
        EXPECT_EQ(log.find("Back from forced reboot, going standby") != std::string::npos, c.Checked);
        EXPECT_EQ(log.find("cSuspendInitiator - SuspendSystem()") != std::string::npos, c.Checked);
        uint32_t initiated = 0;
        EXPECT_EQ(sim.Registry().GetDword(eHive::CurrentUser, SETTINGS_KEY, "RebootInitiated", initiated), !c.Checked);
        main.reset();
    }
}

}  // namespace

namespace {

// The engine with the harmless stand-in front-end (Notepad) as Media Center.
class ForcedRebootFrontEnd : public ForcedRebootEngine {
protected:
    void SetUp() override
    {
        ForcedRebootEngine::SetUp();
        SetHklm("eHome_FakeTarget", 1);
        Sim.Processes().AddProgram(Notepad());
    }

    static cSimProgram Notepad()
    {
        cSimProgram notepad;
        notepad.Match = "notepad.exe";
        notepad.RunTime = cSimProgram::RUNS_FOREVER;
        notepad.WindowClass = "Notepad";
        notepad.CloseDelay = 50;
        return notepad;
    }

    size_t NotepadStarts()
    {
        const auto& launches = Sim.Processes().Launches();
        return static_cast<size_t>(std::count_if(launches.begin(), launches.end(), [](const cSimLaunch& launch) {
            return launch.CommandLine.find("notepad.exe") != std::string::npos;
        }));
    }
};

TEST_F(ForcedRebootFrontEnd, AnOrdinaryLogonStartsTheFrontEndOnlyWhenItStartsAtBoot)
{
    for (bool atBoot : {false, true}) {
        SCOPED_TRACE(atBoot);
        SetHkcu("eHome_StartAtBoot", atBoot ? 1 : 0);
        const size_t before = NotepadStarts();
        Start(eOs::Windows7).EngineStartup();
        EXPECT_EQ(NotepadStarts(), before + (atBoot ? 1 : 0));
    }
}

// The front-end that ran when the reboot was forced runs again after it,
// and the standby that follows keeps the state the reboot saved.
TEST_F(ForcedRebootFrontEnd, TheFrontEndRunningAtTheRebootIsBackAfterIt)
{
    cMcePowerManager& before = Start(eOs::Windows7);
    const uint32_t notepad = Sim.Processes().RunProgram(Notepad());
    ASSERT_TRUE(before.CheckForcedReboot());

    // Windows restarts; a minute later the engine starts at logon.
    Sim.Processes().EndNow(notepad);
    Sim.Clock().Advance(60000);
    SetHklm("AutoRebootDelay", 1000);
    cMcePowerManager& after = Start(eOs::Windows7);
    TakeLog();
    after.EngineStartup();
    EXPECT_EQ(NotepadStarts(), 1u);
    const std::vector<std::string> log = TakeLog();
    EXPECT_TRUE(Has(log, "StatusRestore()"));
    EXPECT_TRUE(Has(log, "Back from forced reboot, going standby"));
    Sim.Windowing().RunUntil(Sim.Clock().Now() + 1000);
    EXPECT_EQ(SleepCalls(), 1u);
    EXPECT_EQ(Reboots(), 1u);
}

// A resume that finds the front-end that should have been closed warns
// once; one whose start mode leaves it alone does not.
TEST_F(ForcedRebootFrontEnd, AFrontEndStillRunningAtResumeIsReported)
{
    const std::string warning = "eHome is still running while it should be closed.";
    for (uint32_t mode : {0u, 4u}) {
        SCOPED_TRACE(mode);
        SetHklm("eHome_StopStartMode", mode);
        cMcePowerManager& engine = Start(eOs::Windows7);
        const uint32_t notepad = Sim.Processes().RunProgram(Notepad());
        TakeLog();
        engine.OnResumeAutomatic();
        const std::vector<std::string> log = TakeLog();
        EXPECT_EQ(std::count(log.begin(), log.end(), warning), mode == 0 ? 1 : 0);
        Sim.Processes().EndNow(notepad);
    }
}

}  // namespace
