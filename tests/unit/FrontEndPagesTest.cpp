#include <gtest/gtest.h>

#include "ConfiguratorTestBench.h"
#include "platform/Files.h"
#include "platform/sim/SimServices.h"

namespace {

constexpr const char* MEDIAPORTAL_KEY = "SOFTWARE\\Team MediaPortal\\MediaPortal";
constexpr const char* WINLOGON_KEY = "SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\Winlogon";

// The eHome, MediaPortal and Reboot pages on a simulated Windows 7 with
// Media Center's shell and MediaPortal in D:\MP installed.
class FrontEndPages : public cConfiguratorTestBench {
protected:
    void SetUp() override
    {
        cConfiguratorTestBench::SetUp();
        Sim.Files().SetSpecialFolder(FOLDER_PROGRAM_FILES, "C:\\Program Files");
        Sim.Registry().SetString(eHive::LocalMachine, MEDIAPORTAL_KEY, "ApplicationDir", "D:\\MP");
        Sim.Files().CreateDirectory("D:\\MP");
        Sim.Files().WriteNewFile("D:\\MP\\MediaPortal.exe", "");
    }

    void Restart(std::vector<std::string> switches = {})
    {
        Main.reset();
        Start(std::move(switches));
    }
};

TEST_F(FrontEndPages, EachStartModeItemStoresItsMode)
{
    Start();
    struct cCase {
        const char* Group;
        const char* Setting;
        const char* Item;
        int64_t Mode;
    };
    const cCase cases[] = {
        {"RadioGroup1", "eHome_StopStartMode", "Stop on suspend, always start on resume", 1},
        {"RadioGroup1", "eHome_StopStartMode", "Do not stop or restart, just navigate to the start page", 3},
        {"RadioGroup1", "eHome_StopStartMode", "Do not stop or restart eHome", 4},
        {"RadioGroup1", "eHome_StopStartMode", "Stop on suspend, restart on resume only if stopped", 0},
        {"RadioGroup4", "MediaPortal_StopStartMode", "Stop on suspend, never start on resume", 2},
        // MediaPortal's last item is "do nothing", not "navigate".
        {"RadioGroup4", "MediaPortal_StopStartMode", "Do not stop or restart MediaPortal", 4},
        {"RadioGroup4", "MediaPortal_StopStartMode", "Stop on suspend, always start on resume", 1},
    };
    for (const cCase& c : cases) {
        SCOPED_TRACE(c.Item);
        ASSERT_TRUE(Model().UserSelectText(c.Group, c.Item));
        EXPECT_EQ(Hklm(c.Setting), c.Mode);
        EXPECT_EQ(Selected(c.Group), c.Item);
    }
}

TEST_F(FrontEndPages, MediaPortalShowsAStoredModeByItsMeaning)
{
    struct cCase {
        uint32_t Mode;
        const char* Shown;
    };
    const cCase cases[] = {
        {0, "Stop on suspend, restart on resume only if stopped"},
        {3, "Do not stop or restart MediaPortal"},
        {4, "Do not stop or restart MediaPortal"},
        {7, ""},
    };
    for (const cCase& c : cases) {
        SCOPED_TRACE(c.Mode);
        SetHklm("MediaPortal_StopStartMode", c.Mode);
        Restart();
        EXPECT_EQ(Selected("RadioGroup4"), c.Shown);
        EXPECT_EQ(Hklm("MediaPortal_StopStartMode"), c.Mode);
    }
}

TEST_F(FrontEndPages, OnlyOneFrontEndStartsAtBoot)
{
    Start();
    ASSERT_TRUE(Model().UserSetChecked("CheckBox10", true));
    EXPECT_EQ(Hkcu("MediaPortal_StartAtBoot"), 1);
    ASSERT_TRUE(Model().UserSetChecked("CheckBox4", true));
    EXPECT_EQ(Hkcu("eHome_StartAtBoot"), 1);
    EXPECT_EQ(Hkcu("MediaPortal_StartAtBoot"), 0);
    EXPECT_FALSE(Control("CheckBox10").Checked);
    ASSERT_TRUE(Model().UserSetChecked("CheckBox10", true));
    EXPECT_EQ(Hkcu("MediaPortal_StartAtBoot"), 1);
    EXPECT_EQ(Hkcu("eHome_StartAtBoot"), 0);
    EXPECT_FALSE(Control("CheckBox4").Checked);
    // Switching one off leaves the other alone.
    ASSERT_TRUE(Model().UserSetChecked("CheckBox10", false));
    EXPECT_EQ(Hkcu("MediaPortal_StartAtBoot"), 0);
    EXPECT_EQ(Hkcu("eHome_StartAtBoot"), 0);
}

TEST_F(FrontEndPages, TheStartPageAndDelayNeedAStartOfMediaCenter)
{
    struct cCase {
        uint32_t Mode;
        bool StartAtBoot;
        bool Enabled;
    };
    const cCase cases[] = {{4, false, false}, {4, true, true}, {3, false, true}, {0, false, true}};
    for (const cCase& c : cases) {
        SCOPED_TRACE(testing::Message() << "mode " << c.Mode << " at boot " << c.StartAtBoot);
        SetHklm("eHome_StopStartMode", c.Mode);
        Sim.Registry().SetDword(eHive::CurrentUser, SETTINGS_KEY, "eHome_StartAtBoot", c.StartAtBoot);
        Restart();
        for (const char* name : {"ComboBox9", "Label46", "TrackBar5", "Label58", "Label60"})
            EXPECT_EQ(Control(name).Enabled, c.Enabled) << name;
    }
    // The user's own change shows at once.
    ASSERT_TRUE(Model().UserSelectText("RadioGroup1", "Do not stop or restart eHome"));
    ASSERT_TRUE(Model().UserSetChecked("CheckBox4", false));
    EXPECT_FALSE(Control("ComboBox9").Enabled);
    EXPECT_FALSE(Control("TrackBar5").Enabled);
    ASSERT_TRUE(Model().UserSetChecked("CheckBox4", true));
    EXPECT_TRUE(Control("ComboBox9").Enabled);
    EXPECT_TRUE(Control("TrackBar5").Enabled);
}

TEST_F(FrontEndPages, TheStartPageListCarriesThePageCodes)
{
    Start();
    ASSERT_FALSE(Control("ComboBox9").Items.empty());
    EXPECT_EQ(Selected("ComboBox9"), "default");
    ASSERT_TRUE(Model().UserSelectText("ComboBox9", "recorded tv"));
    EXPECT_EQ(Hklm("eHome_StartPage"), 4);
    ASSERT_TRUE(Model().UserSelectText("ComboBox9", "radio"));
    EXPECT_EQ(Hklm("eHome_StartPage"), 9);
    EXPECT_EQ(Selected("ComboBox9"), "radio");
}

TEST_F(FrontEndPages, TheDelaySlidersStoreMillisecondsAndSnapBackWithoutRights)
{
    SetHklm("eHome_StartDelay", 5000);
    SetHklm("MediaPortal_StartDelay", 0);
    Start();
    EXPECT_EQ(Control("TrackBar5").Position, 5);
    EXPECT_EQ(Control("Label60").Caption, "5 sec.");
    ASSERT_TRUE(Model().UserSetPosition("TrackBar5", 12));
    EXPECT_EQ(Hklm("eHome_StartDelay"), 12000);
    EXPECT_EQ(Control("Label60").Caption, "12 sec.");
    ASSERT_TRUE(Model().UserSetPosition("TrackBar1", 30));
    EXPECT_EQ(Hklm("MediaPortal_StartDelay"), 30000);
    EXPECT_EQ(Control("Label48").Caption, "30 sec.");
    EXPECT_EQ(BoxCount(), 0u);

    Sim.Security().SetAdministrator(false);
    Restart();
    ASSERT_TRUE(Model().UserSetPosition("TrackBar5", 20));
    ASSERT_EQ(BoxCount(), 1u);
    EXPECT_EQ(LastBox().Caption, "No administrator rights");
    EXPECT_EQ(Control("TrackBar5").Position, 12);
    EXPECT_EQ(Control("Label60").Caption, "12 sec.");
    EXPECT_EQ(Hklm("eHome_StartDelay"), 12000);
}

TEST_F(FrontEndPages, EachFrontEndPageShowsWithItsFrontEndOrInDebugMode)
{
    Start();
    EXPECT_TRUE(Model().FindPage("Standby")->IsVisible());
    EXPECT_TRUE(Model().FindPage("TabSheetMediaPortal")->IsVisible());

    Sim.Files().DeleteFile("C:\\Windows\\ehome\\ehshell.exe");
    Sim.Registry().DeleteKey(eHive::LocalMachine, MEDIAPORTAL_KEY);
    Sim.Files().DeleteFile("D:\\MP\\MediaPortal.exe");
    Restart();
    EXPECT_FALSE(Model().FindPage("Standby")->IsVisible());
    EXPECT_FALSE(Model().FindPage("TabSheetMediaPortal")->IsVisible());
    Restart({"DEBUG"});
    EXPECT_TRUE(Model().FindPage("Standby")->IsVisible());
    EXPECT_TRUE(Model().FindPage("TabSheetMediaPortal")->IsVisible());
    // Without Media Center its settings read as off and stay so.
    EXPECT_FALSE(Control("RadioGroup1").Enabled);
    EXPECT_FALSE(Control("CheckBox4").Enabled);
}

// MediaPortal's traces are there but its program is not: the page offers
// to locate the folder, and the located program may then be started.
TEST_F(FrontEndPages, AMediaPortalFolderLocatedByHandMakesItsSettingsAvailable)
{
    Sim.Files().DeleteFile("D:\\MP\\MediaPortal.exe");
    Start();
    ASSERT_TRUE(Model().FindPage("TabSheetMediaPortal")->IsVisible());
    EXPECT_TRUE(Control("Label30").Visible);
    ASSERT_TRUE(Control("Button9").Visible);
    EXPECT_EQ(Control("Button9").Prompt, "Locate the MediaPortal program folder");
    EXPECT_EQ(Control("Button9").Text, "C:\\Program Files");
    EXPECT_FALSE(Control("RadioGroup4").Enabled);
    EXPECT_FALSE(Control("CheckBox10").Enabled);

    Sim.Files().CreateDirectory("E:\\Media");
    Sim.Files().CreateDirectory("E:\\Media\\MediaPortal");
    Sim.Files().WriteNewFile("E:\\Media\\MediaPortal\\MediaPortal.exe", "");
    ASSERT_TRUE(Model().UserSetText("Button9", "E:\\Media\\MediaPortal"));
    std::string folder;
    ASSERT_TRUE(Sim.Registry().GetString(eHive::LocalMachine, MEDIAPORTAL_KEY, "ApplicationDir", folder));
    EXPECT_EQ(folder, "E:\\Media\\MediaPortal");
    EXPECT_FALSE(Control("Label30").Visible);
    EXPECT_FALSE(Control("Button9").Visible);
    EXPECT_TRUE(Control("RadioGroup4").Enabled);
    EXPECT_TRUE(Control("CheckBox10").Enabled);
}

TEST_F(FrontEndPages, ForcedRebootsShowTheirModeAndTheLastReboot)
{
    Start();
    EXPECT_EQ(Selected("RadioGroup2"), "Do not force reboots");
    EXPECT_EQ(Control("Label19").Caption, "none");
    ASSERT_TRUE(Model().UserSelectText("RadioGroup2", "Reboot once every week"));
    EXPECT_EQ(Hklm("RebootMode"), 2);
    EXPECT_EQ(Selected("RadioGroup2"), "Reboot once every week");
    // The first reboot of the new mode comes with the next period.
    std::string week;
    EXPECT_TRUE(Sim.Registry().GetString(eHive::CurrentUser, SETTINGS_KEY, "RebootWeek", week));

    Sim.Registry().SetString(eHive::CurrentUser, SETTINGS_KEY, "RebootLast", "09 Dec 2026 03:00:12");
    Restart();
    EXPECT_EQ(Control("Label19").Caption, "09 Dec 2026 03:00:12");
    EXPECT_TRUE(Control("RadioGroup2").Enabled);
}

// From Vista on a forced reboot needs the end of automatic wakes detected.
TEST_F(FrontEndPages, WithoutTheRecordingMonitorForcedRebootsAreUnavailable)
{
    SetHklm("RecordingMonitorEnabled", 0);
    SetHklm("RebootMode", 1);
    Start();
    for (const char* name : {"RadioGroup2", "Label18", "Label19"})
        EXPECT_FALSE(Control(name).Enabled) << name;
    EXPECT_EQ(Selected("RadioGroup2"), "Do not force reboots");
    ASSERT_TRUE(Model().UserSetChecked("CheckBox20", true));
    EXPECT_TRUE(Control("RadioGroup2").Enabled);
    EXPECT_EQ(Selected("RadioGroup2"), "Reboot once every day");
}

TEST_F(FrontEndPages, OnTheXpFamilyTheAutologonValuesAreEditedHere)
{
    SetWindows(eWindows::XP);
    Sim.Registry().SetString(eHive::LocalMachine, WINLOGON_KEY, "DefaultUserName", "htpc");
    Start();
    for (const char* name : {"GroupBox3", "Label15", "CheckBox2", "LabeledEdit1", "LabeledEdit2"})
        EXPECT_TRUE(Control(name).Visible) << name;
    for (const char* name : {"GroupBox1", "Label53", "StaticText14", "Label54", "Button8"})
        EXPECT_FALSE(Control(name).Visible) << name;
    EXPECT_EQ(Control("LabeledEdit1").Text, "htpc");
    EXPECT_FALSE(Control("CheckBox2").Checked);

    ASSERT_TRUE(Model().UserSetChecked("CheckBox2", true));
    ASSERT_TRUE(Model().UserSetText("LabeledEdit1", "living room"));
    ASSERT_TRUE(Model().UserSetText("LabeledEdit2", "secret"));
    std::string text;
    EXPECT_TRUE(Sim.Registry().GetString(eHive::LocalMachine, WINLOGON_KEY, "AutoAdminLogon", text));
    EXPECT_EQ(text, "1");
    EXPECT_TRUE(Sim.Registry().GetString(eHive::LocalMachine, WINLOGON_KEY, "DefaultUserName", text));
    EXPECT_EQ(text, "living room");
    EXPECT_TRUE(Control("CheckBox2").Checked);
    EXPECT_EQ(Control("LabeledEdit2").Text, "secret");
    EXPECT_EQ(BoxCount(), 0u);

    // A user who may not write the machine's values.
    Sim.Registry().SetWriteProtected(eHive::LocalMachine, true);
    ASSERT_TRUE(Model().UserSetText("LabeledEdit1", "guest"));
    ASSERT_EQ(BoxCount(), 1u);
    EXPECT_EQ(LastBox().Text, "Unable to set Autologon, you need administrator rights.");
    EXPECT_EQ(LastBox().Caption, "Error");
    EXPECT_EQ(Control("LabeledEdit1").Text, "living room");
}

TEST_F(FrontEndPages, OnLaterWindowsTheAutologonUserIsShownAndWindowsToolSetsItUp)
{
    Sim.Registry().SetString(eHive::LocalMachine, WINLOGON_KEY, "DefaultUserName", "htpc");
    Start();
    EXPECT_TRUE(Control("GroupBox1").Visible);
    EXPECT_FALSE(Control("GroupBox3").Visible);
    EXPECT_EQ(Control("StaticText14").Caption, "-");
    Sim.Registry().SetString(eHive::LocalMachine, WINLOGON_KEY, "AutoAdminLogon", "1");
    Restart();
    EXPECT_EQ(Control("StaticText14").Caption, "htpc");

    ASSERT_TRUE(Model().UserPress("Button8"));
    EXPECT_EQ(BoxCount(), 0u);
    EXPECT_TRUE(Control("Button8").Enabled);
    Sim.Security().SetJoinStatus(3);
    ASSERT_TRUE(Model().UserPress("Button8"));
    ASSERT_EQ(BoxCount(), 1u);
    EXPECT_EQ(LastBox().Text, "Unable to configure autologon, this system is probably part of a domain.");
    EXPECT_EQ(LastBox().Caption, "Error");
    EXPECT_TRUE(Control("Button8").Enabled);
}

}  // namespace
