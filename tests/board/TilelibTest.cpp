#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "platform/flash.h"
#include "sim/Flash.hpp"
#include "tile_fetcher/tilelib.h"

namespace {

struct ZoomRange {
    std::uint32_t minX, maxX, minY, maxY;
};

// A collection image laid out as in flash: the 11 batch addresses, then per
// zoom level its batch record and tile list, then one 4-byte payload per tile.
class CollectionImage {
public:
    explicit CollectionImage(const std::vector<std::pair<std::uint8_t, ZoomRange>>& levels)
    {
        words.assign(11, 0);
        for (const auto& [zoom, range] : levels) {
            const std::uint32_t count = (range.maxX - range.minX + 1) * (range.maxY - range.minY + 1);
            words[zoom - 6] = address(words.size());
            const std::size_t record = words.size();
            words.insert(words.end(), {0, count, range.minX, range.maxX, range.minY, range.maxY});
            words[record] = address(words.size());
            lists.push_back(words.size());
            words.resize(words.size() + 2 * count);
        }
        for (const std::size_t list : lists) {
            const std::uint32_t count = words[list - 5];
            for (std::uint32_t i = 0; i < count; ++i) {
                words[list + 2 * i] = address(words.size());
                words[list + 2 * i + 1] = 4;
                words.push_back(i);
            }
        }
    }

    void install() const
    {
        sim::installFlashImage(reinterpret_cast<const std::uint8_t*>(words.data()), words.size() * 4);
    }

    const TileEntry* entry(std::size_t level, std::uint32_t index) const
    {
        return reinterpret_cast<const TileEntry*>(&words[lists[level] + 2 * index]);
    }

    std::vector<std::uint32_t> words;

private:
    static std::uint32_t address(std::size_t wordIndex)
    {
        return flashBaseAddress + static_cast<std::uint32_t>(wordIndex * 4);
    }

    std::vector<std::size_t> lists;
};

class TileLookup : public ::testing::Test {
protected:
    void SetUp() override { image.install(); }
    void TearDown() override { sim::installFlashImage(nullptr, 0); }

    CollectionImage image{{{6, {33, 34, 19, 20}}, {10, {528, 544, 306, 320}}}};
};

} // namespace

TEST_F(TileLookup, FindsEntriesRowMajorWithinTheRanges)
{
    EXPECT_EQ(tilelib_getTile(33, 19, 6), image.entry(0, 0));
    EXPECT_EQ(tilelib_getTile(34, 19, 6), image.entry(0, 1));
    EXPECT_EQ(tilelib_getTile(34, 20, 6), image.entry(0, 3));
    EXPECT_EQ(tilelib_getTile(544, 320, 10), image.entry(1, 254));

    const TileEntry* entry = tilelib_getTile(34, 20, 6);
    const auto* payload = static_cast<const std::uint32_t*>(flash_pointer(entry->data, entry->size));
    ASSERT_NE(payload, nullptr);
    EXPECT_EQ(*payload, 3u);
}

TEST_F(TileLookup, EverythingOutsideIsTheEmptyEntry)
{
    for (const std::uint8_t zoom : {0, 5, 7, 17, 255}) {
        EXPECT_EQ(tilelib_getTile(33, 19, zoom), &tilelib::empty) << int{zoom};
    }
    EXPECT_EQ(tilelib_getTile(32, 19, 6), &tilelib::empty);
    EXPECT_EQ(tilelib_getTile(35, 19, 6), &tilelib::empty);
    EXPECT_EQ(tilelib_getTile(33, 18, 6), &tilelib::empty);
    EXPECT_EQ(tilelib_getTile(33, 21, 6), &tilelib::empty);
    EXPECT_EQ(tilelib::empty.data, 0u);
    EXPECT_EQ(tilelib::empty.size, 0u);
}

TEST_F(TileLookup, DamagedTablesNeverLeadOutsideTheImage)
{
    // A count smaller than the ranges claim: the index test catches it.
    image.words[image.words[0] / 4 - flashBaseAddress / 4 + 1] = 3;
    EXPECT_EQ(tilelib_getTile(34, 20, 6), &tilelib::empty);
    // A list address beyond the image.
    image.words[image.words[4] / 4 - flashBaseAddress / 4] = flashBaseAddress + 0x100000;
    EXPECT_EQ(tilelib_getTile(528, 306, 10), &tilelib::empty);
    sim::installFlashImage(nullptr, 0);
    EXPECT_EQ(tilelib_getTile(33, 19, 6), &tilelib::empty);
}
