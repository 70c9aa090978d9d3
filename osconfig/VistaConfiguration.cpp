#include "osconfig/VistaConfiguration.h"

#include "foundation/ApplicationLauncher.h"
#include "platform/PowerSettings.h"
#include "targets/MediaCenterContract.h"

namespace {

// The user sees these texts and quotes them in support requests: they stay
// exactly as they are, spelling included.
namespace Text {
constexpr const char* NAME_VISTA = "Windows Vista";
constexpr const char* NAME_VISTA_MC = "Windows Vista MC";
constexpr const char* NAME_WINDOWS7 = "Windows 7";
constexpr const char* NAME_WINDOWS7_MC = "Windows 7 MC";

constexpr const char* HYBRID_SHORT = "S3+4";
constexpr const char* HYBRID_LONG = "S3+4 - Hybrid sleep";

constexpr const char* CAPTION_POWRPROF = "powrprof.dll";
constexpr const char* GET_PROC_ADDRESS_FAILED = "GetProcAddress failed.";
constexpr const char* CAPTION_DESCRIPTION = "PowerReadDescription";
constexpr const char* DESCRIPTION_FAILED = "FAILED!";
constexpr const char* CAPTION_APPLY_FAILED = "Error!";
constexpr const char* APPLY_FAILED = "Failed to set PowerValue.";
constexpr const char* CAPTION_AWAY_MODE = "Away mode";
constexpr const char* CAPTION_ALLOW_PREVENT_SLEEP = "Allow prevent sleep";
constexpr const char* READ_AC_FAILED = "PowerReadACValueIndex failed";
constexpr const char* WRITE_AC_FAILED = "PowerWriteACValueIndex failed";
constexpr const char* WRITE_DC_FAILED = "PowerWriteDCValueIndex failed";
constexpr const char* CAPTION_ERROR = "Error";
constexpr const char* INSTALL_FIX_FAILED = "Installing the fix failed, unsufficient rights?";
constexpr const char* CAPTION_NO_ADMINISTRATOR = "No administrator rights";
constexpr const char* NO_ADMINISTRATOR =
    "Changing this setting requires administrator rights.\r\rPlease start SLH by right-clicking the executable\r"
    "or shortcut and choose \"Run as administrator\".";

constexpr const char* POWERCFG = "powercfg.exe";
constexpr const char* HYBRID_AC = "-setacvalueindex SCHEME_CURRENT SUB_SLEEP 94ac6d29-73ce-41a6-809f-6363ba21b47e ";
constexpr const char* HYBRID_DC = "-setdcvalueindex SCHEME_CURRENT SUB_SLEEP 94ac6d29-73ce-41a6-809f-6363ba21b47e ";
constexpr const char* SET_ACTIVE = "-setactive SCHEME_CURRENT";
constexpr const char* NETPLWIZ = "\\Netplwiz.exe";
}  // namespace Text

// Looked up at construction; all of them or the object works without.
constexpr const char* POWER_SETTING_FUNCTIONS[] = {
    "PowerWriteACValueIndex", "PowerWriteDCValueIndex", "PowerReadACValueIndex", "PowerReadDCValueIndex",
    "PowerReadDescription",   "PowerGetActiveScheme",   "PowerSetActiveScheme",
};

constexpr uint32_t ERROR_PROC_NOT_FOUND_CODE = 127;

constexpr const char* HIDUSB_KEY = "SYSTEM\\CurrentControlSet\\Services\\HidUsb";
constexpr const char* FAST_RESUME_VALUE = "FastResumeDisable";
// The USB host controller class; its instances are the subkeys "0000" ...
constexpr const char* HOST_CONTROLLER_CLASS_KEY =
    "SYSTEM\\CurrentControlSet\\Control\\Class\\{36FC9E60-C465-11CF-8056-444553540000}";
constexpr const char* CONTROLLER_VALUE = "Controller";
constexpr const char* HC_RESET_VALUE = "ForceHCResetOnResume";
// 3, not 0, switches the reset off: the driver reads 0 as "not set".
constexpr uint32_t HC_RESET_ON = 1;
constexpr uint32_t HC_RESET_OFF = 3;
constexpr const char* POWER_KEY = "System\\CurrentControlSet\\Control\\Session Manager\\Power";
constexpr const char* AWAY_MODE_ENABLED_VALUE = "AwayModeEnabled";

constexpr uint16_t HIDDEN_SHELL_COMMAND = ALF_COMMAND_SHELL | ALF_HIDDEN;
constexpr int32_t POWERCFG_TIMEOUT = 30000;

// Power-setting values.
constexpr uint32_t ACTION_SLEEP = 1;
constexpr uint32_t ACTION_HIBERNATE = 2;
constexpr uint32_t START_MENU_SLEEP = 0;
constexpr uint32_t START_MENU_HIBERNATE = 1;
constexpr uint32_t DEFAULT_SLEEP_TIMEOUT = 3600;
constexpr uint32_t NEVER = 0;
constexpr uint32_t UNATTENDED_SLEEP_TIMEOUT = 360;
constexpr uint32_t TIMEOUT_MAXIMUM = 0xFFFFFFFF;
constexpr int32_t TIMEOUT_MAXIMUM_CODE = -2;
constexpr uint32_t PERSONALITY_POWER_SAVER = 1;
constexpr uint32_t IDLE_THRESHOLD_MAX = 100;
constexpr uint32_t IDLE_THRESHOLD_MIN = 0;
constexpr uint32_t IDLE_THRESHOLD_DEFAULT = 80;
constexpr uint32_t DESCRIPTION_BUFFER_SIZE = 500;

constexpr int BACKGROUND_SCAN_NOT_SET = 99;

// NETSETUP_JOIN_STATUS of a machine joined to a domain.
constexpr uint32_t JOINED_TO_DOMAIN = 3;

}  // namespace

// ---------------------------------------------------------------------------
// cVistaConfiguration

cVistaConfiguration::cVistaConfiguration(cPlatform& platform) : cOSConfiguration(platform)
{
    Name = Text::NAME_VISTA;
    LoadPowerFunctions(Library.get());
    if (PowerSettingFunctions)
        ProbeDescription();
    SelectiveSuspendDisabledAtStart = IsSelectiveSuspendDisabled();
    FastResumeDisabledAtStart = IsFastResumeDisabled();
    ForceHcResetAtStart = IsForceHcResetOnResume();
}

void cVistaConfiguration::LoadPowerFunctions(cPowerLibrary* library)
{
    PowerSettingFunctions = false;
    if (library == nullptr)
        return;
    for (const char* name : POWER_SETTING_FUNCTIONS)
        if (!library->HasFunction(name)) {
            ShowMessage(Text::GET_PROC_ADDRESS_FAILED, Text::CAPTION_POWRPROF);
            return;
        }
    PowerSettingFunctions = true;
}

// Tells the user at once when the power settings cannot be read at all; the
// text itself is not used.
void cVistaConfiguration::ProbeDescription()
{
    cGuid scheme{};
    uint32_t result = Library->PowerGetActiveScheme(scheme);
    if (result == 0) {
        uint8_t buffer[DESCRIPTION_BUFFER_SIZE] = {};
        uint32_t size = sizeof(buffer);
        result = Library->PowerReadDescription(scheme, POWER_SUBGROUP_SLEEP, POWER_SETTING_HYBRID_SLEEP, buffer, size);
    }
    if (result != 0)
        ShowMessage(Text::DESCRIPTION_FAILED, Text::CAPTION_DESCRIPTION);
}

// A scheme that cannot be fetched fails the call with the fetch's error:
// nothing is read or written with a scheme Windows did not hand out.
template <typename tCall>
uint32_t cVistaConfiguration::WithActiveScheme(tCall call)
{
    if (!PowerSettingFunctions)
        return ERROR_PROC_NOT_FOUND_CODE;
    cGuid scheme{};
    const uint32_t result = Library->PowerGetActiveScheme(scheme);
    return result != 0 ? result : call(scheme);
}

uint32_t cVistaConfiguration::ReadAcIndex(const cGuid& subgroup, const cGuid& setting, uint32_t& index)
{
    return WithActiveScheme(
        [&](const cGuid& scheme) { return Library->PowerReadACValueIndex(scheme, subgroup, setting, index); });
}

uint32_t cVistaConfiguration::ReadDcIndex(const cGuid& subgroup, const cGuid& setting, uint32_t& index)
{
    return WithActiveScheme(
        [&](const cGuid& scheme) { return Library->PowerReadDCValueIndex(scheme, subgroup, setting, index); });
}

uint32_t cVistaConfiguration::WriteAcIndex(const cGuid& subgroup, const cGuid& setting, uint32_t index)
{
    return WithActiveScheme(
        [&](const cGuid& scheme) { return Library->PowerWriteACValueIndex(scheme, subgroup, setting, index); });
}

uint32_t cVistaConfiguration::WriteDcIndex(const cGuid& subgroup, const cGuid& setting, uint32_t index)
{
    return WithActiveScheme(
        [&](const cGuid& scheme) { return Library->PowerWriteDCValueIndex(scheme, subgroup, setting, index); });
}

uint32_t cVistaConfiguration::ActivateScheme()
{
    return WithActiveScheme([&](const cGuid& scheme) { return Library->PowerSetActiveScheme(scheme); });
}

void cVistaConfiguration::WriteBothAndActivate(const cGuid& subgroup, const cGuid& setting, uint32_t index)
{
    WriteAcIndex(subgroup, setting, index);
    WriteDcIndex(subgroup, setting, index);
    ActivateScheme();
}

// A value that cannot be read counts as 0, "never" for the timeouts.
uint32_t cVistaConfiguration::ReadAcOrZero(const cGuid& subgroup, const cGuid& setting)
{
    uint32_t index = 0;
    return ReadAcIndex(subgroup, setting, index) == 0 ? index : 0;
}

bool cVistaConfiguration::IsSleepStateSupported(uint8_t state)
{
    if (state == SLEEP_STATE_HYBRID)
        return Capabilities.FastSystemS4 != 0;
    return cOSConfiguration::IsSleepStateSupported(state);
}

// S1 is offered only where S3 is not: a machine with S3 sleeps better in it.
bool cVistaConfiguration::IsSleepStateOffered(uint8_t state)
{
    if (state == SLEEP_STATE_S1)
        return Capabilities.SystemS3 == 0 && Capabilities.SystemS1 != 0;
    if (state == SLEEP_STATE_HYBRID)
        return IsSleepStateSupported(state);
    return cOSConfiguration::IsSleepStateOffered(state);
}

std::string cVistaConfiguration::GetSleepStateShortName(uint8_t state)
{
    return state == SLEEP_STATE_HYBRID ? Text::HYBRID_SHORT : cOSConfiguration::GetSleepStateShortName(state);
}

std::string cVistaConfiguration::GetSleepStateName(uint8_t state)
{
    return state == SLEEP_STATE_HYBRID ? Text::HYBRID_LONG : cOSConfiguration::GetSleepStateName(state);
}

bool cVistaConfiguration::ApplySleepState(uint8_t state)
{
    bool hibernation = false;
    bool hybrid = false;
    uint32_t sleepAfter = DEFAULT_SLEEP_TIMEOUT;
    bool setHibernateAfter = false;
    uint32_t hibernateAfter = NEVER;
    uint32_t buttonAction = ACTION_SLEEP;
    uint32_t startMenuButton = START_MENU_SLEEP;
    if (state == SLEEP_STATE_S4) {
        hibernation = true;
        sleepAfter = NEVER;
        setHibernateAfter = true;
        hibernateAfter = DEFAULT_SLEEP_TIMEOUT;
        buttonAction = ACTION_HIBERNATE;
        startMenuButton = START_MENU_HIBERNATE;
    } else if (state == SLEEP_STATE_HYBRID) {
        hibernation = true;
        hybrid = true;
        setHibernateAfter = true;
    }

    SetHibernation(hibernation);
    SetHybridSleep(hybrid);
    SetStandbyTimeout(sleepAfter);
    if (setHibernateAfter)
        SetHibernateTimeout(hibernateAfter);

    struct cWrite {
        const cGuid& Subgroup;
        const cGuid& Setting;
        uint32_t Index;
    };
    const cWrite writes[] = {
        {POWER_SUBGROUP_BUTTONS, POWER_SETTING_POWER_BUTTON, buttonAction},
        {POWER_SUBGROUP_BUTTONS, POWER_SETTING_LID_CLOSE, buttonAction},
        {POWER_SUBGROUP_BUTTONS, POWER_SETTING_SLEEP_BUTTON, buttonAction},
        {POWER_SUBGROUP_BUTTONS, POWER_SETTING_START_MENU_BUTTON, startMenuButton},
        {POWER_SUBGROUP_USB, POWER_SETTING_USB_SELECTIVE_SUSPEND, 0},
        {POWER_SUBGROUP_NONE, POWER_SETTING_WAKE_PASSWORD, 0},
        {POWER_SUBGROUP_SLEEP, POWER_SETTING_UNATTENDED_SLEEP_TIMEOUT, UNATTENDED_SLEEP_TIMEOUT},
    };
    uint32_t failed = 0;
    for (const cWrite& write : writes) {
        failed |= WriteAcIndex(write.Subgroup, write.Setting, write.Index);
        failed |= WriteDcIndex(write.Subgroup, write.Setting, write.Index);
    }
    ActivateScheme();
    if (failed != 0)
        ShowMessage(Text::APPLY_FAILED, Text::CAPTION_APPLY_FAILED);
    return true;
}

bool cVistaConfiguration::SetHybridSleep(bool on)
{
    if (on)
        SetHibernation(true);
    const std::string value = on ? "1" : "0";
    RunPowercfg(Text::HYBRID_AC + value);
    RunPowercfg(Text::HYBRID_DC + value);
    RunPowercfg(Text::SET_ACTIVE);
    return true;
}

// The exit code is not looked at: the next read of the setting tells.
void cVistaConfiguration::RunPowercfg(const std::string& parameters)
{
    cApplicationLauncher powercfg(Platform, Text::POWERCFG, HIDDEN_SHELL_COMMAND);
    if (powercfg.Launch(parameters))
        powercfg.WaitForExit(POWERCFG_TIMEOUT);
}

void cVistaConfiguration::SetStandbyTimeout(uint32_t seconds)
{
    SetTimeout(POWER_SETTING_SLEEP_AFTER, seconds);
}

void cVistaConfiguration::SetHibernateTimeout(uint32_t seconds)
{
    SetTimeout(POWER_SETTING_HIBERNATE_AFTER, seconds);
}

// An index that cannot be read counts as "never" and is replaced.
void cVistaConfiguration::SetTimeout(const cGuid& setting, uint32_t seconds)
{
    uint32_t current = 0;
    if (ReadAcIndex(POWER_SUBGROUP_SLEEP, setting, current) != 0)
        current = NEVER;
    if (current == NEVER || seconds == NEVER)
        WriteAcIndex(POWER_SUBGROUP_SLEEP, setting, seconds);
    current = 0;
    if (ReadDcIndex(POWER_SUBGROUP_SLEEP, setting, current) != 0)
        current = NEVER;
    if (current == NEVER || seconds == NEVER)
        WriteDcIndex(POWER_SUBGROUP_SLEEP, setting, seconds);
}

bool cVistaConfiguration::IsRebootRequired()
{
    if (IsFastResumeDisabled() != FastResumeDisabledAtStart || IsForceHcResetOnResume() != ForceHcResetAtStart)
        return true;
    return cOSConfiguration::IsRebootRequired();
}

// Unreadable counts as disabled: the safe answer for a machine that must
// wake by USB.
bool cVistaConfiguration::IsSelectiveSuspendDisabled()
{
    uint32_t index = 0;
    return ReadAcIndex(POWER_SUBGROUP_USB, POWER_SETTING_USB_SELECTIVE_SUSPEND, index) != 0 || index != 1;
}

void cVistaConfiguration::SetSelectiveSuspendDisabled(bool disabled)
{
    WriteBothAndActivate(POWER_SUBGROUP_USB, POWER_SETTING_USB_SELECTIVE_SUSPEND, disabled ? 0 : 1);
}

void cVistaConfiguration::RestoreSelectiveSuspendDefault()
{
    const uint32_t personality = ReadAcOrZero(POWER_SUBGROUP_NONE, POWER_SETTING_PERSONALITY);
    WriteBothAndActivate(POWER_SUBGROUP_USB, POWER_SETTING_USB_SELECTIVE_SUSPEND,
                         personality == PERSONALITY_POWER_SAVER ? 0 : 1);
}

bool cVistaConfiguration::IsFastResumeDisabled()
{
    return ValueExists(eHive::LocalMachine, HIDUSB_KEY, FAST_RESUME_VALUE);
}

// Failures are not shown: the settings page reads the value back.
void cVistaConfiguration::SetFastResumeDisabled(bool disabled)
{
    if (disabled)
        WriteDword(eHive::LocalMachine, HIDUSB_KEY, FAST_RESUME_VALUE, 1);
    else if (IsFastResumeDisabled())
        Platform.Registry.DeleteValue(eHive::LocalMachine, HIDUSB_KEY, FAST_RESUME_VALUE);
}

bool cVistaConfiguration::IsForceHcResetOnResume()
{
    std::vector<std::string> instances;
    if (Platform.Registry.EnumSubkeys(eHive::LocalMachine, HOST_CONTROLLER_CLASS_KEY, instances) != REGRESULT_SUCCESS)
        return false;
    for (const std::string& instance : instances) {
        if (!instance.starts_with("0"))
            continue;
        const std::string key = std::string(HOST_CONTROLLER_CLASS_KEY) + "\\" + instance;
        uint32_t reset = 0;
        if (ValueExists(eHive::LocalMachine, key, CONTROLLER_VALUE) &&
            ReadDword(eHive::LocalMachine, key, HC_RESET_VALUE, reset) && reset == HC_RESET_ON)
            return true;
    }
    return false;
}

// Only controller instances that exist are written; a refused write skips
// that instance.
void cVistaConfiguration::SetForceHcResetOnResume(bool on)
{
    std::vector<std::string> instances;
    if (Platform.Registry.EnumSubkeys(eHive::LocalMachine, HOST_CONTROLLER_CLASS_KEY, instances) != REGRESULT_SUCCESS)
        return;
    for (const std::string& instance : instances) {
        if (!instance.starts_with("0"))
            continue;
        const std::string key = std::string(HOST_CONTROLLER_CLASS_KEY) + "\\" + instance;
        if (ValueExists(eHive::LocalMachine, key, CONTROLLER_VALUE))
            WriteDword(eHive::LocalMachine, key, HC_RESET_VALUE, on ? HC_RESET_ON : HC_RESET_OFF);
    }
}

// Away mode lives in the power scheme: without the power-setting functions
// it can be neither read nor set, and asking would fail with a box each time.
uint32_t cVistaConfiguration::GetAwayModeOptions()
{
    return PowerSettingFunctions ? AWAY_MODE_NEVER | AWAY_MODE_ALWAYS | AWAY_MODE_ON_REQUEST : AWAY_MODE_NOT_SUPPORTED;
}

uint32_t cVistaConfiguration::GetAwayMode()
{
    if (!IsAwayModeAllowed())
        return AWAY_MODE_NEVER;
    uint32_t enabled = 0;
    return ReadDword(eHive::LocalMachine, POWER_KEY, AWAY_MODE_ENABLED_VALUE, enabled) && enabled != 0
               ? AWAY_MODE_ALWAYS
               : AWAY_MODE_ON_REQUEST;
}

bool cVistaConfiguration::SetAwayMode(uint32_t option)
{
    if (option == AWAY_MODE_NEVER) {
        SetAwayModeAllowed(false);
        return true;
    }
    if (option == AWAY_MODE_ALWAYS || option == AWAY_MODE_ON_REQUEST) {
        if (!WriteDword(eHive::LocalMachine, POWER_KEY, AWAY_MODE_ENABLED_VALUE, option == AWAY_MODE_ALWAYS ? 1 : 0))
            ShowMessage(Text::INSTALL_FIX_FAILED, Text::CAPTION_ERROR);
        SetAwayModeAllowed(true);
    }
    return true;
}

bool cVistaConfiguration::IsAwayModeAllowed()
{
    uint32_t index = 0xFFFFFFFF;
    if (ReadAcIndex(POWER_SUBGROUP_SLEEP, POWER_SETTING_ALLOW_AWAY_MODE, index) != 0) {
        ShowMessage(Text::READ_AC_FAILED, Text::CAPTION_AWAY_MODE);
        return false;
    }
    return index != 0;
}

void cVistaConfiguration::SetAwayModeAllowed(bool on)
{
    SetAllowSetting(POWER_SETTING_ALLOW_AWAY_MODE, on, Text::CAPTION_AWAY_MODE);
}

void cVistaConfiguration::SetAllowPreventSleep(bool on)
{
    SetAllowSetting(POWER_SETTING_ALLOW_PREVENT_SLEEP, on, Text::CAPTION_ALLOW_PREVENT_SLEEP);
}

void cVistaConfiguration::SetAllowSetting(const cGuid& setting, bool on, const char* caption)
{
    const uint32_t index = on ? 1 : 0;
    if (WriteAcIndex(POWER_SUBGROUP_SLEEP, setting, index) != 0)
        ShowMessage(Text::WRITE_AC_FAILED, caption);
    if (WriteDcIndex(POWER_SUBGROUP_SLEEP, setting, index) != 0)
        ShowMessage(Text::WRITE_DC_FAILED, caption);
    ActivateScheme();
}

bool cVistaConfiguration::HasUnattendedSleepTimeout()
{
    return true;
}

int32_t cVistaConfiguration::GetUnattendedSleepTimeout()
{
    const uint32_t seconds = ReadAcOrZero(POWER_SUBGROUP_SLEEP, POWER_SETTING_UNATTENDED_SLEEP_TIMEOUT);
    return seconds == TIMEOUT_MAXIMUM ? TIMEOUT_MAXIMUM_CODE : static_cast<int32_t>(seconds);
}

void cVistaConfiguration::SetUnattendedSleepTimeout(int32_t seconds)
{
    const uint32_t index = seconds == TIMEOUT_MAXIMUM_CODE ? TIMEOUT_MAXIMUM : static_cast<uint32_t>(seconds);
    WriteBothAndActivate(POWER_SUBGROUP_SLEEP, POWER_SETTING_UNATTENDED_SLEEP_TIMEOUT, index);
}

bool cVistaConfiguration::CheckAdministrator()
{
    if (!Administrator)
        ShowMessage(Text::NO_ADMINISTRATOR, Text::CAPTION_NO_ADMINISTRATOR);
    return Administrator;
}

bool cVistaConfiguration::ReloadActivePowerScheme()
{
    ActivateScheme();
    return true;
}

void cVistaConfiguration::IncreaseIdleThreshold()
{
    const uint32_t threshold = ReadAcOrZero(POWER_SUBGROUP_SLEEP, POWER_SETTING_IDLE_THRESHOLD);
    WriteBothAndActivate(POWER_SUBGROUP_SLEEP, POWER_SETTING_IDLE_THRESHOLD, threshold + 1);
}

void cVistaConfiguration::DecreaseIdleThreshold()
{
    const uint32_t threshold = ReadAcOrZero(POWER_SUBGROUP_SLEEP, POWER_SETTING_IDLE_THRESHOLD);
    WriteBothAndActivate(POWER_SUBGROUP_SLEEP, POWER_SETTING_IDLE_THRESHOLD, threshold - 1);
}

bool cVistaConfiguration::IsIdleThresholdMax()
{
    return ReadAcOrZero(POWER_SUBGROUP_SLEEP, POWER_SETTING_IDLE_THRESHOLD) == IDLE_THRESHOLD_MAX;
}

bool cVistaConfiguration::IsIdleThresholdMin()
{
    return ReadAcOrZero(POWER_SUBGROUP_SLEEP, POWER_SETTING_IDLE_THRESHOLD) == IDLE_THRESHOLD_MIN;
}

void cVistaConfiguration::ResetIdleThreshold()
{
    WriteBothAndActivate(POWER_SUBGROUP_SLEEP, POWER_SETTING_IDLE_THRESHOLD, IDLE_THRESHOLD_DEFAULT);
}

bool cVistaConfiguration::ConfigureAutologon()
{
    // Automatic logon into a domain account is not set up with this tool.
    uint32_t joinStatus = 0;
    if (Platform.Security.GetJoinStatus(joinStatus) && joinStatus == JOINED_TO_DOMAIN)
        return false;
    cApplicationLauncher userAccounts(Platform, SystemDirectoryOrDefault(Platform.Processes) + Text::NETPLWIZ, 0);
    if (userAccounts.Launch(""))
        userAccounts.WaitForExit(0);
    return true;
}

// ---------------------------------------------------------------------------
// The Media Center editions: the background scanner.

cVistaMCEConfiguration::cVistaMCEConfiguration(cPlatform& platform) : cVistaConfiguration(platform)
{
    Name = Text::NAME_VISTA_MC;
}

bool cVistaMCEConfiguration::HasBackgroundScanner()
{
    return Platform.Registry.KeyExists(eHive::LocalMachine, MC_BACKGROUND_SCANNER_KEY);
}

bool cVistaMCEConfiguration::GetLastBackgroundScan(uint64_t& fileTime)
{
    uint32_t low = 0;
    uint32_t high = 0;
    if (!ReadDword(eHive::LocalMachine, MC_BACKGROUND_SCANNER_KEY, MC_LAST_SCAN_LOW_VALUE, low) ||
        !ReadDword(eHive::LocalMachine, MC_BACKGROUND_SCANNER_KEY, MC_LAST_SCAN_HIGH_VALUE, high))
        return false;
    fileTime = (static_cast<uint64_t>(high) << 32) | low;
    return true;
}

int cVistaMCEConfiguration::GetBackgroundScanEnabled()
{
    uint32_t value = 0;
    if (!ReadDword(eHive::LocalMachine, MC_BACKGROUND_SCANNER_KEY, MC_PERIODIC_SCAN_ENABLED_VALUE, value))
        return BACKGROUND_SCAN_NOT_SET;
    return static_cast<int>(value);
}

// Removing the value lets the scanner's own default apply; without the
// scanner's key nothing is created.
void cVistaMCEConfiguration::SetBackgroundScanEnabled(uint8_t value)
{
    if (value == BACKGROUND_SCAN_NOT_SET) {
        if (HasBackgroundScanner())
            Platform.Registry.DeleteValue(eHive::LocalMachine, MC_BACKGROUND_SCANNER_KEY,
                                          MC_PERIODIC_SCAN_ENABLED_VALUE);
        return;
    }
    WriteDword(eHive::LocalMachine, MC_BACKGROUND_SCANNER_KEY, MC_PERIODIC_SCAN_ENABLED_VALUE, value);
}

// ---------------------------------------------------------------------------
// Windows 7 manages the idle threshold itself: the settings window does not
// offer it, though the operations work.

cWindows7Configuration::cWindows7Configuration(cPlatform& platform) : cVistaConfiguration(platform)
{
    Name = Text::NAME_WINDOWS7;
    IdleThresholdAdjustable = false;
}

cWindows7MCConfiguration::cWindows7MCConfiguration(cPlatform& platform) : cVistaMCEConfiguration(platform)
{
    Name = Text::NAME_WINDOWS7_MC;
    IdleThresholdAdjustable = false;
}
