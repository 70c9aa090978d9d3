#pragma once
#include "platform/Security.h"

// Tokens, the access check, the privileged sleep call and the domain join
// status. NetGetJoinInformation is looked up in netapi32.dll at run time.
class cWin32Security final : public cSecurity {
public:
    cAccessCheckResult CheckGroupAccess(const cGroupAccessCheck& check) override;
    std::unique_ptr<cPrivilegeToken> OpenPrivilegeToken() override;
    bool SetSystemPowerState(bool suspend, bool force) override;
    bool ExitWindowsEx(uint32_t flags, uint32_t reason) override;
    bool GetJoinStatus(uint32_t& status) override;
};
