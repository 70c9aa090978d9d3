// The Vista family of the OS configuration on the real Windows backend,
// under Wine's Windows 7, whose powrprof.dll lacks the power-setting
// functions of Vista and later: the program says so, writes no setting and
// goes on; the powercfg.exe stand-in records the command lines.
#include "WineTest.h"

namespace {

using namespace std::chrono_literals;

const std::string ENGINE_TITLE = "Slumberhold - Engine mode";
const std::string POWER_KEY = "HKLM\\System\\CurrentControlSet\\Control\\Session Manager\\Power";
const std::string HIDUSB_KEY = "HKLM\\SYSTEM\\CurrentControlSet\\Services\\HidUsb";
constexpr auto SLEEP_STATE_TIMEOUT = 60s;
const std::string HYBRID = "SUB_SLEEP 94ac6d29-73ce-41a6-809f-6363ba21b47e ";

}  // namespace

TEST_F(cSlumberholdWineTest, Windows7EngineGetsTheWindows7ConfigurationAndGoesOnWithoutPowerSettings)
{
    cBoxWatcher& boxes = WatchMessageBoxes();
    cSlumberholdProcess& program = StartSlumberhold({"ENGINE"});
    ASSERT_TRUE(program.WaitForWindow(ENGINE_TITLE, WINDOW_TIMEOUT));
    ASSERT_TRUE(program.Close(ENGINE_TITLE));
    EXPECT_EQ(program.WaitForExit(EXIT_TIMEOUT), 0);
    EXPECT_EQ(WithoutSummaryBoxes(boxes.Stop()), WineStartupBoxes());
}

// Hybrid sleep and then hibernation, each applied as the settings window
// does: powercfg gets its command lines in order, every power-setting write
// fails and is reported once, and no registry value is touched.
TEST_F(cSlumberholdWineTest, SleepStatesOnWindows7RunPowercfgAndReportTheSettingsTheyCannotWrite)
{
    struct cCase {
        std::string State;
        std::vector<std::string> Powercfg;
    };
    const cCase cases[] = {
        {"101",
         {"/hibernate on", "/hibernate on", "-setacvalueindex SCHEME_CURRENT " + HYBRID + "1",
          "-setdcvalueindex SCHEME_CURRENT " + HYBRID + "1", "-setactive SCHEME_CURRENT"}},
        {"5",
         {"/hibernate on", "-setacvalueindex SCHEME_CURRENT " + HYBRID + "0",
          "-setdcvalueindex SCHEME_CURRENT " + HYBRID + "0", "-setactive SCHEME_CURRENT"}},
    };
    cBoxWatcher& boxes = WatchMessageBoxes();
    std::vector<cBoxRecord> expected;
    for (const cCase& test : cases) {
        SCOPED_TRACE(test.State);
        Powercfg().ClearRecord();
        const cRunResult run = RunHelper("slhsleepstate.exe", {test.State}, SLEEP_STATE_TIMEOUT);
        ASSERT_TRUE(run.Finished) << "slhsleepstate did not end";
        EXPECT_EQ(run.ExitCode, 0);
        EXPECT_EQ(TextLines(run.Output), (std::vector<std::string>{"name=Windows 7", "result=1"}));
        EXPECT_EQ(Powercfg().Runs(), test.Powercfg);
        expected.push_back(WineStartupBoxes().front());
        expected.push_back({"Error!", "Failed to set PowerValue."});
    }
    EXPECT_EQ(boxes.Stop(), expected);
    EXPECT_FALSE(Registry().Read(POWER_KEY, "AwayModeEnabled"));
    EXPECT_FALSE(Registry().Read(HIDUSB_KEY, "FastResumeDisable"));
}
