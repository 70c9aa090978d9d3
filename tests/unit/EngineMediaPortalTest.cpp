// The engine and the MediaPortal target together on the simulator: the
// stand-in WordPad is closed at a user suspend and started again when the
// user comes back, always after Media Center.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "EngineTestBench.h"
#include "targets/TargetMediaPortal.h"

namespace {

constexpr const char* WORDPAD = "C:\\Program Files\\Windows NT\\Accessories\\wordpad.exe";
constexpr const char* WORDPAD_CLASS = "WordPadClass";
constexpr const char* MEDIA_PORTAL_CLASS = "WindowsForms10.Window.8.app.0.3ce0bb8";

class EngineMediaPortal : public ::testing::Test, protected cEngineTestBench {
protected:
    void SetUp() override
    {
        LogToFile();
        NoForcedReboots();
        SetHklm("SleepState", 4);
        SetHklm("MediaPortal_FakeTarget", 1);
        SetHklm("MediaPortal_StartTimeout", 500);
        Sim.Clock().Advance(600000);
        cSimProgram wordpad = Window(WORDPAD_CLASS, 50);
        wordpad.Match = "wordpad.exe";
        Sim.Processes().AddProgram(wordpad);
        cSimProgram notepad = Window("Notepad", 50);
        notepad.Match = "notepad.exe";
        Sim.Processes().AddProgram(notepad);
    }

    static cSimProgram Window(const std::string& windowClass, int64_t closeDelay)
    {
        cSimProgram program;
        program.RunTime = cSimProgram::RUNS_FOREVER;
        program.WindowClass = windowClass;
        program.WindowTitle = "Document - WordPad";
        program.CloseDelay = closeDelay;
        return program;
    }

    // The user opens a program with a window of the class; its process id.
    uint32_t Open(const std::string& windowClass, int64_t closeDelay = 50)
    {
        return Sim.Processes().RunProgram(Window(windowClass, closeDelay));
    }

    // The user puts the machine to sleep and wakes it again.
    void UserSuspendAndResume()
    {
        Sim.Power().SetResumeAutomatic(false);
        Engine->OnQuerySuspend(1);
        Engine->OnSuspend();
        AfterSuspend = TakeLog();
        Sim.Clock().Advance(3600000);
        Engine->OnResumeAutomatic();
        Sim.Power().UserInput();
        Engine->OnResumeSuspend();
        AfterResume = TakeLog();
    }

    size_t Starts(const std::string& program)
    {
        const auto& launches = Sim.Processes().Launches();
        return static_cast<size_t>(std::count_if(launches.begin(), launches.end(), [&](const cSimLaunch& launch) {
            return launch.CommandLine.find(program) != std::string::npos;
        }));
    }

    // Where the first line beginning with prefix is; -1 when none.
    static long At(const std::vector<std::string>& log, const std::string& prefix)
    {
        const auto found = std::find_if(log.begin(), log.end(),
                                        [&](const std::string& line) { return line.rfind(prefix, 0) == 0; });
        return found == log.end() ? -1 : static_cast<long>(found - log.begin());
    }

    std::vector<std::string> AfterSuspend;
    std::vector<std::string> AfterResume;
};

TEST_F(EngineMediaPortal, TheStandInIsClosedAtTheSuspendAndStartedAgainAfterMediaCenter)
{
    SetHklm("eHome_FakeTarget", 1);
    Start(eOs::Windows7);
    const uint32_t notepad = Open("Notepad");
    const uint32_t wordpad = Open(WORDPAD_CLASS);
    TakeLog();

    UserSuspendAndResume();

    EXPECT_GE(At(AfterSuspend, "MediaPortal is running, closing by sending terminate signal (Handle="), 0)
        << ::testing::PrintToString(AfterSuspend);
    EXPECT_FALSE(Sim.Processes().IsRunning(notepad));
    EXPECT_FALSE(Sim.Processes().IsRunning(wordpad));

    // Media Center first, then MediaPortal, whose window never shows the
    // title it waits for.
    const long ehome = At(AfterResume, "eHome succesfully started.");
    const long started = At(AfterResume, "MediaPortal succesfully started");
    const long timedOut = At(AfterResume, "MediaPortal window search timed out");
    EXPECT_GE(ehome, 0) << ::testing::PrintToString(AfterResume);
    EXPECT_GT(started, ehome);
    EXPECT_GT(timedOut, started);
    EXPECT_EQ(At(AfterResume, "RestoreTargets() == false"), -1);
    EXPECT_EQ(Starts(WORDPAD), 1u);
    EXPECT_TRUE(Engine->GetMediaPortal().IsRunning());
}

// Another program's window of MediaPortal's class is left alone while
// MediaPortal is not installed, and so is MediaPortal in start mode 4.
TEST_F(EngineMediaPortal, NeitherStoppedNorStartedWhenNotInstalledOrInModeFour)
{
    for (const bool installed : {false, true}) {
        SCOPED_TRACE(installed);
        Sim.Registry().SetDword(eHive::LocalMachine, SETTINGS_KEY, "MediaPortal_FakeTarget", 0);
        if (installed) {
            Sim.Registry().CreateKey(eHive::LocalMachine, "SOFTWARE\\Team MediaPortal\\MediaPortal");
            SetHklm("MediaPortal_StopStartMode", SM_DO_NOTHING);
        }
        Start(eOs::Windows7);
        ASSERT_EQ(Engine->GetMediaPortal().IsInstalled(), installed);
        const uint32_t other = Open(MEDIA_PORTAL_CLASS);
        TakeLog();

        UserSuspendAndResume();

        EXPECT_TRUE(Sim.Processes().IsRunning(other));
        for (const auto* log : {&AfterSuspend, &AfterResume})
            for (const std::string& line : *log)
                EXPECT_EQ(line.find("MediaPortal"), std::string::npos) << line;
        Sim.Processes().EndNow(other);
    }
}

// A MediaPortal that was not closed (close method "none") is reported at
// the resume and not started a second time.
TEST_F(EngineMediaPortal, AMediaPortalStillRunningAtTheResumeIsReportedAndNotStartedTwice)
{
    SetHklm("MediaPortal_CloseMethod", CM_NONE);
    Start(eOs::Windows7);
    Open(WORDPAD_CLASS);
    TakeLog();

    UserSuspendAndResume();

    EXPECT_GE(At(AfterResume, "MediaPortal is still running while it should be closed."), 0)
        << ::testing::PrintToString(AfterResume);
    EXPECT_GE(At(AfterResume, "MediaPortal not fully closed, increase Standby Delay."), 0);
    EXPECT_GE(At(AfterResume, "RestoreTargets() == false"), 0);
    EXPECT_EQ(Starts(WORDPAD), 0u);
}

TEST_F(EngineMediaPortal, AtLogonMediaPortalStartsAfterMediaCenter)
{
    SetHklm("eHome_FakeTarget", 1);
    SetHkcu("eHome_StartAtBoot", 1);
    SetHkcu("MediaPortal_StartAtBoot", 1);
    Start(eOs::Windows7);
    TakeLog();

    Engine->EngineStartup();

    const std::vector<std::string> log = TakeLog();
    EXPECT_GE(At(log, "eHome succesfully started."), 0) << ::testing::PrintToString(log);
    EXPECT_GT(At(log, "MediaPortal succesfully started"), At(log, "eHome succesfully started."));
    EXPECT_EQ(Starts(WORDPAD), 1u);
}

// Across a forced reboot MediaPortal comes back as it was.
TEST_F(EngineMediaPortal, TheRunningStateSurvivesAForcedReboot)
{
    Start(eOs::Windows7);
    Open(WORDPAD_CLASS);
    Engine->StatusSave();
    EXPECT_EQ(Hkcu("MediaPortal_WasRunning"), 1u);

    Sim.Processes().EndNow(Sim.Processes().LastProcessId());
    Engine->StatusRestore();
    EXPECT_EQ(Starts(WORDPAD), 1u);
    EXPECT_EQ(Hkcu("MediaPortal_WasRunning"), 0xDEADu);
}

}  // namespace
