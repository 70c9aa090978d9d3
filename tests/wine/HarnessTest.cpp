// The harness's own readers, which decide whether a Wine test passes: a
// reader that accepts too much would hide a fault of the program.
#include <gtest/gtest.h>

#include "LogFile.h"
#include "WineRegistry.h"

TEST(cWineHarnessTest, LogLinesAreRecognisedOnlyWithARealStamp)
{
    using eKind = cLogLine::eKind;
    struct cCase {
        std::string Line;
        eKind Kind;
        std::string Text;
    };
    const cCase cases[] = {
        {"Thu 10 Dec 2026 14:07:34.238 - Starting Slumberhold", eKind::First, "Starting Slumberhold"},
        {"Tue 29 Feb 2028 00:00:00.000 - ", eKind::First, ""},
        {CONTINUATION_INDENT + "SLH Version         : 1.0.0.1", eKind::Continuation, "SLH Version         : 1.0.0.1"},
        {CONTINUATION_INDENT, eKind::Continuation, ""},
        // 10 Dec 2026 is a Thursday; 29 Feb 2027 does not exist.
        {"Wed 10 Dec 2026 14:07:34.238 - text", eKind::Malformed, ""},
        {"Mon 29 Feb 2027 14:07:34.238 - text", eKind::Malformed, ""},
        {"Thu 10 Dez 2026 14:07:34.238 - text", eKind::Malformed, ""},
        {"Thu 10 Dec 2026 24:07:34.238 - text", eKind::Malformed, ""},
        {"Thu 10 Dec 2026 14:07:34.23 - text", eKind::Malformed, ""},
        {"Thu 10 Dec 2026 14:07:34.238 -text", eKind::Malformed, ""},
        {std::string(STAMP_WIDTH + 2, ' ') + "text", eKind::Malformed, ""},
    };
    for (const cCase& test : cases) {
        const cLogLine parsed = ParseLogLine(test.Line);
        EXPECT_EQ(parsed.Kind, test.Kind) << test.Line;
        EXPECT_EQ(parsed.Text, test.Text) << test.Line;
    }
}

TEST(cWineHarnessTest, RegQueryOutputGivesEveryValueOfTheKey)
{
    const std::string output =
        "\r\nHKEY_LOCAL_MACHINE\\Software\\Velderane\\Slumberhold\r\n"
        "    LogMode    REG_DWORD    0x1\r\n"
        "    LogPath    REG_SZ    C:\\slh test\\    log\r\n"
        "    Empty    REG_SZ    \r\n"
        "\r\nHKEY_LOCAL_MACHINE\\Software\\Velderane\\Slumberhold\\Sub\r\n";
    const std::map<std::string, cRegistryEntry> expected = {
        {"LogMode", DwordEntry(1)},
        {"LogPath", {"REG_SZ", "C:\\slh test\\    log"}},
        {"Empty", {"REG_SZ", ""}},
    };
    EXPECT_EQ(ParseRegQuery(output), expected);
}
