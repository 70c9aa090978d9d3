#pragma once
#include "configurator/ConfiguratorPage.h"

class cVistaMCEConfiguration;

// The automatic-wake rules: sleep again when a recording or guide update has
// finished, what counts as an automatic wake, Windows' own unattended sleep
// timeout and Media Center's background scanner.
class cAutoTasksPage final : public cConfiguratorPage {
public:
    explicit cAutoTasksPage(cConfiguratorModel& model);

    void Build() override;
    void Refresh() override;

private:
    void RefreshBackgroundScanner();
    // Why the automatic-task suspend is unavailable; empty when it is not.
    std::string UnavailableReason();
    void RestoreDefaults();
    // Null unless the machine runs a Media Center configuration of Vista or later.
    cVistaMCEConfiguration* MediaCenterConfiguration;
};
