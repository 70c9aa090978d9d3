// The MediaPortal target on the simulator: where it is found, how it is
// started and its window waited for, how it is closed and killed, and its
// start at logon.
#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

#include "EngineTestBench.h"
#include "platform/WinConst.h"
#include "targets/TargetMediaPortal.h"

namespace {

constexpr const char* INSTALL_KEY = "SOFTWARE\\Team MediaPortal\\MediaPortal";
constexpr const char* VIRTUAL_STORE_KEY =
    "Software\\Classes\\VirtualStore\\MACHINE\\SOFTWARE\\Team MediaPortal\\MediaPortal";
constexpr const char* UNINSTALL_KEY = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\MediaPortal";
constexpr const char* RUN_KEY = "Software\\Microsoft\\Windows\\CurrentVersion\\Run";
constexpr const char* DEFAULT_PROGRAM = "C:\\Program Files\\Team MediaPortal\\MediaPortal\\MediaPortal.exe";
constexpr const char* WORDPAD = "C:\\Program Files\\Windows NT\\Accessories\\wordpad.exe";
constexpr const char* WINDOW_CLASS = "WindowsForms10.Window.8.app.0.3ce0bb8";
constexpr const char* PROGRAM = "C:\\MP\\MediaPortal.exe";

class cMediaPortalBench : protected cEngineTestBench {
protected:
    void Boot()
    {
        LogToFile();
        SetWindows(eOs::Windows7);
        StartPlatform();
    }

    // The file and its folders.
    void MakeFile(const std::string& path)
    {
        for (size_t at = path.find('\\', 3); at != std::string::npos; at = path.find('\\', at + 1))
            Sim.Files().CreateDirectory(path.substr(0, at));
        Sim.Files().WriteNewFile(path, "exe");
    }

    // MediaPortal installed in C:\MP, as its installer leaves it.
    void InstallInMp()
    {
        MakeFile(PROGRAM);
        Sim.Registry().SetString(eHive::LocalMachine, INSTALL_KEY, "ApplicationDir", "C:\\MP");
    }

    cTargetMediaPortal& Make()
    {
        Target = std::make_unique<cTargetMediaPortal>(Sim.Get(), *Logger, *Version);
        TakeLog();
        return *Target;
    }

    static cSimProgram Program(const std::string& windowClass, const std::string& title, int64_t closeDelay)
    {
        cSimProgram program;
        program.RunTime = cSimProgram::RUNS_FOREVER;
        program.WindowClass = windowClass;
        program.WindowTitle = title;
        program.CloseDelay = closeDelay;
        return program;
    }

    // What starting MediaPortal.exe runs.
    void AddMediaPortal(const std::string& windowClass, const std::string& title)
    {
        cSimProgram program = Program(windowClass, title, 0);
        program.Match = "MediaPortal.exe";
        Sim.Processes().AddProgram(program);
    }

    static bool Has(const std::vector<std::string>& log, const std::string& line)
    {
        return std::find(log.begin(), log.end(), line) != log.end();
    }
    static bool HasPrefix(const std::vector<std::string>& log, const std::string& prefix)
    {
        return std::any_of(log.begin(), log.end(), [&](const std::string& line) { return line.rfind(prefix, 0) == 0; });
    }

    std::unique_ptr<cTargetMediaPortal> Target;
};

// ---------------------------------------------------------------------------
// Where MediaPortal is

struct cDetectionCase {
    const char* What;
    void (*Arrange)(cSimWindows& sim);
    const char* Program;
    bool Installed;
};

class MediaPortalDetection : public ::testing::TestWithParam<cDetectionCase>, protected cMediaPortalBench {};

TEST_P(MediaPortalDetection, FindsTheProgramByTheFirstTraceInOrder)
{
    Boot();
    GetParam().Arrange(Sim);
    cTargetMediaPortal& target = Make();
    EXPECT_EQ(target.GetExecutablePath(), GetParam().Program);
    EXPECT_EQ(target.IsInstalled(), GetParam().Installed);
    EXPECT_EQ(target.GetWindowClass(), std::string(GetParam().Program) == WORDPAD ? "WordPadClass" : WINDOW_CLASS);
}

const cDetectionCase DETECTION_CASES[] = {
    {"MachineDirectory",
     [](cSimWindows& sim) { sim.Registry().SetString(eHive::LocalMachine, INSTALL_KEY, "ApplicationDir", "D:\\MP"); },
     "D:\\MP\\MediaPortal.exe", true},
    {"VirtualStoreWinsOverTheMachine",
     [](cSimWindows& sim) {
         sim.Registry().SetString(eHive::LocalMachine, INSTALL_KEY, "ApplicationDir", "D:\\MP");
         sim.Registry().SetString(eHive::CurrentUser, VIRTUAL_STORE_KEY, "ApplicationDir", "E:\\MP");
     },
     "E:\\MP\\MediaPortal.exe", true},
    {"UninstallPathWhenNoDirectory",
     [](cSimWindows& sim) {
         sim.Registry().CreateKey(eHive::LocalMachine, INSTALL_KEY);
         sim.Registry().SetString(eHive::LocalMachine, UNINSTALL_KEY, "InstallPath", "F:\\MP");
     },
     "F:\\MP\\MediaPortal.exe", true},
    {"DirectoryOfAnotherTypeCountsAsNone",
     [](cSimWindows& sim) { sim.Registry().SetDword(eHive::LocalMachine, INSTALL_KEY, "ApplicationDir", 7); },
     DEFAULT_PROGRAM, true},
    {"VirtualStoreKeyAlone", [](cSimWindows& sim) { sim.Registry().CreateKey(eHive::CurrentUser, VIRTUAL_STORE_KEY); },
     DEFAULT_PROGRAM, true},
    {"NoTraceNoProgram", [](cSimWindows&) {}, DEFAULT_PROGRAM, false},
    {"NoTraceProgramInProgramFiles",
     [](cSimWindows& sim) {
         for (const char* folder : {"C:\\Program Files", "C:\\Program Files\\Team MediaPortal",
                                    "C:\\Program Files\\Team MediaPortal\\MediaPortal"})
             sim.Files().CreateDirectory(folder);
         sim.Files().WriteNewFile(DEFAULT_PROGRAM, "exe");
     },
     DEFAULT_PROGRAM, true},
    {"ProgramFilesFolderUnknown", [](cSimWindows& sim) { sim.Files().SetSpecialFolder(FOLDER_PROGRAM_FILES, ""); },
     DEFAULT_PROGRAM, false},
    {"StandIn",
     [](cSimWindows& sim) { sim.Registry().SetDword(eHive::LocalMachine, SETTINGS_KEY, "MediaPortal_FakeTarget", 1); },
     WORDPAD, true},
};

INSTANTIATE_TEST_SUITE_P(Cases, MediaPortalDetection, ::testing::ValuesIn(DETECTION_CASES),
                         [](const ::testing::TestParamInfo<cDetectionCase>& info) { return info.param.What; });

class MediaPortalTarget : public ::testing::Test, protected cMediaPortalBench {
protected:
    void SetUp() override { Boot(); }
};

// The folder located by hand counts at once; a later loss of every trace
// does not make MediaPortal uninstalled again.
TEST_F(MediaPortalTarget, ALocatedDirectoryCountsAtOnceAndInstalledIsNeverTakenBack)
{
    cTargetMediaPortal& target = Make();
    ASSERT_FALSE(target.IsInstalled());

    MakeFile("G:\\Media\\MediaPortal.exe");
    EXPECT_TRUE(target.SetInstallDirectory("G:\\Media"));
    EXPECT_TRUE(target.IsInstalled());
    EXPECT_EQ(target.GetExecutablePath(), "G:\\Media\\MediaPortal.exe");

    Sim.Registry().SetString(eHive::LocalMachine, INSTALL_KEY, "ApplicationDir", "H:\\Other");
    EXPECT_EQ(target.GetExecutablePath(), "H:\\Other\\MediaPortal.exe");
    Sim.Registry().DeleteValue(eHive::LocalMachine, INSTALL_KEY, "ApplicationDir");
    Sim.Registry().DeleteKey(eHive::LocalMachine, INSTALL_KEY);
    target.DetectInstalled();
    EXPECT_TRUE(target.IsInstalled());
}

// ---------------------------------------------------------------------------
// Start

TEST_F(MediaPortalTarget, ItsMainWindowIsFoundAtTheFirstLookAfterItOpensAndMadeTopmost)
{
    InstallInMp();
    SetHklm("MediaPortal_StartDelay", 2000);
    cTargetMediaPortal& target = Make();
    // The program shows a window of the class at once, titled only later.
    AddMediaPortal(WINDOW_CLASS, "Loading");
    Sim.Windowing().SetDeliverDuringSleep(true);
    const uint64_t begin = Sim.Clock().Now();
    Sim.Windowing().Schedule(begin + 2000 + 110, [&] {
        Sim.Windowing().SetWindowText(Sim.Windowing().FindWindow(WINDOW_CLASS, ""), "MediaPortal - Home");
    });

    EXPECT_TRUE(target.Start());

    const cSimLaunch& launch = Sim.Processes().Launches().back();
    EXPECT_EQ(launch.At, begin + 2000);
    EXPECT_EQ(launch.CommandLine, std::string("\"") + PROGRAM + "\"");
    EXPECT_TRUE(launch.Application.empty());
    EXPECT_EQ(launch.CreationFlags, 0x04000020u);
    EXPECT_EQ(launch.Show, 3);
    // Looks every 25 ms: the one at 125 ms finds the title set at 110 ms.
    EXPECT_EQ(Sim.Clock().Now() - begin, 2000u + 125);
    EXPECT_EQ(TakeLog(), (std::vector<std::string>{"Delaying MediaPortal start for 2000 milliseconds.",
                                                   "MediaPortal succesfully started",
                                                   "MediaPortal window found(MediaPortal - Home)"}));
    const WindowHandle window = Sim.Windowing().FindWindow(WINDOW_CLASS, "");
    ASSERT_EQ(Sim.Windowing().Placements().size(), 1u);
    EXPECT_EQ(Sim.Windowing().Placements()[0].Window, window);
    EXPECT_EQ(Sim.Windowing().Placements()[0].InsertAfter, TOPMOST_WINDOW);
    EXPECT_EQ(Sim.Windowing().Placements()[0].Flags, 0x0023u);
}

// The search runs to the timeout when no window with the title appears;
// the start still counts.
class MediaPortalWindowSearch : public MediaPortalTarget {
protected:
    void ExpectTimeout(const char* windowClass, const char* title, bool madeTopmost)
    {
        InstallInMp();
        SetHklm("MediaPortal_StartTimeout", 1000);
        cTargetMediaPortal& target = Make();
        AddMediaPortal(windowClass, title);
        const uint64_t begin = Sim.Clock().Now();

        EXPECT_TRUE(target.Start());

        // The first look after more than the timeout ends it.
        EXPECT_EQ(Sim.Clock().Now() - begin, 1025u);
        EXPECT_EQ(TakeLog(), (std::vector<std::string>{"MediaPortal succesfully started",
                                                       "MediaPortal window search timed out"}));
        EXPECT_EQ(Sim.Windowing().Placements().size(), madeTopmost ? 1u : 0u);
    }
};

TEST_F(MediaPortalWindowSearch, ATitleThatNeverMatchesStillGetsItsWindowMadeTopmost)
{
    // The prefix is case-sensitive.
    ExpectTimeout(WINDOW_CLASS, "mediaportal - Home", true);
}

TEST_F(MediaPortalWindowSearch, NoWindowOfTheClassAtAll)
{
    ExpectTimeout("SomethingElse", "MediaPortal - Home", false);
}

TEST_F(MediaPortalTarget, AFailedStartIsAnErrorAndAStillRunningOneIsNotStartedTwice)
{
    InstallInMp();
    SetHklm("MediaPortal_StopStartMode", SM_ALWAYS_START);
    cTargetMediaPortal& target = Make();
    cSimProgram broken;
    broken.Match = "MediaPortal.exe";
    broken.StartError = 193;
    Sim.Processes().AddProgram(broken);

    EXPECT_EQ(target.StartIfNeeded(), TARGET_START_FAILED);
    const std::vector<std::string> log = TakeLog();
    ASSERT_EQ(log.size(), 2u);
    EXPECT_EQ(log[0], "  Starting MediaPortal failed.");
    EXPECT_TRUE(log[1].rfind("  LastError=00C1h: ", 0) == 0) << log[1];

    // The closed instance is still there at the resume.
    Sim.Processes().RunProgram(Program(WINDOW_CLASS, "MediaPortal - Home", 0));
    const size_t launches = Sim.Processes().Launches().size();
    EXPECT_EQ(target.StartIfNeeded(), TARGET_START_FAILED);
    EXPECT_EQ(TakeLog(), std::vector<std::string>{"MediaPortal not fully closed, increase Standby Delay."});
    EXPECT_EQ(Sim.Processes().Launches().size(), launches);
    // The start at logon does not ask.
    target.Start();
    EXPECT_EQ(Sim.Processes().Launches().size(), launches + 1);
}

// ---------------------------------------------------------------------------
// Close

// Unlike Media Center, MediaPortal is killed when it does not close in time,
// by the window message and by the terminate signal alike.
TEST_F(MediaPortalTarget, AMediaPortalThatDoesNotCloseIsKilledAfterSevenSeconds)
{
    struct cCase {
        int32_t Method;
        int64_t CloseDelay;
        std::vector<std::string> Lines;
    };
    const cCase cases[] = {
        {CM_WM_CLOSE, 300, {"WM_CLOSE request succesfull. (300ms)"}},
        {CM_WM_CLOSE,
         cSimProgram::IGNORES_CLOSE,
         {"WM_CLOSE request not honored, the rough way now :-).", "MediaPortal boost successful (0020->0080)",
          "TerminateProcess() succesfull."}},
        {CM_TERMINATE_SIGNAL,
         cSimProgram::IGNORES_CLOSE,
         {"Close request timed out", "MediaPortal boost successful (0020->0080)", "TerminateProcess() succesfull."}},
    };
    InstallInMp();
    for (const cCase& c : cases) {
        SCOPED_TRACE(c.Method);
        SCOPED_TRACE(c.CloseDelay);
        SetHklm("MediaPortal_CloseMethod", static_cast<uint32_t>(c.Method));
        cTargetMediaPortal& target = Make();
        const uint32_t processId = Sim.Processes().RunProgram(Program(WINDOW_CLASS, "MediaPortal - Home", c.CloseDelay));
        const WindowHandle window = Sim.Windowing().FindWindow(WINDOW_CLASS, "");
        const uint64_t begin = Sim.Clock().Now();

        target.Close(window, processId, false);

        EXPECT_FALSE(Sim.Processes().IsRunning(processId));
        EXPECT_FALSE(target.IsRunning());
        EXPECT_LE(Sim.Clock().Now() - begin, 7000u);
        const std::vector<std::string> log = TakeLog();
        if (c.Method == CM_WM_CLOSE) {
            char first[96];
            std::snprintf(first, sizeof first, "MediaPortal is running, sending WM_CLOSE (Handle=%08llx ProcessId=%08x)",
                          static_cast<unsigned long long>(window), processId);
            ASSERT_FALSE(log.empty());
            EXPECT_EQ(log[0], first);
        }
        EXPECT_TRUE(std::search(log.begin(), log.end(), c.Lines.begin(), c.Lines.end()) != log.end())
            << ::testing::PrintToString(log);
        if (c.CloseDelay == cSimProgram::IGNORES_CLOSE)
            EXPECT_EQ(Sim.Clock().Now() - begin, 7000u);
    }
}

TEST_F(MediaPortalTarget, ARefusedProcessIsStillAskedAndItsKillFails)
{
    InstallInMp();
    SetHklm("MediaPortal_CloseMethod", CM_WM_CLOSE);
    cTargetMediaPortal& target = Make();
    const uint32_t processId =
        Sim.Processes().RunProgram(Program(WINDOW_CLASS, "MediaPortal - Home", cSimProgram::IGNORES_CLOSE));
    Sim.Processes().SetOpenRefused(processId, true);

    target.Close(Sim.Windowing().FindWindow(WINDOW_CLASS, ""), processId, false);

    const std::vector<std::string> log = TakeLog();
    EXPECT_EQ(log.front(), "MediaPortal is running, not enough rights to terminate!");
    EXPECT_TRUE(Has(log, "WM_CLOSE request not honored, the rough way now :-)."));
    EXPECT_TRUE(Has(log, "MediaPortal boost failed"));
    EXPECT_TRUE(Has(log, "TerminateProcess() failed."));
    EXPECT_TRUE(Sim.Processes().IsRunning(processId));
}

// ---------------------------------------------------------------------------
// Start at logon

TEST_F(MediaPortalTarget, ItsRunKeyEntryStartsTheProgram)
{
    InstallInMp();
    cTargetMediaPortal& target = Make();
    EXPECT_FALSE(target.IsLogonStartRegistered());

    ASSERT_TRUE(target.SetLogonStartRegistered(true));
    std::string command;
    ASSERT_TRUE(Sim.Registry().GetString(eHive::CurrentUser, RUN_KEY, "MediaPortal", command));
    EXPECT_EQ(command, std::string("\"") + PROGRAM + "\"");
    EXPECT_TRUE(target.IsLogonStartRegistered());

    EXPECT_TRUE(target.SetLogonStartRegistered(false));
    EXPECT_FALSE(target.IsLogonStartRegistered());
    EXPECT_TRUE(target.SetLogonStartRegistered(false));
}

}  // namespace
