#pragma once
#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "platform/Sessions.h"

class cSimClock;

// A terminal-services session and what a query about it answers. A query of
// an information class that the map lacks fails.
struct cSimTerminalSession {
    uint32_t SessionId = 0;
    std::string WinStationName;
    int State = TS_STATE_ACTIVE;
    std::map<uint32_t, std::vector<uint8_t>> Information;  // by TS_INFO_*
};

// One network file session of the simulated server service. Its idle time
// grows with the virtual clock from its last activity.
struct cSimNetSession {
    int Id = 0;
    std::string ClientName;
    std::string UserName;
    int64_t Connected = 0;     // virtual milliseconds
    int64_t LastActivity = 0;  // virtual milliseconds; may lie before the simulation began
};

// The terminal-services sessions of the machine (the console session 1 of
// the user "User" by default) and the clients using its shares (none).
class cSimSessions : public cSessions {
public:
    explicit cSimSessions(cSimClock& clock);

    bool EnumerateSessions(std::vector<cTerminalSession>& sessions) override;
    bool QuerySessionInformation(uint32_t sessionId, uint32_t infoClass, std::vector<uint8_t>& data) override;
    bool RegisterSessionNotification(WindowHandle window, uint32_t flags) override;
    bool UnregisterSessionNotification(WindowHandle window) override;
    uint32_t EnumerateNetSessions(uint32_t& resumeHandle, std::vector<cNetSession>& sessions) override;

    // Terminal sessions. AddSession fills the four items a session query is
    // asked for: the user name, the client's address and display, and the
    // protocol type; it replaces a session with the same id.
    void AddSession(uint32_t sessionId, int state, const std::string& userName, uint16_t protocol,
                    const std::string& winStationName = "");
    void RemoveSession(uint32_t sessionId);
    void RemoveAllSessions() { Terminal.clear(); }
    void SetSessionState(uint32_t sessionId, int state);
    // Replaces the answer to one information class; FailInformation makes
    // the query of that class fail.
    void SetInformation(uint32_t sessionId, uint32_t infoClass, std::vector<uint8_t> data);
    void FailInformation(uint32_t sessionId, uint32_t infoClass);
    void SetEnumerationFails(bool fails) { EnumerationFails = fails; }

    // Notification registration. Unavailable: Windows without the call.
    void SetRegistrationAvailable(bool available) { RegistrationAvailable = available; }
    bool IsRegistered(WindowHandle window) const;
    uint32_t RegistrationFlags(WindowHandle window) const;

    // Network sessions. AddNetSession returns the session's id, by which
    // SetNetSessionIdle and RemoveNetSession find it.
    int AddNetSession(const std::string& clientName, const std::string& userName, uint32_t idleSeconds = 0);
    void SetNetSessionIdle(int id, uint32_t idleSeconds);
    void RemoveNetSession(int id);
    // At most this many entries per call (0: all), the rest with
    // NETSESSION_MORE_DATA, as a server with a small buffer answers.
    void SetNetSessionsPerCall(size_t count) { PerCall = count; }
    // Non-zero: every call fails with this status (2114: server service not
    // started) and returns no entries.
    void SetNetSessionStatus(uint32_t status) { NetStatus = status; }
    int NetSessionCalls() const { return NetCalls; }

private:
    cSimClock& Clock;
    std::vector<cSimTerminalSession> Terminal;
    bool EnumerationFails = false;
    bool RegistrationAvailable = true;
    std::map<WindowHandle, uint32_t> Registered;
    std::vector<cSimNetSession> Net;
    int NextNetId = 1;
    size_t PerCall = 0;
    uint32_t NetStatus = 0;
    int NetCalls = 0;
};
