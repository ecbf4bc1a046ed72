// The lookup on the collection image built into the programs.

#include <gtest/gtest.h>

#include "platform/flash.h"
#include "sim/DefaultFlash.hpp"
#include "sim/Flash.hpp"
#include "tile_fetcher/tilelib.h"

namespace {

class CollectionLookup : public testing::Test {
protected:
    void SetUp() override
    {
        const sim::FlashImageView image = sim::defaultFlashImage();
        sim::installFlashImage(image.bytes, image.size);
    }

    // The first entry of a zoom level's list, found through the raw tables.
    static const TileEntry* listOf(std::uint8_t zoom)
    {
        const auto* collection = static_cast<const std::uint32_t*>(flash_pointer(flashBaseAddress, 44));
        const auto* batch =
            static_cast<const TileBatch*>(flash_pointer(collection[zoom - tilelib::minZoom], sizeof(TileBatch)));
        return static_cast<const TileEntry*>(flash_pointer(batch->tiles, batch->count * 8));
    }
};

TEST_F(CollectionLookup, ZoomLevelsOutsideTheCollectionAreEmpty)
{
    EXPECT_EQ(tilelib_getTile(16, 9, 5), &tilelib::empty);
    EXPECT_EQ(tilelib_getTile(69232, 40682, 17), &tilelib::empty);
    EXPECT_EQ(tilelib_getTile(33, 19, 255), &tilelib::empty);
}

TEST_F(CollectionLookup, FindsEntriesOfTheZoom6List)
{
    EXPECT_EQ(tilelib_getTile(33, 19, 6), listOf(6));
    EXPECT_EQ(tilelib_getTile(34, 20, 6), listOf(6) + 3);
    EXPECT_EQ(tilelib_getTile(32, 19, 6), &tilelib::empty);
    EXPECT_EQ(tilelib_getTile(33, 21, 6), &tilelib::empty);
}

TEST_F(CollectionLookup, LastTileOfZoom10IsEntry254)
{
    EXPECT_EQ(tilelib_getTile(544, 320, 10), listOf(10) + 254);
}

TEST_F(CollectionLookup, AbsentTileIsAnEmptyEntryInsideTheZoom16List)
{
    const TileEntry* entry = tilelib_getTile(34614, 20341, 16);
    EXPECT_NE(entry, &tilelib::empty);
    EXPECT_GE(entry, listOf(16));
    EXPECT_LT(entry, listOf(16) + 625);
    EXPECT_EQ(entry->data, 0u);
    EXPECT_EQ(entry->size, 0u);
}

TEST_F(CollectionLookup, EveryOtherEntryHoldsAnAlignedTileInsideTheImage)
{
    struct Range {
        std::uint32_t minX, maxX, minY, maxY;
    };
    const Range ranges[] = {{33, 34, 19, 20},
                            {66, 68, 38, 40},
                            {132, 136, 76, 80},
                            {264, 272, 152, 160},
                            {528, 544, 306, 320},
                            {1069, 1088, 624, 640},
                            {2151, 2175, 1260, 1280},
                            {4315, 4339, 2532, 2556},
                            {8643, 8667, 5076, 5100},
                            {17299, 17323, 10164, 10188},
                            {34611, 34635, 20340, 20364}};
    unsigned int entries = 0;
    unsigned int tiles = 0;
    for (std::uint8_t level = 0; level < tilelib::zoomLevels; ++level) {
        const Range& range = ranges[level];
        for (std::uint32_t y = range.minY; y <= range.maxY; ++y) {
            for (std::uint32_t x = range.minX; x <= range.maxX; ++x) {
                const TileEntry* entry = tilelib_getTile(x, y, static_cast<std::uint8_t>(level + 6));
                ASSERT_NE(entry, &tilelib::empty) << x << "/" << y << "/" << level + 6;
                ++entries;
                if (entry->size != 0) {
                    ++tiles;
                    EXPECT_EQ(entry->data % 4, 0u);
                    EXPECT_NE(flash_pointer(entry->data, entry->size), nullptr);
                }
            }
        }
    }
    EXPECT_EQ(entries, 3739u);
    EXPECT_EQ(tiles, 3738u);
}

} // namespace
