#pragma once
#include "configurator/ConfiguratorPage.h"

// Forced reboots and the automatic logon they need: on the XP family the
// autologon values are edited here, on later Windows the page opens
// Windows' own tool.
class cRebootPage final : public cConfiguratorPage {
public:
    explicit cRebootPage(cConfiguratorModel& model);

    void Build() override;
    void Refresh() override;

private:
    // Shows the error when an autologon value could not be written.
    void AutologonWritten(bool written);
    void ConfigureAutologon();
};
