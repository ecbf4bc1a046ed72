// Sea polygons with many islands: built, read back and transcoded as the
// board would, no hole may be lost and the filled area must stay the same.

#include <cmath>
#include <cstring>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "tilepack/Geos.hpp"
#include "tilepack/MvtWriter.hpp"
#include "tilepack/PolygonPieces.hpp"
#include "tilepack/SourceMapping.hpp"
#include "tilepack/TileGeometry.hpp"
#include "tilepack/TileValidator.hpp"
#include "vecta/TileTranscoder.hpp"

namespace {

using tilepack::Shape;
using tilepack::TilePath;
using tilepack::WorldPath;

constexpr tilepack::TileAddress tile{136, 77, 8};

WorldPath square(double x, double y, double side)
{
    const tilepack::TileTransform transform = tilepack::transformFor(tile);
    const auto at = [&](double tx, double ty) {
        return tilepack::WorldPoint{transform.worldX(tx), transform.worldY(ty)};
    };
    return {at(x, y), at(x + side, y), at(x + side, y + side), at(x, y + side)};
}

// The sea over the whole tile with square islands `side` units wide, laid
// out on a grid `pitch` units apart.
std::vector<WorldPath> seaWithIslands(int count, double side, double pitch)
{
    std::vector<WorldPath> rings{square(0, 0, 4096)};
    const int columns = static_cast<int>(4000 / pitch);
    for (int i = 0; i < count; ++i) {
        rings.push_back(square(50 + (i % columns) * pitch, 50 + (i / columns) * pitch, side));
    }
    return rings;
}

// Area covered by the pieces together, in square tile units.
double coveredArea(const std::vector<TilePath>& parts)
{
    tilepack::WorldGeometry pieces{Shape::Polygon, {}};
    for (const TilePath& ring : parts) {
        if (tilepack::doubledArea(ring) > 0) {
            pieces.components.emplace_back();
        }
        WorldPath path;
        for (const vecta::Point& p : ring) {
            path.push_back({static_cast<double>(p.x), static_cast<double>(p.y)});
        }
        pieces.components.back().push_back(path);
    }
    const tilepack::GeometryPtr geometry = tilepack::toGeos(pieces);
    const tilepack::GeometryPtr united =
        tilepack::checked(GEOSUnaryUnion_r(tilepack::geosContext(), geometry.get()), "union");
    double area = 0;
    GEOSArea_r(tilepack::geosContext(), united.get(), &area);
    return area;
}

struct Transcoded {
    unsigned int segments = 0;
    unsigned int holes = 0;
    unsigned int mostRings = 0;
};

Transcoded transcode(const tilepack::TileShape& shape)
{
    tilepack::MvtWriter writer;
    const tilepack::Properties none;
    writer.add("water", tilepack::TileFeature{1, &none, shape});
    const std::string bytes = writer.encode();
    tilepack::TileValidator validator;
    EXPECT_NO_THROW(validator.check(bytes, tile.zoom));

    std::vector<std::uint32_t> buffer(1u << 20);
    vecta::BufferWriter destination(buffer.data(), static_cast<unsigned int>(buffer.size() * 4));
    vecta::TileTranscoder transcoder;
    vecta::BufferReader reader(buffer.data(), transcoder.decode(bytes.data(), static_cast<unsigned int>(bytes.size()),
                                                                tile.zoom, destination));
    Transcoded result;
    for (vecta::Segment s = vecta::TileTranscoder::readNextSegment(reader); s.header != nullptr;
         s = vecta::TileTranscoder::readNextSegment(reader)) {
        ++result.segments;
        result.holes += s.header->close_count - 1u;
        result.mostRings = std::max(result.mostRings, unsigned{s.header->close_count});
    }
    return result;
}

TEST(PolygonPieces, ThousandSmallIslandsAreCutIntoPiecesNoneLost)
{
    // Islands 40 units wide, 120 apart, and as many specks 20 units wide.
    std::vector<WorldPath> rings = seaWithIslands(1000, 40, 120);
    const std::vector<WorldPath> specks = seaWithIslands(1000, 20, 120);
    for (std::size_t i = 1; i < specks.size(); ++i) {
        WorldPath speck = specks[i];
        for (tilepack::WorldPoint& p : speck) {
            p.y += 60 * tilepack::unitScale(tile.zoom);
        }
        rings.push_back(speck);
    }
    const tilepack::TileShape shape = tilepack::toTileShape({Shape::Polygon, {rings}}, tile);

    EXPECT_EQ(shape.holesLeftOut, 1000u) << "the specks fit within the thinning distance";
    EXPECT_EQ(shape.polygonsSplit, 1u);
    const Transcoded transcoded = transcode(shape);
    EXPECT_GE(transcoded.segments, 4u);
    EXPECT_LE(transcoded.mostRings, tilepack::maxHoles + 1);
    EXPECT_EQ(transcoded.holes, 1000u);
    EXPECT_NEAR(coveredArea(shape.parts), 4096.0 * 4096 - 1000 * 40 * 40, 1.0);
}

TEST(PolygonPieces, ThreeHundredLargeIslandsStayHoles)
{
    const tilepack::TileShape shape = tilepack::toTileShape({Shape::Polygon, {seaWithIslands(300, 150, 200)}}, tile);
    EXPECT_EQ(shape.holesLeftOut, 0u);
    EXPECT_EQ(shape.polygonsSplit, 1u);
    const Transcoded transcoded = transcode(shape);
    EXPECT_EQ(transcoded.segments, 2u);
    EXPECT_EQ(transcoded.holes, 300u);
    EXPECT_NEAR(coveredArea(shape.parts), 4096.0 * 4096 - 300 * 150 * 150, 1.0);
}

TEST(PolygonPieces, IslandsWithNoLineBetweenThemAreCutThrough)
{
    // Staggered rows 10 units apart: every line across the sea comes within
    // the overlap of an island.
    std::vector<WorldPath> rings{square(0, 0, 4096)};
    for (int row = 0; row < 20; ++row) {
        for (int column = 0; column < 19; ++column) {
            rings.push_back(square(20 + column * 200 + (row % 2) * 100, 20 + row * 200, 190));
        }
    }
    const double islands = 380 * 190 * 190;
    const tilepack::TileShape shape = tilepack::toTileShape({Shape::Polygon, {rings}}, tile);
    EXPECT_EQ(shape.polygonsSplit, 1u);
    const Transcoded transcoded = transcode(shape);
    EXPECT_LE(transcoded.mostRings, tilepack::maxHoles + 1);
    EXPECT_LT(transcoded.holes, 380u) << "islands on the cut are notches in the pieces' outlines";
    EXPECT_NEAR(coveredArea(shape.parts), 4096.0 * 4096 - islands, 1.0);
}

TEST(PolygonPieces, ValidationRefusesAPolygonASegmentCannotHold)
{
    tilepack::TileShape shape{Shape::Polygon, {{{0, 0}, {4000, 0}, {4000, 4000}, {0, 4000}}}};
    for (int i = 0; i <= static_cast<int>(tilepack::maxHoles); ++i) {
        const int x = 100 + (i % 20) * 190;
        const int y = 100 + (i / 20) * 190;
        shape.parts.push_back({{x, y}, {x, y + 50}, {x + 50, y + 50}, {x + 50, y}});
    }
    tilepack::MvtWriter writer;
    const tilepack::Properties none;
    writer.add("water", tilepack::TileFeature{1, &none, shape});
    tilepack::TileValidator validator;
    EXPECT_THROW(validator.check(writer.encode(), tile.zoom), std::runtime_error);
    shape.parts.pop_back();
    tilepack::MvtWriter fitting;
    fitting.add("water", tilepack::TileFeature{1, &none, shape});
    const std::string whole = fitting.encode();
    EXPECT_NO_THROW(validator.check(whole, tile.zoom));
    // A tile the board would find damaged is refused as well.
    EXPECT_THROW(validator.check(whole.substr(0, whole.size() - 1), tile.zoom), std::runtime_error);
}

} // namespace
