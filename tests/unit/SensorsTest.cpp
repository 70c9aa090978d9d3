#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "detection/NetSessionSensor.h"
#include "detection/ProcessSensor.h"
#include "foundation/Settings.h"
#include "platform/sim/SimWindows.h"

namespace {

const std::string APPLICATIONS_KEY = std::string(SETTINGS_KEY) + "\\Non Idle Applications";
const std::string NETSESSIONS_KEY = std::string(SETTINGS_KEY) + "\\Non Idle Networksessions";

// Writes the list as REG_SZ values "1", "2", ..., and beside them values of
// other types whose data spells "other.exe" / "other": never list entries.
void WriteList(cSimWindows& sim, const std::string& key, const std::vector<std::string>& entries,
               const std::string& junk)
{
    cSimRegistry& registry = sim.Registry();
    for (size_t i = 0; i < entries.size(); ++i)
        registry.SetString(eHive::LocalMachine, key, std::to_string(i + 1), entries[i]);
    std::vector<uint8_t> text(junk.begin(), junk.end());
    text.push_back(0);
    std::vector<uint8_t> multi = text;
    multi.push_back(0);
    registry.WriteValue(eHive::LocalMachine, key, "binary", {REGTYPE_BINARY, text});
    registry.WriteValue(eHive::LocalMachine, key, "expand", {2, text});
    registry.WriteValue(eHive::LocalMachine, key, "multi", {REGTYPE_MULTI_SZ, multi});
    registry.WriteValue(eHive::LocalMachine, key, "dword", {REGTYPE_DWORD, {1, 0, 0, 0}});
}

std::vector<int> Counters(const cSensor& sensor)
{
    std::vector<int> counters;
    for (int i = 0; i < SENSOR_COUNTER_COUNT; ++i)
        counters.push_back(sensor.GetCounter(i));
    return counters;
}

struct cProcessCase {
    const char* Name;
    std::vector<std::string> List;
    std::vector<std::string> Running;
    int Listed;   // counters 0 to 2
    int Updates;  // counter 3
    int Triggers;
};

TEST(ProcessSensor, CountsEveryMatchOfTheListAndTheUpdateProgram)
{
    const cProcessCase cases[] = {
        {"update program", {}, {"mcupdate.exe"}, 1, 1, 1},
        {"update program in other case", {}, {"MCUpdate.exe"}, 0, 0, 0},
        {"other case, listed", {"mcupdate.exe"}, {"MCUpdate.exe"}, 1, 0, 1},
        {"update program, also listed", {"mcupdate.exe"}, {"mcupdate.exe"}, 2, 1, 1},
        {"two instances", {"Recorder.EXE"}, {"recorder.exe", "explorer.exe", "RECORDER.exe"}, 2, 0, 2},
        {"listed twice", {"rec.exe", "REC.EXE"}, {"rec.exe"}, 2, 0, 1},
        {"whole names only", {"rec.exe"}, {"myrec.exe", "rec.exe.bak", "rec"}, 0, 0, 0},
        {"values of other types", {}, {"other.exe"}, 0, 0, 0},
    };
    for (const cProcessCase& c : cases) {
        SCOPED_TRACE(c.Name);
        cSimWindows sim;
        WriteList(sim, APPLICATIONS_KEY, c.List, "other.exe");
        for (const std::string& name : c.Running)
            sim.ProcessList().StartProcess(name);
        cProcessSensor sensor(sim.Get());
        sensor.Update();
        const std::vector<int> expected = {c.Listed, c.Listed, c.Listed, c.Updates, 0, 0, 0, 0, 0, 0};
        EXPECT_EQ(Counters(sensor), expected);
        EXPECT_EQ(sensor.GetTriggerCount(), c.Triggers);
        // A second scan of the same processes finds the same triggers.
        sensor.Update();
        EXPECT_EQ(Counters(sensor), expected);
        EXPECT_EQ(sensor.GetTriggerCount(), c.Triggers);
    }
}

TEST(ProcessSensor, TriggersFollowProcessesUntilAWakeDropsTheEndedOnes)
{
    cSimWindows sim;
    WriteList(sim, APPLICATIONS_KEY, {"rec.exe", "tvserver.exe"}, "other.exe");
    cProcessSensor sensor(sim.Get());
    EXPECT_EQ(sensor.GetName(), "Process");
    const uint32_t first = sim.ProcessList().StartProcess("REC.exe");
    const uint32_t second = sim.ProcessList().StartProcess("tvserver.exe");
    const uint32_t third = sim.ProcessList().StartProcess("rec.exe");
    sensor.Update();
    ASSERT_EQ(sensor.GetTriggerCount(), 3);
    EXPECT_EQ(sensor.GetTrigger(0)->GetName(), "REC.exe");
    EXPECT_EQ(sensor.GetTrigger(0)->GetId(), static_cast<int32_t>(first));
    EXPECT_EQ(sensor.GetTrigger(0)->LastSeen(), sim.Get().Clock.GetTickCount());
    EXPECT_EQ(sensor.GetTrigger(3), nullptr);
    EXPECT_EQ(sensor.GetTrigger(-1), nullptr);

    // A failed snapshot finds nothing; the triggers stay, inactive.
    sim.Clock().Advance(1000);
    sim.ProcessList().SetSnapshotFails(true);
    sensor.Update();
    EXPECT_EQ(sensor.GetCounter(PROCESS_COUNTER_ALL), 0);
    EXPECT_EQ(sensor.GetTriggerCount(), 3);
    EXPECT_FALSE(sensor.GetTrigger(0)->IsActive());
    sim.ProcessList().SetSnapshotFails(false);

    // Between wakes an ended program stays in the list as inactive.
    sim.ProcessList().EndProcess(first);
    sensor.Update();
    EXPECT_EQ(sensor.GetCounter(PROCESS_COUNTER_ALL), 2);
    ASSERT_EQ(sensor.GetTriggerCount(), 3);
    EXPECT_FALSE(sensor.GetTrigger(0)->IsActive());
    EXPECT_TRUE(sensor.GetTrigger(1)->IsActive());
    EXPECT_EQ(sensor.GetTrigger(0)->LastSeen(), sim.Get().Clock.GetTickCount() - 1000);

    sensor.WakeReset();
    ASSERT_EQ(sensor.GetTriggerCount(), 2);
    EXPECT_EQ(sensor.GetTrigger(0)->GetId(), static_cast<int32_t>(second));
    EXPECT_EQ(sensor.GetTrigger(1)->GetId(), static_cast<int32_t>(third));
    // Out-of-range counters read 0.
    EXPECT_EQ(sensor.GetCounter(-1), 0);
    EXPECT_EQ(sensor.GetCounter(SENSOR_COUNTER_COUNT), 0);
}

TEST(ProcessSensor, ListIsReadOnceAndAMissingKeyWatchesOnlyTheUpdateProgram)
{
    cSimWindows sim;
    cProcessSensor sensor(sim.Get());
    WriteList(sim, APPLICATIONS_KEY, {"rec.exe"}, "other.exe");
    sim.ProcessList().StartProcess("rec.exe");
    sim.ProcessList().StartProcess("mcupdate.exe");
    sensor.Update();
    EXPECT_EQ(sensor.GetCounter(PROCESS_COUNTER_ALL), 1);
    EXPECT_EQ(sensor.GetCounter(PROCESS_COUNTER_UPDATE), 1);
}

class SessionSensor : public ::testing::Test {
protected:
    void SetUp() override { WriteList(Sim, NETSESSIONS_KEY, {"Alice", "bob"}, "other"); }

    uint32_t Now() { return Sim.Get().Clock.GetTickCount(); }

    cSimWindows Sim;
};

TEST_F(SessionSensor, ListedSessionsCountWhileIdleForAtMostTenSeconds)
{
    struct cIdleCase {
        uint32_t IdleSeconds;
        int Counted;
    };
    const cIdleCase cases[] = {{0, 1}, {10, 1}, {11, 0}, {301, 0}};
    for (const cIdleCase& c : cases) {
        SCOPED_TRACE(c.IdleSeconds);
        cSimWindows sim;
        WriteList(sim, NETSESSIONS_KEY, {"Alice"}, "other");
        sim.Clock().Advance(500000);
        sim.Sessions().AddNetSession("\\\\LAPTOP", "ALICE", c.IdleSeconds);
        cSessionSensor sensor(sim.Get());
        sensor.Update();
        EXPECT_EQ(sensor.GetCounter(NETSESSION_COUNTER_ACTIVE), c.Counted);
        ASSERT_EQ(sensor.GetTriggerCount(), 1);
        const cTrigger& trigger = *sensor.GetTrigger(0);
        const uint32_t now = sim.Get().Clock.GetTickCount();
        EXPECT_EQ(trigger.GetName(), "ALICE");
        EXPECT_EQ(trigger.GetId(), 0);
        // A new trigger starts active, counted or not.
        EXPECT_TRUE(trigger.IsActive());
        EXPECT_EQ(trigger.LastSeen(), c.Counted ? now : now - c.IdleSeconds * 1000);
        EXPECT_EQ(sensor.GetLatestActivity(), trigger.LastSeen());
        // In later scans an idle session leaves its trigger inactive.
        sensor.Update();
        EXPECT_EQ(trigger.IsActive(), c.Counted == 1);
    }
}

TEST_F(SessionSensor, TriggersAreKeptPerUserNameAsTheSessionsSpellIt)
{
    Sim.Sessions().AddNetSession("\\\\A", "alice", 1);
    Sim.Sessions().AddNetSession("\\\\B", "bob", 2);
    Sim.Sessions().AddNetSession("\\\\C", "ALICE", 3);
    Sim.Sessions().AddNetSession("\\\\D", "carol", 0);
    Sim.Sessions().AddNetSession("\\\\E", "other", 0);
    // The last of bob's sessions sets his last-seen time.
    Sim.Sessions().AddNetSession("\\\\F", "bob", 100);
    cSessionSensor sensor(Sim.Get());
    EXPECT_EQ(sensor.GetName(), "NetSession");
    sensor.Update();
    EXPECT_EQ(sensor.GetCounter(NETSESSION_COUNTER_ACTIVE), 3);
    ASSERT_EQ(sensor.GetTriggerCount(), 3);
    EXPECT_EQ(sensor.GetTrigger(0)->GetName(), "alice");
    EXPECT_EQ(sensor.GetTrigger(1)->GetName(), "bob");
    EXPECT_EQ(sensor.GetTrigger(2)->GetName(), "ALICE");
    EXPECT_EQ(sensor.GetTrigger(1)->LastSeen(), Now() - 100000);
    EXPECT_EQ(Counters(sensor), (std::vector<int>{0, 3, 0, 0, 0, 0, 0, 0, 0, 0}));
}

TEST_F(SessionSensor, PagesOfMoreDataAreAllReadAndFailuresFindNothing)
{
    for (int i = 0; i < 5; ++i)
        Sim.Sessions().AddNetSession("\\\\PC" + std::to_string(i), i % 2 ? "bob" : "alice", 0);
    Sim.Sessions().SetNetSessionsPerCall(2);
    cSessionSensor sensor(Sim.Get());
    sensor.Update();
    EXPECT_EQ(Sim.Sessions().NetSessionCalls(), 3);
    EXPECT_EQ(sensor.GetCounter(NETSESSION_COUNTER_ACTIVE), 5);

    // Server service stopped: nothing found, the last-seen times stay.
    const uint32_t seen = Now();
    Sim.Clock().Advance(60000);
    Sim.Sessions().SetNetSessionStatus(2114);
    sensor.Update();
    EXPECT_EQ(sensor.GetCounter(NETSESSION_COUNTER_ACTIVE), 0);
    ASSERT_EQ(sensor.GetTriggerCount(), 2);
    EXPECT_EQ(sensor.GetTrigger(0)->LastSeen(), seen);
    EXPECT_EQ(sensor.GetLatestActivity(), seen);
}

TEST_F(SessionSensor, WakeMarksEveryKnownUserAsSeenJustNow)
{
    const int session = Sim.Sessions().AddNetSession("\\\\A", "bob", 0);
    cSessionSensor sensor(Sim.Get());
    sensor.Update();
    Sim.Clock().Advance(400000);
    Sim.Sessions().SetNetSessionIdle(session, 400);
    sensor.Update();
    ASSERT_FALSE(sensor.GetTrigger(0)->IsActive());
    EXPECT_EQ(sensor.GetLatestActivity(), Now() - 400000);

    sensor.WakeReset();
    EXPECT_EQ(sensor.GetTrigger(0)->LastSeen(), Now() - 1);
    EXPECT_FALSE(sensor.GetTrigger(0)->IsActive());
    EXPECT_EQ(sensor.GetLatestActivity(), Now() - 1);
}

TEST_F(SessionSensor, LatestActivityComparesTicksAcrossTheWrap)
{
    cSessionSensor sensor(Sim.Get());
    EXPECT_EQ(sensor.GetLatestActivity(), Now() - 36000000);

    // 5 s before the tick count wraps, alice is active; 7 s after it, bob.
    Sim.Clock().SetTickBase(0xFFFFFFFFu - 5000 + 1);
    const int alice = Sim.Sessions().AddNetSession("\\\\A", "alice", 0);
    sensor.Update();
    const uint32_t aliceSeen = Now();
    Sim.Clock().Advance(12000);
    ASSERT_EQ(Now(), 7000u);
    Sim.Sessions().SetNetSessionIdle(alice, 12);
    Sim.Sessions().AddNetSession("\\\\B", "bob", 0);
    sensor.Update();
    ASSERT_EQ(sensor.GetTriggerCount(), 2);
    EXPECT_EQ(sensor.GetTrigger(0)->LastSeen(), aliceSeen);
    EXPECT_EQ(sensor.GetLatestActivity(), 7000u);

    // Only alice: her time before the wrap is still later than 10 hours ago.
    cSimWindows sim;
    WriteList(sim, NETSESSIONS_KEY, {"alice"}, "other");
    sim.Clock().SetTickBase(0xFFFFFFFFu - 5000 + 1);
    sim.Sessions().AddNetSession("\\\\A", "alice", 0);
    cSessionSensor onlyAlice(sim.Get());
    onlyAlice.Update();
    sim.Clock().Advance(6000);
    EXPECT_EQ(onlyAlice.GetLatestActivity(), 0xFFFFFFFFu - 5000 + 1);
}

}  // namespace
