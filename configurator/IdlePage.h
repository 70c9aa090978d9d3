#pragma once
#include "configurator/ConfiguratorPage.h"

// The Media Center idle rules: suspend when Media Center runs and is idle,
// or when it runs and nobody touches the machine, and their timeouts. The
// page also carries the live Media Center, recording and last-input labels,
// which the heartbeat fills.
class cIdlePage final : public cConfiguratorPage {
public:
    explicit cIdlePage(cConfiguratorModel& model);

    void Build() override;
    void Refresh() override;

private:
    void RestoreDefaults();
};
