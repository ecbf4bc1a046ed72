// Every tile of the built-in collection, transcoded at its own zoom level
// into a map cache slot and read back segment by segment: the bytes the
// segments hold must stay exactly those recorded here, one checksum per zoom
// level. A change to the transcoder that changes any byte fails.

#include <gtest/gtest.h>

#include <array>
#include <cstring>
#include <vector>

#include "board_config/BoardConfig.hpp"
#include "tile_fetcher/tilelib.h"
#include "tileinspect/StoredTiles.hpp"
#include "vecta/TileTranscoder.hpp"

namespace {

struct LevelChecksums {
    std::uint64_t tiles;  // the encoded tiles
    std::uint64_t output; // what their segment buffers hold
};

// Taken from the collection built from ../shared/mapdata and the transcoder
// of the thinning fix.
constexpr std::array<LevelChecksums, tilelib::zoomLevels> recorded{{
    {0x41B68BE20791544Eu, 0x5A4D3192EDFCEE8Cu}, // zoom 6
    {0xB5D22181BAE00074u, 0xB1413DC65C42ACBBu}, // zoom 7
    {0x91BDC517B41598FFu, 0x2678EE623183AB6Bu}, // zoom 8
    {0x2635789F3FBAEA86u, 0xD8767C6C508795BBu}, // zoom 9
    {0x44B95EFA0C90D5A7u, 0xD58EF6035E81634Fu}, // zoom 10
    {0x32130B7DC8A9FE48u, 0x1E5D77918D3FEC2Fu}, // zoom 11
    {0x8364309CE73BF126u, 0xAF8D86DF154663F0u}, // zoom 12
    {0x7B872093EBA423D3u, 0xEAFA082949BC83FDu}, // zoom 13
    {0x4293E1898BC6EEB5u, 0x3976B2EAAA774A72u}, // zoom 14
    {0xC251D3C988E16429u, 0x4850EF7FB9643A9Au}, // zoom 15
    {0x8AEFDEAE58020691u, 0x344FEAA3FC902078u}, // zoom 16
}};

// 64-bit FNV-1a.
class Checksum {
public:
    void add(const void* data, std::size_t size)
    {
        const auto* bytes = static_cast<const std::uint8_t*>(data);
        for (std::size_t i = 0; i < size; ++i) {
            value = (value ^ bytes[i]) * 0x100000001B3u;
        }
    }
    void add(std::uint32_t number) { add(&number, sizeof number); }
    std::uint64_t result() const { return value; }

private:
    std::uint64_t value = 0xCBF29CE484222325u;
};

// The slot is read as the map widget reads it, so padding does not count.
void addSegments(const std::vector<std::uint32_t>& slot, unsigned int bytes, Checksum& sum)
{
    sum.add(bytes);
    vecta::BufferReader reader(slot.data(), bytes);
    for (vecta::Segment segment = vecta::TileTranscoder::readNextSegment(reader); segment.header != nullptr;
         segment = vecta::TileTranscoder::readNextSegment(reader)) {
        sum.add(segment.header, sizeof(vecta::SegmentHeader));
        sum.add(segment.payload.current, segment.payload.size);
    }
    EXPECT_EQ(reader.remaining(), 0u);
}

TEST(CollectionOutput, EveryTileTranscodesToTheRecordedBytes)
{
#if !MAPBOARD_REAL_MAP_DATA
    GTEST_SKIP() << "built on the sample map: the checksums belong to the real map data";
#endif
    std::array<Checksum, tilelib::zoomLevels> tiles;
    std::array<Checksum, tilelib::zoomLevels> output;
    vecta::TileTranscoder transcoder;
    std::vector<std::uint32_t> slot(board::cacheSlotBytes / 4);
    for (const tileinspect::StoredTile& tile : tileinspect::storedTiles()) {
        const unsigned int level = tile.zoom - tilelib::minZoom;
        tiles[level].add(tile.x);
        tiles[level].add(tile.y);
        tiles[level].add(tile.bytes, tile.size);

        vecta::BufferWriter writer(slot.data(), board::cacheSlotBytes);
        writer.realign();
        const unsigned int bytes = transcoder.decode(tile.bytes, tile.size, tile.zoom, writer);
        output[level].add(tile.x);
        output[level].add(tile.y);
        addSegments(slot, bytes, output[level]);
    }
    for (unsigned int level = 0; level < tilelib::zoomLevels; ++level) {
        SCOPED_TRACE("zoom " + std::to_string(tilelib::minZoom + level));
        ASSERT_EQ(tiles[level].result(), recorded[level].tiles)
            << "the collection changed: record new checksums with the transcoder as it was before your change";
        EXPECT_EQ(output[level].result(), recorded[level].output);
    }
}

} // namespace
