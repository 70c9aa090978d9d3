#pragma once
#include <cstdint>
#include <string>

#include "platform/Platform.h"

class cEventActions;
class cMessageLogger;
struct cEngineSettings;

// What the reboot scheduler needs of the engine.
class cRebootHost {
public:
    virtual ~cRebootHost() = default;

    // The front-ends' running states and the blanking, kept across a
    // forced reboot in the user's settings.
    virtual void StatusSave() = 0;
    virtual void StatusRestore() = 0;
    virtual void StatusClear() = 0;
    // Starts the front-ends that are set to start at logon.
    virtual void StartFrontEndsAtLogon() = 0;
    virtual int32_t RequestSuspend(bool fromAutomatic) = 0;
};

// Forces a reboot once a day, week or month in place of a sleep at the end
// of an automatic wake, and puts the machine back to sleep when the program
// starts again right after that reboot.
//
// The period of the last reboot is kept as texts in the user's settings
// (RebootDay, RebootWeek, RebootMonth); a reboot is due when the current
// period's text differs or is missing. RebootInitiated holds the moment a
// reboot started, as an MS-DOS date and time, until the start-up after it
// has dealt with it. Owned by the engine; runs on the main thread.
class cRebootScheduler {
public:
    static constexpr const char* REBOOT_LAST_VALUE = "RebootLast";

    // postRebootStandbyDelay: the wait before the standby after a forced
    // reboot when AutoRebootDelay is 0. All references must outlive this.
    cRebootScheduler(cPlatform& platform, cEngineSettings& settings, cEventActions& actions, cRebootHost& host,
                     cMessageLogger& logger, int32_t postRebootStandbyDelay);
    cRebootScheduler(const cRebootScheduler&) = delete;
    cRebootScheduler& operator=(const cRebootScheduler&) = delete;

    // Starts a reboot when the period of RebootMode has changed since the
    // last one; true when it started one.
    bool CheckForcedReboot();
    // Records the period and the moment, runs the reboot program and has
    // Windows reboot, closing the applications without asking.
    void ForceReboot();
    // The first forced reboot of the new mode comes in the next period.
    void SetRebootMode(int32_t mode);
    // The moment of the last forced reboot as it was stored ("dd mmm yyyy
    // hh:mm:ss"); false when none is stored.
    bool ReadLastReboot(std::string& text) { return ReadText(REBOOT_LAST_VALUE, text); }

    // Once, after the start-up of the engine: back from a forced reboot of
    // less than 5 minutes ago, restores the front-ends, waits and sleeps;
    // otherwise starts the front-ends set to start at logon.
    void EngineStartup();

    // From the moment a reboot was started; a sleep call that returns
    // anyway then says so.
    bool IsForcedRebootStarted() const { return ForcedRebootStarted; }
    // From the start-up after a forced reboot until the next suspend, which
    // must keep the running states that start-up restored.
    bool IsPostRebootStandbyPending() const { return PostRebootStandbyPending; }
    void ClearPostRebootStandbyPending() { PostRebootStandbyPending = false; }
    void SetPostRebootStandbyDelay(int32_t delay) { PostRebootStandbyDelay = delay; }

    // The period texts of the time (the user's locale for the names).
    struct cPeriod {
        std::string Day;    // "dddd"
        std::string Week;   // the ISO 8601 week number
        std::string Month;  // "mmmm"
    };
    cPeriod PeriodOf(const cLocalTime& time);

private:
    void WritePeriod(const cPeriod& period);
    bool ReadText(const char* name, std::string& text);
    void WriteText(const char* name, const std::string& text);
    void Reboot();

    cPlatform& Platform;
    cEngineSettings& Settings;
    cEventActions& Actions;
    cRebootHost& Host;
    cMessageLogger& Logger;
    int32_t PostRebootStandbyDelay;
    bool ForcedRebootStarted = false;
    bool PostRebootStandbyPending = false;
};
