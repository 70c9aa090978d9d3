#pragma once
#include <algorithm>
#include <cstdint>
#include <functional>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "platform/PowerPolicy.h"

class cSimSleep;
class cSimSystemErrors;

// One CallNtPowerInformation call as the program made it.
struct cSimPowerCall {
    int Level = 0;
    uint32_t InputLength = 0;
    uint32_t OutputLength = 0;
    uint32_t Status = 0;
};

// One write of a power-setting index.
struct cSimPowerSettingWrite {
    cGuid Setting{};
    bool Ac = true;  // false: the DC index
    uint32_t Index = 0;
};

// One SetSuspendState call.
struct cSimSuspendCall {
    bool Hibernate = false;
    bool Force = false;
    bool WakeEventsDisabled = false;
};

// The simulated powrprof.dll and the power configuration behind it: a
// home-theatre PC with S1, S3 and S4, plain AC and DC policies and one
// power scheme. The state lives here, not in the loaded library objects,
// so it outlives them as the machine's configuration does.
//
// Each information level holds one record. A call with an input buffer
// stores it as the level's new record; a call with an output buffer gets
// the record (POWER_STATUS_BUFFER_TOO_SMALL when the buffer is shorter).
// A level without a record is not implemented (POWER_STATUS_NOT_IMPLEMENTED),
// as many are under Wine.
class cSimPowerPolicy : public cPowerPolicy {
public:
    explicit cSimPowerPolicy(cSimSystemErrors& errors);

    std::unique_ptr<cPowerLibrary> LoadPowerLibrary() override;

    // The library cannot be loaded.
    void SetLoadFails(bool fails) { LoadFails = fails; }
    // The library does not export the function.
    void SetMissingFunction(const std::string& name, bool missing = true);
    // Libraries handed out and not yet freed.
    int LoadedLibraries() const { return Loaded; }
    // Calls the program made of functions the library does not export.
    int CallsOfMissingFunctions() const { return MissingCalls; }

    // The record of a level; a level set to an empty record is not
    // implemented.
    void SetLevel(int level, std::vector<uint8_t> record) { Levels[level] = std::move(record); }
    std::vector<uint8_t> GetLevel(int level) const;
    template <typename tRecord>
    void SetRecord(int level, const tRecord& record)
    {
        const auto* bytes = reinterpret_cast<const uint8_t*>(&record);
        SetLevel(level, std::vector<uint8_t>(bytes, bytes + sizeof(record)));
    }
    // The level's record; zeros when it has none or a shorter one.
    template <typename tRecord>
    tRecord GetRecord(int level) const
    {
        tRecord record{};
        const std::vector<uint8_t> bytes = GetLevel(level);
        if (bytes.size() >= sizeof(record))
            std::copy(bytes.begin(), bytes.begin() + sizeof(record), reinterpret_cast<uint8_t*>(&record));
        return record;
    }
    // Calls of the level fail with the status; reads are calls without an
    // input buffer, writes those with one. 0 lets them work again.
    void SetReadStatus(int level, uint32_t status) { ReadStatus[level] = status; }
    void SetWriteStatus(int level, uint32_t status) { WriteStatus[level] = status; }
    const std::vector<cSimPowerCall>& Calls() const { return PowerCalls; }

    // The legacy power schemes.
    void SetScheme(uint32_t index, const cPowerSchemePolicy& policy) { Schemes[index] = policy; }
    bool GetScheme(uint32_t index, cPowerSchemePolicy& policy) const;
    void SetActiveScheme(uint32_t index) { ActiveScheme = index; }
    uint32_t GetActiveScheme() const { return ActiveScheme; }
    // Nonzero: the scheme call fails and sets this last error.
    void SetGetActiveSchemeError(uint32_t error) { GetActiveError = error; }
    void SetSetActiveSchemeError(uint32_t error) { SetActiveError = error; }
    void SetReadSchemeError(uint32_t error) { ReadSchemeError = error; }
    void SetWriteSchemeError(uint32_t error) { WriteSchemeError = error; }
    // How often the active scheme was set (each reloads the scheme).
    int SchemeActivations() const { return Activations; }

    // The power settings of Vista and later (PowerReadACValueIndex and its
    // kin). One scheme is active; settings live per scheme and are found by
    // their subgroup and setting GUID. A setting never written reads as
    // missing (error 2); a write creates it.
    static constexpr cGuid BALANCED_SCHEME = {0x381B4222, 0xF694, 0x41F0, {0x96, 0x85, 0xFF, 0x5B, 0xB2, 0x60, 0xDF, 0x2E}};
    void SetActivePowerScheme(const cGuid& scheme) { ActivePowerScheme = scheme; }
    const cGuid& GetActivePowerScheme() const { return ActivePowerScheme; }
    // Sets both indexes of the setting in the active scheme.
    void SetPowerSetting(const cGuid& subgroup, const cGuid& setting, uint32_t ac, uint32_t dc);
    // Both indexes of the setting in the active scheme; false when missing.
    bool GetPowerSetting(const cGuid& subgroup, const cGuid& setting, uint32_t& ac, uint32_t& dc) const;
    // Every index write, in order, successful or not.
    const std::vector<cSimPowerSettingWrite>& PowerSettingWrites() const { return SettingWrites; }
    // Nonzero: the call fails with this error (0 lets it work again).
    void SetPowerGetActiveSchemeError(uint32_t error) { GetActivePowerSchemeError = error; }
    void SetPowerSetActiveSchemeError(uint32_t error) { SetActivePowerSchemeError = error; }
    void SetPowerReadError(const cGuid& setting, uint32_t error);
    void SetPowerWriteError(const cGuid& setting, uint32_t error);
    void SetPowerReadDescriptionError(uint32_t error) { DescriptionError = error; }
    // How often a scheme was made active with PowerSetActiveScheme.
    int PowerSchemeActivations() const { return PowerActivations; }

    // SetSuspendState answers result unless a hook is set; the hook plays
    // the sleep (a scenario broadcasts the power events there) and answers.
    void SetSuspendResult(bool result) { SuspendResult = result; }
    void SetSuspendHook(std::function<bool(const cSimSuspendCall&)> hook) { SuspendHook = std::move(hook); }
    const std::vector<cSimSuspendCall>& SuspendCalls() const { return Suspends; }
    // Without a hook, a call that succeeds puts this machine to sleep; none
    // set: the call only answers.
    void SetMachineSleep(cSimSleep* sleep) { MachineSleep = sleep; }

private:
    class cSimPowerLibrary;
    friend class cSimPowerLibrary;

    cSimSystemErrors& Errors;
    bool LoadFails = false;
    std::set<std::string> Missing;
    int Loaded = 0;
    int MissingCalls = 0;
    std::map<int, std::vector<uint8_t>> Levels;
    std::map<int, uint32_t> ReadStatus;
    std::map<int, uint32_t> WriteStatus;
    std::vector<cSimPowerCall> PowerCalls;
    std::map<uint32_t, cPowerSchemePolicy> Schemes;
    uint32_t ActiveScheme = 0;
    uint32_t GetActiveError = 0;
    uint32_t SetActiveError = 0;
    uint32_t ReadSchemeError = 0;
    uint32_t WriteSchemeError = 0;
    int Activations = 0;
    bool SuspendResult = true;
    std::function<bool(const cSimSuspendCall&)> SuspendHook;
    std::vector<cSimSuspendCall> Suspends;
    cSimSleep* MachineSleep = nullptr;

    struct cIndexes {
        uint32_t Ac = 0;
        uint32_t Dc = 0;
    };
    static std::string SettingKey(const cGuid& scheme, const cGuid& subgroup, const cGuid& setting);
    static std::string GuidKey(const cGuid& guid);
    cGuid ActivePowerScheme = BALANCED_SCHEME;
    std::map<std::string, cIndexes> PowerSettings;
    std::vector<cSimPowerSettingWrite> SettingWrites;
    std::map<std::string, uint32_t> ReadErrors;
    std::map<std::string, uint32_t> WriteErrors;
    uint32_t GetActivePowerSchemeError = 0;
    uint32_t SetActivePowerSchemeError = 0;
    uint32_t DescriptionError = 0;
    int PowerActivations = 0;
};
