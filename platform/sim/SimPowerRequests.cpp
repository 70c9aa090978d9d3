#include "platform/sim/SimPowerRequests.h"

#include <algorithm>

class cSimPowerRequests::cSimRegistration : public cPowerSettingRegistration {
public:
    cSimRegistration(cSimPowerRequests& owner, uint64_t id) : Owner(owner), Id(id) {}
    ~cSimRegistration() override
    {
        auto it = std::find(Owner.ActiveIds.begin(), Owner.ActiveIds.end(), Id);
        if (it == Owner.ActiveIds.end())
            return;
        Owner.Active.erase(Owner.Active.begin() + (it - Owner.ActiveIds.begin()));
        Owner.ActiveIds.erase(it);
        ++Owner.Ended;
    }

private:
    cSimPowerRequests& Owner;
    uint64_t Id;
};

uint32_t cSimPowerRequests::SetThreadExecutionState(uint32_t flags)
{
    States.push_back(flags);
    const uint32_t previous = State;
    State = flags;
    return previous;
}

std::unique_ptr<cPowerSettingRegistration> cSimPowerRequests::RegisterPowerSettingNotification(WindowHandle window,
                                                                                               const cGuid& setting)
{
    if (Lookup != eProcedureLookup::Found || RegistrationFails)
        return nullptr;
    Active.push_back({window, setting});
    ActiveIds.push_back(NextId);
    return std::make_unique<cSimRegistration>(*this, NextId++);
}
