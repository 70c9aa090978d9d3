#include "configurator/IdlePage.h"

#include "configurator/ConfiguratorModel.h"
#include "detection/RecordingMonitor.h"
#include "engine/McePowerManager.h"
#include "shell/CommandLine.h"
#include "shell/StatusTexts.h"

namespace {

// Media Center idle timeouts, in seconds.
const cControlItem MEDIA_CENTER_IDLE_TIMEOUTS[] = {
    {"1 minute (test only)", 60}, {"5 minutes", 300},  {"10 minutes", 600}, {"15 minutes", 900},
    {"20 minutes", 1200},         {"25 minutes", 1500}, {"30 minutes", 1800}, {"45 minutes", 2700},
    {"1 hour", 3600},             {"2 hours", 7200},    {"3 hours", 10800},   {"4 hours", 14400},
    {"5 hours", 18000},
};

// User activity idle timeouts, in seconds.
const cControlItem USER_IDLE_TIMEOUTS[] = {
    {"3 minutes (test only)", 180}, {"2.0 hours", 7200},   {"2.5 hours", 9000},   {"3.0 hours", 10800},
    {"4.0 hours", 14400},           {"5.0 hours", 18000},  {"7.0 hours", 25200},  {"10.0 hours", 36000},
};

// What "Default" restores.
constexpr int32_t DEFAULT_MEDIA_CENTER_IDLE_TIMEOUT = 1800;
constexpr int32_t DEFAULT_USER_IDLE_TIMEOUT = 18000;

// The check box shows the setting as the monitor reads it, and is enabled
// as the setting is.
void ShowSetting(cControl& box, const cPersistentBool& setting)
{
    box.Checked = setting;
    box.Enabled = setting.IsEnabled();
}

// Selects the item of the value; a value in no item leaves nothing selected.
void ShowValue(cControl& list, int32_t value, bool enabled)
{
    list.SelectValue(value);
    list.Enabled = enabled;
}

}  // namespace

cIdlePage::cIdlePage(cConfiguratorModel& model) : cConfiguratorPage(model, "TabSheet11", "Idle", PAGE_ORDER_IDLE)
{
    cRecordingMonitorSettings& settings = Objects().Monitor.Settings;
    AddCheckBox("CheckBox25", "Suspend when Media Center is running and idle", true,
                [&settings](bool on) { settings.MceIdleDetectionEnabled = on; });
    AddCheckBox("CheckBox40", "Paused is considered idle", true,
                [&settings](bool on) { settings.PausedIsIdle = on; });
    AddLabel("Label6", "Media Center idle timeout");
    AddComboBox("ComboBox2", true, [&settings](int32_t seconds) { settings.MceIdleTimeout = seconds; }).Buddy =
        "Label6";
    AddCheckBox("CheckBox41", "Only suspend if Media Center is the foreground application", true,
                [&settings](bool on) { settings.OnlyIfForegroundApplication = on; });
    AddCheckBox("CheckBox43", "Only suspend if Media Center is fullscreen", true,
                [&settings](bool on) { settings.OnlyIfFullscreen = on; });
    AddCheckBox("CheckBox32", "Suspend when Media Center is running and there is no user activity", true,
                [&settings](bool on) { settings.UserInputIdleDetection = on; });
    AddLabel("Label8", "User activity idle timeout");
    AddComboBox("ComboBox3", true, [&settings](int32_t seconds) { settings.UserInputIdleTimeout = seconds; }).Buddy =
        "Label8";
    AddButton("Button6", "Default", false, [this] { RestoreDefaults(); });

    // The live state, filled every second by the heartbeat.
    const std::pair<const char*, const char*> live[] = {
        {"Label68", "Media Center :"}, {"Label11", "Recording :"}, {"Label13", "Last user input :"}};
    const char* values[] = {"Label62", "Label66", "Label22"};
    for (size_t i = 0; i < std::size(live); ++i) {
        AddLabel(live[i].first, live[i].second);
        AddLabel(values[i], StatusText::NOT_YET_SEEN).Buddy = live[i].first;
    }
}

void cIdlePage::Build()
{
    const cRunFlags& flags = Objects().Flags;
    SetVisible(Objects().Engine.GetEhome().IsInstalled() || flags.DebugPages || flags.IdlePage);
    Get("ComboBox2").Items.assign(std::begin(MEDIA_CENTER_IDLE_TIMEOUTS), std::end(MEDIA_CENTER_IDLE_TIMEOUTS));
    Get("ComboBox3").Items.assign(std::begin(USER_IDLE_TIMEOUTS), std::end(USER_IDLE_TIMEOUTS));
}

void cIdlePage::Refresh()
{
    cRecordingMonitorSettings& settings = Objects().Monitor.Settings;
    // A disabled setting reads false, so "on" means enabled and true.
    const bool mediaCenterIdle = settings.MceIdleDetectionEnabled;
    const bool userIdle = settings.UserInputIdleDetection;

    ShowSetting(Get("CheckBox25"), settings.MceIdleDetectionEnabled);
    for (const auto& [name, setting] :
         {std::pair{"CheckBox40", &settings.PausedIsIdle}, {"CheckBox41", &settings.OnlyIfForegroundApplication},
          {"CheckBox43", &settings.OnlyIfFullscreen}}) {
        cControl& box = Get(name);
        box.Checked = *setting;
        box.Enabled = mediaCenterIdle;
    }
    ShowValue(Get("ComboBox2"), settings.MceIdleTimeout, mediaCenterIdle);
    Get("Label6").Enabled = mediaCenterIdle;

    ShowSetting(Get("CheckBox32"), settings.UserInputIdleDetection);
    ShowValue(Get("ComboBox3"), settings.UserInputIdleTimeout, userIdle);
    Get("Label8").Enabled = userIdle;
}

void cIdlePage::RestoreDefaults()
{
    if (!Model.ConfirmDefaults())
        return;
    cRecordingMonitorSettings& settings = Objects().Monitor.Settings;
    settings.MceIdleDetectionEnabled = true;
    settings.PausedIsIdle = false;
    settings.OnlyIfForegroundApplication = true;
    settings.OnlyIfFullscreen = true;
    settings.MceIdleTimeout = DEFAULT_MEDIA_CENTER_IDLE_TIMEOUT;
    settings.UserInputIdleDetection = false;
    settings.UserInputIdleTimeout = DEFAULT_USER_IDLE_TIMEOUT;
    settings.IgnoreSuspendBlock = true;
}
