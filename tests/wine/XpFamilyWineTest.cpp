// The Windows XP family on the real Windows backend: a prefix that reports
// XP x64 (version 5.2), where the program must choose its XP classes.
#include <algorithm>

#include "LogFile.h"
#include "WineTest.h"

namespace {

using namespace std::chrono_literals;

const std::string ENGINE_TITLE = "Slumberhold - Engine mode";
const std::string LOG_FOLDER = "C:\\slhtest";
const std::string USB_KEY = "HKLM\\SYSTEM\\CurrentControlSet\\Services\\usb";
constexpr auto SLEEP_STATE_TIMEOUT = 60s;

// What a 64-bit program sees of XP x64 in Wine: 5.2 build 3790. Takes
// effect for programs started afterwards.
bool ReportXpX64(const cWineRegistry& registry)
{
    return registry.SetString("HKCU\\Software\\Wine", "Version", "winxp64");
}

}  // namespace

TEST_F(cSlumberholdWineTest, XpFamilyGetsTheXpEngineWithItsLongerDelays)
{
    ASSERT_TRUE(ReportXpX64(Registry()));
    ASSERT_TRUE(Registry().SetDword(SETTINGS_KEY, "LogMode", 1));
    ASSERT_TRUE(Registry().SetString(SETTINGS_KEY, "LogPath", LOG_FOLDER));
    cBoxWatcher& boxes = WatchMessageBoxes();

    cSlumberholdProcess& program = StartSlumberhold({"ENGINE"});
    ASSERT_TRUE(program.WaitForWindow(ENGINE_TITLE, WINDOW_TIMEOUT));
    ASSERT_TRUE(program.Close(ENGINE_TITLE));
    EXPECT_EQ(program.WaitForExit(EXIT_TIMEOUT), 0);
    EXPECT_EQ(WithoutSummaryBoxes(boxes.Stop()), std::vector<cBoxRecord>{});

    // A first start writes the XP defaults.
    const auto settings = Registry().ReadKey(SETTINGS_KEY);
    ASSERT_TRUE(settings);
    EXPECT_EQ(settings->at("MaxSuspendDelay"), DwordEntry(20000));
    EXPECT_EQ(settings->at("eHomeCloseDelay"), DwordEntry(5000));

    // The XP engine sleeps on the main thread: no sleep thread announces
    // itself.
    const std::optional<cLogContent> log = ReadLogFile(HostPath(LOG_FOLDER + "\\SLH Log.txt"));
    ASSERT_TRUE(log) << "no log file";
    const std::vector<std::string> entries = LogEntries(*log);
    EXPECT_EQ(std::count(entries.begin(), entries.end(), "Starting Slumberhold"), 1);
    EXPECT_TRUE(std::none_of(entries.begin(), entries.end(),
                             [](const std::string& entry) { return entry.starts_with("cSuspendInitiator"); }))
        << testing::PrintToString(entries);
}

// Choosing hibernation on XP: the two powercfg.exe runs (the stand-in
// records them), each waited for, and Wine's unimplemented power policies
// reported in boxes that do not stop the rest.
TEST_F(cSlumberholdWineTest, HibernationOnTheXpFamilyRunsPowercfgAndGoesOnPastUnreadablePolicies)
{
    ASSERT_TRUE(ReportXpX64(Registry()));
    // Each powercfg run then lasts a second: a step that did not wait for
    // it would overtake it in the record.
    Powercfg().SetDelay(1000);
    cBoxWatcher& boxes = WatchMessageBoxes();

    const cRunResult run = RunHelper("slhsleepstate.exe", {"5"}, SLEEP_STATE_TIMEOUT);
    ASSERT_TRUE(run.Finished) << "slhsleepstate did not end";
    EXPECT_EQ(run.ExitCode, 0);
    // 5.2 is XP x64 or Server 2003: the Server 2003 class of the XP family.
    EXPECT_EQ(TextLines(run.Output), (std::vector<std::string>{"name=Windows server 2003", "result=1"}));

    EXPECT_EQ(Powercfg().Record(),
              (std::vector<std::string>{"started: /hibernate on", "ended: /hibernate on",
                                        "started: /GLOBALPOWERFLAG off /OPTION RESUMEPASSWORD",
                                        "ended: /GLOBALPOWERFLAG off /OPTION RESUMEPASSWORD"}));
    // The administrator policy, then the AC and the DC policy.
    EXPECT_EQ(boxes.Stop(), (std::vector<cBoxRecord>{{"Error", "Reading power policy failed, unknown error."},
                                                     {"Error", "Reading PowerInformation failed, unknown error."},
                                                     {"Error", "Reading PowerInformation failed, unknown error."}}));
    // The step between the two runs: the selective-suspend fix.
    EXPECT_EQ(Registry().Read(USB_KEY, "DisableSelectiveSuspend"), DwordEntry(1));
}
