#include "configurator/RndPage.h"

#include "configurator/ConfiguratorModel.h"
#include "configurator/PowercfgReports.h"
#include "configurator/SettingsExport.h"
#include "detection/RecordingMonitor.h"
#include "engine/McePowerManager.h"
#include "foundation/BuildMoment.h"
#include "foundation/NotifyIcon.h"
#include "foundation/Settings.h"
#include "foundation/WindowsVersion.h"
#include "osconfig/FpManager.h"
#include "osconfig/OSConfiguration.h"
#include "osconfig/VistaConfiguration.h"
#include "platform/PowerPolicy.h"
#include "platform/WinConst.h"
#include "shell/CommandLine.h"
#include "shell/MemoryMappedFile.h"

namespace {

namespace Text {
constexpr const char* WARNING = "These settings are highly experimental, don't use them!";
constexpr const char* MODE = "Mode : ";
constexpr const char* AUTO_TASKS_ENABLED = "Auto tasks enabled";
constexpr const char* AUTO_TASKS_DISABLED = "Auto tasks disabled";
constexpr const char* FAILED = "Failed";
constexpr const char* ERROR_CAPTION = "Error";
constexpr const char* BALLOON_TITLE = "Slumberhold";
constexpr const char* BALLOON_TEXT = "Hello World!";
constexpr const char* ERROR_BALLOON_TITLE = "Slumberhold 2";
constexpr const char* ERROR_BALLOON_TEXT = "Hello World! 2";
}  // namespace Text

// Power-action flags: wakes by timers disabled, and applications' refusals
// of a sleep overridden.
constexpr uint32_t POWER_ACTION_DISABLE_WAKES = 0x40000000;
constexpr uint32_t POWER_ACTION_OVERRIDE_APPS = 0x00000004;
constexpr uint32_t BLANK_TEST_MS = 5000;
constexpr uint32_t WINLOGON_LOCK_ON_SLEEP = 1;

}  // namespace

cRndPage::cRndPage(cConfiguratorModel& model) : cConfiguratorPage(model, RND_PAGE_NAME, "R&&D", PAGE_ORDER_RND)
{
    const cConfiguratorObjects& objects = Objects();
    cMcePowerManager& engine = objects.Engine;
    cEngineSettings& settings = engine.Settings;
    cOSConfiguration& os = objects.OSConfiguration;
    MediaPortalFake = std::make_unique<cPersistentBool>(objects.Platform.Registry, "MediaPortal_FakeTarget",
                                                        HIVE_LOCAL_MACHINE);

    AddLabel("Label23", Text::WARNING);
    AddLabel("Label9", "");
    AddLabel("Label12", "");
    AddLabel("Label4", "");

    AddAction("Button5", "Reboot", [&engine] { engine.ForceReboot(); });
    AddLongAction("Button2", "Close targets", [&engine] {
        cTargetEhome& ehome = engine.GetEhome();
        ehome.SetSuspendInitiated(true);
        engine.CloseTargets();
        ehome.SetSuspendInitiated(false);
    });
    // In memory only: a separate engine process keeps its own answer.
    AddCheckBox("CheckBox13", "Deny standby query", false, [&engine](bool on) { engine.SetDenyQuery(on); });
    AddCheckBox("CheckBox6", "Disable timer wakes (test)", false, [&engine](bool on) {
        engine.ChangePowerActionFlags(POWER_ACTION_DISABLE_WAKES, on);
    }).Hint = "Check to stop Windows from waking by timed events (recordings, guide updates).";
    AddCheckBox("CheckBox12", "Ignore standby request denies (test)", false, [&engine](bool on) {
        engine.ChangePowerActionFlags(POWER_ACTION_OVERRIDE_APPS, on);
    }).Hint = "Check to ignore applications which block entering standby.";
    cRecordingMonitor& monitor = objects.Monitor;
    AddCheckBox("CheckBox21", "Simulate AS_BACKGROUND", false,
                [&monitor](bool on) { monitor.Settings.DebugRecordingMonitor = on; });
    AddCheckBox("CheckBox14", "Save window titles", false,
                [&settings](bool on) { settings.SaveWindowTitels = on; });
    AddCheckBox("CheckBox9", "Log task lists", false, [&engine](bool on) { engine.SetStoreTaskLists(on); }).Hint =
        "Task lists can be used to identify problematic programs.";
    AddCheckBox("CheckBox7", "Kill ehrecvr.exe at suspend", false,
                [&settings](bool on) { settings.KillEhrecvrAtSuspend = on; });
    AddLongAction("Button12", "Blank", [&engine, &objects] {
        engine.Blank();
        objects.Platform.Clock.Sleep(BLANK_TEST_MS);
        engine.UnBlank(true);
    });
    AddAction("Button15", "Export settings", [&objects] {
        cSettingsExport(objects.Platform, objects.Logger, objects.Window).ExportSettings();
    });
    AddCheckBox("CheckBox26", "Restart EhRecvr at suspend", false,
                [&settings](bool on) { settings.RestartEhrecvrAtSuspend = on; });
    AddCheckBox("CheckBox27", "Restart EhSched at suspend", false,
                [&settings](bool on) { settings.RestartEhschedAtSuspend = on; });
    AddCheckBox("CheckBox28", "Fake MediaPortal", false, [this](bool on) { *MediaPortalFake = on; });
    AddCheckBox("CheckBox29", "Fake eHome", false, [&engine](bool on) { engine.GetEhome().FakeTarget = on; });
    // Shows what the policy holds after the write, not what RefreshControls
    // would read.
    AddCheckBox("CheckBox8", "WINLOGON_LOCK_ON_SLEEP", false, [this](bool on) { SetWinLogonLock(on); }).Finish =
        [] {};
    AddAction("Button1", "S1", [this, &os] {
        Get("Label20").Caption = std::to_string(os.WriteSchemeSleepState(SLEEP_STATE_S1));
    });
    AddLabel("Label20", "");
    AddAction("Button4", "S3", [&os] { os.WriteSchemeSleepState(SLEEP_STATE_S3); });
    // Kept for testers as it was: it switches nothing.
    Add(eControlKind::CheckBox, "CheckBox30", "Force reboot");
    AddAction("Button16", "Reload APS", [&os] { os.ReloadActivePowerScheme(); });
    AddLongAction("Button19", "Sleep", [&engine] { engine.RequestSuspend(true); });
    AddCheckBox("CheckBox11", "Allow Vista prevent sleep", false, [this](bool on) { AllowPreventSleep(on); })
        .Finish = [] {};
    AddAction("Button20", "Kill FPManager", [&engine] { engine.GetFpManager().KillFpManager(); });
    AddAction("Button21", "Button21", [&objects] {
        objects.StatusBlock.OpenForReading();
        objects.StatusBlock.Unmap();
    });
    AddLongAction("Button23", "Launch", [&engine] { engine.GetEhome().StartEhome62(); });
    AddAction("Button24", "Tip",
              [this] { ShowTestBalloon(Text::BALLOON_TITLE, Text::BALLOON_TEXT, NIIF_WARNING); });
    AddAction("Button25", "Error",
              [this] { ShowTestBalloon(Text::ERROR_BALLOON_TITLE, Text::ERROR_BALLOON_TEXT, NIIF_ERROR); });
}

cRndPage::~cRndPage() = default;

void cRndPage::AddAction(const char* name, const char* caption, std::function<void()> action)
{
    AddButton(name, caption, false, std::move(action)).Finish = [] {};
}

void cRndPage::AddLongAction(const char* name, const char* caption, std::function<void()> action)
{
    AddAction(name, caption, [this, name, action = std::move(action)] {
        cControl& button = Get(name);
        button.Enabled = false;
        Model.ControlUpdated(button);
        action();
        button.Enabled = true;
        Model.ControlUpdated(button);
    });
}

void cRndPage::Build()
{
    const cRunFlags& flags = Objects().Flags;
    SetVisible(flags.DebugPages);
    std::string mode = Text::MODE;
    if (flags.EngineRole)
        mode += "E";
    if (flags.ConfiguratorRole)
        mode += "C";
    Get("Label9").Caption = mode;
    Get("Label12").Caption = BUILD_MOMENT;
}

void cRndPage::Refresh()
{
    // Hidden, the page reads nothing: the policy reads show their failures
    // in boxes, which a user outside debug mode must not get.
    if (!IsVisible())
        return;
    cMcePowerManager& engine = Objects().Engine;
    cEngineSettings& settings = engine.Settings;
    Get("Label4").Caption = settings.AutoTasksEnabled ? Text::AUTO_TASKS_ENABLED : Text::AUTO_TASKS_DISABLED;
    Get("CheckBox13").Checked = engine.GetDenyQuery();
    Get("CheckBox6").Checked = engine.TestPowerActionFlags(POWER_ACTION_DISABLE_WAKES);
    Get("CheckBox12").Checked = engine.TestPowerActionFlags(POWER_ACTION_OVERRIDE_APPS);
    cRecordingMonitor& monitor = Objects().Monitor;
    cControl& background = Get("CheckBox21");
    background.Checked = monitor.Settings.DebugRecordingMonitor;
    background.Enabled = monitor.Settings.MceIdleDetectionEnabled;
    Get("CheckBox14").Checked = settings.SaveWindowTitels;
    Get("CheckBox9").Checked = engine.GetStoreTaskLists();
    Get("CheckBox7").Checked = settings.KillEhrecvrAtSuspend;
    Get("CheckBox26").Checked = settings.RestartEhrecvrAtSuspend;
    Get("CheckBox27").Checked = settings.RestartEhschedAtSuspend;
    Get("CheckBox28").Checked = *MediaPortalFake;
    Get("CheckBox29").Checked = engine.GetEhome().FakeTarget;
}

void cRndPage::SetWinLogonLock(bool on)
{
    cOSConfiguration& os = Objects().OSConfiguration;
    cSystemPowerPolicy policy;
    const uint32_t wanted = on ? WINLOGON_LOCK_ON_SLEEP : 0;
    // Writing back a policy that could not be read would replace every
    // field of the system's policy with zeros.
    bool read = os.CallPowerInformation(POWER_INFO_POLICY_AC, nullptr, 0, &policy, sizeof policy);
    if (read) {
        policy.WinLogonFlags = wanted;
        os.CallPowerInformation(POWER_INFO_POLICY_AC, &policy, sizeof policy, nullptr, 0);
        read = os.CallPowerInformation(POWER_INFO_POLICY_AC, nullptr, 0, &policy, sizeof policy);
    }
    if (!read || policy.WinLogonFlags != wanted)
        Model.ShowMessage(Text::FAILED, Text::ERROR_CAPTION, MB_OK | MB_ICONERROR);
    Get("CheckBox8").Checked = read && (policy.WinLogonFlags & WINLOGON_LOCK_ON_SLEEP) != 0;
}

void cRndPage::AllowPreventSleep(bool on)
{
    if (!Objects().Version.IsVistaOrLater())
        return;
    if (auto* vista = dynamic_cast<cVistaConfiguration*>(&Objects().OSConfiguration))
        vista->SetAllowPreventSleep(on);
}

void cRndPage::ShowTestBalloon(const char* title, const char* text, uint32_t iconType)
{
    cNotifyIcon& icon = Objects().NotifyIcon;
    icon.MoveToTray();
    icon.ShowBalloon(title, text, iconType);
}
