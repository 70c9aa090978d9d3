#include <gtest/gtest.h>

#include <algorithm>

#include "ConfiguratorTestBench.h"
#include "platform/PowerPolicy.h"

namespace {

constexpr const char* UPDATED = "Powermanagement configuration updated.";
constexpr const char* NVIDIA_ADAPTER =
    "SYSTEM\\ControlSet001\\Control\\Class\\{4D36E968-E325-11CE-BFC1-08002BE10318}\\0000";

// The settings window of a machine with S1, S3, S4 and hybrid sleep (S2 as
// the test says).
class PowerPages : public cConfiguratorTestBench {
protected:
    void SetSleepStates(bool s2)
    {
        cSystemPowerCapabilities capabilities{};
        capabilities.SystemS1 = 1;
        capabilities.SystemS2 = s2 ? 1 : 0;
        capabilities.SystemS3 = 1;
        capabilities.SystemS4 = 1;
        capabilities.HiberFilePresent = 1;
        capabilities.FastSystemS4 = 1;
        Sim.PowerPolicy().SetRecord(POWER_INFO_CAPABILITIES, capabilities);
    }

    void NvidiaDriver()
    {
        Sim.Registry().SetString(eHive::LocalMachine, NVIDIA_ADAPTER, "ProviderName", "NVIDIA");
        Sim.Registry().CreateKey(eHive::LocalMachine, std::string(NVIDIA_ADAPTER) + "\\Settings");
    }

    bool Shown(const std::string& text, size_t from = 0)
    {
        const auto texts = BoxTexts(from);
        return std::find(texts.begin(), texts.end(), text) != texts.end();
    }

    // Pages of this window that other pages may join in between.
    std::vector<std::string> OwnCaptions()
    {
        static const std::vector<std::string> OWN = {"Sleep state", "USB",   "Devices",  "Windows idle", "Idle debug",
                                                     "Debug",       "R&&D",  "Extender", "About"};
        std::vector<std::string> captions;
        for (const std::string& caption : VisibleCaptions())
            if (std::find(OWN.begin(), OWN.end(), caption) != OWN.end())
                captions.push_back(caption);
        return captions;
    }
};

TEST_F(PowerPages, SleepStateListShowsTheStoredStateOrWhatToDoAboutIt)
{
    struct cCase {
        const char* What;
        int32_t SleepState;
        int32_t ProfileVersion;
        bool S2;
        const char* Selected;
        std::vector<std::string> Items;
    };
    const cCase cases[] = {
        {"not chosen yet", 0, 2, false, "Not set, select one",
         {"Not set, select one", "S3 - Standby", "S4 - Hibernate", "S3+4 - Hybrid sleep"}},
        {"profile of an old version", 4, 1, false, "Profiles updated, reselect",
         {"Profiles updated, reselect", "S3 - Standby", "S4 - Hibernate", "S3+4 - Hybrid sleep"}},
        {"current profile", 4, 2, false, "S3 - Standby", {"S3 - Standby", "S4 - Hibernate", "S3+4 - Hybrid sleep"}},
        {"S2 offered", 3, 2, true, "S2 - Standby",
         {"S2 - Standby", "S3 - Standby", "S4 - Hibernate", "S3+4 - Hybrid sleep"}},
        {"S2 not supported", 3, 2, false, "Invalid, reselect",
         {"S3 - Standby", "S4 - Hibernate", "S3+4 - Hybrid sleep", "Invalid, reselect"}},
        {"unknown value", 77, 2, false, "Invalid, reselect",
         {"S3 - Standby", "S4 - Hibernate", "S3+4 - Hybrid sleep", "Invalid, reselect"}},
    };
    for (const cCase& c : cases) {
        SCOPED_TRACE(c.What);
        Main.reset();
        SetSleepStates(c.S2);
        SetHklm("SleepState", static_cast<uint32_t>(c.SleepState));
        SetHklm("StandbyProfileVersion", static_cast<uint32_t>(c.ProfileVersion));
        Start();
        EXPECT_EQ(Selected("ComboBox1"), c.Selected);
        EXPECT_EQ(ItemTexts("ComboBox1"), c.Items);
    }
    // S1 is there, but not offered beside S3.
    EXPECT_EQ(Control("StaticText12").Caption, "(S1) S3 S4 S3+4 ");
}

TEST_F(PowerPages, ChoosingASleepStateAppliesOnlyRealStatesAndAlwaysReportsTheUpdate)
{
    struct cCase {
        const char* What;
        int32_t SleepState;
        int32_t ProfileVersion;
        bool S2;
        const char* Choice;
        int64_t StoredState;
        int64_t StoredVersion;
    };
    const cCase cases[] = {
        {"the not-set item", 0, 2, false, "Not set, select one", 0, 2},
        {"S3 again after a profile update", 4, 1, false, "S3 - Standby", 4, 2},
        {"S2", 3, 1, true, "S2 - Standby", 3, 1},
        {"hibernation", 4, 2, false, "S4 - Hibernate", 5, 2},
    };
    for (const cCase& c : cases) {
        SCOPED_TRACE(c.What);
        Main.reset();
        SetSleepStates(c.S2);
        SetHklm("SleepState", static_cast<uint32_t>(c.SleepState));
        SetHklm("StandbyProfileVersion", static_cast<uint32_t>(c.ProfileVersion));
        Start();
        const size_t boxes = BoxCount();
        ASSERT_TRUE(Model().UserSelectText("ComboBox1", c.Choice));
        EXPECT_EQ(Hklm("SleepState"), c.StoredState);
        EXPECT_EQ(Hklm("StandbyProfileVersion"), c.StoredVersion);
        ASSERT_GT(BoxCount(), boxes);
        EXPECT_EQ(BoxTexts(boxes).back(), UPDATED);
        EXPECT_EQ(Sim.Dialogs().Shown().back().Caption, "New sleep state");
        EXPECT_TRUE(Control("ComboBox1").Enabled);
    }
    // The refresh shows what is stored now.
    EXPECT_EQ(Selected("ComboBox1"), "S4 - Hibernate");
}

TEST_F(PowerPages, WithoutAdministratorRightsAChangeIsRefusedAndTheOldValueShows)
{
    Sim.Security().SetAdministrator(false);
    SetHklm("eHomeCloseDelay", 2000);
    Start();
    EXPECT_EQ(Control("TrackBar4").Max, 3);
    const int32_t before = Control("TrackBar4").Position;
    ASSERT_EQ(before, 2);
    const size_t boxes = BoxCount();
    Model().UserSetPosition("TrackBar4", 3);
    EXPECT_EQ(Hklm("eHomeCloseDelay"), 2000);
    EXPECT_EQ(Control("TrackBar4").Position, before);
    EXPECT_EQ(Control("Label59").Caption, "2 sec.");
    ASSERT_EQ(BoxCount(), boxes + 1);
    EXPECT_NE(BoxTexts(boxes)[0].find("administrator"), std::string::npos) << BoxTexts(boxes)[0];

    // A setting without the mark is written all the same.
    Model().UserSetChecked("CheckBox39", true);
    EXPECT_EQ(Hklm("WakeMonitor"), 1);
    EXPECT_TRUE(Control("CheckBox39").Checked);
}

TEST_F(PowerPages, DebugPageWritesItsSettingsAndShowsWhatIsStored)
{
    SetHklm("LogMode", 0);
    Start();
    Model().UserSetChecked("CheckBox3", true);
    EXPECT_EQ(Hklm("LogMode"), 1);
    EXPECT_NE(Log().find("Logging enabled."), std::string::npos);
    EXPECT_TRUE(Control("CheckBox3").Checked);

    Model().UserSetPosition("TrackBar4", 0);
    EXPECT_EQ(Hklm("eHomeCloseDelay"), 0);
    EXPECT_EQ(Control("Label59").Caption, "0 sec.");
    // Beyond the slider's end (3 s on Windows 7) the end counts.
    Model().UserSetPosition("TrackBar4", 9);
    EXPECT_EQ(Hklm("eHomeCloseDelay"), 3000);
    EXPECT_EQ(Control("Label59").Caption, "3 sec.");

    Model().UserSetText("LabeledEdit3", "D:\\Night logs");
    EXPECT_EQ(Control("LabeledEdit3").Text, "D:\\Night logs");
    Model().UserSetText("Button3", "E:\\Logs");
    EXPECT_EQ(Control("LabeledEdit3").Text, "E:\\Logs");
    EXPECT_EQ(Control("Button3").Text, "E:\\Logs");

    Model().UserSetChecked("CheckBox3", false);
    EXPECT_EQ(Hklm("LogMode"), 0);
    EXPECT_FALSE(Control("CheckBox3").Checked);
}

TEST_F(PowerPages, NvidiaListsFollowTheDriverAndShowDisabledForUnknownValues)
{
    Start();
    EXPECT_FALSE(Control("ComboBox4").Enabled);
    EXPECT_FALSE(Control("Label27").Enabled);

    Main.reset();
    NvidiaDriver();
    Sim.Registry().SetDword(eHive::LocalMachine, std::string(NVIDIA_ADAPTER) + "\\Settings", "MapOSD3ToNV", 7);
    Start();
    EXPECT_TRUE(Control("ComboBox4").Enabled);
    EXPECT_EQ(Selected("ComboBox4"), "Disabled");
    EXPECT_EQ(Selected("ComboBox6"), "Disabled");
    ASSERT_TRUE(Model().UserSelectText("ComboBox6", "MapOSD4ToNV=3"));
    uint32_t stored = 0;
    Sim.Registry().GetDword(eHive::LocalMachine, std::string(NVIDIA_ADAPTER) + "\\Settings", "MapOSD4ToNV", stored);
    EXPECT_EQ(stored, 3u);
    EXPECT_EQ(Selected("ComboBox6"), "MapOSD4ToNV=3");
}

TEST_F(PowerPages, ClosingAfterADriverChangeGivesTheRebootNoticeUnlessSwitchedOff)
{
    struct cCase {
        std::vector<std::string> Switches;
        bool Notice;
        bool Ends;
    };
    // First: the quit of a window that ends stays posted in the simulator.
    const cCase cases[] = {
        // In tray mode closing hides the window, with the notice all the same.
        {{"TRAY"}, true, false},
        {{}, true, true},
        {{"NOREBOOT"}, false, true},
    };
    for (const cCase& c : cases) {
        SCOPED_TRACE(c.Switches.empty() ? "no switch" : c.Switches[0]);
        Main.reset();
        NvidiaDriver();
        Start(c.Switches);
        ASSERT_TRUE(Model().UserSelectText("ComboBox4", "MapOSD3ToNV=2"));
        const size_t boxes = BoxCount();
        Main->Close();
        const bool shown = Shown("To activate the new settings it is required to reboot the system.", boxes);
        EXPECT_EQ(shown, c.Notice);
        if (shown)
            EXPECT_EQ(Sim.Dialogs().Shown().back().Caption, "New settings");
        EXPECT_EQ(Sim.Windowing().QuitPosted(), c.Ends);
        Sim.Registry().DeleteValue(eHive::LocalMachine, std::string(NVIDIA_ADAPTER) + "\\Settings", "MapOSD3ToNV");
    }
}

TEST_F(PowerPages, TheRebootNoticeWaitsForAChange)
{
    NvidiaDriver();
    Start();
    const size_t boxes = BoxCount();
    Main->Close();
    EXPECT_FALSE(Shown("To activate the new settings it is required to reboot the system.", boxes));
}

TEST_F(PowerPages, PageSetFollowsTheWindowsFamilyAndTheModes)
{
    struct cCase {
        const char* What;
        eWindows Windows;
        std::vector<std::string> Switches;
        std::vector<std::string> Captions;
        const char* UsbPage;
    };
    const cCase cases[] = {
        {"Windows 7", eWindows::Windows7, {},
         {"Sleep state", "USB", "Devices", "Windows idle", "Debug", "Extender", "About"}, "TabSheet13"},
        {"Windows XP", eWindows::XP, {}, {"Sleep state", "USB", "Devices", "Windows idle", "Debug", "About"},
         "TabSheet2"},
        {"idle-debug mode", eWindows::Vista, {"IDLE"},
         {"Sleep state", "USB", "Devices", "Windows idle", "Idle debug", "Debug", "Extender", "About"},
         "TabSheet13"},
    };
    for (const cCase& c : cases) {
        SCOPED_TRACE(c.What);
        Main.reset();
        SetWindows(c.Windows);
        Start(c.Switches);
        EXPECT_EQ(OwnCaptions(), c.Captions);
        EXPECT_TRUE(Model().FindPage(c.UsbPage)->IsVisible());
    }
    // A double click on the hidden panel shows the idle-debug page at once.
    Main.reset();
    Start();
    ASSERT_TRUE(Model().UserDoubleClick("Panel2"));
    EXPECT_TRUE(Model().FindPage("TabSheet1")->IsVisible());
}

TEST_F(PowerPages, XpUsbFixesAndTheExperimentalSetting)
{
    SetWindows(eWindows::XP);
    SetHklm("SleepState", 4);
    Start();
    EXPECT_TRUE(Control("CheckBox1").Enabled);
    EXPECT_TRUE(Control("CheckBox23").Enabled);
    size_t boxes = BoxCount();
    Model().UserSetChecked("CheckBox23", true);
    EXPECT_TRUE(Control("CheckBox23").Checked);
    ASSERT_EQ(BoxCount(), boxes + 1);
    EXPECT_EQ(Sim.Dialogs().Shown().back().Caption, "Experimental setting");
    EXPECT_EQ(BoxTexts(boxes)[0],
              "There is very little documentation on this setting.\n"
              "There is absolutely no info on it's functioning on Windows XP.\n\n"
              "Please report any effect to support@slumberhold.invalid.");
    // Unticking says nothing.
    boxes = BoxCount();
    Model().UserSetChecked("CheckBox23", false);
    EXPECT_FALSE(Control("CheckBox23").Checked);
    EXPECT_EQ(BoxCount(), boxes);

    Model().UserSetChecked("CheckBox1", true);
    EXPECT_TRUE(Control("CheckBox1").Checked);

    // Resuming from hibernation needs no USB resume fix.
    Main.reset();
    SetHklm("SleepState", 5);
    Start();
    EXPECT_FALSE(Control("CheckBox1").Enabled);
}

TEST_F(PowerPages, VistaUsbDefaultsAreRestoredOnlyOnYes)
{
    Start();
    Model().UserSetChecked("CheckBox16", true);
    ASSERT_TRUE(Control("CheckBox16").Checked);

    Sim.Dialogs().QueueAnswer(IDNO);
    size_t boxes = BoxCount();
    Model().UserPress("Button22");
    ASSERT_EQ(BoxTexts(boxes), std::vector<std::string>{"Restore the default values for this tab?"});
    EXPECT_TRUE(Control("CheckBox16").Checked);

    Sim.Dialogs().QueueAnswer(IDYES);
    Model().UserPress("Button22");
    EXPECT_FALSE(Control("CheckBox16").Checked);
}

TEST_F(PowerPages, AboutShowsVersionAndConfiguration)
{
    Start();
    EXPECT_EQ(Control("StaticText1").Caption, "Slumberhold");
    EXPECT_EQ(Control("StaticText2").Caption.rfind("Version ", 0), 0u);
    EXPECT_EQ(Control("Label61").Caption, "Windows 7");
}

}  // namespace

namespace {

TEST_F(PowerPages, AwayModeListFollowsWhatTheSystemOffers)
{
    struct cCase {
        const char* What;
        eWindows Windows;
        bool MissingFunction;
        std::vector<std::string> Items;
        bool Enabled;
    };
    const cCase cases[] = {
        {"Windows 7", eWindows::Windows7, false, {"Never", "Always", "On application request"}, true},
        // As under Wine: the power library lacks the power-setting functions.
        {"no power-setting functions", eWindows::Windows7, true, {"Not supported"}, false},
        {"XP without the away-mode service", eWindows::XP, false, {"Not supported"}, false},
    };
    for (const cCase& c : cases) {
        SCOPED_TRACE(c.What);
        Main.reset();
        SetWindows(c.Windows);
        Sim.PowerPolicy().SetMissingFunction("PowerReadACValueIndex", c.MissingFunction);
        const size_t boxes = BoxCount();
        Start();
        EXPECT_EQ(ItemTexts("ComboBox5"), c.Items);
        EXPECT_EQ(Control("ComboBox5").Enabled, c.Enabled);
        EXPECT_EQ(Control("ComboBox5").ItemIndex, 0);
        // Refreshing asks nothing that fails: only the start-up's own box.
        Model().UserSetChecked("CheckBox39", true);
        EXPECT_LE(BoxCount() - boxes, c.MissingFunction ? 1u : 0u);
    }
}

TEST_F(PowerPages, ChoosingAnAwayModeSetsIt)
{
    Start();
    ASSERT_TRUE(Model().UserSelectText("ComboBox5", "Always"));
    EXPECT_EQ(Selected("ComboBox5"), "Always");
    ASSERT_TRUE(Model().UserSelectText("ComboBox5", "Never"));
    EXPECT_EQ(Selected("ComboBox5"), "Never");
}

}  // namespace

namespace {

// A refused write is not reported by the window: it shows what is stored.
TEST_F(PowerPages, ARefusedWriteShowsTheStoredValue)
{
    Start();
    const size_t boxes = BoxCount();
    Sim.Registry().SetWriteProtected(eHive::LocalMachine, true);
    for (const char* name : {"CheckBox39", "CheckBox34"}) {
        SCOPED_TRACE(name);
        const bool before = Control(name).Checked;
        Model().UserSetChecked(name, !before);
        EXPECT_EQ(Control(name).Checked, before);
    }
    Model().UserSetPosition("TrackBar4", 0);
    EXPECT_EQ(Control("TrackBar4").Position, 1);
    EXPECT_EQ(BoxCount(), boxes);
}

}  // namespace
