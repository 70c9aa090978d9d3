#include "tools/runner/ScenarioActivity.h"

#include <stdexcept>

#include "platform/Sessions.h"
#include "platform/sim/SimProcessList.h"
#include "platform/sim/SimProcesses.h"
#include "platform/sim/SimSessions.h"
#include "platform/sim/SimSharedMemory.h"
#include "platform/sim/SimWindowing.h"

namespace {

// Progress of running playback, in tenths of a second: readings a second
// apart always differ.
constexpr uint64_t PROGRESS_STEP_MS = 100;

// GetTitleBarInfo's state of a window without a visible caption.
constexpr uint32_t STATE_SYSTEM_INVISIBLE = 0x00008000;

constexpr const char* MC_WINDOW_TITLE = "Windows Media Center";
constexpr const char* TASKBAR_CLASS = "Shell_TrayWnd";
constexpr uint32_t EXPLORER_PROCESS_ID = 0x0A24;

}  // namespace

// ---------------------------------------------------------------------------
// The add-in

std::optional<cScenarioAddIn::cEntry>* cScenarioAddIn::Find(eKind kind, int number)
{
    for (std::optional<cEntry>& record : Records)
        if (record && record->Kind == kind && record->Number == number)
            return &record;
    return nullptr;
}

std::optional<cScenarioAddIn::cEntry>& cScenarioAddIn::FreeRecord()
{
    for (std::optional<cEntry>& record : Records)
        if (!record)
            return record;
    throw std::runtime_error("all " + std::to_string(MCSA_RECORD_COUNT) + " records of the block are in use");
}

void cScenarioAddIn::StartRecording(int number, uint64_t now)
{
    if (Find(eKind::Recording, number))
        throw std::runtime_error("recording " + std::to_string(number) + " is already in progress");
    cEntry entry{eKind::Recording, number, {}};
    entry.Record.InUse = true;
    entry.Record.State = MCSA_STATE_RECORDING;
    FreeRecord() = entry;
    Write(now);
}

void cScenarioAddIn::EndRecording(int number, uint64_t now)
{
    std::optional<cEntry>* record = Find(eKind::Recording, number);
    if (!record)
        throw std::runtime_error("recording " + std::to_string(number) + " is not in progress");
    record->reset();
    Write(now);
}

void cScenarioAddIn::ChangeSession(int number, const cMcSessionChange& change, uint64_t now)
{
    std::optional<cEntry>* found = Find(eKind::Session, number);
    std::optional<cEntry>& record = found ? *found : FreeRecord();
    if (!record) {
        record = cEntry{eKind::Session, number, {}};
        record->Record.InUse = true;
    }
    cEntry& entry = *record;
    if (change.State)
        entry.Record.State = *change.State;
    if (change.DetailA)
        entry.Record.DetailA = *change.DetailA;
    if (change.DetailB)
        entry.Record.DetailB = *change.DetailB;
    if (change.ProgressRuns && !entry.ProgressRuns) {
        entry.ProgressRuns = true;
        entry.ProgressSince = now;
    } else if (change.Progress) {
        entry.ProgressRuns = false;
        entry.Record.Progress = *change.Progress;
    }
    Write(now);
}

void cScenarioAddIn::EndSession(int number, uint64_t now)
{
    std::optional<cEntry>* record = Find(eKind::Session, number);
    if (!record)
        throw std::runtime_error("Media Center session " + std::to_string(number) + " does not exist");
    record->reset();
    Write(now);
}

void cScenarioAddIn::Refresh(uint64_t now)
{
    for (const std::optional<cEntry>& record : Records)
        if (record && record->ProgressRuns) {
            Write(now);
            return;
        }
}

uint32_t cScenarioAddIn::RunningProgress(const cEntry& entry, uint64_t now)
{
    // Never 0, which would mean "not known".
    return static_cast<uint32_t>((now - entry.ProgressSince) / PROGRESS_STEP_MS + 1);
}

void cScenarioAddIn::Write(uint64_t now)
{
    std::vector<uint8_t> block(MCSA_BLOCK_SIZE);
    for (int i = 0; i < MCSA_RECORD_COUNT; ++i) {
        if (!Records[i])
            continue;
        cEntry& entry = *Records[i];
        if (entry.ProgressRuns)
            entry.Record.Progress = RunningProgress(entry, now);
        WriteMcsaRecord(block.data(), block.size(), i, entry.Record);
    }
    Memory.WriteBlock(MCSA_BLOCK_NAME, std::move(block));
}

// ---------------------------------------------------------------------------
// File-share clients

std::vector<cScenarioNetSessions::cClient>& cScenarioNetSessions::Of(const std::string& user)
{
    auto it = Users.find(user);
    if (it == Users.end())
        throw std::runtime_error("no network session of the user '" + user + "'");
    return it->second;
}

void cScenarioNetSessions::Add(const std::string& user, const std::string& client, uint32_t idleSeconds, bool busy)
{
    Users[user].push_back({Sessions.AddNetSession(client, user, busy ? 0 : idleSeconds), busy});
}

void cScenarioNetSessions::Set(const std::string& user, uint32_t idleSeconds, bool busy)
{
    for (cClient& client : Of(user)) {
        client.Busy = busy;
        Sessions.SetNetSessionIdle(client.Id, busy ? 0 : idleSeconds);
    }
}

void cScenarioNetSessions::Remove(const std::string& user)
{
    for (const cClient& client : Of(user))
        Sessions.RemoveNetSession(client.Id);
    Users.erase(user);
}

void cScenarioNetSessions::Refresh()
{
    for (const auto& [user, clients] : Users)
        for (const cClient& client : clients)
            if (client.Busy)
                Sessions.SetNetSessionIdle(client.Id, 0);
}

// ---------------------------------------------------------------------------
// Remote Desktop and extender sessions

std::string cScenarioRemoteSessions::ExtenderUser(int number)
{
    return "Mcx" + std::to_string(number) + "-HTPC";
}

uint32_t cScenarioRemoteSessions::IdOf(const std::string& user)
{
    auto it = Ids.find(user);
    if (it == Ids.end())
        throw std::runtime_error("no session of the user '" + user + "'");
    return it->second;
}

void cScenarioRemoteSessions::Connect(const std::string& user)
{
    // A user who connects again gets the session back.
    auto [it, added] = Ids.try_emplace(user, NextId);
    if (added)
        ++NextId;
    Sessions.AddSession(it->second, TS_STATE_ACTIVE, user, TS_PROTOCOL_RDP, "RDP-Tcp#" + std::to_string(it->second));
    Notify(TS_CHANGE_REMOTE_CONNECT, it->second);
}

void cScenarioRemoteSessions::Disconnect(const std::string& user)
{
    const uint32_t id = IdOf(user);
    Notify(TS_CHANGE_REMOTE_DISCONNECT, id);
    Sessions.SetSessionState(id, TS_STATE_DISCONNECTED);
}

void cScenarioRemoteSessions::Logoff(const std::string& user)
{
    const uint32_t id = IdOf(user);
    Notify(TS_CHANGE_SESSION_LOGOFF, id);
    Sessions.RemoveSession(id);
    Ids.erase(user);
}

// ---------------------------------------------------------------------------
// Media Center's window

bool cScenarioMediaCenterWindow::IsOpen()
{
    if (Window != 0 && !Programs.IsRunning(ProgramId)) {
        // Closed by someone else: ehshell.exe has ended too.
        Processes.EndProcess(ProcessId);
        Window = 0;
        ProcessId = 0;
        ProgramId = 0;
    }
    return Window != 0;
}

WindowHandle cScenarioMediaCenterWindow::Require()
{
    if (!IsOpen())
        throw std::runtime_error("Media Center's window is not open");
    return Window;
}

void cScenarioMediaCenterWindow::Open(bool fullScreen, bool front)
{
    if (IsOpen())
        throw std::runtime_error("Media Center's window is already open");
    ProcessId = Processes.StartProcess(MC_SHELL_PROGRAM);
    cSimProgram shell;
    shell.RunTime = cSimProgram::RUNS_FOREVER;
    shell.WindowClass = MC_SHELL_WINDOW_CLASS;
    shell.WindowTitle = MC_WINDOW_TITLE;
    shell.CloseDelay = CloseDelay;
    ProgramId = Programs.RunProgram(shell);
    Window = Windowing.FindWindow(MC_SHELL_WINDOW_CLASS, "");
    SetFullScreen(fullScreen);
    SetFront(front);
}

void cScenarioMediaCenterWindow::SetFullScreen(bool fullScreen)
{
    Windowing.SetTitleBarState(Require(), fullScreen ? STATE_SYSTEM_INVISIBLE : 0);
}

void cScenarioMediaCenterWindow::SetFront(bool front)
{
    const WindowHandle window = Require();
    if (front) {
        Windowing.SetForegroundWindow(window);
        return;
    }
    if (Taskbar == 0)
        Taskbar = Windowing.AddWindow(TASKBAR_CLASS, "", EXPLORER_PROCESS_ID);
    Windowing.SetForegroundWindow(Taskbar);
}

void cScenarioMediaCenterWindow::Close()
{
    Require();
    Programs.EndNow(ProgramId);
    IsOpen();
}
