// What the collection check counts in one tile: lines thinned to their ends,
// how far thinned paths stray, rings thinned flat and holes a segment cannot
// hold; features the style does not draw count nowhere.

#include <cstdint>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "tileinspect/ShapeStats.hpp"
#include "tilepack/MvtWriter.hpp"

namespace {

using tilepack::Shape;
using tilepack::TileFeature;
using tilepack::TilePath;

const tilepack::Properties primary{{"class", "primary"}};

tileinspect::ShapeStats tally(const tilepack::MvtWriter& writer, unsigned int zoom = 10)
{
    std::vector<std::uint32_t> buffer(1u << 20);
    tileinspect::ShapeStats stats;
    tileinspect::tallyTile(writer.encode(), zoom, buffer, stats);
    return stats;
}

// A square of `side` units at (x, y); a hole when `clockwise` (y down).
TilePath square(std::int32_t x, std::int32_t y, std::int32_t side, bool clockwise)
{
    if (clockwise) {
        return {{x, y}, {x, y + side}, {x + side, y + side}, {x + side, y}};
    }
    return {{x, y}, {x + side, y}, {x + side, y + side}, {x, y + side}};
}

TEST(ShapeStats, CountsLinesThinnedToTheirEndsAndHowFarTheyStray)
{
    tilepack::MvtWriter writer;
    // A point near both ends gives way, 8 units off the straight line.
    writer.add("road", TileFeature{1, &primary, {Shape::Line, {{{0, 0}, {10, 8}, {20, 0}}}}});
    // A bend of 500 units stays.
    writer.add("road", TileFeature{2, &primary, {Shape::Line, {{{0, 1000}, {1000, 1500}, {2000, 1000}}}}});
    writer.add("road", TileFeature{3, &primary, {Shape::Line, {{{0, 3000}, {2000, 3000}}}}});

    const tileinspect::ShapeStats stats = tally(writer);
    EXPECT_EQ(stats.tiles, 1u);
    EXPECT_EQ(stats.lines, 3u);
    EXPECT_EQ(stats.linesToEnds, 2u) << "the thinned line and the straight one";
    EXPECT_EQ(stats.bentLinesToEnds, 1u) << "only the thinned one had more points";
    EXPECT_DOUBLE_EQ(stats.largestDeviation, 8.0);
    EXPECT_EQ(stats.rings, 0u);
    EXPECT_EQ(stats.unmatched, 0u);
    ASSERT_EQ(stats.bufferBytes.size(), 1u);
    EXPECT_GT(stats.bufferBytes[0], 0u);
}

TEST(ShapeStats, CountsWideFlatRingsAndHolesASegmentCannotHold)
{
    tilepack::MvtWriter writer;
    // A ring there and back along 100 units: flat, and wider than thinning
    // could ever make one.
    writer.add("water", TileFeature{1, nullptr, {Shape::Polygon, {{{0, 0}, {100, 0}, {0, 0}}}}});
    // One outer ring and 300 holes: a segment holds 255 rings.
    TileFeature lake{2, nullptr, {Shape::Polygon, {square(0, 100, 4000, false)}}};
    for (std::int32_t i = 0; i < 300; ++i) {
        lake.geometry.parts.push_back(square(100 + (i % 20) * 190, 200 + (i / 20) * 190, 100, true));
    }
    writer.add("water", lake);

    const tileinspect::ShapeStats stats = tally(writer);
    EXPECT_EQ(stats.flatRings, 1u);
    EXPECT_EQ(stats.wideFlatRings, 1u);
    EXPECT_EQ(stats.holesLeftOut, 300u - 254u);
    EXPECT_EQ(stats.rings, 1u + 255u) << "the flat ring, the outer ring and the holes kept";
    EXPECT_EQ(stats.lines, 0u);
    EXPECT_EQ(stats.unmatched, 0u);
}

TEST(ShapeStats, CountsNothingTheStyleDoesNotDraw)
{
    tilepack::MvtWriter writer;
    writer.add("unstyled", TileFeature{1, nullptr, {Shape::Line, {{{0, 0}, {1000, 500}, {2000, 0}}}}});
    writer.add("road", TileFeature{2, &primary, {Shape::Point, {{{100, 100}}}}});

    const tileinspect::ShapeStats stats = tally(writer);
    EXPECT_EQ(stats.tiles, 1u);
    EXPECT_EQ(stats.lines + stats.rings + stats.unmatched, 0u);
    EXPECT_EQ(stats.medianBytes(), 0u) << "a tile that draws nothing";
}

TEST(ShapeStats, AddsLevelsAndTakesTheMedianOfTilesThatDrawAnything)
{
    tileinspect::ShapeStats level;
    level.tiles = 3;
    level.bufferBytes = {0, 400, 100};
    level.lines = 2;
    level.largestDeviation = 3.5;
    tileinspect::ShapeStats other;
    other.tiles = 2;
    other.bufferBytes = {300, 0};
    other.lines = 1;
    other.holesLeftOut = 4;
    other.largestDeviation = 1.0;

    level.add(other);
    EXPECT_EQ(level.tiles, 5u);
    EXPECT_EQ(level.lines, 3u);
    EXPECT_EQ(level.holesLeftOut, 4u);
    EXPECT_DOUBLE_EQ(level.largestDeviation, 3.5) << "the farthest, not a sum";
    EXPECT_EQ(level.medianBytes(), 300u) << "of 100, 300 and 400; empty tiles left out";
    EXPECT_EQ(level.largestBytes(), 400u);
    EXPECT_EQ(tileinspect::ShapeStats{}.largestBytes(), 0u);
}

} // namespace
