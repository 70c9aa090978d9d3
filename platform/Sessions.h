#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "platform/Windowing.h"

// Connection states of terminal-services sessions (WTS_CONNECTSTATE_CLASS).
constexpr int TS_STATE_ACTIVE = 0;
constexpr int TS_STATE_CONNECTED = 1;
constexpr int TS_STATE_DISCONNECTED = 4;
constexpr int TS_STATE_LISTEN = 6;

// Information classes of a session query (WTS_INFO_CLASS).
constexpr uint32_t TS_INFO_USER_NAME = 5;
constexpr uint32_t TS_INFO_CLIENT_ADDRESS = 14;
constexpr uint32_t TS_INFO_CLIENT_DISPLAY = 15;
constexpr uint32_t TS_INFO_CLIENT_PROTOCOL_TYPE = 16;  // a 16-bit number
// Client protocol types.
constexpr uint16_t TS_PROTOCOL_CONSOLE = 0;
constexpr uint16_t TS_PROTOCOL_RDP = 2;

// Session-change reasons (wParam of WM_WTSSESSION_CHANGE).
constexpr uint32_t TS_CHANGE_CONSOLE_CONNECT = 1;
constexpr uint32_t TS_CHANGE_CONSOLE_DISCONNECT = 2;
constexpr uint32_t TS_CHANGE_REMOTE_CONNECT = 3;
constexpr uint32_t TS_CHANGE_REMOTE_DISCONNECT = 4;
constexpr uint32_t TS_CHANGE_SESSION_LOGON = 5;
constexpr uint32_t TS_CHANGE_SESSION_LOGOFF = 6;

// Session notifications for every session, not only the caller's
// (NOTIFY_FOR_ALL_SESSIONS).
constexpr uint32_t TS_NOTIFY_ALL_SESSIONS = 1;

// Statuses of the network-session enumeration.
constexpr uint32_t NETSESSION_SUCCESS = 0;
constexpr uint32_t NETSESSION_MORE_DATA = 234;  // ERROR_MORE_DATA: call again with the resume handle

// One session of WTSEnumerateSessionsA.
struct cTerminalSession {
    uint32_t SessionId = 0;
    std::string WinStationName;
    int State = TS_STATE_ACTIVE;
};

// One network file session at information level 10 (SESSION_INFO_10), the
// names converted to ANSI text.
struct cNetSession {
    std::string ClientName;
    std::string UserName;
    uint32_t ActiveSeconds = 0;
    uint32_t IdleSeconds = 0;
};

// Terminal-services sessions of the local server and the network file
// sessions of this machine's server service. Every buffer the system hands
// out is freed before a call returns.
class cSessions {
public:
    virtual ~cSessions() = default;

    // WTSEnumerateSessionsA on the local server (version 1); false on
    // failure, also where terminal services are missing.
    virtual bool EnumerateSessions(std::vector<cTerminalSession>& sessions) = 0;
    // WTSQuerySessionInformationA on the local server: the returned bytes
    // exactly as the system returned them (a text includes its ending 0).
    virtual bool QuerySessionInformation(uint32_t sessionId, uint32_t infoClass, std::vector<uint8_t>& data) = 0;
    // WTSRegisterSessionNotification with the flags; false where Windows
    // lacks the call. Unregister before the window is destroyed.
    virtual bool RegisterSessionNotification(WindowHandle window, uint32_t flags) = 0;
    virtual bool UnregisterSessionNotification(WindowHandle window) = 0;

    // One NetSessionEnum call on the local server for all clients and users,
    // level 10, MAX_PREFERRED_LENGTH, with the resume handle (0 for the first
    // call). Returns the status; the entries are those of the returned
    // block, filled for NETSESSION_SUCCESS and NETSESSION_MORE_DATA.
    virtual uint32_t EnumerateNetSessions(uint32_t& resumeHandle, std::vector<cNetSession>& sessions) = 0;
};
