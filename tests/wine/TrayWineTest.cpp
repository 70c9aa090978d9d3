// The tray icon, its menu commands and the engine status exchange of
// Slumberhold.exe under Wine, driven through slhmsg.exe.
#include <algorithm>
#include <map>
#include <regex>
#include <set>
#include <sstream>

#include "LogFile.h"
#include "WineTest.h"

namespace {

using namespace std::chrono_literals;

const std::string ENGINE_TITLE = "Slumberhold - Engine mode";
const std::string PLAIN_TITLE = "Slumberhold";
const std::string LOG_FOLDER = "C:\\slhtest";
const std::string LOG_FILE = LOG_FOLDER + "\\SLH Log.txt";
constexpr uint32_t WM_COMMAND = 0x0111;
constexpr const char* DOUBLE_CLICK = "0x0203";
// The tray menu's "Exit".
constexpr uint64_t EXIT_COMMAND = 0x7E02;
constexpr auto HELPER_TIMEOUT = 30s;
constexpr auto STATUS_TIMEOUT = 20s;

struct cListedWindow {
    std::string Handle;
    std::string ProcessId;
    std::string Title;
};

std::vector<cListedWindow> ParseWindowList(const std::string& output)
{
    std::vector<cListedWindow> windows;
    std::istringstream lines(output);
    std::string line;
    while (std::getline(lines, line)) {
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        const size_t first = line.find('\t');
        const size_t second = line.find('\t', first + 1);
        if (first == std::string::npos || second == std::string::npos)
            continue;
        windows.push_back({line.substr(0, first), line.substr(first + 1, second - first - 1), line.substr(second + 1)});
    }
    return windows;
}

std::map<std::string, std::string> ParseFields(const std::string& output)
{
    std::map<std::string, std::string> fields;
    std::istringstream lines(output);
    std::string line;
    while (std::getline(lines, line)) {
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        const size_t equals = line.find('=');
        if (equals != std::string::npos)
            fields[line.substr(0, equals)] = line.substr(equals + 1);
    }
    return fields;
}

bool Contains(const cLogContent& log, const std::string& text)
{
    return std::any_of(log.Lines.begin(), log.Lines.end(),
                       [&](const std::string& line) { return line.find(text) != std::string::npos; });
}

// The fields that "slhmsg status" printed; none when it failed.
std::map<std::string, std::string> StatusFields(const cRunResult& read)
{
    return read.Finished && read.ExitCode == 0 ? ParseFields(read.Output) : std::map<std::string, std::string>{};
}

const std::vector<std::string> LIST_WINDOWS = {"TApplication", "", "windows"};
const std::vector<std::string> READ_STATUS = {"", "", "status"};
const std::vector<std::string> DOUBLE_CLICK_ENGINE = {"TApplication", ENGINE_TITLE, "tray", DOUBLE_CLICK};

}  // namespace

TEST_F(cSlumberholdWineTest, TheTrayIconOpensOneConfiguratorAndExitClosesTheEngine)
{
    ASSERT_TRUE(Registry().SetDword(SETTINGS_KEY, "LogMode", 1));
    ASSERT_TRUE(Registry().SetString(SETTINGS_KEY, "LogPath", LOG_FOLDER));
    auto applicationWindows = [&] { return ParseWindowList(RunHelper("slhmsg.exe", LIST_WINDOWS, HELPER_TIMEOUT).Output); };
    auto doubleClick = [&] {
        const cRunResult sent = RunHelper("slhmsg.exe", DOUBLE_CLICK_ENGINE, HELPER_TIMEOUT);
        return sent.Finished && sent.ExitCode == 0;
    };
    cBoxWatcher& boxes = WatchMessageBoxes();
    cSlumberholdProcess& engine = StartSlumberhold({"ENGINE"});
    ASSERT_TRUE(engine.WaitForWindow(ENGINE_TITLE, WINDOW_TIMEOUT));
    const auto started = WaitForLogFile(HostPath(LOG_FILE),
                                        [](const cLogContent& log) { return Contains(log, "Initialisation done"); },
                                        WINDOW_TIMEOUT);
    ASSERT_TRUE(started) << "no start-up in the log";
    EXPECT_FALSE(Contains(*started, "MoveToTray() failed"));

    ASSERT_TRUE(doubleClick());
    ASSERT_TRUE(Windows().WaitUntilPresent(cSlumberholdProcess::Window(PLAIN_TITLE), WINDOW_TIMEOUT));
    const std::vector<cListedWindow> two = applicationWindows();
    ASSERT_EQ(two.size(), 2u);
    EXPECT_NE(two[0].ProcessId, two[1].ProcessId);
    std::set<std::string> titles{two[0].Title, two[1].Title};
    EXPECT_EQ(titles, (std::set<std::string>{ENGINE_TITLE, PLAIN_TITLE}));

    // The second double click finds the configurator: no third process
    // appears while a new one would have had time to show its window.
    ASSERT_TRUE(doubleClick());
    const auto quietUntil = std::chrono::steady_clock::now() + 5s;
    while (std::chrono::steady_clock::now() < quietUntil) {
        ASSERT_EQ(applicationWindows().size(), 2u);
    }

    // "Exit" asks (the watcher answers Yes); the configurator follows its engine.
    ASSERT_TRUE(Windows().Post(cSlumberholdProcess::Window(ENGINE_TITLE), WM_COMMAND, EXIT_COMMAND));
    EXPECT_EQ(engine.WaitForExit(EXIT_TIMEOUT), 0);
    EXPECT_TRUE(Windows().WaitUntilGone(cSlumberholdProcess::Window(PLAIN_TITLE), WINDOW_TIMEOUT));
    // Each start of the program under Wine shows the powrprof.dll box first.
    std::vector<cBoxRecord> shown = WithoutSummaryBoxes(boxes.Stop());
    EXPECT_EQ(std::erase(shown, WineStartupBoxes().front()), 2u);
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_EQ(shown[0].Caption, "Close Slumberhold");
    const auto log = ReadLogFile(HostPath(LOG_FILE));
    ASSERT_TRUE(log);
    EXPECT_TRUE(Contains(*log, "Starting frontend: Slumberhold"));
    EXPECT_TRUE(Contains(*log, "FormClose"));
}

TEST_F(cSlumberholdWineTest, TheEnginePublishesItsStatusBlockForOtherProcesses)
{
    auto statusBlock = [&] { return StatusFields(RunHelper("slhmsg.exe", READ_STATUS, HELPER_TIMEOUT)); };
    cBoxWatcher& boxes = WatchMessageBoxes();
    // Detection resumes 4 s after the start.
    ASSERT_TRUE(Registry().SetDword(SETTINGS_KEY, "SuspendIdleOnResume", 4000));
    cSlumberholdProcess& engine = StartSlumberhold({"ENGINE"});
    ASSERT_TRUE(engine.WaitForWindow(ENGINE_TITLE, WINDOW_TIMEOUT));

    const std::regex elapsed(R"(\d+:\d\d\.\d\d)");
    std::map<std::string, std::string> fields;
    bool sawSuspended = false;
    const auto deadline = std::chrono::steady_clock::now() + STATUS_TIMEOUT;
    while (std::chrono::steady_clock::now() < deadline) {
        fields = statusBlock();
        if (fields.empty() || fields["lastinput"].empty())
            continue;
        ASSERT_EQ(fields["version"], "4");
        ASSERT_EQ(fields["terminated"], "1");
        ASSERT_EQ(fields["extenders"], "0");
        EXPECT_TRUE(std::regex_match(fields["lastinput"], elapsed)) << fields["lastinput"];
        if (fields["mediacenter"] == "Detection suspended") {
            EXPECT_EQ(fields["recording"], "Detection suspended");
            sawSuspended = true;
        } else if (sawSuspended) {
            break;
        }
    }
    EXPECT_TRUE(sawSuspended);
    // Wine has no Media Center: its texts once detection runs.
    const std::set<std::string> mediaCenterTexts{"Not monitored", "Installation error or no MCE", "Not running"};
    EXPECT_EQ(mediaCenterTexts.count(fields["mediacenter"]), 1u) << fields["mediacenter"];
    const std::set<std::string> recordingTexts{"Not monitored", "None"};
    EXPECT_EQ(recordingTexts.count(fields["recording"]), 1u) << fields["recording"];

    ASSERT_TRUE(engine.Close(ENGINE_TITLE));
    EXPECT_EQ(engine.WaitForExit(EXIT_TIMEOUT), 0);
    // The block and its backing file go with the engine.
    EXPECT_TRUE(statusBlock().empty());
    EXPECT_EQ(WithoutSummaryBoxes(boxes.Stop()), WineStartupBoxes());
}

TEST_F(cSlumberholdWineTest, AConfiguratorWaitsForAnEngineAndEndsWithIt)
{
    cBoxWatcher& boxes = WatchMessageBoxes();
    cSlumberholdProcess& configurator = StartSlumberhold({});
    ASSERT_TRUE(configurator.WaitForWindow(PLAIN_TITLE, WINDOW_TIMEOUT));
    // The window exists before its pages are built; it shows once they are.
    const cWindowName window = cSlumberholdProcess::Window(PLAIN_TITLE);
    const auto shownBy = std::chrono::steady_clock::now() + WINDOW_TIMEOUT;
    while (!Windows().IsVisible(window).value_or(false) && std::chrono::steady_clock::now() < shownBy) {
    }
    ASSERT_TRUE(Windows().IsVisible(window).value_or(false));
    // An engine of another build, with a block of format 3, for 6 seconds.
    cChildProcess& fake = StartHelper("slhmsg.exe", {"", "", "fakeengine", "3", "6"});
    (void)fake;
    ASSERT_TRUE(Windows().WaitUntilPresent(cSlumberholdProcess::Window(ENGINE_TITLE), WINDOW_TIMEOUT));
    // Still there while the engine runs: the foreign block does not stop it.
    EXPECT_TRUE(Windows().IsVisible(window).value_or(false));
    ASSERT_TRUE(Windows().WaitUntilGone(cSlumberholdProcess::Window(ENGINE_TITLE), WINDOW_TIMEOUT));
    EXPECT_EQ(configurator.WaitForExit(EXIT_TIMEOUT), 0);
    EXPECT_EQ(WithoutSummaryBoxes(boxes.Stop()), WineStartupBoxes());
}
