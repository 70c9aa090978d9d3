#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "detection/RecordingMonitor.h"
#include "engine/PowerEvents.h"
#include "engine/VistaSuspendEngine.h"
#include "foundation/Settings.h"
#include "platform/WinConst.h"
#include "platform/sim/SimWindows.h"
#include "shell/MainWindow.h"

namespace {

// The main window on a simulated Windows 7 with logging on.
class MainWindow : public ::testing::Test {
protected:
    void SetUp() override
    {
        Sim.Registry().SetDword(eHive::LocalMachine, SETTINGS_KEY, "LogMode", 1);
        Sim.Registry().SetString(eHive::LocalMachine, SETTINGS_KEY, "LogPath", "C:\\Logs");
        // Queries here are answered, not replaced by a forced reboot.
        Sim.Registry().SetDword(eHive::LocalMachine, SETTINGS_KEY, "RebootMode", 0);
    }

    void Start(std::vector<std::string> switches)
    {
        switches.insert(switches.begin(), "C:\\Slumberhold.exe");
        Sim.Processes().SetArguments(switches);
        Main = std::make_unique<TfMain>(Sim.Get());
        Sim.Windowing().ProcessMessages();
    }

    intptr_t Broadcast(uintptr_t event, intptr_t lParam = 0)
    {
        return Sim.Windowing().SendMessage(Main->Handle(), WM_POWERBROADCAST, event, lParam);
    }

    std::string Log()
    {
        std::string text;
        Sim.Files().ReadWholeFile("C:\\Logs\\SLH Log.txt", text);
        return text;
    }

    bool Logged(const std::string& text) { return Log().find(text) != std::string::npos; }

    cSimWindows Sim;
    std::unique_ptr<TfMain> Main;
};

TEST_F(MainWindow, EveryBroadcastCodeReachesItsEngineSlotAndIsAnswered)
{
    Start({"ENGINE"});
    struct cCase {
        uintptr_t Event;
        intptr_t LParam;
        intptr_t Answer;
        const char* Line;
    };
    const cCase cases[] = {
        {PBT_APMQUERYSUSPEND, 1, 1, "PBT_APMQUERYSUSPEND (1)"},
        {PBT_APMOEMEVENT, 0x1A, 1, "PBT_APMOEMEVENT (0000001A)"},
        {PBT_APMQUERYSTANDBY, 0, 1, "Unknown Power Event"},
        {PBT_APMSTANDBY, 0, 1, "Unknown Power Event"},
        {PBT_APMRESUMESTANDBY, 0, 1, "Unknown Power Event"},
        {0x1234, 0, 1, "Unknown Power Event"},
    };
    for (const cCase& c : cases) {
        SCOPED_TRACE(c.Line);
        Sim.Files().DeleteFile("C:\\Logs\\SLH Log.txt");
        EXPECT_EQ(Broadcast(c.Event, c.LParam), c.Answer);
        EXPECT_TRUE(Logged(c.Line)) << Log();
    }
}

TEST_F(MainWindow, ADeniedQueryIsAnsweredWithTheDenyValue)
{
    Start({"ENGINE"});
    // The deny-query flag is the configurator's debug switch.
    cMcePowerManager* engine = Main->GetEngineForTesting();
    ASSERT_NE(engine, nullptr);
    engine->SetDenyQuery(true);
    EXPECT_EQ(Broadcast(PBT_APMQUERYSUSPEND, 1), static_cast<intptr_t>(BROADCAST_QUERY_DENY));
}

TEST_F(MainWindow, WithoutPowerEventHandlingBroadcastsAreOnlyCounted)
{
    Start({});
    EXPECT_EQ(Broadcast(PBT_APMSUSPEND), 0);
    EXPECT_EQ(Broadcast(PBT_APMQUERYSUSPEND, 1), 0);
    EXPECT_FALSE(Logged("PBT_APMSUSPEND"));
    EXPECT_FALSE(Logged("PBT_APMQUERYSUSPEND"));
}

TEST_F(MainWindow, ABroadcastDuringTheStandbyDelayIsLoggedAsNested)
{
    Start({"ENGINE"});
    Sim.Windowing().SetDeliverDuringSleep(true);
    const uint64_t now = Sim.Clock().Now();
    cPowerBroadcastSetting setting{GUID_MONITOR_POWER_ON, 4, {1}};
    Sim.Windowing().Schedule(now + 100, [&] { Broadcast(PBT_POWERSETTINGCHANGE, reinterpret_cast<intptr_t>(&setting)); });
    Sim.Windowing().Schedule(now + 200, [&] { Broadcast(PBT_APMPOWERSTATUSCHANGE); });
    Broadcast(PBT_APMSUSPEND);
    EXPECT_TRUE(Logged("Delaying suspend for 1000 milliseconds."));
    EXPECT_TRUE(Logged(" - Nested WM_POWERBROADCAST (1)\r\n"));
    EXPECT_EQ(Log().find("Nested WM_POWERBROADCAST"), Log().rfind("Nested WM_POWERBROADCAST"));
}

TEST_F(MainWindow, SessionEndRemovesTheEngineAndTheWindowRunsOn)
{
    Start({"ENGINE"});
    EXPECT_EQ(Sim.Windowing().SendMessage(Main->Handle(), WM_QUERYENDSESSION, 0, 0), 1);
    // wParam 0: the session goes on after all; the engine is gone anyway.
    Sim.Windowing().SendMessage(Main->Handle(), WM_ENDSESSION, 0, 0);
    EXPECT_TRUE(Logged(" - WM_QUERYENDSESSION\r\n"));
    EXPECT_TRUE(Logged(" - WM_ENDSESSION\r\n"));
    EXPECT_EQ(Main->GetEngineForTesting(), nullptr);
    EXPECT_EQ(Broadcast(PBT_APMSUSPEND), 0);
    EXPECT_FALSE(Logged("PBT_APMSUSPEND"));
    Sim.Windowing().RunUntil(Sim.Clock().Now() + 5000);  // heartbeats without engine
    Sim.Windowing().SendMessage(Main->Handle(), WM_CLOSE, 0, 0);
    Main.reset();
    EXPECT_TRUE(Logged("Slumberhold/frontend closed."));
}

TEST_F(MainWindow, ASessionEndDuringTheStandbyDelayWaitsForTheSuspendHandler)
{
    Start({"ENGINE"});
    Sim.Windowing().SetDeliverDuringSleep(true);
    const uint64_t now = Sim.Clock().Now();
    bool engineKeptForTheHandler = false;
    intptr_t laterAnswer = -1;
    Sim.Windowing().Schedule(now + 100, [&] {
        Sim.Windowing().SendMessage(Main->Handle(), WM_ENDSESSION, 1, 0);
        engineKeptForTheHandler = Main->GetEngineForTesting() != nullptr;
        // The session has ended for everything that comes now.
        laterAnswer = Broadcast(PBT_APMPOWERSTATUSCHANGE);
    });
    Broadcast(PBT_APMSUSPEND);

    EXPECT_TRUE(engineKeptForTheHandler);
    EXPECT_EQ(laterAnswer, 0);
    EXPECT_EQ(Main->GetEngineForTesting(), nullptr);
    const std::string log = Log();
    ASSERT_NE(log.find(" - WM_ENDSESSION\r\n"), std::string::npos);
    EXPECT_LT(log.find(" - WM_ENDSESSION\r\n"), log.find("PBT_APMSUSPEND done"));
    EXPECT_FALSE(Logged("PBT_APMPOWERSTATUSCHANGE"));
    // The monitor has let go of the engine with it.
    cRecordingMonitor* monitor = Main->GetMonitorForTesting();
    ASSERT_NE(monitor, nullptr);
    monitor->EvaluateAwakeState();
    monitor->IsRecordingMonitorEnabled();
    Sim.Windowing().RunUntil(Sim.Clock().Now() + 5000);
    Main.reset();
    EXPECT_TRUE(Logged("Slumberhold/frontend closed."));
}

TEST_F(MainWindow, MessagesBeforeTheStartUpHasBuiltEverythingGetTheDefaultAnswer)
{
    // The logger's box about its mutex pumps messages before the logger exists.
    Sim.Sync().SetCreationFails(true);
    std::vector<intptr_t> answers;
    Sim.Dialogs().WhileShown([&](const cSimMessageBox&) {
        if (Main)
            return;
        const WindowHandle window = Sim.Windowing().FindWindow("TApplication", "Slumberhold");
        ASSERT_NE(window, 0u);
        answers.push_back(Sim.Windowing().SendMessage(window, WM_QUERYENDSESSION, 0, 0));
        answers.push_back(Sim.Windowing().SendMessage(window, WM_POWERBROADCAST, PBT_APMSUSPEND, 0));
        answers.push_back(Sim.Windowing().SendMessage(window, WM_CLOSE, 0, 0));
        answers.push_back(Sim.Windowing().SendMessage(window, WM_ENDSESSION, 1, 0));
    });
    Start({"ENGINE"});

    // None reached the window's own handling; the close was ignored.
    EXPECT_EQ(answers, (std::vector<intptr_t>{0, 0, 0, 0}));
    EXPECT_FALSE(Sim.Windowing().QuitPosted());
    EXPECT_NE(Main->GetEngineForTesting(), nullptr);
    EXPECT_FALSE(Logged("WM_QUERYENDSESSION"));
    // Once built, the window answers as usual.
    EXPECT_EQ(Sim.Windowing().SendMessage(Main->Handle(), WM_QUERYENDSESSION, 0, 0), 1);
}

TEST_F(MainWindow, EngineClassFollowsTheWindowsFamily)
{
    cOsVersionRecord xp64;
    xp64.Major = 5;
    xp64.Minor = 2;
    xp64.ProductType = 1;
    Sim.System().SetVersionRecord(xp64);
    Start({"ENGINE"});
    EXPECT_EQ(dynamic_cast<cVistaSuspendEngine*>(Main->GetEngineForTesting()), nullptr);
    uint32_t delay = 0;
    ASSERT_TRUE(Sim.Registry().GetDword(eHive::LocalMachine, SETTINGS_KEY, "eHomeCloseDelay", delay));
    EXPECT_EQ(delay, 5000u);
}

}  // namespace

namespace {

TEST_F(MainWindow, MediaCenterSettingsAreAvailableOnlyWhereMediaCenterIsInstalled)
{
    struct cCase {
        const char* What;
        bool ShellPresent;
        bool FakeTarget;
        bool Available;
    };
    const cCase cases[] = {
        {"shell present", true, false, true},
        {"no shell", false, false, false},
        {"no shell, stand-in", false, true, true},
    };
    for (const cCase& c : cases) {
        SCOPED_TRACE(c.What);
        Main.reset();
        if (!c.ShellPresent)
            Sim.Files().DeleteFile("C:\\Windows\\ehome\\ehshell.exe");
        Sim.Registry().SetDword(eHive::LocalMachine, SETTINGS_KEY, "eHome_FakeTarget", c.FakeTarget);
        Sim.Registry().SetDword(eHive::LocalMachine, SETTINGS_KEY, "RecordingMonitorEnabled", 1);
        Start({"ENGINE"});
        const cRecordingMonitorSettings& settings = Main->GetMonitorForTesting()->Settings;
        EXPECT_EQ(settings.RecordingMonitorEnabled.Get(), c.Available);
        EXPECT_EQ(settings.RecordingMonitorEnabled.IsEnabled(), c.Available);
    }
}

}  // namespace

namespace {

// Found by a registry trace but without its program, MediaPortal is neither
// stopped, started nor started at logon.
TEST_F(MainWindow, MediaPortalSettingsAreAvailableOnlyWhileItsProgramExists)
{
    const char* installKey = "SOFTWARE\\Team MediaPortal\\MediaPortal";
    Sim.Registry().SetString(eHive::LocalMachine, installKey, "ApplicationDir", "C:\\MP");
    Sim.Registry().SetDword(eHive::LocalMachine, SETTINGS_KEY, "MediaPortal_StopStartMode", SM_ALWAYS_START);
    Sim.Registry().SetDword(eHive::CurrentUser, SETTINGS_KEY, "MediaPortal_StartAtBoot", 1);
    for (const bool present : {false, true}) {
        SCOPED_TRACE(present);
        Main.reset();
        if (present) {
            Sim.Files().CreateDirectory("C:\\MP");
            Sim.Files().WriteNewFile("C:\\MP\\MediaPortal.exe", "exe");
        }
        Start({"ENGINE"});
        cTargetMediaPortal& mediaPortal = Main->GetEngineForTesting()->GetMediaPortal();
        EXPECT_TRUE(mediaPortal.IsInstalled());
        EXPECT_EQ(mediaPortal.GetStartMode(), present ? SM_ALWAYS_START : SM_DO_NOTHING);
        EXPECT_EQ(mediaPortal.StartAtBoot.Get(), present);
        EXPECT_EQ(mediaPortal.MustStopAtSuspend(), present);
    }
}

}  // namespace
