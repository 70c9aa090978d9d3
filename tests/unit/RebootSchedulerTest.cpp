// The forced-reboot schedule on the simulator: the periods and their
// changes, the reboot itself, and the start-up after it.
#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "EngineTestBench.h"
#include "FlagOnlyBlanker.h"
#include "engine/EngineSettings.h"
#include "engine/EventActions.h"
#include "engine/RebootScheduler.h"
#include "foundation/Calendar.h"

namespace {

constexpr uint32_t REBOOT_FLAGS = 0x7;  // shutdown, reboot, force
constexpr uint32_t REBOOT_REASON = 0x00040001;
constexpr int32_t VISTA_STANDBY_DELAY = 120000;

cLocalTime Date(int year, int month, int day, int hour = 0, int minute = 0, int second = 0)
{
    cLocalTime time;
    time.Year = static_cast<uint16_t>(year);
    time.Month = static_cast<uint16_t>(month);
    time.Day = static_cast<uint16_t>(day);
    time.Hour = static_cast<uint16_t>(hour);
    time.Minute = static_cast<uint16_t>(minute);
    time.Second = static_cast<uint16_t>(second);
    return time;
}

// The engine as the scheduler sees it: records each call with the virtual
// time it came at.
class cRecordingHost : public cRebootHost {
public:
    explicit cRecordingHost(cSimClock& clock) : Clock(clock) {}

    void StatusSave() override { Record("StatusSave"); }
    void StatusRestore() override { Record("StatusRestore"); }
    void StatusClear() override { Record("StatusClear"); }
    void StartFrontEndsAtLogon() override { Record("StartFrontEndsAtLogon"); }
    int32_t RequestSuspend(bool fromAutomatic) override
    {
        Record(fromAutomatic ? "RequestSuspend(true)" : "RequestSuspend(false)");
        return 1;
    }

    std::vector<std::pair<std::string, uint64_t>> Calls;

private:
    void Record(const char* call) { Calls.emplace_back(call, Clock.Now()); }
    cSimClock& Clock;
};

class RebootScheduler : public ::testing::Test, protected cEngineTestBench {
protected:
    void SetUp() override
    {
        LogToFile();
        StartPlatform();
        Settings = std::make_unique<cEngineSettings>(Sim.Registry());
        Settings->RebootMode.SetDisabledValue(RM_NEVER_REBOOT);
        Actions = std::make_unique<cEventActions>(Sim.Get(), *Settings, Blanker, *Logger);
        Scheduler =
            std::make_unique<cRebootScheduler>(Sim.Get(), *Settings, *Actions, Host, *Logger, VISTA_STANDBY_DELAY);
        TakeLog();
    }

    std::string HkcuText(const char* name)
    {
        std::string text = "(missing)";
        Sim.Registry().GetString(eHive::CurrentUser, SETTINGS_KEY, name, text);
        return text;
    }
    void SetHkcuText(const char* name, const std::string& text)
    {
        Sim.Registry().SetString(eHive::CurrentUser, SETTINGS_KEY, name, text);
    }
    size_t Reboots() { return Sim.Security().ExitWindowsCalls().size(); }
    std::vector<std::string> HostCalls()
    {
        std::vector<std::string> calls;
        for (const auto& call : Host.Calls)
            calls.push_back(call.first);
        return calls;
    }

    std::unique_ptr<cEngineSettings> Settings;
    cFlagOnlyBlanker Blanker;
    std::unique_ptr<cEventActions> Actions;
    cRecordingHost Host{Sim.Clock()};
    std::unique_ptr<cRebootScheduler> Scheduler;
};

TEST(Calendar, IsoWeeksAtTheTurnsOfTheYear)
{
    struct cCase {
        cLocalTime Time;
        int Week;
    };
    const cCase cases[] = {
        {Date(2026, 3, 22, 23, 59, 59), 12},  // Sunday
        {Date(2026, 3, 23), 13},              // Monday
        {Date(2025, 12, 29), 1},              // the week of Thursday 1 January 2026
        {Date(2027, 1, 1), 53},               // Friday: still 2026's last week
        {Date(2021, 1, 3), 53},
        {Date(2024, 12, 30), 1},
        {Date(2020, 12, 31), 53},
        {Date(2026, 12, 9), 50},
    };
    for (const cCase& c : cases)
        EXPECT_EQ(IsoWeekNumber(c.Time), c.Week) << c.Time.Year << "-" << c.Time.Month << "-" << c.Time.Day;
}

TEST(Calendar, MsDosTimesRoundTripAndInvalidOnesAreRefused)
{
    const cLocalTime time = Date(2026, 2, 28, 23, 59, 58);
    const uint32_t packed = ToDosDateTime(time);
    EXPECT_EQ(packed, ((2026u - 1980) * 512 + 2 * 32 + 28) << 16 | (23u * 2048 + 59 * 32 + 29));
    cLocalTime back;
    ASSERT_TRUE(FromDosDateTime(packed, back));
    EXPECT_EQ(LocalTimeToSeconds(back), LocalTimeToSeconds(time));
    EXPECT_EQ(back.DayOfWeek, 6);  // a Saturday

    const uint32_t goodDate = (2026u - 1980) * 512 + 3 * 32 + 1;
    const uint32_t invalid[] = {
        0,                                         // month 0, day 0
        ((2026u - 1980) * 512 + 13 * 32 + 1) << 16,  // month 13
        ((2026u - 1980) * 512 + 2 * 32 + 29) << 16,  // 29 February of a common year
        goodDate << 16 | 24u * 2048,               // hour 24
        goodDate << 16 | 60u * 32,                 // minute 60
        goodDate << 16 | 30u,                      // second 60
    };
    for (uint32_t value : invalid)
        EXPECT_FALSE(FromDosDateTime(value, back)) << std::hex << value;
    EXPECT_TRUE(FromDosDateTime(((2024u - 1980) * 512 + 2 * 32 + 29) << 16, back));
}

TEST_F(RebootScheduler, AWeeklyRebootComesWithTheNextWeek)
{
    SetHklm("RebootMode", RM_ONCE_A_WEEK);
    SetHkcuText("RebootWeek", "12");
    Sim.Clock().SetLocalTime(Date(2026, 3, 22, 23, 59, 58));
    EXPECT_FALSE(Scheduler->CheckForcedReboot());
    EXPECT_EQ(Reboots(), 0u);
    EXPECT_FALSE(Scheduler->IsForcedRebootStarted());
    std::string last;
    EXPECT_FALSE(Scheduler->ReadLastReboot(last));

    Sim.Clock().Advance(2000);
    EXPECT_TRUE(Scheduler->CheckForcedReboot());
    EXPECT_TRUE(Scheduler->IsForcedRebootStarted());
    ASSERT_EQ(Reboots(), 1u);
    EXPECT_EQ(Sim.Security().ExitWindowsCalls()[0], std::make_pair(REBOOT_FLAGS, REBOOT_REASON));
    EXPECT_EQ(HostCalls(), std::vector<std::string>{"StatusSave"});
    EXPECT_EQ(HkcuText("RebootWeek"), "13");
    EXPECT_EQ(HkcuText("RebootDay"), "Monday");
    EXPECT_EQ(HkcuText("RebootMonth"), "March");
    EXPECT_EQ(HkcuText("RebootLast"), "23 Mar 2026 00:00:00");
    ASSERT_TRUE(Scheduler->ReadLastReboot(last));
    EXPECT_EQ(last, "23 Mar 2026 00:00:00");
    EXPECT_EQ(Hkcu("RebootInitiated"), ToDosDateTime(Date(2026, 3, 23)));
    EXPECT_EQ(TakeLog(), std::vector<std::string>{"A (scheduled) reboot will be forced now"});
}

TEST_F(RebootScheduler, EachModeComparesItsOwnPeriod)
{
    struct cCase {
        const char* What;
        int32_t Mode;
        const char* Missing;  // the value left out, or null
        bool Due;
    };
    // Thursday 10 December 2026, week 50; the values hold that period except
    // the one left out.
    const cCase cases[] = {
        {"daily, same day", RM_ONCE_A_DAY, nullptr, false},
        {"daily, no RebootDay", RM_ONCE_A_DAY, "RebootDay", true},
        {"weekly, no RebootDay", RM_ONCE_A_WEEK, "RebootDay", false},
        {"weekly, no RebootWeek", RM_ONCE_A_WEEK, "RebootWeek", true},
        {"monthly, no RebootMonth", RM_ONCE_A_MONTH, "RebootMonth", true},
        {"never, nothing stored", RM_NEVER_REBOOT, "RebootDay", false},
        {"unknown mode 7", 7, "RebootDay", false},
    };
    Sim.Clock().SetLocalTime(Date(2026, 12, 10, 2, 0));
    for (const cCase& c : cases) {
        SCOPED_TRACE(c.What);
        SetHkcuText("RebootDay", "Thursday");
        SetHkcuText("RebootWeek", "50");
        SetHkcuText("RebootMonth", "December");
        if (c.Missing)
            Sim.Registry().DeleteValue(eHive::CurrentUser, SETTINGS_KEY, c.Missing);
        SetHklm("RebootMode", static_cast<uint32_t>(c.Mode));
        const size_t before = Reboots();
        EXPECT_EQ(Scheduler->CheckForcedReboot(), c.Due);
        EXPECT_EQ(Reboots(), before + (c.Due ? 1 : 0));
    }
}

// The Vista engine disables the mode while the end of automatic wakes
// cannot be detected: the disabled mode never reboots.
TEST_F(RebootScheduler, ADisabledModeNeverReboots)
{
    SetHklm("RebootMode", RM_ONCE_A_DAY);
    Settings->RebootMode.SetEnabled(0x2, false);
    EXPECT_FALSE(Scheduler->CheckForcedReboot());
    EXPECT_EQ(Reboots(), 0u);
}

TEST_F(RebootScheduler, ChoosingAModeStartsItsPeriodNow)
{
    Sim.Clock().SetLocalTime(Date(2026, 3, 20, 12, 0));
    Scheduler->SetRebootMode(RM_ONCE_A_MONTH);
    EXPECT_EQ(Settings->RebootMode.Get(), RM_ONCE_A_MONTH);
    EXPECT_EQ(HkcuText("RebootMonth"), "March");
    EXPECT_EQ(HkcuText("RebootDay"), "Friday");
    EXPECT_EQ(HkcuText("RebootWeek"), "12");

    Sim.Clock().SetLocalTime(Date(2026, 3, 31, 23, 59, 59));
    EXPECT_FALSE(Scheduler->CheckForcedReboot());
    Sim.Clock().SetLocalTime(Date(2026, 4, 1, 0, 0));
    EXPECT_TRUE(Scheduler->CheckForcedReboot());
    EXPECT_EQ(HkcuText("RebootMonth"), "April");
    EXPECT_FALSE(Scheduler->CheckForcedReboot());
    EXPECT_EQ(Reboots(), 1u);
}

// The reboot program runs between the announcement and the reboot.
TEST_F(RebootScheduler, TheRebootProgramRunsBeforeTheReboot)
{
    Sim.Registry().SetString(eHive::LocalMachine, SETTINGS_KEY, "RunOnReboot", "C:\\Tools\\backup.cmd");
    Sim.Processes().AddProgram({"backup.cmd", 0, 3000, "", 0});
    Scheduler->ForceReboot();
    EXPECT_EQ(TakeLog(), (std::vector<std::string>{"A (scheduled) reboot will be forced now",
                                                   "Executing: C:\\Tools\\backup.cmd Flags: 07h", "ExitCode = 0"}));
    EXPECT_EQ(Reboots(), 1u);
}

// Without the privilege Windows would refuse: no reboot, but the period is
// recorded, so the next check does not try again.
TEST_F(RebootScheduler, WithoutTheShutdownPrivilegeTheRebootIsDroppedForThisPeriod)
{
    SetHklm("RebootMode", RM_ONCE_A_DAY);
    Sim.Security().SetPrivilegeError(1300);
    EXPECT_TRUE(Scheduler->CheckForcedReboot());
    EXPECT_EQ(Reboots(), 0u);
    EXPECT_TRUE(Scheduler->IsForcedRebootStarted());
    EXPECT_EQ(Sim.Security().OpenTokens(), 0);
    EXPECT_FALSE(Scheduler->CheckForcedReboot());

    Sim.Security().SetPrivilegeError(0);
    Sim.Security().SetOpenTokenError(5);
    Scheduler->ForceReboot();
    EXPECT_EQ(Reboots(), 0u);
}

class RebootStartup : public RebootScheduler {
protected:
    static constexpr uint64_t MINUTE = 60000;

    void SetUp() override
    {
        RebootScheduler::SetUp();
        Sim.Clock().SetLocalTime(Date(2026, 12, 10, 2, 10, 0));
    }
    // RebootInitiated the minutes before now.
    void RebootedMinutesAgo(int minutes)
    {
        SetHkcu("RebootInitiated", ToDosDateTime(Date(2026, 12, 10, 2, 10 - minutes, 0)));
    }
    bool InitiatedExists()
    {
        cRegistryValue value;
        return Sim.Registry().ReadValue(eHive::CurrentUser, SETTINGS_KEY, "RebootInitiated", value) == 0;
    }
};

TEST_F(RebootStartup, ThreeMinutesAfterAForcedRebootTheMachineGoesBackToSleep)
{
    RebootedMinutesAgo(3);
    const uint64_t start = Sim.Clock().Now();
    Scheduler->EngineStartup();
    EXPECT_EQ(HostCalls(), (std::vector<std::string>{"StatusRestore", "RequestSuspend(true)"}));
    // The restore comes at once, the sleep request after the 120 s wait.
    EXPECT_EQ(Host.Calls[0].second, start);
    EXPECT_EQ(Host.Calls[1].second, start + VISTA_STANDBY_DELAY);
    EXPECT_EQ(TakeLog(), (std::vector<std::string>{"RebootInitiated: Thu 10 Dec 2026 02:07:00",
                                                   "Back from forced reboot, going standby"}));
    EXPECT_FALSE(InitiatedExists());
    EXPECT_TRUE(Scheduler->IsPostRebootStandbyPending());
    Scheduler->ClearPostRebootStandbyPending();
    EXPECT_FALSE(Scheduler->IsPostRebootStandbyPending());
}

TEST_F(RebootStartup, AutoRebootDelayReplacesTheEnginesWait)
{
    RebootedMinutesAgo(1);
    SetHklm("AutoRebootDelay", 5000);
    const uint64_t start = Sim.Clock().Now();
    Scheduler->EngineStartup();
    ASSERT_EQ(Host.Calls.size(), 2u);
    EXPECT_EQ(Host.Calls[1].second, start + 5000);
}

// Older than 5 minutes (the boundary included), unreadable or not a DWORD:
// the status is only cleared, the front-ends start as after any logon and
// the value stays.
TEST_F(RebootStartup, AnOldOrUnreadableRebootTimeOnlyClearsTheStatus)
{
    struct cCase {
        const char* What;
        std::function<void()> Store;
        const char* Logged;
    };
    const cCase cases[] = {
        {"6 minutes", [this] { RebootedMinutesAgo(6); }, "RebootInitiated: Thu 10 Dec 2026 02:04:00"},
        {"exactly 5 minutes", [this] { RebootedMinutesAgo(5); },
         "RebootInitiated: Thu 10 Dec 2026 02:05:00"},
        {"0", [this] { SetHkcu("RebootInitiated", 0); }, "RebootInitiated: Sat 01 Jan 2000 00:00:00"},
        {"a string", [this] { SetHkcuText("RebootInitiated", "yesterday"); },
         "RebootInitiated: Sat 01 Jan 2000 00:00:00"},
    };
    for (const cCase& c : cases) {
        SCOPED_TRACE(c.What);
        Host.Calls.clear();
        c.Store();
        const uint64_t start = Sim.Clock().Now();
        Scheduler->EngineStartup();
        EXPECT_EQ(HostCalls(), (std::vector<std::string>{"StatusClear", "StartFrontEndsAtLogon"}));
        EXPECT_EQ(TakeLog(), (std::vector<std::string>{c.Logged, "RebootInitiated found, too long ago"}));
        EXPECT_EQ(Sim.Clock().Now(), start);
        EXPECT_TRUE(InitiatedExists());
        EXPECT_FALSE(Scheduler->IsPostRebootStandbyPending());
    }
}

TEST_F(RebootStartup, AnOrdinaryLogonStartsTheFrontEnds)
{
    Scheduler->EngineStartup();
    EXPECT_EQ(HostCalls(), std::vector<std::string>{"StartFrontEndsAtLogon"});
    EXPECT_TRUE(TakeLog().empty());
}

TEST_F(RebootStartup, ARebootTimeThatCannotBeRemovedIsLoggedAndTheMachineSleepsAnyway)
{
    RebootedMinutesAgo(2);
    Sim.Registry().SetWriteProtected(eHive::CurrentUser, true);
    Scheduler->EngineStartup();
    EXPECT_EQ(TakeLog(), (std::vector<std::string>{"RebootInitiated: Thu 10 Dec 2026 02:08:00",
                                                   "Back from forced reboot, going standby",
                                                   "Unable to remove RebootInitiated"}));
    EXPECT_EQ(HostCalls(), (std::vector<std::string>{"StatusRestore", "RequestSuspend(true)"}));
}

}  // namespace
