#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "osconfig/OSConfiguration.h"
#include "osconfig/OSConfigurationFactory.h"
#include "osconfig/VistaConfiguration.h"
#include "platform/WinConst.h"
#include "platform/sim/SimWindows.h"

namespace {

constexpr const char* USB_KEY = "SYSTEM\\CurrentControlSet\\Services\\usb";
constexpr const char* ARSVC_KEY = "SYSTEM\\CurrentControlSet\\Services\\ARSVC\\Parameters";
constexpr const char* BALLOON_KEY = "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Advanced";
constexpr const char* INSTALL_FAILED = "Installing the fix failed, unsufficient rights?";

class OSConfiguration : public ::testing::Test {
protected:
    std::unique_ptr<cXPConfiguration> MakeXP() { return std::make_unique<cXPConfiguration>(Sim.Get()); }
    const std::vector<cSimMessageBox>& Boxes() { return Sim.Dialogs().Shown(); }
    std::vector<std::string> CommandLines()
    {
        std::vector<std::string> lines;
        for (const cSimLaunch& launch : Sim.Processes().Launches())
            lines.push_back(launch.CommandLine);
        return lines;
    }
    bool HasValue(const char* key, const char* name)
    {
        cRegistryValue value;
        return Sim.Registry().ReadValue(eHive::LocalMachine, key, name, value) == REGRESULT_SUCCESS;
    }
    uint32_t Dword(eHive hive, const char* key, const char* name)
    {
        uint32_t value = 0xDEAD;
        Sim.Registry().GetDword(hive, key, name, value);
        return value;
    }

    cSimWindows Sim;
};

// A policy whose every byte differs from what ApplySleepState writes, so
// that a stray write to any other field shows.
cSystemPowerPolicy MarkedPolicy(uint8_t fill)
{
    cSystemPowerPolicy policy;
    std::memset(&policy, fill, sizeof(policy));
    policy.PowerButton = {ePowerAction::ShutdownOff, 0x10, 7};
    policy.SleepButton = {ePowerAction::None, 0x10, 7};
    policy.Idle = {ePowerAction::None, 0x10, 7};
    return policy;
}

::testing::AssertionResult SameBytes(const cSystemPowerPolicy& actual, const cSystemPowerPolicy& expected)
{
    const auto* a = reinterpret_cast<const uint8_t*>(&actual);
    const auto* e = reinterpret_cast<const uint8_t*>(&expected);
    for (size_t offset = 0; offset < sizeof(actual); ++offset)
        if (a[offset] != e[offset])
            return ::testing::AssertionFailure() << "first difference at offset " << offset << ": "
                                                 << int(a[offset]) << " instead of " << int(e[offset]);
    return ::testing::AssertionSuccess();
}

TEST_F(OSConfiguration, SleepStateNamesAndSupportFollowTheCapabilities)
{
    struct cCase {
        uint32_t State;
        const char* Short;
        const char* Long;
        bool Supported;  // with the simulator's S1, S3 and S4
    };
    const cCase cases[] = {
        {0, "", "Unspecified", false},         {1, "??", "??", false},
        {2, "S1", "S1 - Standby", true},       {3, "S2", "S2 - Standby", false},
        {4, "S3", "S3 - Standby", true},       {5, "S4", "S4 - Hibernate", true},
        {6, "??", "??", false},                {101, "??", "??", false},
        {0x102, "??", "??", false},
    };
    auto xp = MakeXP();
    for (const cCase& c : cases) {
        SCOPED_TRACE(c.State);
        EXPECT_EQ(xp->GetPowerStateShortName(c.State), c.Short);
        EXPECT_EQ(xp->GetPowerStateName(c.State), c.Long);
        if (c.State <= 0xFF) {
            EXPECT_EQ(xp->GetSleepStateName(static_cast<uint8_t>(c.State)), c.Long);
            EXPECT_EQ(xp->IsSleepStateSupported(static_cast<uint8_t>(c.State)), c.Supported);
            EXPECT_EQ(xp->IsSleepStateOffered(static_cast<uint8_t>(c.State)), c.Supported);
        }
    }
    EXPECT_TRUE(Boxes().empty());
}

TEST_F(OSConfiguration, FailedCapabilityReadShowsItsMessageAndSupportsNoState)
{
    const std::pair<uint32_t, const char*> cases[] = {
        {0xC0000022, "Reading power capabilities failed, you need administrator rights for this!"},
        {0xC0000023, "Reading power capabilities failed, buffer too small."},
        {0xC0000002, "Reading power capabilities failed, unknown error."},
    };
    for (const auto& [status, text] : cases) {
        SCOPED_TRACE(text);
        cSimWindows sim;
        sim.PowerPolicy().SetReadStatus(POWER_INFO_CAPABILITIES, status);
        cXPConfiguration xp(sim.Get());
        ASSERT_EQ(sim.Dialogs().Shown().size(), 1u);
        EXPECT_EQ(sim.Dialogs().Shown()[0].Text, text);
        EXPECT_EQ(sim.Dialogs().Shown()[0].Caption, "Error");
        for (uint8_t state : {2, 3, 4, 5, 101})
            EXPECT_FALSE(xp.IsSleepStateSupported(state)) << int(state);
    }
}

// Without the library or one of its functions the object stays usable: the
// power operations fail instead of calling what is not there.
TEST_F(OSConfiguration, MissingLibraryOrFunctionFailsThePowerOperationsWithoutCallingThem)
{
    struct cCase {
        const char* Missing;  // null: the library does not load
        const char* Text;
        std::function<bool(cXPConfiguration&)> Fails;
    };
    const cCase cases[] = {
        {nullptr, "Cannot load dll.",
         [](cXPConfiguration& xp) {
             uint32_t state = 0;
             return !xp.CallPowerInformation(POWER_INFO_EXECUTION_STATE, nullptr, 0, &state, 4) &&
                    !xp.SetSuspendState(false, false, false) && xp.WriteSchemeSleepState(2) == -1;
         }},
        {"SetSuspendState", "GetProcAddress failed.",
         [](cXPConfiguration& xp) { return xp.Suspend(true, false, false) == -3; }},
        {"CallNtPowerInformation", "GetProcAddress failed.",
         [](cXPConfiguration& xp) {
             uint32_t state = 0;
             return !xp.CallPowerInformation(POWER_INFO_EXECUTION_STATE, nullptr, 0, &state, 4) &&
                    !xp.WriteAdministratorPolicy(4, 4);
         }},
        {"GetActivePwrScheme", "GetProcAddress failed.",
         [](cXPConfiguration& xp) { return !xp.ReloadActivePowerScheme() && xp.WriteSchemeSleepState(2) == -1; }},
        {"SetActivePwrScheme", "GetProcAddress failed.",
         [](cXPConfiguration& xp) { return !xp.ReloadActivePowerScheme(); }},
        {"ReadPwrScheme", "GetProcAddress failed.",
         [](cXPConfiguration& xp) { return xp.WriteSchemeSleepState(2) == -1; }},
        {"WritePwrScheme", "GetProcAddress failed.",
         [](cXPConfiguration& xp) { return xp.WriteSchemeSleepState(2) == -1; }},
    };
    for (const cCase& c : cases) {
        SCOPED_TRACE(c.Missing ? c.Missing : "no library");
        cSimWindows sim;
        if (c.Missing)
            sim.PowerPolicy().SetMissingFunction(c.Missing);
        else
            sim.PowerPolicy().SetLoadFails(true);
        {
            cXPConfiguration xp(sim.Get());
            ASSERT_GE(sim.Dialogs().Shown().size(), 1u);
            EXPECT_EQ(sim.Dialogs().Shown()[0].Text, c.Text);
            EXPECT_EQ(sim.Dialogs().Shown()[0].Caption, "powrprof.dll");
            EXPECT_FALSE(xp.IsSleepStateSupported(SLEEP_STATE_S3));
            EXPECT_TRUE(c.Fails(xp));

            // Everything else runs through without touching what is missing.
            xp.ApplySleepState(SLEEP_STATE_S3);
            xp.IncreaseIdleThreshold();
            xp.ResetIdleThreshold();
            xp.IsIdleThresholdMax();
            xp.SetAwayMode(AWAY_MODE_ALWAYS);
            xp.Suspend(true, false, false);
            EXPECT_EQ(sim.PowerPolicy().CallsOfMissingFunctions(), 0);
        }
        EXPECT_EQ(sim.PowerPolicy().LoadedLibraries(), 0);
    }
}

TEST_F(OSConfiguration, CallPowerInformationZeroesTheOutputAndNamesTheFailure)
{
    const std::pair<uint32_t, const char*> cases[] = {
        {0, nullptr},
        {0xC0000022, "Reading PowerInformation failed, you need administrator rights for this!"},
        {0xC0000023, "Reading PowerInformation failed, buffer too small."},
        {0xC0000002, "Reading PowerInformation failed, unknown error."},
    };
    for (const auto& [status, text] : cases) {
        SCOPED_TRACE(status);
        cSimWindows sim;
        cXPConfiguration xp(sim.Get());
        sim.PowerPolicy().SetRecord(POWER_INFO_SYSTEM_INFORMATION, cSystemPowerInformation{40, 12, -1, 0});
        sim.PowerPolicy().SetReadStatus(POWER_INFO_SYSTEM_INFORMATION, status);
        cSystemPowerInformation information;
        std::memset(&information, 0xAA, sizeof(information));
        const bool read = xp.CallPowerInformation(POWER_INFO_SYSTEM_INFORMATION, nullptr, 0, &information,
                                                  sizeof(information));
        EXPECT_EQ(read, status == 0);
        EXPECT_EQ(information.Idleness, status == 0 ? 12u : 0u);
        EXPECT_EQ(information.CoolingMode, 0);
        if (text) {
            ASSERT_EQ(sim.Dialogs().Shown().size(), 1u);
            EXPECT_EQ(sim.Dialogs().Shown()[0].Text, text);
            EXPECT_EQ(sim.Dialogs().Shown()[0].Caption, "Error");
        } else {
            EXPECT_TRUE(sim.Dialogs().Shown().empty());
        }
    }
}

// The table of ApplySleepState: the fields it writes into both policies,
// and nothing else.
TEST_F(OSConfiguration, ApplySleepStateWritesExactlyItsPolicyFields)
{
    struct cCase {
        uint8_t Chosen;
        uint32_t State;
        ePowerAction Action;
        const char* Hibernation;
        bool UsbBiosX;
    };
    const cCase cases[] = {
        {2, 2, ePowerAction::Sleep, "/hibernate off", false},
        {3, 3, ePowerAction::Sleep, "/hibernate off", false},
        {4, 4, ePowerAction::Sleep, "/hibernate off", true},
        {5, 5, ePowerAction::Hibernate, "/hibernate on", false},
        {101, 4, ePowerAction::Sleep, "/hibernate off", true},
        {0, 4, ePowerAction::Sleep, "/hibernate off", true},
    };
    for (const cCase& c : cases) {
        SCOPED_TRACE(int(c.Chosen));
        cSimWindows sim;
        cSystemPowerPolicy ac = MarkedPolicy(0x11);
        ac.IdleTimeout = 1200;
        cSystemPowerPolicy dc = MarkedPolicy(0x22);
        dc.IdleTimeout = 0;
        sim.PowerPolicy().SetRecord(POWER_INFO_POLICY_AC, ac);
        sim.PowerPolicy().SetRecord(POWER_INFO_POLICY_DC, dc);
        sim.PowerPolicy().SetRecord(POWER_INFO_ADMINISTRATOR_POLICY, cAdministratorPowerPolicy{2, 5, 1, 2, 3, 4});
        cXPConfiguration xp(sim.Get());

        EXPECT_TRUE(xp.ApplySleepState(c.Chosen));

        for (cSystemPowerPolicy* expected : {&ac, &dc}) {
            const bool isAc = expected == &ac;
            expected->MinSleep = expected->MaxSleep = expected->ReducedLatencySleep = c.State;
            expected->PowerButton = {c.Action, 3, 0};
            expected->SleepButton = {c.Action, 3, 0};
            expected->Idle = {c.Action, isAc ? 1u : 0u, 0};
            expected->IdleTimeout = isAc ? 1200 : 3600;
            expected->WinLogonFlags = 0;
            expected->VideoTimeout = 0;
        }
        EXPECT_TRUE(SameBytes(sim.PowerPolicy().GetRecord<cSystemPowerPolicy>(POWER_INFO_POLICY_AC), ac));
        EXPECT_TRUE(SameBytes(sim.PowerPolicy().GetRecord<cSystemPowerPolicy>(POWER_INFO_POLICY_DC), dc));

        const auto administrator = sim.PowerPolicy().GetRecord<cAdministratorPowerPolicy>(
            POWER_INFO_ADMINISTRATOR_POLICY);
        EXPECT_EQ(administrator.MinSleep, c.State);
        EXPECT_EQ(administrator.MaxSleep, c.State);
        EXPECT_EQ(administrator.MinVideoTimeout, 1u);
        EXPECT_EQ(administrator.MaxSpindownTimeout, 4u);

        ASSERT_EQ(sim.Processes().Launches().size(), 2u);
        EXPECT_EQ(sim.Processes().Launches()[0].CommandLine,
                  std::string("placeholder /d /v:on /c \"powercfg.exe\" ") + c.Hibernation +
                      " & exit /b !errorlevel!");
        EXPECT_EQ(sim.Processes().Launches()[1].CommandLine,
                  "placeholder /d /v:on /c \"powercfg.exe\" /GLOBALPOWERFLAG off /OPTION RESUMEPASSWORD & exit /b "
                  "!errorlevel!");
        uint32_t selectiveSuspend = 0;
        EXPECT_TRUE(sim.Registry().GetDword(eHive::LocalMachine, USB_KEY, "DisableSelectiveSuspend",
                                            selectiveSuspend));
        EXPECT_EQ(selectiveSuspend, 1u);
        cRegistryValue usbBiosX;
        EXPECT_EQ(sim.Registry().ReadValue(eHive::LocalMachine, USB_KEY, "USBBIOSx", usbBiosX) == REGRESULT_SUCCESS,
                  c.UsbBiosX);
        EXPECT_TRUE(sim.Dialogs().Shown().empty());
    }
}

TEST_F(OSConfiguration, ApplySleepStateLeavesAPowerButtonThatDoesNothing)
{
    cSystemPowerPolicy ac = MarkedPolicy(0x11);
    ac.PowerButton = {ePowerAction::None, 0x10, 7};
    Sim.PowerPolicy().SetRecord(POWER_INFO_POLICY_AC, ac);
    MakeXP()->ApplySleepState(SLEEP_STATE_S4);
    const auto written = Sim.PowerPolicy().GetRecord<cSystemPowerPolicy>(POWER_INFO_POLICY_AC);
    EXPECT_EQ(written.PowerButton.Action, ePowerAction::None);
    EXPECT_EQ(written.PowerButton.Flags, 0x10u);
    EXPECT_EQ(written.PowerButton.EventCode, 7u);
    EXPECT_EQ(written.SleepButton.Action, ePowerAction::Hibernate);
}

// A policy that cannot be read is reported and not overwritten with zeros.
TEST_F(OSConfiguration, ApplySleepStateKeepsAPolicyItCannotRead)
{
    auto xp = MakeXP();
    Sim.PowerPolicy().SetReadStatus(POWER_INFO_POLICY_DC, POWER_STATUS_ACCESS_DENIED);
    const auto before = Sim.PowerPolicy().GetRecord<cSystemPowerPolicy>(POWER_INFO_POLICY_DC);
    xp->ApplySleepState(SLEEP_STATE_S3);
    EXPECT_TRUE(SameBytes(Sim.PowerPolicy().GetRecord<cSystemPowerPolicy>(POWER_INFO_POLICY_DC), before));
    EXPECT_EQ(Sim.PowerPolicy().GetRecord<cSystemPowerPolicy>(POWER_INFO_POLICY_AC).MaxSleep, 4u);
    ASSERT_EQ(Boxes().size(), 1u);
    EXPECT_EQ(Boxes()[0].Text, "Reading PowerInformation failed, you need administrator rights for this!");
}

TEST_F(OSConfiguration, AdministratorPolicyFailuresNameTheReadOrTheWrite)
{
    struct cCase {
        uint32_t ReadStatus, WriteStatus;
        const char* Text;
    };
    const cCase cases[] = {
        {0xC0000022, 0, "Reading power policy failed, you need administrator rights for this!"},
        {0xC0000023, 0, "Reading power policy failed, buffer too small."},
        {0xC0000002, 0, "Reading power policy failed, unknown error."},
        {0, 0xC0000022, "Writing power policy failed, you need administrator rights for this!"},
        {0, 0xC0000023, "Writing power policy failed, buffer too small."},
        {0, 0xC0000001, "Writing power policy failed, unknown error."},
    };
    for (const cCase& c : cases) {
        SCOPED_TRACE(c.Text);
        cSimWindows sim;
        cXPConfiguration xp(sim.Get());
        sim.PowerPolicy().SetReadStatus(POWER_INFO_ADMINISTRATOR_POLICY, c.ReadStatus);
        sim.PowerPolicy().SetWriteStatus(POWER_INFO_ADMINISTRATOR_POLICY, c.WriteStatus);
        EXPECT_FALSE(xp.WriteAdministratorPolicy(4, 4));
        ASSERT_EQ(sim.Dialogs().Shown().size(), 1u);
        EXPECT_EQ(sim.Dialogs().Shown()[0].Text, c.Text);
        EXPECT_EQ(sim.Dialogs().Shown()[0].Caption, "Error");
    }
}

TEST_F(OSConfiguration, PowercfgRunsHiddenInTheShellAndIsWaitedForUpTo30Seconds)
{
    struct cCase {
        std::function<bool(cOSConfiguration&)> Call;
        const char* Parameters;
    };
    const cCase cases[] = {
        {[](cOSConfiguration& os) { return os.SetHibernation(true); }, "/hibernate on"},
        {[](cOSConfiguration& os) { return os.SetHibernation(false); }, "/hibernate off"},
        {[](cOSConfiguration& os) { return os.SetResumePassword(true); }, "/GLOBALPOWERFLAG on /OPTION RESUMEPASSWORD"},
        {[](cOSConfiguration& os) { return os.SetResumePassword(false); },
         "/GLOBALPOWERFLAG off /OPTION RESUMEPASSWORD"},
    };
    for (const cCase& c : cases) {
        SCOPED_TRACE(c.Parameters);
        cSimWindows sim;
        cXPConfiguration xp(sim.Get());
        // A powercfg that hangs: the wait gives up after 30 s.
        sim.Processes().AddProgram({"powercfg.exe", 0, 60000, "", 0});
        const uint64_t start = sim.Clock().Now();
        EXPECT_TRUE(c.Call(xp));
        ASSERT_EQ(sim.Processes().Launches().size(), 1u);
        const cSimLaunch& launch = sim.Processes().Launches()[0];
        EXPECT_EQ(launch.Application, "C:\\Windows\\system32\\cmd.exe");
        EXPECT_EQ(launch.CommandLine, std::string("placeholder /d /v:on /c \"powercfg.exe\" ") + c.Parameters +
                                          " & exit /b !errorlevel!");
        EXPECT_EQ(launch.Show, SHOW_HIDE);
        const uint64_t waited = sim.Clock().Now() - start;
        EXPECT_GE(waited, 30000u);
        EXPECT_LT(waited, 30100u);
    }
}

TEST_F(OSConfiguration, AwayModeNeedsTheArsvcKey)
{
    auto xp = MakeXP();
    EXPECT_EQ(xp->GetAwayModeOptions(), AWAY_MODE_NOT_SUPPORTED);
    EXPECT_EQ(xp->GetAwayMode(), AWAY_MODE_NOT_SUPPORTED);
    EXPECT_FALSE(xp->SetAwayMode(AWAY_MODE_ALWAYS));
    EXPECT_FALSE(Sim.Registry().KeyExists(eHive::LocalMachine, ARSVC_KEY));

    Sim.Registry().CreateKey(eHive::LocalMachine, ARSVC_KEY);
    EXPECT_EQ(xp->GetAwayModeOptions(), AWAY_MODE_NEVER | AWAY_MODE_ALWAYS);
    EXPECT_EQ(xp->GetAwayMode(), AWAY_MODE_NEVER);  // no Disable value
    Sim.Registry().SetString(eHive::LocalMachine, ARSVC_KEY, "Disable", "0");
    EXPECT_EQ(xp->GetAwayMode(), AWAY_MODE_NEVER);  // not a number

    EXPECT_TRUE(xp->SetAwayMode(AWAY_MODE_ALWAYS));
    EXPECT_EQ(Dword(eHive::LocalMachine, ARSVC_KEY, "Disable"), 0u);
    EXPECT_EQ(xp->GetAwayMode(), AWAY_MODE_ALWAYS);
    EXPECT_EQ(Sim.PowerPolicy().SchemeActivations(), 1);
    EXPECT_TRUE(xp->IsRebootRequired());

    EXPECT_TRUE(xp->SetAwayMode(AWAY_MODE_NEVER));
    EXPECT_EQ(Dword(eHive::LocalMachine, ARSVC_KEY, "Disable"), 1u);
    EXPECT_EQ(xp->GetAwayMode(), AWAY_MODE_NEVER);
    EXPECT_EQ(Sim.PowerPolicy().SchemeActivations(), 2);
    EXPECT_TRUE(Boxes().empty());
}

TEST_F(OSConfiguration, ReloadingTheActiveSchemeReportsEachFailure)
{
    auto xp = MakeXP();
    EXPECT_TRUE(xp->ReloadActivePowerScheme());
    Sim.PowerPolicy().SetSetActiveSchemeError(5);
    EXPECT_FALSE(xp->ReloadActivePowerScheme());
    Sim.PowerPolicy().SetGetActiveSchemeError(5);
    EXPECT_FALSE(xp->ReloadActivePowerScheme());
    ASSERT_EQ(Boxes().size(), 2u);
    EXPECT_EQ(Boxes()[0].Text, "Reloading active power scheme failed.");
    EXPECT_EQ(Boxes()[1].Text, "Unable to get active power scheme.");
    EXPECT_EQ(Boxes()[1].Caption, "Error");
}

TEST_F(OSConfiguration, UsbFixesAreInstalledRemovedAndTheirFailuresShown)
{
    struct cCase {
        const char* Value;
        std::function<void(cXPConfiguration&, bool)> Set;
        std::function<bool(cXPConfiguration&)> Is;
        uint32_t Installed;
        const char* RemovalFailed;
    };
    const cCase cases[] = {
        {"USBBIOSx", [](cXPConfiguration& xp, bool on) { xp.SetUsbBiosX(on); },
         [](cXPConfiguration& xp) { return xp.IsUsbBiosXInstalled(); }, 0,
         "Removing the fix failed, unsufficient rights?"},
        {"USBBIOSHACKS", [](cXPConfiguration& xp, bool on) { xp.SetUsbBiosHacks(on); },
         [](cXPConfiguration& xp) { return xp.IsUsbBiosHacksInstalled(); }, 0,
         "Removing USBBIOSHACKS failed, unsufficient rights?"},
        {"DisableSelectiveSuspend", [](cXPConfiguration& xp, bool on) { xp.SetSelectiveSuspendDisabled(on); },
         [](cXPConfiguration& xp) { return xp.IsSelectiveSuspendDisabled(); }, 1,
         "Removing DisableSelectiveSuspend failed, unsufficient rights?"},
        {"DisableForceEnumeration", [](cXPConfiguration& xp, bool on) { xp.SetForceEnumerationDisabled(on); },
         [](cXPConfiguration& xp) { return xp.IsForceEnumerationDisabled(); }, 1,
         "Removing DisableForceEnumeration failed, unsufficient rights?"},
    };
    for (const cCase& c : cases) {
        SCOPED_TRACE(c.Value);
        cSimWindows sim;
        cXPConfiguration xp(sim.Get());
        EXPECT_FALSE(c.Is(xp));
        EXPECT_FALSE(xp.IsRebootRequired());

        c.Set(xp, true);
        uint32_t value = 0xDEAD;
        EXPECT_TRUE(sim.Registry().GetDword(eHive::LocalMachine, USB_KEY, c.Value, value));
        EXPECT_EQ(value, c.Installed);
        EXPECT_TRUE(c.Is(xp));
        EXPECT_TRUE(xp.IsRebootRequired());

        sim.Registry().SetWriteProtected(eHive::LocalMachine, true);
        c.Set(xp, false);
        c.Set(xp, true);
        sim.Registry().SetWriteProtected(eHive::LocalMachine, false);
        c.Set(xp, false);
        c.Set(xp, false);  // nothing left to remove: no message
        cRegistryValue removed;
        EXPECT_NE(sim.Registry().ReadValue(eHive::LocalMachine, USB_KEY, c.Value, removed), REGRESULT_SUCCESS);
        EXPECT_FALSE(xp.IsRebootRequired());

        ASSERT_EQ(sim.Dialogs().Shown().size(), 2u);
        EXPECT_EQ(sim.Dialogs().Shown()[0].Text, c.RemovalFailed);
        EXPECT_EQ(sim.Dialogs().Shown()[1].Text, INSTALL_FAILED);
        EXPECT_EQ(sim.Dialogs().Shown()[1].Caption, "Error");
    }
}

TEST_F(OSConfiguration, FixValuesOfAnotherTypeReadAsTheirSafeDefault)
{
    Sim.Registry().SetString(eHive::LocalMachine, USB_KEY, "DisableSelectiveSuspend", "1");
    Sim.Registry().SetString(eHive::CurrentUser, BALLOON_KEY, "EnableBalloonTips", "0");
    Sim.Registry().SetString(eHive::LocalMachine, USB_KEY, "USBBIOSx", "");
    auto xp = MakeXP();
    EXPECT_FALSE(xp->IsSelectiveSuspendDisabled());
    EXPECT_TRUE(xp->IsBalloonTipsEnabled());
    EXPECT_TRUE(xp->IsUsbBiosXInstalled());  // present in any type
}

TEST_F(OSConfiguration, BalloonTipsAreOnUnlessSwitchedOffAndNeedAReboot)
{
    auto xp = MakeXP();
    EXPECT_TRUE(xp->IsBalloonTipsEnabled());
    xp->SetBalloonTips(false);
    EXPECT_EQ(Dword(eHive::CurrentUser, BALLOON_KEY, "EnableBalloonTips"), 0u);
    EXPECT_FALSE(xp->IsBalloonTipsEnabled());
    EXPECT_TRUE(xp->IsRebootRequired());
    xp->SetBalloonTips(true);
    EXPECT_EQ(Dword(eHive::CurrentUser, BALLOON_KEY, "EnableBalloonTips"), 1u);
    EXPECT_FALSE(xp->IsRebootRequired());

    Sim.Registry().SetWriteProtected(eHive::CurrentUser, true);
    xp->SetBalloonTips(false);
    ASSERT_EQ(Boxes().size(), 1u);
    EXPECT_EQ(Boxes()[0].Text, INSTALL_FAILED);
}

TEST_F(OSConfiguration, IdleThresholdStepsByThreeBetweenOneAndNinety)
{
    struct cCase {
        uint8_t Ac, Dc;
        bool Increase;
        uint8_t Expected;
    };
    const cCase cases[] = {
        {50, 50, true, 53}, {88, 20, true, 90}, {90, 90, true, 90}, {95, 95, true, 90},
        {50, 70, false, 47}, {3, 3, false, 1}, {1, 1, false, 1},  {0, 0, false, 1},
    };
    for (const cCase& c : cases) {
        SCOPED_TRACE(std::to_string(c.Ac) + (c.Increase ? " up" : " down"));
        cSimWindows sim;
        cXPConfiguration xp(sim.Get());
        for (int level : {POWER_INFO_POLICY_AC, POWER_INFO_POLICY_DC}) {
            auto policy = sim.PowerPolicy().GetRecord<cSystemPowerPolicy>(level);
            policy.IdleSensitivity = level == POWER_INFO_POLICY_AC ? c.Ac : c.Dc;
            sim.PowerPolicy().SetRecord(level, policy);
        }
        c.Increase ? xp.IncreaseIdleThreshold() : xp.DecreaseIdleThreshold();
        EXPECT_EQ(sim.PowerPolicy().GetRecord<cSystemPowerPolicy>(POWER_INFO_POLICY_AC).IdleSensitivity, c.Expected);
        EXPECT_EQ(sim.PowerPolicy().GetRecord<cSystemPowerPolicy>(POWER_INFO_POLICY_DC).IdleSensitivity, c.Expected);
        EXPECT_EQ(xp.IsIdleThresholdMax(), c.Expected == 90);
        EXPECT_EQ(xp.IsIdleThresholdMin(), c.Expected == 1);
    }

    auto xp = MakeXP();
    xp->ResetIdleThreshold();
    EXPECT_EQ(Sim.PowerPolicy().GetRecord<cSystemPowerPolicy>(POWER_INFO_POLICY_DC).IdleSensitivity, 50);
    // Without rights nothing is written and nothing is shown.
    Sim.PowerPolicy().SetReadStatus(POWER_INFO_POLICY_AC, POWER_STATUS_ACCESS_DENIED);
    xp->IncreaseIdleThreshold();
    EXPECT_FALSE(xp->IsIdleThresholdMax());
    EXPECT_EQ(Sim.PowerPolicy().GetRecord<cSystemPowerPolicy>(POWER_INFO_POLICY_DC).IdleSensitivity, 50);
    EXPECT_TRUE(Boxes().empty());
}

TEST_F(OSConfiguration, WriteSchemeSleepStateSetsTheSleepFieldsOfTheActiveScheme)
{
    cPowerSchemePolicy scheme;
    std::memset(&scheme, 0x33, sizeof(scheme));
    Sim.PowerPolicy().SetScheme(3, scheme);
    Sim.PowerPolicy().SetActiveScheme(3);
    auto xp = MakeXP();
    EXPECT_EQ(xp->WriteSchemeSleepState(SLEEP_STATE_S1), 3);
    cPowerSchemePolicy expected = scheme;
    expected.User.MaxSleepAc = expected.User.MaxSleepDc = 2;
    expected.Machine.MinSleepAc = expected.Machine.MinSleepDc = 2;
    expected.Machine.ReducedLatencySleepAc = expected.Machine.ReducedLatencySleepDc = 2;
    cPowerSchemePolicy written;
    ASSERT_TRUE(Sim.PowerPolicy().GetScheme(3, written));
    EXPECT_EQ(std::memcmp(&written, &expected, sizeof(written)), 0);

    // A scheme that cannot be read is not written.
    Sim.PowerPolicy().SetReadSchemeError(5);
    EXPECT_EQ(xp->WriteSchemeSleepState(SLEEP_STATE_S3), 3);
    ASSERT_TRUE(Sim.PowerPolicy().GetScheme(3, written));
    EXPECT_EQ(written.User.MaxSleepAc, 2u);
    Sim.PowerPolicy().SetReadSchemeError(0);
    Sim.PowerPolicy().SetWriteSchemeError(87);
    xp->WriteSchemeSleepState(SLEEP_STATE_S3);
    ASSERT_EQ(Boxes().size(), 2u);
    EXPECT_EQ(Boxes()[0].Text, "Access is denied.\r\n");
    EXPECT_EQ(Boxes()[0].Caption, "ReadPwrScheme");
    EXPECT_EQ(Boxes()[0].Style, MB_ICONINFORMATION);
    EXPECT_EQ(Boxes()[1].Text, "The parameter is incorrect.\r\n");
    EXPECT_EQ(Boxes()[1].Caption, "WritePwrScheme");
}

TEST_F(OSConfiguration, AdministratorOnlyWhenEveryStepOfTheAccessCheckSucceeds)
{
    struct cCase {
        eAccessCheckStep FailingStep;
        bool Administrator;
        bool Expected;
    };
    const cCase cases[] = {
        {eAccessCheckStep::None, true, true},
        {eAccessCheckStep::None, false, false},
        {eAccessCheckStep::OpenToken, true, false},
        {eAccessCheckStep::DuplicateToken, true, false},
        {eAccessCheckStep::BuildSid, true, false},
        {eAccessCheckStep::BuildDescriptor, true, false},
        {eAccessCheckStep::AccessCheck, true, false},
    };
    for (const cCase& c : cases) {
        SCOPED_TRACE(static_cast<int>(c.FailingStep));
        cSimWindows sim;
        sim.Security().SetAdministrator(c.Administrator);
        sim.Security().SetAccessCheckFailure(c.FailingStep);
        cXPConfiguration xp(sim.Get());
        EXPECT_EQ(xp.IsAdministrator(), c.Expected);
        EXPECT_EQ(xp.CheckAdministrator(), c.Expected);
        if (c.Expected) {
            EXPECT_TRUE(sim.Dialogs().Shown().empty());
        } else {
            ASSERT_EQ(sim.Dialogs().Shown().size(), 1u);
            EXPECT_EQ(sim.Dialogs().Shown()[0].Text,
                      "Changing this setting requires administrator rights.\rPlease logon using an administrator "
                      "account.\r\rAfter configuring, SLH will run on limited accounts.");
            EXPECT_EQ(sim.Dialogs().Shown()[0].Caption, "No administrator rights");
        }
    }

    // The check asks for the Administrators group, as Windows defines it.
    MakeXP();
    const cGroupAccessCheck& check = Sim.Security().LastAccessCheck();
    EXPECT_EQ(check.SubAuthorities[0], 32u);
    EXPECT_EQ(check.SubAuthorities[1], 544u);
    EXPECT_EQ(check.AceAccessMask, 3u);
    EXPECT_EQ(check.DesiredAccess, 1u);
    EXPECT_EQ(check.Mapping.Read, 1u);
    EXPECT_EQ(check.Mapping.Write, 2u);
    EXPECT_EQ(check.Mapping.Execute, 0u);
    EXPECT_EQ(check.Mapping.All, 3u);
}

TEST_F(OSConfiguration, SuspendHoldsTheShutdownPrivilegeAroundTheSleepCall)
{
    struct cCase {
        const char* Name;
        uint32_t TokenError, PrivilegeError;
        bool SleepWorks, Suspend, UseSystemPowerState;
        int Expected;
    };
    const cCase cases[] = {
        {"standby", 0, 0, true, true, false, 0},
        {"hibernate", 0, 0, true, false, false, 0},
        {"legacy standby", 0, 0, true, true, true, 0},
        {"no token", 5, 0, true, true, false, -1},
        {"no privilege", 0, 1300, true, true, false, -2},
        {"sleep refused", 0, 0, false, true, false, -3},
        {"legacy sleep refused", 0, 0, false, true, true, -3},
    };
    for (const cCase& c : cases) {
        SCOPED_TRACE(c.Name);
        cSimWindows sim;
        cXPConfiguration xp(sim.Get());
        sim.Security().SetOpenTokenError(c.TokenError);
        sim.Security().SetPrivilegeError(c.PrivilegeError);
        bool privilegeHeld = false;
        // A refused sleep leaves its error behind, for the caller to report.
        sim.PowerPolicy().SetSuspendHook([&](const cSimSuspendCall&) {
            privilegeHeld = sim.Security().IsPrivilegeEnabled("SeShutdownPrivilege");
            sim.Errors().SetLastError(c.SleepWorks ? 0 : 0x15);
            return c.SleepWorks;
        });
        sim.Security().SetSystemPowerStateHook([&](const cSimSystemPowerStateCall&) {
            privilegeHeld = sim.Security().IsPrivilegeEnabled("SeShutdownPrivilege");
            sim.Errors().SetLastError(c.SleepWorks ? 0 : 0x15);
            return c.SleepWorks;
        });

        EXPECT_EQ(xp.Suspend(c.Suspend, true, c.UseSystemPowerState), c.Expected);

        const bool called = c.TokenError == 0 && c.PrivilegeError == 0;
        const auto& suspends = sim.PowerPolicy().SuspendCalls();
        const auto& legacy = sim.Security().SystemPowerStateCalls();
        ASSERT_EQ(suspends.size(), called && !c.UseSystemPowerState ? 1u : 0u);
        ASSERT_EQ(legacy.size(), called && c.UseSystemPowerState ? 1u : 0u);
        if (!suspends.empty()) {
            EXPECT_EQ(suspends[0].Hibernate, !c.Suspend);
            EXPECT_TRUE(suspends[0].Force);
            EXPECT_FALSE(suspends[0].WakeEventsDisabled);
        }
        if (!legacy.empty()) {
            EXPECT_EQ(legacy[0].Suspend, c.Suspend);
            EXPECT_TRUE(legacy[0].Force);
        }
        EXPECT_EQ(privilegeHeld, called);
        // Released again whatever the outcome, a refused sleep included.
        EXPECT_FALSE(sim.Security().IsPrivilegeEnabled("SeShutdownPrivilege"));
        if (c.Expected == -3)
            EXPECT_EQ(sim.Errors().GetLastError(), 0x15u);
        EXPECT_EQ(sim.Security().OpenTokens(), 0);
    }
}

TEST_F(OSConfiguration, AutologonOpensTheUserAccountsPanelOutsideADomain)
{
    struct cCase {
        uint32_t JoinStatus, JoinError;
        const char* SystemDirectory;
        bool Opened;
        const char* Application;
    };
    const cCase cases[] = {
        {2, 0, "C:\\Windows\\system32", true, "C:\\Windows\\system32\\CMD.EXE"},
        {3, 0, "C:\\Windows\\system32", false, nullptr},
        {3, 2453, "C:\\Windows\\system32", true, "C:\\Windows\\system32\\CMD.EXE"},
        {2, 0, "", true, "c:\\windows\\system32\\CMD.EXE"},
    };
    for (const cCase& c : cases) {
        SCOPED_TRACE(std::to_string(c.JoinStatus) + " " + c.SystemDirectory);
        cSimWindows sim;
        cXPConfiguration xp(sim.Get());
        sim.Security().SetJoinStatus(c.JoinStatus, c.JoinError);
        sim.Processes().SetSystemDirectory(c.SystemDirectory);
        sim.Processes().AddProgram({"CMD.EXE", 0, 5000, "", 0});
        EXPECT_EQ(xp.ConfigureAutologon(), c.Opened);
        if (!c.Opened) {
            EXPECT_TRUE(sim.Processes().Launches().empty());
            continue;
        }
        ASSERT_EQ(sim.Processes().Launches().size(), 1u);
        const cSimLaunch& launch = sim.Processes().Launches()[0];
        EXPECT_EQ(launch.Application, c.Application);
        EXPECT_EQ(launch.CommandLine,
                  "placeholder /c start /wait rundll32.exe SHELL32.DLL,Control_RunDLL nusrmgr.cpl,,0");
        EXPECT_EQ(launch.Show, SHOW_SHOW);
        // Waited until the panel was closed.
        EXPECT_GE(sim.Clock().Now(), 5000u);
    }
}

TEST_F(OSConfiguration, TheClassFollowsTheWindowsVersionAndMediaCenter)
{
    struct cCase {
        uint32_t Major, Minor;
        uint8_t ProductType;
        bool MediaCenter;
        const char* Name;
        bool VistaFamily;
    };
    const cCase cases[] = {
        {5, 1, 1, false, "Windows XP", false},
        {5, 1, 1, true, "Windows XP MCE", false},
        {5, 2, 1, false, "Windows server 2003", false},
        {5, 2, 3, true, "Windows server 2003", false},
        {6, 0, 1, false, "Windows Vista", true},
        {6, 0, 1, true, "Windows Vista MC", true},
        {6, 1, 1, false, "Windows 7", true},
        {6, 1, 1, true, "Windows 7 MC", true},
        {5, 0, 1, false, "Windows XP", false},
    };
    for (const cCase& c : cases) {
        SCOPED_TRACE(std::to_string(c.Major) + "." + std::to_string(c.Minor) + (c.MediaCenter ? " MC" : ""));
        cSimWindows sim;
        cOsVersionRecord record;
        record.Major = c.Major;
        record.Minor = c.Minor;
        record.ProductType = c.ProductType;
        sim.System().SetVersionRecord(record);
        sim.System().SetSystemMetric(SYSTEM_METRIC_MEDIACENTER, c.MediaCenter ? 1 : 0);
        const cWindowsVersion version(sim.Get());
        std::unique_ptr<cOSConfiguration> os = CreateOSConfiguration(sim.Get(), version);
        ASSERT_NE(os, nullptr);
        EXPECT_EQ(os->GetName(), c.Name);
        EXPECT_EQ(dynamic_cast<cXPConfiguration*>(os.get()) != nullptr, !c.VistaFamily);
        EXPECT_EQ(dynamic_cast<cVistaConfiguration*>(os.get()) != nullptr, c.VistaFamily);
        // Only the Media Center editions have the background scanner.
        EXPECT_EQ(dynamic_cast<cVistaMCEConfiguration*>(os.get()) != nullptr, c.VistaFamily && c.MediaCenter);
        // Windows 7 manages its idle threshold itself.
        EXPECT_EQ(os->IsIdleThresholdAdjustable(), !(c.Major == 6 && c.Minor == 1));
        EXPECT_TRUE(sim.Dialogs().Shown().empty());
    }
}

}  // namespace
