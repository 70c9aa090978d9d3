#include "platform/sim/SimPowerPolicy.h"

#include <cstdio>
#include <cstring>

#include "platform/PowerSettings.h"
#include "platform/sim/SimServices.h"
#include "platform/sim/SimSleep.h"

namespace {

constexpr uint32_t ERROR_CODE_FILE_NOT_FOUND = 2;
constexpr uint32_t ERROR_CODE_PROC_NOT_FOUND = 127;
constexpr uint32_t ERROR_CODE_MORE_DATA = 234;

// SYSTEM_POWER_STATE numbers.
constexpr uint32_t STATE_S1 = 2;
constexpr uint32_t STATE_S3 = 4;
constexpr uint32_t STATE_S4 = 5;

cSystemPowerCapabilities DefaultCapabilities()
{
    cSystemPowerCapabilities capabilities{};
    capabilities.PowerButtonPresent = 1;
    capabilities.SleepButtonPresent = 1;
    capabilities.SystemS1 = 1;
    capabilities.SystemS3 = 1;
    capabilities.SystemS4 = 1;
    capabilities.SystemS5 = 1;
    capabilities.HiberFilePresent = 1;
    capabilities.AcOnLineWake = STATE_S4;
    capabilities.RtcWake = STATE_S4;
    capabilities.MinDeviceWakeState = STATE_S1;
    capabilities.DefaultLowLatencyWake = STATE_S1;
    return capabilities;
}

cSystemPowerPolicy DefaultPolicy(bool ac)
{
    cSystemPowerPolicy policy{};
    policy.Revision = 1;
    policy.PowerButton = {ePowerAction::ShutdownOff, POWER_ACTION_FLAG_QUERY_ALLOWED | POWER_ACTION_FLAG_UI_ALLOWED, 0};
    policy.SleepButton = {ePowerAction::Sleep, POWER_ACTION_FLAG_QUERY_ALLOWED | POWER_ACTION_FLAG_UI_ALLOWED, 0};
    policy.LidClose = {ePowerAction::Sleep, POWER_ACTION_FLAG_QUERY_ALLOWED, 0};
    policy.LidOpenWake = STATE_S1;
    policy.Idle = {ePowerAction::Sleep, POWER_ACTION_FLAG_QUERY_ALLOWED, 0};
    policy.IdleTimeout = ac ? 0 : 1800;
    policy.IdleSensitivity = 50;
    policy.MinSleep = STATE_S1;
    policy.MaxSleep = STATE_S3;
    policy.ReducedLatencySleep = STATE_S1;
    policy.WinLogonFlags = 1;
    policy.VideoTimeout = ac ? 1200 : 300;
    policy.SpindownTimeout = ac ? 1800 : 600;
    return policy;
}

cAdministratorPowerPolicy DefaultAdministratorPolicy()
{
    return {STATE_S1, STATE_S4, 0, 0xFFFFFFFF, 0, 0xFFFFFFFF};
}

cPowerSchemePolicy DefaultScheme()
{
    cPowerSchemePolicy scheme{};
    scheme.User.Revision = 1;
    scheme.User.IdleAc = {ePowerAction::Sleep, POWER_ACTION_FLAG_QUERY_ALLOWED, 0};
    scheme.User.IdleDc = {ePowerAction::Sleep, POWER_ACTION_FLAG_QUERY_ALLOWED, 0};
    scheme.User.IdleSensitivityAc = 50;
    scheme.User.IdleSensitivityDc = 50;
    scheme.User.MaxSleepAc = STATE_S3;
    scheme.User.MaxSleepDc = STATE_S3;
    scheme.User.VideoTimeoutAc = 1200;
    scheme.User.VideoTimeoutDc = 300;
    scheme.Machine.Revision = 1;
    scheme.Machine.MinSleepAc = STATE_S1;
    scheme.Machine.MinSleepDc = STATE_S1;
    scheme.Machine.ReducedLatencySleepAc = STATE_S1;
    scheme.Machine.ReducedLatencySleepDc = STATE_S1;
    return scheme;
}

}  // namespace

class cSimPowerPolicy::cSimPowerLibrary : public cPowerLibrary {
public:
    explicit cSimPowerLibrary(cSimPowerPolicy& owner) : Owner(owner) { ++Owner.Loaded; }
    ~cSimPowerLibrary() override { --Owner.Loaded; }

    bool HasFunction(const std::string& name) override { return Owner.Missing.count(name) == 0; }

    uint32_t CallNtPowerInformation(int level, const void* input, uint32_t inputLength, void* output,
                                    uint32_t outputLength) override
    {
        if (!Present("CallNtPowerInformation"))
            return POWER_STATUS_ENTRYPOINT_NOT_FOUND;
        const uint32_t status = Call(level, input, inputLength, output, outputLength);
        Owner.PowerCalls.push_back({level, inputLength, outputLength, status});
        return status;
    }

    bool GetActivePwrScheme(uint32_t& index) override
    {
        if (!Present("GetActivePwrScheme") || Failed(Owner.GetActiveError))
            return false;
        index = Owner.ActiveScheme;
        return true;
    }

    bool SetActivePwrScheme(uint32_t index) override
    {
        if (!Present("SetActivePwrScheme") || Failed(Owner.SetActiveError) ||
            Failed(Owner.Schemes.count(index) ? 0 : ERROR_CODE_FILE_NOT_FOUND))
            return false;
        Owner.ActiveScheme = index;
        ++Owner.Activations;
        return true;
    }

    bool ReadPwrScheme(uint32_t index, cPowerSchemePolicy& policy) override
    {
        if (!Present("ReadPwrScheme") || Failed(Owner.ReadSchemeError) ||
            Failed(Owner.Schemes.count(index) ? 0 : ERROR_CODE_FILE_NOT_FOUND))
            return false;
        policy = Owner.Schemes[index];
        return true;
    }

    bool WritePwrScheme(uint32_t index, const cPowerSchemePolicy& policy) override
    {
        if (!Present("WritePwrScheme") || Failed(Owner.WriteSchemeError))
            return false;
        Owner.Schemes[index] = policy;
        return true;
    }

    bool SetSuspendState(bool hibernate, bool force, bool wakeEventsDisabled) override
    {
        if (!Present("SetSuspendState"))
            return false;
        const cSimSuspendCall call{hibernate, force, wakeEventsDisabled};
        Owner.Suspends.push_back(call);
        if (Owner.SuspendHook)
            return Owner.SuspendHook(call);
        if (!Owner.SuspendResult)
            return false;
        return Owner.MachineSleep == nullptr || Owner.MachineSleep->Sleep(hibernate);
    }

    uint32_t PowerGetActiveScheme(cGuid& scheme) override
    {
        if (!Present("PowerGetActiveScheme"))
            return ERROR_CODE_PROC_NOT_FOUND;
        if (Owner.GetActivePowerSchemeError != 0)
            return Owner.GetActivePowerSchemeError;
        scheme = Owner.ActivePowerScheme;
        return 0;
    }

    uint32_t PowerSetActiveScheme(const cGuid& scheme) override
    {
        if (!Present("PowerSetActiveScheme"))
            return ERROR_CODE_PROC_NOT_FOUND;
        if (Owner.SetActivePowerSchemeError != 0)
            return Owner.SetActivePowerSchemeError;
        Owner.ActivePowerScheme = scheme;
        ++Owner.PowerActivations;
        return 0;
    }

    uint32_t PowerReadACValueIndex(const cGuid& scheme, const cGuid& subgroup, const cGuid& setting,
                                   uint32_t& index) override
    {
        return ReadIndex("PowerReadACValueIndex", scheme, subgroup, setting, true, index);
    }

    uint32_t PowerReadDCValueIndex(const cGuid& scheme, const cGuid& subgroup, const cGuid& setting,
                                   uint32_t& index) override
    {
        return ReadIndex("PowerReadDCValueIndex", scheme, subgroup, setting, false, index);
    }

    uint32_t PowerWriteACValueIndex(const cGuid& scheme, const cGuid& subgroup, const cGuid& setting,
                                    uint32_t index) override
    {
        return WriteIndex("PowerWriteACValueIndex", scheme, subgroup, setting, true, index);
    }

    uint32_t PowerWriteDCValueIndex(const cGuid& scheme, const cGuid& subgroup, const cGuid& setting,
                                    uint32_t index) override
    {
        return WriteIndex("PowerWriteDCValueIndex", scheme, subgroup, setting, false, index);
    }

    uint32_t PowerReadDescription(const cGuid&, const cGuid&, const cGuid&, uint8_t* buffer, uint32_t& size) override
    {
        if (!Present("PowerReadDescription"))
            return ERROR_CODE_PROC_NOT_FOUND;
        if (Owner.DescriptionError != 0)
            return Owner.DescriptionError;
        static const char description[] = "Simulated setting";
        if (buffer == nullptr || size < sizeof(description)) {
            size = sizeof(description);
            return ERROR_CODE_MORE_DATA;
        }
        std::memcpy(buffer, description, sizeof(description));
        size = sizeof(description);
        return 0;
    }

private:
    uint32_t ReadIndex(const char* function, const cGuid& scheme, const cGuid& subgroup, const cGuid& setting,
                       bool ac, uint32_t& index)
    {
        if (!Present(function))
            return ERROR_CODE_PROC_NOT_FOUND;
        auto error = Owner.ReadErrors.find(GuidKey(setting));
        if (error != Owner.ReadErrors.end() && error->second != 0)
            return error->second;
        auto found = Owner.PowerSettings.find(SettingKey(scheme, subgroup, setting));
        if (found == Owner.PowerSettings.end())
            return ERROR_CODE_FILE_NOT_FOUND;
        index = ac ? found->second.Ac : found->second.Dc;
        return 0;
    }

    uint32_t WriteIndex(const char* function, const cGuid& scheme, const cGuid& subgroup, const cGuid& setting,
                        bool ac, uint32_t index)
    {
        if (!Present(function))
            return ERROR_CODE_PROC_NOT_FOUND;
        Owner.SettingWrites.push_back({setting, ac, index});
        auto error = Owner.WriteErrors.find(GuidKey(setting));
        if (error != Owner.WriteErrors.end() && error->second != 0)
            return error->second;
        cIndexes& stored = Owner.PowerSettings[SettingKey(scheme, subgroup, setting)];
        (ac ? stored.Ac : stored.Dc) = index;
        return 0;
    }

    bool Present(const char* function)
    {
        if (HasFunction(function))
            return true;
        ++Owner.MissingCalls;
        Owner.Errors.SetLastError(ERROR_CODE_PROC_NOT_FOUND);
        return false;
    }

    bool Failed(uint32_t error)
    {
        if (error == 0)
            return false;
        Owner.Errors.SetLastError(error);
        return true;
    }

    uint32_t Call(int level, const void* input, uint32_t inputLength, void* output, uint32_t outputLength)
    {
        auto record = Owner.Levels.find(level);
        if (record == Owner.Levels.end() || record->second.empty())
            return POWER_STATUS_NOT_IMPLEMENTED;
        const std::map<int, uint32_t>& statuses = input != nullptr ? Owner.WriteStatus : Owner.ReadStatus;
        auto status = statuses.find(level);
        if (status != statuses.end() && status->second != POWER_STATUS_SUCCESS)
            return status->second;
        std::vector<uint8_t>& bytes = record->second;
        if (input != nullptr) {
            if (inputLength < bytes.size())
                return POWER_STATUS_BUFFER_TOO_SMALL;
            std::memcpy(bytes.data(), input, bytes.size());
        }
        if (output != nullptr) {
            if (outputLength < bytes.size())
                return POWER_STATUS_BUFFER_TOO_SMALL;
            std::memcpy(output, bytes.data(), bytes.size());
        }
        return POWER_STATUS_SUCCESS;
    }

    cSimPowerPolicy& Owner;
};

cSimPowerPolicy::cSimPowerPolicy(cSimSystemErrors& errors) : Errors(errors)
{
    SetRecord(POWER_INFO_POLICY_AC, DefaultPolicy(true));
    SetRecord(POWER_INFO_POLICY_DC, DefaultPolicy(false));
    SetRecord(POWER_INFO_CAPABILITIES, DefaultCapabilities());
    SetLevel(POWER_INFO_BATTERY_STATE, std::vector<uint8_t>(32, 0));
    SetRecord(POWER_INFO_ADMINISTRATOR_POLICY, DefaultAdministratorPolicy());
    SetRecord(POWER_INFO_SYSTEM_INFORMATION, cSystemPowerInformation{50, 0, 0, 0});
    SetRecord(POWER_INFO_EXECUTION_STATE, uint32_t{0});
    Schemes[0] = DefaultScheme();
    // The balanced scheme of a desktop machine as Windows 7 installs it.
    SetPowerSetting(POWER_SUBGROUP_NONE, POWER_SETTING_WAKE_PASSWORD, 1, 1);
    SetPowerSetting(POWER_SUBGROUP_NONE, POWER_SETTING_PERSONALITY, 2, 2);
    SetPowerSetting(POWER_SUBGROUP_BUTTONS, POWER_SETTING_POWER_BUTTON, 3, 3);
    SetPowerSetting(POWER_SUBGROUP_BUTTONS, POWER_SETTING_LID_CLOSE, 1, 1);
    SetPowerSetting(POWER_SUBGROUP_BUTTONS, POWER_SETTING_SLEEP_BUTTON, 1, 1);
    SetPowerSetting(POWER_SUBGROUP_BUTTONS, POWER_SETTING_START_MENU_BUTTON, 0, 0);
    SetPowerSetting(POWER_SUBGROUP_USB, POWER_SETTING_USB_SELECTIVE_SUSPEND, 1, 1);
    SetPowerSetting(POWER_SUBGROUP_SLEEP, POWER_SETTING_SLEEP_AFTER, 1800, 900);
    SetPowerSetting(POWER_SUBGROUP_SLEEP, POWER_SETTING_HIBERNATE_AFTER, 0, 0);
    SetPowerSetting(POWER_SUBGROUP_SLEEP, POWER_SETTING_HYBRID_SLEEP, 1, 1);
    SetPowerSetting(POWER_SUBGROUP_SLEEP, POWER_SETTING_ALLOW_AWAY_MODE, 0, 0);
    SetPowerSetting(POWER_SUBGROUP_SLEEP, POWER_SETTING_UNATTENDED_SLEEP_TIMEOUT, 120, 120);
    SetPowerSetting(POWER_SUBGROUP_SLEEP, POWER_SETTING_ALLOW_PREVENT_SLEEP, 1, 1);
    SetPowerSetting(POWER_SUBGROUP_SLEEP, POWER_SETTING_IDLE_THRESHOLD, 80, 80);
}

std::unique_ptr<cPowerLibrary> cSimPowerPolicy::LoadPowerLibrary()
{
    if (LoadFails) {
        Errors.SetLastError(126);  // ERROR_MOD_NOT_FOUND
        return nullptr;
    }
    return std::make_unique<cSimPowerLibrary>(*this);
}

void cSimPowerPolicy::SetMissingFunction(const std::string& name, bool missing)
{
    if (missing)
        Missing.insert(name);
    else
        Missing.erase(name);
}

std::vector<uint8_t> cSimPowerPolicy::GetLevel(int level) const
{
    auto it = Levels.find(level);
    return it == Levels.end() ? std::vector<uint8_t>() : it->second;
}

bool cSimPowerPolicy::GetScheme(uint32_t index, cPowerSchemePolicy& policy) const
{
    auto it = Schemes.find(index);
    if (it == Schemes.end())
        return false;
    policy = it->second;
    return true;
}

std::string cSimPowerPolicy::GuidKey(const cGuid& guid)
{
    char text[40];
    std::snprintf(text, sizeof(text), "%08X-%04X-%04X-%02X%02X-%02X%02X%02X%02X%02X%02X", guid.Data1, guid.Data2,
                  guid.Data3, guid.Data4[0], guid.Data4[1], guid.Data4[2], guid.Data4[3], guid.Data4[4],
                  guid.Data4[5], guid.Data4[6], guid.Data4[7]);
    return text;
}

std::string cSimPowerPolicy::SettingKey(const cGuid& scheme, const cGuid& subgroup, const cGuid& setting)
{
    return GuidKey(scheme) + "/" + GuidKey(subgroup) + "/" + GuidKey(setting);
}

void cSimPowerPolicy::SetPowerSetting(const cGuid& subgroup, const cGuid& setting, uint32_t ac, uint32_t dc)
{
    PowerSettings[SettingKey(ActivePowerScheme, subgroup, setting)] = {ac, dc};
}

bool cSimPowerPolicy::GetPowerSetting(const cGuid& subgroup, const cGuid& setting, uint32_t& ac, uint32_t& dc) const
{
    auto found = PowerSettings.find(SettingKey(ActivePowerScheme, subgroup, setting));
    if (found == PowerSettings.end())
        return false;
    ac = found->second.Ac;
    dc = found->second.Dc;
    return true;
}

void cSimPowerPolicy::SetPowerReadError(const cGuid& setting, uint32_t error)
{
    ReadErrors[GuidKey(setting)] = error;
}

void cSimPowerPolicy::SetPowerWriteError(const cGuid& setting, uint32_t error)
{
    WriteErrors[GuidKey(setting)] = error;
}
