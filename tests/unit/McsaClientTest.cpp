#include <gtest/gtest.h>

#include <algorithm>
#include <random>

#include "detection/McsaClient.h"
#include "foundation/MessageLogger.h"
#include "platform/sim/SimWindows.h"

namespace {

constexpr const char* LOG_DIR = "C:\\Logs";
constexpr const char* LOG_FILE = "C:\\Logs\\SLH Log.txt";

cMcsaRecord Session(uint32_t state, uint32_t progress = 0, uint32_t detailA = 0, uint32_t detailB = 0)
{
    return {true, state, detailA, detailB, progress};
}

class McsaTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        Sim.Registry().SetDword(eHive::LocalMachine, SETTINGS_KEY, "LogMode", 1);
        Sim.Registry().SetString(eHive::LocalMachine, SETTINGS_KEY, "LogPath", LOG_DIR);
    }

    // Publishes a full-size block holding the records at the given indices.
    void Publish(const std::vector<std::pair<int, cMcsaRecord>>& records, size_t size = MCSA_BLOCK_SIZE)
    {
        std::vector<uint8_t> block(size, 0);
        for (const auto& [index, record] : records)
            WriteMcsaRecord(block.data(), block.size(), index, record);
        Sim.SharedMemory().WriteBlock(MCSA_BLOCK_NAME, block);
    }

    std::string Log()
    {
        std::string text;
        Sim.Files().ReadWholeFile(LOG_FILE, text);
        return text;
    }

    cSimWindows Sim;
    cMessageLogger Logger{Sim.Get(), "SLH Log.txt"};
    cMcsaClient Client{Sim.Get().SharedMemory};
    cMediaCenterSessionReader Reader{Client, Logger};
};

TEST_F(McsaTest, ClientKeepsTheMappingOnceFoundAndAViewOnlyWhileMapped)
{
    EXPECT_FALSE(Client.Map());
    EXPECT_EQ(Client.GetRecordCount(), 0);
    cMcsaRecord record;
    EXPECT_FALSE(Client.GetRecord(0, record));

    Publish({{14, Session(MCSA_STATE_RECORDING)}});
    ASSERT_TRUE(Client.Map());
    EXPECT_EQ(Client.GetRecordCount(), MCSA_RECORD_COUNT);
    ASSERT_TRUE(Client.GetRecord(14, record));
    EXPECT_TRUE(record.InUse);
    EXPECT_EQ(record.State, MCSA_STATE_RECORDING);
    EXPECT_FALSE(Client.GetRecord(15, record));
    EXPECT_FALSE(Client.GetRecord(-1, record));
    EXPECT_TRUE(Client.Unmap());
    EXPECT_FALSE(Client.Unmap());
    EXPECT_EQ(Client.GetRecordCount(), 0);
    EXPECT_EQ(Sim.SharedMemory().OpenViews(), 0);

    // The add-in goes away: the handle kept since the first Map holds the
    // block, and it is not opened again.
    const int opens = Sim.SharedMemory().OpenCalls();
    Sim.SharedMemory().CloseBlock(MCSA_BLOCK_NAME);
    ASSERT_TRUE(Client.Map());
    EXPECT_EQ(Client.GetRecordCount(), MCSA_RECORD_COUNT);
    Client.Unmap();
    EXPECT_EQ(Sim.SharedMemory().OpenCalls(), opens);
    EXPECT_EQ(Sim.SharedMemory().OpenMappings(), 1);

    // No view: absent for this reading, the handle stays.
    Sim.SharedMemory().SetMapViewFails(true);
    EXPECT_FALSE(Client.Map());
    EXPECT_EQ(Client.GetRecordCount(), 0);
    EXPECT_EQ(Sim.SharedMemory().OpenMappings(), 1);
}

TEST_F(McsaTest, DestructionUnmapsAndClosesTheMapping)
{
    Publish({});
    {
        cMcsaClient client(Sim.Get().SharedMemory);
        ASSERT_TRUE(client.Map());
        EXPECT_EQ(Sim.SharedMemory().OpenViews(), 1);
    }
    EXPECT_EQ(Sim.SharedMemory().OpenViews(), 0);
    EXPECT_EQ(Sim.SharedMemory().OpenMappings(), 0);
}

struct cStateCase {
    const char* Name;
    uint32_t State, DetailA, DetailB, Progress;
    bool PausedIsIdle;
    bool Idle;
};

TEST_F(McsaTest, StateTableDecidesWhetherASessionIsIdle)
{
    const cStateCase cases[] = {
        {"stopped", MCSA_STATE_STOPPED, 0, 0, 0, false, true},
        {"ended", MCSA_STATE_ENDED, 0, 0, 0, false, true},
        {"menu", MCSA_STATE_MENU, 0, 0, 0, false, true},
        {"closing", MCSA_STATE_CLOSING, 0, 0, 0, false, true},
        {"new playback progress", MCSA_STATE_PLAYING, 0, 0, 5000, false, false},
        {"playback progress unknown", MCSA_STATE_PLAYING, 0, 0, 0, false, false},
        {"paused", MCSA_STATE_PAUSED, 0, 0, 0, false, false},
        {"paused counts as idle", MCSA_STATE_PAUSED, 0, 0, 0, true, true},
        {"none", MCSA_STATE_NONE, 0, 0, 0, false, true},
        {"none, detail A busy", MCSA_STATE_NONE, MCSA_DETAIL_A_BUSY, 0, 0, false, false},
        {"none, detail A busy, any B", MCSA_STATE_NONE, MCSA_DETAIL_A_BUSY, 7, 0, false, false},
        {"none, detail B busy", MCSA_STATE_NONE, 0, MCSA_DETAIL_B_BUSY, 0, false, false},
        {"none, detail B busy but A set", MCSA_STATE_NONE, 1, MCSA_DETAIL_B_BUSY, 0, false, true},
        {"unknown state", 0x1004, 0, 0, 0, true, false},
        {"unknown state", 0xFFFFFFFF, 0, 0, 0, true, false},
    };
    for (const cStateCase& c : cases) {
        SCOPED_TRACE(c.Name);
        Publish({{3, Session(c.State, c.Progress, c.DetailA, c.DetailB)}});
        cMediaCenterSessionReader reader(Client, Logger);
        const cMediaCenterReading reading = reader.Read(c.PausedIsIdle, false);
        EXPECT_TRUE(reading.LinkPresent);
        EXPECT_EQ(reading.Sessions, 1);
        EXPECT_EQ(reading.ActiveRecordings, 0);
        EXPECT_TRUE(reading.MediaCenterActive);
        EXPECT_EQ(reading.MediaCenterIdle, c.Idle);
    }
}

TEST_F(McsaTest, AbsentBlockAndOnlyRecordingsLeaveMediaCenterInactiveAndIdle)
{
    cMediaCenterReading reading = Reader.Read(false, false);
    EXPECT_FALSE(reading.LinkPresent);
    EXPECT_EQ(reading.Sessions, 0);
    EXPECT_FALSE(reading.MediaCenterActive);
    EXPECT_TRUE(reading.MediaCenterIdle);

    // A record counts as in use only with exactly 1 in its first byte.
    std::vector<uint8_t> block(MCSA_BLOCK_SIZE, 0);
    WriteMcsaRecord(block.data(), block.size(), 0, Session(MCSA_STATE_RECORDING));
    WriteMcsaRecord(block.data(), block.size(), 9, Session(MCSA_STATE_RECORDING));
    WriteMcsaRecord(block.data(), block.size(), 5, Session(MCSA_STATE_PLAYING, 1));
    block[5 * MCSA_RECORD_SIZE] = 2;
    Sim.SharedMemory().WriteBlock(MCSA_BLOCK_NAME, block);
    reading = Reader.Read(false, false);
    EXPECT_TRUE(reading.LinkPresent);
    EXPECT_EQ(reading.Sessions, 2);
    EXPECT_EQ(reading.ActiveRecordings, 2);
    EXPECT_FALSE(reading.MediaCenterActive);
    EXPECT_TRUE(reading.MediaCenterIdle);
    EXPECT_EQ(Sim.SharedMemory().OpenViews(), 0);
}

TEST_F(McsaTest, PlaybackIsIdleOnlyWhileItsRememberedProgressStandsStill)
{
    struct cStep {
        const char* Name;
        bool InUse;
        uint32_t State, Progress;
        bool Idle;
    };
    const cStep steps[] = {
        {"new progress", true, MCSA_STATE_PLAYING, 5000, false},
        {"same progress", true, MCSA_STATE_PLAYING, 5000, true},
        {"progress moved", true, MCSA_STATE_PLAYING, 6000, false},
        {"paused keeps the memory", true, MCSA_STATE_PAUSED, 6000, false},
        {"same as before the pause", true, MCSA_STATE_PLAYING, 6000, true},
        {"progress unknown", true, MCSA_STATE_PLAYING, 0, false},
        {"unknown does not erase", true, MCSA_STATE_PLAYING, 6000, true},
        {"record freed", false, 0, 0, true},
        {"same progress in a new session", true, MCSA_STATE_PLAYING, 6000, false},
        {"and then standing still", true, MCSA_STATE_PLAYING, 6000, true},
    };
    for (const cStep& step : steps) {
        SCOPED_TRACE(step.Name);
        cMcsaRecord record = Session(step.State, step.Progress);
        record.InUse = step.InUse;
        Publish({{7, record}});
        EXPECT_EQ(Reader.Read(false, false).MediaCenterIdle, step.Idle);
    }

    // Each record has its own memory: the same progress in another record
    // is new there.
    Publish({{7, Session(MCSA_STATE_PLAYING, 6000)}, {8, Session(MCSA_STATE_PLAYING, 6000)}});
    EXPECT_FALSE(Reader.Read(false, false).MediaCenterIdle);
    EXPECT_TRUE(Reader.Read(false, false).MediaCenterIdle);
}

TEST_F(McsaTest, NewHighestSessionCountIsKeptAndLoggedWithActivityLogging)
{
    auto sessions = [](int count) {
        std::vector<std::pair<int, cMcsaRecord>> records;
        for (int i = 0; i < count; ++i)
            records.push_back({i, Session(i % 2 ? MCSA_STATE_RECORDING : MCSA_STATE_MENU)});
        return records;
    };
    Publish(sessions(5));
    Reader.Read(false, true);
    EXPECT_EQ(Reader.GetHighestSessionCount(), 5);
    EXPECT_EQ(Log(), "");

    Publish(sessions(6));
    EXPECT_EQ(Reader.Read(false, true).Sessions, 6);
    Reader.Read(false, true);
    EXPECT_EQ(Reader.GetHighestSessionCount(), 6);
    Publish(sessions(7));
    Reader.Read(false, false);
    EXPECT_EQ(Reader.GetHighestSessionCount(), 7);
    Publish(sessions(15));
    Reader.Read(false, true);
    Publish(sessions(3));
    Reader.Read(false, true);
    EXPECT_EQ(Reader.GetHighestSessionCount(), 15);

    const std::string log = Log();
    EXPECT_NE(log.find(" - MaxConcurrentSessions: 6\r\n"), std::string::npos);
    EXPECT_NE(log.find(" - MaxConcurrentSessions: 15\r\n"), std::string::npos);
    EXPECT_EQ(std::count(log.begin(), log.end(), '\n'), 2) << log;
}

TEST_F(McsaTest, ShortBlocksYieldOnlyTheRecordsThatFitWhole)
{
    const std::pair<size_t, int> cases[] = {
        {0, 0}, {1, 0}, {47, 0}, {48, 1}, {95, 1}, {100, 2}, {719, 14}, {720, 15}, {4096, 15},
    };
    for (const auto& [size, records] : cases) {
        SCOPED_TRACE(size);
        std::vector<uint8_t> block(size, 0);
        for (size_t offset = 0; offset < size; offset += MCSA_RECORD_SIZE)
            block[offset] = MCSA_IN_USE;
        Sim.SharedMemory().WriteBlock(MCSA_BLOCK_NAME, block);
        const cMediaCenterReading reading = Reader.Read(false, false);
        EXPECT_TRUE(reading.LinkPresent);
        EXPECT_EQ(reading.Sessions, records);
    }
}

// The simulated view ends at an inaccessible page: a read past the block
// would crash here.
TEST_F(McsaTest, RandomBlocksOfAnySizeNeverReadPastTheMapping)
{
    std::mt19937 random(20261209);
    const uint32_t states[] = {MCSA_STATE_NONE,    MCSA_STATE_STOPPED, MCSA_STATE_PLAYING, MCSA_STATE_PAUSED,
                               MCSA_STATE_RECORDING, MCSA_STATE_MENU, MCSA_STATE_CLOSING, 0x12345678};
    for (int round = 0; round < 3000; ++round) {
        const size_t size = random() % 4 == 0 ? MCSA_BLOCK_SIZE - random() % 4 : random() % 1000;
        std::vector<uint8_t> block(size);
        for (uint8_t& byte : block)
            byte = static_cast<uint8_t>(random());
        // Half of the rounds look like real records, so that every branch runs.
        if (round % 2 == 0) {
            for (int i = 0; i < MCSA_RECORD_COUNT; ++i) {
                cMcsaRecord record{random() % 3 != 0, states[random() % 8], random() % 2 ? MCSA_DETAIL_A_BUSY : 0u,
                                   random() % 2 ? MCSA_DETAIL_B_BUSY : 0u, static_cast<uint32_t>(random() % 3)};
                WriteMcsaRecord(block.data(), block.size(), i, record);
            }
        }
        Sim.SharedMemory().WriteBlock(MCSA_BLOCK_NAME, block);
        const cMediaCenterReading reading = Reader.Read(random() % 2 == 0, false);
        const int fitting = static_cast<int>(std::min<size_t>(size / MCSA_RECORD_SIZE, MCSA_RECORD_COUNT));
        ASSERT_TRUE(reading.LinkPresent);
        ASSERT_LE(reading.Sessions, fitting) << "size " << size;
        ASSERT_LE(reading.ActiveRecordings, reading.Sessions);
        ASSERT_TRUE(reading.MediaCenterActive || reading.MediaCenterIdle);
    }
    EXPECT_EQ(Sim.SharedMemory().OpenViews(), 0);
}

}  // namespace
