#include "diagnostics/SystemSummary.h"

#include <algorithm>
#include <cstdarg>
#include <cstdio>
#include <cstring>
#include <iterator>

#include "diagnostics/SystemInformation.h"
#include "engine/PowerManager.h"
#include "foundation/BuildMoment.h"
#include "foundation/DateTimeFormat.h"
#include "foundation/FileVersion.h"
#include "foundation/MessageLogger.h"
#include "foundation/WindowsVersion.h"
#include "osconfig/OSConfiguration.h"
#include "targets/TargetMediaPortal.h"

namespace {

constexpr const char* CRLF = "\r\n";
constexpr const char* GENERATED_PATTERN = "dddd dd mmmm yyyy hh:mm:ss";
constexpr const char* WINDOWS_KEY = "SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion";
constexpr const char* COMPUTER_NAME_KEY = "SYSTEM\\CurrentControlSet\\Control\\ComputerName\\ComputerName";

// WinLogonFlags: lock the workstation when the machine sleeps.
constexpr uint32_t WINLOGON_LOCK_ON_SLEEP = 1;

// The reboot modes by their names; others are "Unknown".
const char* RebootModeName(int32_t mode)
{
    switch (mode) {
    case RM_NEVER_REBOOT:
        return "RM_NEVER_REBOOT";
    case RM_ONCE_A_DAY:
        return "RM_ONCE_A_DAY";
    case RM_ONCE_A_WEEK:
        return "RM_ONCE_A_WEEK";
    case RM_ONCE_A_MONTH:
        return "RM_ONCE_A_MONTH";
    default:
        return "Unknown";
    }
}

// A POWER_ACTION by its name; the power button's "none" shuts the machine
// down on many systems, which the name hints at.
std::string ActionName(ePowerAction action, bool powerButton)
{
    switch (action) {
    case ePowerAction::None:
        return powerButton ? "PowerActionNone (Shut down?)" : "PowerActionNone";
    case ePowerAction::Reserved:
        return "PowerActionReserved";
    case ePowerAction::Sleep:
        return "PowerActionSleep";
    case ePowerAction::Hibernate:
        return "PowerActionHibernate";
    case ePowerAction::Shutdown:
        return "PowerActionShutdown";
    case ePowerAction::ShutdownReset:
        return "PowerActionShutdownReset";
    case ePowerAction::ShutdownOff:
        return "PowerActionShutdownOff";
    case ePowerAction::WarmEject:
        return "PowerActionWarmEject";
    }
    char text[32];
    std::snprintf(text, sizeof text, "Undefined (%X)", static_cast<unsigned>(action));
    return text;
}

// Appends the formatted text; the report's lines are short, longer ones
// (a long registry text) are formatted a second time at their full size.
[[gnu::format(printf, 2, 3)]] void Add(std::string& text, const char* format, ...)
{
    char buffer[256];
    va_list arguments;
    va_start(arguments, format);
    va_list again;
    va_copy(again, arguments);
    const int length = std::vsnprintf(buffer, sizeof buffer, format, arguments);
    va_end(arguments);
    if (length >= static_cast<int>(sizeof buffer)) {
        std::string longer(static_cast<size_t>(length) + 1, '\0');
        std::vsnprintf(longer.data(), longer.size(), format, again);
        longer.resize(static_cast<size_t>(length));
        text += longer;
    } else if (length > 0) {
        text += buffer;
    }
    va_end(again);
}

void AddBool(std::string& text, const char* label, bool value)
{
    text += label;
    text += value ? "true\r\n" : "false\r\n";
}

// The bytes of a record, each as two hexadecimal digits and a blank.
void AddBytes(std::string& text, const char* label, const void* record, size_t from, size_t to)
{
    text += label;
    const auto* bytes = static_cast<const uint8_t*>(record);
    for (size_t i = from; i <= to; ++i)
        Add(text, "%02X ", bytes[i]);
    text += CRLF;
}

// A string value of HKEY_LOCAL_MACHINE; false when it is absent or no text.
bool ReadText(cRegistry& registry, const char* key, const char* name, std::string& text)
{
    cRegistryValue value;
    if (registry.ReadValue(eHive::LocalMachine, key, name, value) != REGRESULT_SUCCESS ||
        (value.Type != REGTYPE_SZ && value.Type != REGTYPE_EXPAND_SZ))
        return false;
    text.assign(value.Data.begin(), std::find(value.Data.begin(), value.Data.end(), 0));
    return true;
}

// The battery-state record (SYSTEM_BATTERY_STATE, 32 bytes): only the first
// two bytes are reported.
struct cSystemBatteryState {
    uint8_t AcOnLine;
    uint8_t BatteryPresent;
    uint8_t Rest[30];
};
static_assert(sizeof(cSystemBatteryState) == 32);

}  // namespace

cSystemSummary::cSystemSummary(cPlatform& platform, cMessageLogger& logger, cSystemInformation& systemInformation,
                               cOSConfiguration& osConfiguration, cTargetMediaPortal& mediaPortal)
    : Platform(platform), Logger(logger), SystemInformation(systemInformation), OSConfiguration(osConfiguration),
      MediaPortal(mediaPortal)
{
}

void cSystemSummary::Write(int32_t rebootMode)
{
    if (!Logger.IsLogging())
        return;
    Platform.Files.WriteNewFile(Logger.GetLogFilePath(), Build(rebootMode));
}

std::string cSystemSummary::Build(int32_t rebootMode)
{
    std::string text;
    AddHead(text);
    AddSystem(text);
    AddMediaCenter(text);
    AddMediaPortal(text);
    AddVarious(text);
    AddOwn(text, rebootMode);
    AddCapabilities(text);
    AddAdministratorPolicy(text);
    const bool acOnLine = AddBatteryState(text);

    // The policy in force follows the header of its power source.
    text += "--- SystemPowerPolicyAc ---\r\n";
    if (acOnLine)
        text += "--- SystemPowerPolicyCurrent ---\r\n";
    AddPolicy(text, POWER_INFO_POLICY_AC);
    text += CRLF;
    text += "--- SystemPowerPolicyDc ---\r\n";
    if (!acOnLine)
        text += "--- SystemPowerPolicyCurrent ---\r\n";
    AddPolicy(text, POWER_INFO_POLICY_DC);
    text += CRLF;
    return text;
}

void cSystemSummary::AddHead(std::string& text)
{
    text += CRLF;
    text += "This file is generated by the Slumberhold.\r\n";
    text += "It contains information which might be useful in case of\r\n";
    text += "a problem, please include it in your support request.\r\n";
    text += CRLF;
    const std::string now = FormatDateTime(GENERATED_PATTERN, Platform.Clock.GetLocalTime(), Platform.Locale);
    Add(text, "Summary generated       : %s\r\n", now.c_str());
    text += CRLF;
}

void cSystemSummary::AddSystem(std::string& text)
{
    cRegistry& registry = Platform.Registry;
    text += "--- System ---\r\n";
    std::string product;
    if (ReadText(registry, WINDOWS_KEY, "ProductName", product)) {
        Add(text, "Windows                 : %s\r\n", product.c_str());
        std::string version, build, servicePack, owner, organisation;
        if (ReadText(registry, WINDOWS_KEY, "CurrentVersion", version)) {
            ReadText(registry, WINDOWS_KEY, "CurrentBuildNumber", build);
            ReadText(registry, WINDOWS_KEY, "CSDVersion", servicePack);
            Add(text, "Version                 : %s.%s, %s\r\n", version.c_str(), build.c_str(), servicePack.c_str());
        }
        if (ReadText(registry, WINDOWS_KEY, "RegisteredOwner", owner))
            Add(text, "Owner                   : %s\r\n", owner.c_str());
        if (ReadText(registry, WINDOWS_KEY, "RegisteredOrganization", organisation))
            Add(text, "Organisation            : %s\r\n", organisation.c_str());
    }
    std::string computer;
    if (ReadText(registry, COMPUTER_NAME_KEY, "ComputerName", computer))
        Add(text, "ComputerName            : %s\r\n", computer.c_str());
    Add(text, "AcpiOem                 : %s\r\n", SystemInformation.GetAcpiOem().c_str());
    Add(text, "AcpiProduct             : %s\r\n", SystemInformation.GetAcpiProduct().c_str());
    Add(text, "System BIOS date        : %s\r\n", SystemInformation.GetBiosDate().c_str());
    Add(text, "System BIOS version     : %s\r\n", SystemInformation.GetBiosVersion().c_str());
    text += CRLF;
}

void cSystemSummary::AddMediaCenter(std::string& text)
{
    text += "--- MCE ---\r\n";
    Add(text, "Mediacenter version     : V%s (%s)\r\n", cWindowsVersion::GetMediaCenterIdent(Platform.Registry).c_str(),
        cWindowsVersion::GetMediaCenterName(Platform.Registry).c_str());
    tFileTimeBytes last, next;
    SystemInformation.ReadLastGuideDownload(last);
    SystemInformation.ReadNextGuideDownload(next);
    Add(text, "Last guide download     : %s\r\n", SystemInformation.FormatFileTime(last, true).c_str());
    // Media Center stores the next download's time as it shows it.
    Add(text, "Next guide download     : %s\r\n", SystemInformation.FormatFileTime(next, false).c_str());
    text += CRLF;
}

void cSystemSummary::AddMediaPortal(std::string& text)
{
    text += "--- MediaPortal ---\r\n";
    if (MediaPortal.IsInstalled()) {
        const cFileVersion version(Platform.Versions, MediaPortal.GetExecutablePath());
        Add(text, "MediaPortal.exe version : V%s\r\n", version.GetFullVersion().c_str());
        Add(text, "MediaPortal directory   : %s\r\n", MediaPortal.GetInstallDirectory().c_str());
    } else {
        text += "MediaPortal             : Not installed\r\n";
    }
    text += CRLF;
}

void cSystemSummary::AddVarious(std::string& text)
{
    text += "--- Various ---\r\n";
    Add(text, "Timeserver              : %s\r\n", SystemInformation.ReadTimeServer().c_str());
    text += "Screensaver             : ";
    text += SystemInformation.IsScreenSaverActive() ? "Enabled\r\n" : "Disabled\r\n";
    text += "Shutwell installed      : ";
    text += SystemInformation.IsShutwellInstalled() ? "Yes\r\n" : "No\r\n";
    text += CRLF;
}

void cSystemSummary::AddOwn(std::string& text, int32_t rebootMode)
{
    text += "--- SLH ---\r\n";
    Add(text, "Slumberhold version: V%s\r\n", cFileVersion(Platform).GetShortVersion().c_str());
    Add(text, "Slumberhold build  : %s\r\n", BUILD_MOMENT);
    Add(text, "RebootMode              : %s\r\n", RebootModeName(rebootMode));
    text += CRLF;
}

void cSystemSummary::Read(int level, void* record, uint32_t size)
{
    if (!OSConfiguration.CallPowerInformation(level, nullptr, 0, record, size))
        std::memset(record, 0, size);
}

void cSystemSummary::AddCapabilities(std::string& text)
{
    cSystemPowerCapabilities capabilities{};
    Read(POWER_INFO_CAPABILITIES, &capabilities, sizeof capabilities);
    text += "--- SystemPowerCapabilities ---\r\n";
    text += "System states supported : ";
    const uint8_t states[] = {capabilities.SystemS1, capabilities.SystemS2, capabilities.SystemS3,
                              capabilities.SystemS4, capabilities.SystemS5};
    for (int i = 0; i < static_cast<int>(std::size(states)); ++i)
        if (states[i] == 1)
            Add(text, "S%d ", i + 1);
    text += CRLF;
    AddBool(text, "HiberFilePresent        : ", capabilities.HiberFilePresent == 1);
    AddBool(text, "FullWake                : ", capabilities.FullWake == 1);
    AddBytes(text, "spare2                  : ", &capabilities, 18, 21);
    AddBytes(text, "spare3                  : ", &capabilities, 22, 29);
    const auto name = [this](uint32_t state) { return OSConfiguration.GetPowerStateName(state); };
    Add(text, "AcOnLineWake            : %s\r\n", name(capabilities.AcOnLineWake).c_str());
    Add(text, "SoftLidWake             : %s\r\n", name(capabilities.SoftLidWake).c_str());
    Add(text, "RtcWake                 : %s\r\n", name(capabilities.RtcWake).c_str());
    Add(text, "MinDeviceWakeState      : %s\r\n", name(capabilities.MinDeviceWakeState).c_str());
    Add(text, "DefaultLowLatencyWake   : %s\r\n", name(capabilities.DefaultLowLatencyWake).c_str());
    text += CRLF;
}

void cSystemSummary::AddAdministratorPolicy(std::string& text)
{
    cAdministratorPowerPolicy policy{};
    Read(POWER_INFO_ADMINISTRATOR_POLICY, &policy, sizeof policy);
    text += "--- AdministratorPowerPolicy ---\r\n";
    Add(text, "MinSleep                : %s\r\n", OSConfiguration.GetPowerStateName(policy.MinSleep).c_str());
    Add(text, "MaxSleep                : %s\r\n", OSConfiguration.GetPowerStateName(policy.MaxSleep).c_str());
    // The record Windows has when no administrator restricted anything.
    const bool isDefault = policy.MinSleep == 2 && policy.MaxSleep == 5 && policy.MinVideoTimeout == 0 &&
                           policy.MaxVideoTimeout == 0xFFFFFFFF && policy.MinSpindownTimeout == 0 &&
                           policy.MaxSpindownTimeout == 0xFFFFFFFF;
    if (isDefault)
        text += "Admin override not set\r\n";
    text += CRLF;
}

bool cSystemSummary::AddBatteryState(std::string& text)
{
    cSystemBatteryState battery{};
    Read(POWER_INFO_BATTERY_STATE, &battery, sizeof battery);
    text += "--- SystemBatteryState ---\r\n";
    AddBool(text, "AcOnLine                : ", battery.AcOnLine == 1);
    AddBool(text, "BatteryPresent          : ", battery.BatteryPresent == 1);
    text += CRLF;
    return battery.AcOnLine == 1;
}

void cSystemSummary::AddPolicy(std::string& text, int level)
{
    cSystemPowerPolicy policy{};
    Read(level, &policy, sizeof policy);
    const auto name = [this](uint32_t state) { return OSConfiguration.GetPowerStateName(state); };
    Add(text, "Structure revision      : %lu\r\n", static_cast<unsigned long>(policy.Revision));
    Add(text, "PowerButton.Action      : %s\r\n", ActionName(policy.PowerButton.Action, true).c_str());
    Add(text, "PowerButton.Flags       : %X\r\n", policy.PowerButton.Flags);
    Add(text, "PowerButton.EventCode   : %X\r\n", policy.PowerButton.EventCode);
    Add(text, "SleepButton.Action      : %s\r\n", ActionName(policy.SleepButton.Action, false).c_str());
    Add(text, "SleepButton.Flags       : %X\r\n", policy.SleepButton.Flags);
    Add(text, "SleepButton.EventCode   : %X\r\n", policy.SleepButton.EventCode);
    Add(text, "Reserved                : %08lX\r\n", static_cast<unsigned long>(policy.Reserved));
    Add(text, "Idle.Action             : %s\r\n", ActionName(policy.Idle.Action, false).c_str());
    Add(text, "Idle.Flags              : %X\r\n", policy.Idle.Flags);
    Add(text, "Idle.EventCode          : %X\r\n", policy.Idle.EventCode);
    Add(text, "IdleTimeout             : %lu Seconds\r\n", static_cast<unsigned long>(policy.IdleTimeout));
    Add(text, "IdleSensitivity         : %u\r\n", static_cast<unsigned>(policy.IdleSensitivity));
    AddBytes(text, "Spare2                  : ", &policy, 66, 67);
    Add(text, "MinSleep                : %s\r\n", name(policy.MinSleep).c_str());
    Add(text, "MaxSleep                : %s\r\n", name(policy.MaxSleep).c_str());
    Add(text, "ReducedLatencySleep     : %s\r\n", name(policy.ReducedLatencySleep).c_str());
    if (policy.WinLogonFlags == WINLOGON_LOCK_ON_SLEEP)
        text += "WinLogonFlags           : WINLOGON_LOCK_ON_SLEEP\r\n";
    else
        Add(text, "WinLogonFlags           : %lX\r\n", static_cast<unsigned long>(policy.WinLogonFlags));
    Add(text, "Spare3                  : %08lX\r\n", static_cast<unsigned long>(policy.Spare3));
    Add(text, "DozeS4Timeout           : %lu Seconds\r\n", static_cast<unsigned long>(policy.DozeS4Timeout));
    Add(text, "VideoTimeout            : %ld Seconds\r\n", static_cast<long>(static_cast<int32_t>(policy.VideoTimeout)));
}
