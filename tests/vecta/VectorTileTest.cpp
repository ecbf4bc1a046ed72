#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "mvtsample/MvtEncoder.hpp"
#include "support/AssertionMatcher.hpp"
#include "vecta/StringHash.hpp"
#include "vecta/TileFormat.hpp"
#include "vecta/TileTranscoder.hpp"
#include "vecta/VectorTile.hpp"

using mvt::Proto;
using vecta::PropertyValueType;

namespace {

// Holds the tile in a buffer of exactly its size, so the address sanitizer
// sees any read past its end.
class TileReading : public ::testing::Test {
protected:
    vecta::VectorTile open(const std::string& bytes)
    {
        data = std::make_unique<char[]>(bytes.size() + 1);
        std::memcpy(data.get(), bytes.data(), bytes.size());
        return vecta::VectorTile(data.get(), static_cast<unsigned int>(bytes.size()), &arena);
    }

    alignas(8) std::uint8_t storage[8192]{};
    vecta::MemoryArena arena{storage, sizeof storage, 0};
    std::unique_ptr<char[]> data;
};

std::string layerWithFeature(const std::string& featureMessage, const std::vector<std::string>& keys = {},
                             const std::vector<std::string>& values = {})
{
    Proto layer;
    layer.bytesField(vecta::LayerName, "road").bytesField(vecta::LayerFeatures, featureMessage);
    for (const auto& key : keys)
        layer.bytesField(vecta::LayerKeys, key);
    for (const auto& value : values)
        layer.bytesField(vecta::LayerValues, value);
    return Proto().bytesField(vecta::tileLayersField, layer.bytes()).bytes();
}

std::string stringValue(const std::string& text)
{
    return Proto().bytesField(vecta::ValueString, text).bytes();
}

} // namespace

TEST_F(TileReading, WalksLayersFeaturesPropertiesAndGeometry)
{
    mvt::LayerBuilder roads("road");
    roads.line({{{0, 0}, {10, 5}}}, {{"class", "street"}, {"oneway", "true"}});
    roads.add({2, mvt::lineGeometry({{{1, 1}, {2, 2}}}), {{"class", "primary"}}, true, 77});
    mvt::LayerBuilder water("water");
    water.polygon({{{0, 0}, {8, 0}, {8, 8}}});
    vecta::VectorTile tile = open(mvt::TileBuilder().layer(roads).layer(water).bytes());

    vecta::Layer first = tile.nextLayer();
    ASSERT_TRUE(first.isValid());
    EXPECT_EQ(first.nameHash, vecta::stringHash("road"));
    EXPECT_EQ(first.version, 2u);
    EXPECT_EQ(first.featureCount, 2u);
    EXPECT_EQ(first.keys_size, 2u);
    EXPECT_EQ(first.values_size, 3u);

    vecta::Feature street = first.nextFeature();
    ASSERT_TRUE(street.isValid());
    EXPECT_FALSE(street.hasId);
    EXPECT_EQ(street.type, 2u);
    EXPECT_EQ(street.tagCount, 2u);
    vecta::Property property = street.nextProperty();
    EXPECT_EQ(property.keyHash, vecta::stringHash("class"));
    EXPECT_EQ(property.value.string_value(), vecta::stringHash("street"));
    property = street.nextProperty();
    EXPECT_EQ(property.keyHash, vecta::stringHash("oneway"));
    EXPECT_EQ(property.value.string_value(), vecta::stringHash("true"));
    EXPECT_TRUE(street.nextProperty().isEnd());

    // MoveTo(0, 0), LineTo(10, 5) as raw integers.
    std::vector<std::uint32_t> integers;
    std::uint32_t value = 0;
    for (int i = 0; i < 6; ++i) {
        ASSERT_TRUE(street.nextValue(value));
        integers.push_back(value);
    }
    EXPECT_EQ(integers, (std::vector<std::uint32_t>{9, 0, 0, 10, 20, 10}));
    // Past the end: true, and the previous value stays.
    EXPECT_TRUE(street.nextValue(value));
    EXPECT_EQ(value, 10u);

    vecta::Feature primary = first.nextFeature();
    EXPECT_TRUE(primary.hasId);
    EXPECT_EQ(primary.id, 77u);
    EXPECT_EQ(primary.nextProperty().value.string_value(), vecta::stringHash("primary"));
    EXPECT_FALSE(first.nextFeature().isValid());

    vecta::Layer second = tile.nextLayer();
    EXPECT_EQ(second.nameHash, vecta::stringHash("water"));
    EXPECT_EQ(second.nextFeature().type, 3u);
    EXPECT_FALSE(tile.nextLayer().isValid());
}

TEST_F(TileReading, EmptyTileAndEmptyLayerGiveDefaults)
{
    EXPECT_FALSE(open("").nextLayer().isValid());

    vecta::VectorTile tile = open(Proto().bytesField(vecta::tileLayersField, "").bytes());
    vecta::Layer layer = tile.nextLayer();
    ASSERT_TRUE(layer.isValid());
    EXPECT_EQ(layer.version, 1u);
    EXPECT_EQ(layer.extent, 4096u);
    EXPECT_EQ(layer.nameHash, 0u);
    EXPECT_EQ(layer.featureCount + layer.keys_size + layer.values_size, 0u);
    EXPECT_FALSE(layer.nextFeature().isValid());
}

TEST_F(TileReading, SkipsUnknownTileFieldsAndHashesOnlyFortySevenBytes)
{
    const std::string longName(60, 'n');
    const std::string bytes =
        Proto()
            .varintField(1, 5)
            .bytesField(vecta::tileLayersField, Proto().bytesField(vecta::LayerName, longName).bytes())
            .bytesField(9, "ignored")
            .bytes();
    vecta::VectorTile tile = open(bytes);
    EXPECT_EQ(tile.nextLayer().nameHash, vecta::stringHash(longName.substr(0, 47).c_str()));
    EXPECT_FALSE(tile.nextLayer().isValid());
}

// The in-place reading must agree with nanopb on every varint length, on
// strings with a zero byte and on tables stored before the features.
TEST_F(TileReading, ReadsLongVarintsZeroBytesAndEarlyTablesAsNanopb)
{
    const std::uint64_t longId = (std::uint64_t{1} << 63) + 5; // ten bytes
    const std::vector<std::uint32_t> geometry{127, 128, 16384, 2097152, 268435456, 0xFFFFFFFFu};
    const std::string feature = Proto()
                                    .varintField(vecta::FeatureId, longId)
                                    .packedField(vecta::FeatureTags, {0, 0})
                                    .packedField(vecta::FeatureGeometry, geometry)
                                    .bytes();
    const std::string layer = Proto()
                                  .bytesField(vecta::LayerName, "road")
                                  .bytesField(vecta::LayerKeys, std::string("cl\0ass", 6))
                                  .bytesField(vecta::LayerValues, stringValue("street"))
                                  .bytesField(vecta::LayerFeatures, feature)
                                  .bytes();
    vecta::VectorTile tile = open(Proto().bytesField(vecta::tileLayersField, layer).bytes());
    vecta::Layer road = tile.nextLayer();
    vecta::Feature read = road.nextFeature();
    EXPECT_EQ(read.id, longId);
    const vecta::Property property = read.nextProperty();
    EXPECT_EQ(property.keyHash, vecta::stringHash("cl"));
    EXPECT_EQ(property.value.string_value(), vecta::stringHash("street"));
    for (const std::uint32_t expected : geometry) {
        std::uint32_t value = 0;
        ASSERT_TRUE(read.nextValue(value));
        EXPECT_EQ(value, expected);
    }

    // Five bytes whose last one carries bits beyond 32: nanopb refuses it.
    const std::string overflow = Proto().bytesField(vecta::FeatureGeometry, "\xFF\xFF\xFF\xFF\x1F").bytes();
    vecta::VectorTile bad = open(layerWithFeature(overflow));
    std::uint32_t value = 0;
    EXPECT_FALSE(bad.nextLayer().nextFeature().nextValue(value));
}

TEST_F(TileReading, FeatureWithoutGeometryEndsTheLayerWalk)
{
    const std::string noGeometry = Proto().varintField(vecta::FeatureType, 2).bytes();
    vecta::VectorTile tile = open(layerWithFeature(noGeometry));
    vecta::Layer layer = tile.nextLayer();
    EXPECT_FALSE(layer.nextFeature().isValid());
}

TEST_F(TileReading, DecodesEveryValueType)
{
    const std::vector<std::string> values{
        stringValue(std::string(50, 'v')),
        Proto().fixed32Field(vecta::ValueFloat, 1.5f).bytes(),
        Proto().fixed64Field(vecta::ValueDouble, -2.25).bytes(),
        Proto().varintField(vecta::ValueInt, static_cast<std::uint64_t>(-7)).bytes(),
        Proto().varintField(vecta::ValueUint, 1ull << 40).bytes(),
        Proto().varintField(vecta::ValueSint, mvt::zigZag(-3)).bytes(),
        Proto().varintField(vecta::ValueBool, 1).bytes(),
        Proto().varintField(9, 1).bytes(), // unknown field only: stays invalid
    };
    std::vector<std::uint32_t> tags;
    for (std::uint32_t i = 0; i < values.size(); ++i) {
        tags.insert(tags.end(), {0, i});
    }
    const std::string feature =
        Proto().packedField(vecta::FeatureTags, tags).packedField(vecta::FeatureGeometry, {9, 0, 0}).bytes();
    vecta::VectorTile tile = open(layerWithFeature(feature, {"k"}, values));
    vecta::Layer layer = tile.nextLayer();
    vecta::Feature f = layer.nextFeature();

    const auto next = [&f] { return f.nextProperty().value; };
    EXPECT_EQ(next().string_value(), vecta::stringHash(std::string(47, 'v').c_str()));
    vecta::PropertyValue v = next();
    EXPECT_EQ(v.type, PropertyValueType::FloatValue);
    EXPECT_EQ(v.value.floatValue, 1.5f);
    v = next();
    EXPECT_EQ(v.type, PropertyValueType::DoubleValue);
    EXPECT_EQ(v.value.doubleValue, -2.25);
    v = next();
    EXPECT_EQ(v.type, PropertyValueType::IntValue);
    EXPECT_EQ(v.value.intValue, -7);
    v = next();
    EXPECT_EQ(v.type, PropertyValueType::UintValue);
    EXPECT_EQ(v.value.uintValue, 1ull << 40);
    v = next();
    EXPECT_EQ(v.type, PropertyValueType::SintValue);
    EXPECT_EQ(v.value.intValue, -3);
    v = next();
    EXPECT_EQ(v.type, PropertyValueType::BoolValue);
    EXPECT_TRUE(v.value.boolValue);
    // An unknown-only value reads as Invalid, which also ends the walk.
    EXPECT_TRUE(f.nextProperty().isEnd());
}

TEST_F(TileReading, BuildsTablesOnlyWhenPropertiesAreAsked)
{
    mvt::LayerBuilder roads("road");
    roads.line({{{0, 0}, {10, 5}}});
    roads.line({{{0, 0}, {10, 5}}}, {{"class", "street"}});
    vecta::VectorTile tile = open(mvt::TileBuilder().layer(roads).bytes());
    vecta::Layer layer = tile.nextLayer();
    vecta::Feature untagged = layer.nextFeature();
    EXPECT_TRUE(untagged.nextProperty().isEnd());
    EXPECT_EQ(layer.keys, nullptr);
    EXPECT_EQ(layer.values, nullptr);

    vecta::Feature tagged = layer.nextFeature();
    EXPECT_FALSE(tagged.nextProperty().isEnd());
    EXPECT_NE(layer.keys, nullptr);
    // 1 key (4 bytes, rounded to 8) then 1 value of 16 bytes.
    EXPECT_EQ(arena.used, 24u);
}

TEST_F(TileReading, SkipsTagIndicesOutsideTheTables)
{
    const std::string feature = Proto()
                                    .packedField(vecta::FeatureTags, {5, 0, 0, 9, 0, 0})
                                    .packedField(vecta::FeatureGeometry, {9, 0, 0})
                                    .bytes();
    vecta::VectorTile tile = open(layerWithFeature(feature, {"class"}, {stringValue("street")}));
    vecta::Layer layer = tile.nextLayer();
    vecta::Feature f = layer.nextFeature();
    const vecta::Property property = f.nextProperty();
    EXPECT_EQ(property.keyHash, vecta::stringHash("class"));
    EXPECT_EQ(property.value.string_value(), vecta::stringHash("street"));
    EXPECT_TRUE(f.nextProperty().isEnd());
}

TEST_F(TileReading, DamagedBytesEndTheWalkAndMarkWhereTheyLie)
{
    mvt::LayerBuilder roads("road");
    roads.line({{{0, 0}, {10, 5}, {20, 7}}}, {{"class", "street"}});
    const std::string whole = mvt::TileBuilder().layer(roads).bytes();
    // Cut inside the layer: the layer's own length no longer fits the tile.
    vecta::VectorTile cut = open(whole.substr(0, whole.size() - 3));
    EXPECT_FALSE(cut.nextLayer().isValid());
    EXPECT_TRUE(cut.damaged);

    // An unfinished tag between layers.
    vecta::VectorTile trailing = open(whole + "\x80");
    EXPECT_TRUE(trailing.nextLayer().isValid());
    EXPECT_FALSE(trailing.nextLayer().isValid());
    EXPECT_TRUE(trailing.damaged);

    // A key whose length runs past the layer: no features, no tables.
    const std::string tagged =
        Proto().packedField(vecta::FeatureTags, {0, 0}).packedField(vecta::FeatureGeometry, {9, 0, 0}).bytes();
    std::string bytes = layerWithFeature(tagged, {"class"}, {stringValue("street")});
    const std::size_t keyLength = bytes.find("class") - 1;
    bytes[keyLength] = 0x70;
    vecta::Layer scanned = open(bytes).nextLayer();
    EXPECT_TRUE(scanned.damaged);
    EXPECT_FALSE(scanned.nextFeature().isValid());

    // Odd tags: the feature stays, without properties.
    const std::string oddTags =
        Proto().packedField(vecta::FeatureTags, {0, 1, 2}).packedField(vecta::FeatureGeometry, {9, 0, 0}).bytes();
    vecta::Layer odd = open(layerWithFeature(oddTags)).nextLayer();
    vecta::Feature oddFeature = odd.nextFeature();
    EXPECT_TRUE(oddFeature.damaged);
    EXPECT_EQ(oddFeature.tagCount, 0u);
    EXPECT_TRUE(oddFeature.nextProperty().isEnd());
    std::uint32_t value = 0;
    EXPECT_TRUE(oddFeature.nextValue(value));
    EXPECT_EQ(value, 9u);

    // A value message with two values, and tables larger than the arena.
    const std::string twoValues = Proto().bytesField(vecta::ValueString, "x").varintField(vecta::ValueBool, 1).bytes();
    vecta::Layer doubled = open(layerWithFeature(tagged, {"class"}, {twoValues})).nextLayer();
    EXPECT_TRUE(doubled.nextFeature().nextProperty().isEnd());
    EXPECT_TRUE(doubled.damaged);
    EXPECT_EQ(doubled.values, nullptr);

    std::uint8_t tiny[8];
    vecta::MemoryArena small{tiny, sizeof tiny, 0};
    const std::string large = layerWithFeature(tagged, {"a", "b", "c"}, {stringValue("v")});
    vecta::VectorTile tile(large.data(), static_cast<unsigned int>(large.size()), &small);
    vecta::Layer crowded = tile.nextLayer();
    EXPECT_TRUE(crowded.nextFeature().nextProperty().isEnd());
    EXPECT_TRUE(crowded.damaged);
    EXPECT_EQ(small.used, 0u);
}

TEST_F(TileReading, UnknownLayerFieldsAreSkipped)
{
    const std::string feature = Proto().packedField(vecta::FeatureGeometry, {9, 0, 0}).bytes();
    const std::string layer = Proto()
                                  .varintField(7, 1)
                                  .bytesField(vecta::LayerName, "road")
                                  .bytesField(vecta::LayerFeatures, feature)
                                  .bytes();
    vecta::Layer read = open(Proto().bytesField(vecta::tileLayersField, layer).bytes()).nextLayer();
    EXPECT_FALSE(read.damaged);
    EXPECT_EQ(read.nameHash, vecta::stringHash("road"));
    EXPECT_TRUE(read.nextFeature().isValid());
}

// Known fields of another wire type are skipped as the transcoder skips
// them: both read the same name and tables and draw the same feature.
TEST_F(TileReading, FieldsOfAnotherWireTypeReadAsTheTranscoderReadsThem)
{
    const std::string feature = Proto()
                                    .bytesField(vecta::FeatureId, "id")
                                    .packedField(vecta::FeatureTags, {0, 0})
                                    .varintField(vecta::FeatureType, 2)
                                    .packedField(vecta::FeatureGeometry, {9, 0, 0, 10, 1000, 0})
                                    .bytes();
    const std::string tables =
        Proto().bytesField(vecta::LayerKeys, "class").bytesField(vecta::LayerValues, stringValue("primary")).bytes();
    const std::string name = Proto().bytesField(vecta::LayerName, "road").bytes();
    // A version string whose bytes look like a key, a value and a key
    // swallowing the name, were they read as fields.
    const std::string keyLike("\x1a\x01k\x22\x00\x1a\x06", 7);
    const std::vector<std::string> layers{
        Proto().bytesField(vecta::LayerVersion, keyLike).bytes() + name +
            Proto().bytesField(vecta::LayerFeatures, feature).bytes() + tables,
        name + Proto().bytesField(vecta::LayerFeatures, feature).bytes() + tables +
            Proto().bytesField(vecta::LayerVersion, "2").bytesField(vecta::LayerExtent, "4096").bytes(),
        Proto().varintField(vecta::LayerName, 5).bytes() + name +
            Proto().bytesField(vecta::LayerFeatures, feature).varintField(vecta::LayerFeatures, 7).bytes() + tables,
    };
    vecta::TileTranscoder transcoder;
    std::vector<std::uint32_t> slot(1024);
    for (std::size_t i = 0; i < layers.size(); ++i) {
        const std::string tileBytes = Proto().bytesField(vecta::tileLayersField, layers[i]).bytes();
        vecta::VectorTile tile = open(tileBytes);
        vecta::Layer layer = tile.nextLayer();
        EXPECT_EQ(layer.nameHash, vecta::stringHash("road")) << i;
        EXPECT_EQ(layer.version, 1u) << i;
        EXPECT_EQ(layer.extent, 4096u) << i;
        EXPECT_EQ(layer.featureCount, 1u) << i;
        EXPECT_EQ(layer.keys_size, 1u) << i;
        EXPECT_EQ(layer.values_size, 1u) << i;
        vecta::Feature read = layer.nextFeature();
        ASSERT_TRUE(read.isValid()) << i;
        EXPECT_FALSE(read.hasId) << i;
        const vecta::Property property = read.nextProperty();
        EXPECT_FALSE(read.damaged || layer.damaged || tile.damaged) << i;

        vecta::BufferWriter writer(slot.data(), 4096);
        vecta::BufferReader drawn(
            slot.data(), transcoder.decode(tileBytes.data(), static_cast<unsigned int>(tileBytes.size()), 12, writer));
        const vecta::Segment segment = vecta::TileTranscoder::readNextSegment(drawn);
        ASSERT_NE(segment.header, nullptr) << i;
        EXPECT_EQ(segment.header->style_id, layer.nameHash + property.value.string_value()) << i;
    }
    EXPECT_EQ(transcoder.damagedTiles(), 0u);

    // Keys and values that are not strings damage the layer in both.
    for (const std::string& table :
         {Proto().varintField(vecta::LayerKeys, 1).bytes(), Proto().fixed32Field(vecta::LayerValues, 1.0f).bytes()}) {
        const std::string tileBytes =
            Proto()
                .bytesField(vecta::tileLayersField,
                            name + Proto().bytesField(vecta::LayerFeatures, feature).bytes() + table)
                .bytes();
        EXPECT_TRUE(open(tileBytes).nextLayer().damaged);
        vecta::BufferWriter writer(slot.data(), 4096);
        transcoder.decode(tileBytes.data(), static_cast<unsigned int>(tileBytes.size()), 12, writer);
    }
    EXPECT_EQ(transcoder.damagedTiles(), 2u);
}

TEST_F(TileReading, CallerMisuseStopsWithItsAssertion)
{
    vecta::PropertyValue number;
    number.set_float(1.0f);
    EXPECT_ASSERTION(number.string_value(), "type == PropertyValueType::StringValue");
    EXPECT_ASSERTION(number.set_bool(true), "type == PropertyValueType::Invalid");
}
