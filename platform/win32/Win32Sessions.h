#pragma once
#include <memory>

#include "platform/Sessions.h"

// Terminal services through wtsapi32.dll, loaded and looked up at run time
// (Windows 2000 has no session notifications), and the network sessions
// through netapi32.
class cWin32Sessions final : public cSessions {
public:
    cWin32Sessions();
    ~cWin32Sessions() override;
    cWin32Sessions(const cWin32Sessions&) = delete;
    cWin32Sessions& operator=(const cWin32Sessions&) = delete;

    bool EnumerateSessions(std::vector<cTerminalSession>& sessions) override;
    bool QuerySessionInformation(uint32_t sessionId, uint32_t infoClass, std::vector<uint8_t>& data) override;
    bool RegisterSessionNotification(WindowHandle window, uint32_t flags) override;
    bool UnregisterSessionNotification(WindowHandle window) override;
    uint32_t EnumerateNetSessions(uint32_t& resumeHandle, std::vector<cNetSession>& sessions) override;

private:
    struct cWtsApi;
    std::unique_ptr<cWtsApi> Api;
};
