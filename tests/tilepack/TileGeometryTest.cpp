// Clipping to a tile with its buffer, thinning and ring orientation.

#include <algorithm>
#include <utility>
#include <vector>

#include <gtest/gtest.h>

#include "tilepack/TileGeometry.hpp"

namespace {

using tilepack::Shape;
using tilepack::TileAddress;
using tilepack::TilePath;
using tilepack::WorldPoint;

constexpr TileAddress tile{8656, 5089, 14};

// World coordinates of a point given in the tile's own units.
WorldPoint at(double x, double y)
{
    const double scale = tilepack::unitScale(tile.zoom);
    return WorldPoint{(tile.x * 4096.0 + x) * scale, (tile.y * 4096.0 + y) * scale};
}

tilepack::WorldGeometry polygon(std::vector<tilepack::WorldPath> rings)
{
    return {Shape::Polygon, {std::move(rings)}};
}

tilepack::WorldGeometry line(tilepack::WorldPath path)
{
    return {Shape::Line, {{std::move(path)}}};
}

tilepack::WorldGeometry point(WorldPoint where)
{
    return {Shape::Point, {{{where}}}};
}

tilepack::TileShape cutAndConvert(const tilepack::WorldGeometry& geometry)
{
    const tilepack::Envelope bounds = tilepack::clipBounds(tile);
    switch (tilepack::overlapOf(tilepack::envelopeOf(geometry), bounds)) {
    case tilepack::Overlap::Whole:
        return tilepack::toTileShape(geometry, tile);
    case tilepack::Overlap::Part:
        return tilepack::toTileShape(tilepack::clipTo(geometry, bounds), tile);
    case tilepack::Overlap::None:
        break;
    }
    return tilepack::TileShape{geometry.shape, {}};
}

using Coordinates = std::vector<std::pair<int, int>>;

Coordinates coordinatesOf(const TilePath& path)
{
    Coordinates out;
    for (const vecta::Point& p : path) {
        out.emplace_back(p.x, p.y);
    }
    return out;
}

bool insideBuffer(const TilePath& path)
{
    return std::all_of(path.begin(), path.end(),
                       [](const vecta::Point& p) { return p.x >= -64 && p.x <= 4160 && p.y >= -64 && p.y <= 4160; });
}

TEST(TileGeometry, APolygonLargerThanTheTileIsCutAtTheBuffer)
{
    const auto sea = polygon({{at(-5000, -5000), at(9000, -5000), at(9000, 9000), at(-5000, 9000)}});
    const tilepack::TileShape shape = cutAndConvert(sea);
    ASSERT_EQ(shape.parts.size(), 1u);
    EXPECT_TRUE(insideBuffer(shape.parts[0]));
    EXPECT_EQ(tilepack::doubledArea(shape.parts[0]), 2LL * 4224 * 4224);
}

TEST(TileGeometry, OuterRingsArePositiveAndHolesNegativeWithYDown)
{
    // Given the other way round: outer ring anticlockwise on screen, hole clockwise.
    const auto park = polygon({{at(100, 100), at(100, 900), at(900, 900), at(900, 100)},
                               {at(300, 300), at(600, 300), at(600, 600), at(300, 600)}});
    const tilepack::TileShape shape = cutAndConvert(park);
    ASSERT_EQ(shape.parts.size(), 2u);
    EXPECT_EQ(tilepack::doubledArea(shape.parts[0]), 2 * 800 * 800);
    EXPECT_EQ(tilepack::doubledArea(shape.parts[1]), -2 * 300 * 300);
    EXPECT_EQ(shape.parts[0].size(), 4u) << "no repeated closing point";
}

TEST(TileGeometry, ShapesThatThinAwayAreDropped)
{
    const auto speck = polygon({{at(10, 10), at(10.4, 10), at(10.4, 10.4)}});
    EXPECT_TRUE(cutAndConvert(speck).empty());
    const auto stub = line({at(500, 500), at(500.2, 500.1)});
    EXPECT_TRUE(cutAndConvert(stub).empty());

    std::vector<TilePath> out;
    EXPECT_FALSE(tilepack::appendPolygon({{{0, 0}, {1, 0}, {1, 1}}}, out)) << "twice the area is 1";
    EXPECT_TRUE(tilepack::appendPolygon({{{0, 0}, {9, 0}, {9, 9}}, {{1, 1}, {2, 1}, {2, 2}}}, out));
    EXPECT_EQ(out.size(), 1u) << "a hole of no visible size is left out";
}

TEST(TileGeometry, LinesAreCutIntoThePartsInsideTheBuffer)
{
    // In at the west edge, out at the north edge, back in from the north.
    const auto road = line({at(-1000, 2000), at(2000, 2000), at(2000, -1000), at(3000, -1000), at(3000, 1000)});
    const tilepack::TileShape shape = cutAndConvert(road);
    ASSERT_EQ(shape.parts.size(), 2u);
    for (const TilePath& part : shape.parts) {
        EXPECT_TRUE(insideBuffer(part));
    }
    EXPECT_EQ(shape.parts[0].front().x, -64);
    EXPECT_EQ(shape.parts[0].back().y, -64);
    EXPECT_EQ(shape.parts[1].back().y, 1000);
}

TEST(TileGeometry, ThinningKeepsCornersAndDropsNearlyStraightPoints)
{
    const auto road = line({at(0, 0), at(1000, 0.3), at(2000, 0), at(2000, 1000)});
    const tilepack::TileShape shape = cutAndConvert(road);
    ASSERT_EQ(shape.parts.size(), 1u);
    EXPECT_EQ(coordinatesOf(shape.parts[0]), (Coordinates{{0, 0}, {2000, 0}, {2000, 1000}}));
}

TEST(TileGeometry, PointsOutsideTheBufferAreLeftOut)
{
    const auto inside = point(at(4100, 10));
    const auto outside = point(at(4200, 10));
    const tilepack::TileShape kept = cutAndConvert(inside);
    ASSERT_EQ(kept.parts.size(), 1u);
    EXPECT_EQ(coordinatesOf(kept.parts[0]), (Coordinates{{4100, 10}}));
    EXPECT_TRUE(cutAndConvert(outside).empty());
}

} // namespace
