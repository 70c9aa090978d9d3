#include "tools/runner/Scenario.h"

#include <algorithm>
#include <cstdio>
#include <sstream>
#include <stdexcept>

#include "engine/PowerEvents.h"
#include "foundation/Settings.h"
#include "platform/WinConst.h"
#include "shell/MainWindow.h"
#include "tools/runner/ScenarioPowerEvents.h"

namespace {

// The program's message loop runs in steps of this many virtual
// milliseconds, so that a sleep that begins during a wait stops it soon.
constexpr uint64_t LOOP_STEP_MS = 100;

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

// The verbs a line may begin with (after its moment), in the order of the
// format's description. The program handles what a change of the machine's
// activity brought before the next line.
const cScenarioPlayer::cCommand cScenarioPlayer::COMMANDS[] = {
    {"clock", 2, &cScenarioPlayer::SetClock},
    {"tickcount", 1, &cScenarioPlayer::SetTickCount},
    {"set", 3, &cScenarioPlayer::SetValue},
    {"reg", 4, &cScenarioPlayer::SetValue},
    {"windows", 1, &cScenarioPlayer::SetWindows},
    {"start", 0, &cScenarioPlayer::Start},
    {"close", 0, &cScenarioPlayer::Close},
    {"exit", 0, &cScenarioPlayer::Close},
    {"answer", 1, &cScenarioPlayer::Answer},
    {"wait", 1, &cScenarioPlayer::Wait},
    {"broadcast", 1, &cScenarioPlayer::SendBroadcast},
    {"awaymode", 1, &cScenarioPlayer::AwayMode},
    {"monitor", 1, &cScenarioPlayer::Monitor},
    {"suspend", 0, &cScenarioPlayer::Suspend},
    {"wake", 1, &cScenarioPlayer::Wake},
    {"request", 1, &cScenarioPlayer::RequestSuspend},
    {"sleep", 0, &cScenarioPlayer::SleepNow},
    {"nextwake", 1, &cScenarioPlayer::NextWake},
    {"input", 0, &cScenarioPlayer::Input},
    {"list", 2, &cScenarioPlayer::AddToList, true},
    {"process", 2, &cScenarioPlayer::ChangeProcess, true},
    {"recording", 2, &cScenarioPlayer::ChangeRecording, true},
    {"mcsession", 2, &cScenarioPlayer::ChangeMcSession, true},
    {"netsession", 2, &cScenarioPlayer::ChangeNetSession, true},
    {"rdp", 1, &cScenarioPlayer::ChangeRemoteSession, true},
    {"extender", 1, &cScenarioPlayer::ChangeRemoteSession, true},
    {"holder", 2, &cScenarioPlayer::ChangeHolder, true},
    {"mcwindow", 1, &cScenarioPlayer::ChangeMediaCenterWindow, true},
    {"mctray", 1, &cScenarioPlayer::ChangeFrontEnd, true},
    {"mcclose", 1, &cScenarioPlayer::ChangeFrontEnd, true},
    {"date", 1, &cScenarioPlayer::ChangeDate, true},
    {"expect", 2, &cScenarioPlayer::Expect},
};

cScenarioPlayer::cScenarioPlayer() = default;

cScenarioPlayer::~cScenarioPlayer()
{
    App.reset();
}

void cScenarioPlayer::Play(const std::string& script)
{
    std::istringstream lines(script);
    std::string line;
    while (std::getline(lines, line)) {
        ++Line;
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        try {
            PlayLine(line);
        } catch (const std::exception& error) {
            Fail(error.what());
        }
    }
}

void cScenarioPlayer::Fail(const std::string& message)
{
    Failures_.push_back("line " + std::to_string(Line) + ": " + message);
}

void cScenarioPlayer::PlayLine(const std::string& line)
{
    tWords words = SplitWords(line);
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
    if (words.empty())
        return;
    for (const cCommand& command : COMMANDS) {
        if (words[0] != command.Verb)
            continue;
        RequireArguments(words, command.Arguments);
        (this->*command.Run)(words);
        if (command.ThenPump)
            Pump();
        return;
    }
    throw std::runtime_error("unknown command '" + words[0] + "'");
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

void cScenarioPlayer::Broadcast(uintptr_t event, intptr_t lParam)
{
    if (!App)
        throw std::runtime_error("the program is not running");
    Sim.Windowing().SendMessage(App->Handle(), WM_POWERBROADCAST, event, lParam);
    Pump();
}

void cScenarioPlayer::PowerSettingChange(const cGuid& setting, std::optional<uint32_t> value)
{
    // The record lives until the program has handled the broadcast.
    const cPowerSettingRecord record(setting, value);
    Broadcast(PBT_POWERSETTINGCHANGE, record.Param());
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
