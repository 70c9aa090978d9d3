#pragma once
#include "platform/Power.h"

// SetThreadExecutionState (there since Windows 2000) and the power-setting
// notifications of user32.dll (Vista and later, looked up at run time).
class cWin32PowerRequests final : public cPowerRequests {
public:
    uint32_t SetThreadExecutionState(uint32_t flags) override;
    eProcedureLookup FindPowerSettingNotification() override;
    std::unique_ptr<cPowerSettingRegistration> RegisterPowerSettingNotification(WindowHandle window,
                                                                                const cGuid& setting) override;
};
