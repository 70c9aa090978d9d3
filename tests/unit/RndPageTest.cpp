#include <gtest/gtest.h>

#include <cstring>

#include "ConfiguratorTestBench.h"
#include "engine/McePowerManager.h"
#include "engine/PowerManager.h"
#include "platform/PowerPolicy.h"

namespace {

constexpr uint32_t DISABLE_WAKES = 0x40000000;
constexpr uint32_t OVERRIDE_APPS = 0x00000004;

class RndPage : public cConfiguratorTestBench {
protected:
    // Both policies, with flags the page must keep.
    void SetPolicies(uint32_t acFlags, uint32_t dcFlags)
    {
        for (auto [level, flags] : {std::pair{POWER_INFO_POLICY_AC, acFlags}, {POWER_INFO_POLICY_DC, dcFlags}}) {
            cSystemPowerPolicy policy{};
            policy.Revision = 1;
            policy.PowerButton.Flags = flags;
            policy.SleepButton.Flags = flags | 0x1;
            policy.Idle.Flags = flags;
            policy.WinLogonFlags = 0;
            Sim.PowerPolicy().SetRecord(level, policy);
        }
    }

    cSystemPowerPolicy Policy(int level) { return Sim.PowerPolicy().GetRecord<cSystemPowerPolicy>(level); }

    void StartDebug(std::vector<std::string> switches = {"DEBUG"})
    {
        Start(std::move(switches));
        Boxes = BoxCount();
    }

    size_t Boxes = 0;
};

TEST_F(RndPage, ShownOnlyInDebugModeWithTheRolesOfTheProcess)
{
    const struct {
        std::vector<std::string> Switches;
        bool Visible;
        const char* Mode;
    } cases[] = {
        {{}, false, "Mode : C"},
        {{"DEBUG"}, true, "Mode : C"},
        {{"TRAY", "DEBUG"}, true, "Mode : EC"},
        {{"ENGINE", "CONFIGURATOR", "DEBUG"}, true, "Mode : C"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.Switches.size() << " switches, mode " << c.Mode);
        Main.reset();
        Start(c.Switches);
        const cConfiguratorPage* page = Model().FindPage("TabSheet5");
        ASSERT_NE(page, nullptr);
        EXPECT_EQ(page->IsVisible(), c.Visible);
        EXPECT_EQ(page->GetCaption(), "R&&D");
        EXPECT_EQ(Control("Label9").Caption, c.Mode);
        EXPECT_EQ(Control("Label23").Caption, "These settings are highly experimental, don't use them!");
    }
    // The build moment: "Dec 10 2026, 13:55:42".
    const std::string built = Control("Label12").Caption;
    ASSERT_EQ(built.size(), 21u) << built;
    EXPECT_EQ(built.substr(11, 2), ", ");
    EXPECT_EQ(built[15], ':');
}

TEST_F(RndPage, DisableTimerWakesChangesTheThreeActionsOfBothPoliciesAndReadsTheAcPolicy)
{
    SetPolicies(0, 0);
    StartDebug();
    EXPECT_FALSE(Control("CheckBox6").Checked);

    ASSERT_TRUE(Model().UserSetChecked("CheckBox6", true));
    for (int level : {POWER_INFO_POLICY_AC, POWER_INFO_POLICY_DC}) {
        SCOPED_TRACE(level);
        const cSystemPowerPolicy policy = Policy(level);
        EXPECT_EQ(policy.PowerButton.Flags, DISABLE_WAKES);
        EXPECT_EQ(policy.SleepButton.Flags, DISABLE_WAKES | 0x1);
        EXPECT_EQ(policy.Idle.Flags, DISABLE_WAKES);
    }
    EXPECT_TRUE(Control("CheckBox6").Checked);
    EXPECT_FALSE(Control("CheckBox12").Checked);

    ASSERT_TRUE(Model().UserSetChecked("CheckBox6", false));
    for (int level : {POWER_INFO_POLICY_AC, POWER_INFO_POLICY_DC}) {
        const cSystemPowerPolicy policy = Policy(level);
        EXPECT_EQ(policy.PowerButton.Flags | policy.Idle.Flags, 0u);
        EXPECT_EQ(policy.SleepButton.Flags, 0x1u);
    }
    EXPECT_FALSE(Control("CheckBox6").Checked);

    // Only the AC policy counts for the tick; a flag in one action is enough.
    SetPolicies(0, DISABLE_WAKES);
    Model().RefreshControls();
    EXPECT_FALSE(Control("CheckBox6").Checked);
    cSystemPowerPolicy ac = Policy(POWER_INFO_POLICY_AC);
    ac.Idle.Flags = DISABLE_WAKES | OVERRIDE_APPS;
    Sim.PowerPolicy().SetRecord(POWER_INFO_POLICY_AC, ac);
    Model().RefreshControls();
    EXPECT_TRUE(Control("CheckBox6").Checked);
    EXPECT_TRUE(Control("CheckBox12").Checked);
    EXPECT_EQ(BoxCount(), Boxes);
}

TEST_F(RndPage, WinlogonLockShowsTheFieldAsReadBackAndFailedWhenItDiffers)
{
    SetPolicies(0, 0);
    StartDebug();

    ASSERT_TRUE(Model().UserSetChecked("CheckBox8", true));
    EXPECT_EQ(Policy(POWER_INFO_POLICY_AC).WinLogonFlags, 1u);
    EXPECT_EQ(Policy(POWER_INFO_POLICY_AC).SleepButton.Flags, 0x1u);
    EXPECT_TRUE(Control("CheckBox8").Checked);
    EXPECT_EQ(BoxCount(), Boxes);

    // A system that refuses the write: the box falls back to the field.
    Sim.PowerPolicy().SetWriteStatus(POWER_INFO_POLICY_AC, POWER_STATUS_ACCESS_DENIED);
    const size_t before = BoxCount();
    ASSERT_TRUE(Model().UserSetChecked("CheckBox8", false));
    EXPECT_EQ(Policy(POWER_INFO_POLICY_AC).WinLogonFlags, 1u);
    EXPECT_TRUE(Control("CheckBox8").Checked);
    ASSERT_GT(BoxCount(), before);
    const cSimMessageBox& failed = Sim.Dialogs().Shown().back();
    EXPECT_EQ(failed.Text, "Failed");
    EXPECT_EQ(failed.Caption, "Error");
}

TEST_F(RndPage, WinlogonLockWritesNothingWhenThePolicyCannotBeRead)
{
    SetPolicies(0, 0);
    cSystemPowerPolicy ac = Policy(POWER_INFO_POLICY_AC);
    ac.WinLogonFlags = 1;
    ac.Idle.Action = static_cast<ePowerAction>(2);
    Sim.PowerPolicy().SetRecord(POWER_INFO_POLICY_AC, ac);
    StartDebug();
    Sim.PowerPolicy().SetReadStatus(POWER_INFO_POLICY_AC, POWER_STATUS_NOT_IMPLEMENTED);

    ASSERT_TRUE(Model().UserSetChecked("CheckBox8", false));

    // A zeroed policy written back would have wiped every action.
    const cSystemPowerPolicy after = Policy(POWER_INFO_POLICY_AC);
    EXPECT_EQ(std::memcmp(&after, &ac, sizeof ac), 0);
    ASSERT_GT(BoxCount(), Boxes);
    EXPECT_EQ(Sim.Dialogs().Shown().back().Text, "Failed");
    EXPECT_FALSE(Control("CheckBox8").Checked);
}

TEST_F(RndPage, S1ShowsTheSchemeIndexItWrote)
{
    cPowerSchemePolicy scheme{};
    Sim.PowerPolicy().SetScheme(3, scheme);
    Sim.PowerPolicy().SetActiveScheme(3);
    StartDebug();
    EXPECT_EQ(Control("Label20").Caption, "");

    ASSERT_TRUE(Model().UserPress("Button1"));
    EXPECT_EQ(Control("Label20").Caption, "3");
    cPowerSchemePolicy written{};
    ASSERT_TRUE(Sim.PowerPolicy().GetScheme(3, written));
    EXPECT_EQ(written.User.MaxSleepAc, 2);

    // S3 writes too, but shows nothing.
    ASSERT_TRUE(Model().UserPress("Button4"));
    ASSERT_TRUE(Sim.PowerPolicy().GetScheme(3, written));
    EXPECT_EQ(written.User.MaxSleepAc, 4);
    EXPECT_EQ(Control("Label20").Caption, "3");
}

TEST_F(RndPage, DenyStandbyQueryLivesInTheEngineObjectOnly)
{
    StartDebug({"TRAY", "DEBUG"});
    cMcePowerManager& engine = *Main->GetEngineForTesting();
    ASSERT_EQ(engine.OnQuerySuspend(0), 1u);

    ASSERT_TRUE(Model().UserSetChecked("CheckBox13", true));
    EXPECT_EQ(engine.OnQuerySuspend(0), BROADCAST_QUERY_DENY);
    EXPECT_TRUE(Control("CheckBox13").Checked);
    std::vector<std::string> names;
    ASSERT_EQ(Sim.Registry().EnumValueNames(eHive::LocalMachine, SETTINGS_KEY, names), 0);
    for (const std::string& name : names)
        EXPECT_EQ(name.find("Deny"), std::string::npos) << name;

    ASSERT_TRUE(Model().UserSetChecked("CheckBox13", false));
    EXPECT_EQ(engine.OnQuerySuspend(0), 1u);
}

TEST_F(RndPage, CheckBoxesWriteTheirSettingsAndShowThemBack)
{
    const struct {
        const char* Control;
        const char* Setting;
    } cases[] = {
        {"CheckBox14", "SaveWindowTitels"},       {"CheckBox9", "StoreTaskLists"},
        {"CheckBox7", "KillEhrecvrAtSuspend"},    {"CheckBox26", "RestartEhrecvrAtSuspend"},
        {"CheckBox27", "RestartEhschedAtSuspend"}, {"CheckBox28", "MediaPortal_FakeTarget"},
        {"CheckBox29", "eHome_FakeTarget"},       {"CheckBox21", "DebugRecordingMonitor"},
    };
    StartDebug();
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Control);
        ASSERT_TRUE(Model().UserSetChecked(c.Control, true));
        EXPECT_EQ(Hklm(c.Setting), 1);
        EXPECT_TRUE(Control(c.Control).Checked);
        // Changed behind the window's back: the next refresh shows it.
        SetHklm(c.Setting, 0);
        Model().RefreshControls();
        EXPECT_FALSE(Control(c.Control).Checked);
    }
}

TEST_F(RndPage, AutoTasksLabelAndBackgroundSimulationFollowTheirSettings)
{
    const struct {
        uint32_t AutoTasks;
        uint32_t IdleDetection;
        const char* Label;
    } cases[] = {{1, 1, "Auto tasks enabled"}, {0, 0, "Auto tasks disabled"}};
    StartDebug();
    for (const auto& c : cases) {
        Sim.Registry().SetDword(eHive::CurrentUser, SETTINGS_KEY, "AutoTasksEnabled", c.AutoTasks);
        SetHklm("MceIdleDetectionEnabled", c.IdleDetection);
        Model().RefreshControls();
        EXPECT_EQ(Control("Label4").Caption, c.Label);
        EXPECT_EQ(Control("CheckBox21").Enabled, c.IdleDetection == 1);
    }
}

TEST_F(RndPage, BlankDisablesItsButtonForFiveSecondsAndBlanksOnlyWhenSet)
{
    for (uint32_t blankScreen : {1u, 0u}) {
        SCOPED_TRACE(blankScreen);
        SetHklm("BlankScreen", blankScreen);
        Main.reset();
        StartDebug();
        struct cWatch : cConfiguratorView {
            void PagesChanged() override {}
            void ControlsChanged() override {}
            void ControlChanged(const cControl& control) override
            {
                if (control.Name == "Button12")
                    Seen.push_back({control.Enabled, Now()});
            }
            std::function<uint64_t()> Now;
            std::vector<std::pair<bool, uint64_t>> Seen;
        } view;
        view.Now = [this] { return Sim.Clock().Now(); };
        Model().SetView(&view);
        const std::string logBefore = Log();

        ASSERT_TRUE(Model().UserPress("Button12"));
        Model().SetView(nullptr);

        ASSERT_EQ(view.Seen.size(), 2u);
        EXPECT_FALSE(view.Seen[0].first);
        EXPECT_TRUE(view.Seen[1].first);
        EXPECT_EQ(view.Seen[1].second - view.Seen[0].second, 5000u);
        EXPECT_TRUE(Control("Button12").Enabled);
        const std::string logged = Log().substr(logBefore.size());
        EXPECT_EQ(logged.find("UnBlank(true)") != std::string::npos, blankScreen == 1) << logged;
    }
}

TEST_F(RndPage, TestBalloonsGoToTheTrayIcon)
{
    StartDebug();
    const size_t before = Sim.Shell().Calls().size();
    ASSERT_TRUE(Model().UserPress("Button24"));
    ASSERT_TRUE(Model().UserPress("Button25"));
    std::vector<std::tuple<std::string, std::string, uint32_t>> balloons;
    for (size_t i = before; i < Sim.Shell().Calls().size(); ++i)
        if (const auto& call = Sim.Shell().Calls()[i]; call.Message == NIM_MODIFY && (call.Data.Flags & NIF_INFO))
            balloons.emplace_back(call.Data.InfoTitle.data(), call.Data.Info.data(), call.Data.InfoFlags);
    const std::vector<std::tuple<std::string, std::string, uint32_t>> expected = {
        {"Slumberhold", "Hello World!", NIIF_WARNING}, {"Slumberhold 2", "Hello World! 2", NIIF_ERROR}};
    EXPECT_EQ(balloons, expected);
}

TEST_F(RndPage, ReportAndExportButtonsRunTheirOperations)
{
    cSimProgram powercfg;
    powercfg.Match = "\"powercfg.exe\" -lastwake";
    powercfg.Output = "Wake History Count - 0\r\n";
    Sim.Processes().AddProgram(powercfg);
    StartDebug();

    ASSERT_TRUE(Model().UserPress("Button26"));
    ASSERT_EQ(Sim.Viewer().Shown().size(), 1u);
    EXPECT_EQ(Sim.Viewer().Shown()[0].Text, "Wake History Count - 0\r\n");
    EXPECT_EQ(Sim.Viewer().Shown()[0].Owner, Main->Handle());

    ASSERT_TRUE(Model().UserPress("Button27"));
    ASSERT_EQ(Sim.Viewer().Shown().size(), 2u);
    EXPECT_NE(Sim.Processes().Launches().back().CommandLine.find("\"powercfg.exe\" -requests >"), std::string::npos);

    ASSERT_TRUE(Model().UserPress("Button13"));
    ASSERT_EQ(Sim.Viewer().Shown().size(), 3u);
    EXPECT_NE(Sim.Processes().Launches().back().CommandLine.find("\"powercfg.exe\" -waketimers >"),
              std::string::npos);

    const size_t launches = Sim.Processes().Launches().size();
    ASSERT_TRUE(Model().UserPress("Button15"));
    ASSERT_EQ(Sim.Processes().Launches().size(), launches + 2);
    EXPECT_NE(Sim.Processes().Launches()[launches].CommandLine.find("/e \"C:\\Logs\\SLH_HKLM.txt\""),
              std::string::npos);
}

}  // namespace
