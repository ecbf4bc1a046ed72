// Loading another flash image: damaged images are refused with one message
// and leave the flash content as it was.

#include <cstdio>
#include <cstring>
#include <fstream>
#include <functional>
#include <random>
#include <string>
#include <vector>

#include <gtest/gtest.h>
#include <unistd.h>
#include <zlib.h>

#include "FlashImageFiles.hpp"
#include "platform/flash.h"
#include "sim/DefaultFlash.hpp"
#include "sim/Flash.hpp"
#include "sim/FlashImage.hpp"
#include "sim/FlashLoader.hpp"
#include "sim/ImageTrailer.hpp"
#include "tile_fetcher/tilelib.h"
#include "tilepack/CollectionImage.hpp"
#include "tilepack/MvtWriter.hpp"

namespace {

std::uint32_t wordAt(const std::vector<std::uint8_t>& image, std::uint32_t offset)
{
    std::uint32_t value = 0;
    std::memcpy(&value, image.data() + offset, 4);
    return value;
}

void setWord(std::vector<std::uint8_t>& image, std::uint32_t offset, std::uint32_t value)
{
    std::memcpy(image.data() + offset, &value, 4);
}

class FlashImageLoader : public FlashImageFiles {
protected:
    void SetUp() override
    {
        const sim::FlashImageView builtIn = sim::defaultFlashImage();
        sim::installFlashImage(builtIn.bytes, builtIn.size);
        tilepack::CollectionTiles tiles = tilepack::emptyCollection();
        tiles[0][0] = tileWithRoad(8);
        tiles[4][254] = tileWithRoad(10);
        image = tilepack::layoutImage(tiles);
    }
    // Offsets inside `image` of zoom 6's batch record and its first entry.
    std::uint32_t batchOffset(unsigned int level) const { return wordAt(image, 4 * level) - flashBaseAddress; }
    std::uint32_t firstEntryOffset(unsigned int level) const { return batchOffset(level) + 24; }

    std::vector<std::uint8_t> image;
};

TEST_F(FlashImageLoader, LoadsAGoodImage)
{
    ASSERT_EQ(load(image), "");
    const TileEntry* entry = tilelib_getTile(544, 320, 10);
    const std::string expected = tileWithRoad(10);
    ASSERT_EQ(entry->size, expected.size());
    EXPECT_EQ(std::memcmp(flash_pointer(entry->data, entry->size), expected.data(), expected.size()), 0);
}

TEST_F(FlashImageLoader, RefusesDamagedImagesAndKeepsTheFlashContent)
{
    const TileEntry before = *tilelib_getTile(33, 19, 6);
    const std::uint32_t imageEnd = flashBaseAddress + static_cast<std::uint32_t>(image.size());
    struct Damage {
        const char* name;
        std::function<void(std::vector<std::uint8_t>&)> apply;
        const char* message;
    };
    const std::vector<Damage> damages{
        {"empty file", [](auto& bytes) { bytes.clear(); }, "too short for the collection table (0 bytes)"},
        {"cut inside the table", [](auto& bytes) { bytes.resize(30); }, "too short for the collection table"},
        {"cut short", [](auto& bytes) { bytes.resize(bytes.size() - 8 - sim::imageTrailerBytes); },
         "zoom 16: tile list"},
        {"batch outside", [&](auto& bytes) { setWord(bytes, 8, imageEnd); }, "zoom 8: batch record address"},
        {"batch below the flash", [&](auto& bytes) { setWord(bytes, 8, 0x1000); }, "zoom 8: batch record address"},
        {"batch unaligned", [&](auto& bytes) { setWord(bytes, 0, wordAt(bytes, 0) + 2); }, "is unaligned"},
        {"count off", [&](auto& bytes) { setWord(bytes, batchOffset(1) + 4, 8); },
         "zoom 7: list holds 8 entries, its tile range needs 9"},
        {"range reversed", [&](auto& bytes) { setWord(bytes, batchOffset(2) + 12, 100); }, "bounds reversed"},
        {"list past the end", [&](auto& bytes) { setWord(bytes, batchOffset(10), imageEnd - 16); },
         "zoom 16: tile list"},
        {"payload outside", [&](auto& bytes) { setWord(bytes, firstEntryOffset(0), imageEnd + 64); }, "zoom 6 entry 0"},
        {"payload too long", [&](auto& bytes) { setWord(bytes, firstEntryOffset(0) + 4, 1u << 30); },
         "lies outside the image"},
        {"payload unaligned",
         [&](auto& bytes) { setWord(bytes, firstEntryOffset(0), wordAt(bytes, firstEntryOffset(0)) + 1); },
         "is not 4-byte aligned"},
        {"size without address", [&](auto& bytes) { setWord(bytes, firstEntryOffset(0) + 8 + 4, 12); },
         "has only one of address and size"},
    };
    for (const Damage& damage : damages) {
        std::vector<std::uint8_t> damaged = image;
        damage.apply(damaged);
        const std::string message = load(damaged);
        EXPECT_NE(message.find("refused: "), std::string::npos) << damage.name << ": " << message;
        EXPECT_NE(message.find(damage.message), std::string::npos) << damage.name << ": " << message;
        EXPECT_EQ(message.find('\n'), std::string::npos) << damage.name;
        const TileEntry* after = tilelib_getTile(33, 19, 6);
        EXPECT_EQ(after->data, before.data) << damage.name;
        EXPECT_EQ(after->size, before.size) << damage.name;
    }
}

TEST_F(FlashImageLoader, RefusesSoundTablesThatDescribeAWrongCollection)
{
    const TileEntry before = *tilelib_getTile(33, 19, 6);
    struct Damage {
        const char* name;
        std::function<void(std::vector<std::uint8_t>&)> apply;
        const char* message;
    };
    const std::vector<Damage> damages{
        {"zoom 13 at the zoom 12 record", [&](auto& bytes) { setWord(bytes, 4 * 7, wordAt(bytes, 4 * 6)); },
         "zoom 13: batch record at or before"},
        {"every entry at one payload",
         [&](auto& bytes) { setWord(bytes, firstEntryOffset(4) + 254 * 8, wordAt(bytes, firstEntryOffset(0))); },
         "two tiles share bytes"},
        {"range shifted off the level above",
         [&](auto& bytes) {
             setWord(bytes, batchOffset(1) + 8, 60);
             setWord(bytes, batchOffset(1) + 12, 62);
         },
         "zoom 7: tile range lies outside the area of zoom 6"},
    };
    for (const Damage& damage : damages) {
        std::vector<std::uint8_t> damaged = image;
        damage.apply(damaged);
        std::vector<std::uint8_t> resealed = damaged;
        reseal(resealed);
        EXPECT_NE(load(resealed).find(damage.message), std::string::npos) << damage.name << ": " << load(resealed);
        EXPECT_NE(load(damaged).find("refused: checksum mismatch"), std::string::npos) << damage.name;
        EXPECT_EQ(tilelib_getTile(33, 19, 6)->data, before.data) << damage.name;
    }
    std::vector<std::uint8_t> untagged = image;
    untagged.resize(untagged.size() - sim::imageTrailerBytes);
    EXPECT_NE(load(untagged).find("refused: no checksum"), std::string::npos);
}

TEST_F(FlashImageLoader, RefusesTheBuiltInImageCutInsideAPayload)
{
    const sim::FlashImageView builtIn = sim::defaultFlashImage();
    const std::vector<std::uint8_t> cut(builtIn.bytes, builtIn.bytes + builtIn.size - 8 - sim::imageTrailerBytes);
    const std::string message = load(cut);
    EXPECT_NE(message.find("zoom 16 entry"), std::string::npos) << message;
    EXPECT_NE(message.find("lies outside the image"), std::string::npos) << message;
}

TEST_F(FlashImageLoader, RefusesATileTheMapLibraryCannotRead)
{
    tilepack::CollectionTiles tiles = tilepack::emptyCollection();
    tiles[0][0] = tileWithRoad(8);
    tiles[4][254] = tileWithRoad(10);
    tiles[4][254][3] = '\x7f'; // inside the layer: an invalid wire type
    const TileEntry before = *tilelib_getTile(33, 19, 6);

    const std::string message = load(tilepack::layoutImage(tiles));
    EXPECT_NE(message.find("refused: tile 544/320/10 cannot be read by the map library (the tile is damaged)"),
              std::string::npos)
        << message;
    EXPECT_EQ(message.find('\n'), std::string::npos);
    EXPECT_EQ(tilelib_getTile(33, 19, 6)->data, before.data);
}

TEST_F(FlashImageLoader, RefusesAMissingFile)
{
    const std::string message = sim::loadFlashImage(path + ".missing");
    EXPECT_EQ(message, "flash image " + path + ".missing refused: No such file or directory");
}

TEST_F(FlashImageLoader, CheckSurvivesRandomDamage)
{
    std::mt19937 random(7);
    for (int round = 0; round < 2000; ++round) {
        std::vector<std::uint8_t> damaged = image;
        const int flips = 1 + static_cast<int>(random() % 4);
        for (int i = 0; i < flips; ++i) {
            // Mostly the tables at the front, where damage matters.
            const std::size_t at = random() % std::min<std::size_t>(damaged.size(), 2048);
            damaged[at] = static_cast<std::uint8_t>(random());
        }
        if (random() % 4 == 0) {
            damaged.resize(damaged.size() - random() % 64);
        }
        if (sim::checkFlashImage(damaged.data(), damaged.size()).empty()) {
            // Whatever passes the check must be safe to look up.
            for (std::uint8_t zoom = 6; zoom <= 16; ++zoom) {
                sim::installFlashImage(damaged.data(), damaged.size());
                const TileEntry* entry = tilelib_getTile(33, 19, zoom);
                EXPECT_TRUE(entry->size == 0 || flash_pointer(entry->data, entry->size) != nullptr);
            }
        }
    }
}

} // namespace
