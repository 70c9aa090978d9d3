// The commands of a scenario that change what the activity detection
// watches: the lists, processes, the add-in's records, network and remote
// sessions, execution-state holders and Media Center's window. The player
// lets the program handle what each change brought at once.
#include <stdexcept>

#include "detection/NetSessionSensor.h"
#include "detection/ProcessSensor.h"
#include "foundation/Settings.h"
#include "platform/PowerPolicy.h"
#include "platform/Sessions.h"
#include "platform/WinConst.h"
#include "shell/MainWindow.h"
#include "tools/runner/Scenario.h"

void cScenarioPlayer::AddToList(const tWords& words)
{
    const std::string list = Unquote(words[1]);
    const std::string entry = Unquote(words[2]);
    if (list != NON_IDLE_APPLICATIONS_KEY && list != NON_IDLE_NETWORKSESSIONS_KEY)
        throw std::runtime_error("the lists are \"" + std::string(NON_IDLE_APPLICATIONS_KEY) + "\" and \"" +
                                 NON_IDLE_NETWORKSESSIONS_KEY + "\", not \"" + list + "\"");
    // Value names do not matter; numbering them keeps the entries apart.
    const std::string key = std::string(SETTINGS_KEY) + "\\" + list;
    std::vector<std::string> names;
    Sim.Registry().EnumValueNames(eHive::LocalMachine, key, names);
    Sim.Registry().SetString(eHive::LocalMachine, key, std::to_string(names.size() + 1), entry);
}

void cScenarioPlayer::ChangeProcess(const tWords& words)
{
    const std::string name = Unquote(words[2]);
    if (words[1] == "start")
        Sim.ProcessList().StartProcess(name);
    else if (words[1] != "end")
        throw std::runtime_error("a process starts or ends, not '" + words[1] + "'");
    else if (Sim.ProcessList().EndProcesses(name) == 0)
        throw std::runtime_error("no process " + words[2] + " runs");
}

void cScenarioPlayer::ChangeRecording(const tWords& words)
{
    const uint64_t now = Sim.Clock().Now();
    if (words[1] == "start")
        AddIn.StartRecording(ParseIdentity(words[2]), now);
    else if (words[1] == "end")
        AddIn.EndRecording(ParseIdentity(words[2]), now);
    else
        throw std::runtime_error("a recording starts or ends, not '" + words[1] + "'");
}

void cScenarioPlayer::ChangeMcSession(const tWords& words)
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

void cScenarioPlayer::ChangeNetSession(const tWords& words)
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

void cScenarioPlayer::ChangeRemoteSession(const tWords& words)
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

void cScenarioPlayer::ChangeHolder(const tWords& words)
{
    const uint32_t flag = ParseHolderFlag(words[1]);
    if (ParseOnOff(words[2]))
        HeldExecutionState |= flag;
    else
        HeldExecutionState &= ~flag;
    Sim.PowerPolicy().SetRecord(POWER_INFO_EXECUTION_STATE, HeldExecutionState);
}

void cScenarioPlayer::ChangeMediaCenterWindow(const tWords& words)
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


void cScenarioPlayer::ChangeFrontEnd(const tWords& words)
{
    FrontEnds.Command(words);
}

void cScenarioPlayer::ChangeDate(const tWords& words)
{
    PowerActions.Command(words);
}
