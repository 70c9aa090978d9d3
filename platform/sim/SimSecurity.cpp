#include "platform/sim/SimSecurity.h"

#include "platform/sim/SimServices.h"
#include "platform/sim/SimSleep.h"

class cSimSecurity::cSimPrivilegeToken : public cPrivilegeToken {
public:
    explicit cSimPrivilegeToken(cSimSecurity& owner) : Owner(owner) { ++Owner.Tokens; }
    ~cSimPrivilegeToken() override { --Owner.Tokens; }

    uint32_t SetPrivilege(const std::string& name, bool enabled) override
    {
        Owner.Errors.SetLastError(Owner.PrivilegeError);
        if (Owner.PrivilegeError == 0)
            Owner.Privileges[name] = enabled;
        return Owner.PrivilegeError;
    }

private:
    cSimSecurity& Owner;
};

cAccessCheckResult cSimSecurity::CheckGroupAccess(const cGroupAccessCheck& check)
{
    ++Checks;
    LastCheck = check;
    cAccessCheckResult result;
    if (FailingStep != eAccessCheckStep::None) {
        result.FailedStep = FailingStep;
        result.Error = FailingError;
        Errors.SetLastError(FailingError);
        return result;
    }
    // What the real check grants: the group's ACE gives its mask, so the
    // desired access (after mapping) must lie within it.
    const bool administrators = check.SubAuthorities[0] == 32 && check.SubAuthorities[1] == 544;
    result.Granted = Administrator && administrators && check.DesiredAccess != 0 &&
                     (check.DesiredAccess & ~check.AceAccessMask) == 0;
    return result;
}

std::unique_ptr<cPrivilegeToken> cSimSecurity::OpenPrivilegeToken()
{
    if (OpenTokenError != 0) {
        Errors.SetLastError(OpenTokenError);
        return nullptr;
    }
    return std::make_unique<cSimPrivilegeToken>(*this);
}

bool cSimSecurity::IsPrivilegeEnabled(const std::string& name) const
{
    auto it = Privileges.find(name);
    return it != Privileges.end() && it->second;
}

bool cSimSecurity::SetSystemPowerState(bool suspend, bool force)
{
    const cSimSystemPowerStateCall call{suspend, force};
    PowerStateCalls.push_back(call);
    if (PowerStateHook)
        return PowerStateHook(call);
    if (!PowerStateResult)
        return false;
    return MachineSleep == nullptr || MachineSleep->Sleep(!suspend);
}

bool cSimSecurity::ExitWindowsEx(uint32_t flags, uint32_t reason)
{
    // ERROR_PRIVILEGE_NOT_HELD, as Windows answers without the privilege.
    if (!IsPrivilegeEnabled("SeShutdownPrivilege")) {
        Errors.SetLastError(1314);
        return false;
    }
    ExitCalls.emplace_back(flags, reason);
    return true;
}

bool cSimSecurity::GetJoinStatus(uint32_t& status)
{
    if (JoinError != 0) {
        Errors.SetLastError(JoinError);
        return false;
    }
    status = JoinStatus;
    return true;
}
