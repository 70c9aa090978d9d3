// The scenario commands that send power-setting changes and unattended
// wakes: each builds what Windows would send, and a line that cannot be
// turned into a real record is refused instead of reaching the program.
#include <gtest/gtest.h>

#include "tools/runner/Scenario.h"

namespace {

constexpr const char* EVENING = "clock 2026-12-09 21:00:00\n"
                                "set HKLM LogMode 1\n"
                                "set HKLM LogPath \"C:\\Logs\"\n"
                                "start ENGINE\n";

size_t LinesWith(const std::string& log, const std::string& text)
{
    size_t count = 0;
    for (size_t at = log.find(text); at != std::string::npos; at = log.find(text, at + 1))
        ++count;
    return count;
}

}  // namespace

TEST(ScenarioPowerSetting, BuildsTheRecordWindowsSends)
{
    struct cCase {
        const char* Line;
        const char* Logged;
    };
    const cCase cases[] = {
        {"awaymode on", "PBT_POWERSETTINGCHANGE - SYSTEM_AWAYMODE: 1"},
        {"awaymode off", "PBT_POWERSETTINGCHANGE - SYSTEM_AWAYMODE: 0"},
        {"monitor off", "PBT_POWERSETTINGCHANGE - MONITOR_POWER_ON: 0"},
        {"monitor on", "PBT_POWERSETTINGCHANGE - MONITOR_POWER_ON: 1"},
        // The value is 4 bytes, low byte first: the program reads the first.
        {"broadcast PBT_POWERSETTINGCHANGE GUID_MONITOR_POWER_ON 0x0102", "MONITOR_POWER_ON: 2"},
        {"broadcast 0x8013 {02731015-4510-4526-99e6-e5a17ebd1aea} 1", "MONITOR_POWER_ON: 1"},
        {"broadcast 32787 98A7F580-01F7-48AA-9C0F-44352C29E5C0 1", "SYSTEM_AWAYMODE: 1"},
        // A setting the program does not follow, and a record without data.
        {"broadcast PBT_POWERSETTINGCHANGE {00000000-0000-0000-0000-000000000001} 7", "PBT_POWERSETTINGCHANGE: 4"},
        {"broadcast PBT_POWERSETTINGCHANGE GUID_SYSTEM_AWAYMODE none", "PBT_POWERSETTINGCHANGE: 0"},
        {"broadcast PBT_POWERSETTINGCHANGE GUID_IDLE_BACKGROUND_TASK none",
         "PBT_POWERSETTINGCHANGE - IDLE_BACKGROUND_TASK"},
    };
    for (const cCase& c : cases) {
        cScenarioPlayer player;
        player.Play(std::string(EVENING) + "at 22:00:00 " + c.Line + "\n");
        EXPECT_TRUE(player.Failures().empty()) << c.Line << ": " << player.Failures().front();
        EXPECT_EQ(LinesWith(player.LogText(), c.Logged), 1u) << c.Line;
    }
}

// A number where the record belongs once reached the program as a pointer.
TEST(ScenarioPowerSetting, RefusesLinesThatGiveNoRecord)
{
    const char* const lines[] = {
        "broadcast 0x8013 5",
        "broadcast PBT_POWERSETTINGCHANGE 1",
        "broadcast PBT_POWERSETTINGCHANGE",
        "broadcast PBT_POWERSETTINGCHANGE GUID_SYSTEM_AWAYMODE",
        "broadcast PBT_POWERSETTINGCHANGE GUID_SYSTEM_AWAYMODE 1 2",
        "broadcast PBT_POWERSETTINGCHANGE {98A7F580-01F7-48AA-9C0F-44352C29E5CX} 1",
        "broadcast PBT_POWERSETTINGCHANGE 98A7F580-01F7-48AA-9C0F44352C29E5C0 1",
        "broadcast PBT_POWERSETTINGCHANGE GUID_SYSTEM_AWAYMODE -1",
        "broadcast PBT_NOSUCHEVENT",
        "awaymode maybe",
        "monitor",
    };
    for (const char* line : lines) {
        cScenarioPlayer player;
        player.Play(std::string(EVENING) + line + "\n");
        ASSERT_EQ(player.Failures().size(), 1u) << line;
        EXPECT_EQ(player.Failures()[0].rfind("line 5: ", 0), 0u) << line << ": " << player.Failures()[0];
        EXPECT_EQ(LinesWith(player.LogText(), "PBT_POWERSETTINGCHANGE"), 0u) << line;
    }
}

TEST(ScenarioWake, UnattendedIsAUserWakeWithoutInput)
{
    struct cCase {
        const char* Name;
        const char* Lines;
    };
    const cCase cases[] = {
        {"running machine", "at 23:00:00 wake unattended\n"},
        {"sleeping machine", "at 23:00:00 sleep\nat 23:30:00 wake unattended\n"},
        {"chosen wake", "nextwake unattended 23:30:00\nat 23:00:00 sleep\n+1h\n"},
    };
    for (const cCase& c : cases) {
        cScenarioPlayer player;
        player.Play(std::string(EVENING) + c.Lines);
        EXPECT_TRUE(player.Failures().empty()) << c.Name << ": " << player.Failures().front();
        EXPECT_FALSE(player.Windows().Power().IsSystemResumeAutomatic()) << c.Name;
        const std::string log = player.LogText();
        EXPECT_EQ(LinesWith(log, "PBT_APMRESUMEAUTOMATIC (Resume for user interaction"), 1u) << c.Name;
        EXPECT_EQ(LinesWith(log, "PBT_APMRESUMESUSPEND (Start user interaction)"), 1u) << c.Name;
        uint32_t lastInput = 1;
        ASSERT_TRUE(player.Windows().Power().GetLastInputTick(lastInput));
        EXPECT_EQ(lastInput, 0u) << c.Name << ": nobody touched the machine";
    }
}
