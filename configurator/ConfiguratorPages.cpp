#include "configurator/ConfiguratorModel.h"

#include "configurator/AboutPage.h"
#include "configurator/AutoTasksPage.h"
#include "configurator/DebugPage.h"
#include "configurator/DevicesPage.h"
#include "configurator/EhomePage.h"
#include "configurator/IdlePage.h"
#include "configurator/MediaPortalPage.h"
#include "configurator/RebootPage.h"
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
    model.AddPage(std::make_unique<cEhomePage>(model));
    model.AddPage(std::make_unique<cMediaPortalPage>(model));
    model.AddPage(std::make_unique<cRebootPage>(model));
    model.AddPage(std::make_unique<cIdlePage>(model));
    model.AddPage(std::make_unique<cAutoTasksPage>(model));
    model.AddPage(std::make_unique<cIdleDebugPage>(model));
    model.AddPage(std::make_unique<cDebugPage>(model));
    model.AddPage(std::make_unique<cRndPage>(model));
    model.AddPage(std::make_unique<cExtenderPage>(model));
    model.AddPage(std::make_unique<cAboutPage>(model));
}
