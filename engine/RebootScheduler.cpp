#include "engine/RebootScheduler.h"

#include <algorithm>
#include <cstring>

#include "engine/EngineSettings.h"
#include "engine/EventActions.h"
#include "engine/PowerManager.h"
#include "foundation/Calendar.h"
#include "foundation/DateTimeFormat.h"
#include "foundation/MessageLogger.h"
#include "foundation/Settings.h"

namespace {

namespace Text {
constexpr const char* REBOOT_FORCED = "A (scheduled) reboot will be forced now";
constexpr const char* REBOOT_INITIATED = "RebootInitiated: ";
constexpr const char* BACK_FROM_REBOOT = "Back from forced reboot, going standby";
constexpr const char* UNABLE_TO_REMOVE = "Unable to remove RebootInitiated";
constexpr const char* TOO_LONG_AGO = "RebootInitiated found, too long ago";
constexpr const char* SHUTDOWN_PRIVILEGE = "SeShutdownPrivilege";
}  // namespace Text

// Values of the settings key in the user's hive.
constexpr const char* REBOOT_DAY = "RebootDay";
constexpr const char* REBOOT_WEEK = "RebootWeek";
constexpr const char* REBOOT_MONTH = "RebootMonth";
constexpr const char* REBOOT_LAST = cRebootScheduler::REBOOT_LAST_VALUE;
constexpr const char* REBOOT_INITIATED = "RebootInitiated";

constexpr const char* DAY_PATTERN = "dddd";
constexpr const char* MONTH_PATTERN = "mmmm";
constexpr const char* LAST_PATTERN = "dd mmm yyyy hh:mm:ss";
constexpr const char* INITIATED_PATTERN = "ddd dd mmm yyyy hh:mm:ss";

// A reboot started less than this long ago was the one this program forced.
constexpr int64_t RECENT_REBOOT_SECONDS = 5 * 60;

// EWX_SHUTDOWN | EWX_REBOOT | EWX_FORCE, and SHTDN_REASON_MAJOR_APPLICATION
// with SHTDN_REASON_MINOR_MAINTENANCE.
constexpr uint32_t REBOOT_FLAGS = 0x7;
constexpr uint32_t REBOOT_REASON = 0x00040001;

// What an unreadable RebootInitiated counts as: long ago.
cLocalTime InvalidRebootTime()
{
    cLocalTime time;
    time.Year = 2000;
    time.Month = 1;
    time.Day = 1;
    return SecondsToLocalTime(LocalTimeToSeconds(time));
}

}  // namespace

cRebootScheduler::cRebootScheduler(cPlatform& platform, cEngineSettings& settings, cEventActions& actions,
                                   cRebootHost& host, cMessageLogger& logger, int32_t postRebootStandbyDelay)
    : Platform(platform), Settings(settings), Actions(actions), Host(host), Logger(logger),
      PostRebootStandbyDelay(postRebootStandbyDelay)
{
}

cRebootScheduler::cPeriod cRebootScheduler::PeriodOf(const cLocalTime& time)
{
    return {FormatDateTime(DAY_PATTERN, time, Platform.Locale), std::to_string(IsoWeekNumber(time)),
            FormatDateTime(MONTH_PATTERN, time, Platform.Locale)};
}

bool cRebootScheduler::ReadText(const char* name, std::string& text)
{
    cRegistryValue value;
    if (Platform.Registry.ReadValue(eHive::CurrentUser, SETTINGS_KEY, name, value) != REGRESULT_SUCCESS ||
        value.Type != REGTYPE_SZ)
        return false;
    text.assign(value.Data.begin(), std::find(value.Data.begin(), value.Data.end(), 0));
    return true;
}

void cRebootScheduler::WriteText(const char* name, const std::string& text)
{
    cRegistryValue value;
    value.Type = REGTYPE_SZ;
    value.Data.assign(text.begin(), text.end());
    value.Data.push_back(0);
    Platform.Registry.WriteValue(eHive::CurrentUser, SETTINGS_KEY, name, value);
}

void cRebootScheduler::WritePeriod(const cPeriod& period)
{
    WriteText(REBOOT_DAY, period.Day);
    WriteText(REBOOT_WEEK, period.Week);
    WriteText(REBOOT_MONTH, period.Month);
}

bool cRebootScheduler::CheckForcedReboot()
{
    const cPeriod now = PeriodOf(Platform.Clock.GetLocalTime());
    const char* name = nullptr;
    const std::string* current = nullptr;
    switch (Settings.RebootMode.Get()) {
    case RM_ONCE_A_DAY:
        name = REBOOT_DAY;
        current = &now.Day;
        break;
    case RM_ONCE_A_WEEK:
        name = REBOOT_WEEK;
        current = &now.Week;
        break;
    case RM_ONCE_A_MONTH:
        name = REBOOT_MONTH;
        current = &now.Month;
        break;
    default:
        return false;
    }
    // A missing value (or one of another type) means no reboot yet.
    std::string last;
    if (ReadText(name, last) && last == *current)
        return false;
    ForceReboot();
    return true;
}

void cRebootScheduler::ForceReboot()
{
    ForcedRebootStarted = true;
    Host.StatusSave();
    const cLocalTime now = Platform.Clock.GetLocalTime();
    // Written before the reboot, so a failed one is not tried again in the
    // same period.
    WritePeriod(PeriodOf(now));
    WriteText(REBOOT_LAST, FormatDateTime(LAST_PATTERN, now, Platform.Locale));
    cRegistryValue initiated;
    initiated.Type = REGTYPE_DWORD;
    const uint32_t dosTime = ToDosDateTime(now);
    initiated.Data.resize(sizeof dosTime);
    std::memcpy(initiated.Data.data(), &dosTime, sizeof dosTime);
    Platform.Registry.WriteValue(eHive::CurrentUser, SETTINGS_KEY, REBOOT_INITIATED, initiated);
    Logger.WriteLine(Text::REBOOT_FORCED);
    Actions.Run(eEventProgram::Reboot);
    Reboot();
}

void cRebootScheduler::Reboot()
{
    // Without the privilege Windows refuses; the period is recorded anyway.
    std::unique_ptr<cPrivilegeToken> token = Platform.Security.OpenPrivilegeToken();
    if (!token || token->SetPrivilege(Text::SHUTDOWN_PRIVILEGE, true) != 0)
        return;
    Platform.Security.ExitWindowsEx(REBOOT_FLAGS, REBOOT_REASON);
}

void cRebootScheduler::SetRebootMode(int32_t mode)
{
    Settings.RebootMode = mode;
    WritePeriod(PeriodOf(Platform.Clock.GetLocalTime()));
}

void cRebootScheduler::EngineStartup()
{
    cRegistryValue value;
    if (Platform.Registry.ReadValue(eHive::CurrentUser, SETTINGS_KEY, REBOOT_INITIATED, value) != REGRESULT_SUCCESS) {
        Host.StartFrontEndsAtLogon();
        return;
    }
    cLocalTime initiated;
    uint32_t dosTime = 0;
    const bool isDword = value.Type == REGTYPE_DWORD && value.Data.size() >= sizeof dosTime;
    if (isDword)
        std::memcpy(&dosTime, value.Data.data(), sizeof dosTime);
    if (!isDword || !FromDosDateTime(dosTime, initiated))
        initiated = InvalidRebootTime();
    Logger.WriteLine(Text::REBOOT_INITIATED + FormatDateTime(INITIATED_PATTERN, initiated, Platform.Locale));

    const int64_t now = LocalTimeToSeconds(Platform.Clock.GetLocalTime());
    if (LocalTimeToSeconds(initiated) <= now - RECENT_REBOOT_SECONDS) {
        Logger.WriteLine(Text::TOO_LONG_AGO);
        Host.StatusClear();
        Host.StartFrontEndsAtLogon();
        return;
    }
    Host.StatusRestore();
    // Time for the front-ends and the system to settle; the main thread waits.
    const int32_t autoDelay = Settings.AutoRebootDelay;
    const int32_t delay = autoDelay > 0 ? autoDelay : PostRebootStandbyDelay;
    Platform.Clock.Sleep(static_cast<uint32_t>(std::max(delay, 0)));
    Logger.WriteLine(Text::BACK_FROM_REBOOT);
    PostRebootStandbyPending = true;
    if (Platform.Registry.DeleteValue(eHive::CurrentUser, SETTINGS_KEY, REBOOT_INITIATED) != REGRESULT_SUCCESS)
        Logger.WriteLine(Text::UNABLE_TO_REMOVE);
    Host.RequestSuspend(true);
}
