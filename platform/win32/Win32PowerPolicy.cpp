#include "platform/win32/Win32PowerPolicy.h"

#include "platform/win32/Win32.h"

#include <powrprof.h>

#include <cstddef>
#include <cstring>

// The portable records must match the Windows ones byte for byte.
static_assert(sizeof(cGuid) == sizeof(GUID));
static_assert(sizeof(cSystemPowerCapabilities) == sizeof(SYSTEM_POWER_CAPABILITIES));
static_assert(offsetof(cSystemPowerCapabilities, SystemS4) == offsetof(SYSTEM_POWER_CAPABILITIES, SystemS4));
static_assert(offsetof(cSystemPowerCapabilities, AcOnLineWake) ==
              offsetof(SYSTEM_POWER_CAPABILITIES, AcOnLineWake));
static_assert(sizeof(cSystemPowerPolicy) == sizeof(SYSTEM_POWER_POLICY));
static_assert(offsetof(cSystemPowerPolicy, Idle) == offsetof(SYSTEM_POWER_POLICY, Idle));
static_assert(offsetof(cSystemPowerPolicy, IdleSensitivity) == offsetof(SYSTEM_POWER_POLICY, IdleSensitivity));
static_assert(offsetof(cSystemPowerPolicy, WinLogonFlags) == offsetof(SYSTEM_POWER_POLICY, WinLogonFlags));
static_assert(offsetof(cSystemPowerPolicy, VideoTimeout) == offsetof(SYSTEM_POWER_POLICY, VideoTimeout));
static_assert(offsetof(cSystemPowerPolicy, VideoReserved) == offsetof(SYSTEM_POWER_POLICY, VideoReserved));
static_assert(offsetof(cSystemPowerPolicy, OverThrottled) == offsetof(SYSTEM_POWER_POLICY, OverThrottled));
static_assert(sizeof(cAdministratorPowerPolicy) == sizeof(ADMINISTRATOR_POWER_POLICY));
static_assert(sizeof(cPowerSchemePolicy) == sizeof(POWER_POLICY));
static_assert(offsetof(cPowerSchemePolicy, Machine) == offsetof(POWER_POLICY, mach));
static_assert(offsetof(cUserPowerPolicy, MaxSleepAc) == offsetof(USER_POWER_POLICY, MaxSleepAc));
static_assert(offsetof(cUserPowerPolicy, ForcedThrottleDc) == offsetof(USER_POWER_POLICY, ForcedThrottleDc));
static_assert(offsetof(cMachinePowerPolicy, OverThrottledDc) == offsetof(MACHINE_POWER_POLICY, OverThrottledDc));

namespace {

using tCallNtPowerInformation = LONG(WINAPI*)(POWER_INFORMATION_LEVEL, PVOID, ULONG, PVOID, ULONG);
using tGetActivePwrScheme = BOOLEAN(WINAPI*)(PUINT);
using tSetActivePwrScheme = BOOLEAN(WINAPI*)(UINT, PGLOBAL_POWER_POLICY, PPOWER_POLICY);
using tReadPwrScheme = BOOLEAN(WINAPI*)(UINT, PPOWER_POLICY);
using tWritePwrScheme = BOOLEAN(WINAPI*)(PUINT, LPWSTR, LPWSTR, PPOWER_POLICY);
using tSetSuspendState = BOOLEAN(WINAPI*)(BOOLEAN, BOOLEAN, BOOLEAN);
using tPowerGetActiveScheme = DWORD(WINAPI*)(HKEY, GUID**);
using tPowerSetActiveScheme = DWORD(WINAPI*)(HKEY, const GUID*);
using tPowerReadValueIndex = DWORD(WINAPI*)(HKEY, const GUID*, const GUID*, const GUID*, LPDWORD);
using tPowerWriteValueIndex = DWORD(WINAPI*)(HKEY, const GUID*, const GUID*, const GUID*, DWORD);
using tPowerReadDescription = DWORD(WINAPI*)(HKEY, const GUID*, const GUID*, const GUID*, PUCHAR, LPDWORD);

const GUID* AsGuid(const cGuid& guid)
{
    return reinterpret_cast<const GUID*>(&guid);
}

class cWin32PowerLibrary final : public cPowerLibrary {
public:
    // Takes over the loaded module.
    explicit cWin32PowerLibrary(HMODULE module)
        : Module(module),
          CallNtPowerInformation_(Find<tCallNtPowerInformation>("CallNtPowerInformation")),
          GetActivePwrScheme_(Find<tGetActivePwrScheme>("GetActivePwrScheme")),
          SetActivePwrScheme_(Find<tSetActivePwrScheme>("SetActivePwrScheme")),
          ReadPwrScheme_(Find<tReadPwrScheme>("ReadPwrScheme")),
          WritePwrScheme_(Find<tWritePwrScheme>("WritePwrScheme")),
          SetSuspendState_(Find<tSetSuspendState>("SetSuspendState")),
          PowerGetActiveScheme_(Find<tPowerGetActiveScheme>("PowerGetActiveScheme")),
          PowerSetActiveScheme_(Find<tPowerSetActiveScheme>("PowerSetActiveScheme")),
          PowerReadACValueIndex_(Find<tPowerReadValueIndex>("PowerReadACValueIndex")),
          PowerReadDCValueIndex_(Find<tPowerReadValueIndex>("PowerReadDCValueIndex")),
          PowerWriteACValueIndex_(Find<tPowerWriteValueIndex>("PowerWriteACValueIndex")),
          PowerWriteDCValueIndex_(Find<tPowerWriteValueIndex>("PowerWriteDCValueIndex")),
          PowerReadDescription_(Find<tPowerReadDescription>("PowerReadDescription"))
    {
    }
    ~cWin32PowerLibrary() override { FreeLibrary(Module); }
    cWin32PowerLibrary(const cWin32PowerLibrary&) = delete;
    cWin32PowerLibrary& operator=(const cWin32PowerLibrary&) = delete;

    bool HasFunction(const std::string& name) override { return GetProcAddress(Module, name.c_str()) != nullptr; }

    uint32_t CallNtPowerInformation(int level, const void* input, uint32_t inputLength, void* output,
                                    uint32_t outputLength) override
    {
        if (CallNtPowerInformation_ == nullptr)
            return Missing(POWER_STATUS_ENTRYPOINT_NOT_FOUND);
        // The input buffer is declared writable but only read.
        return static_cast<uint32_t>(CallNtPowerInformation_(static_cast<POWER_INFORMATION_LEVEL>(level),
                                                             const_cast<void*>(input), inputLength, output,
                                                             outputLength));
    }

    bool GetActivePwrScheme(uint32_t& index) override
    {
        if (GetActivePwrScheme_ == nullptr)
            return Missing(false);
        UINT active = 0;
        if (!GetActivePwrScheme_(&active))
            return false;
        index = active;
        return true;
    }

    bool SetActivePwrScheme(uint32_t index) override
    {
        if (SetActivePwrScheme_ == nullptr)
            return Missing(false);
        return SetActivePwrScheme_(index, nullptr, nullptr) != FALSE;
    }

    bool ReadPwrScheme(uint32_t index, cPowerSchemePolicy& policy) override
    {
        if (ReadPwrScheme_ == nullptr)
            return Missing(false);
        return ReadPwrScheme_(index, reinterpret_cast<POWER_POLICY*>(&policy)) != FALSE;
    }

    bool WritePwrScheme(uint32_t index, const cPowerSchemePolicy& policy) override
    {
        if (WritePwrScheme_ == nullptr)
            return Missing(false);
        UINT scheme = index;
        POWER_POLICY copy;
        static_assert(sizeof(copy) == sizeof(policy));
        std::memcpy(&copy, &policy, sizeof(copy));
        return WritePwrScheme_(&scheme, nullptr, nullptr, &copy) != FALSE;
    }

    bool SetSuspendState(bool hibernate, bool force, bool wakeEventsDisabled) override
    {
        if (SetSuspendState_ == nullptr)
            return Missing(false);
        return SetSuspendState_(hibernate, force, wakeEventsDisabled) != FALSE;
    }

    uint32_t PowerGetActiveScheme(cGuid& scheme) override
    {
        if (PowerGetActiveScheme_ == nullptr)
            return ERROR_PROC_NOT_FOUND;
        GUID* active = nullptr;
        const DWORD result = PowerGetActiveScheme_(nullptr, &active);
        if (active != nullptr) {
            if (result == ERROR_SUCCESS)
                std::memcpy(&scheme, active, sizeof(scheme));
            LocalFree(active);
        }
        return result == ERROR_SUCCESS && active == nullptr ? ERROR_INVALID_DATA : result;
    }

    uint32_t PowerSetActiveScheme(const cGuid& scheme) override
    {
        if (PowerSetActiveScheme_ == nullptr)
            return ERROR_PROC_NOT_FOUND;
        return PowerSetActiveScheme_(nullptr, AsGuid(scheme));
    }

    uint32_t PowerReadACValueIndex(const cGuid& scheme, const cGuid& subgroup, const cGuid& setting,
                                   uint32_t& index) override
    {
        return ReadIndex(PowerReadACValueIndex_, scheme, subgroup, setting, index);
    }

    uint32_t PowerReadDCValueIndex(const cGuid& scheme, const cGuid& subgroup, const cGuid& setting,
                                   uint32_t& index) override
    {
        return ReadIndex(PowerReadDCValueIndex_, scheme, subgroup, setting, index);
    }

    uint32_t PowerWriteACValueIndex(const cGuid& scheme, const cGuid& subgroup, const cGuid& setting,
                                    uint32_t index) override
    {
        if (PowerWriteACValueIndex_ == nullptr)
            return ERROR_PROC_NOT_FOUND;
        return PowerWriteACValueIndex_(nullptr, AsGuid(scheme), AsGuid(subgroup), AsGuid(setting), index);
    }

    uint32_t PowerWriteDCValueIndex(const cGuid& scheme, const cGuid& subgroup, const cGuid& setting,
                                    uint32_t index) override
    {
        if (PowerWriteDCValueIndex_ == nullptr)
            return ERROR_PROC_NOT_FOUND;
        return PowerWriteDCValueIndex_(nullptr, AsGuid(scheme), AsGuid(subgroup), AsGuid(setting), index);
    }

    uint32_t PowerReadDescription(const cGuid& scheme, const cGuid& subgroup, const cGuid& setting, uint8_t* buffer,
                                  uint32_t& size) override
    {
        if (PowerReadDescription_ == nullptr)
            return ERROR_PROC_NOT_FOUND;
        DWORD length = size;
        const DWORD result =
            PowerReadDescription_(nullptr, AsGuid(scheme), AsGuid(subgroup), AsGuid(setting), buffer, &length);
        size = length;
        return result;
    }

private:
    static uint32_t ReadIndex(tPowerReadValueIndex read, const cGuid& scheme, const cGuid& subgroup,
                              const cGuid& setting, uint32_t& index)
    {
        if (read == nullptr)
            return ERROR_PROC_NOT_FOUND;
        DWORD value = index;
        const DWORD result = read(nullptr, AsGuid(scheme), AsGuid(subgroup), AsGuid(setting), &value);
        if (result == ERROR_SUCCESS)
            index = value;
        return result;
    }

    template <typename tProcedure>
    tProcedure Find(const char* name)
    {
        // Through void* so that GCC does not warn about the cast between
        // unrelated function types (FARPROC has no parameters).
        return reinterpret_cast<tProcedure>(reinterpret_cast<void*>(GetProcAddress(Module, name)));
    }

    template <typename tResult>
    static tResult Missing(tResult result)
    {
        SetLastError(ERROR_PROC_NOT_FOUND);
        return result;
    }

    HMODULE Module;
    tCallNtPowerInformation CallNtPowerInformation_;
    tGetActivePwrScheme GetActivePwrScheme_;
    tSetActivePwrScheme SetActivePwrScheme_;
    tReadPwrScheme ReadPwrScheme_;
    tWritePwrScheme WritePwrScheme_;
    tSetSuspendState SetSuspendState_;
    tPowerGetActiveScheme PowerGetActiveScheme_;
    tPowerSetActiveScheme PowerSetActiveScheme_;
    tPowerReadValueIndex PowerReadACValueIndex_;
    tPowerReadValueIndex PowerReadDCValueIndex_;
    tPowerWriteValueIndex PowerWriteACValueIndex_;
    tPowerWriteValueIndex PowerWriteDCValueIndex_;
    tPowerReadDescription PowerReadDescription_;
};

}  // namespace

std::unique_ptr<cPowerLibrary> cWin32PowerPolicy::LoadPowerLibrary()
{
    HMODULE module = LoadLibraryA("powrprof.dll");
    if (module == nullptr)
        return nullptr;
    return std::make_unique<cWin32PowerLibrary>(module);
}
