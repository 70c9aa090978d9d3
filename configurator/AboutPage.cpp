#include "configurator/AboutPage.h"

#include "configurator/ConfiguratorModel.h"
#include "foundation/FileVersion.h"
#include "foundation/WindowsVersion.h"
#include "osconfig/OSConfiguration.h"

cAboutPage::cAboutPage(cConfiguratorModel& model) : cConfiguratorPage(model, "TabSheet3", "About", PAGE_ORDER_ABOUT)
{
    Add(eControlKind::StaticText, "StaticText1", "Slumberhold");
    Add(eControlKind::StaticText, "StaticText2");
    AddLabel("Label61", "");
    Add(eControlKind::Panel, "Panel1").OnChange = [this] { Model.SwitchDebugMode(); };
    Add(eControlKind::Panel, "Panel2").OnChange = [this] { Model.SwitchIdleDebugMode(); };
}

void cAboutPage::Build()
{
    const cConfiguratorObjects& objects = Objects();
    Get("StaticText2").Caption = "Version " + cFileVersion(objects.Platform).GetShortVersion();
    std::string name = objects.OSConfiguration.GetName();
    if (objects.Version.IsWow64())
        name += " (x64)";
    Get("Label61").Caption = name;
}
