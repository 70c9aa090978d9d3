#include "platform/sim/SimSessions.h"

#include <algorithm>

#include "platform/sim/SimClock.h"

namespace {

std::vector<uint8_t> TextBytes(const std::string& text)
{
    std::vector<uint8_t> bytes(text.begin(), text.end());
    bytes.push_back(0);
    return bytes;
}

}  // namespace

cSimSessions::cSimSessions(cSimClock& clock) : Clock(clock)
{
    AddSession(1, TS_STATE_ACTIVE, "User", TS_PROTOCOL_CONSOLE, "Console");
}

bool cSimSessions::EnumerateSessions(std::vector<cTerminalSession>& sessions)
{
    sessions.clear();
    if (EnumerationFails)
        return false;
    for (const cSimTerminalSession& session : Terminal)
        sessions.push_back({session.SessionId, session.WinStationName, session.State});
    return true;
}

bool cSimSessions::QuerySessionInformation(uint32_t sessionId, uint32_t infoClass, std::vector<uint8_t>& data)
{
    data.clear();
    for (const cSimTerminalSession& session : Terminal) {
        if (session.SessionId != sessionId)
            continue;
        auto it = session.Information.find(infoClass);
        if (it == session.Information.end())
            return false;
        data = it->second;
        return true;
    }
    return false;
}

bool cSimSessions::RegisterSessionNotification(WindowHandle window, uint32_t flags)
{
    if (!RegistrationAvailable)
        return false;
    Registered[window] = flags;
    return true;
}

bool cSimSessions::UnregisterSessionNotification(WindowHandle window)
{
    return Registered.erase(window) != 0;
}

uint32_t cSimSessions::EnumerateNetSessions(uint32_t& resumeHandle, std::vector<cNetSession>& sessions)
{
    ++NetCalls;
    sessions.clear();
    if (NetStatus != 0)
        return NetStatus;
    const int64_t now = static_cast<int64_t>(Clock.Now());
    size_t first = std::min<size_t>(resumeHandle, Net.size());
    size_t end = PerCall == 0 ? Net.size() : std::min(Net.size(), first + PerCall);
    for (size_t i = first; i < end; ++i) {
        const cSimNetSession& net = Net[i];
        sessions.push_back({net.ClientName, net.UserName, static_cast<uint32_t>((now - net.Connected) / 1000),
                            static_cast<uint32_t>((now - net.LastActivity) / 1000)});
    }
    if (end < Net.size()) {
        resumeHandle = static_cast<uint32_t>(end);
        return NETSESSION_MORE_DATA;
    }
    resumeHandle = 0;
    return NETSESSION_SUCCESS;
}

void cSimSessions::AddSession(uint32_t sessionId, int state, const std::string& userName, uint16_t protocol,
                              const std::string& winStationName)
{
    RemoveSession(sessionId);
    cSimTerminalSession session;
    session.SessionId = sessionId;
    session.WinStationName = winStationName;
    session.State = state;
    session.Information[TS_INFO_USER_NAME] = TextBytes(userName);
    session.Information[TS_INFO_CLIENT_ADDRESS] = std::vector<uint8_t>(24, 0);
    session.Information[TS_INFO_CLIENT_DISPLAY] = std::vector<uint8_t>(12, 0);
    session.Information[TS_INFO_CLIENT_PROTOCOL_TYPE] = {static_cast<uint8_t>(protocol),
                                                         static_cast<uint8_t>(protocol >> 8)};
    Terminal.push_back(std::move(session));
}

void cSimSessions::RemoveSession(uint32_t sessionId)
{
    std::erase_if(Terminal, [sessionId](const cSimTerminalSession& s) { return s.SessionId == sessionId; });
}

void cSimSessions::SetSessionState(uint32_t sessionId, int state)
{
    for (cSimTerminalSession& session : Terminal)
        if (session.SessionId == sessionId)
            session.State = state;
}

void cSimSessions::SetInformation(uint32_t sessionId, uint32_t infoClass, std::vector<uint8_t> data)
{
    for (cSimTerminalSession& session : Terminal)
        if (session.SessionId == sessionId)
            session.Information[infoClass] = data;
}

void cSimSessions::FailInformation(uint32_t sessionId, uint32_t infoClass)
{
    for (cSimTerminalSession& session : Terminal)
        if (session.SessionId == sessionId)
            session.Information.erase(infoClass);
}

bool cSimSessions::IsRegistered(WindowHandle window) const
{
    return Registered.count(window) != 0;
}

uint32_t cSimSessions::RegistrationFlags(WindowHandle window) const
{
    auto it = Registered.find(window);
    return it == Registered.end() ? 0 : it->second;
}

int cSimSessions::AddNetSession(const std::string& clientName, const std::string& userName, uint32_t idleSeconds)
{
    cSimNetSession net;
    net.Id = NextNetId++;
    net.ClientName = clientName;
    net.UserName = userName;
    net.Connected = static_cast<int64_t>(Clock.Now()) - static_cast<int64_t>(idleSeconds) * 1000;
    net.LastActivity = net.Connected;
    Net.push_back(net);
    return net.Id;
}

void cSimSessions::SetNetSessionIdle(int id, uint32_t idleSeconds)
{
    for (cSimNetSession& net : Net)
        if (net.Id == id)
            net.LastActivity = static_cast<int64_t>(Clock.Now()) - static_cast<int64_t>(idleSeconds) * 1000;
}

void cSimSessions::RemoveNetSession(int id)
{
    std::erase_if(Net, [id](const cSimNetSession& net) { return net.Id == id; });
}
