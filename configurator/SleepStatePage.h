#pragma once
#include "configurator/ConfiguratorPage.h"

// The sleep state Windows uses and away mode. Choosing a sleep state
// configures every power setting that goes with it.
class cSleepStatePage final : public cConfiguratorPage {
public:
    explicit cSleepStatePage(cConfiguratorModel& model);

    void Build() override;
    void Refresh() override;

private:
    void FillSleepStates();
    void SleepStateChosen(int32_t state);
};
