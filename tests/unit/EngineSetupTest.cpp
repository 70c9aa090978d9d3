// The engine's construction and its settings operations.
#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "EngineTestBench.h"

namespace {

const char* Name(eOs os)
{
    return os == eOs::XP ? "XP" : os == eOs::Vista ? "Vista" : "Windows 7";
}

constexpr int64_t MISSING = -2;

class EngineSetup : public ::testing::Test, protected cEngineTestBench {
protected:
    void SetDword(eHive hive, const char* name, int64_t value)
    {
        if (value != MISSING)
            Sim.Registry().SetDword(hive, SETTINGS_KEY, name, static_cast<uint32_t>(value));
    }
    int64_t Dword(eHive hive, const char* name)
    {
        uint32_t value = 0;
        return Sim.Registry().GetDword(hive, SETTINGS_KEY, name, value) ? static_cast<int32_t>(value) : MISSING;
    }
    std::string String(const char* name)
    {
        std::string text = "<missing>";
        Sim.Registry().GetString(eHive::LocalMachine, SETTINGS_KEY, name, text);
        return text;
    }
};

TEST_F(EngineSetup, StandbyDelaysGetTheDefaultsOfTheWindowsVersion)
{
    struct cCase {
        eOs Os;
        int64_t CloseBefore, MaxBefore;
        int64_t Close, Max;
    };
    const cCase cases[] = {
        {eOs::Vista, MISSING, MISSING, 1000, 3000},
        {eOs::Windows7, MISSING, MISSING, 1000, 3000},
        {eOs::XP, MISSING, MISSING, 5000, 20000},
        {eOs::Vista, 5000, 8000, 1000, 8000},  // the XP default left over from an upgrade
        {eOs::XP, 5000, MISSING, 5000, 20000},
        {eOs::Vista, 2500, MISSING, 2500, 3000},
        {eOs::Windows7, 0, 0, 0, 0},
        {eOs::XP, -1, -7, 5000, 20000},
    };
    for (const cCase& c : cases) {
        SCOPED_TRACE(std::string(Name(c.Os)) + " close " + std::to_string(c.CloseBefore) + " max " +
                     std::to_string(c.MaxBefore));
        Engine.reset();
        Sim.Registry().DeleteValue(eHive::LocalMachine, SETTINGS_KEY, "eHomeCloseDelay");
        Sim.Registry().DeleteValue(eHive::LocalMachine, SETTINGS_KEY, "MaxSuspendDelay");
        SetDword(eHive::LocalMachine, "eHomeCloseDelay", c.CloseBefore);
        SetDword(eHive::LocalMachine, "MaxSuspendDelay", c.MaxBefore);
        Start(c.Os);
        EXPECT_EQ(Dword(eHive::LocalMachine, "eHomeCloseDelay"), c.Close);
        EXPECT_EQ(Dword(eHive::LocalMachine, "MaxSuspendDelay"), c.Max);
    }
}

TEST_F(EngineSetup, MissingSettingsAreWrittenWithTheirDefaultsInTheirHive)
{
    SetDword(eHive::LocalMachine, "ReversedResumeDelay", 400);
    Start(eOs::Windows7);
    struct cCase {
        eHive Hive;
        const char* Name;
        int64_t Value;
    };
    const cCase cases[] = {
        {eHive::CurrentUser, "AutoTasksEnabled", 0},
        {eHive::CurrentUser, "SuccesiveNonAutoTasks", 0},
        {eHive::LocalMachine, "AutoTasksEnabled", MISSING},
        {eHive::LocalMachine, "RestartAtAutomaticResume", 0},
        {eHive::LocalMachine, "StandbyProfileVersion", 0},
        {eHive::LocalMachine, "BlankScreen", 1},
        {eHive::LocalMachine, "RebootMode", 1},
        {eHive::LocalMachine, "ReversedResumeDelay", 400},  // present: kept
        {eHive::LocalMachine, "UnblankDelay", 3000},
        {eHive::LocalMachine, "RunOnUserSuspendFlags", 7},
        {eHive::LocalMachine, "RunOnUserSuspendEarlyFlags", 3},
        {eHive::LocalMachine, "RunOnAutoSuspendEarlyFlags", 3},
        {eHive::LocalMachine, "RunOnDisplayOnFlags", 3},
        {eHive::LocalMachine, "RunOnDisplayOffFlags", 3},
        {eHive::LocalMachine, "RunOnRebootFlags", 7},
        {eHive::LocalMachine, "SaveWindowTitels", 0},
    };
    for (const cCase& c : cases)
        EXPECT_EQ(Dword(c.Hive, c.Name), c.Value) << c.Name;
    EXPECT_EQ(String("RunOnUserInterfaceResume"), "");
    EXPECT_EQ(String("RunOnDisplayOff"), "");
}

TEST_F(EngineSetup, LegacyProgramsMoveToBothDirectionsAndDisappear)
{
    Sim.Registry().SetString(eHive::LocalMachine, SETTINGS_KEY, "RunAtSuspend", "C:\\Tools\\before sleep.cmd");
    // Not a string: nothing to move, but it goes all the same.
    SetDword(eHive::LocalMachine, "RunAtResume", 1);
    Sim.Registry().SetString(eHive::LocalMachine, SETTINGS_KEY, "RunOnUserResume", "keep.cmd");
    Start(eOs::Windows7);

    EXPECT_EQ(String("RunOnUserSuspend"), "C:\\Tools\\before sleep.cmd");
    EXPECT_EQ(String("RunOnAutoSuspend"), "C:\\Tools\\before sleep.cmd");
    EXPECT_EQ(String("RunAtSuspend"), "<missing>");
    EXPECT_EQ(String("RunOnUserResume"), "keep.cmd");
    EXPECT_EQ(String("RunOnAutoResume"), "");
    EXPECT_EQ(Dword(eHive::LocalMachine, "RunAtResume"), MISSING);
}

TEST_F(EngineSetup, ProcessPriorityFollowsRunAtHighPriority)
{
    for (const auto& [high, priority] : {std::pair{0, PRIORITY_CLASS_NORMAL}, {1, PRIORITY_CLASS_ABOVE_NORMAL}}) {
        cSimWindows fresh;
        fresh.Registry().SetDword(eHive::LocalMachine, SETTINGS_KEY, "RunAtHighPriority", high);
        cMessageLogger logger(fresh.Get(), "SLH Log.txt");
        cWindowsVersion version(fresh.Get());
        auto osConfiguration = CreateOSConfiguration(fresh.Get(), version);
        cSystemInformation systemInformation(fresh.Get());
        cCPU cpu(fresh.Registry());
        cVistaSuspendEngine engine(fresh.Get(), version, systemInformation, cpu, *osConfiguration, false, 0, logger);
        EXPECT_EQ(fresh.Power().PriorityChanges(), std::vector<uint32_t>{priority}) << high;
    }
}

TEST_F(EngineSetup, ChoosingTheSleepStateRestartsTheLearningOfAutomaticWakes)
{
    struct cCase {
        int32_t State;
        bool AutoTasksBefore;
        int64_t AutoTasksAfter;
    };
    const cCase cases[] = {{5, true, 0}, {5, false, 0}, {4, false, 1}, {101, true, 1}};
    Start(eOs::Windows7);
    for (const cCase& c : cases) {
        SCOPED_TRACE(c.State);
        SetDword(eHive::CurrentUser, "AutoTasksEnabled", c.AutoTasksBefore);
        SetDword(eHive::CurrentUser, "SuccesiveNonAutoTasks", 7);
        Engine->SetSleepState(c.State);
        EXPECT_EQ(Dword(eHive::CurrentUser, "AutoTasksEnabled"), c.AutoTasksAfter);
        EXPECT_EQ(Dword(eHive::CurrentUser, "SuccesiveNonAutoTasks"), 0);
        EXPECT_EQ(Dword(eHive::LocalMachine, "SleepState"), c.State);
    }
}

TEST_F(EngineSetup, BadDelaySettingsNeverBlockTheMainThread)
{
    // Wrong registry types read as the defaults; negative delays never sleep.
    Sim.Registry().SetString(eHive::LocalMachine, SETTINGS_KEY, "SleepState", "four");
    SetDword(eHive::LocalMachine, "ReversedResumeDelay", static_cast<uint32_t>(-5000));
    SetDword(eHive::LocalMachine, "eHomeCloseDelay", static_cast<uint32_t>(-1000));
    Start(eOs::Vista);
    EXPECT_EQ(Dword(eHive::LocalMachine, "eHomeCloseDelay"), 1000);
    SetDword(eHive::LocalMachine, "eHomeCloseDelay", static_cast<uint32_t>(-1000));
    const uint64_t before = Sim.Clock().Now();
    Engine->OnResumeSuspend();
    Engine->OnSuspend();
    Engine->OnResumeSuspend();
    Engine->OnResumeAutomatic();  // reversed order: waits ReversedResumeDelay, here none
    EXPECT_EQ(Sim.Clock().Now(), before);
}

TEST_F(EngineSetup, PowerActionFlagsAreTestedInTheAcPolicyAndChangedInBoth)
{
    Start(eOs::XP);
    auto flags = [&](int level) {
        const auto policy = Sim.PowerPolicy().GetRecord<cSystemPowerPolicy>(level);
        return std::vector<uint32_t>{policy.PowerButton.Flags, policy.SleepButton.Flags, policy.Idle.Flags,
                                     policy.LidClose.Flags};
    };
    const std::vector<uint32_t> before = flags(POWER_INFO_POLICY_AC);
    EXPECT_FALSE(Engine->TestPowerActionFlags(POWER_ACTION_FLAG_OVERRIDE_APPS));
    EXPECT_TRUE(Engine->TestPowerActionFlags(POWER_ACTION_FLAG_UI_ALLOWED));  // set in the buttons only

    const uint32_t added = POWER_ACTION_FLAG_OVERRIDE_APPS | POWER_ACTION_FLAG_DISABLE_WAKES;
    EXPECT_TRUE(Engine->ChangePowerActionFlags(added, true));
    for (int level : {POWER_INFO_POLICY_AC, POWER_INFO_POLICY_DC}) {
        const std::vector<uint32_t> after = flags(level);
        // The lid is not one of the three actions.
        EXPECT_EQ(after, (std::vector<uint32_t>{before[0] | added, before[1] | added, before[2] | added, before[3]}))
            << level;
    }
    EXPECT_TRUE(Engine->TestPowerActionFlags(POWER_ACTION_FLAG_DISABLE_WAKES));

    EXPECT_TRUE(Engine->ChangePowerActionFlags(POWER_ACTION_FLAG_OVERRIDE_APPS, false));
    EXPECT_FALSE(Engine->TestPowerActionFlags(POWER_ACTION_FLAG_OVERRIDE_APPS));
    EXPECT_EQ(flags(POWER_INFO_POLICY_DC)[0], before[0] | POWER_ACTION_FLAG_DISABLE_WAKES);

    // Without the rights the AC policy stays as it is, the user is told,
    // and the DC policy is still changed.
    Sim.PowerPolicy().SetReadStatus(POWER_INFO_POLICY_AC, POWER_STATUS_ACCESS_DENIED);
    EXPECT_FALSE(Engine->ChangePowerActionFlags(POWER_ACTION_FLAG_OVERRIDE_APPS, true));
    EXPECT_FALSE(Engine->TestPowerActionFlags(POWER_ACTION_FLAG_OVERRIDE_APPS));
    EXPECT_EQ(flags(POWER_INFO_POLICY_DC)[0], before[0] | added);
    ASSERT_FALSE(Sim.Dialogs().Shown().empty());
    EXPECT_EQ(Sim.Dialogs().Shown().back().Text,
              "Reading PowerInformation failed, you need administrator rights for this!");
}

}  // namespace
