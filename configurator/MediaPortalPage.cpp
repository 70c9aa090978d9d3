#include "configurator/MediaPortalPage.h"

#include "configurator/ConfiguratorModel.h"
#include "engine/McePowerManager.h"
#include "shell/CommandLine.h"
#include "targets/TargetMediaPortal.h"

namespace {

constexpr const char* NOT_FOUND =
    "SLH has detected MediaPortal is installed but is unable to locate its main executable. Please locate the "
    "MediaPortal program directory manually.";
constexpr const char* LOCATE_PROMPT = "Locate the MediaPortal program folder";
constexpr const char* FALLBACK_FOLDER = "C:\\";

// MediaPortal has no "navigate only" mode: its fourth item stores "do nothing".
const cControlItem START_MODES[] = {
    {"Stop on suspend, restart on resume only if stopped", SM_RESTART_IF_RUNNING},
    {"Stop on suspend, always start on resume", SM_ALWAYS_START},
    {"Stop on suspend, never start on resume", SM_NEVER_START},
    {"Do not stop or restart MediaPortal", SM_DO_NOTHING},
};

}  // namespace

cMediaPortalPage::cMediaPortalPage(cConfiguratorModel& model)
    : cFrontEndPage(model, "TabSheetMediaPortal", "MediaPortal", PAGE_ORDER_MEDIAPORTAL)
{
    cTargetMediaPortal& mediaPortal = Objects().Engine.GetMediaPortal();
    cControl& modes = Add(eControlKind::RadioGroup, "RadioGroup4", "MediaPortal stop/start");
    modes.Items.assign(std::begin(START_MODES), std::end(START_MODES));
    modes.Admin = true;
    modes.OnChange = [&modes, &mediaPortal] {
        if (modes.ItemIndex >= 0)
            mediaPortal.StopStartMode = modes.SelectedValue();
    };
    AddCheckBox("CheckBox10", "Start MediaPortal at boot", false,
                [this, &mediaPortal](bool on) { SetStartAtBoot(mediaPortal, on); });
    AddStartDelay("TrackBar1", "Label44", "Label48", mediaPortal.StartDelay);
    AddLabel("Label30", NOT_FOUND);
    cControl& locate = Add(eControlKind::FolderPicker, "Button9", "Locate now");
    locate.Prompt = LOCATE_PROMPT;
    locate.OnChange = [this, &locate] { Locate(locate.Text); };
}

void cMediaPortalPage::Build()
{
    SetVisible(Objects().Engine.GetMediaPortal().IsInstalled() || Objects().Flags.DebugPages);
}

void cMediaPortalPage::Refresh()
{
    if (!IsVisible())
        return;
    cTargetMediaPortal& mediaPortal = Objects().Engine.GetMediaPortal();
    cControl& modes = Get("RadioGroup4");
    const int32_t mode = mediaPortal.StopStartMode;
    // A stored "navigate only" (3) does nothing for MediaPortal, as its last item.
    modes.SelectValue(mode == SM_JUMP_TO_PAGE ? SM_DO_NOTHING : mode);
    modes.Enabled = mediaPortal.StopStartMode.IsEnabled();
    cControl& boot = Get("CheckBox10");
    boot.Checked = mediaPortal.StartAtBoot;
    boot.Enabled = mediaPortal.StartAtBoot.IsEnabled();
    ShowStartDelay("TrackBar1", "Label48", mediaPortal.StartDelay);

    const bool missing = !Objects().Platform.Files.FileExists(mediaPortal.GetExecutablePath());
    Get("Label30").Visible = missing;
    cControl& locate = Get("Button9");
    locate.Visible = missing;
    locate.Text = ProgramFilesFolder();
}

void cMediaPortalPage::Locate(const std::string& folder)
{
    Objects().Engine.GetMediaPortal().SetInstallDirectory(folder);
    // A program found now may be stopped, started and started at logon.
    if (Objects().EvaluateSettingAvailability)
        Objects().EvaluateSettingAvailability();
}

std::string cMediaPortalPage::ProgramFilesFolder()
{
    std::string folder;
    if (!Objects().Platform.Files.GetSpecialFolder(FOLDER_PROGRAM_FILES, folder))
        folder = FALLBACK_FOLDER;
    return folder;
}
