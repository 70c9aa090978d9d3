#pragma once
#include "configurator/ConfiguratorPage.h"

// What Windows' own idle detection sees, refreshed every second, and the
// buttons that move its idle threshold.
class cWindowsIdleSettingsPage final : public cConfiguratorPage {
public:
    explicit cWindowsIdleSettingsPage(cConfiguratorModel& model);

    void Build() override {}
    void Refresh() override;

private:
    // Shows the figures again at once after the threshold moved.
    void RefreshWindowsIdle();
    void LogDetailsChanged(bool on);
};

// The activity detection's view of the recording, in idle-debug mode.
class cIdleDebugPage final : public cConfiguratorPage {
public:
    explicit cIdleDebugPage(cConfiguratorModel& model);

    void Build() override;
    void Refresh() override;
};

// Media Center extenders, on Vista and later.
class cExtenderPage final : public cConfiguratorPage {
public:
    explicit cExtenderPage(cConfiguratorModel& model);

    void Build() override;
    void Refresh() override;
};
