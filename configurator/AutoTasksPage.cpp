#include "configurator/AutoTasksPage.h"

#include "configurator/ConfiguratorModel.h"
#include "configurator/PowercfgReports.h"
#include "detection/RecordingMonitor.h"
#include "engine/McePowerManager.h"
#include "foundation/DateTimeFormat.h"
#include "osconfig/VistaConfiguration.h"
#include "shell/CommandLine.h"

namespace {

constexpr const char* RECORDING_MONITOR_HINT =
    "When the system awakes for an automated task (scheduled recording or guide update) it often does not return "
    "back to sleep after the task is finished. By enabling this function SLH will detect the task is finished and "
    "force the system to suspend.";
constexpr const char* HIBERNATION_LIMIT =
    "Due to some limitations of the S4 power state \"Suspend when a recording....\" is not available. Enable "
    "\"Assume unattended resume....\" for a workaround.";
constexpr const char* NO_AUTOMATIC_WAKES =
    "SLH has detected this system is unable to distinguish scheduled tasks from user tasks, therefore \"Suspend "
    "when a recording....\" is unavailable.";
constexpr const char* NOT_AVAILABLE = "n.a.";
// The scanner's time as stored (coordinated universal time).
constexpr const char* SCAN_TIME_PATTERN = "dd mmm yyyy hh:mm:ss";

// Windows' unattended sleep timeout, in seconds; -2 stands for the maximum.
const cControlItem UNATTENDED_SLEEP_TIMEOUTS[] = {
    {"30 seconds", 30}, {"2 minutes (OS default)", 120}, {"6 minutes (SLH default)", 360},
    {"30 minutes", 1800}, {"0 (disabled?)", 0},           {"Maximum (disabled?)", -2},
};
constexpr int32_t DEFAULT_UNATTENDED_SLEEP_TIMEOUT = 360;

// The scanner's values: 99 leaves it to the scanner's own default (on).
constexpr uint8_t BACKGROUND_SCAN_ON = 99;
constexpr uint8_t BACKGROUND_SCAN_OFF = 0;

}  // namespace

cAutoTasksPage::cAutoTasksPage(cConfiguratorModel& model)
    : cConfiguratorPage(model, "TabSheet6", "Auto tasks", PAGE_ORDER_AUTO_TASKS),
      MediaCenterConfiguration(dynamic_cast<cVistaMCEConfiguration*>(&model.GetObjects().OSConfiguration))
{
    cRecordingMonitorSettings& monitor = Objects().Monitor.Settings;
    cEngineSettings& engine = Objects().Engine.Settings;
    cOSConfiguration& os = Objects().OSConfiguration;
    AddCheckBox("CheckBox20", "Suspend when a recording or guide update is finished", true,
                [&monitor](bool on) { monitor.RecordingMonitorEnabled = on; })
        .Hint = RECORDING_MONITOR_HINT;
    AddCheckBox("CheckBox17", "Assume any resume without user activity is an automatic task", true,
                [&engine](bool on) { engine.TreatUnattendedAsAutomatic = on; });
    AddLabel("Label52", "Vista/W7 unattended sleep timeout");
    AddComboBox("ComboBox7", false, [&os](int32_t seconds) { os.SetUnattendedSleepTimeout(seconds); }).Buddy =
        "Label52";
    AddCheckBox("CheckBox42", "Ignore applications that prevent suspend", true,
                [&monitor](bool on) { monitor.IgnoreSuspendBlock = on; });
    AddCheckBox("CheckBox22", "Enable background scanner (DVB?)", false, [this](bool on) {
        if (MediaCenterConfiguration)
            MediaCenterConfiguration->SetBackgroundScanEnabled(on ? BACKGROUND_SCAN_ON : BACKGROUND_SCAN_OFF);
    });
    AddLabel("Label45", "Last background scan finished:");
    Add(eControlKind::StaticText, "StaticText13", NOT_AVAILABLE).Buddy = "Label45";
    AddLabel("Label10", "");
    AddButton("Button7", "Default", false, [this] { RestoreDefaults(); });
    AddButton("Button13", "Show wake timers", false, [this] {
        cPowercfgReports(Objects().Platform, Objects().Platform.Viewer, Objects().Window)
            .ShowPowercfgReport(REPORT_WAKE_TIMERS);
    });
}

void cAutoTasksPage::Build()
{
    const cRunFlags& flags = Objects().Flags;
    SetVisible(Objects().Engine.GetEhome().IsInstalled() || flags.DebugPages || flags.IdlePage);
    const bool hasTimeout = Objects().OSConfiguration.HasUnattendedSleepTimeout();
    cControl& timeouts = Get("ComboBox7");
    timeouts.Items.clear();
    if (hasTimeout)
        timeouts.Items.assign(std::begin(UNATTENDED_SLEEP_TIMEOUTS), std::end(UNATTENDED_SLEEP_TIMEOUTS));
    timeouts.Enabled = hasTimeout;
    Get("Label52").Enabled = hasTimeout;
}

void cAutoTasksPage::Refresh()
{
    cRecordingMonitor& monitor = Objects().Monitor;
    cEngineSettings& engine = Objects().Engine.Settings;

    cControl& recordings = Get("CheckBox20");
    recordings.Checked = monitor.IsRecordingMonitorEnabled();
    recordings.Enabled = monitor.CanEnableRecordingMonitor();
    cControl& unattended = Get("CheckBox17");
    unattended.Checked = engine.TreatUnattendedAsAutomatic;
    unattended.Enabled = engine.TreatUnattendedAsAutomatic.IsEnabled();
    cControl& ignore = Get("CheckBox42");
    ignore.Checked = monitor.Settings.IgnoreSuspendBlock;
    ignore.Enabled = monitor.Settings.IgnoreSuspendBlock.IsEnabled();

    cControl& timeouts = Get("ComboBox7");
    if (!timeouts.Items.empty())
        timeouts.SelectValue(Objects().OSConfiguration.GetUnattendedSleepTimeout());

    RefreshBackgroundScanner();
    Get("Label10").Caption = UnavailableReason();
}

void cAutoTasksPage::RefreshBackgroundScanner()
{
    const bool scanner = MediaCenterConfiguration && MediaCenterConfiguration->HasBackgroundScanner();
    cControl& box = Get("CheckBox22");
    // Not set (99) counts as on: the scanner's own default.
    box.Checked = scanner && MediaCenterConfiguration->GetBackgroundScanEnabled() != 0;
    std::string last = NOT_AVAILABLE;
    uint64_t fileTime = 0;
    cLocalTime time;
    cPlatform& platform = Objects().Platform;
    if (scanner && MediaCenterConfiguration->GetLastBackgroundScan(fileTime) &&
        platform.FileTimes.FileTimeToSystemTime(fileTime, time))
        last = FormatDateTime(SCAN_TIME_PATTERN, time, platform.Locale);
    Get("StaticText13").Caption = last;
    for (const char* name : {"CheckBox22", "Label45", "StaticText13"})
        Get(name).Enabled = scanner;
}

std::string cAutoTasksPage::UnavailableReason()
{
    cEngineSettings& engine = Objects().Engine.Settings;
    if (engine.SleepState == SLEEP_STATE_HIBERNATION)
        return engine.TreatUnattendedAsAutomatic ? "" : HIBERNATION_LIMIT;
    if (!engine.AutoTasksEnabled)
        return NO_AUTOMATIC_WAKES;
    return "";
}

void cAutoTasksPage::RestoreDefaults()
{
    if (!Model.ConfirmDefaults())
        return;
    Objects().Monitor.Settings.RecordingMonitorEnabled = true;
    Objects().Engine.Settings.TreatUnattendedAsAutomatic = false;
    Objects().Monitor.Settings.IgnoreSuspendBlock = true;
    Objects().OSConfiguration.SetUnattendedSleepTimeout(DEFAULT_UNATTENDED_SLEEP_TIMEOUT);
}
