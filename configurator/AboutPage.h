#pragma once
#include "configurator/ConfiguratorPage.h"

// The product, its version and the Windows configuration in use. It also
// holds the two hidden panels whose double click switches on debug mode
// (Panel1) and idle-debug mode (Panel2).
class cAboutPage final : public cConfiguratorPage {
public:
    explicit cAboutPage(cConfiguratorModel& model);

    void Build() override;
    void Refresh() override {}
};
