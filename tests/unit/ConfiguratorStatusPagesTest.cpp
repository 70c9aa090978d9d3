#include <gtest/gtest.h>

#include "ConfiguratorTestBench.h"
#include "platform/PowerPolicy.h"
#include "shell/EngineStatusBlock.h"
#include "shell/StatusDisplay.h"

namespace {

constexpr uint64_t SECOND = 1000;
constexpr const char* LOG_DETAILS_WARNING =
    "Enabling this option will cause excessive growth of the log file, use with caution!";

class StatusPages : public cConfiguratorTestBench {
protected:
    void RunFor(uint64_t milliseconds) { Sim.Windowing().RunUntil(Sim.Clock().Now() + milliseconds); }

    void SetIdleSensitivity(uint8_t sensitivity)
    {
        for (int level : {POWER_INFO_POLICY_AC, POWER_INFO_POLICY_DC}) {
            auto policy = Sim.PowerPolicy().GetRecord<cSystemPowerPolicy>(level);
            policy.IdleSensitivity = sensitivity;
            Sim.PowerPolicy().SetRecord(level, policy);
        }
    }
};

TEST_F(StatusPages, ThresholdButtonsFollowTheThresholdAfterEachStep)
{
    SetWindows(eWindows::XP);
    SetIdleSensitivity(1);
    Sim.PowerPolicy().SetRecord(POWER_INFO_SYSTEM_INFORMATION, cSystemPowerInformation{1, 20, 300, 0});
    Start();
    // Before the first second nothing can be pressed.
    EXPECT_FALSE(Control("Button11").Enabled);
    EXPECT_EQ(Control("StaticText5").Caption, "-");
    RunFor(SECOND);
    EXPECT_EQ(Control("StaticText5").Caption, "0:05.00");
    EXPECT_FALSE(Control("Button11").Enabled);
    EXPECT_TRUE(Control("Button17").Enabled);
    EXPECT_TRUE(Control("Label36").Enabled);

    Model().UserPress("Button17");
    EXPECT_EQ(Sim.PowerPolicy().GetRecord<cSystemPowerPolicy>(POWER_INFO_POLICY_AC).IdleSensitivity, 4);
    EXPECT_TRUE(Control("Button11").Enabled);
    Model().UserPress("Button11");
    EXPECT_FALSE(Control("Button11").Enabled);

    // "Default" writes only on Yes.
    Sim.Dialogs().QueueAnswer(IDNO);
    Model().UserPress("Button18");
    EXPECT_EQ(Sim.PowerPolicy().GetRecord<cSystemPowerPolicy>(POWER_INFO_POLICY_AC).IdleSensitivity, 1);
    Sim.Dialogs().QueueAnswer(IDYES);
    Model().UserPress("Button18");
    EXPECT_EQ(Sim.PowerPolicy().GetRecord<cSystemPowerPolicy>(POWER_INFO_POLICY_AC).IdleSensitivity, 50);
    EXPECT_TRUE(Control("Button11").Enabled);
    EXPECT_EQ(Sim.Dialogs().Shown().back().Text, "Restore the default values for this tab?");
}

TEST_F(StatusPages, LogDetailsNeedLoggingAndWarnOnceWhenSwitchedOn)
{
    SetHklm("LogMode", 0);
    SetHklm("LogWindowsIdleDetails", 1);
    Start();
    EXPECT_FALSE(Control("CheckBox38").Enabled);
    EXPECT_FALSE(Control("CheckBox38").Checked);
    EXPECT_FALSE(Control("CheckBox38").Visible);

    Main.reset();
    SetHklm("LogMode", 1);
    SetHklm("LogWindowsIdleDetails", 0);
    Start();
    EXPECT_TRUE(Control("CheckBox38").Enabled);
    size_t boxes = BoxCount();
    Model().UserSetChecked("CheckBox38", true);
    EXPECT_EQ(Hklm("LogWindowsIdleDetails"), 1);
    EXPECT_TRUE(Control("CheckBox38").Checked);
    ASSERT_EQ(BoxTexts(boxes), std::vector<std::string>{LOG_DETAILS_WARNING});
    EXPECT_EQ(Sim.Dialogs().Shown().back().Caption, "Warning");
    boxes = BoxCount();
    Model().UserSetChecked("CheckBox38", false);
    EXPECT_EQ(Hklm("LogWindowsIdleDetails"), 0);
    EXPECT_EQ(BoxCount(), boxes);
}

TEST_F(StatusPages, ExtenderPageOnlyFromVistaOn)
{
    struct cCase {
        eWindows Windows;
        bool Shown;
    };
    for (const cCase& c : {cCase{eWindows::XP, false}, cCase{eWindows::Vista, true}, cCase{eWindows::Windows7, true}}) {
        Main.reset();
        SetWindows(c.Windows);
        Start();
        EXPECT_EQ(Model().FindPage("Extender")->IsVisible(), c.Shown);
        // Before Vista the setting is switched off, and so is its box.
        EXPECT_EQ(Control("CheckBox37").Enabled, c.Shown);
    }
    EXPECT_EQ(Control("StaticText11").Caption, "0");
    EXPECT_EQ(Control("StaticText3").Caption, "-");
}

TEST_F(StatusPages, ConfiguratorShowsTheEngineBlockAndTrayModeItsOwnFigures)
{
    Start();
    std::vector<uint8_t> block(ENGINE_STATUS_MAPPING_SIZE);
    InitialiseEngineStatus(block);
    WriteEngineStatus(block, {"0:00.04", "Not running", "None", 2});
    Sim.SharedMemory().WriteBlock(ENGINE_STATUS_BLOCK_NAME, block);
    Sim.Windowing().AddWindow("TApplication", "Slumberhold - Engine mode", 0x700);
    RunFor(SECOND);
    EXPECT_EQ(Control("StaticText3").Caption, "2");
    EXPECT_NE(Control("StaticText8").Caption, "-");

    Main.reset();
    Sim.SharedMemory().CloseBlock(ENGINE_STATUS_BLOCK_NAME);
    Start({"TRAY", "IDLE"});
    RunFor(2 * SECOND);
    EXPECT_EQ(Control("StaticText3").Caption, "0");
    // No input since the start.
    EXPECT_EQ(Control("Label26").Caption, "Unattended");
    EXPECT_NE(Control("ListView2").Rows.at(0).Cells.at(1), "-");
    EXPECT_EQ(Control("ListView2").Rows.at(0).Cells.at(0), "Recording");

    Model().UserSetChecked("CheckBox24", true);
    EXPECT_EQ(Hklm("LogActivity"), 1);
}

TEST_F(StatusPages, DeviceListLoadsOnRequestAndArmsTickedDevices)
{
    Sim.Processes().AddProgram({"/devicequery wake_programmable", 0, 100, "HID Keyboard Device\r\nLAN\r\n", 0});
    Sim.Processes().AddProgram({"/devicequery wake_armed", 0, 100, "LAN\r\n", 0});
    Start();
    const cControl& list = Control("ListView1");
    ASSERT_EQ(list.Rows.size(), 1u);
    EXPECT_EQ(list.Rows[0].Cells[0], "No data yet, click Refresh button.");
    EXPECT_FALSE(list.Rows[0].HasCheckBox);
    // The placeholder row cannot be ticked.
    Model().UserCheckRow("ListView1", 0, true);
    EXPECT_FALSE(list.Rows[0].Checked);

    Model().UserPress("Button10");
    ASSERT_EQ(list.Rows.size(), 2u);
    EXPECT_EQ(list.Rows[0].Cells[0], "HID Keyboard Device");
    EXPECT_FALSE(list.Rows[0].Checked);
    EXPECT_TRUE(list.Rows[1].Checked);
    EXPECT_TRUE(Control("Button10").Enabled);

    const size_t launches = Sim.Processes().Launches().size();
    Model().UserCheckRow("ListView1", 0, true);
    bool enabled = false;
    for (size_t i = launches; i < Sim.Processes().Launches().size(); ++i)
        enabled |= Sim.Processes().Launches()[i].CommandLine.find("/deviceenablewake \"HID Keyboard Device\"") !=
                   std::string::npos;
    EXPECT_TRUE(enabled);

    // Without the rights the list only shows the devices as they are.
    Main.reset();
    Sim.Security().SetAdministrator(false);
    Start();
    Model().UserPress("Button10");
    const size_t before = Sim.Processes().Launches().size();
    Model().UserCheckRow("ListView1", 0, true);
    for (size_t i = before; i < Sim.Processes().Launches().size(); ++i)
        EXPECT_EQ(Sim.Processes().Launches()[i].CommandLine.find("/deviceenablewake"), std::string::npos);
    EXPECT_FALSE(Control("ListView1").Rows[0].Checked);
}

}  // namespace
