#pragma once
#include "configurator/ConfiguratorPage.h"

constexpr const char* DEVICES_PAGE_NAME = "TabSheet10";

// The devices that can wake the machine, each ticked when its wake function
// is armed. The list is loaded only when the user asks (powercfg.exe is
// slow); ticking a row arms or disarms the device.
class cDevicesPage final : public cConfiguratorPage {
public:
    explicit cDevicesPage(cConfiguratorModel& model);

    void Build() override {}
    // The list is not a setting: FillWakeDeviceList fills it.
    void Refresh() override {}
    void Fill();

private:
    void RowTicked();
    void RefreshList();
};
