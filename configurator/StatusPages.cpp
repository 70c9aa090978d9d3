#include "configurator/StatusPages.h"

#include "configurator/ConfiguratorModel.h"
#include "configurator/PowercfgReports.h"
#include "detection/MediaCenterExtender.h"
#include "detection/RecordingMonitor.h"
#include "engine/McePowerManager.h"
#include "foundation/MessageLogger.h"
#include "foundation/WindowsVersion.h"
#include "osconfig/OSConfiguration.h"
#include "platform/WinConst.h"
#include "shell/CommandLine.h"
#include "shell/StatusTexts.h"
#include "shell/WindowsIdlePage.h"

namespace {

constexpr const char* LOG_DETAILS_WARNING =
    "Enabling this option will cause excessive growth of the log file, use with caution!";
constexpr const char* LOG_DETAILS_CAPTION = "Warning";
// The idle-debug list's "Status" column.
constexpr int STATUS_COLUMN_WIDTH = 85;

}  // namespace

cWindowsIdleSettingsPage::cWindowsIdleSettingsPage(cConfiguratorModel& model)
    : cConfiguratorPage(model, "TabSheet12", "Windows idle", PAGE_ORDER_WINDOWS_IDLE)
{
    const std::pair<const char*, const char*> fields[] = {
        {"Label34", "Time remaining until suspend:"},
        {"Label35", "System idleness:"},
        {"Label36", "Maximum idleness allowed:"},
        {"Label37", "Time since last user input:"},
        {"Label39", "One or more program(s) require(s) the system:"},
        {"Label40", "One or more program(s) require(s) the display:"},
    };
    const char* texts[] = {"StaticText5", "StaticText6", "StaticText7", "StaticText8", "StaticText9", "StaticText10"};
    for (size_t i = 0; i < std::size(fields); ++i) {
        AddLabel(fields[i].first, fields[i].second);
        Add(eControlKind::StaticText, texts[i], StatusText::NOT_YET_SEEN).Buddy = fields[i].first;
    }
    AddLabel("Label38", "");
    cOSConfiguration& os = Objects().OSConfiguration;
    // Enabled by the first figures of the heartbeat.
    AddButton("Button11", "-", false, [this, &os] {
        os.DecreaseIdleThreshold();
        RefreshWindowsIdle();
    }).Enabled = false;
    AddButton("Button17", "+", false, [this, &os] {
        os.IncreaseIdleThreshold();
        RefreshWindowsIdle();
    }).Enabled = false;
    AddButton("Button18", "Default", false, [this, &os] {
        if (!Model.ConfirmDefaults())
            return;
        os.ResetIdleThreshold();
        RefreshWindowsIdle();
    });
    AddButton("Button27", "Show sleep blockers", false, [this] {
        cPowercfgReports(Objects().Platform, Objects().Platform.Viewer, Objects().Window)
            .ShowPowercfgReport(REPORT_SLEEP_BLOCKERS);
    });
    // Hidden: the setting is changed in the registry, and obeyed.
    AddCheckBox("CheckBox38", "Log Windows idle details", false, [this](bool on) { LogDetailsChanged(on); }).Visible =
        false;
}

void cWindowsIdleSettingsPage::Refresh()
{
    const bool adjustable = Objects().OSConfiguration.IsIdleThresholdAdjustable();
    Get("Label36").Enabled = adjustable;
    Get("StaticText7").Enabled = adjustable;
    // Without logging the details would go nowhere.
    const bool logging = Objects().Logger.IsLogging();
    cControl& logDetails = Get("CheckBox38");
    logDetails.Enabled = logging;
    logDetails.Checked = logging && Objects().LogWindowsIdleDetails.Get();
}

void cWindowsIdleSettingsPage::RefreshWindowsIdle()
{
    const cConfiguratorObjects& objects = Objects();
    objects.WindowsIdlePage.Refresh(Model.GetStatusDisplay(),
                                    objects.Monitor.FormatElapsed(objects.Engine.GetLastUserInputTick()));
}

void cWindowsIdleSettingsPage::LogDetailsChanged(bool on)
{
    Objects().LogWindowsIdleDetails = on;
    if (on)
        Model.ShowMessage(LOG_DETAILS_WARNING, LOG_DETAILS_CAPTION, MB_OK | MB_ICONWARNING);
}

cIdleDebugPage::cIdleDebugPage(cConfiguratorModel& model)
    : cConfiguratorPage(model, "TabSheet1", "Idle debug", PAGE_ORDER_IDLE_DEBUG)
{
    cControl& list = Add(eControlKind::ListView, "ListView2");
    list.Columns = {"Process", "Status", "ID"};
    list.ColumnWidths = {0, STATUS_COLUMN_WIDTH, 0};
    list.Rows.push_back({{"Recording", StatusText::NOT_YET_SEEN, ""}, false, false, false});
    Add(eControlKind::Label, "Label26", StatusText::NOT_YET_SEEN);
    cRecordingMonitor& monitor = Objects().Monitor;
    AddCheckBox("CheckBox24", "Log", false, [&monitor](bool on) { monitor.Settings.LogActivity = on; });
}

void cIdleDebugPage::Build()
{
    SetVisible(Objects().Flags.IdlePage);
}

void cIdleDebugPage::Refresh()
{
    Get("CheckBox24").Checked = Objects().Monitor.Settings.LogActivity;
}

cExtenderPage::cExtenderPage(cConfiguratorModel& model)
    : cConfiguratorPage(model, "Extender", "Extender", PAGE_ORDER_EXTENDER)
{
    AddLabel("Label42", "Number of extenders in use:");
    Add(eControlKind::StaticText, "StaticText3", StatusText::NOT_YET_SEEN).Buddy = "Label42";
    AddLabel("Label55", "Number of extenders registered:");
    Add(eControlKind::StaticText, "StaticText11", StatusText::NOT_YET_SEEN).Buddy = "Label55";
    cRecordingMonitor& monitor = Objects().Monitor;
    AddCheckBox("CheckBox37", "Force Away Mode when extender is in use", false,
                [&monitor](bool on) { monitor.Settings.ForceAwayWhenExtenderInUse = on; });
}

void cExtenderPage::Build()
{
    SetVisible(Objects().Version.IsVistaOrLater());
}

void cExtenderPage::Refresh()
{
    Get("StaticText11").Caption = std::to_string(Objects().SessionCounter.GetRegisteredExtenders());
    cControl& force = Get("CheckBox37");
    const cPersistentBool& setting = Objects().Monitor.Settings.ForceAwayWhenExtenderInUse;
    force.Checked = setting;
    force.Enabled = setting.IsEnabled();
}
