#pragma once
// Stand-ins for what the activity detection watches on a home-theatre PC, as
// a scenario plays them on the simulated Windows: the Media Center add-in,
// file-share clients, Remote Desktop and extender sessions, and Media
// Center's window. Each keeps the names a scenario uses and turns them into
// the simulator's ids. Errors (an unknown name, a full block) are thrown as
// std::runtime_error for the player to report.
#include <array>
#include <cstdint>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "platform/Windowing.h"
#include "targets/MediaCenterContract.h"

class cSimProcessList;
class cSimProcesses;
class cSimSessions;
class cSimSharedMemory;
class cSimWindowing;

// A change of one Media Center session; what is not given stays as it was.
struct cMcSessionChange {
    std::optional<uint32_t> State;
    std::optional<uint32_t> DetailA;
    std::optional<uint32_t> DetailB;
    std::optional<uint32_t> Progress;
    bool ProgressRuns = false;  // the progress advances with the clock
};

// The add-in inside Media Center: one record of the block "slhmcsa" for each
// recording in progress and each Media Center session, in the lowest free
// record. The whole block is written at every change; it appears with the
// first record and stays, with free records, after the last one ends.
class cScenarioAddIn {
public:
    explicit cScenarioAddIn(cSimSharedMemory& memory) : Memory(memory) {}

    void StartRecording(int number, uint64_t now);
    void EndRecording(int number, uint64_t now);
    void ChangeSession(int number, const cMcSessionChange& change, uint64_t now);
    void EndSession(int number, uint64_t now);
    // Running progress moves on: called often enough that two readings a
    // second apart never see the same value.
    void Refresh(uint64_t now);

private:
    enum class eKind { Recording, Session };
    struct cEntry {
        eKind Kind;
        int Number;
        cMcsaRecord Record;
        bool ProgressRuns = false;
        uint64_t ProgressSince = 0;
    };

    std::optional<cEntry>* Find(eKind kind, int number);
    std::optional<cEntry>& FreeRecord();
    // The progress of running playback: tenths of a second since it began.
    static uint32_t RunningProgress(const cEntry& entry, uint64_t now);
    void Write(uint64_t now);

    cSimSharedMemory& Memory;
    std::array<std::optional<cEntry>, MCSA_RECORD_COUNT> Records;
};

// Clients using the machine's shares, by user name. A busy client keeps its
// idle time at 0; any other's grows with the clock.
class cScenarioNetSessions {
public:
    explicit cScenarioNetSessions(cSimSessions& sessions) : Sessions(sessions) {}

    void Add(const std::string& user, const std::string& client, uint32_t idleSeconds, bool busy);
    // A new idle time for every session of the user, or busy from now on.
    void Set(const std::string& user, uint32_t idleSeconds, bool busy);
    void Remove(const std::string& user);
    void Refresh();

private:
    struct cClient {
        int Id;
        bool Busy;
    };
    std::vector<cClient>& Of(const std::string& user);

    cSimSessions& Sessions;
    std::map<std::string, std::vector<cClient>> Users;
};

// Terminal-services sessions of remote users: Remote Desktop sessions and
// extenders (Remote Desktop sessions of the users "Mcx<n>-HTPC"). Each change
// is announced through notify (reason, session id), as Windows notifies the
// windows registered for session changes.
class cScenarioRemoteSessions {
public:
    using tNotify = std::function<void(uint32_t reason, uint32_t sessionId)>;
    cScenarioRemoteSessions(cSimSessions& sessions, tNotify notify) : Sessions(sessions), Notify(std::move(notify)) {}

    void Connect(const std::string& user);
    // The notification comes while the session is still listed as it was.
    void Disconnect(const std::string& user);
    void Logoff(const std::string& user);

    static std::string ExtenderUser(int number);

private:
    uint32_t IdOf(const std::string& user);

    cSimSessions& Sessions;
    tNotify Notify;
    std::map<std::string, uint32_t> Ids;
    // Session 1 is the console's.
    uint32_t NextId = 2;
};

// Media Center's main window and the shell process behind it.
class cScenarioMediaCenterWindow {
public:
    cScenarioMediaCenterWindow(cSimWindowing& windowing, cSimProcessList& processes, cSimProcesses& programs)
        : Windowing(windowing), Processes(processes), Programs(programs)
    {
    }

    void Open(bool fullScreen, bool front);
    void SetFullScreen(bool fullScreen);
    void SetFront(bool front);
    void Close();
    // The window is there (the engine may have closed it meanwhile).
    bool IsOpen();
    // How the next window answers a request to close (WM_CLOSE, Alt+F4 or
    // taskkill): it has gone this many milliseconds later, or with
    // cSimProgram::IGNORES_CLOSE it stays.
    void SetCloseDelay(int64_t delay) { CloseDelay = delay; }

private:
    WindowHandle Require();

    cSimWindowing& Windowing;
    cSimProcessList& Processes;
    cSimProcesses& Programs;
    WindowHandle Window = 0;
    // ehshell.exe in the process snapshots and as a running program.
    uint32_t ProcessId = 0;
    uint32_t ProgramId = 0;
    int64_t CloseDelay = 200;
    // The taskbar, which takes the foreground when Media Center leaves it.
    WindowHandle Taskbar = 0;
};
