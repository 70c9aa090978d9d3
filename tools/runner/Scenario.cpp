#include "tools/runner/Scenario.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <map>
#include <sstream>
#include <stdexcept>

#include "engine/McePowerManager.h"
#include "engine/PowerEvents.h"
#include "detection/NetSessionSensor.h"
#include "detection/ProcessSensor.h"
#include "foundation/Settings.h"
#include "platform/PowerPolicy.h"
#include "platform/Sessions.h"
#include "platform/WinConst.h"
#include "shell/MainWindow.h"
#include "targets/MediaCenterContract.h"

namespace {

std::vector<std::string> SplitWords(const std::string& line)
{
    std::vector<std::string> words;
    size_t i = 0;
    while (i < line.size()) {
        if (std::isspace(static_cast<unsigned char>(line[i]))) {
            ++i;
            continue;
        }
        if (line[i] == '#')
            break;
        std::string word;
        if (line[i] == '"') {
            size_t end = line.find('"', i + 1);
            if (end == std::string::npos)
                throw std::runtime_error("unclosed quote");
            word = "\"" + line.substr(i + 1, end - i - 1);  // a leading quote marks text
            i = end + 1;
        } else {
            while (i < line.size() && !std::isspace(static_cast<unsigned char>(line[i])))
                word += line[i++];
        }
        words.push_back(word);
    }
    return words;
}

bool IsText(const std::string& word)
{
    return !word.empty() && word[0] == '"';
}

std::string Unquote(const std::string& word)
{
    return IsText(word) ? word.substr(1) : word;
}

uint64_t ParseDuration(const std::string& text)
{
    uint64_t total = 0;
    size_t i = 0;
    if (text.empty())
        throw std::runtime_error("empty duration");
    while (i < text.size()) {
        size_t digits = i;
        while (digits < text.size() && std::isdigit(static_cast<unsigned char>(text[digits])))
            ++digits;
        if (digits == i)
            throw std::runtime_error("bad duration '" + text + "'");
        const uint64_t amount = std::stoull(text.substr(i, digits - i));
        size_t unitEnd = digits;
        while (unitEnd < text.size() && std::isalpha(static_cast<unsigned char>(text[unitEnd])))
            ++unitEnd;
        const std::string unit = text.substr(digits, unitEnd - digits);
        if (unit == "ms")
            total += amount;
        else if (unit == "s" || unit.empty())
            total += amount * 1000;
        else if (unit == "m")
            total += amount * 60000;
        else if (unit == "h")
            total += amount * 3600000;
        else
            throw std::runtime_error("bad duration unit '" + unit + "'");
        i = unitEnd;
    }
    return total;
}

// "hh:mm:ss" or "hh:mm:ss.zzz" as milliseconds since midnight.
int64_t ParseTimeOfDay(const std::string& text)
{
    unsigned hour = 0, minute = 0, second = 0, milliseconds = 0;
    const int fields = std::sscanf(text.c_str(), "%u:%u:%u.%u", &hour, &minute, &second, &milliseconds);
    if (fields < 2 || hour > 23 || minute > 59 || second > 59)
        throw std::runtime_error("bad time '" + text + "'");
    return ((hour * 60 + minute) * 60 + second) * 1000LL + milliseconds;
}

eHive ParseHive(const std::string& word)
{
    if (word == "HKLM")
        return eHive::LocalMachine;
    if (word == "HKCU")
        return eHive::CurrentUser;
    throw std::runtime_error("unknown hive '" + word + "'");
}

uintptr_t ParsePowerEvent(const std::string& word)
{
    static const std::pair<const char*, uintptr_t> names[] = {
        {"PBT_APMQUERYSUSPEND", PBT_APMQUERYSUSPEND},
        {"PBT_APMQUERYSTANDBY", PBT_APMQUERYSTANDBY},
        {"PBT_APMQUERYSUSPENDFAILED", PBT_APMQUERYSUSPENDFAILED},
        {"PBT_APMQUERYSTANDBYFAILED", PBT_APMQUERYSTANDBYFAILED},
        {"PBT_APMSUSPEND", PBT_APMSUSPEND},
        {"PBT_APMSTANDBY", PBT_APMSTANDBY},
        {"PBT_APMRESUMECRITICAL", PBT_APMRESUMECRITICAL},
        {"PBT_APMRESUMESUSPEND", PBT_APMRESUMESUSPEND},
        {"PBT_APMRESUMESTANDBY", PBT_APMRESUMESTANDBY},
        {"PBT_APMBATTERYLOW", PBT_APMBATTERYLOW},
        {"PBT_APMPOWERSTATUSCHANGE", PBT_APMPOWERSTATUSCHANGE},
        {"PBT_APMOEMEVENT", PBT_APMOEMEVENT},
        {"PBT_APMRESUMEAUTOMATIC", PBT_APMRESUMEAUTOMATIC},
        {"PBT_APMAWAY", PBT_APMAWAY},
        {"PBT_APMAWAYRESUME", PBT_APMAWAYRESUME},
    };
    for (const auto& [name, code] : names)
        if (word == name)
            return code;
    return static_cast<uintptr_t>(std::stoul(word, nullptr, 0));
}

bool ParseYesNo(const std::string& word)
{
    if (word == "yes")
        return true;
    if (word == "no")
        return false;
    throw std::runtime_error("expected yes or no, not '" + word + "'");
}

eSimWake ParseWake(const std::string& word)
{
    if (word == "automatic")
        return eSimWake::Automatic;
    if (word == "user")
        return eSimWake::User;
    throw std::runtime_error("a wake is automatic or user, not '" + word + "'");
}

// The program's message loop runs in steps of this many virtual
// milliseconds, so that a sleep that begins during a wait stops it soon.
constexpr uint64_t LOOP_STEP_MS = 100;

// Message-box texts as scenarios write them: line breaks as \r and \n.
std::string ShownText(const std::string& text)
{
    std::string shown;
    for (char c : text)
        shown += c == '\r' ? "\\r" : c == '\n' ? "\\n" : std::string(1, c);
    return shown;
}

void RequireArguments(const std::vector<std::string>& words, size_t count)
{
    if (words.size() < count + 1)
        throw std::runtime_error(words[0] + " needs " + std::to_string(count) + " arguments");
}

// The words from first on: name=value options and plain flags.
struct cOptions {
    std::map<std::string, std::string> Values;
    std::vector<std::string> Flags;
};

cOptions ParseOptions(const std::vector<std::string>& words, size_t first,
                      const std::vector<std::string>& names, const std::vector<std::string>& flags)
{
    cOptions options;
    for (size_t i = first; i < words.size(); ++i) {
        const std::string word = Unquote(words[i]);
        const size_t equals = word.find('=');
        const std::string name = word.substr(0, equals);
        if (equals == std::string::npos && std::find(flags.begin(), flags.end(), word) != flags.end())
            options.Flags.push_back(word);
        else if (equals != std::string::npos && std::find(names.begin(), names.end(), name) != names.end())
            options.Values[name] = word.substr(equals + 1);
        else
            throw std::runtime_error("unknown option '" + word + "'");
    }
    return options;
}

bool HasFlag(const cOptions& options, const std::string& flag)
{
    return std::find(options.Flags.begin(), options.Flags.end(), flag) != options.Flags.end();
}

uint32_t ParseNumber(const std::string& text)
{
    size_t end = 0;
    unsigned long long value = 0;
    try {
        value = std::stoull(text, &end, 0);
    } catch (const std::exception&) {
        end = 0;
    }
    if (text.empty() || !std::isdigit(static_cast<unsigned char>(text[0])) || end != text.size() ||
        value > 0xFFFFFFFFull)
        throw std::runtime_error("bad number '" + text + "'");
    return static_cast<uint32_t>(value);
}

// The number that names a recording or a session.
int ParseIdentity(const std::string& text)
{
    const uint32_t number = ParseNumber(text);
    if (number == 0 || number > 0x7FFFFFFF)
        throw std::runtime_error("recordings and sessions are numbered from 1, not '" + text + "'");
    return static_cast<int>(number);
}

uint32_t ParseMcState(const std::string& word)
{
    static const std::pair<const char*, uint32_t> names[] = {
        {"none", MCSA_STATE_NONE},   {"stopped", MCSA_STATE_STOPPED}, {"playing", MCSA_STATE_PLAYING},
        {"paused", MCSA_STATE_PAUSED}, {"ended", MCSA_STATE_ENDED},   {"menu", MCSA_STATE_MENU},
        {"closing", MCSA_STATE_CLOSING},
    };
    std::string lower;
    for (char c : word)
        lower += static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    for (const auto& [name, state] : names)
        if (lower == name)
            return state;
    if (!word.empty() && std::isdigit(static_cast<unsigned char>(word[0])))
        return ParseNumber(word);
    throw std::runtime_error("unknown Media Center state '" + word + "'");
}

uint32_t ParseSeconds(const std::string& text)
{
    return static_cast<uint32_t>(ParseDuration(text) / 1000);
}

bool ParseOnOff(const std::string& word)
{
    if (word == "on")
        return true;
    if (word == "off")
        return false;
    throw std::runtime_error("expected on or off, not '" + word + "'");
}

// Execution-state flags another program may hold (ES_*).
uint32_t ParseHolderFlag(const std::string& word)
{
    if (word == "system")
        return 0x00000001;  // ES_SYSTEM_REQUIRED
    if (word == "display")
        return 0x00000002;  // ES_DISPLAY_REQUIRED
    if (word == "away")
        return 0x00000040;  // ES_AWAYMODE_REQUIRED
    throw std::runtime_error("a holder holds system, display or away, not '" + word + "'");
}

// The number of log lines that contain the text.
size_t LinesWith(const std::string& log, const std::string& text)
{
    size_t count = 0;
    std::istringstream lines(log);
    std::string line;
    while (std::getline(lines, line))
        count += line.find(text) != std::string::npos ? 1 : 0;
    return count;
}

const char* LaunchKindName(eSimLaunchKind kind)
{
    switch (kind) {
    case eSimLaunchKind::WinExec:
        return "WinExec";
    case eSimLaunchKind::CreateProcess:
        return "CreateProcess";
    case eSimLaunchKind::CreateProcessW:
        return "CreateProcessW";
    case eSimLaunchKind::DesktopShellToken:
        return "CreateProcess with the desktop's token";
    case eSimLaunchKind::RunAs:
        return "ShellExecute runas";
    }
    return "";
}

}  // namespace

cScenarioPlayer::cScenarioPlayer() = default;

cScenarioPlayer::~cScenarioPlayer()
{
    App.reset();
}

void cScenarioPlayer::Play(const std::string& script)
{
    std::istringstream lines(script);
    std::string line;
    int number = 0;
    while (std::getline(lines, line)) {
        ++number;
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        try {
            PlayLine(line, number);
        } catch (const std::exception& error) {
            Fail(number, error.what());
        }
    }
}

void cScenarioPlayer::Fail(int number, const std::string& message)
{
    Failures_.push_back("line " + std::to_string(number) + ": " + message);
}

void cScenarioPlayer::PlayLine(const std::string& line, int number)
{
    std::vector<std::string> words = SplitWords(line);
    if (words.empty())
        return;
    if (words[0][0] == '+') {
        WaitUntil(Sim.Clock().Now() + ParseDuration(words[0].substr(1)));
        words.erase(words.begin());
    } else if (words[0] == "at") {
        if (words.size() < 2)
            throw std::runtime_error("at needs a time");
        WaitUntil(MomentOf(words[1]));
        words.erase(words.begin(), words.begin() + 2);
    }
    if (!words.empty())
        Command(words, number);
}

uint64_t cScenarioPlayer::MomentOf(const std::string& word)
{
    if (!word.empty() && word[0] == '+')
        return Sim.Clock().Now() + ParseDuration(word.substr(1));
    const cLocalTime now = Sim.Clock().GetLocalTime();
    const int64_t nowOfDay = ((now.Hour * 60 + now.Minute) * 60 + now.Second) * 1000LL + now.Milliseconds;
    int64_t wait = ParseTimeOfDay(word) - nowOfDay;
    if (wait <= 0)
        wait += 24 * 3600 * 1000LL;
    return Sim.Clock().Now() + static_cast<uint64_t>(wait);
}

// Nothing runs on a sleeping machine: time only passes. A sleep with a
// chosen wake ends inside the loop, which then goes on after the wake.
void cScenarioPlayer::WaitUntil(uint64_t moment)
{
    if (App && !Sim.Sleep().IsAsleep()) {
        do {
            // What goes on by itself while the machine runs: playback
            // advances, busy clients stay active.
            AddIn.Refresh(Sim.Clock().Now());
            NetSessions.Refresh();
            Sim.Windowing().RunUntil(std::min(moment, Sim.Clock().Now() + LOOP_STEP_MS));
            Pump();
        } while (App && !Sim.Sleep().IsAsleep() && Sim.Clock().Now() < moment);
    }
    Sim.Clock().AdvanceTo(moment);
}

// Lets the program handle what is waiting; a program that posted its quit
// message is ended here, as its message loop would end.
void cScenarioPlayer::Pump()
{
    if (!App)
        return;
    Sim.Windowing().ProcessMessages();
    if (Sim.Windowing().QuitPosted())
        App.reset();
}

void cScenarioPlayer::Command(const std::vector<std::string>& words, int number)
{
    const std::string& verb = words[0];
    auto need = [&words](size_t count) { RequireArguments(words, count); };
    if (FrontEnds.Command(words) || PowerActions.Command(words)) {
        Pump();
        return;
    }
    if (verb == "clock") {
        need(2);
        cLocalTime time;
        unsigned year, month, day;
        if (std::sscanf(words[1].c_str(), "%u-%u-%u", &year, &month, &day) != 3)
            throw std::runtime_error("bad date '" + words[1] + "'");
        const int64_t ofDay = ParseTimeOfDay(words[2]);
        time.Year = static_cast<uint16_t>(year);
        time.Month = static_cast<uint16_t>(month);
        time.Day = static_cast<uint16_t>(day);
        time.Hour = static_cast<uint16_t>(ofDay / 3600000);
        time.Minute = static_cast<uint16_t>(ofDay / 60000 % 60);
        time.Second = static_cast<uint16_t>(ofDay / 1000 % 60);
        time.Milliseconds = static_cast<uint16_t>(ofDay % 1000);
        Sim.Clock().SetLocalTime(time);
    } else if (verb == "tickcount") {
        need(1);
        Sim.Clock().SetTickBase(static_cast<uint32_t>(std::stoul(words[1]) - Sim.Clock().Now()));
    } else if (verb == "set" || verb == "reg") {
        const bool anyKey = verb == "reg";
        need(anyKey ? 4 : 3);
        const eHive hive = ParseHive(words[1]);
        const std::string key = anyKey ? Unquote(words[2]) : SETTINGS_KEY;
        const std::string& name = Unquote(words[anyKey ? 3 : 2]);
        const std::string& data = words[anyKey ? 4 : 3];
        if (IsText(data))
            Sim.Registry().SetString(hive, key, name, Unquote(data));
        else
            Sim.Registry().SetDword(hive, key, name, static_cast<uint32_t>(std::stoll(data, nullptr, 0)));
    } else if (verb == "windows") {
        need(1);
        cOsVersionRecord record;
        unsigned major = 0, minor = 0;
        if (std::sscanf(words[1].c_str(), "%u.%u", &major, &minor) != 2)
            throw std::runtime_error("bad Windows version '" + words[1] + "'");
        record.Major = major;
        record.Minor = minor;
        record.ProductType = 1;
        bool mediaCenter = false;
        for (size_t i = 2; i < words.size(); ++i) {
            if (words[i] == "server")
                record.ProductType = 3;
            else if (words[i] == "mediacenter")
                mediaCenter = true;
            else if (words[i] != "workstation")
                throw std::runtime_error("unknown Windows property '" + words[i] + "'");
        }
        Sim.System().SetVersionRecord(record);
        Sim.System().SetSystemMetric(SYSTEM_METRIC_MEDIACENTER, mediaCenter ? 1 : 0);
        if (mediaCenter)
            Sim.Files().WriteNewFile(MediaCenterShellPath("C:\\Windows"), "");
        else
            Sim.Files().DeleteFile(MediaCenterShellPath("C:\\Windows"));
    } else if (verb == "broadcast") {
        need(1);
        Broadcast(ParsePowerEvent(words[1]), words.size() > 2 ? std::stoll(words[2], nullptr, 0) : 0);
    } else if (verb == "suspend") {
        Broadcast(PBT_APMSUSPEND, 0);
    } else if (verb == "wake" && Sim.Sleep().IsAsleep()) {
        need(1);
        Sim.Sleep().Wake(ParseWake(words[1]));
        Pump();
    } else if (verb == "wake") {
        need(1);
        if (words[1] == "automatic") {
            Sim.Power().SetResumeAutomatic(true);
            Broadcast(PBT_APMRESUMEAUTOMATIC, 0);
        } else if (words[1] == "user") {
            Sim.Power().SetResumeAutomatic(false);
            Broadcast(PBT_APMRESUMEAUTOMATIC, 0);
            Sim.Power().UserInput();
            Broadcast(PBT_APMRESUMESUSPEND, 0);
        } else {
            throw std::runtime_error("wake is automatic or user, not '" + words[1] + "'");
        }
    } else if (verb == "request") {
        need(1);
        if (words[1] != "suspend")
            throw std::runtime_error("only suspend can be requested, not '" + words[1] + "'");
        if (words.size() > 2 && words[2] != "automatic")
            throw std::runtime_error("request suspend takes automatic or nothing, not '" + words[2] + "'");
        cMcePowerManager* engine = App ? App->GetEngineForTesting() : nullptr;
        if (engine == nullptr)
            throw std::runtime_error("there is no engine to ask");
        engine->RequestSuspend(words.size() > 2);
        Pump();
    } else if (verb == "sleep") {
        if (!Sim.Sleep().Sleep(false))
            throw std::runtime_error("the machine is already going to sleep");
        Pump();
    } else if (verb == "nextwake") {
        need(1);
        if (words[1] == "none") {
            Sim.Sleep().SetNextWake(eSimWake::None);
        } else {
            need(2);
            Sim.Sleep().SetNextWake(ParseWake(words[1]), MomentOf(words[2]));
        }
    } else if (verb == "input") {
        Sim.Power().UserInput();
    } else if (verb == "start") {
        if (App)
            throw std::runtime_error("the program is already running");
        std::vector<std::string> arguments{Sim.Files().GetModuleFileName()};
        arguments.insert(arguments.end(), words.begin() + 1, words.end());
        Sim.Processes().SetArguments(arguments);
        Sim.Windowing().StartNewProcess();
        App = std::make_unique<TfMain>(Sim.Get());
        Pump();
    } else if (verb == "close" || verb == "exit") {
        if (!App)
            throw std::runtime_error("the program is not running");
        if (verb == "close")
            Sim.Windowing().SendMessage(App->Handle(), WM_CLOSE, 0, 0);
        else
            App->Exit1Click();
        Pump();
    } else if (verb == "answer") {
        need(1);
        const std::string& answer = words[1];
        Sim.Dialogs().QueueAnswer(answer == "yes" ? IDYES : answer == "no" ? IDNO : answer == "cancel" ? IDCANCEL : IDOK);
    } else if (verb == "wait") {
        need(1);
        WaitUntil(Sim.Clock().Now() + ParseDuration(words[1]));
    } else if (verb == "expect") {
        Expect(words, number);
    } else if (!ActivityCommand(words)) {
        throw std::runtime_error("unknown command '" + verb + "'");
    }
}

bool cScenarioPlayer::ActivityCommand(const std::vector<std::string>& words)
{
    const std::string& verb = words[0];
    auto need = [&words](size_t count) { RequireArguments(words, count); };
    const uint64_t now = Sim.Clock().Now();
    if (verb == "list") {
        need(2);
        AddToList(Unquote(words[1]), Unquote(words[2]));
    } else if (verb == "process") {
        need(2);
        if (words[1] == "start")
            Sim.ProcessList().StartProcess(Unquote(words[2]));
        else if (words[1] == "end" && Sim.ProcessList().EndProcesses(Unquote(words[2])) == 0)
            throw std::runtime_error("no process " + words[2] + " runs");
        else if (words[1] != "end")
            throw std::runtime_error("a process starts or ends, not '" + words[1] + "'");
    } else if (verb == "recording") {
        need(2);
        if (words[1] == "start")
            AddIn.StartRecording(ParseIdentity(words[2]), now);
        else if (words[1] == "end")
            AddIn.EndRecording(ParseIdentity(words[2]), now);
        else
            throw std::runtime_error("a recording starts or ends, not '" + words[1] + "'");
    } else if (verb == "mcsession") {
        need(2);
        ChangeMcSession(words);
    } else if (verb == "netsession") {
        need(2);
        ChangeNetSession(words);
    } else if (verb == "rdp" || verb == "extender") {
        need(1);
        ChangeRemoteSession(words);
    } else if (verb == "holder") {
        need(2);
        ChangeHolder(words);
    } else if (verb == "mcwindow") {
        need(1);
        ChangeMediaCenterWindow(words);
    } else {
        return false;
    }
    Pump();
    return true;
}

void cScenarioPlayer::AddToList(const std::string& list, const std::string& entry)
{
    if (list != NON_IDLE_APPLICATIONS_KEY && list != NON_IDLE_NETWORKSESSIONS_KEY)
        throw std::runtime_error("the lists are \"" + std::string(NON_IDLE_APPLICATIONS_KEY) + "\" and \"" +
                                 NON_IDLE_NETWORKSESSIONS_KEY + "\", not \"" + list + "\"");
    // Value names do not matter; numbering them keeps the entries apart.
    const std::string key = std::string(SETTINGS_KEY) + "\\" + list;
    std::vector<std::string> names;
    Sim.Registry().EnumValueNames(eHive::LocalMachine, key, names);
    Sim.Registry().SetString(eHive::LocalMachine, key, std::to_string(names.size() + 1), entry);
}

void cScenarioPlayer::ChangeMcSession(const std::vector<std::string>& words)
{
    const int number = ParseIdentity(words[1]);
    if (words[2] == "end") {
        if (words.size() > 3)
            throw std::runtime_error("mcsession " + words[1] + " end takes nothing more");
        AddIn.EndSession(number, Sim.Clock().Now());
        return;
    }
    const cOptions options = ParseOptions(words, 2, {"state", "progress", "detailA", "detailB"}, {});
    cMcSessionChange change;
    for (const auto& [name, value] : options.Values) {
        if (name == "state")
            change.State = ParseMcState(value);
        else if (name == "progress" && value == "running")
            change.ProgressRuns = true;
        else if (name == "progress")
            change.Progress = ParseNumber(value);
        else if (name == "detailA")
            change.DetailA = ParseNumber(value);
        else
            change.DetailB = ParseNumber(value);
    }
    AddIn.ChangeSession(number, change, Sim.Clock().Now());
}

void cScenarioPlayer::ChangeNetSession(const std::vector<std::string>& words)
{
    const std::string& action = words[1];
    const std::string user = Unquote(words[2]);
    if (action == "remove") {
        if (words.size() > 3)
            throw std::runtime_error("netsession remove takes a user name only");
        NetSessions.Remove(user);
        return;
    }
    if (action != "add" && action != "set")
        throw std::runtime_error("a network session is added, set or removed, not '" + action + "'");
    const cOptions options = ParseOptions(words, 3, action == "add" ? std::vector<std::string>{"idle", "client"}
                                                                       : std::vector<std::string>{"idle"},
                                          {"busy"});
    const bool busy = HasFlag(options, "busy");
    const auto idle = options.Values.find("idle");
    if (busy && idle != options.Values.end())
        throw std::runtime_error("a busy network session has no idle time");
    if (action == "set" && !busy && idle == options.Values.end())
        throw std::runtime_error("netsession set needs idle= or busy");
    const uint32_t idleSeconds = idle == options.Values.end() ? 0 : ParseSeconds(idle->second);
    if (action == "set") {
        NetSessions.Set(user, idleSeconds, busy);
        return;
    }
    const auto client = options.Values.find("client");
    NetSessions.Add(user, "\\\\" + (client == options.Values.end() ? std::string("CLIENT") : client->second),
                    idleSeconds, busy);
}

void cScenarioPlayer::ChangeRemoteSession(const std::vector<std::string>& words)
{
    if (words.size() > 3)
        throw std::runtime_error(words[0] + " " + words[1] + " takes one name at most");
    std::string user;
    if (words[0] == "rdp")
        user = words.size() > 2 ? Unquote(words[2]) : "RemoteUser";
    else
        user = cScenarioRemoteSessions::ExtenderUser(words.size() > 2 ? ParseIdentity(words[2]) : 1);
    if (words[1] == "connect")
        RemoteSessions.Connect(user);
    else if (words[1] == "disconnect")
        RemoteSessions.Disconnect(user);
    else if (words[1] == "logoff")
        RemoteSessions.Logoff(user);
    else
        throw std::runtime_error("a session connects, disconnects or logs off, not '" + words[1] + "'");
}

void cScenarioPlayer::ChangeHolder(const std::vector<std::string>& words)
{
    const uint32_t flag = ParseHolderFlag(words[1]);
    if (ParseOnOff(words[2]))
        HeldExecutionState |= flag;
    else
        HeldExecutionState &= ~flag;
    Sim.PowerPolicy().SetRecord(POWER_INFO_EXECUTION_STATE, HeldExecutionState);
}

void cScenarioPlayer::ChangeMediaCenterWindow(const std::vector<std::string>& words)
{
    const std::string& action = words[1];
    if (action == "open") {
        const cOptions options = ParseOptions(words, 2, {}, {"windowed", "behind"});
        MediaCenterWindow.Open(!HasFlag(options, "windowed"), !HasFlag(options, "behind"));
        return;
    }
    if (words.size() > 2)
        throw std::runtime_error("mcwindow " + action + " takes nothing more");
    if (action == "fullscreen" || action == "windowed")
        MediaCenterWindow.SetFullScreen(action == "fullscreen");
    else if (action == "front" || action == "behind")
        MediaCenterWindow.SetFront(action == "front");
    else if (action == "close")
        MediaCenterWindow.Close();
    else
        throw std::runtime_error("unknown mcwindow action '" + action + "'");
}

void cScenarioPlayer::NotifySessionChange(uint32_t reason, uint32_t sessionId)
{
    // Windows notifies only the windows registered for session changes.
    if (App && Sim.Sessions().IsRegistered(App->Handle()))
        Sim.Windowing().SendMessage(App->Handle(), WM_WTSSESSION_CHANGE, reason, static_cast<intptr_t>(sessionId));
}

void cScenarioPlayer::Expect(const std::vector<std::string>& words, int number)
{
    if (words.size() < 3)
        throw std::runtime_error("expect needs a subject and a value");
    const std::string& subject = words[1];
    const std::string wanted = Unquote(words[2]);
    std::string failure;
    if (FrontEnds.Expect(words, failure) || PowerActions.Expect(words, failure)) {
        if (!failure.empty())
            Fail(number, failure);
        return;
    }
    if (subject == "log" && words.size() > 3) {
        const size_t times = ParseNumber(words[3]);
        const size_t found = LinesWith(LogText(), wanted);
        if (found != times)
            Fail(number, "log holds \"" + wanted + "\" " + std::to_string(found) + " times, not " +
                             std::to_string(times));
    } else if (subject == "log" || subject == "nolog") {
        const bool found = LogText().find(wanted) != std::string::npos;
        if (found != (subject == "log"))
            Fail(number, (found ? "log holds \"" : "log lacks \"") + wanted + "\"");
    } else if (subject == "title") {
        const std::string title = App ? Sim.Windowing().GetWindowText(App->Handle()) : "";
        if (title != wanted)
            Fail(number, "title is \"" + title + "\", not \"" + wanted + "\"");
    } else if (subject == "visible") {
        const bool visible = App && Sim.Windowing().IsWindowVisible(App->Handle());
        if (visible != ParseYesNo(wanted))
            Fail(number, std::string("window is ") + (visible ? "visible" : "hidden"));
    } else if (subject == "asleep") {
        const bool asleep = Sim.Sleep().IsAsleep();
        if (asleep != ParseYesNo(wanted))
            Fail(number, std::string("machine is ") + (asleep ? "asleep" : "awake"));
    } else if (subject == "running") {
        if ((App != nullptr) != ParseYesNo(wanted))
            Fail(number, std::string("program is ") + (App ? "running" : "not running"));
    } else if (subject == "box") {
        if (words.size() < 4)
            throw std::runtime_error("expect box needs a caption and a text");
        bool shown = false;
        for (const cSimMessageBox& box : Sim.Dialogs().Shown())
            shown |= box.Caption == wanted && ShownText(box.Text) == Unquote(words[3]);
        if (!shown)
            Fail(number, "no message box \"" + wanted + "\"");
    } else if (subject == "setting") {
        if (words.size() < 5)
            throw std::runtime_error("expect setting needs a hive, a name and a value");
        const eHive hive = ParseHive(words[2]);
        const std::string name = Unquote(words[3]);
        if (IsText(words[4])) {
            std::string value;
            if (!Sim.Registry().GetString(hive, SETTINGS_KEY, name, value) || value != Unquote(words[4]))
                Fail(number, "setting " + name + " is \"" + value + "\"");
        } else {
            uint32_t value = 0;
            if (!Sim.Registry().GetDword(hive, SETTINGS_KEY, name, value) ||
                value != static_cast<uint32_t>(std::stoll(words[4], nullptr, 0)))
                Fail(number, "setting " + name + " is " + std::to_string(value));
        }
    } else {
        throw std::runtime_error("unknown expectation '" + subject + "'");
    }
}

void cScenarioPlayer::Broadcast(uintptr_t event, intptr_t lParam)
{
    if (!App)
        throw std::runtime_error("the program is not running");
    Sim.Windowing().SendMessage(App->Handle(), WM_POWERBROADCAST, event, lParam);
    Pump();
}

void cScenarioPlayer::Finish()
{
    if (App)
        Sim.Windowing().SendMessage(App->Handle(), WM_CLOSE, 0, 0);
    Pump();
    App.reset();
}

std::string cScenarioPlayer::LogText()
{
    std::string directory;
    if (!Sim.Registry().GetString(eHive::LocalMachine, SETTINGS_KEY, "LogPath", directory))
        return {};
    std::string text;
    Sim.Files().ReadWholeFile(directory + "\\SLH Log.txt", text);
    return text;
}

void cScenarioPlayer::Report(std::ostream& out)
{
    std::string log = LogText();
    for (char c : log)
        if (c != '\r')
            out << c;
    for (const cSimMessageBox& box : Sim.Dialogs().Shown()) {
        out << "[message box] " << box.Caption << ": " << ShownText(box.Text) << "\n";
    }
    for (const cSimLaunch& launch : Sim.Processes().Launches()) {
        out << "[" << (launch.Started ? "started" : "failed to start") << "] " << StampOf(launch.At) << " by "
            << LaunchKindName(launch.Kind) << "\n";
        if (!launch.Application.empty())
            out << "    application:  " << launch.Application << "\n";
        out << "    command line: " << launch.CommandLine << "\n";
        if (!launch.Directory.empty())
            out << "    folder:       " << launch.Directory << "\n";
    }
}

std::string cScenarioPlayer::StampOf(uint64_t moment)
{
    const int64_t now = LocalTimeToMilliseconds(Sim.Clock().GetLocalTime());
    const cLocalTime time =
        MillisecondsToLocalTime(now - static_cast<int64_t>(Sim.Clock().Now()) + static_cast<int64_t>(moment));
    cLocale& locale = Sim.Get().Locale;
    char text[64];
    std::snprintf(text, sizeof text, "%s %02u %s %04u %02u:%02u:%02u.%03u", locale.ShortDayName(time.DayOfWeek).c_str(),
                  time.Day, locale.ShortMonthName(time.Month).c_str(), time.Year, time.Hour, time.Minute,
                  time.Second, time.Milliseconds);
    return text;
}
