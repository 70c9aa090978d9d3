#include "tests/unit/RandomNight.h"

#include <algorithm>
#include <cstring>

namespace {

constexpr uint64_t SECOND = 1000;
// Detection rests this long after each wake and after the start.
constexpr uint64_t REST = 60 * SECOND;
// A sleep call comes up to 100 ms after the decision; what began later than
// this before the call cannot have been seen.
constexpr uint64_t DECISION_WINDOW = 200;
// Leeway of a deadline: the heartbeat, rounding to whole seconds, the call.
constexpr uint64_t SLACK = 3 * SECOND;
// A network session counts as active until this long after its activity
// (the program's 300 s, minus the 10 s within which it calls a session busy).
constexpr uint64_t NET_ACTIVE = 290 * SECOND;
constexpr uint64_t REMOTE_IN_USE = 300 * SECOND;

const char* const LISTED_PROGRAMS[] = {"Recorder.exe", "Backup.exe", "mcupdate.exe"};
const char* const PROGRAMS[] = {"Recorder.exe", "Backup.exe", "mcupdate.exe", "Notepad.exe"};
const char* const NET_USERS[] = {"htpc", "guest"};
const char* const RDP_USERS[] = {"alice", "bob"};
const char* const MC_STATES[] = {"Playing", "Paused", "Stopped", "Menu", "None"};
constexpr int MAX_RECORDINGS = 3;
constexpr int MAX_MC_SESSIONS = 3;

bool IsListed(const std::string& program)
{
    for (const char* listed : LISTED_PROGRAMS)
        if (program == listed)
            return true;
    return false;
}

// The log's first lines: "ddd dd mmm yyyy hh:mm:ss.zzz - text".
constexpr size_t TEXT_COLUMN = 31;

int IndexOf(const char* const* names, int count, const std::string& name)
{
    for (int i = 0; i < count; ++i)
        if (name == names[i])
            return i;
    return -1;
}

bool Digits(const std::string& line, size_t first, size_t count, int64_t& value)
{
    value = 0;
    for (size_t i = first; i < first + count; ++i) {
        if (line[i] < '0' || line[i] > '9')
            return false;
        value = value * 10 + (line[i] - '0');
    }
    return true;
}

// The moment a first line gives, comparable between lines; -1 when the
// line is not a well-formed first line.
int64_t StampOf(const std::string& line)
{
    static const char* const DAYS[] = {"Mon", "Tue", "Wed", "Thu", "Fri", "Sat", "Sun"};
    static const char* const MONTHS[] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                         "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
    if (line.size() <= TEXT_COLUMN || line.compare(28, 3, " - ") != 0 || line[TEXT_COLUMN] == ' ')
        return -1;
    const int month = IndexOf(MONTHS, 12, line.substr(7, 3));
    int64_t day, year, hour, minute, second, ms;
    if (IndexOf(DAYS, 7, line.substr(0, 3)) < 0 || month < 0 || line[3] != ' ' || line[6] != ' ' ||
        line[10] != ' ' || line[15] != ' ' || line[18] != ':' || line[21] != ':' || line[24] != '.' ||
        !Digits(line, 4, 2, day) || !Digits(line, 11, 4, year) || !Digits(line, 16, 2, hour) ||
        !Digits(line, 19, 2, minute) || !Digits(line, 22, 2, second) || !Digits(line, 25, 3, ms))
        return -1;
    return ((((((year * 12 + month) * 31 + day) * 24 + hour) * 60 + minute) * 60 + second) * 1000) + ms;
}

}  // namespace

cRandomNight::cRandomNight(uint32_t seed) : Seed(seed), Random(seed)
{
}

uint64_t cRandomNight::Now()
{
    return Player.Windows().Clock().Now();
}

void cRandomNight::Violation(const std::string& text)
{
    char stamp[32];
    const uint64_t now = Player.Windows().Clock().Now();
    std::snprintf(stamp, sizeof stamp, "%llu.%03llu s", static_cast<unsigned long long>(now / 1000),
                  static_cast<unsigned long long>(now % 1000));
    Violations_.push_back("after line " + std::to_string(Lines.size()) + " (" + stamp + " into the night): " + text);
}

std::string cRandomNight::Scenario() const
{
    std::string text = "# A random night (seed " + std::to_string(Seed) + ").\n";
    for (const std::string& violation : Violations_)
        text += "# broken: " + violation + "\n";
    for (const std::string& line : Lines)
        text += line + "\n";
    return text;
}

void cRandomNight::Do(const std::string& line)
{
    Lines.push_back(line);
    Player.Play(line + "\n");
    if (Player.Failures().size() > FailuresSeen) {
        for (size_t i = FailuresSeen; i < Player.Failures().size(); ++i)
            Violation("the scenario failed: " + Player.Failures()[i]);
        FailuresSeen = Player.Failures().size();
    }
    CheckSleeps(Settled, line);
    Settled = Activity;
    CheckDeadline();
}

bool cRandomNight::NetSessionActive(const cNetSession& session, uint64_t moment) const
{
    return session.Listed && (session.Busy || moment < session.Activity + NET_ACTIVE);
}

std::string cRandomNight::Blocker(const cActivity& activity, uint64_t moment, bool holderCounts) const
{
    const uint64_t since = moment > DECISION_WINDOW ? moment - DECISION_WINDOW : 0;
    for (const auto& [number, start] : activity.Recordings)
        if (start <= since)
            return "recording " + std::to_string(number) + " in progress";
    if (activity.ListedSince && *activity.ListedSince <= since)
        return "a listed program running";
    if (holderCounts && !IgnoreSuspendBlock && activity.HolderSince && *activity.HolderSince <= since)
        return "a program holding the execution state";
    for (const auto& [user, session] : activity.NetSessions)
        if (NetSessionActive(session, moment) && session.Since <= since)
            return "the listed network session of " + user + " active";
    return {};
}

void cRandomNight::CheckSleeps(const cActivity& before, const std::string& line)
{
    const auto& sleeps = Player.Windows().Sleep().Sleeps();
    for (; SleepsSeen < sleeps.size(); ++SleepsSeen) {
        // Windows' own sleep (the sleep command) is not the program's doing.
        if (line == "sleep")
            continue;
        const uint64_t at = sleeps[SleepsSeen].Requested;
        Wake.Slept = true;
        if (at < Wake.At + REST)
            Violation("the program put the machine to sleep " + std::to_string(at - Wake.At) +
                      " ms after the wake, while detection rests");
        // Media Center's own idle periods leave the execution state out: Media
        // Center itself holds it while it runs.
        const bool holderCounts = !LastSleepWasMediaCenterIdle();
        const std::string held = Blocker(before, at, holderCounts);
        if (!held.empty() && !Blocker(Activity, at, holderCounts).empty())
            Violation("the program put the machine to sleep with " + held);
    }
}

bool cRandomNight::LastSleepWasMediaCenterIdle()
{
    const std::string log = Player.LogText();
    const size_t period = log.rfind("idle period detected");
    if (period == std::string::npos)
        return false;
    const size_t lineBreak = log.rfind("\r\n", period);
    const size_t lineStart = lineBreak == std::string::npos ? 0 : lineBreak + 2;
    return log.find("'Media Center is running", lineStart) < period;
}

std::optional<uint64_t> cRandomNight::Deadline() const
{
    if (!Wake.Checked || Wake.Slept)
        return std::nullopt;
    const cActivity& now = Activity;
    if (!now.Recordings.empty() || now.ListedSince || (!IgnoreSuspendBlock && now.HolderSince))
        return std::nullopt;
    for (const auto& [user, connected] : now.Rdp)
        if (connected)
            return std::nullopt;
    for (const auto& [number, connected] : now.Extenders)
        if (connected && !ForceAway)
            return std::nullopt;
    uint64_t latest = Wake.At + REST + SECOND;
    const uint64_t restEnd = latest;
    const uint64_t afterRecording = std::max(restEnd, Wake.RecordingEnd) + 31 * SECOND;
    const uint64_t withoutRecording = restEnd + Grace * SECOND + SECOND;
    if (Wake.RecordingSeen)
        latest = afterRecording;
    else if (Wake.RecordingMaybeSeen)
        latest = std::max(afterRecording, withoutRecording);
    else
        latest = withoutRecording;
    latest = std::max(latest, Wake.ListedEnd + 2 * SECOND);
    if (!IgnoreSuspendBlock)
        latest = std::max(latest, Wake.HolderEnd + 2 * SECOND);
    latest = std::max(latest, Wake.RdpEnd + REMOTE_IN_USE + SECOND);
    latest = std::max(latest, Started + REMOTE_IN_USE + SECOND);
    if (!ForceAway)
        latest = std::max(latest, Wake.ExtenderEnd + REMOTE_IN_USE + SECOND);
    // The program counts a network session it knows as seen at each wake.
    if (AnyListedNetSession)
        latest = std::max(latest, Wake.At + REMOTE_IN_USE + SECOND);
    latest = std::max(latest, Wake.NetEnd + REMOTE_IN_USE + 11 * SECOND);
    for (const auto& [user, session] : now.NetSessions) {
        if (!session.Listed)
            continue;
        if (session.Busy)
            return std::nullopt;
        latest = std::max(latest, session.Activity + REMOTE_IN_USE + 11 * SECOND);
    }
    return latest + SLACK;
}

void cRandomNight::CheckDeadline()
{
    if (Wake.Reported || Player.Windows().Sleep().IsAsleep())
        return;
    const std::optional<uint64_t> deadline = Deadline();
    if (deadline && Now() > *deadline) {
        Wake.Reported = true;
        Violation("the automatic wake at " + std::to_string(Wake.At / 1000) + " s should have ended by " +
                  std::to_string(*deadline / 1000) + " s; the machine is still awake");
    }
}

void cRandomNight::Ended(uint64_t& end)
{
    end = Now();
}

// A recording the program saw after its rest leaves a grace of 30 s
// instead of the wake's own. It is seen when it lasts across a heartbeat
// (one a second) after the rest.
void cRandomNight::EndRecording(int number)
{
    const uint64_t now = Now();
    const uint64_t start = Activity.Recordings[number];
    const uint64_t watched = std::max(start, Wake.At + REST + SECOND);
    Activity.Recordings.erase(number);
    Ended(Wake.RecordingEnd);
    if (now >= watched + SECOND + DECISION_WINDOW)
        Wake.RecordingSeen = true;
    else if (now > start && now + SECOND > Wake.At + REST)
        Wake.RecordingMaybeSeen = true;
    Do("recording end " + std::to_string(number));
}

void cRandomNight::Wait(uint64_t seconds)
{
    Do("wait " + Seconds(seconds));
}

void cRandomNight::Setup()
{
    TreatUnattended = Chance(50);
    IgnoreSuspendBlock = Chance(50);
    ForceAway = Chance(70);
    Hibernate = Chance(15);
    // Short graces keep the nights short; the long one is tested as well.
    Grace = Chance(85) ? 30 : 360;
    // The tick count wraps within the first hours of the night.
    const uint32_t tick = 0xFFFFFFFFu - static_cast<uint32_t>(Pick(3 * 3600) * SECOND);
    Do("clock 2026-12-09 21:00:00");
    Do("tickcount " + std::to_string(tick));
    Do(Chance(80) ? "windows 6.1 workstation mediacenter" : "windows 6.0 workstation mediacenter");
    Do("set HKLM LogMode 1");
    Do("set HKLM LogPath \"C:\\Logs\"");
    Do(std::string("set HKLM SleepState ") + (Hibernate ? "5" : "4"));
    // A forced reboot takes the place of a sleep: these nights have none.
    Do("set HKLM RebootMode 0");
    Do(std::string("set HKLM TreatUnattendedAsAutomatic ") + (TreatUnattended ? "1" : "0"));
    Do(std::string("set HKLM IgnoreSuspendBlock ") + (IgnoreSuspendBlock ? "1" : "0"));
    Do(std::string("set HKLM DebugRecordingMonitor ") + (Grace == 30 ? "1" : "0"));
    Do(std::string("set HKLM ForceAwayWhenExtenderInUse ") + (ForceAway ? "1" : "0"));
    MceIdleTimeout = 20 + Pick(100);
    Do("set HKLM MceIdleTimeout " + std::to_string(MceIdleTimeout));
    Do(std::string("set HKLM UserInputIdleDetection ") + (Chance(50) ? "1" : "0"));
    Do("set HKLM UserInputIdleTimeout " + std::to_string(30 + Pick(150)));
    Do("list \"Non Idle Applications\" Recorder.exe");
    Do("list \"Non Idle Applications\" Backup.exe");
    Do("list \"Non Idle Networksessions\" htpc");
    Do("start ENGINE");
    Started = Now();
    Wake = cWake{};
    Wake.At = Started;
    Do("input");
}

void cRandomNight::Play()
{
    Setup();
    // The evening: the user is there, then Windows puts the machine to sleep.
    for (int steps = static_cast<int>(Pick(8)); steps > 0 && !Player.Windows().Sleep().IsAsleep(); --steps)
        Step();
    if (!Player.Windows().Sleep().IsAsleep())
        Do("sleep");
    for (WakesLeft = 2 + static_cast<int>(Pick(3)); WakesLeft > 0; --WakesLeft) {
        Wait(600 + Pick(4 * 3600));
        PlayWake();
    }
    Player.Finish();
    CheckLog();
}

void cRandomNight::WakeUp()
{
    static const char* const KINDS[] = {"automatic", "user", "unattended"};
    const std::string kind = KINDS[Pick(3)];
    const bool monitorEnabled = !(Hibernate && !TreatUnattended);
    const bool nonUser = (kind == "automatic" && !Hibernate) || (TreatUnattended && kind != "user");
    Wake = cWake{};
    Wake.At = Now();
    Wake.Checked = monitorEnabled && nonUser;
    Do("wake " + kind);
    if (kind == "user" && Chance(80)) {
        Wake.Checked = false;
        Do("input");
    }
}

void cRandomNight::PlayWake()
{
    WakeUp();
    for (int steps = 2 + static_cast<int>(Pick(12)); steps > 0 && !Player.Windows().Sleep().IsAsleep(); --steps)
        Step();
    if (!Player.Windows().Sleep().IsAsleep() && Wake.Checked)
        WindDown();
    // Or the user walks away from Media Center, long enough for its idle
    // periods.
    else if (!Player.Windows().Sleep().IsAsleep() && Chance(50))
        Wait(MceIdleTimeout + 30 + Pick(60));
    if (!Player.Windows().Sleep().IsAsleep())
        Do("sleep");
}

// Everything that keeps the machine awake ends; an automatic wake must then
// end by the rules.
void cRandomNight::WindDown()
{
    while (!Activity.Recordings.empty())
        EndRecording(Activity.Recordings.begin()->first);
    while (!Activity.Processes.empty()) {
        const std::string name = Activity.Processes.begin()->first;
        Activity.Processes.erase(Activity.Processes.begin());
        if (IsListed(name) && Activity.ListedSince) {
            Activity.ListedSince.reset();
            Ended(Wake.ListedEnd);
        }
        Do("process end " + name);
    }
    if (Activity.Held != 0) {
        Activity.Held = 0;
        Activity.HolderSince.reset();
        Ended(Wake.HolderEnd);
        for (const char* flag : {"system", "display", "away"})
            Do(std::string("holder ") + flag + " off");
    }
    while (!Activity.NetSessions.empty()) {
        const std::string user = Activity.NetSessions.begin()->first;
        const cNetSession session = Activity.NetSessions.begin()->second;
        Activity.NetSessions.erase(Activity.NetSessions.begin());
        if (session.Listed)
            Wake.NetEnd = std::max(Wake.NetEnd, session.Busy ? Now() : session.Activity);
        Do("netsession remove " + user);
    }
    for (auto& [user, connected] : Activity.Rdp)
        if (connected) {
            connected = false;
            Ended(Wake.RdpEnd);
            Do("rdp logoff " + user);
        }
    for (auto& [number, connected] : Activity.Extenders)
        if (connected) {
            connected = false;
            Ended(Wake.ExtenderEnd);
            Do("extender logoff " + std::to_string(number));
        }
    for (int minutes = 0; minutes < 15 && !Player.Windows().Sleep().IsAsleep(); ++minutes)
        Wait(60);
}

// One event of a night while the machine is awake.
void cRandomNight::Step()
{
    const uint64_t now = Now();
    const uint32_t roll = Pick(100);
    if (roll < 30) {
        Wait(1 + Pick(30));
    } else if (roll < 34) {
        Wait(30 + Pick(200));
    } else if (roll < 46) {
        // A recording starts, or one in progress ends.
        const int number = 1 + static_cast<int>(Pick(MAX_RECORDINGS));
        if (Activity.Recordings.count(number)) {
            EndRecording(number);
        } else {
            Activity.Recordings[number] = now;
            Do("recording start " + std::to_string(number));
        }
    } else if (roll < 54) {
        const std::string name = PROGRAMS[Pick(4)];
        const bool ends = Activity.Processes.count(name) && Chance(60);
        if (ends)
            Activity.Processes.erase(name);
        else
            ++Activity.Processes[name];
        bool listed = false;
        for (const auto& [program, count] : Activity.Processes)
            listed = listed || IsListed(program);
        if (listed && !Activity.ListedSince)
            Activity.ListedSince = now;
        if (!listed && Activity.ListedSince) {
            Activity.ListedSince.reset();
            Ended(Wake.ListedEnd);
        }
        Do(std::string("process ") + (ends ? "end " : "start ") + name);
    } else if (roll < 62) {
        // The listed user's sessions keep every later wake going for 300 s:
        // rarer, so that the nights stay short.
        const std::string user = NET_USERS[Chance(30) ? 0 : 1];
        const auto found = Activity.NetSessions.find(user);
        const bool busy = Chance(30);
        const uint64_t idle = Pick(2) ? Pick(20) : Pick(600);
        const std::string state = busy ? "busy" : "idle=" + Seconds(idle);
        if (found == Activity.NetSessions.end()) {
            cNetSession session{user == "htpc", busy, now, now - std::min(now, idle * SECOND)};
            AnyListedNetSession = AnyListedNetSession || session.Listed;
            Activity.NetSessions[user] = session;
            Do("netsession add " + user + " " + state);
        } else if (Chance(40)) {
            if (found->second.Listed)
                Wake.NetEnd = std::max(Wake.NetEnd, found->second.Busy ? now : found->second.Activity);
            Activity.NetSessions.erase(found);
            Do("netsession remove " + user);
        } else {
            cNetSession& session = found->second;
            if (session.Busy && !busy)
                Wake.NetEnd = std::max(Wake.NetEnd, now);
            if (!NetSessionActive(session, now))
                session.Since = now;
            session.Busy = busy;
            session.Activity = now - std::min(now, idle * SECOND);
            Do("netsession set " + user + " " + state);
        }
    } else if (roll < 66) {
        const std::string user = RDP_USERS[Pick(2)];
        auto found = Activity.Rdp.find(user);
        if (found == Activity.Rdp.end() || !found->second) {
            Activity.Rdp[user] = true;
            Do("rdp connect " + user);
        } else {
            const bool logoff = Chance(50);
            if (logoff)
                Activity.Rdp.erase(found);
            else
                found->second = false;
            Ended(Wake.RdpEnd);
            Do(std::string("rdp ") + (logoff ? "logoff " : "disconnect ") + user);
        }
    } else if (roll < 70) {
        const int number = 1 + static_cast<int>(Pick(2));
        auto found = Activity.Extenders.find(number);
        if (found == Activity.Extenders.end() || !found->second) {
            Activity.Extenders[number] = true;
            Do("extender connect " + std::to_string(number));
        } else {
            const bool logoff = Chance(50);
            if (logoff)
                Activity.Extenders.erase(found);
            else
                found->second = false;
            Ended(Wake.ExtenderEnd);
            Do(std::string("extender ") + (logoff ? "logoff " : "disconnect ") + std::to_string(number));
        }
    } else if (roll < 75) {
        static const std::pair<const char*, uint32_t> flags[] = {{"system", 1}, {"display", 2}, {"away", 0x40}};
        const auto& [name, bit] = flags[Pick(3)];
        const bool on = (Activity.Held & bit) == 0;
        Activity.Held = on ? Activity.Held | bit : Activity.Held & ~bit;
        if (Activity.Held != 0 && !Activity.HolderSince)
            Activity.HolderSince = now;
        if (Activity.Held == 0 && Activity.HolderSince) {
            Activity.HolderSince.reset();
            Ended(Wake.HolderEnd);
        }
        Do(std::string("holder ") + name + (on ? " on" : " off"));
    } else if (roll < 79) {
        // The user is there: the wake is the user's from now on.
        Wake.Checked = false;
        Do("input");
    } else if (roll < 81) {
        Wake.Checked = false;
        Do(std::string("awaymode ") + (Chance(50) ? "on" : "off"));
    } else if (roll < 83) {
        Do(std::string("monitor ") + (Chance(50) ? "on" : "off"));
    } else if (roll < 86) {
        Do("broadcast PBT_APMQUERYSUSPEND 1");
    } else if (roll < 92) {
        if (!Activity.McWindow) {
            Activity.McWindow = true;
            Do(std::string("mcwindow open") + (Chance(30) ? " windowed" : "") + (Chance(30) ? " behind" : ""));
        } else {
            static const char* const actions[] = {"close", "front", "behind", "fullscreen", "windowed"};
            const std::string action = actions[Pick(5)];
            Activity.McWindow = action != "close";
            Do("mcwindow " + action);
        }
    } else {
        const int number = 1 + static_cast<int>(Pick(MAX_MC_SESSIONS));
        if (Activity.McSessions.count(number) && Chance(30)) {
            Activity.McSessions.erase(number);
            Do("mcsession " + std::to_string(number) + " end");
        } else {
            Activity.McSessions[number] = true;
            Do("mcsession " + std::to_string(number) + " state=" + MC_STATES[Pick(5)] +
               (Chance(50) ? " progress=running" : " progress=" + std::to_string(Pick(5000))));
        }
    }
}

// Every line of the log is a first line with its time stamp, never earlier
// than the one before, or a continuation line; the user interface comes
// back at most once between two suspends.
namespace {
const std::string SUMMARY_TITLE = "This file is generated by the Slumberhold.";
}

void cRandomNight::CheckLog()
{
    const std::string log = Player.LogText();
    if (!log.empty() && log.compare(log.size() - 2, 2, "\r\n") != 0)
        Violation("the log does not end with a line break");
    int64_t previous = -1;
    int restores = 0;
    size_t number = 0;
    // Each new log file begins with the system summary: a blank line, its
    // title, and plain report lines up to the first entry.
    bool inSummary = false;
    for (size_t begin = 0; begin < log.size();) {
        size_t end = log.find("\r\n", begin);
        if (end == std::string::npos)
            end = log.size();
        const std::string line = log.substr(begin, end - begin);
        begin = end + 2;
        ++number;
        const std::string where = "log line " + std::to_string(number) + " \"" + line + "\"";
        for (char c : line)
            if (c < 0x20 || c > 0x7E) {
                Violation(where + " holds a control character");
                break;
            }
        if (line.empty() && log.compare(begin, SUMMARY_TITLE.size(), SUMMARY_TITLE) == 0)
            inSummary = true;
        if (line.compare(0, TEXT_COLUMN, std::string(TEXT_COLUMN, ' ')) == 0)
            continue;
        const int64_t stamp = StampOf(line);
        if (stamp < 0 && inSummary)
            continue;
        inSummary = false;
        if (stamp < 0) {
            Violation(where + " is not well formed");
            continue;
        }
        if (stamp < previous)
            Violation(where + " is earlier than the line before");
        previous = stamp;
        const std::string text = line.substr(TEXT_COLUMN);
        if (text.rfind("PBT_APMSUSPEND (", 0) == 0)
            restores = 0;
        if (text == "Resuming userinterface" && ++restores > 1)
            Violation(where + ": the user interface is restored twice in one wake");
    }
}
