// Tiles written by tilepack, read back with the firmware's reader.

#include <map>
#include <set>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "tilepack/MvtWriter.hpp"
#include "vecta/StringHash.hpp"
#include "vecta/VectorTile.hpp"

namespace {

using tilepack::Shape;
using tilepack::TileFeature;
using tilepack::TileShape;

struct ReadFeature {
    std::uint64_t id;
    std::uint32_t type;
    std::map<std::uint32_t, std::uint32_t> properties; // key hash -> value hash
    std::vector<std::uint32_t> geometry;
};

struct ReadLayer {
    std::uint32_t nameHash;
    std::uint32_t version;
    std::uint32_t extent;
    std::vector<ReadFeature> features;
};

std::vector<ReadLayer> readBack(const std::string& tile)
{
    alignas(8) static std::uint8_t storage[8192];
    vecta::MemoryArena arena{storage, sizeof storage, 0};
    vecta::VectorTile reader(tile.data(), static_cast<unsigned int>(tile.size()), &arena);
    std::vector<ReadLayer> layers;
    for (vecta::Layer layer = reader.nextLayer(); layer.isValid(); layer = reader.nextLayer()) {
        ReadLayer read{layer.nameHash, layer.version, layer.extent, {}};
        for (vecta::Feature feature = layer.nextFeature(); feature.isValid(); feature = layer.nextFeature()) {
            ReadFeature out{feature.id, feature.type, {}, {}};
            for (vecta::Property p = feature.nextProperty(); !p.isEnd(); p = feature.nextProperty()) {
                out.properties[p.keyHash] = p.value.string_value();
            }
            while (feature.geometryCursor.bytes_left > 0) {
                std::uint32_t value = 0;
                EXPECT_TRUE(feature.nextValue(value)) << "geometry varint";
                out.geometry.push_back(value);
            }
            read.features.push_back(out);
        }
        layers.push_back(read);
    }
    return layers;
}

TEST(MvtWriter, LayersComeOutAlphabeticalWithVersionExtentIdsAndStringProperties)
{
    const tilepack::Properties road{{"class", "street"}, {"type", "residential"}, {"oneway", "false"}};
    const tilepack::Properties place{{"type", "city"}, {"name_en", "Aarhus"}};
    tilepack::MvtWriter writer;
    writer.add("road", TileFeature{7, &road, TileShape{Shape::Line, {{{10, 20}, {30, 20}}}}});
    writer.add("place_label", TileFeature{9, &place, TileShape{Shape::Point, {{{100, 200}}}}});
    writer.add("building", TileFeature{11, nullptr, TileShape{Shape::Polygon, {{{0, 0}, {10, 0}, {10, 10}}}}});
    writer.add("road", TileFeature{8, &road, TileShape{Shape::Line, {{{0, 0}, {1, 1}}}}});

    const std::vector<ReadLayer> layers = readBack(writer.encode());
    ASSERT_EQ(layers.size(), 3u);
    EXPECT_EQ(layers[0].nameHash, vecta::stringHash("building"));
    EXPECT_EQ(layers[1].nameHash, vecta::stringHash("place_label"));
    EXPECT_EQ(layers[2].nameHash, vecta::stringHash("road"));
    for (const ReadLayer& layer : layers) {
        EXPECT_EQ(layer.version, 2u);
        EXPECT_EQ(layer.extent, 4096u);
    }
    ASSERT_EQ(layers[2].features.size(), 2u);
    const ReadFeature& street = layers[2].features[0];
    EXPECT_EQ(street.id, 7u);
    EXPECT_EQ(street.type, 2u);
    EXPECT_EQ(street.properties.at(vecta::stringHash("class")), vecta::stringHash("street"));
    EXPECT_EQ(street.properties.at(vecta::stringHash("oneway")), vecta::stringHash("false"));
    EXPECT_EQ(layers[2].features[1].properties, street.properties) << "shared key and value tables";
    EXPECT_EQ(layers[1].features[0].properties.at(vecta::stringHash("name_en")), vecta::stringHash("Aarhus"));
    EXPECT_EQ(layers[0].features[0].type, 3u);
    EXPECT_TRUE(layers[0].features[0].properties.empty());
}

TEST(MvtWriter, GeometryCommandsCarryTheCursorAcrossParts)
{
    // Two rings: MoveTo(1) LineTo(2) ClosePath(1) each, deltas zig-zag coded.
    const TileShape polygon{Shape::Polygon, {{{0, 0}, {10, 0}, {10, 10}}, {{2, 2}, {2, 4}, {4, 2}}}};
    EXPECT_EQ(tilepack::encodeGeometry(polygon),
              (std::vector<std::uint32_t>{9, 0, 0, 18, 20, 0, 0, 20, 15, 9, 15, 15, 18, 0, 4, 4, 3, 15}));
    const TileShape line{Shape::Line, {{{5, 5}, {3, 5}}}};
    EXPECT_EQ(tilepack::encodeGeometry(line), (std::vector<std::uint32_t>{9, 10, 10, 10, 3, 0}));
    const TileShape points{Shape::Point, {{{1, 1}, {-1, 2}}}};
    EXPECT_EQ(tilepack::encodeGeometry(points), (std::vector<std::uint32_t>{17, 2, 2, 3, 2}));
}

TEST(MvtWriter, GeometryReadsBackAsWritten)
{
    const TileShape line{Shape::Line, {{{-64, 4160}, {4160, -64}, {2048, 2048}}}};
    tilepack::MvtWriter writer;
    writer.add("road", TileFeature{1, nullptr, line});
    const std::vector<ReadLayer> layers = readBack(writer.encode());
    ASSERT_EQ(layers.size(), 1u);
    ASSERT_EQ(layers[0].features.size(), 1u);
    EXPECT_EQ(layers[0].features[0].geometry, tilepack::encodeGeometry(line));
}

TEST(MvtWriter, ALayerWithMoreValuesThanTheReaderTakesKeepsOnlyClass)
{
    std::vector<tilepack::Properties> places;
    for (std::size_t i = 0; i <= tilepack::maxLayerValues; ++i) {
        places.push_back({{"type", "village"}, {"name_en", "Place " + std::to_string(i)}});
    }
    const tilepack::Properties road{{"class", "street"}, {"type", "residential"}};
    tilepack::MvtWriter writer;
    for (const tilepack::Properties& place : places) {
        writer.add("place_label", TileFeature{1, &place, TileShape{Shape::Point, {{{1, 2}}}}});
    }
    writer.add("road", TileFeature{2, &road, TileShape{Shape::Line, {{{0, 0}, {9, 9}}}}});

    const std::vector<ReadLayer> layers = readBack(writer.encode());
    ASSERT_EQ(layers.size(), 2u);
    EXPECT_EQ(layers[0].features.size(), places.size()) << "every feature kept";
    EXPECT_TRUE(layers[0].features.back().properties.empty());
    EXPECT_EQ(layers[1].features[0].properties.size(), 2u) << "a layer within the limit keeps everything";
    EXPECT_EQ(writer.droppedKeys(), (std::set<std::string>{"place_label.name_en", "place_label.type"}));

    places.resize(tilepack::maxLayerValues - 1);
    tilepack::MvtWriter fitting;
    for (const tilepack::Properties& place : places) {
        fitting.add("place_label", TileFeature{1, &place, TileShape{Shape::Point, {{{1, 2}}}}});
    }
    EXPECT_TRUE(fitting.droppedKeys().empty()) << "509 names and one type fit";
}

TEST(MvtWriter, ATileWithoutFeaturesStillHasBytes)
{
    const std::string tile = tilepack::MvtWriter().encode();
    EXPECT_GT(tile.size(), 0u) << "size 0 would mark the tile absent";
    const std::vector<ReadLayer> layers = readBack(tile);
    ASSERT_EQ(layers.size(), 1u);
    EXPECT_EQ(layers[0].nameHash, vecta::stringHash("water"));
    EXPECT_TRUE(layers[0].features.empty());
}

} // namespace
