// The event actions and the forced-reboot follow-up on the real Windows
// backend: programs started through cmd.exe at a suspend, the titles file
// of the real window list, and the start-up check after a reboot.
#include <algorithm>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <regex>
#include <sstream>

#include "LogFile.h"
#include "WineTest.h"

namespace {

using namespace std::chrono_literals;

const std::string ENGINE_TITLE = "Slumberhold - Engine mode";
const std::string LOG_FOLDER = "C:\\slhtest";
const std::string LOG_FILE = LOG_FOLDER + "\\SLH Log.txt";
const std::string USER_KEY = "HKCU\\Software\\Velderane\\Slumberhold";
constexpr uint32_t WM_POWERBROADCAST = 0x0218;
constexpr uint64_t PBT_APMSUSPEND = 4;

using tEntries = std::vector<std::string>;

// The position of the first entry at or after from that starts with text;
// entries.size() when there is none.
size_t FindFrom(const tEntries& entries, size_t from, const std::string& text)
{
    for (size_t i = from; i < entries.size(); ++i)
        if (entries[i].compare(0, text.size(), text) == 0)
            return i;
    return entries.size();
}

bool Holds(const tEntries& entries, const std::string& text)
{
    return FindFrom(entries, 0, text) < entries.size();
}

// The local time of the Wine prefix (the host's) as an MS-DOS date and time,
// secondsAgo before now.
uint32_t DosTimeAgo(int secondsAgo)
{
    const std::time_t then = std::time(nullptr) - secondsAgo;
    std::tm local{};
    localtime_r(&then, &local);
    const uint32_t date = static_cast<uint32_t>((local.tm_year + 1900 - 1980) * 512 + (local.tm_mon + 1) * 32 +
                                                local.tm_mday);
    const uint32_t time = static_cast<uint32_t>(local.tm_hour * 2048 + local.tm_min * 32 + local.tm_sec / 2);
    return date << 16 | time;
}

}  // namespace

// A user suspend runs the early program (here one that cannot start) and
// the late one (a batch file through cmd.exe, waited for), lists the titled
// top-level windows, and goes on to its end.
TEST_F(cSlumberholdWineTest, UserSuspendRunsItsProgramsAndListsTheWindowTitles)
{
    const std::filesystem::path folder = HostPath(LOG_FOLDER);
    std::filesystem::create_directories(folder);
    {
        std::ofstream batch(folder / "event.cmd", std::ios::binary);
        batch << "@echo off\r\necho ran>C:\\slhtest\\ran.txt\r\nexit /b 3\r\n";
    }
    ASSERT_TRUE(Registry().SetDword(SETTINGS_KEY, "LogMode", 1));
    ASSERT_TRUE(Registry().SetString(SETTINGS_KEY, "LogPath", LOG_FOLDER));
    ASSERT_TRUE(Registry().SetString(SETTINGS_KEY, "RunOnUserSuspend", LOG_FOLDER + "\\event.cmd"));
    ASSERT_TRUE(Registry().SetString(SETTINGS_KEY, "RunOnUserSuspendEarly", LOG_FOLDER + "\\missing.exe"));
    ASSERT_TRUE(Registry().SetDword(SETTINGS_KEY, "RunOnUserSuspendEarlyFlags", 4));
    ASSERT_TRUE(Registry().SetDword(SETTINGS_KEY, "SaveWindowTitels", 1));

    // Wine's start-up and summary boxes are answered.
    WatchMessageBoxes();
    cSlumberholdProcess& program = StartSlumberhold({"ENGINE"});
    ASSERT_TRUE(program.WaitForWindow(ENGINE_TITLE, WINDOW_TIMEOUT));
    // The handler has run to its end when the message returns.
    EXPECT_EQ(Windows().Send(cSlumberholdProcess::Window(ENGINE_TITLE), WM_POWERBROADCAST, PBT_APMSUSPEND, 0), 1);

    const std::optional<cLogContent> log = ReadLogFile(HostPath(LOG_FILE));
    ASSERT_TRUE(log);
    const tEntries entries = LogEntries(*log);
    const size_t suspend = FindFrom(entries, 0, "PBT_APMSUSPEND (Suspend from user interaction)");
    const size_t early = FindFrom(entries, suspend, "Executing: C:\\slhtest\\missing.exe Flags: 04h");
    const size_t failed = FindFrom(entries, early, "Execution failed");
    const size_t late = FindFrom(entries, failed, "Executing: C:\\slhtest\\event.cmd Flags: 07h");
    const size_t done = FindFrom(entries, late, "PBT_APMSUSPEND done (");
    ASSERT_LT(done, entries.size()) << testing::PrintToString(entries);
    EXPECT_EQ(entries[failed + 1].rfind(ENTRY_INDENT + "LastError=", 0), 0u) << entries[failed + 1];
    EXPECT_EQ(entries[late + 1], "ExitCode = 3");
    EXPECT_TRUE(std::filesystem::exists(folder / "ran.txt"));

    // "%-25s, %08x, >%s<" per titled window; the engine's own window is one.
    std::ifstream titlesFile(folder / "Titles.txt", std::ios::binary);
    ASSERT_TRUE(titlesFile) << "no Titles.txt";
    std::stringstream titles;
    titles << titlesFile.rdbuf();
    const std::string text = titles.str();
    ASSERT_FALSE(text.empty());
    ASSERT_EQ(text.substr(text.size() - 2), "\r\n");
    const std::regex format(R"(.{25,}, [0-9a-f]{8}, >.+<)");
    int engineLines = 0;
    for (size_t start = 0; start < text.size();) {
        const size_t end = text.find("\r\n", start);
        const std::string line = text.substr(start, end - start);
        EXPECT_TRUE(std::regex_match(line, format)) << line;
        if (line.rfind("TApplication             , ", 0) == 0 && line.find(", >" + ENGINE_TITLE + "<") != std::string::npos)
            ++engineLines;
        start = end + 2;
    }
    EXPECT_EQ(engineLines, 1) << text;

    ASSERT_TRUE(program.Close(ENGINE_TITLE));
    EXPECT_EQ(program.WaitForExit(EXIT_TIMEOUT), 0);
}

// Three logons in one prefix: long after a forced reboot the start-up only
// notes it; an installer's start does not look; right after the reboot the
// engine waits AutoRebootDelay, removes the mark and asks for sleep.
TEST_F(cSlumberholdWineTest, EngineStartupFinishesAForcedRebootOnlyRightAfterIt)
{
    const std::string back = "Back from forced reboot, going standby";
    const std::string sleepCall = "cSuspendInitiator - SuspendSystem()";
    ASSERT_TRUE(Registry().SetDword(SETTINGS_KEY, "LogMode", 1));
    ASSERT_TRUE(Registry().SetString(SETTINGS_KEY, "LogPath", LOG_FOLDER));
    ASSERT_TRUE(Registry().SetDword(SETTINGS_KEY, "AutoRebootDelay", 1000));
    // Wine's start-up and summary boxes are answered.
    WatchMessageBoxes();

    size_t seen = 0;
    // The entries a run added to the log once it holds the text.
    const auto runUntil = [&](const std::vector<std::string>& switches, const std::string& awaited) {
        cSlumberholdProcess& program = StartSlumberhold(switches);
        EXPECT_TRUE(program.WaitForWindow(ENGINE_TITLE, WINDOW_TIMEOUT));
        const std::optional<cLogContent> log = WaitForLogFile(
            HostPath(LOG_FILE),
            [&](const cLogContent& content) {
                const tEntries entries = LogEntries(content);
                return entries.size() > seen && FindFrom(entries, seen, awaited) < entries.size();
            },
            30s);
        EXPECT_TRUE(log) << "not logged: " << awaited;
        tEntries added;
        if (log) {
            const tEntries entries = LogEntries(*log);
            added.assign(entries.begin() + static_cast<std::ptrdiff_t>(seen), entries.end());
        }
        EXPECT_TRUE(program.Close(ENGINE_TITLE));
        EXPECT_EQ(program.WaitForExit(EXIT_TIMEOUT), 0);
        if (const std::optional<cLogContent> after = ReadLogFile(HostPath(LOG_FILE)))
            seen = LogEntries(*after).size();
        return added;
    };

    ASSERT_TRUE(Registry().SetDword(USER_KEY, "RebootInitiated", DosTimeAgo(24 * 3600)));
    tEntries run = runUntil({"ENGINE"}, "RebootInitiated found, too long ago");
    EXPECT_TRUE(Holds(run, "RebootInitiated: ")) << testing::PrintToString(run);
    EXPECT_FALSE(Holds(run, back));
    EXPECT_TRUE(Registry().Read(USER_KEY, "RebootInitiated"));

    ASSERT_TRUE(Registry().SetDword(USER_KEY, "RebootInitiated", DosTimeAgo(60)));
    run = runUntil({"ENGINE", "INSTALLING"}, "Initialisation done");
    EXPECT_FALSE(Holds(run, "RebootInitiated")) << testing::PrintToString(run);
    EXPECT_FALSE(Holds(run, sleepCall));
    EXPECT_TRUE(Registry().Read(USER_KEY, "RebootInitiated"));

    run = runUntil({"ENGINE"}, sleepCall);
    const size_t backAt = FindFrom(run, 0, back);
    EXPECT_LT(backAt, FindFrom(run, backAt, sleepCall)) << testing::PrintToString(run);
    EXPECT_FALSE(Registry().Read(USER_KEY, "RebootInitiated"));
}
