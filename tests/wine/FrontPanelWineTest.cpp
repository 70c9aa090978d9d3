// The front panel manager under Wine: the stand-in FPManager.exe runs from
// the Intel install folder, and a user resume makes the engine end it.
#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <filesystem>

#include "LogFile.h"
#include "WineTest.h"

namespace {

using namespace std::chrono_literals;

const std::string ENGINE_TITLE = "Slumberhold - Engine mode";
const std::string LOG_FOLDER = "C:\\slhtest";
const std::string INSTALL_FOLDER = "C:\\Program Files\\intel\\intel front panel manager";
constexpr uint32_t WM_POWERBROADCAST = 0x0218;
constexpr uint64_t PBT_APMRESUMESUSPEND = 7;
constexpr uint64_t PBT_APMRESUMEAUTOMATIC = 0x12;

// The stand-in of the Windows build, wherever the build put it.
std::filesystem::path StandIn()
{
    const char* build = std::getenv("SLH_WIN64_DIR");
    if (build == nullptr)
        return {};
    for (const auto& entry : std::filesystem::recursive_directory_iterator(build))
        if (entry.path().filename() == "FPManager.exe")
            return entry.path();
    return {};
}

}  // namespace

TEST_F(cSlumberholdWineTest, AUserResumeEndsTheFrontPanelManagerWhenAsked)
{
    const std::filesystem::path standIn = StandIn();
    ASSERT_FALSE(standIn.empty()) << "no FPManager.exe in the build";
    std::filesystem::create_directories(HostPath(INSTALL_FOLDER));
    std::filesystem::copy_file(standIn, HostPath(INSTALL_FOLDER + "\\FPManager.exe"));
    ASSERT_TRUE(Registry().SetDword(SETTINGS_KEY, "LogMode", 1));
    ASSERT_TRUE(Registry().SetString(SETTINGS_KEY, "LogPath", LOG_FOLDER));
    ASSERT_TRUE(Registry().SetDword(SETTINGS_KEY, "FPManager_KillAtResume", 1));
    cBoxWatcher& boxes = WatchMessageBoxes();

    // Started from the build's copy, which stays in the test's process group.
    cChildProcess& starter = StartHelper("FPManager.exe", {INSTALL_FOLDER + "\\FPManager.exe"});
    ASSERT_EQ(starter.WaitForExit(WINDOW_TIMEOUT), 0) << "the stand-in could not be started";
    const cWindowName standInWindow{"SlhFpManagerStandIn", ""};
    ASSERT_TRUE(Windows().WaitUntilPresent(standInWindow, WINDOW_TIMEOUT)) << "the stand-in did not start";
    const std::optional<std::string> title = Windows().Title(standInWindow);
    ASSERT_TRUE(title);
    const std::string installed = INSTALL_FOLDER + "\\FPManager.exe";
    EXPECT_TRUE(std::equal(title->begin(), title->end(), installed.begin(), installed.end(),
                           [](char a, char b) { return std::tolower(a) == std::tolower(b); }))
        << *title;

    cSlumberholdProcess& program = StartSlumberhold({"ENGINE"});
    ASSERT_TRUE(program.WaitForWindow(ENGINE_TITLE, WINDOW_TIMEOUT));
    const cWindowName window = cSlumberholdProcess::Window(ENGINE_TITLE);
    // An automatic wake leaves it alone; the user's arrival restores the
    // front-ends and then ends it.
    EXPECT_EQ(Windows().Send(window, WM_POWERBROADCAST, PBT_APMRESUMEAUTOMATIC, 0), 1);
    EXPECT_TRUE(Windows().WaitUntilPresent(standInWindow, WINDOW_TIMEOUT));
    EXPECT_EQ(Windows().Send(window, WM_POWERBROADCAST, PBT_APMRESUMESUSPEND, 0), 1);
    EXPECT_TRUE(Windows().WaitUntilGone(standInWindow, WINDOW_TIMEOUT));

    const std::optional<cLogContent> log = ReadLogFile(HostPath(LOG_FOLDER + "\\SLH Log.txt"));
    ASSERT_TRUE(log) << "no log file";
    const std::vector<std::string> entries = LogEntries(*log);
    const auto killing =
        std::find(entries.begin(), entries.end(), "Killing \"Intel Front Panel Manager Service\" (FPManager.exe)");
    ASSERT_NE(killing, entries.end()) << testing::PrintToString(entries);
    ASSERT_NE(killing + 1, entries.end());
    EXPECT_EQ(*(killing + 1), "Killing \"Intel Front Panel Manager Service\" done, exitcode=0");
    EXPECT_EQ(std::count(entries.begin(), entries.end(),
                         "Killing \"Intel Front Panel Manager Service\" (FPManager.exe)"),
              1);

    ASSERT_TRUE(program.Close(ENGINE_TITLE));
    EXPECT_EQ(program.WaitForExit(EXIT_TIMEOUT), 0);
    EXPECT_EQ(boxes.Stop(), WineStartupBoxes());
    // Found in its folder: remembered for the user.
    EXPECT_EQ(Registry().Read("HKCU\\Software\\Velderane\\Slumberhold", "FPManager_IsInstalled"), DwordEntry(1));
}
