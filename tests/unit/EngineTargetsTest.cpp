// The engine and the Media Center target together on the simulator: the
// stand-in front-end is closed at a user suspend by each close method and
// started again when the user comes back, as its start mode says.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "EngineTestBench.h"
#include "targets/MediaCenterContract.h"
#include "targets/TargetEhome.h"

namespace {

class EngineTargets : public ::testing::Test, protected cEngineTestBench {
protected:
    void SetUp() override
    {
        LogToFile();
        SetHklm("eHome_FakeTarget", 1);
        SetHklm("SleepState", 4);
        Sim.Clock().Advance(600000);
        cSimProgram notepad;
        notepad.Match = "notepad.exe";
        notepad.RunTime = cSimProgram::RUNS_FOREVER;
        notepad.WindowClass = "Notepad";
        notepad.CloseDelay = 50;
        Sim.Processes().AddProgram(notepad);
    }

    // The user opens the stand-in; its process id.
    uint32_t OpenNotepad()
    {
        cSimProgram notepad;
        notepad.RunTime = cSimProgram::RUNS_FOREVER;
        notepad.WindowClass = "Notepad";
        notepad.CloseDelay = 50;
        return Sim.Processes().RunProgram(notepad);
    }

    // The user puts the machine to sleep and wakes it again.
    void UserSuspendAndResume()
    {
        Sim.Power().SetResumeAutomatic(false);
        Engine->OnQuerySuspend(1);
        Engine->OnSuspend();
        AfterSuspend = TakeLog();
        StillRunningAtSleep = Engine->GetEhome().IsRunning();
        Sim.Clock().Advance(3600000);
        Engine->OnResumeAutomatic();
        Sim.Power().UserInput();
        Engine->OnResumeSuspend();
        AfterResume = TakeLog();
    }

    size_t NotepadStarts()
    {
        const auto& launches = Sim.Processes().Launches();
        return static_cast<size_t>(std::count_if(launches.begin(), launches.end(), [](const cSimLaunch& launch) {
            return launch.CommandLine == "C:\\Windows\\notepad.exe" && launch.Show == 3;
        }));
    }

    static bool Has(const std::vector<std::string>& log, const std::string& prefix)
    {
        return std::any_of(log.begin(), log.end(), [&](const std::string& line) { return line.rfind(prefix, 0) == 0; });
    }

    std::vector<std::string> AfterSuspend;
    std::vector<std::string> AfterResume;
    bool StillRunningAtSleep = true;
};

TEST_F(EngineTargets, EachCloseMethodClosesTheStandInAndTheUserGetsItBackMaximised)
{
    struct cCase {
        int32_t Method;
        const char* Line;
    };
    const cCase cases[] = {
        {CM_TERMINATE_SIGNAL, "eHome is running, closing by sending terminate signal (Handle="},
        {CM_USER_SIMULATION, "eHome is running, closing by user simulation (Handle="},
        {CM_WM_CLOSE, "eHome is running, sending WM_CLOSE (Handle="},
    };
    for (const cCase& c : cases) {
        SCOPED_TRACE(c.Method);
        SetHklm("eHome_CloseMethod", static_cast<uint32_t>(c.Method));
        Start(eOs::Windows7);
        const uint32_t notepad = OpenNotepad();
        const size_t startsBefore = NotepadStarts();
        TakeLog();

        UserSuspendAndResume();

        EXPECT_TRUE(Has(AfterSuspend, c.Line));
        EXPECT_FALSE(Sim.Processes().IsRunning(notepad));
        EXPECT_FALSE(StillRunningAtSleep);
        EXPECT_TRUE(Has(AfterResume, "eHome succesfully started."));
        EXPECT_TRUE(Has(AfterResume, "Ehome.IsRunning() == true"));
        EXPECT_EQ(NotepadStarts(), startsBefore + 1);
        EXPECT_EQ(Engine->GetAwakeState(), AS_MEDIACENTER);
        // Closed for the next case.
        Sim.Processes().EndProcess(Sim.Processes().LastProcessId(), Sim.Clock().Now());
    }
}

TEST_F(EngineTargets, StartModesThreeAndFourLeaveTheFrontEndRunning)
{
    for (int32_t mode : {SM_JUMP_TO_PAGE, SM_DO_NOTHING}) {
        SCOPED_TRACE(mode);
        SetHklm("eHome_StopStartMode", static_cast<uint32_t>(mode));
        Start(eOs::Windows7);
        const uint32_t notepad = OpenNotepad();
        TakeLog();

        UserSuspendAndResume();

        EXPECT_FALSE(Has(AfterSuspend, "eHome is running"));
        EXPECT_TRUE(StillRunningAtSleep);
        // Mode 3 sends the running front-end to its page; mode 4 leaves it alone.
        EXPECT_EQ(Has(AfterResume, "eHome ResumeStart()"), mode == SM_JUMP_TO_PAGE);
        EXPECT_TRUE(Sim.Processes().IsRunning(notepad));
        Sim.Processes().EndProcess(notepad, Sim.Clock().Now());
        Sim.Processes().EndProcess(Sim.Processes().LastProcessId(), Sim.Clock().Now());
    }
}

TEST_F(EngineTargets, AFrontEndThatWasNotRunningIsNotStartedInModeZero)
{
    Start(eOs::Windows7);
    TakeLog();
    UserSuspendAndResume();
    EXPECT_TRUE(Has(AfterResume, "RestoreTargets() == false"));
    EXPECT_EQ(NotepadStarts(), 0u);
    EXPECT_EQ(Engine->GetAwakeState(), AS_DESKTOP);
}

TEST_F(EngineTargets, AnAutomaticWakeLeavesTheFrontEndClosed)
{
    Start(eOs::Windows7);
    OpenNotepad();
    Sim.Power().SetResumeAutomatic(false);
    Engine->OnSuspend();
    Sim.Clock().Advance(3600000);
    Sim.Power().SetResumeAutomatic(true);
    TakeLog();
    Engine->OnResumeAutomatic();
    EXPECT_FALSE(Has(TakeLog(), "eHome ResumeStart()"));
    EXPECT_FALSE(Engine->GetEhome().IsRunning());
    EXPECT_EQ(Engine->GetAwakeState(), AS_NON_USER);
}

}  // namespace
