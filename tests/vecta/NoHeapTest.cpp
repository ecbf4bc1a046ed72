// Decoding a tile must not touch the heap: the firmware has none to spare.

#include <gtest/gtest.h>

#include <vector>

#include "board_config/BoardConfig.hpp"
#include "mvtsample/SyntheticTile.hpp"
#include "support/AllocationCounter.hpp"
#include "vecta/TileTranscoder.hpp"

TEST(NoHeap, DecodingAndReadingSegmentsAllocateNothing)
{
    const std::string tile = mvt::makeSyntheticTile(3, 100 * 1024);
    std::vector<std::uint32_t> slot(board::cacheSlotBytes / 4);
    static vecta::TileTranscoder transcoder;

    const long before = heapAllocations();
    vecta::BufferWriter writer(slot.data(), board::cacheSlotBytes);
    writer.realign();
    const unsigned int bytes = transcoder.decode(tile.data(), static_cast<unsigned int>(tile.size()), 16, writer);
    vecta::BufferReader reader(slot.data(), bytes);
    unsigned int segments = 0;
    while (vecta::TileTranscoder::readNextSegment(reader).header != nullptr) {
        ++segments;
    }
    EXPECT_EQ(heapAllocations(), before);
    EXPECT_GT(segments, 100u);
}
