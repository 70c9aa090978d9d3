#include <gtest/gtest.h>

#include "configurator/PowercfgReports.h"
#include "platform/WinConst.h"
#include "platform/sim/SimWindows.h"

namespace {

constexpr WindowHandle MAIN_WINDOW = 0x4711;
constexpr const char* TEMP_DIR = "C:\\Temp\\";
constexpr const char* CMD = "C:\\Windows\\system32\\cmd.exe";
// OEM code page 850 bytes: "Ger\x84t" is "Gerät" in a German console.
constexpr const char* OEM_REPORT = "Wake History Count - 1\r\nWake Source [0]\r\n  Ger\x84t: USB-Eingabeger\x84t\r\n";

// The file a command line redirects the output into.
std::string RedirectTarget(const std::string& commandLine)
{
    const size_t at = commandLine.find(" >") + 2;
    return commandLine.substr(at, commandLine.find(' ', at) - at);
}

class PowercfgReports : public ::testing::Test {
protected:
    void SetUp() override
    {
        Sim.Files().CreateDirectory("C:\\Temp");
        Sim.Files().SetTempPath(TEMP_DIR);
    }

    void Tool(uint32_t exitCode, const std::string& output, uint64_t runTime = 0)
    {
        cSimProgram powercfg;
        powercfg.Match = "\"powercfg.exe\"";
        powercfg.ExitCode = exitCode;
        powercfg.Output = output;
        powercfg.RunTime = runTime;
        Sim.Processes().AddProgram(powercfg);
    }

    const std::vector<cSimViewing>& Viewed() { return Sim.Viewer().Shown(); }
    const std::vector<cSimMessageBox>& Boxes() { return Sim.Dialogs().Shown(); }

    cSimWindows Sim;
    cPowercfgReports Reports{Sim.Get(), Sim.Viewer(), MAIN_WINDOW};
};

TEST_F(PowercfgReports, EachReportRunsTheToolHiddenThroughTheShellAndShowsItsOutputByteForByte)
{
    const struct {
        const char* Parameter;
        const char* CommandLine;
    } cases[] = {
        {REPORT_LAST_WAKE,
         "placeholder /d /v:on /c \"powercfg.exe\" -lastwake >C:\\Temp\\pow1.tmp 2>&1 & exit /b !errorlevel!"},
        {REPORT_SLEEP_BLOCKERS,
         "placeholder /d /v:on /c \"powercfg.exe\" -requests >C:\\Temp\\pow2.tmp 2>&1 & exit /b !errorlevel!"},
        {REPORT_WAKE_TIMERS,
         "placeholder /d /v:on /c \"powercfg.exe\" -waketimers >C:\\Temp\\pow3.tmp 2>&1 & exit /b !errorlevel!"},
    };
    Tool(0, OEM_REPORT);
    // The viewer loads the file before the launcher goes.
    std::vector<bool> fileWhileShown;
    Sim.Viewer().WhileShown([&](const cSimViewing&) {
        fileWhileShown.push_back(
            Sim.Files().FileExists(RedirectTarget(Sim.Processes().Launches().back().CommandLine)));
    });
    for (size_t i = 0; i < std::size(cases); ++i) {
        SCOPED_TRACE(cases[i].Parameter);
        Reports.ShowPowercfgReport(cases[i].Parameter);
        ASSERT_EQ(Sim.Processes().Launches().size(), i + 1);
        const cSimLaunch& launch = Sim.Processes().Launches()[i];
        EXPECT_EQ(launch.Application, CMD);
        EXPECT_EQ(launch.CommandLine, cases[i].CommandLine);
        EXPECT_EQ(launch.Show, SHOW_HIDE);
        ASSERT_EQ(Viewed().size(), i + 1);
        EXPECT_EQ(Viewed()[i].Text, OEM_REPORT);
        EXPECT_EQ(Viewed()[i].Owner, MAIN_WINDOW);
        EXPECT_TRUE(fileWhileShown[i]);
    }
    // Every report removed its temporary file once the viewer had closed.
    for (const char* name : {"C:\\Temp\\pow1.tmp", "C:\\Temp\\pow2.tmp", "C:\\Temp\\pow3.tmp"})
        EXPECT_FALSE(Sim.Files().FileExists(name)) << name;
    EXPECT_EQ(Sim.Processes().OpenProcessHandles(), 0);
    EXPECT_TRUE(Boxes().empty());
}

TEST_F(PowercfgReports, ExitCodeOneShowsTheFailedBoxAndNoViewer)
{
    Tool(1, "Invalid Parameters -- try \"/?\" for help\r\n");
    Reports.ShowPowercfgReport(REPORT_WAKE_TIMERS);

    EXPECT_TRUE(Viewed().empty());
    ASSERT_EQ(Boxes().size(), 1u);
    EXPECT_EQ(Boxes()[0].Text, "Not supported by this operating system or insufficient rights.");
    EXPECT_EQ(Boxes()[0].Caption, "Failed");
    EXPECT_EQ(Boxes()[0].Style, MB_OK | MB_ICONERROR);
    EXPECT_EQ(Boxes()[0].Owner, MAIN_WINDOW);
    EXPECT_FALSE(Sim.Files().FileExists("C:\\Temp\\pow1.tmp"));
}

TEST_F(PowercfgReports, AnyOtherEndShowsWhateverTheFileHolds)
{
    const struct {
        const char* Name;
        uint32_t ExitCode;
        uint64_t RunTime;
        const char* Output;
        uint64_t Waited;  // virtual ms the main thread spent
    } cases[] = {
        {"another failure", 2, 0, "partial\r\n", 20},
        {"a report that prints nothing", 0, 0, "", 20},
        // Still running after 30 s: its exit code reads 259.
        {"a hanging report", 0, cSimProgram::RUNS_FOREVER, "so far\r\n", 30000},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Name);
        cSimWindows sim;
        sim.Files().CreateDirectory("C:\\Temp");
        sim.Files().SetTempPath(TEMP_DIR);
        cSimProgram powercfg;
        powercfg.Match = "powercfg.exe";
        powercfg.ExitCode = c.ExitCode;
        powercfg.RunTime = c.RunTime;
        powercfg.Output = c.Output;
        sim.Processes().AddProgram(powercfg);
        cPowercfgReports reports(sim.Get(), sim.Viewer(), MAIN_WINDOW);
        const uint64_t before = sim.Clock().Now();

        reports.ShowPowercfgReport(REPORT_SLEEP_BLOCKERS);

        EXPECT_GE(sim.Clock().Now() - before, c.Waited);
        EXPECT_LT(sim.Clock().Now() - before, c.Waited + 100);
        ASSERT_EQ(sim.Viewer().Shown().size(), 1u);
        EXPECT_EQ(sim.Viewer().Shown()[0].Text, c.Output);
        EXPECT_TRUE(sim.Dialogs().Shown().empty());
    }
}

TEST_F(PowercfgReports, AShellThatDoesNotStartGivesAnEmptyViewer)
{
    cSimProgram shell;
    shell.Match = "cmd.exe";
    shell.StartError = 2;
    Sim.Processes().AddProgram(shell);

    Reports.ShowPowercfgReport(REPORT_LAST_WAKE);

    ASSERT_EQ(Viewed().size(), 1u);
    EXPECT_EQ(Viewed()[0].Text, "");
    EXPECT_FALSE(Sim.Files().FileExists("C:\\Temp\\pow1.tmp"));
}

}  // namespace
