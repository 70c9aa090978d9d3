// Start-up, run modes and shut-down of Slumberhold.exe under Wine.
#include <algorithm>
#include <array>
#include <filesystem>
#include <regex>

#include "LogFile.h"
#include "WineTest.h"

namespace {

using namespace std::chrono_literals;

const std::string ENGINE_TITLE = "Slumberhold - Engine mode";
const std::string PLAIN_TITLE = "Slumberhold";
const std::string LOG_NAME = "SLH Log.txt";

// The compiler's build date and time, "Dec 10 2026, 14:07:18" (the
// compiler pads a one-digit day with a blank).
bool IsBuildDateTime(const std::string& text)
{
    static const std::regex layout(
        R"((Jan|Feb|Mar|Apr|May|Jun|Jul|Aug|Sep|Oct|Nov|Dec) [ 0-3]\d \d{4}, [0-2]\d:[0-5]\d:[0-5]\d)");
    return std::regex_match(text, layout);
}

std::vector<std::string> FirstLineTexts(const cLogContent& log)
{
    std::vector<std::string> texts;
    for (const std::string& line : log.Lines) {
        const cLogLine parsed = ParseLogLine(line);
        if (parsed.Kind == cLogLine::eKind::First)
            texts.push_back(parsed.Text);
    }
    return texts;
}

std::string Joined(const std::vector<std::string>& switches)
{
    std::string text = "switches:";
    for (const std::string& word : switches)
        text += " " + word;
    return text;
}

void ExpectFirstLine(const std::string& line, const std::string& text)
{
    const cLogLine parsed = ParseLogLine(line);
    EXPECT_EQ(parsed.Kind, cLogLine::eKind::First) << line;
    EXPECT_EQ(parsed.Text, text);
}

}  // namespace

TEST_F(cSlumberholdWineTest, EngineModeRunsHiddenAndLogsItsStartAndEnd)
{
    const std::string logFolder = "C:\\slhtest\\log";
    ASSERT_TRUE(Registry().SetDword(SETTINGS_KEY, "LogMode", 1));
    ASSERT_TRUE(Registry().SetString(SETTINGS_KEY, "LogPath", logFolder));
    cBoxWatcher& boxes = WatchMessageBoxes();
    const auto started = std::chrono::system_clock::now();

    cSlumberholdProcess& program = StartSlumberhold({"ENGINE"});
    ASSERT_TRUE(program.WaitForWindow(ENGINE_TITLE, WINDOW_TIMEOUT));
    EXPECT_EQ(Windows().IsVisible(cSlumberholdProcess::Window(ENGINE_TITLE)), false);
    ASSERT_TRUE(program.Close(ENGINE_TITLE));
    EXPECT_EQ(program.WaitForExit(EXIT_TIMEOUT), 0);
    const auto ended = std::chrono::system_clock::now();
    EXPECT_EQ(boxes.Stop(), WineStartupBoxes());

    // Settings that were missing are written with their defaults.
    const auto settings = Registry().ReadKey(SETTINGS_KEY);
    ASSERT_TRUE(settings) << "reg query failed";
    std::map<std::string, cRegistryEntry> defaults;
    for (const char* name : {"SuspendIdleOnResume", "LogWindowsIdleDetails", "StoreTaskLists"}) {
        if (settings->count(name))
            defaults[name] = settings->at(name);
    }
    EXPECT_EQ(defaults, (std::map<std::string, cRegistryEntry>{{"SuspendIdleOnResume", DwordEntry(0)},
                                                               {"LogWindowsIdleDetails", DwordEntry(0)},
                                                               {"StoreTaskLists", DwordEntry(0)}}))
        << "the key holds " << testing::PrintToString(*settings);

    const std::optional<cLogContent> log = ReadLogFile(HostPath(logFolder + "\\" + LOG_NAME));
    ASSERT_TRUE(log) << "no log file";
    EXPECT_TRUE(log->CrLfOnly);
    const std::vector<std::string>& lines = log->Lines;
    // Objects built before the banner (the engine) may write first, and a
    // new log file may begin with a report of the system.
    const auto banner = std::find(lines.begin(), lines.end(), CONTINUATION_INDENT + std::string(51, '-'));
    ASSERT_NE(banner, lines.end()) << "no start-up entry";
    const size_t at = static_cast<size_t>(banner - lines.begin());
    ASSERT_GE(lines.size(), at + 7);
    ExpectFirstLine(lines[at + 1], "Starting Slumberhold");
    EXPECT_EQ(lines[at + 2], CONTINUATION_INDENT + "SLH Version         : " + SLH_EXPECTED_VERSION);
    const cLogLine build = ParseLogLine(lines[at + 3]);
    EXPECT_EQ(build.Kind, cLogLine::eKind::Continuation) << lines[at + 3];
    EXPECT_EQ(build.Text.substr(0, 22), "Build               : ");
    EXPECT_TRUE(IsBuildDateTime(build.Text.substr(22))) << build.Text;
    ExpectFirstLine(lines[at + 4], "Initialisation done");
    ExpectFirstLine(lines[lines.size() - 2], "Slumberhold/frontend closed.");
    EXPECT_EQ(lines.back(), CONTINUATION_INDENT);

    // From the banner on, every line is a log line, and every first line
    // carries the local time of its writing, in order.
    std::optional<std::chrono::system_clock::time_point> previous;
    for (const std::string& line : std::vector<std::string>(banner, lines.end())) {
        const cLogLine parsed = ParseLogLine(line);
        ASSERT_NE(parsed.Kind, cLogLine::eKind::Malformed) << line;
        if (parsed.Kind != cLogLine::eKind::First)
            continue;
        const auto written = StampTime(parsed.Stamp);
        // The stamp drops the sub-millisecond part; one second covers that
        // and the clock reads on either side.
        EXPECT_GE(*written, started - 1s) << line;
        EXPECT_LE(*written, ended + 1s) << line;
        if (previous) {
            EXPECT_GE(*written, *previous) << line;
        }
        previous = written;
    }
}

TEST_F(cSlumberholdWineTest, ConfiguratorModesUseThePlainTitleAndMayBeClosed)
{
    struct cCase {
        std::vector<std::string> Switches;
        bool Visible;
        std::string LogFolder;
    };
    const std::array<cCase, 2> cases = {{
        {{}, true, "C:\\slhtest\\configurator"},
        // Power events handled, but not the engine's process.
        {{"ENGINE", "CONFIGURATOR"}, false, "C:\\slhtest\\hidden"},
    }};
    ASSERT_TRUE(Registry().SetDword(SETTINGS_KEY, "LogMode", 1));
    cBoxWatcher& boxes = WatchMessageBoxes();

    for (const cCase& test : cases) {
        SCOPED_TRACE(Joined(test.Switches));
        ASSERT_TRUE(Registry().SetString(SETTINGS_KEY, "LogPath", test.LogFolder));
        cSlumberholdProcess& program = StartSlumberhold(test.Switches);
        ASSERT_TRUE(program.WaitForWindow(PLAIN_TITLE, WINDOW_TIMEOUT));
        // The window has its title from its creation on; it takes its state
        // before the start-up lines are logged, after the start-up's box.
        ASSERT_TRUE(WaitForLogFile(
            HostPath(test.LogFolder + "\\" + LOG_NAME),
            [](const cLogContent& log) {
                const std::vector<std::string> texts = FirstLineTexts(log);
                return std::find(texts.begin(), texts.end(), "Starting frontend: Slumberhold") != texts.end();
            },
            WINDOW_TIMEOUT));
        EXPECT_EQ(Windows().IsVisible(cSlumberholdProcess::Window(PLAIN_TITLE)), test.Visible);
        ASSERT_TRUE(program.Close(PLAIN_TITLE));
        EXPECT_EQ(program.WaitForExit(EXIT_TIMEOUT), 0);

        const std::optional<cLogContent> log = ReadLogFile(HostPath(test.LogFolder + "\\" + LOG_NAME));
        ASSERT_TRUE(log) << "no log file";
        const std::vector<std::string> texts = FirstLineTexts(*log);
        ASSERT_FALSE(texts.empty());
        EXPECT_EQ(std::count(texts.begin(), texts.end(), "Starting frontend: Slumberhold"), 1);
        EXPECT_EQ(std::count(texts.begin(), texts.end(), "Starting Slumberhold"), 0);
        EXPECT_EQ(texts.back(), "Slumberhold/frontend closed.");
    }
    EXPECT_EQ(boxes.Stop(), WineStartupBoxes(cases.size()));
}

TEST_F(cSlumberholdWineTest, LogModeOffLeavesNoFolderAndNoFile)
{
    ASSERT_TRUE(Registry().SetDword(SETTINGS_KEY, "LogMode", 0));
    ASSERT_TRUE(Registry().SetString(SETTINGS_KEY, "LogPath", "C:\\slhtest\\quiet\\log"));
    cBoxWatcher& boxes = WatchMessageBoxes();

    cSlumberholdProcess& program = StartSlumberhold({"ENGINE"});
    ASSERT_TRUE(program.WaitForWindow(ENGINE_TITLE, WINDOW_TIMEOUT));
    ASSERT_TRUE(program.Close(ENGINE_TITLE));
    EXPECT_EQ(program.WaitForExit(EXIT_TIMEOUT), 0);
    EXPECT_EQ(boxes.Stop(), WineStartupBoxes());

    EXPECT_FALSE(std::filesystem::exists(HostPath("C:\\slhtest")));
}
