#pragma once
#include <cstdint>
#include <memory>
#include <string>

// GENERIC_MAPPING: the access bits that the generic rights stand for.
struct cGenericMapping {
    uint32_t Read = 0;
    uint32_t Write = 0;
    uint32_t Execute = 0;
    uint32_t All = 0;
};

// An access check of the caller's token against a security descriptor made
// for it: one built-in group (SECURITY_NT_AUTHORITY with the two
// sub-authorities) is owner and group, and the descriptor's DACL holds one
// ACE that allows the group the ACE access mask.
struct cGroupAccessCheck {
    uint32_t SubAuthorities[2] = {0, 0};
    uint32_t AceAccessMask = 0;
    uint32_t DesiredAccess = 0;
    cGenericMapping Mapping;
};

// The platform step at which the check stopped; None when every step
// succeeded and the check itself answered.
enum class eAccessCheckStep {
    None,
    OpenToken,       // OpenThreadToken, or OpenProcessToken when the thread has none
    DuplicateToken,  // as an impersonation token
    BuildSid,        // AllocateAndInitializeSid
    BuildDescriptor, // the DACL, owner, group and the descriptor's validity
    AccessCheck,
};

struct cAccessCheckResult {
    eAccessCheckStep FailedStep = eAccessCheckStep::None;
    uint32_t Error = 0;  // the failed step's last error
    bool Granted = false;  // meaningful only when FailedStep is None
};

// The own process's token, opened for adjusting privileges. The destructor
// closes it.
class cPrivilegeToken {
public:
    virtual ~cPrivilegeToken() = default;

    // Enables or disables the privilege (LookupPrivilegeValue,
    // AdjustTokenPrivileges) and returns the last error afterwards: 0 when
    // the privilege is now as asked, non-zero when it is not (1300: not
    // held by the account).
    virtual uint32_t SetPrivilege(const std::string& name, bool enabled) = 0;
};

// Security of the own process and the machine.
class cSecurity {
public:
    virtual ~cSecurity() = default;

    // Takes the calling thread's token for duplication, or the process's
    // when the thread has none (error 1008), duplicates it as an
    // impersonation token, builds the group's SID and the descriptor and
    // runs AccessCheck. Everything acquired is released before it returns.
    virtual cAccessCheckResult CheckGroupAccess(const cGroupAccessCheck& check) = 0;

    // OpenProcessToken with TOKEN_ADJUST_PRIVILEGES | TOKEN_QUERY; null on
    // failure, the last error set.
    virtual std::unique_ptr<cPrivilegeToken> OpenPrivilegeToken() = 0;
    // SetSystemPowerState: returns when the machine has woken again, or at
    // once when it fails. May be called from any thread.
    virtual bool SetSystemPowerState(bool suspend, bool force) = 0;
    // ExitWindowsEx with the EWX_ flags and the shutdown reason code; needs
    // the shutdown privilege enabled. Returns at once: Windows ends the
    // session afterwards.
    virtual bool ExitWindowsEx(uint32_t flags, uint32_t reason) = 0;

    // NetGetJoinInformation of the local machine: the NETSETUP_JOIN_STATUS
    // number (3 joined to a domain); false when the call fails.
    virtual bool GetJoinStatus(uint32_t& status) = 0;
};
