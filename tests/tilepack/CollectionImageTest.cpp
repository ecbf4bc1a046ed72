// The image layout, read back through the firmware's lookup.

#include <cstring>
#include <string>

#include <gtest/gtest.h>

#include "platform/flash.h"
#include "sim/DefaultFlash.hpp"
#include "sim/Flash.hpp"
#include "sim/FlashImage.hpp"
#include "tile_fetcher/tilelib.h"
#include "tilepack/CollectionImage.hpp"

namespace {

using tilepack::collectionRanges;

class CollectionImageLayout : public testing::Test {
protected:
    void TearDown() override
    {
        const sim::FlashImageView image = sim::defaultFlashImage();
        sim::installFlashImage(image.bytes, image.size);
    }

    std::string payloadOf(std::uint32_t x, std::uint32_t y, std::uint8_t zoom)
    {
        const TileEntry* entry = tilelib_getTile(x, y, zoom);
        const void* bytes = flash_pointer(entry->data, entry->size);
        return bytes == nullptr ? std::string{} : std::string(static_cast<const char*>(bytes), entry->size);
    }
};

TEST_F(CollectionImageLayout, TilesAreFoundAtTheirAddressesWithAlignedPayloads)
{
    tilepack::CollectionTiles tiles = tilepack::emptyCollection();
    tiles[0][collectionRanges[0].indexOf(33, 19)] = "abc";
    tiles[0][collectionRanges[0].indexOf(34, 19)] = "defgh";
    tiles[0][collectionRanges[0].indexOf(33, 20)] = "ij";
    tiles[10][collectionRanges[10].indexOf(34635, 20364)] = "last";
    const std::vector<std::uint8_t> image = tilepack::layoutImage(tiles);

    EXPECT_EQ(sim::checkFlashImage(image.data(), image.size()), "");
    sim::installFlashImage(image.data(), image.size());
    EXPECT_EQ(payloadOf(33, 19, 6), "abc");
    EXPECT_EQ(payloadOf(34, 19, 6), "defgh");
    EXPECT_EQ(payloadOf(33, 20, 6), "ij");
    EXPECT_EQ(payloadOf(34635, 20364, 16), "last");
    EXPECT_EQ(tilelib_getTile(34, 20, 6)->size, 0u);

    // Payloads follow x first, then y; each starts on a 4-byte boundary.
    EXPECT_LT(tilelib_getTile(33, 20, 6)->data, tilelib_getTile(34, 19, 6)->data);
    EXPECT_EQ(tilelib_getTile(33, 20, 6)->data % 4, 0u);
    EXPECT_EQ(tilelib_getTile(34, 19, 6)->data % 4, 0u);
}

TEST_F(CollectionImageLayout, BatchRecordsHoldTheRangesOfTheTable)
{
    const std::vector<std::uint8_t> image = tilepack::layoutImage(tilepack::emptyCollection());
    sim::installFlashImage(image.data(), image.size());
    for (std::size_t level = 0; level < collectionRanges.size(); ++level) {
        std::uint32_t batchAddress = 0;
        std::memcpy(&batchAddress, image.data() + 4 * level, 4);
        const auto* batch = static_cast<const TileBatch*>(flash_pointer(batchAddress, sizeof(TileBatch)));
        ASSERT_NE(batch, nullptr);
        const tilepack::ZoomRange& range = collectionRanges[level];
        EXPECT_EQ(batch->tiles, batchAddress + sizeof(TileBatch)) << "the list follows its record";
        EXPECT_EQ(batch->count, range.count());
        EXPECT_EQ(batch->minX, range.minX);
        EXPECT_EQ(batch->maxX, range.maxX);
        EXPECT_EQ(batch->minY, range.minY);
        EXPECT_EQ(batch->maxY, range.maxY);
    }
}

} // namespace
