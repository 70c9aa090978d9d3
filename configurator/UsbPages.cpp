#include "configurator/UsbPages.h"

#include "configurator/ConfiguratorModel.h"
#include "engine/McePowerManager.h"
#include "foundation/WindowsVersion.h"
#include "osconfig/OSConfiguration.h"
#include "osconfig/VistaConfiguration.h"
#include "platform/WinConst.h"

namespace {

constexpr const char* RESUME_FIXES_TEXT =
    "Enabling or disabling might help with USB devices that cause problems when entering or resuming from standby.";
constexpr const char* SELECTIVE_SUSPEND_TEXT =
    "Disabling selective USB suspend might help with USB devices that cause problems when entering or resuming "
    "from standby.";
constexpr const char* S3_RESUME_TEXT =
    "This setting allows USB devices (like the Microsoft IR remote) to resume the system from S3.";
constexpr const char* FAST_RESUME_TEXT = "Disabling fast USB resume might fix USB devices that fail after resuming.";
constexpr const char* HC_RESET_TEXT =
    "Enabling ForceHCResetOnResume will reset the USB host controllers on resume. This might restore USB devices "
    "that fail.";
constexpr const char* EXPERIMENTAL_CAPTION = "Experimental setting";

std::string ExperimentalText()
{
    return std::string("There is very little documentation on this setting.\n") +
           "There is absolutely no info on it's functioning on Windows XP.\n\n" + "Please report any effect to " +
           SUPPORT_ADDRESS + ".";
}

}  // namespace

cXpUsbPage::cXpUsbPage(cConfiguratorModel& model)
    : cConfiguratorPage(model, "TabSheet2", "USB", PAGE_ORDER_USB_XP),
      Xp(dynamic_cast<cXPConfiguration*>(&model.GetObjects().OSConfiguration))
{
    const bool vistaOrLater = Objects().Version.IsVistaOrLater();
    cOSConfiguration& os = Objects().OSConfiguration;
    AddLabel("Label1", S3_RESUME_TEXT);
    AddCheckBox("CheckBox1", "Enable USB S3 resume (USBBIOSx)", false, [this, vistaOrLater](bool on) {
        if (Xp && !vistaOrLater)
            Xp->SetUsbBiosX(on);
    });
    AddLabel("Label3", SELECTIVE_SUSPEND_TEXT);
    AddCheckBox("CheckBox19", "Disable selective USB suspend", false,
                [&os](bool on) { os.SetSelectiveSuspendDisabled(on); });
    AddLabel("Label2", RESUME_FIXES_TEXT);
    AddCheckBox("CheckBox18", "USBBIOSHACKS", false, [this, vistaOrLater](bool on) {
        if (Xp && !vistaOrLater)
            Xp->SetUsbBiosHacks(on);
    });
    AddCheckBox("CheckBox23", "Disable force USB enumeration", true,
                [this](bool on) { SetForceEnumerationDisabled(on); });
}

void cXpUsbPage::Build()
{
    SetVisible(Objects().Version.IsXpFamily());
}

void cXpUsbPage::Refresh()
{
    const int32_t sleepState = Objects().Engine.Settings.SleepState;
    cControl& usbBiosX = Get("CheckBox1");
    usbBiosX.Checked = Xp && Xp->IsUsbBiosXInstalled();
    // Resuming from S1 or from hibernation needs no USB fix.
    usbBiosX.Enabled = sleepState != SLEEP_STATE_S1 && sleepState != SLEEP_STATE_S4;
    Get("CheckBox19").Checked = Objects().OSConfiguration.IsSelectiveSuspendDisabled();
    Get("CheckBox18").Checked = Xp && Xp->IsUsbBiosHacksInstalled();
    cControl& enumeration = Get("CheckBox23");
    enumeration.Checked = Xp && Objects().Version.IsXpFamily() && Xp->IsForceEnumerationDisabled();
    enumeration.Enabled = !Objects().Version.IsVistaOrLater();
}

void cXpUsbPage::SetForceEnumerationDisabled(bool disabled)
{
    if (!Xp || !Objects().Version.IsXpFamily())
        return;
    Xp->SetForceEnumerationDisabled(disabled);
    if (disabled)
        Model.ShowMessage(ExperimentalText(), EXPERIMENTAL_CAPTION, MB_OK | MB_ICONINFORMATION);
}

cVistaUsbPage::cVistaUsbPage(cConfiguratorModel& model)
    : cConfiguratorPage(model, "TabSheet13", "USB", PAGE_ORDER_USB_VISTA),
      Vista(dynamic_cast<cVistaConfiguration*>(&model.GetObjects().OSConfiguration))
{
    cOSConfiguration& os = Objects().OSConfiguration;
    AddLabel("Label41", SELECTIVE_SUSPEND_TEXT);
    AddCheckBox("CheckBox5", "Disable selective USB suspend", false,
                [&os](bool on) { os.SetSelectiveSuspendDisabled(on); });
    AddLabel("Label24", FAST_RESUME_TEXT);
    AddCheckBox("CheckBox16", "Disable fast USB resume (FastResumeDisable)", false, [this](bool on) {
        if (Vista)
            Vista->SetFastResumeDisabled(on);
    });
    AddLabel("Label43", HC_RESET_TEXT);
    AddCheckBox("CheckBox31", "ForceHCResetOnResume", false, [this](bool on) {
        if (Vista)
            Vista->SetForceHcResetOnResume(on);
    });
    AddButton("Button22", "Default", false, [this] { RestoreDefaults(); });
}

void cVistaUsbPage::Build()
{
    SetVisible(Objects().Version.IsVistaOrLater());
}

void cVistaUsbPage::Refresh()
{
    Get("CheckBox5").Checked = Objects().OSConfiguration.IsSelectiveSuspendDisabled();
    Get("CheckBox16").Checked = Vista && Vista->IsFastResumeDisabled();
    Get("CheckBox31").Checked = Vista && Vista->IsForceHcResetOnResume();
}

void cVistaUsbPage::RestoreDefaults()
{
    if (!Vista || !Model.ConfirmDefaults())
        return;
    Vista->RestoreSelectiveSuspendDefault();
    Vista->SetFastResumeDisabled(false);
    Vista->SetForceHcResetOnResume(false);
}
