// The tag mapping from OpenStreetMap objects to the style's layers and
// classes: the repository's mapping file and how malformed files are refused.

#include <map>
#include <set>
#include <stdexcept>
#include <string>

#include <gtest/gtest.h>

#include "tilepack/SourceMapping.hpp"
#include "tilepack/TagMapping.hpp"
#include "vecta/MapStyle.hpp"
#include "vecta/StringHash.hpp"

namespace {

using tilepack::OsmShape;
using tilepack::Tags;

const tilepack::TagMapping& repositoryMapping()
{
    static const tilepack::TagMapping mapping = tilepack::TagMapping::read(TILEPACK_DEFAULT_MAPPING);
    return mapping;
}

std::uint32_t keyOf(const std::string& layer, const std::string& featureClass)
{
    return vecta::stringHash(layer.c_str()) + vecta::stringHash(featureClass.c_str());
}

TEST(TagMapping, RoadsCarryTheirTypeStructureAndDirection)
{
    const auto roads =
        repositoryMapping().assign({{"highway", "primary_link"}, {"bridge", "yes"}, {"oneway", "yes"}}, OsmShape::Line);
    ASSERT_EQ(roads.size(), 1u);
    EXPECT_EQ(roads[0].layer, "road");
    EXPECT_EQ(roads[0].properties,
              (tilepack::Properties{
                  {"class", "primary"}, {"type", "primary_link"}, {"structure", "bridge"}, {"oneway", "true"}}));
    const auto rail = repositoryMapping().assign({{"railway", "tram"}, {"tunnel", "yes"}}, OsmShape::Line);
    ASSERT_EQ(rail.size(), 1u);
    EXPECT_EQ(rail[0].properties[0].second, "minor_rail");
    EXPECT_EQ(rail[0].properties[2].second, "tunnel");
}

TEST(TagMapping, ShapeValueAndNameDecideWhetherAnObjectIsKept)
{
    const tilepack::TagMapping& mapping = repositoryMapping();
    EXPECT_TRUE(mapping.assign({{"highway", "residential"}}, OsmShape::Area).empty()) << "a road is a line";
    EXPECT_TRUE(mapping.assign({{"building", "no"}}, OsmShape::Area).empty());
    EXPECT_TRUE(mapping.assign({{"highway", "bus_stop"}}, OsmShape::Point).empty());
    EXPECT_TRUE(mapping.assign({{"shop", "bakery"}, {"name", "Beck"}}, OsmShape::Point).empty());
    EXPECT_TRUE(mapping.assign({{"place", "village"}}, OsmShape::Point).empty()) << "a place without a name";

    const auto village = mapping.assign({{"place", "village"}, {"name", "Schaan"}}, OsmShape::Point);
    ASSERT_EQ(village.size(), 1u);
    EXPECT_EQ(village[0].properties, (tilepack::Properties{{"type", "village"}, {"name_en", "Schaan"}}));
    const auto named = mapping.assign({{"place", "town"}, {"name", "Wien"}, {"name:en", "Vienna"}}, OsmShape::Point);
    ASSERT_EQ(named.size(), 1u);
    EXPECT_EQ(named[0].properties[1].second, "Vienna");

    const auto building = mapping.assign({{"building", "church"}}, OsmShape::Area);
    ASSERT_EQ(building.size(), 1u);
    EXPECT_EQ(building[0].properties, (tilepack::Properties{{"underground", "false"}}));
}

// A wood is faint landcover at the lowest level and landuse from the next
// one on, never both in one tile.
TEST(TagMapping, OneTagCanFeedTwoClassesAtDifferentZoomLevels)
{
    const auto wood = repositoryMapping().assign({{"natural", "wood"}}, OsmShape::Area);
    ASSERT_EQ(wood.size(), 2u);
    EXPECT_EQ(wood[0].layer, "landcover");
    EXPECT_EQ(wood[0].maxZoom, 6);
    EXPECT_EQ(wood[1].layer, "landuse");
    EXPECT_EQ(wood[1].minZoom, 7);
    EXPECT_EQ(wood[1].maxZoom, 16);
}

// The pairs no OpenStreetMap tag feeds: the background is no feature, and
// hillshade and contours come from elevation data.
const std::set<std::string> unfed{"background/default", "hillshade/default", "contour/default"};

TEST(TagMapping, EveryPairTheStyleDrawsHasARuleThatStoresItInTime)
{
    std::map<std::uint32_t, std::uint8_t> firstStored;
    for (const tilepack::TagRule& rule : repositoryMapping().rules()) {
        const std::uint32_t key = keyOf(rule.layer, rule.featureClass);
        firstStored[key] = firstStored.count(key) ? std::min(firstStored[key], rule.minZoom) : rule.minZoom;
    }
    std::set<std::uint32_t> unfedKeys;
    for (const std::string& pair : unfed) {
        unfedKeys.insert(keyOf(pair.substr(0, pair.find('/')), pair.substr(pair.find('/') + 1)));
    }
    const vecta::MapStyle& style = vecta::getMapStyle();
    for (unsigned int zoom = 6; zoom <= 16; ++zoom) {
        const vecta::LevelStyle& level = style.level(zoom);
        for (std::uint32_t i = 0; i < level.count; ++i) {
            const vecta::LayerStyle& rule = level.layers[i];
            if (rule.opacity == 0 || unfedKeys.count(rule.key())) {
                continue;
            }
            const auto stored = firstStored.find(rule.key());
            ASSERT_NE(stored, firstStored.end()) << "a style rule of zoom " << zoom << " has no mapping rule";
            EXPECT_LE(stored->second, zoom);
        }
    }
}

// GeoJSON and OpenStreetMap builds store a class from the same level.
TEST(TagMapping, FirstZoomLevelsAgreeWithTheGeoJsonMapping)
{
    std::map<std::string, std::uint8_t> geoJson;
    for (const tilepack::StoredClass& stored : tilepack::storedClasses()) {
        const std::string pair = stored.layer + "/" + stored.featureClass;
        geoJson[pair] = geoJson.count(pair) ? std::min(geoJson[pair], stored.minZoom) : stored.minZoom;
    }
    std::map<std::string, std::uint8_t> osm;
    for (const tilepack::TagRule& rule : repositoryMapping().rules()) {
        const std::string pair = rule.layer + "/" + rule.featureClass;
        osm[pair] = osm.count(pair) ? std::min(osm[pair], rule.minZoom) : rule.minZoom;
    }
    unsigned int shared = 0;
    for (const auto& [pair, zoom] : osm) {
        if (const auto found = geoJson.find(pair); found != geoJson.end()) {
            EXPECT_EQ(zoom, found->second) << pair;
            ++shared;
        }
    }
    EXPECT_GE(shared, 10u);
}

std::string refusal(const std::string& text)
{
    try {
        tilepack::TagMapping::parse(text, "m.json");
    } catch (const std::runtime_error& error) {
        return error.what();
    }
    return "accepted";
}

TEST(TagMapping, AMalformedFileIsRefusedWithItsLine)
{
    EXPECT_EQ(refusal("{\"rules\": [\n  {\"key\": \"a\",\n  ]\n}").rfind("m.json:3: not JSON", 0), 0u);
    const std::string good =
        R"({"key": "a", "values": ["b"], "geometry": "line", "layer": "road", "class": "x", "minzoom": 6})";
    EXPECT_EQ(refusal("{\"rules\": [\n" + good + ",\n" + good + "\n]}"), "accepted");
    EXPECT_EQ(refusal("{\"rules\": [\n" + good +
                      ",\n{\"key\": \"a\", \"values\": [\"b\"], \"geometry\": \"line\", "
                      "\"layer\": \"road\", \"class\": \"x\", \"minzoom\": 17}\n]}"),
              "m.json:3: rule 2: \"minzoom\" must be a whole number from 6 to 16");
    EXPECT_EQ(refusal("{\"rules\": [\n\n{\"key\": \"a\", \"values\": \"b\", \"geometry\": \"line\", "
                      "\"layer\": \"road\", \"class\": \"x\", \"minzoom\": 6}]}"),
              "m.json:3: rule 1: \"values\" must be a list of strings");
    EXPECT_EQ(refusal(R"({"rules": [{"key": "a", "value": ["b"]}]})"), "m.json:1: rule 1: unknown field \"value\"");
    EXPECT_EQ(refusal(R"([1, 2])"), "m.json:1: the mapping must be an object with a \"rules\" list");
}

} // namespace
