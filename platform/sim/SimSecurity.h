#pragma once
#include <cstdint>
#include <functional>
#include <map>
#include <string>
#include <utility>
#include <vector>

#include "platform/Security.h"

class cSimSleep;
class cSimSystemErrors;

// One SetSystemPowerState call.
struct cSimSystemPowerStateCall {
    bool Suspend = false;
    bool Force = false;
};

// The simulated user's rights: an administrator by default, whose token
// holds the shutdown privilege, on a machine in a workgroup.
class cSimSecurity : public cSecurity {
public:
    explicit cSimSecurity(cSimSystemErrors& errors) : Errors(errors) {}

    cAccessCheckResult CheckGroupAccess(const cGroupAccessCheck& check) override;
    std::unique_ptr<cPrivilegeToken> OpenPrivilegeToken() override;
    bool SetSystemPowerState(bool suspend, bool force) override;
    bool ExitWindowsEx(uint32_t flags, uint32_t reason) override;
    bool GetJoinStatus(uint32_t& status) override;

    // Whether the access check against the Administrators group (32, 544)
    // grants access; other groups are never granted.
    void SetAdministrator(bool administrator) { Administrator = administrator; }
    // The access check stops at the step with the error (None: it works).
    void SetAccessCheckFailure(eAccessCheckStep step, uint32_t error = 5)
    {
        FailingStep = step;
        FailingError = error;
    }
    // The last check the program asked for.
    const cGroupAccessCheck& LastAccessCheck() const { return LastCheck; }
    int AccessChecks() const { return Checks; }

    // Nonzero: opening the process token fails with the error.
    void SetOpenTokenError(uint32_t error) { OpenTokenError = error; }
    // The last error that adjusting the privilege leaves (1300: not held).
    void SetPrivilegeError(uint32_t error) { PrivilegeError = error; }
    // Whether each privilege is enabled now, by name.
    bool IsPrivilegeEnabled(const std::string& name) const;
    // Privilege tokens handed out and not yet closed.
    int OpenTokens() const { return Tokens; }

    // SetSystemPowerState answers result unless a hook is set; the hook
    // plays the sleep and answers.
    void SetSystemPowerStateResult(bool result) { PowerStateResult = result; }
    void SetSystemPowerStateHook(std::function<bool(const cSimSystemPowerStateCall&)> hook)
    {
        PowerStateHook = std::move(hook);
    }
    const std::vector<cSimSystemPowerStateCall>& SystemPowerStateCalls() const { return PowerStateCalls; }
    // Without a hook, a call that succeeds puts this machine to sleep; none
    // set: the call only answers.
    void SetMachineSleep(cSimSleep* sleep) { MachineSleep = sleep; }

    // The ExitWindowsEx calls made while the shutdown privilege was enabled
    // (flags, reason); a call without it fails with error 1314 and is not
    // listed.
    const std::vector<std::pair<uint32_t, uint32_t>>& ExitWindowsCalls() const { return ExitCalls; }

    // The machine's NETSETUP_JOIN_STATUS (2 workgroup, 3 domain); nonzero
    // error makes the call fail.
    void SetJoinStatus(uint32_t status, uint32_t error = 0)
    {
        JoinStatus = status;
        JoinError = error;
    }

private:
    class cSimPrivilegeToken;
    friend class cSimPrivilegeToken;

    cSimSystemErrors& Errors;
    bool Administrator = true;
    eAccessCheckStep FailingStep = eAccessCheckStep::None;
    uint32_t FailingError = 0;
    cGroupAccessCheck LastCheck;
    int Checks = 0;
    uint32_t OpenTokenError = 0;
    uint32_t PrivilegeError = 0;
    std::map<std::string, bool> Privileges;
    int Tokens = 0;
    bool PowerStateResult = true;
    std::function<bool(const cSimSystemPowerStateCall&)> PowerStateHook;
    std::vector<cSimSystemPowerStateCall> PowerStateCalls;
    cSimSleep* MachineSleep = nullptr;
    std::vector<std::pair<uint32_t, uint32_t>> ExitCalls;
    uint32_t JoinStatus = 2;
    uint32_t JoinError = 0;
};
