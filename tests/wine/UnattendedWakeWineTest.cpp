// Unattended wakes on the real Windows backend (the default prefix,
// Windows 7, where Wine never reports a wake as automatic): the engine tells
// them from a user's wake by the system's input time, and its recording
// monitor sees a listed program through the process list and the add-in's
// recording through the shared block (slhmcsa stands in for the add-in),
// then puts the machine back to sleep once nothing needs it any more.
#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>

#include "LogFile.h"
#include "WineTest.h"

namespace {

using namespace std::chrono_literals;
using std::chrono::system_clock;

const std::string ENGINE_TITLE = "Slumberhold - Engine mode";
const std::string LOG_FOLDER = "C:\\slhtest";
const std::string LOG_FILE = LOG_FOLDER + "\\SLH Log.txt";
// Media Center counts as installed when its shell exists.
const std::string MEDIA_CENTER_SHELL = "C:\\windows\\ehome\\ehshell.exe";
constexpr uint32_t WM_POWERBROADCAST = 0x0218;
constexpr uint64_t PBT_APMSUSPEND = 4;
constexpr uint64_t PBT_APMRESUMEAUTOMATIC = 0x12;
constexpr uint32_t WM_NULL = 0x0000;

constexpr uint32_t SA_REC_GRACE = 0x00000100;
constexpr uint32_t SA_APPS_NON_USER = 0x00000800;
constexpr uint32_t SA_RDP = 0x00020000;
// What keeps an automatic or unattended wake going.
constexpr uint32_t IDLE_MASK_NON_USER = 0x00066901;

// Detection starts a second after the start and after each wake
// (SuspendIdleOnResume); the monitor evaluates once a second.
constexpr auto DETECTION_TIMEOUT = 15s;
constexpr auto HELPER_TIMEOUT = 30s;

const std::string INITIALISED = "Initialisation done";
const std::string RESUMED = "PBT_APMRESUMEAUTOMATIC (Resume for user interaction???" ")";
// The awake-state flags of a wake that Windows reports as a user's but that
// has seen no input: not automatic, unattended, so non-user.
const std::string UNATTENDED_FLAGS = "0 0 0 1 1 1 ";
const std::string RECORDINGS_NONE = "Number of active recordings: 0";
const std::string RECORDINGS_ONE = "Number of active recordings: 1";
const std::string NOTEPAD_RUNNING = "Number of \"Non Idle Applications\" running: 1/1/1";
const std::string NOTEPAD_GONE = "Number of \"Non Idle Applications\" running: 0/0/0";
const std::string CONDITIONS = "StayAwakeConditions: ";
// The activity line of every evaluation; "Rec: 0(30)" while a recording runs.
const std::string ACTIVITY = "Rec: ";
const std::string RECORDING_NOW = "Rec: 0(30)";
const std::string IDLE_PERIOD = "Unattended-resume idle period detected";
const std::string ANY_IDLE_PERIOD = "idle period detected";
const std::string SLEEP_CALL = "cSuspendInitiator - SuspendSystem()";
// What Wine's power library writes for SetSuspendState(FALSE, FALSE, FALSE).
const std::string POWER_LIBRARY_SLEEP_CALL = "fixme:powrprof:SetSuspendState (0, 0, 0) stub!";

bool StartsWith(const std::string& text, const std::string& start)
{
    return text.compare(0, start.size(), start) == 0;
}

bool EndsWith(const std::string& text, const std::string& end)
{
    return text.size() >= end.size() && text.compare(text.size() - end.size(), end.size(), end) == 0;
}

// A log entry as LogEntries writes it down, with the time of its line (a
// continuation line has that of the line it continues).
struct cTimedEntry {
    system_clock::time_point At;
    std::string Text;
};
using tEntries = std::vector<cTimedEntry>;
using tEntry = tEntries::const_iterator;

tEntries TimedEntries(const cLogContent& log)
{
    const std::vector<std::string> texts = LogEntries(log);
    tEntries entries;
    system_clock::time_point at{};
    for (size_t i = 0; i < texts.size(); ++i) {
        const cLogLine parsed = ParseLogLine(log.Lines[i]);
        if (parsed.Kind == cLogLine::eKind::First)
            at = *StampTime(parsed.Stamp);
        entries.push_back({at, texts[i]});
    }
    return entries;
}

tEntry Find(const tEntries& entries, tEntry from, const std::string& text)
{
    return std::find_if(from, entries.end(), [&](const cTimedEntry& entry) { return entry.Text == text; });
}

// The entries from the one after the first `marker` on (none without it).
tEntries After(const tEntries& entries, const std::string& marker)
{
    const tEntry at = Find(entries, entries.begin(), marker);
    return at == entries.end() ? tEntries{} : tEntries(at + 1, entries.end());
}

tEntries WakeEntries(const cLogContent& log)
{
    return After(TimedEntries(log), RESUMED);
}

long Count(tEntry begin, tEntry end, bool (*test)(const std::string&))
{
    return std::count_if(begin, end, [&](const cTimedEntry& entry) { return test(entry.Text); });
}

bool IsActivity(const std::string& text)
{
    return StartsWith(text, ACTIVITY);
}

bool IsIdlePeriod(const std::string& text)
{
    return EndsWith(text, ANY_IDLE_PERIOD);
}

// Anything that would make the wake a user's.
bool IsAttended(const std::string& text)
{
    return StartsWith(text, "User input detected") ||
           (StartsWith(text, "AwakeState: ") && text != "AwakeState: AS_NON_USER");
}

// The last entry in [begin, end) that passes the test, or end.
template <typename tTest>
tEntry FindLast(tEntry begin, tEntry end, tTest test)
{
    tEntry found = end;
    for (tEntry it = begin; it != end; ++it)
        if (test(it->Text))
            found = it;
    return found;
}

uint32_t ConditionsOf(const std::string& text)
{
    return static_cast<uint32_t>(std::strtoul(text.c_str() + CONDITIONS.size(), nullptr, 16));
}

// The mask of the last "StayAwakeConditions: " entry in [begin, end).
std::optional<uint32_t> LastConditions(tEntry begin, tEntry end)
{
    const tEntry last = FindLast(begin, end, [](const std::string& text) { return StartsWith(text, CONDITIONS); });
    return last == end ? std::nullopt : std::optional<uint32_t>(ConditionsOf(last->Text));
}

// The settings of both tests: unattended wakes end like automatic ones, the
// recording grace is 30 s, every evaluation is logged and detection starts
// a second after each wake.
bool SetUnattendedWakeSettings(const cWineRegistry& registry, const std::string& key)
{
    for (const char* name : {"LogMode", "TreatUnattendedAsAutomatic", "DebugRecordingMonitor", "LogActivity"})
        if (!registry.SetDword(key, name, 1))
            return false;
    return registry.SetDword(key, "SuspendIdleOnResume", 1000) && registry.SetString(key, "LogPath", LOG_FOLDER);
}

// The unattended-wake tests; InstallMediaCenter makes the prefix look as if
// Media Center were installed: without it the detection of the end of a
// wake is not available.
class cUnattendedWakeWineTest : public cSlumberholdWineTest {
protected:
    void InstallMediaCenter() const
    {
        const std::filesystem::path shell = HostPath(MEDIA_CENTER_SHELL);
        std::filesystem::create_directories(shell.parent_path());
        ASSERT_TRUE(std::ofstream(shell).good()) << "cannot create " << shell;
    }
};

}  // namespace

TEST_F(cSlumberholdWineTest, UnattendedWakeSeesAListedProgram)
{
    ASSERT_TRUE(SetUnattendedWakeSettings(Registry(), SETTINGS_KEY));
    // A key of string values, one program name each; the value names do not
    // matter.
    ASSERT_TRUE(Registry().SetString(std::string(SETTINGS_KEY) + "\\Non Idle Applications", "1", "notepad.exe"));
    cBoxWatcher& boxes = WatchMessageBoxes();
    const std::string logPath = HostPath(LOG_FILE);
    auto logShows = [&](const std::string& marker, const std::string& text) {
        return WaitForLogFile(
                   logPath,
                   [&](const cLogContent& log) {
                       const tEntries after = After(TimedEntries(log), marker);
                       return Find(after, after.begin(), text) != after.end();
                   },
                   DETECTION_TIMEOUT)
            .has_value();
    };

    cSlumberholdProcess& program = StartSlumberhold({"ENGINE"});
    ASSERT_TRUE(program.WaitForWindow(ENGINE_TITLE, WINDOW_TIMEOUT));
    const cWindowName window = cSlumberholdProcess::Window(ENGINE_TITLE);
    EXPECT_EQ(Windows().Send(window, WM_POWERBROADCAST, PBT_APMSUSPEND), 1);
    EXPECT_EQ(Windows().Send(window, WM_POWERBROADCAST, PBT_APMRESUMEAUTOMATIC), 1);
    ASSERT_TRUE(logShows(RESUMED, UNATTENDED_FLAGS));

    // Hidden, as a window that appears counts as user input under Wine.
    const cRunResult notepad =
        RunHelper("slhlaunch.exe", {"C:\\notepad-launch.txt", "0x2", "-1", "C:\\windows\\notepad.exe"}, HELPER_TIMEOUT);
    ASSERT_TRUE(notepad.Finished);
    ASSERT_EQ(notepad.ExitCode, 0) << notepad.Output;
    EXPECT_TRUE(logShows(UNATTENDED_FLAGS, NOTEPAD_RUNNING));
    const cRunResult killed = RunInPrefix({"taskkill.exe", "/F", "/IM", "notepad.exe"}, HELPER_TIMEOUT);
    EXPECT_TRUE(killed.Finished && killed.ExitCode == 0) << killed.Output;
    EXPECT_TRUE(logShows(NOTEPAD_RUNNING, NOTEPAD_GONE));
    // Two more evaluations after the program ended.
    ASSERT_TRUE(WaitForLogFile(
        logPath,
        [&](const cLogContent& log) {
            const tEntries after = After(WakeEntries(log), NOTEPAD_GONE);
            return Count(after.begin(), after.end(), IsActivity) >= 2;
        },
        DETECTION_TIMEOUT));
    EXPECT_EQ(Windows().Send(window, WM_NULL), 0) << "the engine no longer answers";
    ASSERT_TRUE(program.Close(ENGINE_TITLE));
    EXPECT_EQ(program.WaitForExit(EXIT_TIMEOUT), 0);
    EXPECT_EQ(WithoutSummaryBoxes(boxes.Stop()), WineStartupBoxes());

    const std::optional<cLogContent> log = ReadLogFile(logPath);
    ASSERT_TRUE(log);
    const tEntries wake = WakeEntries(*log);
    SCOPED_TRACE(testing::PrintToString(LogEntries(*log)));
    EXPECT_EQ(Count(wake.begin(), wake.end(), IsAttended), 0);
    const tEntry running = Find(wake, wake.begin(), NOTEPAD_RUNNING);
    const tEntry gone = Find(wake, running, NOTEPAD_GONE);
    ASSERT_TRUE(running != wake.end() && gone != wake.end());
    EXPECT_EQ(running + 1 != wake.end() ? (running + 1)->Text : "", ENTRY_INDENT + "notepad.exe");
    // The program keeps the wake going while it runs, and only then.
    const std::optional<uint32_t> during = LastConditions(wake.begin(), gone);
    const std::optional<uint32_t> after = LastConditions(gone, wake.end());
    ASSERT_TRUE(during && after);
    EXPECT_EQ(*during & SA_APPS_NON_USER, SA_APPS_NON_USER);
    EXPECT_EQ(*after & SA_APPS_NON_USER, 0u);
}

// Media Center installed: the add-in's recording, published by another
// process, is counted and holds the wake while it runs, and the grace after
// it holds the wake once it is freed. How long the grace lasts is a timing
// rule, tested on the simulator.
TEST_F(cUnattendedWakeWineTest, UnattendedWakeIsHeldByTheAddInsRecordingAndItsGrace)
{
    // Long enough for a few evaluations to see the recording, whenever the
    // add-in starts relative to the end of the detection delay.
    constexpr auto RECORDING_TIME = 6s;

    ASSERT_TRUE(SetUnattendedWakeSettings(Registry(), SETTINGS_KEY));
    ASSERT_NO_FATAL_FAILURE(InstallMediaCenter());
    cBoxWatcher& boxes = WatchMessageBoxes();
    const std::string logPath = HostPath(LOG_FILE);

    cSlumberholdProcess& program = StartSlumberhold({"ENGINE"});
    ASSERT_TRUE(program.WaitForWindow(ENGINE_TITLE, WINDOW_TIMEOUT));
    const cWindowName window = cSlumberholdProcess::Window(ENGINE_TITLE);
    EXPECT_EQ(Windows().Send(window, WM_POWERBROADCAST, PBT_APMSUSPEND), 1);
    EXPECT_EQ(Windows().Send(window, WM_POWERBROADCAST, PBT_APMRESUMEAUTOMATIC), 1);
    // The record is freed, then the add-in ends a little later.
    const auto freeAt = std::chrono::duration_cast<std::chrono::seconds>(RECORDING_TIME).count();
    const std::string script =
        "0s rec 1 state=Recording; " + std::to_string(freeAt) + "s free 1; " + std::to_string(freeAt + 2) + "s end";
    cChildProcess& addIn = StartHelper("slhmcsa.exe", {script});

    // Two evaluations after the recording was freed.
    const std::optional<cLogContent> freed = WaitForLogFile(
        logPath,
        [](const cLogContent& log) {
            const tEntries after = After(After(WakeEntries(log), RECORDINGS_ONE), RECORDINGS_NONE);
            return Count(after.begin(), after.end(), IsActivity) >= 2;
        },
        RECORDING_TIME + HELPER_TIMEOUT);
    EXPECT_TRUE(freed) << "the recording was not seen, or not seen to end";
    EXPECT_EQ(Windows().Send(window, WM_NULL), 0) << "the engine no longer answers";
    ASSERT_TRUE(program.Close(ENGINE_TITLE));
    EXPECT_EQ(program.WaitForExit(EXIT_TIMEOUT), 0);
    EXPECT_EQ(addIn.WaitForExit(HELPER_TIMEOUT), 0);
    EXPECT_EQ(WithoutSummaryBoxes(boxes.Stop()), WineStartupBoxes());

    const std::optional<cLogContent> log = ReadLogFile(logPath);
    ASSERT_TRUE(log);
    const tEntries wake = WakeEntries(*log);
    SCOPED_TRACE(testing::PrintToString(LogEntries(*log)));
    EXPECT_NE(Find(wake, wake.begin(), UNATTENDED_FLAGS), wake.end());
    EXPECT_EQ(Count(wake.begin(), wake.end(), IsAttended), 0);
    const tEntry recording = Find(wake, wake.begin(), RECORDINGS_ONE);
    const tEntry recorded = Find(wake, recording, RECORDINGS_NONE);
    ASSERT_TRUE(recording != wake.end() && recorded != wake.end());

    // Every evaluation while the recording ran saw it, and it held the wake.
    std::vector<std::string> missed;
    for (tEntry it = recording; it != recorded; ++it)
        if (IsActivity(it->Text) && !StartsWith(it->Text, RECORDING_NOW))
            missed.push_back(it->Text);
    EXPECT_EQ(missed, std::vector<std::string>{});
    EXPECT_GE(Count(recording, recorded, IsActivity), 2);
    // The mask is logged on a change only: the last one logged before a
    // point of the log is the one in force there.
    const tEntries entries = TimedEntries(*log);
    const tEntry recordedInLog = Find(entries, Find(entries, entries.begin(), RECORDINGS_ONE), RECORDINGS_NONE);
    const std::optional<uint32_t> during = LastConditions(entries.begin(), recordedInLog);
    ASSERT_TRUE(during);
    EXPECT_EQ(*during & SA_REC_GRACE, SA_REC_GRACE);

    // Once freed, the grace holds the wake: the seconds since the recording
    // count up, the grace bit stays, and the wake does not end.
    const tEntry lastActivity = FindLast(recorded, wake.end(), IsActivity);
    ASSERT_NE(lastActivity, wake.end());
    EXPECT_FALSE(StartsWith(lastActivity->Text, RECORDING_NOW)) << lastActivity->Text;
    const std::optional<uint32_t> after = LastConditions(entries.begin(), entries.end());
    ASSERT_TRUE(after);
    EXPECT_EQ(*after & SA_REC_GRACE, SA_REC_GRACE);
    EXPECT_EQ(Count(wake.begin(), wake.end(), IsIdlePeriod), 0);
}

// The end of an unattended wake on the real backend: the idle period, the
// sleep request, and the sleep call reaching the power library, which Wine
// answers at once without sleeping; the engine runs on.
//
// Remote Desktop counts as in use for the first 300 s after the start, and
// no setting shortens that, so this test takes five minutes; it is kept to
// the one wait, with nothing else that could hold the wake.
TEST_F(cUnattendedWakeWineTest, UnattendedWakeEndsWithASleepCallThatReachesThePowerLibrary)
{
    constexpr auto REMOTE_DESKTOP_HOLD = 300s;

    ASSERT_TRUE(SetUnattendedWakeSettings(Registry(), SETTINGS_KEY));
    ASSERT_NO_FATAL_FAILURE(InstallMediaCenter());
    cBoxWatcher& boxes = WatchMessageBoxes();
    const std::string logPath = HostPath(LOG_FILE);

    cSlumberholdProcess& program = StartSlumberhold({"ENGINE"});
    ASSERT_TRUE(program.WaitForWindow(ENGINE_TITLE, WINDOW_TIMEOUT));
    const cWindowName window = cSlumberholdProcess::Window(ENGINE_TITLE);
    EXPECT_EQ(Windows().Send(window, WM_POWERBROADCAST, PBT_APMSUSPEND), 1);
    EXPECT_EQ(Windows().Send(window, WM_POWERBROADCAST, PBT_APMRESUMEAUTOMATIC), 1);

    // The idle period, the sleep call, and two evaluations after them.
    const std::optional<cLogContent> slept = WaitForLogFile(
        logPath,
        [](const cLogContent& log) {
            const tEntries after = After(After(WakeEntries(log), IDLE_PERIOD), SLEEP_CALL);
            return Count(after.begin(), after.end(), IsActivity) >= 2;
        },
        REMOTE_DESKTOP_HOLD + DETECTION_TIMEOUT + HELPER_TIMEOUT);
    EXPECT_TRUE(slept) << "no idle period and sleep call in time";
    // The power library's stub reports each call on standard error:
    // standby, not forced, wake events allowed.
    EXPECT_TRUE(WaitForWineErrors(POWER_LIBRARY_SLEEP_CALL, HELPER_TIMEOUT))
        << "the sleep call did not reach the power library";
    EXPECT_EQ(Windows().Send(window, WM_NULL), 0) << "the engine no longer answers";
    ASSERT_TRUE(program.Close(ENGINE_TITLE));
    EXPECT_EQ(program.WaitForExit(EXIT_TIMEOUT), 0);
    EXPECT_EQ(WithoutSummaryBoxes(boxes.Stop()), WineStartupBoxes());

    const std::optional<cLogContent> log = ReadLogFile(logPath);
    ASSERT_TRUE(log);
    const tEntries entries = TimedEntries(*log);
    const tEntries wake = After(entries, RESUMED);
    SCOPED_TRACE(testing::PrintToString(LogEntries(*log)));
    ASSERT_FALSE(entries.empty());
    EXPECT_EQ(entries.back().Text, ENTRY_INDENT);
    EXPECT_EQ(entries.end()[-2].Text, "Slumberhold/frontend closed.");
    EXPECT_EQ(Count(wake.begin(), wake.end(), IsAttended), 0);
    const tEntry idle = Find(wake, wake.begin(), IDLE_PERIOD);
    ASSERT_NE(idle, wake.end());

    // Remote Desktop's start-up hold was the last thing that held the wake.
    auto isConditions = [](const std::string& text) { return StartsWith(text, CONDITIONS); };
    const tEntry freed = FindLast(wake.begin(), idle, isConditions);
    ASSERT_NE(freed, idle);
    EXPECT_EQ(ConditionsOf(freed->Text) & IDLE_MASK_NON_USER, 0u) << freed->Text;
    const tEntry held = FindLast(wake.begin(), freed, [](const std::string& text) {
        return StartsWith(text, CONDITIONS) && (ConditionsOf(text) & IDLE_MASK_NON_USER) != 0;
    });
    ASSERT_NE(held, freed);
    EXPECT_EQ(ConditionsOf(held->Text) & IDLE_MASK_NON_USER, SA_RDP) << held->Text;

    // The sleep request follows within the same evaluation, and only once:
    // the engine closed before the idle timers could run out again.
    const tEntry nextEvaluation =
        std::find_if(idle, wake.end(), [](const cTimedEntry& entry) { return IsActivity(entry.Text); });
    EXPECT_NE(Find(wake, idle, SLEEP_CALL), wake.end());
    EXPECT_LT(Find(wake, idle, SLEEP_CALL), nextEvaluation);
    EXPECT_EQ(Count(wake.begin(), wake.end(), IsIdlePeriod), 1);
}
