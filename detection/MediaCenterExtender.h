#pragma once
#include <cstdint>
#include <string>

#include "platform/Windowing.h"

struct cPlatform;
class cSessions;
class cWindowing;

// Counts the Media Center Extender sessions and the ordinary Remote Desktop
// sessions of the machine. The main window owns it; the counts follow the
// session-change notifications once RegisterSessionNotification succeeded.
class cMediaCenterExtender {
public:
    // Counts the registered extenders and the sessions in use now.
    explicit cMediaCenterExtender(cPlatform& platform);
    // Ends the notifications; destroy it before the window it registered.
    ~cMediaCenterExtender();
    cMediaCenterExtender(const cMediaCenterExtender&) = delete;
    cMediaCenterExtender& operator=(const cMediaCenterExtender&) = delete;

    // Asks for session-change notifications of all sessions to the window.
    // On success sends the window WM_WTSSESSION_CHANGE (0, 0), so that the
    // first recount takes the window's normal path to OnSessionChange.
    bool RegisterSessionNotification(WindowHandle window);
    // The window's WM_WTSSESSION_CHANGE: reason is wParam, session id lParam.
    void OnSessionChange(uintptr_t reason, intptr_t sessionId);

    int GetRegisteredExtenders() const { return RegisteredExtenders; }
    int GetExtendersInUseCount() const { return ExtendersInUse; }
    int GetRdpSessionsInUse() const { return RdpSessionsInUse; }

private:
    // A session that is going away (disconnect or logoff) is still listed
    // while its notification is handled; it is left out of the count.
    void CountSessions(uint32_t reason, uint32_t sessionId);
    // The session's client protocol type and user name; false when any of
    // the queried items cannot be read.
    bool QuerySession(uint32_t sessionId, uint16_t& protocol, std::string& userName);

    cSessions& Sessions;
    cWindowing& Windowing;
    WindowHandle Registered = 0;
    int32_t RegisteredExtenders = 0;
    int32_t ExtendersInUse = 0;
    int32_t RdpSessionsInUse = 0;
};
