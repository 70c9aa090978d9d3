#include <gtest/gtest.h>

#include "foundation/MessageLogger.h"
#include "foundation/PersistentVariables.h"
#include "foundation/Settings.h"
#include "osconfig/OSConfiguration.h"
#include "platform/WinConst.h"
#include "platform/sim/SimWindows.h"
#include "shell/WindowsIdlePage.h"
#include "RecordingStatusDisplay.h"

namespace {

// An OS configuration whose idle threshold is as the test says.
class cThresholdConfiguration : public cXPConfiguration {
public:
    explicit cThresholdConfiguration(cPlatform& platform) : cXPConfiguration(platform) {}
    void SetAdjustable(bool adjustable) { IdleThresholdAdjustable = adjustable; }
    bool IsIdleThresholdMin() override { return AtMin; }
    bool IsIdleThresholdMax() override { return AtMax; }
    bool AtMin = false;
    bool AtMax = false;
};

class WindowsIdlePage : public ::testing::Test {
protected:
    WindowsIdlePage()
    {
        Sim.Registry().SetDword(eHive::LocalMachine, SETTINGS_KEY, "LogMode", 1);
        Sim.Registry().SetString(eHive::LocalMachine, SETTINGS_KEY, "LogPath", "C:\\Logs");
    }

    void SetPowerInformation(uint32_t maxIdleness, uint32_t idleness, int32_t remaining)
    {
        cSystemPowerInformation information{maxIdleness, idleness, remaining, 0};
        Sim.PowerPolicy().SetRecord(POWER_INFO_SYSTEM_INFORMATION, information);
    }
    void SetExecutionState(uint32_t state) { Sim.PowerPolicy().SetRecord(POWER_INFO_EXECUTION_STATE, state); }

    std::string Log()
    {
        std::string text;
        Sim.Files().ReadWholeFile("C:\\Logs\\SLH Log.txt", text);
        return text;
    }

    cSimWindows Sim;
    cMessageLogger Logger{Sim.Get(), "SLH Log.txt"};
    cPersistentBool LogDetails{Sim.Registry(), "LogWindowsIdleDetails", HIVE_LOCAL_MACHINE, false};
    cThresholdConfiguration Configuration{Sim.Get()};
    cRecordingDisplay Display;
};

TEST_F(WindowsIdlePage, TextsColoursAndButtonsFollowWhatWindowsReports)
{
    struct cCase {
        const char* What;
        bool Adjustable;
        bool AtMin;
        bool AtMax;
        uint32_t MaxIdleness;
        uint32_t Idleness;
        int32_t Remaining;
        cWindowsIdleView Expected;
    };
    const cCase cases[] = {
        {"counting down", true, false, false, 50, 10, 125,
         {"0:00.07", "0:02.05", "10%", COLOUR_RED, "50%", true, true}},
        {"idle enough", true, false, true, 50, 50, 3725,
         {"0:00.07", "1:02.05", "50%", COLOUR_BUTTON_FACE, "50%", true, false}},
        {"at the minimum", true, true, false, 20, 90, 0,
         {"0:00.07", "0:00.00", "90%", COLOUR_BUTTON_FACE, "20%", false, true}},
        {"idle detection off", true, false, false, 50, 10, -1,
         {"0:00.07", "Disabled", "Disabled", COLOUR_BUTTON_FACE, "Disabled", false, false}},
        {"not adjustable, off", false, false, false, 50, 10, -1,
         {"0:00.07", "Disabled", "Disabled", COLOUR_BUTTON_FACE, "n.a.", false, false}},
        {"not adjustable", false, false, false, 50, 10, 30,
         {"0:00.07", "0:00.30", "10%", COLOUR_RED, "n.a.", false, false}},
    };
    for (const cCase& c : cases) {
        SCOPED_TRACE(c.What);
        Configuration.SetAdjustable(c.Adjustable);
        Configuration.AtMin = c.AtMin;
        Configuration.AtMax = c.AtMax;
        SetPowerInformation(c.MaxIdleness, c.Idleness, c.Remaining);
        cWindowsIdlePage page(Sim.Get(), Configuration, Logger, LogDetails);
        page.Refresh(Display, "0:00.07");
        const cWindowsIdleView& shown = Display.Idle;
        EXPECT_EQ(shown.User, c.Expected.User);
        EXPECT_EQ(shown.Remaining, c.Expected.Remaining);
        EXPECT_EQ(shown.Idleness, c.Expected.Idleness);
        EXPECT_EQ(shown.IdlenessColour, c.Expected.IdlenessColour);
        EXPECT_EQ(shown.MaxIdleness, c.Expected.MaxIdleness);
        EXPECT_EQ(shown.DecreaseEnabled, c.Expected.DecreaseEnabled);
        EXPECT_EQ(shown.IncreaseEnabled, c.Expected.IncreaseEnabled);
    }
    // Nothing in the log unless asked for.
    EXPECT_EQ(Log().find("User: "), std::string::npos);
}

TEST_F(WindowsIdlePage, ExecutionStateFlagsAreShownAndLoggedInOrder)
{
    SetPowerInformation(50, 10, -1);
    LogDetails.Set(true);
    cWindowsIdlePage page(Sim.Get(), Configuration, Logger, LogDetails);
    struct cCase {
        uint32_t State;
        const char* System;
        const char* Display;
        bool Explained;
        const char* LineEnd;
    };
    const cCase cases[] = {
        {0, "No", "No", false, "Idleness: Disabled\r\n"},
        {ES_DISPLAY_REQUIRED, "No", "Yes", true, "Idleness: Disabled, Display req.\r\n"},
        {ES_SYSTEM_REQUIRED | ES_DISPLAY_REQUIRED | 0x80000000, "Yes", "Yes", true,
         "Idleness: Disabled, System req., Display req.\r\n"},
    };
    for (const cCase& c : cases) {
        SCOPED_TRACE(c.State);
        SetExecutionState(c.State);
        page.Refresh(Display, "0:00.09");
        EXPECT_EQ(Display.Execution.SystemRequired, c.System);
        EXPECT_EQ(Display.Execution.SystemRequiredColour,
                  std::string(c.System) == "Yes" ? COLOUR_RED : COLOUR_BUTTON_FACE);
        EXPECT_EQ(Display.Execution.DisplayRequired, c.Display);
        EXPECT_EQ(Display.Execution.DisplayRequiredColour,
                  std::string(c.Display) == "Yes" ? COLOUR_RED : COLOUR_BUTTON_FACE);
        EXPECT_EQ(Display.Execution.Explanation,
                  c.Explained ? "This prevents the system from suspending by the Windows idle detection." : "");
        const std::string log = Log();
        const std::string line = std::string(" - User: 0:00.09, Remaining: Disabled, ") + c.LineEnd;
        EXPECT_EQ(log.substr(log.size() - line.size()), line);
    }
}

TEST_F(WindowsIdlePage, AFailedReadLeavesThePageQuiet)
{
    LogDetails.Set(true);
    Sim.PowerPolicy().SetReadStatus(POWER_INFO_SYSTEM_INFORMATION, 0xC0000002);
    const size_t boxes = Sim.Dialogs().Shown().size();
    cWindowsIdlePage page(Sim.Get(), Configuration, Logger, LogDetails);
    page.Refresh(Display, "0:00.01");
    EXPECT_EQ(Display.IdleShown, 0);
    EXPECT_EQ(Sim.Dialogs().Shown().size(), boxes);
    EXPECT_EQ(Log().find("User: "), std::string::npos);
}

}  // namespace
