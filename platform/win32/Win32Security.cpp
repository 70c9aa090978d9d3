#include "platform/win32/Win32Security.h"

#include "platform/win32/Win32Handle.h"

namespace {

// Memory from LocalAlloc, freed with LocalFree.
class cLocalMemory {
public:
    explicit cLocalMemory(size_t size) : Value(LocalAlloc(LPTR, size)) {}
    ~cLocalMemory()
    {
        if (Value != nullptr)
            LocalFree(Value);
    }
    cLocalMemory(const cLocalMemory&) = delete;
    cLocalMemory& operator=(const cLocalMemory&) = delete;

    void* Get() const { return Value; }

private:
    HLOCAL Value;
};

// A SID from AllocateAndInitializeSid, freed with FreeSid.
class cSid {
public:
    cSid() = default;
    ~cSid()
    {
        if (Value != nullptr)
            FreeSid(Value);
    }
    cSid(const cSid&) = delete;
    cSid& operator=(const cSid&) = delete;

    PSID* Receive() { return &Value; }
    PSID Get() const { return Value; }

private:
    PSID Value = nullptr;
};

cAccessCheckResult Failure(eAccessCheckStep step)
{
    cAccessCheckResult result;
    result.FailedStep = step;
    result.Error = GetLastError();
    return result;
}

class cWin32PrivilegeToken final : public cPrivilegeToken {
public:
    explicit cWin32PrivilegeToken(HANDLE token) : Token(token) {}

    uint32_t SetPrivilege(const std::string& name, bool enabled) override
    {
        TOKEN_PRIVILEGES privileges = {};
        if (!LookupPrivilegeValueA(nullptr, name.c_str(), &privileges.Privileges[0].Luid))
            return GetLastError();
        privileges.PrivilegeCount = 1;
        privileges.Privileges[0].Attributes = enabled ? SE_PRIVILEGE_ENABLED : 0;
        // Succeeds also when the account lacks the privilege; only the last
        // error (ERROR_NOT_ALL_ASSIGNED) tells.
        AdjustTokenPrivileges(Token.Get(), FALSE, &privileges, 0, nullptr, nullptr);
        return GetLastError();
    }

private:
    cScopedHandle Token;
};

}  // namespace

cAccessCheckResult cWin32Security::CheckGroupAccess(const cGroupAccessCheck& check)
{
    cScopedHandle token;
    if (!OpenThreadToken(GetCurrentThread(), TOKEN_DUPLICATE, TRUE, token.Receive())) {
        if (GetLastError() != ERROR_NO_TOKEN)
            return Failure(eAccessCheckStep::OpenToken);
        if (!OpenProcessToken(GetCurrentProcess(), TOKEN_DUPLICATE, token.Receive()))
            return Failure(eAccessCheckStep::OpenToken);
    }
    cScopedHandle impersonation;
    if (!DuplicateToken(token.Get(), SecurityImpersonation, impersonation.Receive()))
        return Failure(eAccessCheckStep::DuplicateToken);

    SID_IDENTIFIER_AUTHORITY ntAuthority = SECURITY_NT_AUTHORITY;
    cSid group;
    if (!AllocateAndInitializeSid(&ntAuthority, 2, check.SubAuthorities[0], check.SubAuthorities[1], 0, 0, 0, 0, 0,
                                  0, group.Receive()))
        return Failure(eAccessCheckStep::BuildSid);

    const DWORD aclSize = sizeof(ACL) + sizeof(ACCESS_ALLOWED_ACE) + GetLengthSid(group.Get()) - sizeof(DWORD);
    cLocalMemory acl(aclSize);
    cLocalMemory descriptor(SECURITY_DESCRIPTOR_MIN_LENGTH);
    auto* aclRecord = static_cast<ACL*>(acl.Get());
    if (acl.Get() == nullptr || descriptor.Get() == nullptr ||
        !InitializeSecurityDescriptor(descriptor.Get(), SECURITY_DESCRIPTOR_REVISION) ||
        !InitializeAcl(aclRecord, aclSize, ACL_REVISION2) ||
        !AddAccessAllowedAce(aclRecord, ACL_REVISION2, check.AceAccessMask, group.Get()) ||
        !SetSecurityDescriptorDacl(descriptor.Get(), TRUE, aclRecord, FALSE) ||
        !SetSecurityDescriptorGroup(descriptor.Get(), group.Get(), FALSE) ||
        !SetSecurityDescriptorOwner(descriptor.Get(), group.Get(), FALSE) ||
        !IsValidSecurityDescriptor(descriptor.Get()))
        return Failure(eAccessCheckStep::BuildDescriptor);

    GENERIC_MAPPING mapping = {check.Mapping.Read, check.Mapping.Write, check.Mapping.Execute, check.Mapping.All};
    PRIVILEGE_SET privileges = {};
    DWORD privilegesLength = sizeof(privileges);
    DWORD granted = 0;
    BOOL status = FALSE;
    if (!AccessCheck(descriptor.Get(), impersonation.Get(), check.DesiredAccess, &mapping, &privileges,
                     &privilegesLength, &granted, &status))
        return Failure(eAccessCheckStep::AccessCheck);
    cAccessCheckResult result;
    result.Granted = status != FALSE;
    return result;
}

std::unique_ptr<cPrivilegeToken> cWin32Security::OpenPrivilegeToken()
{
    HANDLE token = nullptr;
    if (!OpenProcessToken(GetCurrentProcess(), TOKEN_ADJUST_PRIVILEGES | TOKEN_QUERY, &token))
        return nullptr;
    return std::make_unique<cWin32PrivilegeToken>(token);
}

bool cWin32Security::SetSystemPowerState(bool suspend, bool force)
{
    return ::SetSystemPowerState(suspend, force) != FALSE;
}

bool cWin32Security::ExitWindowsEx(uint32_t flags, uint32_t reason)
{
    return ::ExitWindowsEx(flags, reason) != FALSE;
}

bool cWin32Security::GetJoinStatus(uint32_t& status)
{
    // NETSETUP_JOIN_STATUS travels as a plain enum; the buffer is the
    // machine's name, freed by NetApiBufferFree.
    using tNetGetJoinInformation = DWORD(WINAPI*)(LPCWSTR, LPWSTR*, int*);
    using tNetApiBufferFree = DWORD(WINAPI*)(LPVOID);
    HMODULE netapi = LoadLibraryA("netapi32.dll");
    if (netapi == nullptr)
        return false;
    auto getJoinInformation = reinterpret_cast<tNetGetJoinInformation>(
        reinterpret_cast<void*>(GetProcAddress(netapi, "NetGetJoinInformation")));
    auto bufferFree =
        reinterpret_cast<tNetApiBufferFree>(reinterpret_cast<void*>(GetProcAddress(netapi, "NetApiBufferFree")));
    bool answered = false;
    if (getJoinInformation != nullptr && bufferFree != nullptr) {
        LPWSTR name = nullptr;
        int joinStatus = 0;
        if (getJoinInformation(nullptr, &name, &joinStatus) == 0) {
            status = static_cast<uint32_t>(joinStatus);
            answered = true;
        }
        if (name != nullptr)
            bufferFree(name);
    }
    cLastErrorKeeper keepError;
    FreeLibrary(netapi);
    return answered;
}
