#pragma once
#include "configurator/ConfiguratorPage.h"

// Logging, the standby delay and the smaller fixes: the front panel
// manager, the NVIDIA driver's standby mapping, balloon tips, the front-end
// restart after automatic wakes and waking the monitor.
class cDebugPage final : public cConfiguratorPage {
public:
    explicit cDebugPage(cConfiguratorModel& model);

    void Build() override;
    void Refresh() override;
};
