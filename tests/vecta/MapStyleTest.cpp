#include <gtest/gtest.h>

#include <cstddef>
#include <cstdint>
#include <iterator>

#include "vecta/MapStyle.hpp"
#include "vecta/StringHash.hpp"

using vecta::stringHash;

namespace {

const vecta::LayerStyle* ruleFor(unsigned int zoom, const char* layer, const char* featureClass)
{
    return vecta::getMapStyle().level(zoom).find(stringHash(layer) + stringHash(featureClass));
}

// 32-bit FNV-1a over every field of a level's rules in their order, padding
// left out.
std::uint32_t levelChecksum(const vecta::LevelStyle& level)
{
    std::uint32_t hash = 0x811C9DC5u;
    const auto add = [&hash](const void* field, std::size_t size) {
        const auto* bytes = static_cast<const unsigned char*>(field);
        for (std::size_t i = 0; i < size; ++i) {
            hash = (hash ^ bytes[i]) * 0x01000193u;
        }
    };
    for (std::uint32_t r = 0; r < level.count; ++r) {
        const vecta::LayerStyle& rule = level.layers[r];
        add(&rule.layerHash, sizeof rule.layerHash);
        add(&rule.classHash, sizeof rule.classHash);
        add(&rule.color, sizeof rule.color);
        add(&rule.opacity, sizeof rule.opacity);
        add(&rule.width, sizeof rule.width);
    }
    return hash;
}

} // namespace

TEST(MapStyle, EveryLevelHasItsRules)
{
    const vecta::MapStyle& style = vecta::getMapStyle();
    EXPECT_EQ(style.minZoom, 6);
    EXPECT_EQ(style.maxZoom, 16);
    ASSERT_EQ(style.levelCount, 11u);
    const std::uint32_t counts[] = {27, 27, 28, 32, 33, 36, 37, 39, 44, 45, 47};
    for (unsigned int i = 0; i < 11; ++i) {
        EXPECT_EQ(style.levels[i].count, counts[i]) << "zoom " << i + 6;
        for (std::uint32_t r = 0; r < style.levels[i].count; ++r) {
            const vecta::LayerStyle& rule = style.levels[i].layers[r];
            EXPECT_EQ(rule.color >> 24, 0xFFu);
            // Keys are unique within a level, so the first match is the only one.
            EXPECT_EQ(style.levels[i].find(rule.key()), &rule);
        }
    }
}

TEST(MapStyle, LooksUpPaintPerZoomAndClamps)
{
    const vecta::LayerStyle* motorway6 = ruleFor(6, "road", "motorway");
    ASSERT_NE(motorway6, nullptr);
    EXPECT_EQ(motorway6->opacity, 255);
    EXPECT_FLOAT_EQ(motorway6->width, 2.7300699f);
    EXPECT_EQ(motorway6->color, 0xFFFFA159u);
    EXPECT_FLOAT_EQ(ruleFor(16, "road", "motorway")->width, 26.33061f);
    EXPECT_EQ(ruleFor(3, "road", "motorway"), motorway6);
    EXPECT_EQ(ruleFor(20, "road", "motorway"), ruleFor(16, "road", "motorway"));

    for (unsigned int zoom = 6; zoom <= 10; ++zoom) {
        EXPECT_EQ(ruleFor(zoom, "landuse_overlay", "wetland")->opacity, 0);
    }
    EXPECT_EQ(ruleFor(11, "landuse_overlay", "wetland")->opacity, 255);

    for (unsigned int zoom = 6; zoom <= 14; ++zoom) {
        EXPECT_EQ(ruleFor(zoom, "building", "default"), nullptr);
    }
    EXPECT_EQ(ruleFor(15, "building", "default")->opacity, 0);
    EXPECT_EQ(ruleFor(16, "building", "default")->color, 0xFFE8E0CCu);
    EXPECT_EQ(ruleFor(14, "landuse", "pitch")->color, 0xFFC3E194u);
    EXPECT_EQ(ruleFor(15, "landuse", "pitch")->color, 0xFFE1F2C6u);
    EXPECT_FLOAT_EQ(ruleFor(13, "waterway", "default")->width, 0.1f);
    EXPECT_EQ(ruleFor(7, "waterway", "default"), nullptr);

    for (unsigned int zoom = 0; zoom <= 20; ++zoom) {
        EXPECT_EQ(ruleFor(zoom, "road", "trunk_link"), nullptr);
    }
}

// The levels are made from one table at compile time; whatever the table's
// form, each level must keep exactly these rules in this order, down to the
// bits of every width.
TEST(MapStyle, LevelsKeepTheirRecordedRules)
{
    const std::uint32_t recorded[] = {
        0x6A3E9AFCu, 0x5595D65Cu, 0x7888953Eu, 0x3F4A29F9u, 0xE057DCE3u, 0x07755039u, // zoom 6 to 11
        0x4CE53E58u, 0xCE03DBE5u, 0x2BD236D1u, 0x8BE65BF1u, 0xE604C7BAu,              // zoom 12 to 16
    };
    const vecta::MapStyle& style = vecta::getMapStyle();
    ASSERT_EQ(style.levelCount, std::size(recorded));
    for (unsigned int i = 0; i < style.levelCount; ++i) {
        EXPECT_EQ(levelChecksum(style.levels[i]), recorded[i]) << "zoom " << i + style.minZoom;
    }
}
