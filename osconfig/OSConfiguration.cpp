#include "osconfig/OSConfiguration.h"

#include <algorithm>
#include <cstring>

#include "foundation/ApplicationLauncher.h"
#include "platform/WinConst.h"

namespace {

// The user sees these texts and quotes them in support requests: they stay
// exactly as they are, spelling included.
namespace Text {
constexpr const char* NAME_BASE = "Unidentified Windows version";
constexpr const char* NAME_XP = "Windows XP";
constexpr const char* NAME_XP_MCE = "Windows XP MCE";
constexpr const char* NAME_SERVER2003 = "Windows server 2003";

struct cSleepStateName {
    uint8_t State;
    const char* Short;
    const char* Long;
};
// Hybrid sleep has names only in the families that offer it.
constexpr cSleepStateName SLEEP_STATE_NAMES[] = {
    {SLEEP_STATE_UNSPECIFIED, "", "Unspecified"},
    {SLEEP_STATE_S1, "S1", "S1 - Standby"},
    {SLEEP_STATE_S2, "S2", "S2 - Standby"},
    {SLEEP_STATE_S3, "S3", "S3 - Standby"},
    {SLEEP_STATE_S4, "S4", "S4 - Hibernate"},
};
constexpr const char* UNKNOWN_STATE = "??";

constexpr const char* CAPTION_ERROR = "Error";
constexpr const char* CAPTION_POWRPROF = "powrprof.dll";
constexpr const char* CAPTION_NO_ADMINISTRATOR = "No administrator rights";
constexpr const char* CAPTION_READ_SCHEME = "ReadPwrScheme";
constexpr const char* CAPTION_WRITE_SCHEME = "WritePwrScheme";

constexpr const char* CANNOT_LOAD_DLL = "Cannot load dll.";
constexpr const char* GET_PROC_ADDRESS_FAILED = "GetProcAddress failed.";

// By status: access denied, buffer too small, anything else.
constexpr const char* READ_CAPABILITIES[] = {
    "Reading power capabilities failed, you need administrator rights for this!",
    "Reading power capabilities failed, buffer too small.",
    "Reading power capabilities failed, unknown error.",
};
constexpr const char* READ_POWER_INFORMATION[] = {
    "Reading PowerInformation failed, you need administrator rights for this!",
    "Reading PowerInformation failed, buffer too small.",
    "Reading PowerInformation failed, unknown error.",
};
constexpr const char* READ_POWER_POLICY[] = {
    "Reading power policy failed, you need administrator rights for this!",
    "Reading power policy failed, buffer too small.",
    "Reading power policy failed, unknown error.",
};
constexpr const char* WRITE_POWER_POLICY[] = {
    "Writing power policy failed, you need administrator rights for this!",
    "Writing power policy failed, buffer too small.",
    "Writing power policy failed, unknown error.",
};

constexpr const char* INSTALL_FIX_FAILED = "Installing the fix failed, unsufficient rights?";
constexpr const char* REMOVE_FIX_FAILED = "Removing the fix failed, unsufficient rights?";
constexpr const char* REMOVE_USBBIOSHACKS_FAILED = "Removing USBBIOSHACKS failed, unsufficient rights?";
constexpr const char* REMOVE_SELECTIVE_SUSPEND_FAILED =
    "Removing DisableSelectiveSuspend failed, unsufficient rights?";
constexpr const char* REMOVE_FORCE_ENUMERATION_FAILED =
    "Removing DisableForceEnumeration failed, unsufficient rights?";

// For an error the system has no text for.
constexpr const char* ERROR_CODE = "Error ";

constexpr const char* NO_ACTIVE_SCHEME = "Unable to get active power scheme.";
constexpr const char* RELOAD_SCHEME_FAILED = "Reloading active power scheme failed.";

constexpr const char* NO_ADMINISTRATOR =
    "Changing this setting requires administrator rights.\rPlease logon using an administrator account.\r\r"
    "After configuring, SLH will run on limited accounts.";

constexpr const char* POWERCFG = "powercfg.exe";
constexpr const char* HIBERNATE_ON = "/hibernate on";
constexpr const char* HIBERNATE_OFF = "/hibernate off";
constexpr const char* RESUME_PASSWORD_ON = "/GLOBALPOWERFLAG on /OPTION RESUMEPASSWORD";
constexpr const char* RESUME_PASSWORD_OFF = "/GLOBALPOWERFLAG off /OPTION RESUMEPASSWORD";
constexpr const char* USER_ACCOUNTS_SHELL = "\\CMD.EXE";
constexpr const char* USER_ACCOUNTS_PARAMETERS =
    "/c start /wait rundll32.exe SHELL32.DLL,Control_RunDLL nusrmgr.cpl,,0";
constexpr const char* DEFAULT_SYSTEM_DIRECTORY = "c:\\windows\\system32";
constexpr const char* SHUTDOWN_PRIVILEGE = "SeShutdownPrivilege";
}  // namespace Text

// Looked up in this order; the order of cOSConfiguration::ePowerFunction.
constexpr const char* POWER_FUNCTION_NAMES[] = {
    "SetSuspendState", "CallNtPowerInformation", "GetActivePwrScheme",
    "SetActivePwrScheme", "ReadPwrScheme", "WritePwrScheme",
};

constexpr const char* USB_KEY = "SYSTEM\\CurrentControlSet\\Services\\usb";
constexpr const char* AWAY_MODE_KEY = "SYSTEM\\CurrentControlSet\\Services\\ARSVC\\Parameters";
constexpr const char* BALLOON_TIPS_KEY = "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Advanced";
constexpr const char* BALLOON_TIPS_VALUE = "EnableBalloonTips";
constexpr const char* USBBIOSX_VALUE = "USBBIOSx";
constexpr const char* USBBIOSHACKS_VALUE = "USBBIOSHACKS";
constexpr const char* SELECTIVE_SUSPEND_VALUE = "DisableSelectiveSuspend";
constexpr const char* FORCE_ENUMERATION_VALUE = "DisableForceEnumeration";
constexpr const char* AWAY_MODE_VALUE = "Disable";

constexpr uint16_t HIDDEN_SHELL_COMMAND = 0x03;  // ALF_COMMAND_SHELL | ALF_HIDDEN
constexpr int32_t POWERCFG_TIMEOUT = 30000;
constexpr int32_t USER_ACCOUNTS_PROCESS_TIMEOUT = 10000;

// NETSETUP_JOIN_STATUS of a machine joined to a domain.
constexpr uint32_t JOINED_TO_DOMAIN = 3;

// The idle sensitivity of the XP policies, in percent.
constexpr int IDLE_SENSITIVITY_STEP = 3;
constexpr int IDLE_SENSITIVITY_MAX = 90;
constexpr int IDLE_SENSITIVITY_MIN = 1;
constexpr int IDLE_SENSITIVITY_DEFAULT = 50;

// The idle timeout a sleep state needs when the policy had none.
constexpr uint32_t DEFAULT_IDLE_TIMEOUT = 3600;

const char* TextForStatus(const char* const (&texts)[3], uint32_t status)
{
    if (status == POWER_STATUS_ACCESS_DENIED)
        return texts[0];
    if (status == POWER_STATUS_BUFFER_TOO_SMALL)
        return texts[1];
    return texts[2];
}

}  // namespace

// ---------------------------------------------------------------------------
// cOSConfiguration

cOSConfiguration::cOSConfiguration(cPlatform& platform) : Platform(platform), Name(Text::NAME_BASE)
{
    Library = Platform.PowerPolicy.LoadPowerLibrary();
    if (!Library) {
        ShowMessage(Text::CANNOT_LOAD_DLL, Text::CAPTION_POWRPROF);
        return;
    }
    bool all = true;
    for (int index = 0; index < POWER_FUNCTION_COUNT; ++index) {
        Functions[index] = Library->HasFunction(POWER_FUNCTION_NAMES[index]);
        all = all && Functions[index];
    }
    if (!all) {
        ShowMessage(Text::GET_PROC_ADDRESS_FAILED, Text::CAPTION_POWRPROF);
        return;
    }

    const uint32_t status =
        Library->CallNtPowerInformation(POWER_INFO_CAPABILITIES, nullptr, 0, &Capabilities, sizeof(Capabilities));
    if (status != POWER_STATUS_SUCCESS) {
        ShowMessage(TextForStatus(Text::READ_CAPABILITIES, status), Text::CAPTION_ERROR);
        // No sleep state counts as supported then.
        Capabilities = {};
        return;
    }
    // The base class's check: a family's own override is not reachable
    // from here, and none is meant to differ.
    Administrator = IsAdministrator();
    SelectiveSuspendDisabledAtStart = false;
    BalloonTipsAtStart = IsBalloonTipsEnabled();
}

cOSConfiguration::~cOSConfiguration() = default;

int cOSConfiguration::ShowMessage(const std::string& text, const std::string& caption, uint32_t style)
{
    return Platform.Dialogs.MessageBox(text, caption, MB_OK | style);
}

bool cOSConfiguration::HasPowerFunction(ePowerFunction function) const
{
    return Library && Functions[static_cast<int>(function)];
}

bool cOSConfiguration::IsSleepStateSupported(uint8_t state)
{
    switch (state) {
    case SLEEP_STATE_S1:
        return Capabilities.SystemS1 != 0;
    case SLEEP_STATE_S2:
        return Capabilities.SystemS2 != 0;
    case SLEEP_STATE_S3:
        return Capabilities.SystemS3 != 0;
    case SLEEP_STATE_S4:
        return Capabilities.SystemS4 != 0;
    default:
        return false;
    }
}

bool cOSConfiguration::IsSleepStateOffered(uint8_t state)
{
    return IsSleepStateSupported(state);
}

std::string cOSConfiguration::GetSleepStateShortName(uint8_t state)
{
    for (const auto& name : Text::SLEEP_STATE_NAMES)
        if (name.State == state)
            return name.Short;
    return Text::UNKNOWN_STATE;
}

std::string cOSConfiguration::GetSleepStateName(uint8_t state)
{
    for (const auto& name : Text::SLEEP_STATE_NAMES)
        if (name.State == state)
            return name.Long;
    return Text::UNKNOWN_STATE;
}

// A power record's state above 255 names no sleep state; cutting it to a
// byte would name the wrong one.
std::string cOSConfiguration::GetPowerStateName(uint32_t powerState)
{
    return powerState <= 0xFF ? GetSleepStateName(static_cast<uint8_t>(powerState)) : Text::UNKNOWN_STATE;
}

std::string cOSConfiguration::GetPowerStateShortName(uint32_t powerState)
{
    return powerState <= 0xFF ? GetSleepStateShortName(static_cast<uint8_t>(powerState)) : Text::UNKNOWN_STATE;
}

bool cOSConfiguration::IsRebootRequired()
{
    return IsBalloonTipsEnabled() != BalloonTipsAtStart;
}

bool cOSConfiguration::HasUnattendedSleepTimeout()
{
    return false;
}

int32_t cOSConfiguration::GetUnattendedSleepTimeout()
{
    return 0;
}

void cOSConfiguration::SetUnattendedSleepTimeout(int32_t) {}

bool cOSConfiguration::CheckAdministrator()
{
    if (!Administrator)
        ShowMessage(Text::NO_ADMINISTRATOR, Text::CAPTION_NO_ADMINISTRATOR);
    return Administrator;
}

bool cOSConfiguration::IsAdministrator()
{
    cGroupAccessCheck check;
    check.SubAuthorities[0] = 32;   // SECURITY_BUILTIN_DOMAIN_RID
    check.SubAuthorities[1] = 544;  // DOMAIN_ALIAS_RID_ADMINS
    check.AceAccessMask = 3;        // read | write of the mapping below
    check.DesiredAccess = 1;
    check.Mapping = {1, 2, 0, 3};
    const cAccessCheckResult result = Platform.Security.CheckGroupAccess(check);
    return result.FailedStep == eAccessCheckStep::None && result.Granted;
}

void cOSConfiguration::IncreaseIdleThreshold() {}

void cOSConfiguration::DecreaseIdleThreshold() {}

bool cOSConfiguration::IsIdleThresholdMax()
{
    return false;
}

bool cOSConfiguration::IsIdleThresholdMin()
{
    return false;
}

void cOSConfiguration::ResetIdleThreshold() {}

int cOSConfiguration::Suspend(bool suspend, bool force, bool useSystemPowerState)
{
    std::unique_ptr<cPrivilegeToken> token = Platform.Security.OpenPrivilegeToken();
    if (!token)
        return -1;
    if (token->SetPrivilege(Text::SHUTDOWN_PRIVILEGE, true) != 0)
        return -2;
    const bool slept = useSystemPowerState ? Platform.Security.SetSystemPowerState(suspend, force)
                                           : SetSuspendState(!suspend, force, false);
    // Released whatever the call did: a refused sleep must not leave the
    // privilege enabled for everything else this process does. The caller
    // reports the sleep call's error, which the release would overwrite.
    const uint32_t sleepError = Platform.Errors.GetLastError();
    token->SetPrivilege(Text::SHUTDOWN_PRIVILEGE, false);
    Platform.Errors.SetLastError(sleepError);
    return slept ? 0 : -3;
}

bool cOSConfiguration::SetSuspendState(bool hibernate, bool force, bool wakeEventsDisabled)
{
    if (!HasPowerFunction(ePowerFunction::SetSuspendState))
        return false;
    return Library->SetSuspendState(hibernate, force, wakeEventsDisabled);
}

bool cOSConfiguration::CallPowerInformation(int level, const void* input, uint32_t inputLength, void* output,
                                            uint32_t outputLength, bool showFailure)
{
    if (output != nullptr)
        std::memset(output, 0, outputLength);
    if (!HasPowerFunction(ePowerFunction::CallNtPowerInformation))
        return false;
    const uint32_t status = Library->CallNtPowerInformation(level, input, inputLength, output, outputLength);
    if (status == POWER_STATUS_SUCCESS)
        return true;
    if (showFailure)
        ShowMessage(TextForStatus(Text::READ_POWER_INFORMATION, status), Text::CAPTION_ERROR);
    return false;
}

bool cOSConfiguration::ReadPolicy(int level, cSystemPowerPolicy& policy)
{
    policy = {};
    return HasPowerFunction(ePowerFunction::CallNtPowerInformation) &&
           Library->CallNtPowerInformation(level, nullptr, 0, &policy, sizeof(policy)) == POWER_STATUS_SUCCESS;
}

bool cOSConfiguration::WritePolicy(int level, const cSystemPowerPolicy& policy)
{
    return HasPowerFunction(ePowerFunction::CallNtPowerInformation) &&
           Library->CallNtPowerInformation(level, &policy, sizeof(policy), nullptr, 0) == POWER_STATUS_SUCCESS;
}

bool cOSConfiguration::GetActiveScheme(uint32_t& index)
{
    return HasPowerFunction(ePowerFunction::GetActivePwrScheme) && Library->GetActivePwrScheme(index);
}

bool cOSConfiguration::SetActiveScheme(uint32_t index)
{
    return HasPowerFunction(ePowerFunction::SetActivePwrScheme) && Library->SetActivePwrScheme(index);
}

bool cOSConfiguration::WriteAdministratorPolicy(uint32_t minimum, uint32_t maximum)
{
    if (!HasPowerFunction(ePowerFunction::CallNtPowerInformation))
        return false;
    cAdministratorPowerPolicy policy{};
    uint32_t status =
        Library->CallNtPowerInformation(POWER_INFO_ADMINISTRATOR_POLICY, nullptr, 0, &policy, sizeof(policy));
    if (status != POWER_STATUS_SUCCESS) {
        ShowMessage(TextForStatus(Text::READ_POWER_POLICY, status), Text::CAPTION_ERROR);
        return false;
    }
    policy.MinSleep = minimum;
    policy.MaxSleep = maximum;
    status = Library->CallNtPowerInformation(POWER_INFO_ADMINISTRATOR_POLICY, &policy, sizeof(policy), nullptr, 0);
    if (status != POWER_STATUS_SUCCESS) {
        ShowMessage(TextForStatus(Text::WRITE_POWER_POLICY, status), Text::CAPTION_ERROR);
        return false;
    }
    return true;
}

// powercfg's exit code tells nothing useful on every Windows version, so it
// is not looked at; the wait only keeps the next step from overtaking it.
bool cOSConfiguration::SetHibernation(bool on)
{
    cApplicationLauncher powercfg(Platform, Text::POWERCFG, HIDDEN_SHELL_COMMAND);
    if (powercfg.Launch(on ? Text::HIBERNATE_ON : Text::HIBERNATE_OFF))
        powercfg.WaitForExit(POWERCFG_TIMEOUT);
    return true;
}

bool cOSConfiguration::SetResumePassword(bool on)
{
    cApplicationLauncher powercfg(Platform, Text::POWERCFG, HIDDEN_SHELL_COMMAND);
    if (powercfg.Launch(on ? Text::RESUME_PASSWORD_ON : Text::RESUME_PASSWORD_OFF))
        powercfg.WaitForExit(POWERCFG_TIMEOUT);
    return true;
}

bool cOSConfiguration::IsBalloonTipsEnabled()
{
    uint32_t enabled = 1;
    if (!ReadDword(eHive::CurrentUser, BALLOON_TIPS_KEY, BALLOON_TIPS_VALUE, enabled))
        return true;
    return enabled != 0;
}

void cOSConfiguration::SetBalloonTips(bool on)
{
    if (!WriteDword(eHive::CurrentUser, BALLOON_TIPS_KEY, BALLOON_TIPS_VALUE, on ? 1 : 0))
        ShowMessage(Text::INSTALL_FIX_FAILED, Text::CAPTION_ERROR);
}

int32_t cOSConfiguration::WriteSchemeSleepState(uint8_t state)
{
    uint32_t index = 0;
    if (!HasPowerFunction(ePowerFunction::ReadPwrScheme) || !HasPowerFunction(ePowerFunction::WritePwrScheme) ||
        !GetActiveScheme(index))
        return -1;
    auto showLastError = [this](const char* caption) {
        const uint32_t error = Platform.Errors.GetLastError();
        std::string text;
        if (!Platform.Errors.FormatMessage(error, text))
            text = Text::ERROR_CODE + std::to_string(error);
        ShowMessage(text, caption, MB_ICONINFORMATION);
    };
    cPowerSchemePolicy policy{};
    // A scheme that could not be read is not written back: that would
    // overwrite it with zeros.
    if (!Library->ReadPwrScheme(index, policy)) {
        showLastError(Text::CAPTION_READ_SCHEME);
        return static_cast<int32_t>(index);
    }
    policy.User.MaxSleepAc = state;
    policy.User.MaxSleepDc = state;
    policy.Machine.MinSleepAc = state;
    policy.Machine.MinSleepDc = state;
    policy.Machine.ReducedLatencySleepAc = state;
    policy.Machine.ReducedLatencySleepDc = state;
    if (!Library->WritePwrScheme(index, policy))
        showLastError(Text::CAPTION_WRITE_SCHEME);
    return static_cast<int32_t>(index);
}

bool cOSConfiguration::ReadDword(eHive hive, const std::string& key, const std::string& name, uint32_t& data)
{
    cRegistryValue value;
    if (Platform.Registry.ReadValue(hive, key, name, value) != REGRESULT_SUCCESS || value.Type != REGTYPE_DWORD ||
        value.Data.size() != sizeof(data))
        return false;
    std::memcpy(&data, value.Data.data(), sizeof(data));
    return true;
}

bool cOSConfiguration::ValueExists(eHive hive, const std::string& key, const std::string& name)
{
    cRegistryValue value;
    return Platform.Registry.ReadValue(hive, key, name, value) == REGRESULT_SUCCESS;
}

bool cOSConfiguration::WriteDword(eHive hive, const std::string& key, const std::string& name, uint32_t data)
{
    cRegistryValue value;
    value.Type = REGTYPE_DWORD;
    value.Data.resize(sizeof(data));
    std::memcpy(value.Data.data(), &data, sizeof(data));
    return Platform.Registry.WriteValue(hive, key, name, value) == REGRESULT_SUCCESS;
}

void cOSConfiguration::SetRegistryFix(const std::string& key, const std::string& name, bool install, uint32_t value,
                                      const char* removalFailedText)
{
    if (install) {
        if (!WriteDword(eHive::LocalMachine, key, name, value))
            ShowMessage(Text::INSTALL_FIX_FAILED, Text::CAPTION_ERROR);
        return;
    }
    if (ValueExists(eHive::LocalMachine, key, name) &&
        Platform.Registry.DeleteValue(eHive::LocalMachine, key, name) != REGRESULT_SUCCESS)
        ShowMessage(removalFailedText, Text::CAPTION_ERROR);
}

// ---------------------------------------------------------------------------
// cXPConfiguration

cXPConfiguration::cXPConfiguration(cPlatform& platform) : cOSConfiguration(platform)
{
    Name = Text::NAME_XP;
    LoadPowerFunctions(Library.get());
    UsbBiosXAtStart = IsUsbBiosXInstalled();
    UsbBiosHacksAtStart = IsUsbBiosHacksInstalled();
    SelectiveSuspendDisabledAtStart = IsSelectiveSuspendDisabled();
    ForceEnumerationDisabledAtStart = IsForceEnumerationDisabled();
    AwayModeAtStart = GetAwayMode();
}

void cXPConfiguration::LoadPowerFunctions(cPowerLibrary*) {}

bool cXPConfiguration::ApplySleepState(uint8_t state)
{
    uint32_t sleepState = SLEEP_STATE_S3;
    ePowerAction action = ePowerAction::Sleep;
    bool hibernation = false;
    switch (state) {
    case SLEEP_STATE_S1:
    case SLEEP_STATE_S2:
        sleepState = state;
        break;
    case SLEEP_STATE_S4:
        sleepState = SLEEP_STATE_S4;
        action = ePowerAction::Hibernate;
        hibernation = true;
        break;
    default:
        // The USB fix that many XP machines need to resume from S3.
        SetUsbBiosX(true);
        break;
    }

    WriteAdministratorPolicy(sleepState, sleepState);
    SetHibernation(hibernation);
    SetSelectiveSuspendDisabled(true);
    SetResumePassword(false);

    constexpr uint32_t QUERY_AND_UI = POWER_ACTION_FLAG_QUERY_ALLOWED | POWER_ACTION_FLAG_UI_ALLOWED;
    for (int level : {POWER_INFO_POLICY_AC, POWER_INFO_POLICY_DC}) {
        cSystemPowerPolicy policy;
        // A policy that could not be read is not written back: that would
        // overwrite it with zeros.
        if (!CallPowerInformation(level, nullptr, 0, &policy, sizeof(policy)))
            continue;
        policy.MinSleep = sleepState;
        policy.MaxSleep = sleepState;
        policy.ReducedLatencySleep = sleepState;
        // A power button set to do nothing stays so: the user wants it that way.
        if (policy.PowerButton.Action != ePowerAction::None)
            policy.PowerButton = {action, QUERY_AND_UI, 0};
        policy.SleepButton = {action, QUERY_AND_UI, 0};
        policy.Idle = {action, level == POWER_INFO_POLICY_AC ? POWER_ACTION_FLAG_QUERY_ALLOWED : 0u, 0};
        if (policy.IdleTimeout == 0)
            policy.IdleTimeout = DEFAULT_IDLE_TIMEOUT;
        policy.WinLogonFlags = 0;  // no password prompt at resume
        policy.VideoTimeout = 0;   // the display is never switched off
        CallPowerInformation(level, &policy, sizeof(policy), nullptr, 0);
    }
    return true;
}

bool cXPConfiguration::IsRebootRequired()
{
    if (IsUsbBiosXInstalled() != UsbBiosXAtStart || GetAwayMode() != AwayModeAtStart ||
        IsUsbBiosHacksInstalled() != UsbBiosHacksAtStart ||
        IsSelectiveSuspendDisabled() != SelectiveSuspendDisabledAtStart ||
        IsForceEnumerationDisabled() != ForceEnumerationDisabledAtStart)
        return true;
    return cOSConfiguration::IsRebootRequired();
}

bool cXPConfiguration::IsUsbBiosXInstalled()
{
    return ValueExists(eHive::LocalMachine, USB_KEY, USBBIOSX_VALUE);
}

void cXPConfiguration::SetUsbBiosX(bool install)
{
    SetRegistryFix(USB_KEY, USBBIOSX_VALUE, install, 0, Text::REMOVE_FIX_FAILED);
}

bool cXPConfiguration::IsUsbBiosHacksInstalled()
{
    return ValueExists(eHive::LocalMachine, USB_KEY, USBBIOSHACKS_VALUE);
}

void cXPConfiguration::SetUsbBiosHacks(bool install)
{
    SetRegistryFix(USB_KEY, USBBIOSHACKS_VALUE, install, 0, Text::REMOVE_USBBIOSHACKS_FAILED);
}

bool cXPConfiguration::IsSelectiveSuspendDisabled()
{
    uint32_t value = 0;
    return ReadDword(eHive::LocalMachine, USB_KEY, SELECTIVE_SUSPEND_VALUE, value) && value != 0;
}

void cXPConfiguration::SetSelectiveSuspendDisabled(bool disabled)
{
    SetRegistryFix(USB_KEY, SELECTIVE_SUSPEND_VALUE, disabled, 1, Text::REMOVE_SELECTIVE_SUSPEND_FAILED);
}

bool cXPConfiguration::IsForceEnumerationDisabled()
{
    uint32_t value = 0;
    return ReadDword(eHive::LocalMachine, USB_KEY, FORCE_ENUMERATION_VALUE, value) && value != 0;
}

void cXPConfiguration::SetForceEnumerationDisabled(bool disabled)
{
    SetRegistryFix(USB_KEY, FORCE_ENUMERATION_VALUE, disabled, 1, Text::REMOVE_FORCE_ENUMERATION_FAILED);
}

// Away mode on XP exists only with the Media Center away-mode service.
uint32_t cXPConfiguration::GetAwayModeOptions()
{
    return Platform.Registry.KeyExists(eHive::LocalMachine, AWAY_MODE_KEY) ? AWAY_MODE_NEVER | AWAY_MODE_ALWAYS
                                                                          : AWAY_MODE_NOT_SUPPORTED;
}

uint32_t cXPConfiguration::GetAwayMode()
{
    if (GetAwayModeOptions() == AWAY_MODE_NOT_SUPPORTED)
        return AWAY_MODE_NOT_SUPPORTED;
    uint32_t disable = 1;
    return ReadDword(eHive::LocalMachine, AWAY_MODE_KEY, AWAY_MODE_VALUE, disable) && disable == 0 ? AWAY_MODE_ALWAYS
                                                                                            : AWAY_MODE_NEVER;
}

// Without the service's key there is nothing to set: writing the value would
// create the key and make away mode look supported.
bool cXPConfiguration::SetAwayMode(uint32_t option)
{
    if (GetAwayModeOptions() == AWAY_MODE_NOT_SUPPORTED)
        return false;
    if (!WriteDword(eHive::LocalMachine, AWAY_MODE_KEY, AWAY_MODE_VALUE, option == AWAY_MODE_NEVER ? 1 : 0)) {
        ShowMessage(Text::INSTALL_FIX_FAILED, Text::CAPTION_ERROR);
        return false;
    }
    ReloadActivePowerScheme();
    return true;
}

bool cXPConfiguration::ReloadActivePowerScheme()
{
    if (!HasPowerFunction(ePowerFunction::GetActivePwrScheme) ||
        !HasPowerFunction(ePowerFunction::SetActivePwrScheme))
        return false;
    uint32_t index = 0;
    if (!GetActiveScheme(index)) {
        ShowMessage(Text::NO_ACTIVE_SCHEME, Text::CAPTION_ERROR);
        return false;
    }
    if (!SetActiveScheme(index)) {
        ShowMessage(Text::RELOAD_SCHEME_FAILED, Text::CAPTION_ERROR);
        return false;
    }
    return true;
}

int cXPConfiguration::ReadIdleSensitivity()
{
    cSystemPowerPolicy policy;
    return ReadPolicy(POWER_INFO_POLICY_AC, policy) ? policy.IdleSensitivity : -1;
}

void cXPConfiguration::WriteIdleSensitivity(int value)
{
    for (int level : {POWER_INFO_POLICY_AC, POWER_INFO_POLICY_DC}) {
        cSystemPowerPolicy policy;
        if (!ReadPolicy(level, policy))
            continue;
        policy.IdleSensitivity = static_cast<uint8_t>(value);
        WritePolicy(level, policy);
    }
}

void cXPConfiguration::IncreaseIdleThreshold()
{
    const int current = ReadIdleSensitivity();
    if (current >= 0)
        WriteIdleSensitivity(std::min(current + IDLE_SENSITIVITY_STEP, IDLE_SENSITIVITY_MAX));
}

void cXPConfiguration::DecreaseIdleThreshold()
{
    const int current = ReadIdleSensitivity();
    if (current >= 0)
        WriteIdleSensitivity(std::max(current - IDLE_SENSITIVITY_STEP, IDLE_SENSITIVITY_MIN));
}

bool cXPConfiguration::IsIdleThresholdMax()
{
    return ReadIdleSensitivity() == IDLE_SENSITIVITY_MAX;
}

bool cXPConfiguration::IsIdleThresholdMin()
{
    return ReadIdleSensitivity() == IDLE_SENSITIVITY_MIN;
}

void cXPConfiguration::ResetIdleThreshold()
{
    WriteIdleSensitivity(IDLE_SENSITIVITY_DEFAULT);
}

bool cXPConfiguration::ConfigureAutologon()
{
    // Automatic logon into a domain account is not set up with this tool.
    uint32_t joinStatus = 0;
    if (Platform.Security.GetJoinStatus(joinStatus) && joinStatus == JOINED_TO_DOMAIN)
        return false;
    std::string systemDirectory;
    if (!Platform.Processes.GetSystemDirectory(systemDirectory))
        systemDirectory = Text::DEFAULT_SYSTEM_DIRECTORY;
    cApplicationLauncher userAccounts(Platform, systemDirectory + Text::USER_ACCOUNTS_SHELL, 0);
    if (userAccounts.Launch(Text::USER_ACCOUNTS_PARAMETERS)) {
        userAccounts.WaitForExit(0);
        userAccounts.WaitForProcess(USER_ACCOUNTS_PROCESS_TIMEOUT);
    }
    return true;
}

// ---------------------------------------------------------------------------
// The XP variants differ only in their names.

cXPMCEConfiguration::cXPMCEConfiguration(cPlatform& platform) : cXPConfiguration(platform)
{
    Name = Text::NAME_XP_MCE;
}

cServer2003Configuration::cServer2003Configuration(cPlatform& platform) : cXPConfiguration(platform)
{
    Name = Text::NAME_SERVER2003;
}
