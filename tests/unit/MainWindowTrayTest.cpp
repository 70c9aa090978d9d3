#include <gtest/gtest.h>

#include <memory>

#include "engine/McePowerManager.h"
#include "engine/PowerEvents.h"
#include "foundation/NotifyIcon.h"
#include "foundation/Settings.h"
#include "platform/WinConst.h"
#include "platform/sim/SimWindows.h"
#include "shell/EngineStatusBlock.h"
#include "shell/MainWindow.h"
#include "targets/MediaCenterContract.h"
#include "RecordingStatusDisplay.h"

namespace {

constexpr uint64_t SECOND = 1000;

// The main window's tray icon, tray menu and status exchange on a simulated
// Windows 7 with logging on.
class MainWindowTray : public ::testing::Test {
protected:
    void SetUp() override
    {
        Sim.Registry().SetDword(eHive::LocalMachine, SETTINGS_KEY, "LogMode", 1);
        Sim.Registry().SetString(eHive::LocalMachine, SETTINGS_KEY, "LogPath", "C:\\Logs");
    }
    void TearDown() override
    {
        if (Main)
            Main->AttachStatusDisplay(nullptr);
    }

    void Start(std::vector<std::string> switches)
    {
        switches.insert(switches.begin(), "C:\\Slumberhold.exe");
        Sim.Processes().SetArguments(switches);
        Main = std::make_unique<TfMain>(Sim.Get());
        Main->AttachStatusDisplay(&Display);
        Sim.Windowing().ProcessMessages();
    }
    void RunFor(uint64_t milliseconds) { Sim.Windowing().RunUntil(Sim.Clock().Now() + milliseconds); }
    intptr_t TrayCallback(intptr_t mouseEvent)
    {
        return Sim.Windowing().SendMessage(Main->Handle(), MSG_TRAY_CALLBACK, 0, mouseEvent);
    }
    int AddCalls()
    {
        int count = 0;
        for (const cSimShell::cCall& call : Sim.Shell().Calls())
            count += call.Message == NIM_ADD;
        return count;
    }
    std::string Log()
    {
        std::string text;
        Sim.Files().ReadWholeFile("C:\\Logs\\SLH Log.txt", text);
        return text;
    }
    bool Logged(const std::string& text) { return Log().find(text) != std::string::npos; }
    std::vector<uint8_t> Block() { return Sim.SharedMemory().Contents(ENGINE_STATUS_BLOCK_NAME); }
    static std::string TextAt(const std::vector<uint8_t>& block, size_t offset)
    {
        return std::string(reinterpret_cast<const char*>(block.data() + offset));
    }

    cSimWindows Sim;
    cRecordingDisplay Display;
    std::unique_ptr<TfMain> Main;
};

TEST_F(MainWindowTray, TheEngineGoesIntoTheTrayWithTheSleepStateBalloon)
{
    Start({"ENGINE"});
    EXPECT_TRUE(Sim.Shell().HasIcon(Main->Handle()));
    EXPECT_FALSE(Logged("MoveToTray() failed"));
    const cNotifyIconData& added = Sim.Shell().Calls().back().Data;
    ASSERT_EQ(Sim.Shell().Calls().back().Message, NIM_ADD);
    EXPECT_STREQ(added.Tip.data(), "Slumberhold");
    EXPECT_EQ(added.CallbackMessage, 0x87CDu);
    EXPECT_TRUE(added.Flags & NIF_INFO);
    EXPECT_STREQ(added.InfoTitle.data(), "Slumberhold");
    EXPECT_STREQ(added.Info.data(), "Sleep state not set, please select one from the 'Sleep state' tab.");
    EXPECT_EQ(added.InfoFlags, NIIF_ERROR);

    const WindowHandle window = Main->Handle();
    Main.reset();
    EXPECT_FALSE(Sim.Shell().HasIcon(window));
}

TEST_F(MainWindowTray, WithASleepStateThereIsNoBalloonAndWithoutEngineNoIcon)
{
    Sim.Registry().SetDword(eHive::LocalMachine, SETTINGS_KEY, "SleepState", 4);
    Start({"ENGINE"});
    EXPECT_FALSE(Sim.Shell().Calls().back().Data.Flags & NIF_INFO);
    Main.reset();

    cSimWindows configuratorSim;
    configuratorSim.Processes().SetArguments({"C:\\Slumberhold.exe"});
    TfMain configurator(configuratorSim.Get());
    EXPECT_EQ(AddCalls(), 1);
    for (const cSimShell::cCall& call : configuratorSim.Shell().Calls())
        EXPECT_NE(call.Message, NIM_ADD);
    EXPECT_TRUE(configuratorSim.SharedMemory().Contents(ENGINE_STATUS_BLOCK_NAME).empty());
}

TEST_F(MainWindowTray, TheIconLeavesTheTrayWithTheEngineAtSessionEnd)
{
    Start({"ENGINE"});
    ASSERT_TRUE(Sim.Shell().HasIcon(Main->Handle()));
    Sim.Windowing().SendMessage(Main->Handle(), WM_ENDSESSION, 1, 0);
    EXPECT_FALSE(Sim.Shell().HasIcon(Main->Handle()));
    // Later clicks find no icon: nothing starts, and ticks run on.
    TrayCallback(WM_LBUTTONDBLCLK);
    RunFor(3 * SECOND);
    EXPECT_TRUE(Sim.Processes().Launches().empty());
    Main.reset();
    EXPECT_TRUE(Logged("Slumberhold/frontend closed."));
}

TEST_F(MainWindowTray, Timer1RetriesTheTrayForTwoMinutes)
{
    struct cCase {
        int Failures;
        int Adds;
        const char* Line;
    };
    const cCase cases[] = {
        {5, 6, " - MoveToTray() retry succesfull after 4 retries\r\n"},
        {1, 2, " - MoveToTray() retry succesfull after 0 retries\r\n"},
        {-1, 123, " - MoveToTray() cancelled after 121 retries\r\n"},
    };
    for (const cCase& c : cases) {
        SCOPED_TRACE(c.Line);
        Main.reset();
        Sim.Files().DeleteFile("C:\\Logs\\SLH Log.txt");
        const int addsBefore = AddCalls();
        Sim.Shell().FailNext(NIM_ADD, c.Failures);
        Start({"ENGINE"});
        EXPECT_TRUE(Logged(" - NotifyIcon->MoveToTray() failed!\r\n"));
        RunFor(200 * SECOND);
        EXPECT_EQ(AddCalls() - addsBefore, c.Adds);
        EXPECT_TRUE(Logged(c.Line)) << Log();
        EXPECT_EQ(Sim.Shell().HasIcon(Main->Handle()), c.Failures > 0);
        Sim.Shell().FailNext(NIM_ADD, 0);
    }
}

TEST_F(MainWindowTray, ADoubleClickStartsAConfiguratorOnceAndThenBringsItToTheFront)
{
    Sim.Security().SetAdministrator(true);
    Start({"ENGINE"});
    EXPECT_EQ(TrayCallback(WM_LBUTTONDBLCLK), 0);
    ASSERT_EQ(Sim.Processes().Launches().size(), 1u);
    const cSimLaunch& launch = Sim.Processes().Launches()[0];
    EXPECT_EQ(launch.Kind, eSimLaunchKind::CreateProcess);
    EXPECT_EQ(launch.Application, Sim.Files().GetModuleFileName());
    EXPECT_NE(launch.CommandLine.find(" configurator"), std::string::npos) << launch.CommandLine;

    const WindowHandle configurator = Sim.Windowing().AddWindow("TApplication", "Slumberhold", 0x4A0);
    TrayCallback(WM_LBUTTONDBLCLK);
    EXPECT_EQ(Sim.Processes().Launches().size(), 1u);
    EXPECT_EQ(Sim.Windowing().ForegroundWindow(), configurator);
    EXPECT_FALSE(Sim.Windowing().IsWindowVisible(Main->Handle()));
}

TEST_F(MainWindowTray, WithoutAdministratorRightsTheConfiguratorIsStartedElevated)
{
    Sim.Security().SetAdministrator(false);
    Start({"ENGINE"});
    TrayCallback(WM_LBUTTONDBLCLK);
    ASSERT_EQ(Sim.Processes().Launches().size(), 1u);
    EXPECT_EQ(Sim.Processes().Launches()[0].Kind, eSimLaunchKind::RunAs);
    EXPECT_EQ(Sim.Processes().Launches()[0].Parameters, "configurator");
}

TEST_F(MainWindowTray, InTrayModeTheMenuOpensTheWindowAndExitAsksFirst)
{
    Start({"TRAY"});
    EXPECT_FALSE(Sim.Windowing().IsWindowVisible(Main->Handle()));
    Sim.Shell().SetCursorPos(1250, 790);
    EXPECT_EQ(TrayCallback(WM_RBUTTONUP), 0);
    ASSERT_EQ(Sim.Shell().Menus().size(), 1u);
    const cSimShell::cShownMenu& menu = Sim.Shell().Menus()[0];
    EXPECT_EQ(menu.X, 1250);
    ASSERT_EQ(menu.Entries.size(), 3u);
    EXPECT_EQ(menu.Entries[0].Caption, "Configure");
    EXPECT_EQ(menu.Entries[2].Caption, "Exit");
    EXPECT_EQ(Sim.Windowing().ForegroundWindow(), Main->Handle());

    Sim.Windowing().SendMessage(Main->Handle(), WM_COMMAND, menu.Entries[0].CommandId, 0);
    EXPECT_TRUE(Sim.Windowing().IsWindowVisible(Main->Handle()));
    EXPECT_TRUE(Sim.Processes().Launches().empty());

    Sim.Dialogs().QueueAnswer(IDNO);
    Sim.Windowing().SendMessage(Main->Handle(), WM_COMMAND, menu.Entries[2].CommandId, 0);
    EXPECT_FALSE(Sim.Windowing().QuitPosted());
    // Closing the window now only hides it: the exit request is gone.
    Sim.Windowing().SendMessage(Main->Handle(), WM_CLOSE, 0, 0);
    EXPECT_FALSE(Sim.Windowing().QuitPosted());
    EXPECT_FALSE(Sim.Windowing().IsWindowVisible(Main->Handle()));

    Sim.Dialogs().QueueAnswer(IDYES);
    Sim.Windowing().SendMessage(Main->Handle(), WM_COMMAND, menu.Entries[2].CommandId, 0);
    EXPECT_TRUE(Sim.Windowing().QuitPosted());
    const auto& boxes = Sim.Dialogs().Shown();
    ASSERT_EQ(boxes.size(), 2u);
    EXPECT_EQ(boxes[1].Caption, "Close Slumberhold");
}

TEST_F(MainWindowTray, TheEnginePublishesItsStatusEverySecond)
{
    Start({"ENGINE", "IDLE"});
    std::vector<uint8_t> block = Block();
    ASSERT_EQ(block.size(), ENGINE_STATUS_MAPPING_SIZE);
    EXPECT_EQ(block[0], 4);
    EXPECT_TRUE(Sim.SharedMemory().IsFileBacked(ENGINE_STATUS_BLOCK_NAME));

    RunFor(3 * SECOND);
    block = Block();
    EXPECT_EQ(TextAt(block, 12), "0:00.03");
    EXPECT_EQ(TextAt(block, 112), "Detection suspended");
    EXPECT_EQ(TextAt(block, 212), "Detection suspended");
    EXPECT_EQ(Display.MediaCenter, "Detection suspended");
    EXPECT_EQ(Display.LastInput, "0:00.03");
    EXPECT_EQ(Display.Row.substr(0, 5), "Idle ");
    EXPECT_EQ(Display.Attendance, Main->GetEngineForTesting()->IsUnattended() ? "Unattended" : "Attended");

    // After the resume delay, a recording on one channel.
    std::vector<uint8_t> addIn(MCSA_BLOCK_SIZE);
    cMcsaRecord recording;
    recording.InUse = true;
    recording.State = MCSA_STATE_RECORDING;
    WriteMcsaRecord(addIn.data(), addIn.size(), 0, recording);
    Sim.SharedMemory().WriteBlock(MCSA_BLOCK_NAME, addIn);
    RunFor(60 * SECOND);
    block = Block();
    EXPECT_EQ(TextAt(block, 212), "1 channel");
    // The add-in is there, the shell is not.
    EXPECT_EQ(TextAt(block, 112), "Not running");
    EXPECT_EQ(Display.Recording, "1 channel");
    EXPECT_EQ(Display.Row, "1 Channel");
    EXPECT_EQ(block[312], 0);
}

TEST_F(MainWindowTray, AConfiguratorShowsTheEngineAndClosesWhenItEnds)
{
    Start({});
    RunFor(3 * SECOND);
    EXPECT_EQ(Display.MediaCenter, "-");
    EXPECT_FALSE(Sim.Windowing().QuitPosted());

    std::vector<uint8_t> block(ENGINE_STATUS_MAPPING_SIZE);
    InitialiseEngineStatus(block);
    WriteEngineStatus(block, {"0:00.04", "Not running", "None", 1});
    Sim.SharedMemory().WriteBlock(ENGINE_STATUS_BLOCK_NAME, block);
    const WindowHandle engine = Sim.Windowing().AddWindow("TApplication", "Slumberhold - Engine mode", 0x700);
    RunFor(SECOND);
    EXPECT_EQ(Display.MediaCenter, "Not running");
    EXPECT_EQ(Display.Recording, "None");
    EXPECT_EQ(Display.Extenders, "1");

    Sim.Windowing().DestroyWindow(engine);
    Sim.SharedMemory().CloseBlock(ENGINE_STATUS_BLOCK_NAME);
    RunFor(SECOND);
    EXPECT_TRUE(Sim.Windowing().QuitPosted());
    EXPECT_TRUE(Logged(" - FormClose\r\n"));
}

}  // namespace
