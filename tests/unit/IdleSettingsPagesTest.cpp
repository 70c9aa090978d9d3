#include <gtest/gtest.h>

#include <map>

#include "ConfiguratorTestBench.h"
#include "platform/sim/SimServices.h"
#include "targets/MediaCenterContract.h"

namespace {

// The Idle and Auto tasks pages on a simulated Windows 7 with Media Center's
// shell installed, so both pages are shown.
class IdleSettingsPages : public cConfiguratorTestBench {
protected:
    static constexpr const char* MEDIA_CENTER_SHELL = "C:\\Windows\\ehome\\ehshell.exe";

    void SetMediaCenterInstalled(bool installed)
    {
        if (installed)
            Sim.Files().WriteNewFile(MEDIA_CENTER_SHELL, "");
        else
            Sim.Files().DeleteFile(MEDIA_CENTER_SHELL);
    }

    // Every value of the settings key in both hives, to show that nothing
    // was written.
    std::map<std::string, std::string> Snapshot()
    {
        std::map<std::string, std::string> values;
        for (eHive hive : {eHive::LocalMachine, eHive::CurrentUser}) {
            std::vector<std::string> names;
            Sim.Registry().EnumValueNames(hive, SETTINGS_KEY, names);
            for (const std::string& name : names) {
                cRegistryValue value;
                Sim.Registry().ReadValue(hive, SETTINGS_KEY, name, value);
                values[name] = std::string(value.Data.begin(), value.Data.end());
            }
        }
        return values;
    }
};

TEST_F(IdleSettingsPages, ChoosingATimeoutWritesItsSecondsAndShowsIt)
{
    Start();
    struct cCase {
        const char* List;
        const char* Item;
        const char* Setting;
        int64_t Seconds;
    };
    const cCase cases[] = {
        {"ComboBox2", "5 minutes", "MceIdleTimeout", 300},
        {"ComboBox2", "1 minute (test only)", "MceIdleTimeout", 60},
        {"ComboBox2", "5 hours", "MceIdleTimeout", 18000},
        {"ComboBox3", "3 minutes (test only)", "UserInputIdleTimeout", 180},
        {"ComboBox3", "2.5 hours", "UserInputIdleTimeout", 9000},
        {"ComboBox3", "10.0 hours", "UserInputIdleTimeout", 36000},
    };
    // The user timeout's list is enabled only with its rule.
    ASSERT_TRUE(Model().UserSetChecked("CheckBox32", true));
    for (const cCase& c : cases) {
        SCOPED_TRACE(c.Item);
        ASSERT_TRUE(Model().UserSelectText(c.List, c.Item));
        EXPECT_EQ(Hklm(c.Setting), c.Seconds);
        EXPECT_EQ(Selected(c.List), c.Item);
    }
    EXPECT_EQ(BoxCount(), 0u);
}

TEST_F(IdleSettingsPages, ATimeoutInNeitherListLeavesItsListUnselected)
{
    SetHklm("MceIdleTimeout", 1234);
    SetHklm("UserInputIdleTimeout", 60);  // only in the other list
    Start();
    EXPECT_EQ(Control("ComboBox2").ItemIndex, -1);
    EXPECT_EQ(Control("ComboBox3").ItemIndex, -1);
    // Showing it wrote nothing back.
    EXPECT_EQ(Hklm("MceIdleTimeout"), 1234);
    EXPECT_EQ(Hklm("UserInputIdleTimeout"), 60);
}

TEST_F(IdleSettingsPages, EachRuleEnablesItsOwnControls)
{
    struct cCase {
        bool MediaCenterIdle;
        bool UserIdle;
    };
    for (const cCase c : {cCase{true, false}, cCase{false, true}, cCase{false, false}, cCase{true, true}}) {
        SCOPED_TRACE(testing::Message() << "idle " << c.MediaCenterIdle << " no input " << c.UserIdle);
        SetHklm("MceIdleDetectionEnabled", c.MediaCenterIdle);
        SetHklm("UserInputIdleDetection", c.UserIdle);
        Main.reset();
        Start();
        EXPECT_EQ(Control("CheckBox25").Checked, c.MediaCenterIdle);
        for (const char* name : {"CheckBox40", "ComboBox2", "Label6", "CheckBox41", "CheckBox43"})
            EXPECT_EQ(Control(name).Enabled, c.MediaCenterIdle) << name;
        EXPECT_EQ(Control("CheckBox32").Checked, c.UserIdle);
        for (const char* name : {"ComboBox3", "Label8"})
            EXPECT_EQ(Control(name).Enabled, c.UserIdle) << name;
    }
}

TEST_F(IdleSettingsPages, UnticksReachTheSettingAndTheDependentControls)
{
    Start();
    ASSERT_TRUE(Control("CheckBox25").Checked);
    ASSERT_TRUE(Model().UserSetChecked("CheckBox25", false));
    EXPECT_EQ(Hklm("MceIdleDetectionEnabled"), 0);
    EXPECT_FALSE(Control("ComboBox2").Enabled);
    // The dependent settings are kept as they are.
    EXPECT_TRUE(Control("CheckBox41").Checked);
    ASSERT_TRUE(Model().UserSetChecked("CheckBox25", true));
    ASSERT_TRUE(Model().UserSetChecked("CheckBox40", true));
    EXPECT_EQ(Hklm("PausedIsIdle"), 1);
    EXPECT_TRUE(Control("CheckBox40").Checked);
}

// Without Media Center the rules are off, whatever the registry holds, and
// the page shows them so in idle-debug mode.
TEST_F(IdleSettingsPages, WithoutMediaCenterTheRulesReadOffAndCannotBeChanged)
{
    SetMediaCenterInstalled(false);
    SetHklm("MceIdleDetectionEnabled", 1);
    SetHklm("UserInputIdleDetection", 1);
    Start({"IDLE"});
    for (const char* name : {"CheckBox25", "CheckBox32", "ComboBox2", "ComboBox3", "CheckBox41"})
        EXPECT_FALSE(Control(name).Enabled) << name;
    EXPECT_FALSE(Control("CheckBox25").Checked);
    EXPECT_FALSE(Control("CheckBox32").Checked);
}

TEST_F(IdleSettingsPages, WithoutAdministratorRightsATickSnapsBackAfterTheMessage)
{
    Sim.Security().SetAdministrator(false);
    Start();
    ASSERT_TRUE(Model().UserSetChecked("CheckBox43", false));
    EXPECT_TRUE(Control("CheckBox43").Checked);
    EXPECT_EQ(Hklm("OnlyIfFullscreen"), 1);
    ASSERT_EQ(BoxCount(), 1u);
    EXPECT_EQ(LastBox().Caption, "No administrator rights");
    ASSERT_TRUE(Model().UserSelectText("ComboBox2", "5 minutes"));
    EXPECT_EQ(Selected("ComboBox2"), "30 minutes");
    EXPECT_EQ(Hklm("MceIdleTimeout"), 1800);
}

TEST_F(IdleSettingsPages, DefaultAnsweredYesRestoresTheIdleRules)
{
    const std::pair<const char*, uint32_t> changed[] = {
        {"MceIdleDetectionEnabled", 0}, {"PausedIsIdle", 1},           {"OnlyIfForegroundApplication", 0},
        {"OnlyIfFullscreen", 0},        {"MceIdleTimeout", 60},        {"UserInputIdleDetection", 1},
        {"UserInputIdleTimeout", 180},  {"IgnoreSuspendBlock", 0},
    };
    for (const auto& [name, value] : changed)
        SetHklm(name, value);
    Start();
    Sim.Dialogs().QueueAnswer(IDYES);
    ASSERT_TRUE(Model().UserPress("Button6"));
    ASSERT_EQ(BoxCount(), 1u);
    EXPECT_EQ(LastBox().Text, "Restore the default values for this tab?");
    EXPECT_EQ(LastBox().Caption, "Slumberhold");
    EXPECT_EQ(LastBox().Style, MB_YESNO | MB_ICONQUESTION);
    const std::pair<const char*, int64_t> defaults[] = {
        {"MceIdleDetectionEnabled", 1}, {"PausedIsIdle", 0},           {"OnlyIfForegroundApplication", 1},
        {"OnlyIfFullscreen", 1},        {"MceIdleTimeout", 1800},      {"UserInputIdleDetection", 0},
        {"UserInputIdleTimeout", 18000}, {"IgnoreSuspendBlock", 1},
    };
    for (const auto& [name, value] : defaults)
        EXPECT_EQ(Hklm(name), value) << name;
    EXPECT_EQ(Selected("ComboBox2"), "30 minutes");
    EXPECT_EQ(Selected("ComboBox3"), "5.0 hours");
    EXPECT_FALSE(Control("ComboBox3").Enabled);
}

TEST_F(IdleSettingsPages, DefaultAnsweredNoWritesNothing)
{
    SetHklm("MceIdleTimeout", 60);
    SetHklm("TreatUnattendedAsAutomatic", 1);
    Start();
    for (const char* button : {"Button6", "Button7"}) {
        SCOPED_TRACE(button);
        const auto before = Snapshot();
        Sim.Dialogs().QueueAnswer(IDNO);
        ASSERT_TRUE(Model().UserPress(button));
        EXPECT_EQ(Snapshot(), before);
    }
    EXPECT_EQ(BoxCount(), 2u);
    EXPECT_EQ(Selected("ComboBox2"), "1 minute (test only)");
    EXPECT_TRUE(Control("CheckBox17").Checked);
}

TEST_F(IdleSettingsPages, Label10TellsWhyTheAutomaticTaskSuspendIsUnavailable)
{
    const std::string hibernation =
        "Due to some limitations of the S4 power state \"Suspend when a recording....\" is not available. Enable "
        "\"Assume unattended resume....\" for a workaround.";
    const std::string noAutomaticWakes =
        "SLH has detected this system is unable to distinguish scheduled tasks from user tasks, therefore "
        "\"Suspend when a recording....\" is unavailable.";
    struct cCase {
        uint32_t SleepState;
        bool TreatUnattended;
        bool AutoTasks;
        std::string Text;
        bool RecordingMonitorEnabled;
    };
    const cCase cases[] = {
        {5, false, true, hibernation, false},
        {5, false, false, hibernation, false},
        {5, true, false, "", true},
        {4, false, false, noAutomaticWakes, true},
        {4, true, false, noAutomaticWakes, true},
        {4, false, true, "", true},
    };
    for (const cCase& c : cases) {
        SCOPED_TRACE(testing::Message() << c.SleepState << " " << c.TreatUnattended << " " << c.AutoTasks);
        SetHklm("SleepState", c.SleepState);
        SetHklm("RecordingMonitorEnabled", 1);
        SetHklm("TreatUnattendedAsAutomatic", c.TreatUnattended);
        Sim.Registry().SetDword(eHive::CurrentUser, SETTINGS_KEY, "AutoTasksEnabled", c.AutoTasks);
        Main.reset();
        Start();
        EXPECT_EQ(Control("Label10").Caption, c.Text);
        EXPECT_EQ(Control("CheckBox20").Enabled, c.RecordingMonitorEnabled);
        EXPECT_EQ(Control("CheckBox20").Checked, c.RecordingMonitorEnabled);
    }
}

// Ticking the workaround makes the automatic-task suspend available at once.
TEST_F(IdleSettingsPages, TheHibernationWorkaroundEnablesTheRecordingMonitor)
{
    SetHklm("SleepState", 5);
    SetHklm("TreatUnattendedAsAutomatic", 0);
    Start();
    ASSERT_FALSE(Control("CheckBox20").Enabled);
    ASSERT_TRUE(Model().UserSetChecked("CheckBox17", true));
    EXPECT_EQ(Hklm("TreatUnattendedAsAutomatic"), 1);
    EXPECT_TRUE(Control("CheckBox20").Enabled);
    EXPECT_TRUE(Control("CheckBox20").Checked);
    EXPECT_EQ(Control("Label10").Caption, "");
}

TEST_F(IdleSettingsPages, TheUnattendedSleepTimeoutIsOfferedFromVistaOn)
{
    Start();
    ASSERT_TRUE(Control("ComboBox7").Enabled);
    ASSERT_TRUE(Model().UserSelectText("ComboBox7", "Maximum (disabled?)"));
    EXPECT_EQ(Selected("ComboBox7"), "Maximum (disabled?)");
    ASSERT_TRUE(Model().UserSelectText("ComboBox7", "30 seconds"));
    EXPECT_EQ(Selected("ComboBox7"), "30 seconds");
    Sim.Dialogs().QueueAnswer(IDYES);
    ASSERT_TRUE(Model().UserPress("Button7"));
    EXPECT_EQ(Selected("ComboBox7"), "6 minutes (SLH default)");

    Main.reset();
    SetWindows(eWindows::XP);
    Start();
    EXPECT_FALSE(Control("ComboBox7").Enabled);
    EXPECT_FALSE(Control("Label52").Enabled);
    EXPECT_TRUE(Control("ComboBox7").Items.empty());
}

TEST_F(IdleSettingsPages, DefaultAnsweredYesRestoresTheAutomaticWakeRules)
{
    SetHklm("RecordingMonitorEnabled", 0);
    SetHklm("TreatUnattendedAsAutomatic", 1);
    SetHklm("IgnoreSuspendBlock", 0);
    Start();
    Sim.Dialogs().QueueAnswer(IDYES);
    ASSERT_TRUE(Model().UserPress("Button7"));
    EXPECT_EQ(LastBox().Text, "Restore the default values for this tab?");
    EXPECT_EQ(Hklm("RecordingMonitorEnabled"), 1);
    EXPECT_EQ(Hklm("TreatUnattendedAsAutomatic"), 0);
    EXPECT_EQ(Hklm("IgnoreSuspendBlock"), 1);
    EXPECT_TRUE(Control("CheckBox20").Checked);
    EXPECT_FALSE(Control("CheckBox17").Checked);
    EXPECT_TRUE(Control("CheckBox42").Checked);
}

class BackgroundScanner : public IdleSettingsPages {
protected:
    void SetUp() override
    {
        IdleSettingsPages::SetUp();
        Sim.System().SetSystemMetric(SYSTEM_METRIC_MEDIACENTER, 1);
    }
    void SetScanner(const char* name, uint32_t value)
    {
        Sim.Registry().SetDword(eHive::LocalMachine, MC_BACKGROUND_SCANNER_KEY, name, value);
    }
    bool ScanValue(uint32_t& value)
    {
        return Sim.Registry().GetDword(eHive::LocalMachine, MC_BACKGROUND_SCANNER_KEY, MC_PERIODIC_SCAN_ENABLED_VALUE,
                                       value);
    }
};

TEST_F(BackgroundScanner, TheScannerIsSwitchedOffAndBackToItsOwnDefault)
{
    // 09 Dec 2026 01:45:14, as the scanner stores it (coordinated universal time).
    SetScanner(MC_LAST_SCAN_LOW_VALUE, 0xEF377100);
    SetScanner(MC_LAST_SCAN_HIGH_VALUE, 0x01DD877E);
    Start();
    EXPECT_TRUE(Control("CheckBox22").Enabled);
    // Not set counts as on.
    EXPECT_TRUE(Control("CheckBox22").Checked);
    EXPECT_EQ(Control("StaticText13").Caption, "09 Dec 2026 01:45:14");

    ASSERT_TRUE(Model().UserSetChecked("CheckBox22", false));
    uint32_t value = 0xDEAD;
    ASSERT_TRUE(ScanValue(value));
    EXPECT_EQ(value, 0u);
    EXPECT_FALSE(Control("CheckBox22").Checked);
    ASSERT_TRUE(Model().UserSetChecked("CheckBox22", true));
    EXPECT_FALSE(ScanValue(value));
    EXPECT_TRUE(Control("CheckBox22").Checked);
}

TEST_F(BackgroundScanner, WithoutTheScannerOrMediaCenterTheControlsAreOff)
{
    struct cCase {
        const char* What;
        bool MediaCenter;
        bool ScannerKey;
    };
    const cCase cases[] = {{"no scanner", true, false}, {"no Media Center edition", false, true}};
    for (const cCase& c : cases) {
        SCOPED_TRACE(c.What);
        Sim.System().SetSystemMetric(SYSTEM_METRIC_MEDIACENTER, c.MediaCenter ? 1 : 0);
        if (c.ScannerKey)
            SetScanner(MC_PERIODIC_SCAN_ENABLED_VALUE, 1);
        Main.reset();
        Start();
        for (const char* name : {"CheckBox22", "Label45", "StaticText13"})
            EXPECT_FALSE(Control(name).Enabled) << name;
        EXPECT_FALSE(Control("CheckBox22").Checked);
        EXPECT_EQ(Control("StaticText13").Caption, "n.a.");
    }
}

TEST_F(IdleSettingsPages, BothPagesShowWithMediaCenterOrInTheirDebugModes)
{
    struct cCase {
        bool MediaCenter;
        std::vector<std::string> Switches;
        bool Shown;
    };
    const cCase cases[] = {
        {true, {}, true}, {false, {}, false}, {false, {"IDLE"}, true}, {false, {"DEBUG"}, true}};
    for (const cCase& c : cases) {
        SCOPED_TRACE(testing::Message() << c.MediaCenter << " " << c.Switches.size());
        SetMediaCenterInstalled(c.MediaCenter);
        Main.reset();
        Start(c.Switches);
        EXPECT_EQ(Model().FindPage("TabSheet11")->IsVisible(), c.Shown);
        EXPECT_EQ(Model().FindPage("TabSheet6")->IsVisible(), c.Shown);
    }
}

}  // namespace
