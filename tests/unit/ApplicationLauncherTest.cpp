#include <gtest/gtest.h>

#include "foundation/ApplicationLauncher.h"
#include "platform/sim/SimWindows.h"

namespace {

constexpr const char* TEMP_DIR = "C:\\Temp\\";
constexpr const char* OUTPUT_FILE = "C:\\Temp\\pow1A.tmp";
constexpr const char* CMD = "C:\\Windows\\system32\\cmd.exe";
constexpr const char* SLUMBERHOLD = "C:\\Program Files\\Slumberhold\\Slumberhold.exe";

class ApplicationLauncher : public ::testing::Test {
protected:
    void SetUp() override
    {
        Sim.Files().CreateDirectory("C:\\Temp");
        Sim.Files().SetTempPath(TEMP_DIR);
        Sim.Files().SetNextTempNumber(0x1A);
    }

    const std::vector<cSimLaunch>& Launches() { return Sim.Processes().Launches(); }

    cSimWindows Sim;
};

struct cCommandLineCase {
    uint16_t Flags;
    const char* Command;
    const char* Parameters;
    const char* Application;
    const char* CommandLine;
    int Show;
    const char* Directory;
};

TEST_F(ApplicationLauncher, FlagsShapeTheApplicationCommandLineAndStart)
{
    const cCommandLineCase cases[] = {
        // The hidden shell command with captured output.
        {0x43, "powercfg.exe", "-lastwake", CMD,
         "placeholder /d /v:on /c \"powercfg.exe\" -lastwake >C:\\Temp\\pow1A.tmp 2>&1 & exit /b !errorlevel!",
         SHOW_HIDE, ""},
        // Without parameters the suffixes still follow.
        {0x41, "powercfg.exe", "", CMD,
         "placeholder /d /v:on /c \"powercfg.exe\"  >C:\\Temp\\pow1A.tmp 2>&1 & exit /b !errorlevel!", SHOW_SHOW,
         ""},
        {0x03, "net.exe", "stop \"Media Center Receiver Service\"", CMD,
         "placeholder /d /v:on /c \"net.exe\" stop \"Media Center Receiver Service\" & exit /b !errorlevel!",
         SHOW_HIDE, ""},
        {0x09, "net.exe", "start x", CMD, "placeholder /d /v:on /k \"net.exe\" start x & exit /b !errorlevel!",
         SHOW_SHOW, ""},
        {0x51, "powercfg.exe", "-q", CMD,
         "placeholder /d /v:on /c \"powercfg.exe\" -q & if not !errorlevel!==0 pause >C:\\Temp\\pow1A.tmp 2>&1 & "
         "exit /b !errorlevel!",
         SHOW_SHOW, ""},
        {0x27, "regedit.exe", "/e a.txt", CMD, "placeholder /d /v:on /c \"regedit.exe\" /e a.txt & exit /b !errorlevel!",
         SHOW_HIDE, "C:\\Windows\\system32"},
        // Capture needs the shell; the program itself is the application.
        {0x40, "C:\\Tools\\x.exe", "-q", "C:\\Tools\\x.exe", "placeholder -q", SHOW_SHOW, ""},
        {0x00, SLUMBERHOLD, "CONFIGURATOR", SLUMBERHOLD, "placeholder CONFIGURATOR", SHOW_SHOW, ""},
        {0x02, "C:\\Windows\\system32\\taskkill.exe", "/PID 1234", "C:\\Windows\\system32\\taskkill.exe",
         "placeholder /PID 1234", SHOW_HIDE, ""},
        {0x20, "C:\\Tools\\x.exe", "", "C:\\Tools\\x.exe", "placeholder ", SHOW_SHOW, "C:\\Windows\\system32"},
    };
    for (const cCommandLineCase& c : cases) {
        SCOPED_TRACE(testing::Message() << "flags 0x" << std::hex << c.Flags);
        cSimWindows sim;
        sim.Files().CreateDirectory("C:\\Temp");
        sim.Files().SetTempPath(TEMP_DIR);
        sim.Files().SetNextTempNumber(0x1A);
        cApplicationLauncher launcher(sim.Get(), c.Command, c.Flags);
        ASSERT_TRUE(launcher.Launch(c.Parameters));
        ASSERT_EQ(sim.Processes().Launches().size(), 1u);
        const cSimLaunch& launch = sim.Processes().Launches()[0];
        EXPECT_EQ(launch.Kind, eSimLaunchKind::CreateProcess);
        EXPECT_EQ(launch.Application, c.Application);
        EXPECT_EQ(launch.CommandLine, c.CommandLine);
        EXPECT_EQ(launch.Show, c.Show);
        EXPECT_EQ(launch.Directory, c.Directory);
        EXPECT_TRUE(launch.InheritHandles);
        EXPECT_EQ(launch.CreationFlags, 0x220u);
    }
}

TEST_F(ApplicationLauncher, CreationPriorityReplacesNormalPriority)
{
    cApplicationLauncher launcher(Sim.Get(), "C:\\Windows\\system32\\taskkill.exe", ALF_HIDDEN);
    launcher.SetCreationPriority(CREATION_PRIORITY_HIGH);
    ASSERT_TRUE(launcher.Launch("/PID 1234"));
    EXPECT_EQ(Launches()[0].CreationFlags, 0x280u);
}

TEST_F(ApplicationLauncher, WithoutASystemDirectoryTheDefaultWindowsFolderIsUsed)
{
    Sim.Processes().SetSystemDirectory("");
    cApplicationLauncher launcher(Sim.Get(), "net.exe", ALF_COMMAND_SHELL | ALF_SYSTEM_DIRECTORY);
    ASSERT_TRUE(launcher.Launch("stop x"));
    EXPECT_EQ(Launches()[0].Application, "c:\\windows\\system32\\cmd.exe");
    EXPECT_EQ(Launches()[0].Directory, "c:\\windows\\system32");
}

TEST_F(ApplicationLauncher, CapturedOutputLivesInAFreshTemporaryFileUntilTheLauncherGoes)
{
    Sim.Processes().AddProgram({"powercfg.exe", 0, 200, "Wake History Count - 1\r\n"});
    {
        cApplicationLauncher launcher(Sim.Get(), "powercfg.exe", 0x43);
        EXPECT_EQ(launcher.GetOutputFile(), OUTPUT_FILE);
        std::string content = "not empty";
        ASSERT_TRUE(Sim.Files().ReadWholeFile(OUTPUT_FILE, content));
        EXPECT_EQ(content, "");

        ASSERT_TRUE(launcher.Launch("-lastwake"));
        EXPECT_EQ(launcher.WaitForExit(15000), 0u);
        ASSERT_TRUE(Sim.Files().ReadWholeFile(launcher.GetOutputFile(), content));
        EXPECT_EQ(content, "Wake History Count - 1\r\n");
    }
    EXPECT_FALSE(Sim.Files().FileExists(OUTPUT_FILE));

    // Capture needs the shell: no file without it.
    cApplicationLauncher plain(Sim.Get(), "powercfg.exe", ALF_CAPTURE);
    EXPECT_EQ(plain.GetOutputFile(), "");
    EXPECT_FALSE(Sim.Files().FileExists("C:\\Temp\\pow1B.tmp"));
}

TEST_F(ApplicationLauncher, OutputFileFallsBackToTheDriveRootOrStaysEmpty)
{
    Sim.Files().SetTempPath("");  // GetTempPath fails
    {
        cApplicationLauncher launcher(Sim.Get(), "powercfg.exe", 0x43);
        EXPECT_EQ(launcher.GetOutputFile(), "C:\\pow1A.tmp");
        EXPECT_TRUE(Sim.Files().FileExists("C:\\pow1A.tmp"));
    }
    EXPECT_FALSE(Sim.Files().FileExists("C:\\pow1A.tmp"));

    Sim.Files().SetTempPath("C:\\Gone\\");  // the file cannot be created
    cApplicationLauncher launcher(Sim.Get(), "powercfg.exe", 0x43);
    EXPECT_EQ(launcher.GetOutputFile(), "");
    ASSERT_TRUE(launcher.Launch("-q"));
    EXPECT_EQ(Launches()[0].CommandLine, "placeholder /d /v:on /c \"powercfg.exe\" -q > 2>&1 & exit /b !errorlevel!");
}

struct cWaitCase {
    uint64_t RunTime;
    int32_t Timeout;
    uint32_t Result;
    uint64_t Waited;  // virtual ms
};

TEST_F(ApplicationLauncher, WaitForExitPollsEveryTwentyMillisecondsUntilTheEndOrTheTimeout)
{
    const cWaitCase cases[] = {
        {95, 0, 7, 100},                             // no limit: the first poll after the end
        {0, 0, 7, 20},                               // even an ended process costs one poll
        {60, 60, 7, 60},                             // ends on the last poll
        {61, 60, EXIT_CODE_STILL_ACTIVE, 60},        // still running when the time is up
        {61, 59, EXIT_CODE_STILL_ACTIVE, 60},        // the poll that passes the time is the last
        {cSimProgram::RUNS_FOREVER, 15000, EXIT_CODE_STILL_ACTIVE, 15000},
        {1000, -1, EXIT_CODE_STILL_ACTIVE, 0},       // negative: one read, no wait
    };
    for (const cWaitCase& c : cases) {
        SCOPED_TRACE(testing::Message() << "run " << c.RunTime << " timeout " << c.Timeout);
        cSimWindows sim;
        sim.Clock().SetTickBase(0xFFFFFFF0);  // the tick count wraps during the wait
        sim.Processes().AddProgram({"job.cmd", 7, c.RunTime, ""});
        cApplicationLauncher launcher(sim.Get(), "job.cmd", ALF_COMMAND_SHELL | ALF_KEEP_OPEN);
        ASSERT_TRUE(launcher.Launch(""));
        const uint64_t start = sim.Clock().Now();
        EXPECT_EQ(launcher.WaitForExit(c.Timeout), c.Result);
        EXPECT_EQ(sim.Clock().Now() - start, c.Waited);
    }
}

TEST_F(ApplicationLauncher, NegativeTimeoutReadsTheExitCodeOfAnEndedProcess)
{
    Sim.Processes().AddProgram({"job.cmd", 3, 100, ""});
    cApplicationLauncher launcher(Sim.Get(), "job.cmd", ALF_COMMAND_SHELL);
    ASSERT_TRUE(launcher.Launch(""));
    Sim.Clock().Advance(100);
    EXPECT_EQ(launcher.WaitForExit(-5), 3u);
    EXPECT_EQ(Sim.Clock().Now(), 100u);
}

TEST_F(ApplicationLauncher, WaitForProcessWaitsOnTheProcessItself)
{
    Sim.Processes().AddProgram({"job.cmd", 0, 300, ""});
    cApplicationLauncher launcher(Sim.Get(), "job.cmd", ALF_COMMAND_SHELL);
    EXPECT_EQ(launcher.WaitForProcess(1000), eWaitResult::Failed);  // nothing started yet
    ASSERT_TRUE(launcher.Launch(""));
    EXPECT_EQ(launcher.WaitForProcess(-1), eWaitResult::Timeout);
    EXPECT_EQ(Sim.Clock().Now(), 0u);
    EXPECT_EQ(launcher.WaitForProcess(100), eWaitResult::Timeout);
    EXPECT_EQ(launcher.WaitForProcess(10000), eWaitResult::Signaled);
    EXPECT_EQ(Sim.Clock().Now(), 300u);
}

TEST_F(ApplicationLauncher, FailedLaunchReturnsFalseWithThePlatformError)
{
    Sim.Processes().AddProgram({"missing.exe", 0, 0, "", 2});
    cApplicationLauncher launcher(Sim.Get(), "C:\\Tools\\missing.exe", 0);
    EXPECT_FALSE(launcher.Launch(""));
    EXPECT_EQ(Sim.Errors().GetLastError(), 2u);
    EXPECT_EQ(launcher.WaitForExit(1000), EXIT_CODE_STILL_ACTIVE);
    EXPECT_EQ(Sim.Clock().Now(), 0u);

    // The application is not searched for on the path.
    Sim.Errors().SetLastError(0);
    cApplicationLauncher bare(Sim.Get(), "taskkill.exe", ALF_HIDDEN);
    EXPECT_FALSE(bare.Launch("/PID 1234"));
    EXPECT_EQ(Sim.Errors().GetLastError(), 2u);
}

TEST_F(ApplicationLauncher, EachLaunchReleasesTheProcessOfTheLastOne)
{
    Sim.Processes().AddProgram({"net.exe", 0, 1000, ""});
    {
        cApplicationLauncher launcher(Sim.Get(), "net.exe", 0x03);
        ASSERT_TRUE(launcher.Launch("stop x"));
        ASSERT_TRUE(launcher.Launch("start x"));
        EXPECT_EQ(Sim.Processes().OpenProcessHandles(), 1);
        // The elevated path keeps no process: nothing to wait for.
        ASSERT_TRUE(launcher.LaunchElevated("start x"));
        EXPECT_EQ(Sim.Processes().OpenProcessHandles(), 0);
        EXPECT_EQ(launcher.WaitForExit(5000), EXIT_CODE_STILL_ACTIVE);
        EXPECT_EQ(Sim.Clock().Now(), 0u);
        ASSERT_TRUE(launcher.Launch("start x"));
    }
    EXPECT_EQ(Sim.Processes().OpenProcessHandles(), 0);
}

TEST_F(ApplicationLauncher, ElevatedStartGoesThroughTheRunAsVerb)
{
    {
        cApplicationLauncher launcher(Sim.Get(), SLUMBERHOLD, 0);
        ASSERT_TRUE(launcher.LaunchElevated("CONFIGURATOR"));
    }
    {
        cApplicationLauncher launcher(Sim.Get(), "powercfg.exe", ALF_ELEVATE | 0x43);
        ASSERT_TRUE(launcher.Launch("-h off"));
    }
    ASSERT_EQ(Launches().size(), 2u);
    EXPECT_EQ(Launches()[0].Kind, eSimLaunchKind::RunAs);
    EXPECT_EQ(Launches()[0].Application, SLUMBERHOLD);
    EXPECT_EQ(Launches()[0].Parameters, "CONFIGURATOR");
    EXPECT_EQ(Launches()[0].Show, SHOW_NORMAL);
    // The shell is the file; its arguments lead the parameters.
    EXPECT_EQ(Launches()[1].Kind, eSimLaunchKind::RunAs);
    EXPECT_EQ(Launches()[1].Application, "cmd.exe");
    EXPECT_EQ(Launches()[1].Parameters,
              "/d /v:on /c \"powercfg.exe\" -h off >C:\\Temp\\pow1A.tmp 2>&1 & exit /b !errorlevel!");

    Sim.Processes().AddProgram({"Slumberhold.exe", 0, 0, "", 1223});  // the user declined
    cApplicationLauncher declined(Sim.Get(), SLUMBERHOLD, ALF_ELEVATE);
    EXPECT_FALSE(declined.Launch("CONFIGURATOR"));
    EXPECT_EQ(Sim.Errors().GetLastError(), 1223u);
}

struct cDesktopUserCase {
    const char* Name;
    bool HasGetProductInfo;
    uint32_t Level;
    uint32_t LevelError;
    uint32_t ShellTokenError;
    bool Started;
    eSimLaunchKind Kind;  // when something was started or tried
    uint32_t Error;
};

TEST_F(ApplicationLauncher, DesktopUserStartUsesTheShellTokenOnlyWhenElevated)
{
    const cDesktopUserCase cases[] = {
        {"medium level", true, 0x2000, 0, 0, true, eSimLaunchKind::CreateProcessW, 0},
        {"high level", true, 0x3000, 0, 0, true, eSimLaunchKind::DesktopShellToken, 0},
        {"XP family", false, 0x3000, 0, 0, true, eSimLaunchKind::CreateProcessW, 0},
        {"no desktop shell", true, 0x3000, 0, 1400, false, eSimLaunchKind::DesktopShellToken, 1400},
        {"level unreadable", true, 0x3000, 5, 0, false, eSimLaunchKind::WinExec, 5},
    };
    // Far longer than a fixed buffer of 100 characters would take.
    const std::string parameters = "/e \"" + std::string(150, 'x') + ".reg\"";
    for (const cDesktopUserCase& c : cases) {
        SCOPED_TRACE(c.Name);
        cSimWindows sim;
        sim.Processes().SetHasGetProductInfo(c.HasGetProductInfo);
        sim.Processes().SetIntegrityLevel(c.Level, c.LevelError);
        sim.Processes().SetDesktopShellTokenError(c.ShellTokenError);
        cApplicationLauncher launcher(sim.Get(), "regedit.exe", ALF_COMMAND_SHELL | ALF_AS_DESKTOP_USER);
        EXPECT_EQ(launcher.Launch(parameters), c.Started);
        if (!c.Started)
            EXPECT_EQ(sim.Errors().GetLastError(), c.Error);
        if (c.LevelError != 0) {
            EXPECT_TRUE(sim.Processes().Launches().empty());
            continue;
        }
        ASSERT_EQ(sim.Processes().Launches().size(), 1u);
        const cSimLaunch& launch = sim.Processes().Launches()[0];
        EXPECT_EQ(launch.Kind, c.Kind);
        EXPECT_EQ(launch.Application, CMD);
        EXPECT_EQ(launch.CommandLine,
                  "placeholder /d /v:on /c \"regedit.exe\" " + parameters + " & exit /b !errorlevel!");
        // No handles are kept on this path.
        EXPECT_EQ(sim.Processes().OpenProcessHandles(), 0);
        EXPECT_EQ(launcher.WaitForExit(1000), EXIT_CODE_STILL_ACTIVE);
        EXPECT_EQ(sim.Clock().Now(), 0u);
    }
}

}  // namespace
