#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <string>
#include <vector>

#include "board_config/BoardConfig.hpp"
#include "mvtsample/MvtEncoder.hpp"
#include "vecta/StringHash.hpp"
#include "vecta/TileFormat.hpp"
#include "vecta/TileTranscoder.hpp"

using mvt::LayerBuilder;
using mvt::Path;
using mvt::TileBuilder;
using vecta::LineToCommand;
using vecta::MoveToCommand;
using vecta::stringHash;

namespace {

struct DecodedSegment {
    vecta::SegmentHeader header;
    std::vector<float> coordinates;
    std::vector<std::uint8_t> commands;
};

class Transcoding : public ::testing::Test {
protected:
    unsigned int decode(const std::string& tile, unsigned char zoom, unsigned int slotBytes = 4096)
    {
        slot.assign((slotBytes + 3) / 4, 0xDEADBEEF);
        vecta::BufferWriter writer(slot.data(), slotBytes);
        writer.realign();
        return transcoder.decode(tile.data(), static_cast<unsigned int>(tile.size()), zoom, writer);
    }

    std::vector<DecodedSegment> segments(unsigned int bytes) const
    {
        std::vector<DecodedSegment> out;
        vecta::BufferReader reader(slot.data(), bytes);
        for (vecta::Segment s = vecta::TileTranscoder::readNextSegment(reader); s.header != nullptr;
             s = vecta::TileTranscoder::readNextSegment(reader)) {
            DecodedSegment decoded{*s.header, {}, {}};
            const unsigned int points = s.header->point_count;
            decoded.coordinates.resize(2 * points);
            std::memcpy(decoded.coordinates.data(), s.payload.current, 8 * points);
            const std::uint8_t* commands = s.payload.current + 8 * points;
            decoded.commands.assign(commands, commands + points + s.header->close_count);
            out.push_back(decoded);
        }
        return out;
    }

    vecta::TileTranscoder transcoder;
    std::vector<std::uint32_t> slot;
};

const Path square{{0, 0}, {100, 0}, {100, 100}, {0, 100}};
const Path squareHole{{20, 20}, {20, 80}, {80, 80}, {80, 20}};

// Distance of (x, y) from the nearest edge of a path of float pairs.
double distanceToPath(double x, double y, const std::vector<float>& path)
{
    double nearest = INFINITY;
    for (std::size_t i = 0; i + 3 < path.size(); i += 2) {
        const double ax = path[i];
        const double ay = path[i + 1];
        const double dx = path[i + 2] - ax;
        const double dy = path[i + 3] - ay;
        const double length = dx * dx + dy * dy;
        const double t = length > 0 ? std::clamp(((x - ax) * dx + (y - ay) * dy) / length, 0.0, 1.0) : 0.0;
        nearest = std::min(nearest, std::hypot(x - ax - t * dx, y - ay - t * dy));
    }
    return nearest;
}

std::size_t distinctPoints(const std::vector<float>& path)
{
    std::vector<std::pair<float, float>> points;
    for (std::size_t i = 0; i + 1 < path.size(); i += 2) {
        points.emplace_back(path[i], path[i + 1]);
    }
    std::sort(points.begin(), points.end());
    return static_cast<std::size_t>(std::unique(points.begin(), points.end()) - points.begin());
}

// A ring around (cx, cy), clockwise on screen (y down), so an outer ring.
Path circle(int cx, int cy, double radius, int points)
{
    Path ring;
    for (int i = 0; i < points; ++i) {
        const double angle = 2 * M_PI * i / points;
        ring.push_back({static_cast<std::int32_t>(std::lround(cx + radius * std::cos(angle))),
                        static_cast<std::int32_t>(std::lround(cy + radius * std::sin(angle)))});
    }
    ring.erase(std::unique(ring.begin(), ring.end(),
                           [](const vecta::Point& a, const vecta::Point& b) { return a.x == b.x && a.y == b.y; }),
               ring.end());
    return ring;
}

std::string roadTile(const char* featureClass)
{
    return TileBuilder().layer(LayerBuilder("road").line({{{0, 0}, {500, 0}}}, {{"class", featureClass}})).bytes();
}

} // namespace

TEST_F(Transcoding, KeysFeaturesByLayerAndClassAndClampsZoom)
{
    const std::uint32_t motorway = stringHash("road") + stringHash("motorway");
    for (unsigned char zoom : {10, 5, 3, 20}) {
        const auto result = segments(decode(roadTile("motorway"), zoom));
        ASSERT_EQ(result.size(), 1u) << int{zoom};
        EXPECT_EQ(result[0].header.style_id, motorway);
        EXPECT_EQ(result[0].header.path_style, vecta::LineString);
    }
    // Streets have no rule below zoom 11 and opacity 0 until 14.
    EXPECT_EQ(decode(roadTile("street"), 10), 0u);
    EXPECT_EQ(decode(roadTile("street"), 13), 0u);
    EXPECT_EQ(segments(decode(roadTile("street"), 14)).size(), 1u);

    const std::string water = TileBuilder().layer(LayerBuilder("water").polygon({square})).bytes();
    EXPECT_EQ(segments(decode(water, 8))[0].header.style_id, stringHash("water") + 3918293962u);
}

TEST_F(Transcoding, DropsFeaturesWithoutRuleOrOpacityAndPoints)
{
    LayerBuilder landuse("landuse");
    landuse.polygon({square}, {{"class", "residential"}});
    LayerBuilder overlay("landuse_overlay");
    overlay.polygon({square}, {{"class", "wetland"}});
    LayerBuilder labels("place_label");
    labels.add({1, mvt::pointGeometry({{5, 5}, {9, 9}}), {{"class", "default"}}});
    EXPECT_EQ(decode(TileBuilder().layer(landuse).layer(overlay).bytes(), 8), 0u);
    const std::string roadPoints =
        TileBuilder()
            .layer(LayerBuilder("road").add({1, mvt::pointGeometry({{5, 5}}), {{"class", "primary"}}}))
            .bytes();
    EXPECT_EQ(decode(roadPoints, 12), 0u);
    EXPECT_EQ(decode(TileBuilder().layer(labels).bytes(), 12), 0u);

    // A feature without geometry leaves the rest of its layer drawn.
    mvt::Proto road;
    road.bytesField(vecta::LayerName, "road")
        .bytesField(vecta::LayerFeatures,
                    mvt::Proto().packedField(vecta::FeatureTags, {0, 0}).varintField(vecta::FeatureType, 2).bytes())
        .bytesField(vecta::LayerFeatures,
                    mvt::Proto()
                        .packedField(vecta::FeatureTags, {0, 0})
                        .varintField(vecta::FeatureType, 2)
                        .packedField(vecta::FeatureGeometry, mvt::lineGeometry({{{0, 0}, {500, 0}}}))
                        .bytes())
        .bytesField(vecta::LayerKeys, "class")
        .bytesField(vecta::LayerValues, mvt::Proto().bytesField(vecta::ValueString, "motorway").bytes());
    EXPECT_EQ(segments(decode(TileBuilder().rawLayer(road.bytes()).bytes(), 10)).size(), 1u);
}

TEST_F(Transcoding, ThinsPointsCloserThanThirtyTwoUnits)
{
    const std::string tile =
        TileBuilder()
            .layer(LayerBuilder("road").line({{{0, 0}, {10, 0}, {20, 0}, {100, 0}}}, {{"class", "primary"}}))
            .bytes();
    const auto result = segments(decode(tile, 12));
    ASSERT_EQ(result.size(), 1u);
    EXPECT_EQ(result[0].coordinates, (std::vector<float>{0, 0, 20, 0, 100, 0}));
    EXPECT_EQ(result[0].commands, (std::vector<std::uint8_t>{1, 2, 2}));
    EXPECT_EQ(result[0].header.bbox.maxX, 100);
}

TEST_F(Transcoding, ThinnedPathsStayWithinThirtyTwoUnitsOfTheSource)
{
    // A straight run still thins to about one point per 32 units.
    Path run;
    for (int x = 0; x <= 3000; x += 10) {
        run.push_back({x, 500});
    }
    const std::string straight = TileBuilder().layer(LayerBuilder("road").line({run}, {{"class", "primary"}})).bytes();
    auto result = segments(decode(straight, 12));
    ASSERT_EQ(result.size(), 1u);
    EXPECT_GE(result[0].header.point_count, 3000 / 32);
    EXPECT_LE(result[0].header.point_count, 3000 / 28);
    EXPECT_EQ(result[0].coordinates.back(), 500.0f);
    EXPECT_EQ(result[0].coordinates[result[0].coordinates.size() - 2], 3000.0f);

    // A densely drawn curve keeps its roundness.
    const Path round = circle(2000, 2000, 500, 2000);
    result = segments(decode(TileBuilder().layer(LayerBuilder("water").polygon({round})).bytes(), 12, 65536));
    ASSERT_EQ(result.size(), 1u);
    EXPECT_LT(result[0].header.point_count, round.size() / 4);
    double farthest = 0;
    for (const vecta::Point& p : round) {
        farthest = std::max(farthest, distanceToPath(p.x, p.y, result[0].coordinates));
    }
    EXPECT_LE(farthest, 32.0);
    EXPECT_EQ(result[0].coordinates[0], result[0].coordinates[2 * result[0].header.point_count - 2]);
}

TEST_F(Transcoding, SmallRingsKeepTheirArea)
{
    // An island 60 units across, drawn with points 5 units apart, in the sea.
    const Path sea{{0, 0}, {4000, 0}, {4000, 4000}, {0, 4000}};
    Path island = circle(1000, 1000, 30, 40);
    std::reverse(island.begin(), island.end());
    auto result = segments(decode(TileBuilder().layer(LayerBuilder("water").polygon({sea, island})).bytes(), 8));
    ASSERT_EQ(result.size(), 1u);
    ASSERT_EQ(result[0].header.close_count, 2);
    const std::vector<float> hole(result[0].coordinates.begin() + 10, result[0].coordinates.end());
    EXPECT_GE(distinctPoints(hole), 3u);

    // Wider than 32 units but never 32 units from its first point: a half
    // disc with the first point in the middle of its straight side.
    Path halfDisc{{500, 500}};
    for (int degrees = 0; degrees <= 180; degrees += 15) {
        const double angle = degrees * M_PI / 180;
        halfDisc.push_back({static_cast<std::int32_t>(std::lround(500 + 31 * std::cos(angle))),
                            static_cast<std::int32_t>(std::lround(500 + 31 * std::sin(angle)))});
    }
    result = segments(decode(TileBuilder().layer(LayerBuilder("water").polygon({halfDisc})).bytes(), 8));
    ASSERT_EQ(result.size(), 1u);
    EXPECT_GE(distinctPoints(result[0].coordinates), 3u);
}

TEST_F(Transcoding, WritesRingsAndMergesHolesIntoTheirOuterRing)
{
    const std::string plain = TileBuilder().layer(LayerBuilder("water").polygon({square})).bytes();
    auto result = segments(decode(plain, 12));
    ASSERT_EQ(result.size(), 1u);
    EXPECT_EQ(result[0].header.close_count, 1);
    EXPECT_EQ(result[0].header.path_style, vecta::Polygon);
    EXPECT_EQ(result[0].coordinates, (std::vector<float>{0, 0, 100, 0, 100, 100, 0, 100, 0, 0}));
    EXPECT_EQ(result[0].commands, (std::vector<std::uint8_t>{1, 2, 2, 2, 2, 0}));

    const std::string holed = TileBuilder().layer(LayerBuilder("water").polygon({square, squareHole})).bytes();
    const unsigned int bytes = decode(holed, 12);
    EXPECT_EQ(bytes, 108u);
    result = segments(bytes);
    ASSERT_EQ(result.size(), 1u);
    EXPECT_EQ(result[0].header.point_count, 10);
    EXPECT_EQ(result[0].header.close_count, 2);
    EXPECT_EQ(result[0].commands, (std::vector<std::uint8_t>{1, 2, 2, 2, 2, 0, 1, 2, 2, 2, 2, 0}));
    EXPECT_EQ(result[0].coordinates[10], 20.0f);
    EXPECT_EQ(result[0].coordinates[19], 20.0f);
    EXPECT_EQ(result[0].header.bbox.maxX, 100);
    EXPECT_EQ(result[0].header.bbox.minX, 0);

    // A second outer ring starts a new segment; its hole joins it.
    const Path farSquare{{1000, 1000}, {1100, 1000}, {1100, 1100}, {1000, 1100}};
    const Path farHole{{1020, 1020}, {1020, 1080}, {1080, 1080}, {1080, 1020}};
    const std::string two =
        TileBuilder().layer(LayerBuilder("water").polygon({square, squareHole, farSquare, farHole})).bytes();
    result = segments(decode(two, 12));
    ASSERT_EQ(result.size(), 2u);
    EXPECT_EQ(result[1].header.close_count, 2);
    EXPECT_EQ(result[1].coordinates[0], 1000.0f);
    EXPECT_EQ(result[1].coordinates[10], 1020.0f);
}

TEST_F(Transcoding, FullBufferLosesWholeFeaturesOnly)
{
    LayerBuilder roads("road");
    roads.line({{{0, 0}, {100, 0}}, {{0, 200}, {100, 200}, {200, 300}, {300, 300}, {400, 500}}},
               {{"class", "primary"}});
    roads.line({{{0, 0}, {100, 0}}}, {{"class", "primary"}});
    const std::string tile = TileBuilder().layer(roads).bytes();
    // The first feature needs 36 + 64 bytes: in 64 only the second (36) fits.
    const auto result = segments(decode(tile, 12, 64));
    ASSERT_EQ(result.size(), 1u);
    EXPECT_EQ(result[0].header.point_count, 2);
    EXPECT_EQ(decode(tile, 12, 136), 136u);
    EXPECT_EQ(decode(tile, 12, 135), 100u);
}

TEST_F(Transcoding, HoleThatCannotBeMergedRollsTheFeatureBack)
{
    const std::string holed = TileBuilder().layer(LayerBuilder("water").polygon({square, squareHole})).bytes();
    // The hole's points end at 120; staging the outer ring's 6 command bytes
    // needs more than 6 bytes beyond that.
    for (unsigned int bytes = 120; bytes <= 126; ++bytes) {
        EXPECT_EQ(decode(holed, 12, bytes), 0u) << bytes;
    }
    EXPECT_EQ(decode(holed, 12, 127), 108u);
}

TEST_F(Transcoding, HolesBeyondTheRingLimitAreLeftOut)
{
    const Path big{{0, 0}, {4000, 0}, {4000, 4000}, {0, 4000}};
    std::vector<Path> rings{big};
    for (int i = 0; i < 300; ++i) {
        const int x = 100 + (i % 20) * 190;
        const int y = 100 + (i / 20) * 190;
        rings.push_back({{x, y}, {x, y + 50}, {x + 50, y + 50}, {x + 50, y}});
    }
    const std::string tile = TileBuilder().layer(LayerBuilder("water").polygon(rings)).bytes();
    const unsigned int bytes = decode(tile, 12, board::cacheSlotBytes);
    const auto result = segments(bytes);
    ASSERT_EQ(result.size(), 1u);
    EXPECT_EQ(result[0].header.close_count, 255);
    EXPECT_EQ(result[0].header.point_count, 5 + 254 * 5);
    EXPECT_EQ(std::count(result[0].commands.begin(), result[0].commands.end(), 0), 255);
    EXPECT_EQ(bytes, (16u + 9u * 1275u + 255u + 3u) / 4u * 4u);
}

TEST_F(Transcoding, LongCoordinateStepsAndRepeatedKeysDecodeExactly)
{
    // Steps of three-byte varints, and two features sharing one style key.
    const Path far{{-30000, 30000}, {20000, -20000}, {32767, -32768}};
    LayerBuilder roads("road");
    roads.line({far}, {{"class", "primary"}}).line({{{0, 0}, {500, 0}}}, {{"class", "primary"}});
    const auto result = segments(decode(TileBuilder().layer(roads).bytes(), 12));
    ASSERT_EQ(result.size(), 2u);
    EXPECT_EQ(result[0].coordinates, (std::vector<float>{-30000, 30000, 20000, -20000, 32767, -32768}));
    EXPECT_EQ(result[0].header.bbox.minX, -30000);
    EXPECT_EQ(result[0].header.bbox.maxY, 30000);
    EXPECT_EQ(result[1].header.style_id, result[0].header.style_id);
    EXPECT_EQ(result[1].coordinates, (std::vector<float>{0, 0, 500, 0}));
}

TEST_F(Transcoding, InvalidWriterGetsNothing)
{
    vecta::BufferWriter invalid;
    const std::string tile = roadTile("motorway");
    EXPECT_EQ(transcoder.decode(tile.data(), static_cast<unsigned int>(tile.size()), 12, invalid), 0u);
}

// A damaged tile gives nothing, however much of it was written, and counts.
TEST_F(Transcoding, DamagedTilesGiveNothingAndCount)
{
    const auto roadWith = [](std::vector<std::uint32_t> geometry, std::uint32_t type = 2) {
        LayerBuilder roads("road");
        // A whole feature first, so that the damage comes after written segments.
        roads.line({{{0, 0}, {500, 0}}}, {{"class", "primary"}});
        roads.add({type, std::move(geometry), {{"class", "primary"}}});
        return TileBuilder().layer(roads).bytes();
    };
    using mvt::command;
    const std::string whole = roadWith({command(MoveToCommand, 1), 0, 0, command(LineToCommand, 1), 2, 2});
    const unsigned int wholeBytes = decode(whole, 12);
    ASSERT_GT(wholeBytes, 0u);
    const std::vector<std::uint32_t> drawnBefore(slot.begin(), slot.begin() + (wholeBytes + 3) / 4);

    std::vector<std::string> damaged{
        whole.substr(0, whole.size() - 1),
        roadWith({command(MoveToCommand, 2), 0, 0, 2, 2}),                            // move-to of two points
        roadWith({command(MoveToCommand, 1), 0, 0, command(LineToCommand, 0)}),       // empty line-to
        roadWith({command(MoveToCommand, 1), 0, 0, command(LineToCommand, 2), 2, 2}), // parameter missing
        roadWith({command(MoveToCommand, 1), 0, 0, command(5, 1), 2, 2}),             // unknown command
        roadWith({command(MoveToCommand, 1), mvt::zigZag(40000), 0, command(LineToCommand, 1), 0, 0}), // beyond 16 bits
        roadWith(
            {command(MoveToCommand, 1), 0, 0, command(LineToCommand, 2), 2, 2, mvt::zigZag(40000), 0}), // a step beyond
        roadWith({command(MoveToCommand, 1), 0, 0, command(LineToCommand, 1), 2, 2}, 3), // ring not closed
        roadWith({command(MoveToCommand, 1), 0, 0, command(LineToCommand, 1), 8, 8, command(MoveToCommand, 1), 2, 2},
                 3),                                                              // nor this one
        roadWith({command(MoveToCommand, 1), 0, 0}),                              // move-to only
        roadWith({command(MoveToCommand, 1), 0}),                                 // move-to cut short
        TileBuilder().layer(LayerBuilder("water").polygon({squareHole})).bytes(), // hole first
    };
    // A flipped length: the second feature's runs past the layer.
    std::string flipped = whole;
    flipped[flipped.rfind(
                mvt::Proto().packedField(vecta::FeatureTags, {0, 0}).varintField(vecta::FeatureType, 2).bytes()) -
            1] = 0x7F;
    damaged.push_back(flipped);
    // 1100 keys and 1100 values do not fit the arena.
    mvt::Proto crowded;
    crowded.bytesField(vecta::LayerName, "road")
        .bytesField(vecta::LayerFeatures, mvt::Proto()
                                              .packedField(vecta::FeatureTags, {0, 0})
                                              .varintField(vecta::FeatureType, 2)
                                              .packedField(vecta::FeatureGeometry, {9, 0, 0, 10, 2, 2})
                                              .bytes());
    for (int i = 0; i < 1100; ++i) {
        crowded.bytesField(vecta::LayerKeys, "class");
        crowded.bytesField(vecta::LayerValues, mvt::Proto().bytesField(vecta::ValueString, "primary").bytes());
    }
    damaged.push_back(TileBuilder().rawLayer(crowded.bytes()).bytes());

    for (std::size_t i = 0; i < damaged.size(); ++i) {
        const std::uint32_t before = transcoder.damagedTiles();
        EXPECT_EQ(decode(damaged[i], 12), 0u) << i;
        EXPECT_EQ(transcoder.damagedTiles(), before + 1) << i;
    }
    // The transcoder goes on as before.
    ASSERT_EQ(decode(whole, 12), wholeBytes);
    EXPECT_EQ(std::vector<std::uint32_t>(slot.begin(), slot.begin() + (wholeBytes + 3) / 4), drawnBefore);
    EXPECT_EQ(transcoder.damagedTiles(), damaged.size());
}

TEST_F(Transcoding, OddButReadableTilesAreNotDamaged)
{
    const auto roadWith = [](std::vector<std::uint32_t> geometry) {
        return TileBuilder().layer(LayerBuilder("road").add({2, std::move(geometry), {{"class", "primary"}}})).bytes();
    };
    using mvt::command;
    // A first command other than move-to writes nothing.
    EXPECT_EQ(decode(roadWith({command(LineToCommand, 1), 2, 2}), 12), 0u);
    // A class that is not a string matches no rule.
    mvt::Proto layer;
    layer.bytesField(vecta::LayerName, "road")
        .bytesField(vecta::LayerFeatures, mvt::Proto()
                                              .packedField(vecta::FeatureTags, {0, 0})
                                              .varintField(vecta::FeatureType, 2)
                                              .packedField(vecta::FeatureGeometry, {9, 0, 0, 10, 2, 2})
                                              .bytes())
        .bytesField(vecta::LayerKeys, "class")
        .bytesField(vecta::LayerValues, mvt::Proto().varintField(vecta::ValueBool, 1).bytes());
    EXPECT_EQ(decode(TileBuilder().rawLayer(layer.bytes()).bytes(), 12), 0u);
    EXPECT_EQ(transcoder.damagedTiles(), 0u);
}
