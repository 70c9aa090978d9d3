#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "platform/WinConst.h"
#include "platform/sim/SimWindows.h"
#include "shell/EngineStatusBlock.h"
#include "shell/EngineWatch.h"
#include "shell/MemoryMappedFile.h"
#include "shell/StatusDisplay.h"
#include "shell/StatusTexts.h"
#include "RecordingStatusDisplay.h"

namespace {

std::string FieldAt(const std::vector<uint8_t>& block, size_t offset)
{
    return std::string(reinterpret_cast<const char*>(block.data() + offset));
}

uint32_t WordAt(const std::vector<uint8_t>& block, size_t offset)
{
    return block[offset] | block[offset + 1] << 8 | block[offset + 2] << 16 | static_cast<uint32_t>(block[offset + 3]) << 24;
}

TEST(EngineStatusBlock, FieldsLieAtTheirOffsetsAndTextsKeepTheirZeroWithinTheField)
{
    std::vector<uint8_t> block(ENGINE_STATUS_MAPPING_SIZE, 0xEE);
    ASSERT_TRUE(InitialiseEngineStatus(block));
    cEngineStatus status{"0:12.07", std::string(150, 'M'), "2 channels", 0x01020304};
    ASSERT_TRUE(WriteEngineStatus(block, status));

    EXPECT_EQ(WordAt(block, 0), 4u);
    EXPECT_EQ(FieldAt(block, 12), "0:12.07");
    EXPECT_EQ(FieldAt(block, 112), std::string(99, 'M'));
    EXPECT_EQ(FieldAt(block, 212), "2 channels");
    EXPECT_EQ(block[312], 0x04);
    EXPECT_EQ(block[315], 0x01);
    // Every text field is zero from its text's end to its last byte.
    for (size_t field : {12u, 112u, 212u})
        EXPECT_EQ(block[field + 99], 0) << field;
    EXPECT_EQ(block[12 + 50], 0);

    // A shorter text replaces a longer one completely.
    status.MediaCenterState = "Not running";
    ASSERT_TRUE(WriteEngineStatus(block, status));
    EXPECT_EQ(FieldAt(block, 112), "Not running");
    EXPECT_EQ(block[112 + 60], 0);

    cEngineStatus read;
    ASSERT_TRUE(ReadEngineStatus(block, read));
    EXPECT_EQ(read.LastUserInput, "0:12.07");
    EXPECT_EQ(read.MediaCenterState, "Not running");
    EXPECT_EQ(read.Recording, "2 channels");
    EXPECT_EQ(read.ExtendersInUse, 0x01020304u);
}

TEST(EngineStatusBlock, AForeignOrShortBlockIsRefusedAndAFieldWithoutZeroIsReadToItsEnd)
{
    std::vector<uint8_t> block(ENGINE_STATUS_MAPPING_SIZE, 0);
    ASSERT_TRUE(InitialiseEngineStatus(block));
    cEngineStatus read;
    block[0] = 3;
    EXPECT_FALSE(ReadEngineStatus(block, read));
    block[0] = 4;
    EXPECT_TRUE(ReadEngineStatus(block, read));
    // Too short for the extender count: refused, and nothing is written.
    EXPECT_FALSE(ReadEngineStatus(std::span<const uint8_t>(block.data(), 315), read));
    EXPECT_FALSE(WriteEngineStatus(std::span<uint8_t>(block.data(), 315), {"x", "y", "z", 1}));
    EXPECT_FALSE(InitialiseEngineStatus(std::span<uint8_t>(block.data(), 4)));
    EXPECT_EQ(block[12], 0);
    EXPECT_TRUE(ReadEngineStatus(std::span<const uint8_t>(block.data(), 316), read));

    // A torn or hostile block: no zero anywhere in the texts.
    std::memset(block.data() + 12, 'A', 300);
    ASSERT_TRUE(ReadEngineStatus(block, read));
    EXPECT_EQ(read.LastUserInput, std::string(99, 'A'));
    EXPECT_EQ(read.Recording, std::string(99, 'A'));
}

TEST(EngineStatusBlock, RandomBlocksOfAnySizeAreReadWithinTheirBounds)
{
    // The simulator places the view against an inaccessible page: a read past
    // its end crashes this test.
    cSimWindows sim;
    std::mt19937 random(11);
    for (size_t size : {0u, 3u, 4u, 315u, 316u, 317u, 4096u}) {
        std::vector<uint8_t> bytes(size);
        for (uint8_t& byte : bytes)
            byte = static_cast<uint8_t>(random());
        if (size >= 4)
            bytes[0] = 4, bytes[1] = bytes[2] = bytes[3] = 0;
        sim.SharedMemory().WriteBlock("random", bytes);
        auto view = sim.SharedMemory().OpenReadOnly("random")->MapView();
        cEngineStatus read;
        EXPECT_EQ(ReadEngineStatus({view->Data(), view->Size()}, read), size >= 316) << size;
        EXPECT_LE(read.MediaCenterState.size(), 99u);
    }
}

struct cTextCase {
    const char* What;
    cMonitorFacts Facts;
    const char* MediaCenter;
    const char* Recording;
    const char* Row;
};

TEST(StatusTexts, FollowTheMonitorsState)
{
    auto facts = [](bool suspended, bool monitoring, bool link, bool active, int recordings) {
        cMonitorFacts f;
        f.DetectionSuspended = suspended;
        f.Monitoring = monitoring;
        f.LinkPresent = link;
        f.MediaCenterActive = active;
        f.ActiveRecordings = recordings;
        f.MediaCenterIdleFor = "0:01.15";
        f.RecordingIdleFor = "1:02.03";
        return f;
    };
    const cTextCase cases[] = {
        {"suspended", facts(true, true, true, true, 2), "Detection suspended", "Detection suspended", "2 Channels"},
        {"not monitored", facts(false, false, true, true, 1), "Not monitored", "Not monitored", "1 Channel"},
        {"no Media Center", facts(false, true, false, false, 0), "Installation error or no MCE", "None",
         "Idle 1:02.03"},
        {"shell closed", facts(false, true, true, false, 0), "Not running", "None", "Idle 1:02.03"},
        {"idle for 75 s", facts(false, true, true, true, 0), "Idle 0:01.15", "None", "Idle 1:02.03"},
        {"one recording", facts(false, true, true, true, 1), "Idle 0:01.15", "1 channel", "1 Channel"},
        {"two recordings", facts(false, true, true, true, 2), "Idle 0:01.15", "2 channels", "2 Channels"},
        {"a negative count", facts(false, true, true, true, -1), "Idle 0:01.15", "None", "Idle 1:02.03"},
    };
    for (const cTextCase& c : cases) {
        SCOPED_TRACE(c.What);
        EXPECT_EQ(MediaCenterStateText(c.Facts), c.MediaCenter);
        EXPECT_EQ(RecordingText(c.Facts), c.Recording);
        EXPECT_EQ(RecordingRowText(c.Facts), c.Row);
    }
    EXPECT_EQ(AttendanceText(true), "Unattended");
    EXPECT_EQ(AttendanceText(false), "Attended");
    EXPECT_EQ(FormatSeconds(75), "0:01.15");
    EXPECT_EQ(FormatSeconds(3600 * 12 + 61), "12:01.01");
}

// The simulated program as the engine's writer and a configurator's reader.
class MemoryMappedFile : public ::testing::Test {
protected:
    std::unique_ptr<cMemoryMappedFile> Writer()
    {
        return std::make_unique<cMemoryMappedFile>(Sim.Get(), ENGINE_STATUS_BLOCK_NAME, ENGINE_STATUS_MAPPING_SIZE,
                                                   4096);
    }
    std::string BackingFile() { return Sim.Files().GetTempPath() + ENGINE_STATUS_BLOCK_NAME; }

    cSimWindows Sim;
};

TEST_F(MemoryMappedFile, TheWriterBacksTheBlockByAFileThatGoesWithIt)
{
    {
        auto writer = Writer();
        const std::span<uint8_t> view = writer->CreateForWriting();
        ASSERT_EQ(view.size(), 4096u);
        EXPECT_TRUE(Sim.SharedMemory().BackingFileExists(BackingFile()));
        EXPECT_TRUE(Sim.SharedMemory().IsFileBacked(ENGINE_STATUS_BLOCK_NAME));
        view[7] = 0x5A;
        EXPECT_EQ(Sim.SharedMemory().Contents(ENGINE_STATUS_BLOCK_NAME).at(7), 0x5A);
        EXPECT_TRUE(Sim.Dialogs().Shown().empty());
    }
    EXPECT_FALSE(Sim.SharedMemory().BackingFileExists(BackingFile()));
    EXPECT_FALSE(Sim.SharedMemory().Exists(ENGINE_STATUS_BLOCK_NAME));
}

TEST_F(MemoryMappedFile, WriterFailuresAreShownAndAMissingFileFallsBackToThePagingFile)
{
    struct cCase {
        const char* What;
        void (cSimSharedMemory::*Fail)(bool);
        std::vector<std::pair<std::string, std::string>> Boxes;  // text, caption
        bool Mapped;
        bool FileBacked;
    };
    const cCase cases[] = {
        {"file", &cSimSharedMemory::SetCreateFileFails, {{"CreateFile error (Output)", ""}}, true, false},
        {"mapping",
         &cSimSharedMemory::SetCreateMappingFails,
         {{"CreateFileMapping error (Output)", ""}, {"Can't map", "MapViewOfFile"}},
         false,
         false},
        {"view", &cSimSharedMemory::SetMapWriteFails, {{"Can't map", "MapViewOfFile"}}, false, true},
    };
    for (const cCase& c : cases) {
        SCOPED_TRACE(c.What);
        cSimWindows sim;
        (sim.SharedMemory().*c.Fail)(true);
        cMemoryMappedFile writer(sim.Get(), ENGINE_STATUS_BLOCK_NAME, ENGINE_STATUS_MAPPING_SIZE, 4096);
        EXPECT_EQ(writer.CreateForWriting().empty(), !c.Mapped);
        std::vector<std::pair<std::string, std::string>> shown;
        for (const cSimMessageBox& box : sim.Dialogs().Shown())
            shown.emplace_back(box.Text, box.Caption);
        EXPECT_EQ(shown, c.Boxes);
        EXPECT_EQ(sim.SharedMemory().IsFileBacked(ENGINE_STATUS_BLOCK_NAME), c.FileBacked);
    }
}

TEST_F(MemoryMappedFile, TheReaderKeepsItsHandleWhileViewsComeAndGo)
{
    auto writer = Writer();
    ASSERT_TRUE(InitialiseEngineStatus(writer->CreateForWriting()));
    cMemoryMappedFile reader(Sim.Get(), ENGINE_STATUS_BLOCK_NAME, ENGINE_STATUS_MAPPING_SIZE, 0);
    for (int tick = 0; tick < 3; ++tick) {
        const std::span<const uint8_t> view = reader.OpenForReading();
        ASSERT_GE(view.size(), ENGINE_STATUS_BLOCK_LENGTH);
        EXPECT_EQ(view[0], 4);
        EXPECT_EQ(Sim.SharedMemory().OpenViews(), 1);
        EXPECT_TRUE(reader.Unmap());
        EXPECT_EQ(Sim.SharedMemory().OpenViews(), 0);
        EXPECT_EQ(Sim.SharedMemory().OpenMappings(), 1);
    }
    EXPECT_EQ(Sim.SharedMemory().OpenCalls(), 1);
    // Without a view, Unmap lets the handle go.
    EXPECT_TRUE(reader.Unmap());
    EXPECT_EQ(Sim.SharedMemory().OpenMappings(), 0);

    cMemoryMappedFile nothing(Sim.Get(), "no such block", 4096, 0);
    EXPECT_TRUE(nothing.OpenForReading().empty());
    EXPECT_TRUE(nothing.Unmap());
}

TEST(EngineWatch, ShowsTheBlockOfASeparateEngineAndEndsWithIt)
{
    cSimWindows sim;
    cMemoryMappedFile reader(sim.Get(), ENGINE_STATUS_BLOCK_NAME, ENGINE_STATUS_MAPPING_SIZE, 0);
    cEngineWatch watch(sim.Get(), reader);
    cRecordingDisplay display;

    // No engine yet: the labels stay, the configurator stays.
    EXPECT_TRUE(watch.Tick(display));
    EXPECT_EQ(display.MediaCenter, "-");

    // The tray process is no engine to find.
    sim.Windowing().AddWindow("TApplication", "Slumberhold", 0x200);
    EXPECT_TRUE(watch.Tick(display));
    EXPECT_EQ(display.MediaCenter, "-");

    const WindowHandle engine = sim.Windowing().AddWindow("TApplication", "Slumberhold - Engine mode", 0x300);
    EXPECT_TRUE(watch.Tick(display));
    EXPECT_EQ(display.MediaCenter, "SLH Engine not running");

    std::vector<uint8_t> block(ENGINE_STATUS_MAPPING_SIZE);
    InitialiseEngineStatus(block);
    WriteEngineStatus(block, {"0:00.03", "Detection suspended", "Detection suspended", 2});
    sim.SharedMemory().WriteBlock(ENGINE_STATUS_BLOCK_NAME, block);
    EXPECT_TRUE(watch.Tick(display));
    EXPECT_EQ(display.MediaCenter, "Detection suspended");
    EXPECT_EQ(display.Recording, "Detection suspended");
    EXPECT_EQ(display.LastInput, "0:00.03");
    EXPECT_EQ(display.Extenders, "2");
    EXPECT_EQ(sim.SharedMemory().OpenViews(), 0);

    block[0] = 3;
    sim.SharedMemory().WriteBlock(ENGINE_STATUS_BLOCK_NAME, block);
    EXPECT_TRUE(watch.Tick(display));
    EXPECT_EQ(display.MediaCenter, "Incompatible engine detected");
    EXPECT_EQ(display.Recording, "Detection suspended");

    sim.Windowing().DestroyWindow(engine);
    EXPECT_FALSE(watch.Tick(display));
}

}  // namespace
