#include "configurator/EhomePage.h"

#include "configurator/ConfiguratorModel.h"
#include "engine/McePowerManager.h"
#include "shell/CommandLine.h"
#include "targets/TargetEhome.h"

namespace {

// The start modes, by their SM_ value (the item's index).
const cControlItem START_MODES[] = {
    {"Stop on suspend, restart on resume only if stopped", SM_RESTART_IF_RUNNING},
    {"Stop on suspend, always start on resume", SM_ALWAYS_START},
    {"Stop on suspend, never start on resume", SM_NEVER_START},
    {"Do not stop or restart, just navigate to the start page", SM_JUMP_TO_PAGE},
    {"Do not stop or restart eHome", SM_DO_NOTHING},
};

}  // namespace

cEhomePage::cEhomePage(cConfiguratorModel& model) : cFrontEndPage(model, "Standby", "eHome", PAGE_ORDER_EHOME)
{
    cTargetEhome& ehome = Objects().Engine.GetEhome();
    cControl& modes = Add(eControlKind::RadioGroup, "RadioGroup1", "eHome stop/start");
    modes.Items.assign(std::begin(START_MODES), std::end(START_MODES));
    modes.Admin = true;
    modes.OnChange = [&modes, &ehome] {
        if (modes.ItemIndex >= 0)
            ehome.StopStartMode = modes.SelectedValue();
    };
    AddCheckBox("CheckBox4", "Start eHome at boot", false, [this, &ehome](bool on) { SetStartAtBoot(ehome, on); });
    AddLabel("Label46", "Start page");
    AddComboBox("ComboBox9", true, [&ehome](int32_t page) { ehome.StartPage = page; }).Buddy = "Label46";
    AddStartDelay("TrackBar5", "Label58", "Label60", ehome.StartDelay);
}

void cEhomePage::Build()
{
    cTargetEhome& ehome = Objects().Engine.GetEhome();
    SetVisible(ehome.IsInstalled() || Objects().Flags.DebugPages);
    cControl& pages = Get("ComboBox9");
    pages.Items.clear();
    for (int i = 0; i < ehome.GetStartPageCount(); ++i) {
        const int32_t code = ehome.GetStartPageCode(i);
        pages.Items.push_back({cTargetEhome::GetStartPageName(code), code});
    }
}

void cEhomePage::Refresh()
{
    cTargetEhome& ehome = Objects().Engine.GetEhome();
    cControl& modes = Get("RadioGroup1");
    modes.SelectValue(ehome.StopStartMode);
    modes.Enabled = ehome.StopStartMode.IsEnabled();
    cControl& boot = Get("CheckBox4");
    boot.Checked = ehome.StartAtBoot;
    boot.Enabled = ehome.StartAtBoot.IsEnabled();

    // The start page and the delay matter only while Media Center is
    // started by this program (the target decides).
    const bool starts = ehome.CanSetStartPage();
    Get("ComboBox9").SelectValue(ehome.GetStartPage());
    ShowStartDelay("TrackBar5", "Label60", ehome.StartDelay);
    for (const char* name : {"ComboBox9", "Label46", "TrackBar5", "Label58", "Label60"})
        Get(name).Enabled = starts;
}
