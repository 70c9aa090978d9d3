// Power broadcasts on the real Windows backend: slhmsg sends them to the
// engine's window from another process, as Windows would, and the test
// reads the answers and the log lines each one leaves.
#include <algorithm>
#include <functional>
#include <regex>

#include "LogFile.h"
#include "WineTest.h"

namespace {

using namespace std::chrono_literals;

const std::string ENGINE_TITLE = "Slumberhold - Engine mode";
const std::string LOG_FOLDER = "C:\\slhtest";
const std::string LOG_FILE = LOG_FOLDER + "\\SLH Log.txt";
constexpr uint32_t WM_POWERBROADCAST = 0x0218;

const std::string GUID_SYSTEM_AWAYMODE = "{98A7F580-01F7-48AA-9C0F-44352C29E5C0}";
const std::string GUID_MONITOR_POWER_ON = "{02731015-4510-4526-99E6-E5A17EBD1AEA}";
const std::string GUID_IDLE_BACKGROUND_TASK = "{515C31D8-F734-163D-A0FD-11A08C91E8F1}";
// A setting the program does not listen to.
const std::string GUID_OTHER_SETTING = "{12345678-9ABC-DEF0-1234-56789ABCDEF0}";

// Sends one broadcast to the window; the window procedure's result.
using tSender = std::function<std::optional<int64_t>(const cWindowMessenger&, const cWindowName&)>;

tSender Broadcast(uint64_t event, int64_t lParam = 0)
{
    return [=](const cWindowMessenger& windows, const cWindowName& window) {
        return windows.Send(window, WM_POWERBROADCAST, event, lParam);
    };
}

// A power-setting change whose record carries the data bytes (hexadecimal,
// in memory order).
tSender Setting(const std::string& guid, const std::string& data)
{
    return [=](const cWindowMessenger& windows, const cWindowName& window) {
        return windows.SendPowerSetting(window, guid, data);
    };
}

tSender NullSetting()
{
    return [](const cWindowMessenger& windows, const cWindowName& window) {
        return windows.SendNullPowerSetting(window);
    };
}

// Whether the entry is the pattern, where each "#" stands for a decimal
// number.
bool Matches(const std::string& entry, const std::string& pattern)
{
    std::string expression;
    for (char c : pattern) {
        if (c == '#')
            expression += "\\d+";
        else if (std::string("\\^$.|?*+()[]{}").find(c) != std::string::npos)
            expression += std::string("\\") + c;
        else
            expression += c;
    }
    return std::regex_match(entry, std::regex(expression));
}

testing::AssertionResult EntriesMatch(const std::vector<std::string>& entries, const std::vector<std::string>& patterns)
{
    bool same = entries.size() == patterns.size();
    for (size_t i = 0; same && i < entries.size(); ++i)
        same = Matches(entries[i], patterns[i]);
    if (same)
        return testing::AssertionSuccess();
    return testing::AssertionFailure() << "the log got " << testing::PrintToString(entries) << ", expected "
                                       << testing::PrintToString(patterns);
}

}  // namespace

// One run of the engine on the default prefix (Windows 7) takes every kind
// of broadcast; each must be answered with 1 (the engine allows the sleep)
// and leave exactly its own log lines. The same run shows the delays that a
// first start writes on Windows 7.
TEST_F(cSlumberholdWineTest, Windows7EngineAnswersAndLogsEveryPowerBroadcast)
{
    struct cCase {
        std::string What;
        tSender Send;
        std::vector<std::string> Entries;  // "#" stands for a number
    };
    const std::vector<cCase> cases = {
        {"query with flags 1", Broadcast(0, 1),
         {"PBT_APMQUERYSUSPEND (1)", "HandleSuspendQuery (Query suspend from user interaction)"}},
        {"suspend", Broadcast(4),
         {"PBT_APMSUSPEND (Suspend from user interaction)", "Delaying suspend for 1000 milliseconds.",
          "PBT_APMSUSPEND done (#ms)", ENTRY_INDENT + "..."}},
        // Codes of the APM era that the table has no row for.
        {"query standby", Broadcast(1), {"Unknown Power Event"}},
        {"standby", Broadcast(5), {"Unknown Power Event"}},
        {"resume from standby", Broadcast(8), {"Unknown Power Event"}},
        {"OEM event 0x1A", Broadcast(0x0B, 0x1A), {"PBT_APMOEMEVENT (0000001A)"}},
        {"other setting, 6 bytes", Setting(GUID_OTHER_SETTING, "010203040506"), {"PBT_POWERSETTINGCHANGE: 6"}},
        {"other setting, no data", Setting(GUID_OTHER_SETTING, ""), {"PBT_POWERSETTINGCHANGE: 0"}},
        // Windows never sends it; the engine must not read through it.
        {"no record", NullSetting(), {"PBT_POWERSETTINGCHANGE: 0"}},
        {"away mode on", Setting(GUID_SYSTEM_AWAYMODE, "01000000"),
         {"PBT_POWERSETTINGCHANGE - SYSTEM_AWAYMODE: 1", "PBT_APMAWAY"}},
        {"away mode off", Setting(GUID_SYSTEM_AWAYMODE, "00000000"),
         {"PBT_POWERSETTINGCHANGE - SYSTEM_AWAYMODE: 0", "PBT_APMAWAYRESUME"}},
        {"display off", Setting(GUID_MONITOR_POWER_ON, "00000000"), {"PBT_POWERSETTINGCHANGE - MONITOR_POWER_ON: 0"}},
        // Windows 8 reports a dimmed display as 2: the value as it came.
        {"display dimmed", Setting(GUID_MONITOR_POWER_ON, "02000000"),
         {"PBT_POWERSETTINGCHANGE - MONITOR_POWER_ON: 2"}},
        {"idle background task", Setting(GUID_IDLE_BACKGROUND_TASK, "00000000"),
         {"PBT_POWERSETTINGCHANGE - IDLE_BACKGROUND_TASK"}},
    };
    ASSERT_TRUE(Registry().SetDword(SETTINGS_KEY, "LogMode", 1));
    ASSERT_TRUE(Registry().SetString(SETTINGS_KEY, "LogPath", LOG_FOLDER));
    cBoxWatcher& boxes = WatchMessageBoxes();

    cSlumberholdProcess& program = StartSlumberhold({"ENGINE"});
    ASSERT_TRUE(program.WaitForWindow(ENGINE_TITLE, WINDOW_TIMEOUT));
    const cWindowName window = cSlumberholdProcess::Window(ENGINE_TITLE);
    std::optional<cLogContent> log = ReadLogFile(HostPath(LOG_FILE));
    ASSERT_TRUE(log) << "no log file";
    std::vector<std::string> entries = LogEntries(*log);
    // The engine for Vista and later, with its sleep thread.
    EXPECT_NE(std::find(entries.begin(), entries.end(), "cSuspendInitiator - UseLegacyCall_ == false"),
              entries.end())
        << testing::PrintToString(entries);

    std::optional<int64_t> suspendTime;
    for (const cCase& test : cases) {
        SCOPED_TRACE(test.What);
        const size_t before = entries.size();
        EXPECT_EQ(test.Send(Windows(), window), 1);
        // The handler has written its lines when the message returns.
        log = ReadLogFile(HostPath(LOG_FILE));
        ASSERT_TRUE(log);
        entries = LogEntries(*log);
        ASSERT_GE(entries.size(), before);
        std::vector<std::string> added(entries.begin() + static_cast<std::ptrdiff_t>(before), entries.end());
        // Under Wine the start-up's box counts as user input, which the
        // heartbeat may report at any moment in between.
        std::erase_if(added, [](const std::string& entry) { return Matches(entry, "User input detected (#)"); });
        EXPECT_TRUE(EntriesMatch(added, test.Entries));
        std::smatch done;
        for (const std::string& entry : added)
            if (std::regex_match(entry, done, std::regex(R"(PBT_APMSUSPEND done \((\d+)ms\))")))
                suspendTime = std::stoll(done[1]);
    }
    // The standby delay blocked the handler on the real clock (GetTickCount
    // steps in about 16 ms).
    ASSERT_TRUE(suspendTime);
    EXPECT_GE(*suspendTime, 950);

    const auto settings = Registry().ReadKey(SETTINGS_KEY);
    ASSERT_TRUE(settings);
    EXPECT_EQ(settings->at("MaxSuspendDelay"), DwordEntry(3000));
    EXPECT_EQ(settings->at("eHomeCloseDelay"), DwordEntry(1000));

    ASSERT_TRUE(program.Close(ENGINE_TITLE));
    EXPECT_EQ(program.WaitForExit(EXIT_TIMEOUT), 0);
    EXPECT_EQ(boxes.Stop(), WineStartupBoxes());
}
