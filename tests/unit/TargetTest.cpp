// The front-end targets on the simulator: start modes, the close methods
// with their time limits, the running state around a forced reboot, and
// the Media Center target's navigation, deadlock rule, start pages and start
// at logon.
#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

#include "EngineTestBench.h"
#include "targets/MediaCenterContract.h"
#include "targets/TargetEhome.h"

namespace {

constexpr const char* TEST_WINDOW_CLASS = "TestFrontEnd";

// The base's behaviour with a close timeout and a termination rule of the
// test's choice.
class cTestTarget : public cTargetApplication {
public:
    cTestTarget(cPlatform& platform, cMessageLogger& logger, cWindowsVersion& version, uint32_t closeTimeout,
                bool terminateAllowed)
        : cTargetApplication(platform, logger, version, "Test")
    {
        CloseTimeout = closeTimeout;
        TerminateAllowed = terminateAllowed;
        Installed = true;
    }
    void SetInstalled(bool installed) { Installed = installed; }

    std::string GetWindowClass() override { return TEST_WINDOW_CLASS; }
    std::string GetExecutablePath() override { return "C:\\Test\\test.exe"; }
    bool ResumeStart() override
    {
        ++Starts;
        return StartSucceeds;
    }
    bool IsLogonStartRegistered() override { return false; }
    bool SetLogonStartRegistered(bool) override { return true; }
    void CloseByWmClose(WindowHandle, uint32_t) override { Logger.WriteLine("CloseByWmClose"); }

    int Starts = 0;
    bool StartSucceeds = true;
};

cSimProgram FrontEnd(const std::string& windowClass, int64_t closeDelay)
{
    cSimProgram program;
    program.RunTime = cSimProgram::RUNS_FOREVER;
    program.WindowClass = windowClass;
    program.CloseDelay = closeDelay;
    return program;
}

class Targets : public ::testing::Test, protected cEngineTestBench {
protected:
    void SetUp() override { LogToFile(); }

    void Boot(eOs os)
    {
        SetWindows(os);
        StartPlatform();
    }

    cTestTarget& MakeTestTarget(eOs os, uint32_t closeTimeout = 7000, bool terminateAllowed = true)
    {
        Boot(os);
        Test = std::make_unique<cTestTarget>(Sim.Get(), *Logger, *Version, closeTimeout, terminateAllowed);
        return *Test;
    }

    cTargetEhome& MakeEhome(eOs os)
    {
        Boot(os);
        Ehome = std::make_unique<cTargetEhome>(Sim.Get(), *Logger, *Version);
        return *Ehome;
    }

    // A front-end the user has open, behind another window that has the
    // foreground; returns its process id.
    uint32_t OpenFrontEnd(const std::string& windowClass, int64_t closeDelay)
    {
        const uint32_t processId = Sim.Processes().RunProgram(FrontEnd(windowClass, closeDelay));
        Sim.Processes().RunProgram(FrontEnd("OtherProgram", 0));
        return processId;
    }

    // Every other program ends now, for the next case.
    void EndAllPrograms()
    {
        std::vector<cWindowInfo> windows;
        Sim.Windowing().EnumerateWindows(windows);
        for (const cWindowInfo& window : windows)
            if (window.ProcessId != cSimWindowing::OWN_PROCESS_ID)
                Sim.Processes().EndProcess(window.ProcessId, Sim.Clock().Now());
    }

    WindowHandle WindowOf(const std::string& windowClass) { return Sim.Windowing().FindWindow(windowClass, ""); }

    // The lines in this order, others between them allowed.
    static void ExpectInOrder(const std::vector<std::string>& log, const std::vector<std::string>& wanted)
    {
        auto at = log.begin();
        for (const std::string& line : wanted) {
            at = std::find(at, log.end(), line);
            ASSERT_NE(at, log.end()) << "missing or out of order: " << line;
            ++at;
        }
    }
    static bool HasPrefix(const std::vector<std::string>& log, const std::string& prefix)
    {
        return std::any_of(log.begin(), log.end(), [&](const std::string& line) { return line.rfind(prefix, 0) == 0; });
    }
    static std::string Hex8(uint64_t value)
    {
        char text[24];
        std::snprintf(text, sizeof text, "%08llx", static_cast<unsigned long long>(value));
        return text;
    }

    std::unique_ptr<cTestTarget> Test;
    std::unique_ptr<cTargetEhome> Ehome;
};

// ---------------------------------------------------------------------------
// Start modes

TEST_F(Targets, StartModesDecideStopAndStart)
{
    struct cCase {
        int32_t Mode;
        bool WasRunning;
        bool Installed;
        bool Stop;
        bool StartAtResume;
        int StartResult;
    };
    const cCase cases[] = {
        {SM_RESTART_IF_RUNNING, false, true, true, false, TARGET_NOT_NEEDED},
        {SM_RESTART_IF_RUNNING, true, true, true, true, TARGET_STARTED},
        {SM_ALWAYS_START, false, true, true, true, TARGET_STARTED},
        {SM_NEVER_START, true, true, true, false, TARGET_NOT_NEEDED},
        {SM_JUMP_TO_PAGE, false, true, false, true, TARGET_STARTED},
        {SM_DO_NOTHING, true, true, false, false, TARGET_NOT_NEEDED},
        {7, true, true, false, false, TARGET_NOT_NEEDED},
        {SM_ALWAYS_START, true, false, false, false, TARGET_NOT_NEEDED},
    };
    for (const cCase& c : cases) {
        cTestTarget& target = MakeTestTarget(eOs::Windows7);
        target.SetInstalled(c.Installed);
        target.StopStartMode = c.Mode;
        target.SetWasRunningAtSuspend(c.WasRunning);
        SCOPED_TRACE("mode " + std::to_string(c.Mode) + (c.WasRunning ? " running" : "") +
                     (c.Installed ? "" : " not installed"));
        EXPECT_EQ(target.MustStopAtSuspend(), c.Stop);
        EXPECT_EQ(target.MustStartAtResume(), c.StartAtResume);
        EXPECT_EQ(target.StartIfNeeded(), c.StartResult);
        EXPECT_EQ(target.Starts, c.StartResult == TARGET_STARTED ? 1 : 0);
    }
}

TEST_F(Targets, AFailedStartIsReportedAndADisabledStartModeDoesNothing)
{
    cTestTarget& target = MakeTestTarget(eOs::Windows7);
    target.StopStartMode = SM_ALWAYS_START;
    target.StartSucceeds = false;
    EXPECT_EQ(target.StartIfNeeded(), TARGET_START_FAILED);

    target.StopStartMode.SetEnabled(0x8, false);
    EXPECT_EQ(target.GetStartMode(), SM_DO_NOTHING);
    EXPECT_FALSE(target.MustStopAtSuspend());
}

// ---------------------------------------------------------------------------
// Close methods

TEST_F(Targets, TheCloseMethodChoosesHowTheTargetIsClosed)
{
    const std::string signal = "Test is running, closing by sending terminate signal ";
    const std::string keys = "Test is running, closing by user simulation ";
    struct cCase {
        int32_t Method;
        eOs Os;
        bool Hibernating;
        std::string Expected;  // prefix of the line; empty: nothing happens
    };
    const cCase cases[] = {
        {CM_TERMINATE_SIGNAL, eOs::Windows7, false, signal},
        {CM_USER_SIMULATION_OR_SIGNAL, eOs::Windows7, true, signal},
        {CM_USER_SIMULATION_OR_SIGNAL, eOs::Windows7, false, keys},
        {CM_USER_SIMULATION_OR_SIGNAL, eOs::XP, true, keys},
        {CM_WM_CLOSE, eOs::Windows7, false, "CloseByWmClose"},
        {CM_USER_SIMULATION, eOs::Windows7, true, keys},
        {259, eOs::Windows7, false, signal},
        {1000, eOs::XP, false, signal},
        {CM_NONE, eOs::Windows7, false, ""},
    };
    for (const cCase& c : cases) {
        SCOPED_TRACE("method " + std::to_string(c.Method));
        cTestTarget& target = MakeTestTarget(c.Os);
        const uint32_t processId = OpenFrontEnd(TEST_WINDOW_CLASS, 50);
        target.CloseMethod = c.Method;
        TakeLog();
        const uint64_t before = Sim.Clock().Now();
        target.Close(WindowOf(TEST_WINDOW_CLASS), processId, c.Hibernating);
        const std::vector<std::string> log = TakeLog();
        if (c.Expected.empty()) {
            EXPECT_TRUE(log.empty());
            EXPECT_EQ(Sim.Clock().Now(), before);
            EXPECT_TRUE(Sim.Processes().IsRunning(processId));
        } else {
            EXPECT_TRUE(HasPrefix(log, c.Expected));
        }
        EndAllPrograms();
    }
}

TEST_F(Targets, TerminateSignalRunsTaskkillAtHighPriorityAndWaitsForTheTarget)
{
    cTestTarget& target = MakeTestTarget(eOs::Windows7);
    cSimProgram taskkill;
    taskkill.Match = "taskkill.exe";
    taskkill.RunTime = 30;
    Sim.Processes().AddProgram(taskkill);
    const uint32_t processId = OpenFrontEnd(TEST_WINDOW_CLASS, 50);
    const WindowHandle window = WindowOf(TEST_WINDOW_CLASS);
    TakeLog();

    target.CloseByTerminateSignal(window, processId);

    const cSimLaunch& launch = Sim.Processes().Launches().back();
    EXPECT_EQ(launch.Application, "C:\\Windows\\system32\\taskkill.exe");
    EXPECT_TRUE(launch.CommandLine.ends_with(" /PID " + std::to_string(processId)));
    EXPECT_EQ(launch.CreationFlags & 0xFF, 0x80u);
    EXPECT_EQ(launch.Show, SHOW_HIDE);
    EXPECT_FALSE(Sim.Processes().IsRunning(processId));
    ExpectInOrder(TakeLog(), {"Test is running, closing by sending terminate signal (Handle=" + Hex8(window) +
                                  " ProcessId=" + Hex8(processId) + ")",
                              "Timeout = 7000ms", "Terminate signal send, result=0", "Timeout = 6960ms",
                              "Close request successfully finished (50ms)"});
}

TEST_F(Targets, ASlowTaskkillUsesUpTheTimeoutAndTheTargetIsTerminated)
{
    cTestTarget& target = MakeTestTarget(eOs::Windows7, 7000);
    cSimProgram taskkill;
    taskkill.Match = "taskkill.exe";
    taskkill.RunTime = 8000;
    Sim.Processes().AddProgram(taskkill);
    const uint32_t processId = OpenFrontEnd(TEST_WINDOW_CLASS, cSimProgram::IGNORES_CLOSE);
    TakeLog();
    const uint64_t before = Sim.Clock().Now();

    target.CloseByTerminateSignal(WindowOf(TEST_WINDOW_CLASS), processId);

    EXPECT_EQ(Sim.Clock().Now() - before, 7000u);
    const std::vector<std::string> log = TakeLog();
    ExpectInOrder(log, {"Timeout = 7000ms", "Terminate signal send, result=259", "Timeout = 0ms",
                        "Close request timed out", "Test boost successful (0020->0080)",
                        "TerminateProcess() succesfull."});
    EXPECT_FALSE(Sim.Processes().IsRunning(processId));
}

TEST_F(Targets, TaskkillThatCannotStartIsLoggedAndTheTimeoutStillApplies)
{
    cTestTarget& target = MakeTestTarget(eOs::Windows7, 7000);
    cSimProgram taskkill;
    taskkill.Match = "taskkill.exe";
    taskkill.StartError = 2;
    Sim.Processes().AddProgram(taskkill);
    const uint32_t processId = OpenFrontEnd(TEST_WINDOW_CLASS, 50);
    TakeLog();

    target.CloseByTerminateSignal(WindowOf(TEST_WINDOW_CLASS), processId);

    const std::vector<std::string> log = TakeLog();
    ExpectInOrder(log, {"Sending terminate signal failed", "Close request timed out", "TerminateProcess() succesfull."});
    EXPECT_TRUE(HasPrefix(log, "  LastError=0002h"));
}

TEST_F(Targets, UserSimulationSendsAltF4ToTheTargetInFront)
{
    cTestTarget& target = MakeTestTarget(eOs::XP);
    // The target leaves within the 100 ms the keys get before the wait.
    const uint32_t processId = OpenFrontEnd(TEST_WINDOW_CLASS, 30);
    const WindowHandle window = WindowOf(TEST_WINDOW_CLASS);
    ASSERT_NE(Sim.Windowing().ForegroundWindow(), window);
    TakeLog();

    target.CloseByUserSimulation(window, processId);

    const std::vector<cKeyEvent>& keys = Sim.Windowing().KeyEvents();
    ASSERT_EQ(keys.size(), 4u);
    EXPECT_EQ(keys[0].VirtualKey, 0x12);
    EXPECT_FALSE(keys[0].KeyUp);
    EXPECT_EQ(keys[1].VirtualKey, 0x73);
    EXPECT_TRUE(keys[2].KeyUp);
    EXPECT_TRUE(keys[3].KeyUp);
    EXPECT_FALSE(Sim.Processes().IsRunning(processId));
    ExpectInOrder(TakeLog(), {"Test is running, closing by user simulation (Handle=" + Hex8(window) +
                                  " ProcessId=" + Hex8(processId) + ")",
                              "Close request successfully finished (100ms)"});
}

TEST_F(Targets, UserSimulationGivesUpWhenTheTargetCannotComeToTheFront)
{
    cTestTarget& target = MakeTestTarget(eOs::Windows7);
    const uint32_t processId = OpenFrontEnd(TEST_WINDOW_CLASS, 30);
    Sim.Windowing().SetForegroundLocked(true);
    TakeLog();

    target.CloseByUserSimulation(WindowOf(TEST_WINDOW_CLASS), processId);

    // 25 Alt+Esc chords, no Alt+F4.
    EXPECT_EQ(Sim.Windowing().KeyEvents().size(), 25u * 4);
    ExpectInOrder(TakeLog(), {"Failed to make Test foreground window", "Test boost successful (0020->0080)",
                              "TerminateProcess() succesfull."});
}

TEST_F(Targets, ATargetThatIgnoresTheRequestIsTerminatedAfterTheTimeout)
{
    cTestTarget& target = MakeTestTarget(eOs::Windows7, 7000);
    const uint32_t processId = OpenFrontEnd(TEST_WINDOW_CLASS, cSimProgram::IGNORES_CLOSE);
    TakeLog();
    const uint64_t before = Sim.Clock().Now();

    target.CloseByUserSimulation(WindowOf(TEST_WINDOW_CLASS), processId);

    EXPECT_EQ(Sim.Clock().Now() - before, 7100u);
    ExpectInOrder(TakeLog(), {"Close request timed out", "TerminateProcess() succesfull."});
    EXPECT_FALSE(Sim.Processes().IsRunning(processId));
}

TEST_F(Targets, AProcessThatCannotBeOpenedTimesOutAndCannotBeTerminated)
{
    cTestTarget& target = MakeTestTarget(eOs::Windows7);
    const uint32_t processId = OpenFrontEnd(TEST_WINDOW_CLASS, cSimProgram::IGNORES_CLOSE);
    Sim.Processes().SetOpenRefused(processId, true);
    TakeLog();

    target.CloseByUserSimulation(WindowOf(TEST_WINDOW_CLASS), processId);

    const std::vector<std::string> log = TakeLog();
    ExpectInOrder(log, {"Test is running, insufficient rights to terminate!", "Close request timed out",
                        "Test boost failed", "TerminateProcess() failed."});
    EXPECT_TRUE(Sim.Processes().IsRunning(processId));
}

TEST_F(Targets, MediaCenterIsNeverKilledByTheForcedTermination)
{
    for (eOs os : {eOs::XP, eOs::Windows7}) {
        SetHklm("eHome_FakeTarget", 1);
        cTargetEhome& ehome = MakeEhome(os);
        const uint32_t processId = OpenFrontEnd("Notepad", cSimProgram::IGNORES_CLOSE);
        Sim.Power().SetResumeAutomatic(true);  // no deadlock on XP
        TakeLog();

        ehome.CloseByUserSimulation(WindowOf("Notepad"), processId);

        const std::vector<std::string> log = TakeLog();
        ExpectInOrder(log, {"Close request timed out", "Unsafe to terminate the eHome process"});
        const std::string hint = "  (Don't use the sleep option from the eHome menu to suspend the system)";
        EXPECT_EQ(std::count(log.begin(), log.end(), hint), os == eOs::XP ? 1 : 0);
        EXPECT_TRUE(Sim.Processes().IsRunning(processId));
        EndAllPrograms();
    }
}

// ---------------------------------------------------------------------------
// Running state around a forced reboot

TEST_F(Targets, TheRunningStateOutlivesAReboot)
{
    cTestTarget& before = MakeTestTarget(eOs::Windows7);
    OpenFrontEnd(TEST_WINDOW_CLASS, 0);
    before.SetWasRunningAtSuspend(true);
    before.SaveRunningState();
    EXPECT_EQ(Hkcu("Test_WasRunning"), 1u);
    EXPECT_EQ(Hkcu("Test_WasRunningAtSuspend"), 1u);

    cTestTarget& after = MakeTestTarget(eOs::Windows7);
    after.RestoreRunningState();
    EXPECT_EQ(after.Starts, 1);
    EXPECT_TRUE(after.GetWasRunningAtSuspend());

    after.ClearRunningState();
    EXPECT_EQ(Hkcu("Test_WasRunning"), 0xDEADu);
    EXPECT_EQ(Hkcu("Test_WasRunningAtSuspend"), 0xDEADu);
    // Without saved values nothing starts.
    after.RestoreRunningState();
    EXPECT_EQ(after.Starts, 1);
    EXPECT_FALSE(after.GetWasRunningAtSuspend());
}

// ---------------------------------------------------------------------------
// Media Center: deadlock rule and WM_CLOSE

TEST_F(Targets, ADeadlockIsAssumedOnlyForAForeignSuspendWithoutUserInteractionOnXp)
{
    struct cCase {
        eOs Os;
        bool Automatic;
        uint32_t QueryFlags;
        bool Initiated;
        bool Deadlocked;
    };
    const cCase cases[] = {
        {eOs::XP, false, 0, false, true},         {eOs::XP, false, 1, false, false},
        {eOs::XP, true, 0, false, false},         {eOs::XP, false, 0, true, false},
        {eOs::Windows7, false, 0, false, false},  {eOs::Vista, false, 0, false, false},
    };
    for (const cCase& c : cases) {
        cTargetEhome& ehome = MakeEhome(c.Os);
        Sim.Power().SetResumeAutomatic(c.Automatic);
        ehome.SetQuerySuspendFlags(c.QueryFlags);
        ehome.SetSuspendInitiated(c.Initiated);
        TakeLog();
        EXPECT_EQ(ehome.IsDeadlocked(), c.Deadlocked);
        const std::vector<std::string> log = TakeLog();
        EXPECT_EQ(log, c.Deadlocked ? std::vector<std::string>{"Deadlock == true"} : std::vector<std::string>{});
    }
}

TEST_F(Targets, WmCloseInADeadlockTerminatesMediaCenterAtOnce)
{
    cTargetEhome& ehome = MakeEhome(eOs::XP);
    const uint32_t processId = OpenFrontEnd(MC_SHELL_WINDOW_CLASS, 50);
    const WindowHandle window = WindowOf(MC_SHELL_WINDOW_CLASS);
    TakeLog();

    ehome.CloseByWmClose(window, processId);

    ExpectInOrder(TakeLog(), {"Deadlock == true", "CanWmClose == false",
                              "eHome is running, Terminating process (Handle=" + Hex8(window) +
                                  " ProcessId=" + Hex8(processId) + ")",
                              "TerminateProcess() succesfull."});
    EXPECT_FALSE(Sim.Processes().IsRunning(processId));
}

TEST_F(Targets, SkipTerminatePostsWmCloseEvenInADeadlockAndDoesNotWait)
{
    SetHklm("eHome_SkipTerminate", 1);
    cTargetEhome& ehome = MakeEhome(eOs::XP);
    const uint32_t processId = OpenFrontEnd(MC_SHELL_WINDOW_CLASS, 500);
    TakeLog();
    const uint64_t before = Sim.Clock().Now();

    ehome.CloseByWmClose(WindowOf(MC_SHELL_WINDOW_CLASS), processId);

    EXPECT_EQ(Sim.Clock().Now(), before);
    ExpectInOrder(TakeLog(), {"CanWmClose == false", "SkipTerminate == true"});
    EXPECT_TRUE(Sim.Processes().IsRunning(processId));
    Sim.Clock().Advance(500);
    EXPECT_FALSE(Sim.Processes().IsRunning(processId));
}

TEST_F(Targets, WmCloseWaitsForMediaCenterAndTerminatesItWhenIgnored)
{
    for (int64_t closeDelay : {int64_t{40}, cSimProgram::IGNORES_CLOSE}) {
        cTargetEhome& ehome = MakeEhome(eOs::Windows7);
        const uint32_t processId = OpenFrontEnd(MC_SHELL_WINDOW_CLASS, closeDelay);
        TakeLog();

        ehome.CloseByWmClose(WindowOf(MC_SHELL_WINDOW_CLASS), processId);

        const std::vector<std::string> log = TakeLog();
        EndAllPrograms();
        if (closeDelay >= 0)
            ExpectInOrder(log, {"CanWmClose == true", "WM_CLOSE request succesfull. (40ms)"});
        else
            ExpectInOrder(log, {"WM_CLOSE request not honored, the rough way now :-).",
                                "TerminateProcess() succesfull."});
        EXPECT_FALSE(Sim.Processes().IsRunning(processId));
    }
}

// ---------------------------------------------------------------------------
// Media Center: start

class cTrayApplet {
public:
    // The applet's window; it accepts navigation unless told otherwise.
    explicit cTrayApplet(cSimWindows& sim) : Sim(sim)
    {
        cSimProgram program = FrontEnd(MC_TRAY_WINDOW_CLASS, 0);
        Sim.Processes().RunProgram(program);
        Window = Sim.Windowing().FindWindow(MC_TRAY_WINDOW_CLASS, "");
        const uint32_t navigate = Sim.Windowing().RegisterWindowMessage(MC_NAVIGATE_MESSAGE);
        Sim.Windowing().SetWindowAnswer(Window, [this, navigate](uint32_t message, uintptr_t wParam, intptr_t) {
            if (message != navigate)
                return intptr_t{0};
            Pages.push_back(static_cast<int>(wParam));
            return intptr_t{Accepts ? 1 : 0};
        });
    }

    cSimWindows& Sim;
    WindowHandle Window = 0;
    std::vector<int> Pages;
    bool Accepts = true;
};

TEST_F(Targets, NavigationTakesTwoMessagesToTheDefaultPageOnlyWhenMediaCenterRunsOnVistaOrLater)
{
    struct cCase {
        eOs Os;
        int32_t Page;
        bool Running;
        std::vector<int> Sent;
    };
    const cCase cases[] = {
        {eOs::Windows7, SL_DEFAULT, true, {SL_RECORDEDTV, SL_DEFAULT}},
        {eOs::Windows7, SL_TVGUIDE, true, {SL_TVGUIDE}},
        {eOs::Windows7, SL_DEFAULT, false, {SL_DEFAULT}},
        {eOs::XP, SL_DEFAULT, true, {SL_DEFAULT}},
    };
    for (const cCase& c : cases) {
        SetHklm("eHome_StartPage", static_cast<uint32_t>(c.Page));
        SetHklm("eHome_StopStartMode", SM_JUMP_TO_PAGE);
        cTargetEhome& ehome = MakeEhome(c.Os);
        cTrayApplet tray(Sim);
        if (c.Running)
            OpenFrontEnd(MC_SHELL_WINDOW_CLASS, 0);
        EXPECT_TRUE(ehome.ResumeStart());
        EXPECT_EQ(tray.Pages, c.Sent);
        EndAllPrograms();
    }
}

TEST_F(Targets, ARefusedNavigationIsAnError)
{
    SetHklm("eHome_StopStartMode", SM_JUMP_TO_PAGE);
    cTargetEhome& ehome = MakeEhome(eOs::Windows7);
    cTrayApplet tray(Sim);
    tray.Accepts = false;
    OpenFrontEnd(MC_SHELL_WINDOW_CLASS, 0);
    TakeLog();

    EXPECT_FALSE(ehome.ResumeStart());
    const std::vector<std::string> log = TakeLog();
    ExpectInOrder(log, {"eHome ResumeStart()", "Move to Recorded TV first",
                        "SendMessageTimeout failed (already running)"});
}

// A tray applet started because its window was missing; appears tells
// whether the started program shows that window.
class TrayAppletStart : public Targets, public ::testing::WithParamInterface<bool> {};

TEST_P(TrayAppletStart, AMissingTrayAppletIsStartedAndWaitedForAbout45Seconds)
{
    const bool appears = GetParam();
    SetHklm("eHome_StopStartMode", SM_ALWAYS_START);
    cTargetEhome& ehome = MakeEhome(eOs::Windows7);
    cSimProgram applet;
    applet.Match = "ehTray.exe";
    applet.RunTime = cSimProgram::RUNS_FOREVER;
    if (appears)
        applet.WindowClass = MC_TRAY_WINDOW_CLASS;
    Sim.Processes().AddProgram(applet);
    TakeLog();
    const uint64_t before = Sim.Clock().Now();

    // The stand-in's window answers every message with 0: navigation fails.
    EXPECT_FALSE(ehome.ResumeStart());

    const std::vector<std::string> log = TakeLog();
    ExpectInOrder(log, {"Starting Tray Applet", "C:\\Windows\\eHome\\ehTray.exe"});
    if (appears) {
        ExpectInOrder(log, {"Starting Tray Applet succesfull", "Start at / Move to selected page"});
        EXPECT_TRUE(HasPrefix(log, "SendMessageTimeout failed ("));
    } else {
        EXPECT_TRUE(HasPrefix(log, "Starting Tray Applet failed (Timeout)"));
        EXPECT_EQ(Sim.Clock().Now() - before, 900u * 50);
    }
}

INSTANTIATE_TEST_SUITE_P(Targets, TrayAppletStart, ::testing::Bool());

TEST_F(Targets, TheStandInIsStartedDirectlyMaximisedAndBroughtToTheFront)
{
    SetHklm("eHome_FakeTarget", 1);
    cTargetEhome& ehome = MakeEhome(eOs::Windows7);
    cSimProgram notepad = FrontEnd("Notepad", 0);
    notepad.Match = "notepad.exe";
    Sim.Processes().AddProgram(notepad);
    TakeLog();

    EXPECT_TRUE(ehome.ResumeStart());

    const cSimLaunch& launch = Sim.Processes().Launches().back();
    EXPECT_EQ(launch.CommandLine, "C:\\Windows\\notepad.exe");
    EXPECT_TRUE(launch.Application.empty());
    EXPECT_EQ(launch.CreationFlags, 0x04000020u);
    EXPECT_EQ(launch.Show, 3);
    ExpectInOrder(TakeLog(), {"eHome ResumeStart()", "StartEhome62()", "eHome succesfully started.",
                              "eHome is ForegroundWindow.", "Making eHome ForegroundWindow."});
    EXPECT_TRUE(ehome.IsRunning());
}

TEST_F(Targets, AStandInWithoutWindowIsReportedAfterTheStartTimeout)
{
    SetHklm("eHome_FakeTarget", 1);
    SetHklm("eHome_StartTimeout", 1000);
    cTargetEhome& ehome = MakeEhome(eOs::Windows7);
    Sim.Processes().RunProgram(FrontEnd("OtherProgram", 0));
    TakeLog();
    const uint64_t before = Sim.Clock().Now();

    EXPECT_TRUE(ehome.ResumeStart());

    EXPECT_GE(Sim.Clock().Now() - before, 1000u);
    EXPECT_LE(Sim.Clock().Now() - before, 1025u);
    ExpectInOrder(TakeLog(), {"eHome is NOT the ForegroundWindow.", "Cant find eHome window."});
}

// ---------------------------------------------------------------------------
// Media Center: start pages and start at logon

TEST_F(Targets, TheStartPageListDependsOnTheMediaCenterRelease)
{
    for (const auto& [ident, count] : {std::pair<const char*, int>{"6.0", 12}, {"5.1", 12}, {"2.8", 10}, {"3.0", 10}}) {
        Sim.Registry().SetString(eHive::LocalMachine, MEDIA_CENTER_KEY, MC_IDENT_VALUE, ident);
        cTargetEhome& ehome = MakeEhome(eOs::Windows7);
        SCOPED_TRACE(ident);
        EXPECT_EQ(ehome.GetStartPageCount(), count);
        EXPECT_EQ(ehome.GetStartPageCode(9), SL_RADIO);
        EXPECT_EQ(ehome.GetStartPageCode(10), count == 12 ? 12 : SL_DEFAULT);
        EXPECT_EQ(ehome.GetStartPageCode(-1), SL_DEFAULT);
    }
    EXPECT_EQ(cTargetEhome::GetStartPageName(12), "explore");
    EXPECT_EQ(cTargetEhome::GetStartPageName(10), "Unknown");
}

TEST_F(Targets, TheStartPageIsUnusedWhileMediaCenterIsNeverStarted)
{
    SetHklm("eHome_StartPage", SL_TVGUIDE);
    SetHklm("eHome_StopStartMode", SM_DO_NOTHING);
    cTargetEhome& ehome = MakeEhome(eOs::Windows7);
    EXPECT_EQ(ehome.GetStartPage(), SL_DEFAULT);
    EXPECT_FALSE(ehome.CanSetStartPage());

    ehome.StartAtBoot = true;
    EXPECT_EQ(ehome.GetStartPage(), SL_TVGUIDE);
    EXPECT_TRUE(ehome.CanSetStartPage());
}

TEST_F(Targets, TheEngineTakesOverMediaCentersOwnStartAtLogon)
{
    constexpr const char* RUN_KEY = "Software\\Microsoft\\Windows\\CurrentVersion\\Run";
    cTargetEhome& ehome = MakeEhome(eOs::Windows7);
    ASSERT_TRUE(ehome.SetLogonStartRegistered(true));
    std::string command;
    ASSERT_TRUE(Sim.Registry().GetString(eHive::CurrentUser, RUN_KEY, MC_RUN_VALUE_NAME, command));
    EXPECT_EQ(command, "RunDLL32.exe C:\\Windows\\ehome\\ehuihlp.dll,BootMediaCenter");

    StartEngine(true);
    EXPECT_FALSE(Engine->GetEhome().IsLogonStartRegistered());
    EXPECT_EQ(Hkcu("eHome_StartAtBoot"), 1u);
}

}  // namespace
