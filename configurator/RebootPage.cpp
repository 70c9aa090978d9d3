#include "configurator/RebootPage.h"

#include "configurator/ConfiguratorModel.h"
#include "diagnostics/SystemInformation.h"
#include "engine/McePowerManager.h"
#include "foundation/WindowsVersion.h"
#include "osconfig/OSConfiguration.h"
#include "platform/WinConst.h"

namespace {

constexpr const char* AUTOLOGON_NEEDED =
    "If there are more than one useraccounts on this machine or you are using a password, the autologon has to be "
    "configured to make forced reboots work properly.";
constexpr const char* AUTOLOGON_WRITE_FAILED = "Unable to set Autologon, you need administrator rights.";
constexpr const char* AUTOLOGON_DOMAIN = "Unable to configure autologon, this system is probably part of a domain.";
constexpr const char* ERROR_CAPTION = "Error";
constexpr const char* NO_REBOOT_YET = "none";
constexpr const char* NO_AUTOLOGON_USER = "-";

// The forced-reboot schedules, by their RM_ value.
const cControlItem REBOOT_MODES[] = {
    {"Do not force reboots", RM_NEVER_REBOOT},
    {"Reboot once every day", RM_ONCE_A_DAY},
    {"Reboot once every week", RM_ONCE_A_WEEK},
    {"Reboot once every month", RM_ONCE_A_MONTH},
};

// The controls of each autologon group; only the family's own group shows.
constexpr const char* XP_AUTOLOGON[] = {"GroupBox3", "Label15", "CheckBox2", "LabeledEdit1", "LabeledEdit2"};
constexpr const char* WIZARD_AUTOLOGON[] = {"GroupBox1", "Label53", "StaticText14", "Label54", "Button8"};

}  // namespace

cRebootPage::cRebootPage(cConfiguratorModel& model)
    : cConfiguratorPage(model, "TabSheet4", "Reboot", PAGE_ORDER_REBOOT)
{
    cMcePowerManager& engine = Objects().Engine;
    cControl& modes = Add(eControlKind::RadioGroup, "RadioGroup2", "Force reboots");
    modes.Items.assign(std::begin(REBOOT_MODES), std::end(REBOOT_MODES));
    modes.Admin = true;
    modes.OnChange = [&modes, &engine] {
        if (modes.ItemIndex >= 0)
            engine.SetRebootMode(modes.SelectedValue());
    };
    AddLabel("Label18", "Last forced reboot:");
    AddLabel("Label19", NO_REBOOT_YET).Buddy = "Label18";

    // The XP family: the values themselves.
    cSystemInformation& information = Objects().SystemInformation;
    AddLabel("GroupBox3", "Autologon");
    AddLabel("Label15", AUTOLOGON_NEEDED);
    AddCheckBox("CheckBox2", "Enable autologon", true,
                [this, &information](bool on) { AutologonWritten(information.SetAutoAdminLogon(on)); });
    cControl& user = Add(eControlKind::LabeledEdit, "LabeledEdit1", "Username");
    user.OnChange = [this, &user, &information] { AutologonWritten(information.SetDefaultUserName(user.Text)); };
    cControl& password = Add(eControlKind::LabeledEdit, "LabeledEdit2", "Password");
    password.OnChange = [this, &password, &information] {
        AutologonWritten(information.SetDefaultPassword(password.Text));
    };

    // Later Windows: the user is shown, Windows' tool sets it up.
    AddLabel("GroupBox1", "Autologon");
    AddLabel("Label53", "Autologon username:");
    Add(eControlKind::StaticText, "StaticText14", NO_AUTOLOGON_USER).Buddy = "Label53";
    AddLabel("Label54", AUTOLOGON_NEEDED);
    AddButton("Button8", "Configure autologon", true, [this] { ConfigureAutologon(); });
}

void cRebootPage::Build()
{
    const bool xp = Objects().Version.IsXpFamily();
    for (const char* name : XP_AUTOLOGON)
        Get(name).Visible = xp;
    for (const char* name : WIZARD_AUTOLOGON)
        Get(name).Visible = !xp;
}

void cRebootPage::Refresh()
{
    cMcePowerManager& engine = Objects().Engine;
    const bool available = engine.IsRebootModeAvailable();
    cControl& modes = Get("RadioGroup2");
    modes.SelectValue(engine.GetRebootMode());
    for (const char* name : {"RadioGroup2", "Label18", "Label19"})
        Get(name).Enabled = available;
    std::string last;
    Get("Label19").Caption = engine.ReadLastForcedReboot(last) ? last : NO_REBOOT_YET;

    cSystemInformation& information = Objects().SystemInformation;
    if (Objects().Version.IsXpFamily()) {
        Get("CheckBox2").Checked = information.IsAutoAdminLogon();
        Get("LabeledEdit1").Text = information.GetDefaultUserName();
        Get("LabeledEdit2").Text = information.GetDefaultPassword();
    } else {
        Get("StaticText14").Caption =
            information.IsAutoAdminLogon() ? information.GetDefaultUserName() : NO_AUTOLOGON_USER;
    }
}

void cRebootPage::AutologonWritten(bool written)
{
    if (!written)
        Model.ShowMessage(AUTOLOGON_WRITE_FAILED, ERROR_CAPTION, MB_OK | MB_ICONERROR);
}

// Windows' tool runs while the button is greyed, so it is not started twice.
void cRebootPage::ConfigureAutologon()
{
    cControl& button = Get("Button8");
    button.Enabled = false;
    Model.ControlUpdated(button);
    if (!Objects().OSConfiguration.ConfigureAutologon())
        Model.ShowMessage(AUTOLOGON_DOMAIN, ERROR_CAPTION, MB_OK | MB_ICONERROR);
    button.Enabled = true;
    Model.ControlUpdated(button);
}
