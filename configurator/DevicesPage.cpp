#include "configurator/DevicesPage.h"

#include "configurator/ConfiguratorModel.h"
#include "configurator/PowercfgReports.h"
#include "osconfig/WakeDevice.h"

namespace {

constexpr const char* EXPLANATION =
    "These devices can wake the system from standby, check the device to arm the wake function of the device.";
constexpr const char* NOT_LOADED = "No data yet, click Refresh button.";

}  // namespace

cDevicesPage::cDevicesPage(cConfiguratorModel& model)
    : cConfiguratorPage(model, DEVICES_PAGE_NAME, "Devices", PAGE_ORDER_DEVICES)
{
    AddLabel("Label16", EXPLANATION);
    cControl& list = Add(eControlKind::ListView, "ListView1");
    list.Columns = {"Device"};
    list.ColumnWidths = {0};
    list.CheckBoxes = true;
    list.Admin = true;
    list.OnChange = [this] { RowTicked(); };
    // Whether or not the rights were there, the list shows the devices as
    // they are now.
    list.Finish = [this] { Model.FillWakeDeviceList(); };
    AddButton("Button10", "Refresh list", false, [this] { RefreshList(); });
    AddButton("Button26", "Last wake", false, [this] {
        cPowercfgReports(Objects().Platform, Objects().Platform.Viewer, Objects().Window)
            .ShowPowercfgReport(REPORT_LAST_WAKE);
    });
}

void cDevicesPage::Fill()
{
    cControl& list = Get("ListView1");
    cWakeDeviceList& devices = Objects().WakeDevices;
    list.Rows.clear();
    if (devices.IsNotYetLoaded()) {
        list.Rows.push_back({{NOT_LOADED}, false, false, false});
        return;
    }
    list.Enabled = false;
    devices.RefreshArmed();
    for (int i = 0; i < devices.GetDeviceCount(); ++i) {
        const cWakeDevice& device = *devices.GetDevice(i);
        // Windows does not let the user change such a device: it shows as
        // armed and greyed.
        const bool programmable = device.IsProgrammable();
        list.Rows.push_back({{device.GetName()}, true, !programmable || device.IsArmed(), !programmable});
    }
    list.Enabled = true;
}

void cDevicesPage::RowTicked()
{
    const cControl& list = Get("ListView1");
    cWakeDevice* device = Objects().WakeDevices.GetDevice(list.ChangedRow);
    if (!device || !device->IsProgrammable())
        return;
    const bool ticked = list.Rows[static_cast<size_t>(list.ChangedRow)].Checked;
    if (ticked == device->IsArmed())
        return;
    device->SetWakeEnabled(!device->IsArmed());
}

void cDevicesPage::RefreshList()
{
    cControl& button = Get("Button10");
    button.Enabled = false;
    Model.ControlUpdated(button);
    Objects().WakeDevices.Refresh();
    Model.FillWakeDeviceList();
    button.Enabled = true;
}
