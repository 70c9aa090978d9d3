// The simulated named mappings that every reader test relies on: a view
// holds the bytes of the moment it was made, and the next view shows what a
// writer changed since, whether it replaced the block or wrote in place.
#include <gtest/gtest.h>

#include <vector>

#include "platform/sim/SimSharedMemory.h"

TEST(SimSharedMemory, AViewKeepsItsBytesAndTheNextViewSeesEveryChange)
{
    cSimSharedMemory memory;
    const std::unique_ptr<cWritableMapping> writer = memory.CreateMapping(nullptr, "block", 4);
    ASSERT_TRUE(writer);
    const std::unique_ptr<cSharedMemoryMapping> reader = memory.OpenReadOnly("block");
    ASSERT_TRUE(reader);
    auto bytesOf = [](const cSharedMemoryView& view) {
        return std::vector<uint8_t>(view.Data(), view.Data() + view.Size());
    };

    const std::unique_ptr<cSharedMemoryView> first = reader->MapView();
    const std::unique_ptr<cSharedMemoryView> same = reader->MapView();
    // Written in place, as the engine writes its status block.
    writer->MapViewForWriting(0)->Data()[2] = 7;
    const std::unique_ptr<cSharedMemoryView> afterWrite = reader->MapView();
    // Replaced by the creating process, one byte longer.
    memory.WriteBlock("block", {1, 2, 3, 4, 5});
    const std::unique_ptr<cSharedMemoryView> afterReplace = reader->MapView();

    EXPECT_EQ(bytesOf(*first), (std::vector<uint8_t>{0, 0, 0, 0}));
    EXPECT_EQ(bytesOf(*same), bytesOf(*first));
    EXPECT_EQ(bytesOf(*afterWrite), (std::vector<uint8_t>{0, 0, 7, 0}));
    EXPECT_EQ(bytesOf(*afterReplace), (std::vector<uint8_t>{1, 2, 3, 4, 5}));
    EXPECT_EQ(memory.OpenViews(), 4);
}
