#pragma once
#include <cstdint>
#include <memory>
#include <vector>

#include "platform/Power.h"

// The system's side of the program's power requests: records every
// execution state the program sets and the power-setting registrations in
// force. Vista and later by default (the registration function exists).
class cSimPowerRequests : public cPowerRequests {
public:
    uint32_t SetThreadExecutionState(uint32_t flags) override;
    eProcedureLookup FindPowerSettingNotification() override { return Lookup; }
    std::unique_ptr<cPowerSettingRegistration> RegisterPowerSettingNotification(WindowHandle window,
                                                                                const cGuid& setting) override;

    // Every SetThreadExecutionState call, in order.
    const std::vector<uint32_t>& ExecutionStates() const { return States; }

    // How far the lookup of the registration function gets (Found: Vista
    // and later); registrations need it found.
    void SetPowerSettingLookup(eProcedureLookup lookup) { Lookup = lookup; }
    void SetRegistrationFails(bool fails) { RegistrationFails = fails; }
    struct cRegistration {
        WindowHandle Window;
        cGuid Setting;
    };
    // The registrations in force, in the order they were made.
    const std::vector<cRegistration>& Registrations() const { return Active; }
    // Registrations that were made and ended again.
    int EndedRegistrations() const { return Ended; }

private:
    class cSimRegistration;

    // A thread starts with ES_CONTINUOUS alone.
    uint32_t State = 0x80000000;
    std::vector<uint32_t> States;
    eProcedureLookup Lookup = eProcedureLookup::Found;
    bool RegistrationFails = false;
    std::vector<cRegistration> Active;
    std::vector<uint64_t> ActiveIds;
    uint64_t NextId = 1;
    int Ended = 0;
};
