#include "configurator/ConfiguratorModel.h"

#include "configurator/AboutPage.h"
#include "configurator/DebugPage.h"
#include "configurator/DevicesPage.h"
#include "configurator/RndPage.h"
#include "configurator/SleepStatePage.h"
#include "configurator/StatusPages.h"
#include "configurator/UsbPages.h"

// Every page of the window; the tab order comes from each page's own order.
void CreatePages(cConfiguratorModel& model)
{
    model.AddPage(std::make_unique<cSleepStatePage>(model));
    model.AddPage(std::make_unique<cXpUsbPage>(model));
    model.AddPage(std::make_unique<cVistaUsbPage>(model));
    model.AddPage(std::make_unique<cDevicesPage>(model));
    model.AddPage(std::make_unique<cWindowsIdleSettingsPage>(model));
    model.AddPage(std::make_unique<cIdleDebugPage>(model));
    model.AddPage(std::make_unique<cDebugPage>(model));
    model.AddPage(std::make_unique<cRndPage>(model));
    model.AddPage(std::make_unique<cExtenderPage>(model));
    model.AddPage(std::make_unique<cAboutPage>(model));
}
