// The Vista and Windows 7 configuration classes on the simulator: the power
// settings of the active scheme, the powercfg.exe runs, the registry fixes
// and the message boxes.
#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "engine/PowerEvents.h"
#include "osconfig/VistaConfiguration.h"
#include "platform/PowerSettings.h"
#include "platform/WinConst.h"
#include "platform/sim/SimWindows.h"

namespace {

constexpr const char* HIDUSB_KEY = "SYSTEM\\CurrentControlSet\\Services\\HidUsb";
constexpr const char* HC_CLASS_KEY =
    "SYSTEM\\CurrentControlSet\\Control\\Class\\{36FC9E60-C465-11CF-8056-444553540000}";
constexpr const char* POWER_KEY = "System\\CurrentControlSet\\Control\\Session Manager\\Power";
constexpr const char* SCANNER_KEY =
    "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Media Center\\Service\\BackgroundScanner";
constexpr const char* HYBRID = "SUB_SLEEP 94ac6d29-73ce-41a6-809f-6363ba21b47e ";

// The parameters of every powercfg.exe run, in order.
std::vector<std::string> PowercfgRuns(cSimWindows& sim)
{
    std::vector<std::string> runs;
    for (const cSimLaunch& launch : sim.Processes().Launches()) {
        const std::string head = "\"powercfg.exe\" ";
        const size_t at = launch.CommandLine.find(head);
        const size_t end = launch.CommandLine.rfind(" & exit /b !errorlevel!");
        runs.push_back(at == std::string::npos || end == std::string::npos
                           ? launch.CommandLine
                           : launch.CommandLine.substr(at + head.size(), end - at - head.size()));
    }
    return runs;
}

enum class eFamily { Vista, VistaMC, Windows7, Windows7MC };

std::unique_ptr<cVistaConfiguration> Make(eFamily family, cPlatform& platform)
{
    switch (family) {
    case eFamily::Vista:
        return std::make_unique<cVistaConfiguration>(platform);
    case eFamily::VistaMC:
        return std::make_unique<cVistaMCEConfiguration>(platform);
    case eFamily::Windows7:
        return std::make_unique<cWindows7Configuration>(platform);
    case eFamily::Windows7MC:
        return std::make_unique<cWindows7MCConfiguration>(platform);
    }
    return nullptr;
}

class VistaConfiguration : public ::testing::Test {
protected:
    cSimPowerPolicy& Power() { return Sim.PowerPolicy(); }
    const std::vector<cSimMessageBox>& Boxes() { return Sim.Dialogs().Shown(); }
    std::pair<uint32_t, uint32_t> Setting(const cGuid& subgroup, const cGuid& setting)
    {
        uint32_t ac = 0xDEAD;
        uint32_t dc = 0xDEAD;
        Power().GetPowerSetting(subgroup, setting, ac, dc);
        return {ac, dc};
    }
    bool HasValue(const char* key, const char* name)
    {
        cRegistryValue value;
        return Sim.Registry().ReadValue(eHive::LocalMachine, key, name, value) == REGRESULT_SUCCESS;
    }
    uint32_t Dword(const std::string& key, const char* name)
    {
        uint32_t value = 0xDEAD;
        Sim.Registry().GetDword(eHive::LocalMachine, key, name, value);
        return value;
    }

    cSimWindows Sim;
};

::testing::AssertionResult BoxesAre(const std::vector<cSimMessageBox>& shown,
                                    const std::vector<std::pair<std::string, std::string>>& expected)
{
    std::vector<std::pair<std::string, std::string>> actual;
    for (const cSimMessageBox& box : shown)
        actual.emplace_back(box.Caption, box.Text);
    if (actual == expected)
        return ::testing::AssertionSuccess();
    auto failure = ::testing::AssertionFailure() << "boxes:";
    for (const auto& [caption, text] : actual)
        failure << " [" << caption << ": " << text << "]";
    return failure;
}

// One row per code and version; each with a scheme whose sleep-after is set
// and hibernate-after never (A), and one the other way round (B).
TEST_F(VistaConfiguration, ApplySleepStateWritesTheIndexesAndRunsPowercfgForEveryCode)
{
    struct cCase {
        uint8_t State;
        std::vector<std::string> Powercfg;
        uint32_t Button, StartMenu;
        std::pair<uint32_t, uint32_t> SleepAfterA, HibernateAfterA, SleepAfterB, HibernateAfterB;
    };
    const std::vector<std::string> off = {"/hibernate off", std::string("-setacvalueindex SCHEME_CURRENT ") + HYBRID + "0",
                                          std::string("-setdcvalueindex SCHEME_CURRENT ") + HYBRID + "0",
                                          "-setactive SCHEME_CURRENT"};
    const cCase cases[] = {
        {2, off, 1, 0, {1800, 900}, {0, 0}, {3600, 3600}, {7200, 5400}},
        {3, off, 1, 0, {1800, 900}, {0, 0}, {3600, 3600}, {7200, 5400}},
        {4, off, 1, 0, {1800, 900}, {0, 0}, {3600, 3600}, {7200, 5400}},
        {5,
         {"/hibernate on", std::string("-setacvalueindex SCHEME_CURRENT ") + HYBRID + "0",
          std::string("-setdcvalueindex SCHEME_CURRENT ") + HYBRID + "0", "-setactive SCHEME_CURRENT"},
         2, 1, {0, 0}, {3600, 3600}, {0, 0}, {7200, 5400}},
        // Hibernation is switched on twice: by itself and for hybrid sleep.
        {101,
         {"/hibernate on", "/hibernate on", std::string("-setacvalueindex SCHEME_CURRENT ") + HYBRID + "1",
          std::string("-setdcvalueindex SCHEME_CURRENT ") + HYBRID + "1", "-setactive SCHEME_CURRENT"},
         1, 0, {1800, 900}, {0, 0}, {3600, 3600}, {0, 0}},
        {0, off, 1, 0, {1800, 900}, {0, 0}, {3600, 3600}, {7200, 5400}},
    };
    for (eFamily family : {eFamily::Vista, eFamily::VistaMC, eFamily::Windows7, eFamily::Windows7MC})
        for (const cCase& c : cases)
            for (bool schemeB : {false, true}) {
                SCOPED_TRACE(std::to_string(static_cast<int>(family)) + " code " + std::to_string(c.State) +
                             (schemeB ? " B" : " A"));
                cSimWindows sim;
                cSimPowerPolicy& power = sim.PowerPolicy();
                if (schemeB) {
                    power.SetPowerSetting(POWER_SUBGROUP_SLEEP, POWER_SETTING_SLEEP_AFTER, 0, 0);
                    power.SetPowerSetting(POWER_SUBGROUP_SLEEP, POWER_SETTING_HIBERNATE_AFTER, 7200, 5400);
                }
                sim.Registry().SetDword(eHive::LocalMachine, POWER_KEY, "AwayModeEnabled", 1);
                auto os = Make(family, sim.Get());
                const int activations = power.PowerSchemeActivations();
                const size_t writesAtStart = power.PowerSettingWrites().size();

                EXPECT_TRUE(os->ApplySleepState(c.State));

                EXPECT_EQ(PowercfgRuns(sim), c.Powercfg);
                uint32_t ac = 0, dc = 0;
                auto setting = [&](const cGuid& subgroup, const cGuid& id) {
                    ac = dc = 0xDEAD;
                    power.GetPowerSetting(subgroup, id, ac, dc);
                    return std::make_pair(ac, dc);
                };
                EXPECT_EQ(setting(POWER_SUBGROUP_SLEEP, POWER_SETTING_SLEEP_AFTER),
                          schemeB ? c.SleepAfterB : c.SleepAfterA);
                EXPECT_EQ(setting(POWER_SUBGROUP_SLEEP, POWER_SETTING_HIBERNATE_AFTER),
                          schemeB ? c.HibernateAfterB : c.HibernateAfterA);

                // The fixed writes come last, each AC then DC, in this order.
                struct cWrite {
                    cGuid Setting;
                    uint32_t Index;
                };
                const cWrite fixed[] = {
                    {POWER_SETTING_POWER_BUTTON, c.Button},    {POWER_SETTING_LID_CLOSE, c.Button},
                    {POWER_SETTING_SLEEP_BUTTON, c.Button},    {POWER_SETTING_START_MENU_BUTTON, c.StartMenu},
                    {POWER_SETTING_USB_SELECTIVE_SUSPEND, 0},  {POWER_SETTING_WAKE_PASSWORD, 0},
                    {POWER_SETTING_UNATTENDED_SLEEP_TIMEOUT, 360},
                };
                const auto& writes = power.PowerSettingWrites();
                ASSERT_GE(writes.size(), writesAtStart + 14);
                const size_t first = writes.size() - 14;
                for (size_t index = 0; index < 14; ++index) {
                    SCOPED_TRACE(index);
                    EXPECT_TRUE(SameGuid(writes[first + index].Setting, fixed[index / 2].Setting));
                    EXPECT_EQ(writes[first + index].Ac, index % 2 == 0);
                    EXPECT_EQ(writes[first + index].Index, fixed[index / 2].Index);
                }
                // Before them only the two timeouts may have been written.
                for (size_t index = writesAtStart; index < first; ++index)
                    EXPECT_TRUE(SameGuid(writes[index].Setting, POWER_SETTING_SLEEP_AFTER) ||
                                SameGuid(writes[index].Setting, POWER_SETTING_HIBERNATE_AFTER));
                EXPECT_EQ(power.PowerSchemeActivations(), activations + 1);
                EXPECT_EQ(os->GetUnattendedSleepTimeout(), 360);
                // Away mode and the scanner are not this operation's business.
                uint32_t awayMode = 0;
                EXPECT_TRUE(sim.Registry().GetDword(eHive::LocalMachine, POWER_KEY, "AwayModeEnabled", awayMode));
                EXPECT_EQ(awayMode, 1u);
                EXPECT_FALSE(sim.Registry().KeyExists(eHive::LocalMachine, SCANNER_KEY));
                EXPECT_EQ(setting(POWER_SUBGROUP_SLEEP, POWER_SETTING_ALLOW_AWAY_MODE), std::make_pair(0u, 0u));
                EXPECT_TRUE(sim.Dialogs().Shown().empty());
            }
}

// Every write is tried; one box at the end tells that something failed. An
// active scheme that cannot be fetched writes nothing at all.
TEST_F(VistaConfiguration, ApplySleepStateReportsFailedWritesOnceAfterTryingAll)
{
    struct cCase {
        const char* Name;
        std::function<void(cSimPowerPolicy&)> Break;
        size_t Writes;
    };
    const cCase cases[] = {
        {"one setting refused",
         [](cSimPowerPolicy& power) { power.SetPowerWriteError(POWER_SETTING_WAKE_PASSWORD, 5); }, 14},
        {"no active scheme", [](cSimPowerPolicy& power) { power.SetPowerGetActiveSchemeError(120); }, 0},
    };
    for (const cCase& c : cases) {
        SCOPED_TRACE(c.Name);
        cSimWindows sim;
        auto os = Make(eFamily::Windows7, sim.Get());
        c.Break(sim.PowerPolicy());
        const size_t before = sim.PowerPolicy().PowerSettingWrites().size();
        EXPECT_TRUE(os->ApplySleepState(SLEEP_STATE_S3));
        // Sleep-after was set already, so only the fixed writes happen.
        EXPECT_EQ(sim.PowerPolicy().PowerSettingWrites().size() - before, c.Writes);
        EXPECT_TRUE(BoxesAre(sim.Dialogs().Shown(), {{"Error!", "Failed to set PowerValue."}}));
        // powercfg still runs: hibernation and hybrid sleep do not need the scheme.
        EXPECT_EQ(sim.Processes().Launches().size(), 4u);
    }
}

TEST_F(VistaConfiguration, ConstructionReportsMissingFunctionsAndUnreadableSettings)
{
    struct cCase {
        const char* Name;
        std::function<void(cSimPowerPolicy&)> Break;
        std::vector<std::pair<std::string, std::string>> Boxes;
        bool PowerSettings;  // the object still reads and writes settings
    };
    const cCase cases[] = {
        {"all there", [](cSimPowerPolicy&) {}, {}, true},
        {"PowerReadDescription missing",
         [](cSimPowerPolicy& power) { power.SetMissingFunction("PowerReadDescription"); },
         {{"powrprof.dll", "GetProcAddress failed."}},
         false},
        {"PowerWriteDCValueIndex missing",
         [](cSimPowerPolicy& power) { power.SetMissingFunction("PowerWriteDCValueIndex"); },
         {{"powrprof.dll", "GetProcAddress failed."}},
         false},
        {"description refused", [](cSimPowerPolicy& power) { power.SetPowerReadDescriptionError(5); },
         {{"PowerReadDescription", "FAILED!"}}, true},
        {"no active scheme", [](cSimPowerPolicy& power) { power.SetPowerGetActiveSchemeError(120); },
         {{"PowerReadDescription", "FAILED!"}}, false},
    };
    for (const cCase& c : cases) {
        SCOPED_TRACE(c.Name);
        cSimWindows sim;
        c.Break(sim.PowerPolicy());
        auto os = Make(eFamily::Windows7, sim.Get());
        EXPECT_TRUE(BoxesAre(sim.Dialogs().Shown(), c.Boxes));
        os->ResetIdleThreshold();
        os->SetUnattendedSleepTimeout(30);
        EXPECT_EQ(sim.PowerPolicy().PowerSettingWrites().empty(), !c.PowerSettings);
        EXPECT_EQ(sim.PowerPolicy().CallsOfMissingFunctions(), 0);
    }
    // Without powrprof.dll only the base's box shows.
    cSimWindows sim;
    sim.PowerPolicy().SetLoadFails(true);
    auto os = Make(eFamily::Vista, sim.Get());
    EXPECT_TRUE(BoxesAre(sim.Dialogs().Shown(), {{"powrprof.dll", "Cannot load dll."}}));
    EXPECT_EQ(os->GetUnattendedSleepTimeout(), 0);
}

TEST_F(VistaConfiguration, SleepStatesOfferedAndNamed)
{
    struct cCase {
        uint8_t S1, S3, FastS4;
        uint8_t State;
        bool Supported, Offered;
    };
    const cCase cases[] = {
        {1, 1, 0, 2, true, false}, {1, 0, 0, 2, true, true},     {0, 0, 0, 2, false, false},
        {1, 1, 0, 4, true, true},  {1, 1, 1, 101, true, true},   {1, 1, 0, 101, false, false},
        {1, 1, 1, 5, true, true},  {1, 1, 1, 3, false, false},
    };
    for (const cCase& c : cases) {
        SCOPED_TRACE(std::to_string(c.State) + " S1=" + std::to_string(c.S1) + " S3=" + std::to_string(c.S3));
        cSimWindows sim;
        auto capabilities = sim.PowerPolicy().GetRecord<cSystemPowerCapabilities>(POWER_INFO_CAPABILITIES);
        capabilities.SystemS1 = c.S1;
        capabilities.SystemS3 = c.S3;
        capabilities.FastSystemS4 = c.FastS4;
        sim.PowerPolicy().SetRecord(POWER_INFO_CAPABILITIES, capabilities);
        auto os = Make(eFamily::Vista, sim.Get());
        EXPECT_EQ(os->IsSleepStateSupported(c.State), c.Supported);
        EXPECT_EQ(os->IsSleepStateOffered(c.State), c.Offered);
    }
    auto os = Make(eFamily::Windows7MC, Sim.Get());
    EXPECT_EQ(os->GetSleepStateShortName(101), "S3+4");
    EXPECT_EQ(os->GetSleepStateName(101), "S3+4 - Hybrid sleep");
    EXPECT_EQ(os->GetSleepStateName(5), "S4 - Hibernate");
    EXPECT_EQ(os->GetPowerStateShortName(4), "S3");
}

TEST_F(VistaConfiguration, AwayModeFollowsThePolicyAndTheServiceValue)
{
    struct cCase {
        uint32_t Allowed;
        int Enabled;  // -1 absent
        uint32_t Mode;
    };
    const cCase cases[] = {{0, -1, 2}, {0, 1, 2}, {1, -1, 8}, {1, 0, 8}, {1, 1, 4}, {7, 1, 4}};
    for (const cCase& c : cases) {
        SCOPED_TRACE(std::to_string(c.Allowed) + " " + std::to_string(c.Enabled));
        cSimWindows sim;
        sim.PowerPolicy().SetPowerSetting(POWER_SUBGROUP_SLEEP, POWER_SETTING_ALLOW_AWAY_MODE, c.Allowed, 0);
        if (c.Enabled >= 0)
            sim.Registry().SetDword(eHive::LocalMachine, POWER_KEY, "AwayModeEnabled", c.Enabled);
        auto os = Make(eFamily::Windows7, sim.Get());
        EXPECT_EQ(os->GetAwayModeOptions(), 14u);
        EXPECT_EQ(os->GetAwayMode(), c.Mode);
        EXPECT_EQ(os->IsAwayModeAllowed(), c.Allowed != 0);
    }

    auto os = Make(eFamily::VistaMC, Sim.Get());
    struct cSet {
        uint32_t Option;
        uint32_t Allowed;
        uint32_t Enabled;  // 0xDEAD: left as it was (absent)
    };
    for (const cSet& set : {cSet{4, 1, 1}, cSet{8, 1, 0}, cSet{2, 0, 0}}) {
        SCOPED_TRACE(set.Option);
        const int activations = Power().PowerSchemeActivations();
        EXPECT_TRUE(os->SetAwayMode(set.Option));
        EXPECT_EQ(Setting(POWER_SUBGROUP_SLEEP, POWER_SETTING_ALLOW_AWAY_MODE), std::make_pair(set.Allowed, set.Allowed));
        EXPECT_EQ(Dword(POWER_KEY, "AwayModeEnabled"), set.Enabled);
        EXPECT_EQ(os->GetAwayMode(), set.Option);
        EXPECT_EQ(Power().PowerSchemeActivations(), activations + 1);
    }
    EXPECT_TRUE(Boxes().empty());
}

TEST_F(VistaConfiguration, AwayModeAndPreventSleepFailuresNameTheCall)
{
    auto os = Make(eFamily::Windows7, Sim.Get());
    Power().SetPowerReadError(POWER_SETTING_ALLOW_AWAY_MODE, 5);
    EXPECT_FALSE(os->IsAwayModeAllowed());
    EXPECT_EQ(os->GetAwayMode(), 2u);
    Power().SetPowerWriteError(POWER_SETTING_ALLOW_AWAY_MODE, 5);
    os->SetAwayModeAllowed(true);
    Power().SetPowerWriteError(POWER_SETTING_ALLOW_PREVENT_SLEEP, 5);
    os->SetAllowPreventSleep(false);
    // The service value is refused as well.
    Sim.Registry().SetWriteProtected(eHive::LocalMachine, true);
    EXPECT_TRUE(os->SetAwayMode(4));
    EXPECT_TRUE(BoxesAre(Boxes(), {{"Away mode", "PowerReadACValueIndex failed"},
                                   {"Away mode", "PowerReadACValueIndex failed"},
                                   {"Away mode", "PowerWriteACValueIndex failed"},
                                   {"Away mode", "PowerWriteDCValueIndex failed"},
                                   {"Allow prevent sleep", "PowerWriteACValueIndex failed"},
                                   {"Allow prevent sleep", "PowerWriteDCValueIndex failed"},
                                   {"Error", "Installing the fix failed, unsufficient rights?"},
                                   {"Away mode", "PowerWriteACValueIndex failed"},
                                   {"Away mode", "PowerWriteDCValueIndex failed"}}));
    Power().SetPowerWriteError(POWER_SETTING_ALLOW_PREVENT_SLEEP, 0);
    os->SetAllowPreventSleep(true);
    EXPECT_EQ(Setting(POWER_SUBGROUP_SLEEP, POWER_SETTING_ALLOW_PREVENT_SLEEP), std::make_pair(1u, 1u));
}

TEST_F(VistaConfiguration, UnattendedTimeoutSelectiveSuspendAndIdleThreshold)
{
    auto os = Make(eFamily::Windows7, Sim.Get());
    EXPECT_TRUE(os->HasUnattendedSleepTimeout());
    EXPECT_FALSE(os->IsIdleThresholdAdjustable());
    // The maximum travels as -2 both ways.
    Power().SetPowerSetting(POWER_SUBGROUP_SLEEP, POWER_SETTING_UNATTENDED_SLEEP_TIMEOUT, 0xFFFFFFFF, 0);
    EXPECT_EQ(os->GetUnattendedSleepTimeout(), -2);
    os->SetUnattendedSleepTimeout(30);
    EXPECT_EQ(Setting(POWER_SUBGROUP_SLEEP, POWER_SETTING_UNATTENDED_SLEEP_TIMEOUT), std::make_pair(30u, 30u));
    os->SetUnattendedSleepTimeout(-2);
    EXPECT_EQ(Setting(POWER_SUBGROUP_SLEEP, POWER_SETTING_UNATTENDED_SLEEP_TIMEOUT),
              std::make_pair(0xFFFFFFFFu, 0xFFFFFFFFu));
    EXPECT_EQ(os->GetUnattendedSleepTimeout(), -2);

    // Selective suspend counts as enabled only at AC index 1.
    EXPECT_FALSE(os->IsSelectiveSuspendDisabled());
    os->SetSelectiveSuspendDisabled(true);
    EXPECT_EQ(Setting(POWER_SUBGROUP_USB, POWER_SETTING_USB_SELECTIVE_SUSPEND), std::make_pair(0u, 0u));
    EXPECT_TRUE(os->IsSelectiveSuspendDisabled());
    Power().SetPowerSetting(POWER_SUBGROUP_USB, POWER_SETTING_USB_SELECTIVE_SUSPEND, 2, 1);
    EXPECT_TRUE(os->IsSelectiveSuspendDisabled());
    // The default follows the personality: power saver (1) disables it.
    for (auto [personality, expected] : {std::pair{1u, 0u}, std::pair{2u, 1u}, std::pair{0u, 1u}}) {
        Power().SetPowerSetting(POWER_SUBGROUP_NONE, POWER_SETTING_PERSONALITY, personality, personality);
        os->RestoreSelectiveSuspendDefault();
        EXPECT_EQ(Setting(POWER_SUBGROUP_USB, POWER_SETTING_USB_SELECTIVE_SUSPEND), std::make_pair(expected, expected))
            << personality;
    }

    // Steps of one without bounds, though Windows 7 does not offer them.
    EXPECT_FALSE(os->IsIdleThresholdMax());
    os->IncreaseIdleThreshold();
    EXPECT_EQ(Setting(POWER_SUBGROUP_SLEEP, POWER_SETTING_IDLE_THRESHOLD), std::make_pair(81u, 81u));
    Power().SetPowerSetting(POWER_SUBGROUP_SLEEP, POWER_SETTING_IDLE_THRESHOLD, 100, 3);
    EXPECT_TRUE(os->IsIdleThresholdMax());
    os->IncreaseIdleThreshold();
    EXPECT_EQ(Setting(POWER_SUBGROUP_SLEEP, POWER_SETTING_IDLE_THRESHOLD), std::make_pair(101u, 101u));
    Power().SetPowerSetting(POWER_SUBGROUP_SLEEP, POWER_SETTING_IDLE_THRESHOLD, 1, 1);
    os->DecreaseIdleThreshold();
    EXPECT_TRUE(os->IsIdleThresholdMin());
    os->ResetIdleThreshold();
    EXPECT_EQ(Setting(POWER_SUBGROUP_SLEEP, POWER_SETTING_IDLE_THRESHOLD), std::make_pair(80u, 80u));
    const int activations = Power().PowerSchemeActivations();
    EXPECT_TRUE(os->ReloadActivePowerScheme());
    EXPECT_EQ(Power().PowerSchemeActivations(), activations + 1);
    EXPECT_TRUE(Make(eFamily::Vista, Sim.Get())->IsIdleThresholdAdjustable());
    EXPECT_TRUE(Boxes().empty());
}

TEST_F(VistaConfiguration, UsbResumeFixesAndTheRebootTheyNeed)
{
    // Two controller instances, one without its Controller value, one
    // subkey that is no instance.
    for (const char* instance : {"0000", "0001"})
        Sim.Registry().SetDword(eHive::LocalMachine, std::string(HC_CLASS_KEY) + "\\" + instance, "Controller", 1);
    Sim.Registry().SetString(eHive::LocalMachine, std::string(HC_CLASS_KEY) + "\\0002", "DriverDesc", "hub");
    Sim.Registry().SetDword(eHive::LocalMachine, std::string(HC_CLASS_KEY) + "\\Properties", "Controller", 1);
    auto os = Make(eFamily::Vista, Sim.Get());
    EXPECT_FALSE(os->IsRebootRequired());

    os->SetForceHcResetOnResume(true);
    EXPECT_TRUE(os->IsForceHcResetOnResume());
    EXPECT_TRUE(os->IsRebootRequired());
    os->SetForceHcResetOnResume(false);
    for (const char* instance : {"0000", "0001"})
        EXPECT_EQ(Dword(std::string(HC_CLASS_KEY) + "\\" + instance, "ForceHCResetOnResume"), 3u) << instance;
    EXPECT_EQ(Dword(std::string(HC_CLASS_KEY) + "\\0002", "ForceHCResetOnResume"), 0xDEADu);
    EXPECT_EQ(Dword(std::string(HC_CLASS_KEY) + "\\Properties", "ForceHCResetOnResume"), 0xDEADu);
    EXPECT_FALSE(os->IsForceHcResetOnResume());
    EXPECT_FALSE(os->IsRebootRequired());

    os->SetFastResumeDisabled(true);
    EXPECT_EQ(Dword(HIDUSB_KEY, "FastResumeDisable"), 1u);
    EXPECT_TRUE(os->IsFastResumeDisabled());
    EXPECT_TRUE(os->IsRebootRequired());
    os->SetFastResumeDisabled(false);
    EXPECT_FALSE(HasValue(HIDUSB_KEY, "FastResumeDisable"));
    EXPECT_FALSE(os->IsRebootRequired());
    // Refused writes are not shown: the page reads the value back.
    Sim.Registry().SetWriteProtected(eHive::LocalMachine, true);
    os->SetFastResumeDisabled(true);
    os->SetForceHcResetOnResume(true);
    EXPECT_FALSE(os->IsFastResumeDisabled());
    EXPECT_FALSE(os->IsForceHcResetOnResume());
    EXPECT_TRUE(Boxes().empty());
}

TEST_F(VistaConfiguration, BackgroundScannerOnlyWhereItsKeyExists)
{
    cWindows7MCConfiguration os(Sim.Get());
    EXPECT_FALSE(os.HasBackgroundScanner());
    EXPECT_EQ(os.GetBackgroundScanEnabled(), 99);
    uint64_t last = 0;
    EXPECT_FALSE(os.GetLastBackgroundScan(last));
    os.SetBackgroundScanEnabled(99);
    EXPECT_FALSE(Sim.Registry().KeyExists(eHive::LocalMachine, SCANNER_KEY));

    Sim.Registry().SetDword(eHive::LocalMachine, SCANNER_KEY, "LastPeriodicScanLowDateTime", 0x89ABCDEF);
    EXPECT_TRUE(os.HasBackgroundScanner());
    EXPECT_FALSE(os.GetLastBackgroundScan(last));
    Sim.Registry().SetDword(eHive::LocalMachine, SCANNER_KEY, "LastPeriodicScanHighDateTime", 0x01D00000);
    EXPECT_TRUE(os.GetLastBackgroundScan(last));
    EXPECT_EQ(last, 0x01D0000089ABCDEFull);
    os.SetBackgroundScanEnabled(0);
    EXPECT_EQ(os.GetBackgroundScanEnabled(), 0);
    os.SetBackgroundScanEnabled(99);
    EXPECT_FALSE(HasValue(SCANNER_KEY, "PeriodicScanEnabled"));
    EXPECT_EQ(os.GetBackgroundScanEnabled(), 99);
}

TEST_F(VistaConfiguration, AdministratorTextAndAutologonTool)
{
    Sim.Security().SetAdministrator(false);
    auto os = Make(eFamily::Vista, Sim.Get());
    EXPECT_FALSE(os->CheckAdministrator());
    EXPECT_TRUE(BoxesAre(Boxes(), {{"No administrator rights",
                                    "Changing this setting requires administrator rights.\r\rPlease start SLH by "
                                    "right-clicking the executable\ror shortcut and choose \"Run as administrator\"."}}));

    Sim.Processes().AddProgram({"Netplwiz.exe", 0, 90000, "", 0});
    Sim.Security().SetJoinStatus(3, 0);
    EXPECT_FALSE(os->ConfigureAutologon());
    EXPECT_TRUE(Sim.Processes().Launches().empty());
    Sim.Security().SetJoinStatus(2, 0);
    EXPECT_TRUE(os->ConfigureAutologon());
    ASSERT_EQ(Sim.Processes().Launches().size(), 1u);
    EXPECT_EQ(Sim.Processes().Launches()[0].Application, "C:\\Windows\\system32\\Netplwiz.exe");
    // Waited for without a limit.
    EXPECT_GE(Sim.Clock().Now(), 90000u);
}

}  // namespace
