// The event actions on the simulator: the programs of the twelve power
// events, the service restarts, blanking and the titles file.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "EngineTestBench.h"
#include "engine/EngineSettings.h"
#include "engine/EventActions.h"
#include "FlagOnlyBlanker.h"

namespace {

constexpr const char* CMD = "C:\\Windows\\system32\\cmd.exe";
constexpr const char* TITLES_FILE = "C:\\Logs\\Titles.txt";

class EventActions : public ::testing::Test, protected cEngineTestBench {
protected:
    void SetUp() override
    {
        LogToFile();
        StartPlatform();
        Settings = std::make_unique<cEngineSettings>(Sim.Registry());
        Actions = std::make_unique<cEventActions>(Sim.Get(), *Settings, Blanker, *Logger);
        TakeLog();
    }

    void SetCommand(const std::string& setting, const std::string& command)
    {
        Sim.Registry().SetString(eHive::LocalMachine, SETTINGS_KEY, setting, command);
    }

    const std::vector<cSimLaunch>& Launches() { return Sim.Processes().Launches(); }

    std::unique_ptr<cEngineSettings> Settings;
    cFlagOnlyBlanker Blanker;
    std::unique_ptr<cEventActions> Actions;
};

// Each event reads its own command and flags; the defaults of the flags
// decide whether the engine waits for the program (0x04).
TEST_F(EventActions, EachEventRunsItsOwnProgramWithItsFlags)
{
    struct cCase {
        eEventProgram Event;
        const char* Setting;
        const char* Flags;  // as logged with the default flags
    };
    const cCase cases[] = {
        {eEventProgram::UserSuspendEarly, "RunOnUserSuspendEarly", "03"},
        {eEventProgram::AutoSuspendEarly, "RunOnAutoSuspendEarly", "03"},
        {eEventProgram::UserSuspend, "RunOnUserSuspend", "07"},
        {eEventProgram::AutoSuspend, "RunOnAutoSuspend", "07"},
        {eEventProgram::UserResume, "RunOnUserResume", "07"},
        {eEventProgram::AutoResume, "RunOnAutoResume", "07"},
        {eEventProgram::UserInterfaceResume, "RunOnUserInterfaceResume", "07"},
        {eEventProgram::Away, "RunOnAway", "07"},
        {eEventProgram::AwayResume, "RunOnAwayResume", "07"},
        {eEventProgram::Reboot, "RunOnReboot", "07"},
        {eEventProgram::DisplayOn, "RunOnDisplayOn", "03"},
        {eEventProgram::DisplayOff, "RunOnDisplayOff", "03"},
    };
    for (const cCase& c : cases)
        SetCommand(c.Setting, std::string("C:\\Tools\\") + c.Setting + ".cmd");
    Sim.Processes().AddProgram({"RunOnAutoResume.cmd", 42, 2000, "", 0});

    for (const cCase& c : cases) {
        SCOPED_TRACE(c.Setting);
        const size_t before = Launches().size();
        EXPECT_TRUE(Actions->Run(c.Event));
        ASSERT_EQ(Launches().size(), before + 1);
        const cSimLaunch& launch = Launches().back();
        EXPECT_EQ(launch.Application, CMD);
        EXPECT_NE(launch.CommandLine.find(std::string("\"C:\\Tools\\") + c.Setting + ".cmd\""), std::string::npos);
        EXPECT_EQ(launch.Show, SHOW_HIDE);

        std::vector<std::string> expected = {std::string("Executing: C:\\Tools\\") + c.Setting + ".cmd Flags: " +
                                             c.Flags + "h"};
        if (std::string(c.Flags) == "07")
            expected.push_back(c.Event == eEventProgram::AutoResume ? "ExitCode = 42" : "ExitCode = 0");
        EXPECT_EQ(TakeLog(), expected);
    }
}

TEST_F(EventActions, AnEmptyCommandRunsAndWritesNothing)
{
    SetCommand("RunOnUserSuspend", "");
    EXPECT_FALSE(Actions->Run(eEventProgram::UserSuspend));
    EXPECT_TRUE(Launches().empty());
    EXPECT_TRUE(TakeLog().empty());
}

// The flags are read at the event: a change by the configurator counts at
// the next one.
TEST_F(EventActions, FlagsAreWrittenInHexadecimalAndReadAtEachEvent)
{
    SetCommand("RunOnAway", "C:\\Tools\\away.exe");
    SetHklm("RunOnAwayFlags", 0x103);
    Actions->Run(eEventProgram::Away);
    SetHklm("RunOnAwayFlags", 0x0);
    Actions->Run(eEventProgram::Away);
    EXPECT_EQ(TakeLog(), (std::vector<std::string>{"Executing: C:\\Tools\\away.exe Flags: 103h",
                                                   "Executing: C:\\Tools\\away.exe Flags: 00h"}));
    ASSERT_EQ(Launches().size(), 2u);
    // Without the shell flag the command is the application itself.
    EXPECT_EQ(Launches()[1].Application, "C:\\Tools\\away.exe");
}

TEST_F(EventActions, TheWaitForAProgramEndsAfter30Seconds)
{
    Sim.Processes().AddProgram({"slow.exe", 0, cSimProgram::RUNS_FOREVER, "", 0});
    const uint64_t start = Sim.Clock().Now();
    EXPECT_TRUE(Actions->RunEventProgram("slow.exe", 7));
    EXPECT_EQ(TakeLog(), (std::vector<std::string>{"Executing: slow.exe Flags: 07h", "ExitCode = 259"}));
    EXPECT_GE(Sim.Clock().Now() - start, 30000u);
    EXPECT_LT(Sim.Clock().Now() - start, 30100u);
}

TEST_F(EventActions, AProgramThatCannotStartIsLoggedWithTheError)
{
    Sim.Processes().AddProgram({"missing.exe", 0, 0, "", 2});
    EXPECT_FALSE(Actions->RunEventProgram("missing.exe", 4));
    const std::vector<std::string> log = TakeLog();
    ASSERT_GE(log.size(), 3u);
    EXPECT_EQ(log[0], "Executing: missing.exe Flags: 04h");
    EXPECT_EQ(log[1], "Execution failed");
    EXPECT_EQ(log[2].rfind("  LastError=0002h: ", 0), 0u) << log[2];
}

// net.exe through a hidden shell, stop then start, 5 s for each even when
// it hangs; nothing of its outcome is read.
TEST_F(EventActions, ServicesAreStoppedAndStartedByNameThroughNet)
{
    Sim.Processes().AddProgram({"net.exe", 2, cSimProgram::RUNS_FOREVER, "", 0});
    struct cCase {
        void (cEventActions::*Restart)();
        const char* Line;
        const char* Service;
    };
    const cCase cases[] = {
        {&cEventActions::RestartReceiverService, "Restarting Media Center Receiver Service (EhRecvr.exe)",
         "\"Media Center Receiver Service\""},
        {&cEventActions::RestartSchedulerService, "Restarting Media Center Scheduler-service (EhSched.exe)",
         "\"Media Center Scheduler-service\""},
    };
    for (const cCase& c : cases) {
        SCOPED_TRACE(c.Line);
        const size_t before = Launches().size();
        const uint64_t start = Sim.Clock().Now();
        (Actions.get()->*c.Restart)();
        EXPECT_EQ(TakeLog(), std::vector<std::string>{c.Line});
        ASSERT_EQ(Launches().size(), before + 2);
        for (size_t i = 0; i < 2; ++i) {
            const cSimLaunch& launch = Launches()[before + i];
            EXPECT_EQ(launch.Application, CMD);
            EXPECT_EQ(launch.Show, SHOW_HIDE);
            const std::string parameters = std::string(i == 0 ? "stop " : "start ") + c.Service;
            EXPECT_NE(launch.CommandLine.find("\"net.exe\" " + parameters + " & exit /b !errorlevel!"),
                      std::string::npos)
                << launch.CommandLine;
        }
        EXPECT_GE(Sim.Clock().Now() - start, 10000u);
        EXPECT_LT(Sim.Clock().Now() - start, 10100u);
    }
}

TEST_F(EventActions, BlankingFollowsBlankScreen)
{
    SetHklm("BlankScreen", 0);
    Actions->Blank();
    EXPECT_FALSE(Blanker.IsBlanking());
    Actions->UnBlank(true);
    EXPECT_TRUE(TakeLog().empty());

    SetHklm("BlankScreen", 5);
    Actions->Blank();
    EXPECT_TRUE(Actions->IsBlanking());
    Actions->Blank();
    Actions->UnBlank(false);
    EXPECT_FALSE(Blanker.IsBlanking());
    Actions->UnBlank(true);
    EXPECT_EQ(TakeLog(), (std::vector<std::string>{"Blank", "Blank (was already blanking)", "UnBlank(false)",
                                                   "UnBlank(true)"}));
}

TEST_F(EventActions, TheTitlesFileListsTitledWindowsInTheirOrder)
{
    Sim.Files().CreateDirectory("C:\\Logs");
    Sim.Files().AppendToFile(TITLES_FILE, "left from the last suspend\r\n");
    Actions->BeginWindowTitles();
    Actions->SaveWindowTitle({0x100, "Notepad", "Untitled - Notepad", 0x1a2b});
    Actions->SaveWindowTitle({0x200, "Shell_TrayWnd", "", 0x10});
    Actions->SaveWindowTitle({0x300, "A.Class.Name.Longer.Than.25", "x", 0xfedcba98});
    std::string text;
    ASSERT_TRUE(Sim.Files().ReadWholeFile(TITLES_FILE, text));
    EXPECT_EQ(text,
              "Notepad                  , 00001a2b, >Untitled - Notepad<\r\n"
              "A.Class.Name.Longer.Than.25, fedcba98, >x<\r\n");
}

TEST_F(EventActions, AFrontEndStillRunningAtResumeIsLogged)
{
    Actions->WarnFrontEndStillRunning(eFrontEnd::MediaCenter);
    Actions->WarnFrontEndStillRunning(eFrontEnd::MediaPortal);
    EXPECT_EQ(TakeLog(), (std::vector<std::string>{"eHome is still running while it should be closed.",
                                                   "MediaPortal is still running while it should be closed."}));
}

}  // namespace
