#include <gtest/gtest.h>

#include "tilepack/SourceMapping.hpp"
#include "vecta/MapStyle.hpp"
#include "vecta/StringHash.hpp"

namespace {

// Thinning per zoom level must never drop what the style draws there.
TEST(SourceMapping, EveryClassIsStoredWhereverTheStyleDrawsIt)
{
    const vecta::MapStyle& style = vecta::getMapStyle();
    for (const tilepack::StoredClass& stored : tilepack::storedClasses()) {
        const std::uint32_t key =
            vecta::stringHash(stored.layer.c_str()) + vecta::stringHash(stored.featureClass.c_str());
        for (unsigned int zoom = 6; zoom <= 16; ++zoom) {
            const vecta::LayerStyle* rule = style.level(zoom).find(key);
            if (rule != nullptr && rule->opacity > 0) {
                EXPECT_LE(stored.minZoom, zoom) << stored.layer << "/" << stored.featureClass;
            }
        }
    }
}

TEST(SourceMapping, RoadsTakeTheirClassFromTheHighwayValue)
{
    const auto link = tilepack::assignRoad("primary_link", true);
    ASSERT_TRUE(link);
    EXPECT_EQ(link->layer, "road");
    EXPECT_EQ(link->properties,
              (tilepack::Properties{
                  {"class", "primary"}, {"type", "primary_link"}, {"structure", "none"}, {"oneway", "true"}}));
    EXPECT_EQ(tilepack::assignRoad("motorway_link", false)->properties[0].second, "motorway_link");
    EXPECT_EQ(tilepack::assignRoad("living_street", false)->properties[0].second, "street");
    EXPECT_EQ(tilepack::assignRoad("steps", false)->properties[0].second, "path");
    EXPECT_FALSE(tilepack::assignRoad("unknown", false));
}

TEST(SourceMapping, AreasWaterAndPlacesGoToTheirLayers)
{
    EXPECT_EQ(tilepack::assignArea("building")->layer, "building");
    EXPECT_EQ(tilepack::assignArea("building")->minZoom, 15);
    EXPECT_EQ(tilepack::assignArea("building")->properties, (tilepack::Properties{{"underground", "false"}}));
    EXPECT_EQ(tilepack::assignArea("residential")->properties, (tilepack::Properties{{"class", "residential"}}));
    EXPECT_EQ(tilepack::assignArea("water")->layer, "water");
    EXPECT_EQ(tilepack::assignWater("waterway")->minZoom, 8);
    EXPECT_EQ(tilepack::assignPlace("town", "Randers")->properties,
              (tilepack::Properties{{"type", "town"}, {"name_en", "Randers"}}));
    EXPECT_FALSE(tilepack::assignArea("quarry"));
}

} // namespace
