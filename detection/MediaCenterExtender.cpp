#include "detection/MediaCenterExtender.h"

#include <algorithm>
#include <string>
#include <vector>

#include "platform/Platform.h"
#include "platform/Sessions.h"
#include "platform/WinConst.h"

namespace {

// Each extender set up on this machine has one subkey here.
constexpr const char* EXTENDER_DEVICES_KEY = "SYSTEM\\CurrentControlSet\\Enum\\IPBusEnumRoot\\UMB";
// Extender sessions run under user accounts whose names contain this.
constexpr const char* EXTENDER_USER_MARK = "Mcx";
constexpr uint32_t NO_REASON = 0xFFFFFFFF;
constexpr uint32_t NO_SESSION = 0xFFFFFFFF;

bool IsEnding(uint32_t reason)
{
    return reason == TS_CHANGE_CONSOLE_DISCONNECT || reason == TS_CHANGE_REMOTE_DISCONNECT ||
           reason == TS_CHANGE_SESSION_LOGOFF;
}

}  // namespace

cMediaCenterExtender::cMediaCenterExtender(cPlatform& platform)
    : Sessions(platform.Sessions), Windowing(platform.Windowing)
{
    std::vector<std::string> devices;
    if (platform.Registry.EnumSubkeys(eHive::LocalMachine, EXTENDER_DEVICES_KEY, devices) == REGRESULT_SUCCESS)
        RegisteredExtenders = static_cast<int32_t>(devices.size());
    CountSessions(NO_REASON, NO_SESSION);
}

cMediaCenterExtender::~cMediaCenterExtender()
{
    if (Registered != 0)
        Sessions.UnregisterSessionNotification(Registered);
}

bool cMediaCenterExtender::RegisterSessionNotification(WindowHandle window)
{
    if (!Sessions.RegisterSessionNotification(window, TS_NOTIFY_ALL_SESSIONS))
        return false;
    Registered = window;
    Windowing.SendMessage(window, WM_WTSSESSION_CHANGE, 0, 0);
    return true;
}

void cMediaCenterExtender::OnSessionChange(uintptr_t reason, intptr_t sessionId)
{
    CountSessions(static_cast<uint32_t>(reason), static_cast<uint32_t>(sessionId));
}

void cMediaCenterExtender::CountSessions(uint32_t reason, uint32_t sessionId)
{
    const bool ending = IsEnding(reason);
    ExtendersInUse = 0;
    RdpSessionsInUse = 0;
    std::vector<cTerminalSession> sessions;
    if (!Sessions.EnumerateSessions(sessions))
        return;
    for (const cTerminalSession& session : sessions) {
        if (ending && session.SessionId == sessionId)
            continue;
        uint16_t protocol = 0;
        std::string userName;
        if (!QuerySession(session.SessionId, protocol, userName))
            continue;
        if (protocol != TS_PROTOCOL_RDP || session.State != TS_STATE_ACTIVE)
            continue;
        if (userName.find(EXTENDER_USER_MARK) != std::string::npos)
            ++ExtendersInUse;
        else
            ++RdpSessionsInUse;
    }
}

bool cMediaCenterExtender::QuerySession(uint32_t sessionId, uint16_t& protocol, std::string& userName)
{
    // The display and the address are not used, but a session that cannot
    // tell them is not counted.
    std::vector<uint8_t> display, address, protocolType, user;
    if (!Sessions.QuerySessionInformation(sessionId, TS_INFO_CLIENT_DISPLAY, display) ||
        !Sessions.QuerySessionInformation(sessionId, TS_INFO_CLIENT_ADDRESS, address) ||
        !Sessions.QuerySessionInformation(sessionId, TS_INFO_CLIENT_PROTOCOL_TYPE, protocolType) ||
        !Sessions.QuerySessionInformation(sessionId, TS_INFO_USER_NAME, user))
        return false;
    if (protocolType.size() < 2)
        return false;
    protocol = static_cast<uint16_t>(protocolType[0] | protocolType[1] << 8);
    userName.assign(user.begin(), std::find(user.begin(), user.end(), 0));
    return true;
}
