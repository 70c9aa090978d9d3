// The log file shared by processes: the real logger on the real Windows
// backend, in two slhlogwriter processes at once.
#include <map>

#include "LogFile.h"
#include "WineTest.h"

namespace {

constexpr int LINES_PER_WRITER = 300;
constexpr size_t WRITER_TEXT_LENGTH = 200;
constexpr std::chrono::seconds WRITERS_TIMEOUT{120};

// The text slhlogwriter writes as its line number i.
std::string WriterText(char tag, int i)
{
    std::string text = std::string(1, tag) + " line " + std::to_string(i) + " ";
    text.append(WRITER_TEXT_LENGTH - text.size(), tag);
    return text;
}

}  // namespace

TEST_F(cSlumberholdWineTest, ConcurrentWritersKeepEveryLineWhole)
{
    const std::string logFolder = "C:\\slhtest\\shared";
    ASSERT_TRUE(Registry().SetDword(SETTINGS_KEY, "LogMode", 1));
    ASSERT_TRUE(Registry().SetString(SETTINGS_KEY, "LogPath", logFolder));
    cBoxWatcher& boxes = WatchMessageBoxes();

    const std::string count = std::to_string(LINES_PER_WRITER);
    cChildProcess& writerA = StartHelper("slhlogwriter.exe", {count, "A"});
    cChildProcess& writerB = StartHelper("slhlogwriter.exe", {count, "B"});
    EXPECT_EQ(writerA.WaitForExit(WRITERS_TIMEOUT), 0);
    EXPECT_EQ(writerB.WaitForExit(WRITERS_TIMEOUT), 0);
    EXPECT_EQ(WithoutSummaryBoxes(boxes.Stop()), std::vector<cBoxRecord>{});

    const std::optional<cLogContent> log = ReadLogFile(HostPath(logFolder + "\\SLH Log.txt"));
    ASSERT_TRUE(log) << "no log file";
    EXPECT_TRUE(log->CrLfOnly);
    EXPECT_EQ(log->Lines.size(), 2u * LINES_PER_WRITER);

    // Each writer's lines are whole and complete, in its own order.
    std::map<char, int> next = {{'A', 1}, {'B', 1}};
    for (const std::string& line : log->Lines) {
        const cLogLine parsed = ParseLogLine(line);
        ASSERT_EQ(parsed.Kind, cLogLine::eKind::First) << line;
        ASSERT_TRUE(next.count(parsed.Text[0])) << line;
        const char tag = parsed.Text[0];
        ASSERT_EQ(parsed.Text, WriterText(tag, next[tag]));
        ++next[tag];
    }
    EXPECT_EQ(next['A'], LINES_PER_WRITER + 1);
    EXPECT_EQ(next['B'], LINES_PER_WRITER + 1);
}
