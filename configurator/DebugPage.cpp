#include "configurator/DebugPage.h"

#include <algorithm>

#include "configurator/ConfiguratorModel.h"
#include "engine/McePowerManager.h"
#include "foundation/MessageLogger.h"
#include "osconfig/FpManager.h"
#include "osconfig/NvidiaVgaConfiguration.h"
#include "osconfig/OSConfiguration.h"

namespace {

constexpr int32_t MS_PER_SECOND = 1000;

}  // namespace

cDebugPage::cDebugPage(cConfiguratorModel& model) : cConfiguratorPage(model, "TabSheet9", "Debug", PAGE_ORDER_DEBUG)
{
    cMcePowerManager& engine = Objects().Engine;
    cMessageLogger& logger = Objects().Logger;
    AddCheckBox("CheckBox3", "Create log file", true, [&engine](bool on) { engine.SetLogMode(on); }).Hint =
        "Check to store the standby events in a logfile.";
    cControl& path = Add(eControlKind::LabeledEdit, "LabeledEdit3", "Log file location");
    path.Admin = true;
    path.OnChange = [&path, &logger] { logger.SetLogPath(path.Text); };
    cControl& picker = Add(eControlKind::FolderPicker, "Button3", "...");
    picker.Prompt = "Select log file directory";
    picker.Admin = true;
    picker.OnChange = [&picker, &logger] { logger.SetLogPath(picker.Text); };

    AddLabel("Label56", "Standby delay");
    cControl& delay = Add(eControlKind::TrackBar, "TrackBar4");
    delay.Buddy = "Label56";
    delay.ValueLabel = "Label59";
    delay.Admin = true;
    delay.OnChange = [&delay, &engine] { engine.Settings.eHomeCloseDelay = delay.Position * MS_PER_SECOND; };
    AddLabel("Label59", "");

    cFpManager& frontPanel = engine.GetFpManager();
    AddCheckBox("CheckBox15", "Kill FPManager.exe at resume", true,
                [&frontPanel](bool on) { frontPanel.FPManager_KillAtResume = on; });

    cNvidiaVgaConfiguration& nvidia = Objects().NvidiaConfiguration;
    AddLabel("Label5", "nVidia videocard standby fixes");
    AddLabel("Label27", "D3:");
    AddComboBox("ComboBox4", true, [&nvidia](int32_t value) { nvidia.SetMapOsd3(value); }).Buddy = "Label27";
    AddLabel("Label28", "D4:");
    AddComboBox("ComboBox6", true, [&nvidia](int32_t value) { nvidia.SetMapOsd4(value); }).Buddy = "Label28";

    cOSConfiguration& os = Objects().OSConfiguration;
    AddCheckBox("CheckBox33", "Enable balloon tips", false, [&os](bool on) { os.SetBalloonTips(on); });
    AddCheckBox("CheckBox34", "(Re)start eHome/MP on automatic-resume also", false,
                [&engine](bool on) { engine.RestartAtAutomaticResume = on; });
    AddCheckBox("CheckBox39", "Wake monitor/TV at resume", false,
                [&engine](bool on) { engine.Settings.WakeMonitor = on; });
}

void cDebugPage::Build()
{
    Get("ComboBox4").Items = {{"Disabled", 0}, {"MapOSD3ToNV=3", 3}, {"MapOSD3ToNV=2", 2}};
    Get("ComboBox6").Items = {{"Disabled", 0}, {"MapOSD4ToNV=3", 3}};
    Get("TrackBar4").Min = 0;
    Get("TrackBar4").Max = std::max<int32_t>(0, Objects().Engine.Settings.MaxSuspendDelay / MS_PER_SECOND);
}

void cDebugPage::Refresh()
{
    cMcePowerManager& engine = Objects().Engine;
    const std::string logPath = Objects().Logger.GetLogPath();
    Get("CheckBox3").Checked = engine.GetLogMode();
    Get("LabeledEdit3").Text = logPath;
    Get("Button3").Text = logPath;

    cControl& delay = Get("TrackBar4");
    delay.Position = std::clamp<int32_t>(engine.Settings.eHomeCloseDelay / MS_PER_SECOND, delay.Min,
                                         std::max(delay.Min, delay.Max));
    Get("Label59").Caption = std::to_string(delay.Position) + " sec.";

    cControl& kill = Get("CheckBox15");
    kill.Checked = engine.GetFpManager().FPManager_KillAtResume;
    kill.Enabled = engine.GetFpManager().FPManager_KillAtResume.IsEnabled();

    cNvidiaVgaConfiguration& nvidia = Objects().NvidiaConfiguration;
    const bool hasDriver = nvidia.HasNvidiaDriver();
    // An unknown value shows the first item, "Disabled".
    for (const auto& [name, value] : {std::pair{"ComboBox4", nvidia.GetMapOsd3()}, {"ComboBox6", nvidia.GetMapOsd4()}}) {
        cControl& list = Get(name);
        if (!list.SelectValue(value))
            list.ItemIndex = list.Items.empty() ? -1 : 0;
        list.Enabled = hasDriver;
    }
    for (const char* label : {"Label5", "Label27", "Label28"})
        Get(label).Enabled = hasDriver;

    Get("CheckBox33").Checked = Objects().OSConfiguration.IsBalloonTipsEnabled();
    cControl& restart = Get("CheckBox34");
    restart.Checked = engine.RestartAtAutomaticResume;
    restart.Enabled = engine.RestartAtAutomaticResume.IsEnabled();
    cControl& monitor = Get("CheckBox39");
    monitor.Checked = engine.Settings.WakeMonitor;
    monitor.Enabled = engine.Settings.WakeMonitor.IsEnabled();
}
