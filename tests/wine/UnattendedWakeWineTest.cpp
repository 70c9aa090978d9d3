// An unattended wake on the real Windows backend (the default prefix,
// Windows 7): the engine tells it from a user's by the system's input time,
// and its recording monitor sees the add-in's recording through the shared
// block (slhmcsa stands in for the add-in) and a listed program through the
// process list, before, while and after either exists.
#include <algorithm>
#include <cstdlib>
#include <iterator>

#include "LogFile.h"
#include "WineTest.h"

namespace {

using namespace std::chrono_literals;

const std::string ENGINE_TITLE = "Slumberhold - Engine mode";
const std::string LOG_FOLDER = "C:\\slhtest";
const std::string LOG_FILE = LOG_FOLDER + "\\SLH Log.txt";
constexpr uint32_t WM_POWERBROADCAST = 0x0218;
constexpr uint64_t PBT_APMSUSPEND = 4;
constexpr uint64_t PBT_APMRESUMEAUTOMATIC = 0x12;
constexpr uint32_t WM_NULL = 0x0000;

constexpr uint32_t SA_REC_GRACE = 0x00000100;
constexpr uint32_t SA_APPS_NON_USER = 0x00000800;

// Detection starts a second after the start and after each wake
// (SuspendIdleOnResume); the monitor evaluates once a second.
constexpr auto DETECTION_TIMEOUT = 15s;
// The add-in's recording lasts 10 s.
const std::string ADD_IN_SCRIPT = "0s rec 1 state=Recording; 10s free 1; 11s end";
constexpr auto RECORDING_TIMEOUT = 25s;
constexpr auto HELPER_TIMEOUT = 30s;

const std::string RECORDINGS_NONE = "Number of active recordings: 0";
const std::string RECORDINGS_ONE = "Number of active recordings: 1";
const std::string NOTEPAD_RUNNING = "Number of \"Non Idle Applications\" running: 1/1/1";
const std::string NOTEPAD_GONE = "Number of \"Non Idle Applications\" running: 0/0/0";
const std::string CONDITIONS = "StayAwakeConditions: ";
const std::string ACTIVITY = "Rec: ";

using tEntries = std::vector<std::string>;

tEntries::const_iterator Find(const tEntries& entries, tEntries::const_iterator from, const std::string& entry)
{
    return std::find(from, entries.end(), entry);
}

// The entries from the one after the first `marker` on (none without it).
tEntries After(const tEntries& entries, const std::string& marker)
{
    const auto at = std::find(entries.begin(), entries.end(), marker);
    return at == entries.end() ? tEntries{} : tEntries(at + 1, entries.end());
}

bool StartsWith(const std::string& text, const std::string& start)
{
    return text.compare(0, start.size(), start) == 0;
}

// The mask of the last "StayAwakeConditions: " entry in [begin, end).
std::optional<uint32_t> LastConditions(tEntries::const_iterator begin, tEntries::const_iterator end)
{
    std::optional<uint32_t> mask;
    for (auto it = begin; it != end; ++it)
        if (StartsWith(*it, CONDITIONS))
            mask = static_cast<uint32_t>(std::strtoul(it->c_str() + CONDITIONS.size(), nullptr, 16));
    return mask;
}

}  // namespace

TEST_F(cSlumberholdWineTest, UnattendedWakeSeesTheAddInsRecordingAndAListedProgram)
{
    for (const char* name : {"LogMode", "TreatUnattendedAsAutomatic", "DebugRecordingMonitor", "LogActivity"})
        ASSERT_TRUE(Registry().SetDword(SETTINGS_KEY, name, 1));
    ASSERT_TRUE(Registry().SetDword(SETTINGS_KEY, "SuspendIdleOnResume", 1000));
    ASSERT_TRUE(Registry().SetString(SETTINGS_KEY, "LogPath", LOG_FOLDER));
    // A key of string values, one program name each; the value names do not
    // matter.
    ASSERT_TRUE(Registry().SetString(std::string(SETTINGS_KEY) + "\\Non Idle Applications", "1", "notepad.exe"));
    cBoxWatcher& boxes = WatchMessageBoxes();
    const std::string logPath = HostPath(LOG_FILE);
    auto logShows = [&](const std::string& marker, const std::string& entry) {
        return WaitForLogFile(
                   logPath,
                   [&](const cLogContent& log) {
                       const tEntries after = After(LogEntries(log), marker);
                       return std::find(after.begin(), after.end(), entry) != after.end();
                   },
                   RECORDING_TIMEOUT)
            .has_value();
    };

    cSlumberholdProcess& program = StartSlumberhold({"ENGINE"});
    ASSERT_TRUE(program.WaitForWindow(ENGINE_TITLE, WINDOW_TIMEOUT));
    const cWindowName window = cSlumberholdProcess::Window(ENGINE_TITLE);
    // The monitor evaluates without the add-in's block.
    ASSERT_TRUE(logShows("Initialisation done", RECORDINGS_NONE));

    EXPECT_EQ(Windows().Send(window, WM_POWERBROADCAST, PBT_APMSUSPEND), 1);
    EXPECT_EQ(Windows().Send(window, WM_POWERBROADCAST, PBT_APMRESUMEAUTOMATIC), 1);
    // Wine never reports a wake as automatic: with no input since, it is an
    // unattended one, which counts as non-user.
    const std::string resumed = "PBT_APMRESUMEAUTOMATIC (Resume for user interaction???" ")";
    ASSERT_TRUE(logShows(resumed, "0 0 0 1 1 1 "));

    // Hidden, as a window that appears counts as user input under Wine.
    const cRunResult notepad =
        RunHelper("slhlaunch.exe", {"C:\\notepad-launch.txt", "0x2", "-1", "C:\\windows\\notepad.exe"}, HELPER_TIMEOUT);
    ASSERT_TRUE(notepad.Finished);
    ASSERT_EQ(notepad.ExitCode, 0) << notepad.Output;
    cChildProcess& addIn = StartHelper("slhmcsa.exe", {ADD_IN_SCRIPT});
    EXPECT_TRUE(logShows(resumed, NOTEPAD_RUNNING));
    EXPECT_TRUE(logShows(resumed, RECORDINGS_ONE));
    EXPECT_TRUE(logShows(resumed, RECORDINGS_NONE));
    EXPECT_EQ(addIn.WaitForExit(HELPER_TIMEOUT), 0);

    const cRunResult killed = RunInPrefix({"taskkill.exe", "/F", "/IM", "notepad.exe"}, HELPER_TIMEOUT);
    EXPECT_TRUE(killed.Finished && killed.ExitCode == 0) << killed.Output;
    EXPECT_TRUE(logShows(resumed, NOTEPAD_GONE));
    // Two more evaluations after the add-in closed its block and the
    // program ended.
    ASSERT_TRUE(WaitForLogFile(
        logPath,
        [&](const cLogContent& log) {
            const tEntries after = After(After(LogEntries(log), resumed), NOTEPAD_GONE);
            return std::count_if(after.begin(), after.end(),
                                 [](const std::string& entry) { return StartsWith(entry, ACTIVITY); }) >= 2;
        },
        DETECTION_TIMEOUT));
    EXPECT_EQ(Windows().Send(window, WM_NULL), 0) << "the engine no longer answers";
    ASSERT_TRUE(program.Close(ENGINE_TITLE));
    EXPECT_EQ(program.WaitForExit(EXIT_TIMEOUT), 0);
    EXPECT_EQ(boxes.Stop(), std::vector<cBoxRecord>{});

    const std::optional<cLogContent> log = ReadLogFile(logPath);
    ASSERT_TRUE(log);
    const tEntries wake = After(LogEntries(*log), resumed);
    SCOPED_TRACE(testing::PrintToString(wake));
    // Nothing made the wake attended.
    EXPECT_EQ(std::count_if(wake.begin(), wake.end(),
                            [](const std::string& entry) {
                                return StartsWith(entry, "User input detected") ||
                                       (StartsWith(entry, "AwakeState: ") && entry != "AwakeState: AS_NON_USER");
                            }),
              0);

    const auto recording = Find(wake, wake.begin(), RECORDINGS_ONE);
    const auto recorded = Find(wake, recording, RECORDINGS_NONE);
    const auto running = Find(wake, wake.begin(), NOTEPAD_RUNNING);
    const auto gone = Find(wake, running, NOTEPAD_GONE);
    ASSERT_TRUE(recording != wake.end() && recorded != wake.end() && running != wake.end() && gone != wake.end());
    EXPECT_EQ(running + 1 != wake.end() ? *(running + 1) : "", ENTRY_INDENT + "notepad.exe");
    // While the recording runs, every evaluation has just seen it ...
    tEntries missed;
    std::copy_if(recording, recorded, std::back_inserter(missed), [](const std::string& entry) {
        return StartsWith(entry, ACTIVITY) && !StartsWith(entry, "Rec: 0(30)");
    });
    EXPECT_EQ(missed, tEntries{});
    // ... and it, like the listed program, keeps the wake going.
    const std::optional<uint32_t> during = LastConditions(wake.begin(), gone);
    ASSERT_TRUE(during);
    EXPECT_EQ(*during & (SA_REC_GRACE | SA_APPS_NON_USER), SA_REC_GRACE | SA_APPS_NON_USER);
    const std::optional<uint32_t> after = LastConditions(gone, wake.end());
    ASSERT_TRUE(after);
    EXPECT_EQ(*after & SA_APPS_NON_USER, 0u);
}
