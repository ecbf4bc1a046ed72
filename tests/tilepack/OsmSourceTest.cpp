// Reading OpenStreetMap extracts written here as XML: which objects become
// which features, broken areas, the coastline's sea and the input refused.

#include <filesystem>
#include <fstream>
#include <set>
#include <stdexcept>
#include <string>

#include <gtest/gtest.h>
#include <unistd.h>

#include "tilepack/OsmSource.hpp"

namespace {

class OsmSource : public ::testing::Test {
protected:
    OsmSource()
    {
        const auto* test = ::testing::UnitTest::GetInstance()->current_test_info();
        directory = std::filesystem::temp_directory_path() /
                    ("tilepack_osm_" + std::string(test->name()) + "_" + std::to_string(getpid()));
        std::filesystem::create_directories(directory);
    }
    ~OsmSource() override { std::filesystem::remove_all(directory); }

    // An extract with a header box of lon 9.0..9.1, lat 47.0..47.1.
    std::filesystem::path extract(const std::string& body) const
    {
        std::filesystem::path path = directory / "extract.osm";
        std::ofstream(path) << "<?xml version=\"1.0\"?>\n<osm version=\"0.6\">\n"
                               "<bounds minlon=\"9.0\" minlat=\"47.0\" maxlon=\"9.1\" maxlat=\"47.1\"/>\n"
                            << body << "</osm>\n";
        return path;
    }

    tilepack::OsmData load(const std::filesystem::path& path) const
    {
        return tilepack::loadOsm(path, mapping, tilepack::extractBox(path));
    }

    std::string refusal(const std::filesystem::path& path) const
    {
        try {
            load(path);
        } catch (const std::runtime_error& error) {
            return error.what();
        }
        return "accepted";
    }

    const tilepack::TagMapping mapping = tilepack::TagMapping::read(TILEPACK_DEFAULT_MAPPING);
    std::filesystem::path directory;
};

// Nodes 1..16 on a 4 x 4 grid 0.02 degrees apart, row by row from the south-west.
const std::string grid = [] {
    std::string nodes;
    for (int i = 0; i < 16; ++i) {
        const int column = i % 4;
        const int row = i / 4;
        nodes += "<node id=\"" + std::to_string(i + 1) + "\" lon=\"" + std::to_string(9.01 + 0.02 * column) +
                 "\" lat=\"" + std::to_string(47.01 + 0.02 * row) + "\"/>\n";
    }
    return nodes;
}();

std::string closedWay(int id, std::initializer_list<int> nodes, const std::string& tags = "")
{
    std::string text = "<way id=\"" + std::to_string(id) + "\">";
    for (const int node : nodes) {
        text += "<nd ref=\"" + std::to_string(node) + "\"/>";
    }
    return text + tags + "</way>\n";
}

const tilepack::SourceFeature* inLayer(const tilepack::OsmData& data, const std::string& layer)
{
    for (const tilepack::SourceFeature& feature : data.source.features) {
        if (feature.layer == layer) {
            return &feature;
        }
    }
    return nullptr;
}

TEST_F(OsmSource, TaggedNodesWaysAndClosedWaysBecomePointsLinesAndAreas)
{
    const tilepack::OsmData data =
        load(extract(grid +
                     "<node id=\"20\" lon=\"9.05\" lat=\"47.05\"><tag k=\"place\" v=\"village\"/><tag k=\"name\" "
                     "v=\"Au\"/></node>\n" +
                     "<node id=\"21\" lon=\"9.06\" lat=\"47.05\"><tag k=\"amenity\" v=\"bench\"/></node>\n" +
                     closedWay(100, {1, 2, 3}, "<tag k=\"highway\" v=\"residential\"/><tag k=\"oneway\" v=\"yes\"/>") +
                     closedWay(101, {5, 6, 10, 9, 5}, "<tag k=\"building\" v=\"yes\"/>") +
                     closedWay(102, {4, 8}, "<tag k=\"power\" v=\"line\"/>")));
    EXPECT_EQ(data.source.features.size(), 3u);
    EXPECT_EQ(data.source.skipped, 2u) << "the bench and the power line";
    ASSERT_NE(inLayer(data, "place_label"), nullptr);
    EXPECT_EQ(inLayer(data, "place_label")->geometry.shape, tilepack::Shape::Point);
    ASSERT_NE(inLayer(data, "road"), nullptr);
    EXPECT_EQ(inLayer(data, "road")->geometry.components.at(0).at(0).size(), 3u);
    ASSERT_NE(inLayer(data, "building"), nullptr);
    EXPECT_EQ(inLayer(data, "building")->geometry.shape, tilepack::Shape::Polygon);

    ASSERT_EQ(data.roads.size(), 1u);
    EXPECT_EQ(data.roads[0].id, 100);
    EXPECT_EQ(data.roads[0].nodes, (std::vector<std::int64_t>{1, 2, 3}));
    EXPECT_TRUE(data.roads[0].oneway);
}

// One object per rule of the repository's mapping, tagged with the rule's
// first value: a node, a way, or a multipolygon relation for an area.
TEST_F(OsmSource, EveryRuleOfTheMappingFeedsItsLayerAndClass)
{
    std::string objects = grid + closedWay(1, {6, 7, 11, 10, 6});
    std::set<std::string> expected;
    int id = 100;
    for (const tilepack::TagRule& rule : mapping.rules()) {
        ++id;
        const std::string value = rule.values.front() == "*" ? "yes" : rule.values.front();
        const std::string tags = "<tag k=\"" + rule.key + "\" v=\"" + value + "\"/><tag k=\"name\" v=\"N\"/>";
        if (rule.shape == tilepack::OsmShape::Point) {
            objects += "<node id=\"" + std::to_string(id) + "\" lon=\"9.05\" lat=\"47.05\">" + tags + "</node>\n";
        } else if (rule.shape == tilepack::OsmShape::Line) {
            objects += closedWay(id, {1, 2, 3}, tags);
        } else {
            objects += "<relation id=\"" + std::to_string(id) +
                       "\"><member type=\"way\" ref=\"1\" role=\"outer\"/><tag k=\"type\" v=\"multipolygon\"/>" + tags +
                       "</relation>\n";
        }
        expected.insert(rule.layer + "/" + rule.featureClass);
    }
    std::set<std::string> stored;
    for (const tilepack::SourceFeature& feature : load(extract(objects)).source.features) {
        std::string featureClass = "default";
        for (const auto& [key, value] : feature.properties) {
            featureClass = key == "class" ? value : featureClass;
        }
        stored.insert(feature.layer + "/" + featureClass);
    }
    EXPECT_EQ(stored, expected);
}

TEST_F(OsmSource, MultipolygonsKeepTheirHolesAndBrokenOnesAreNamedAndLeftOut)
{
    const std::string relations = closedWay(200, {1, 4, 16, 13, 1}) + closedWay(201, {6, 7, 11, 10, 6}) +
                                  closedWay(202, {2, 3}) +
                                  "<relation id=\"300\"><member type=\"way\" ref=\"200\" role=\"outer\"/>"
                                  "<member type=\"way\" ref=\"201\" role=\"inner\"/>"
                                  "<tag k=\"type\" v=\"multipolygon\"/><tag k=\"natural\" v=\"water\"/></relation>\n"
                                  "<relation id=\"301\"><member type=\"way\" ref=\"202\" role=\"outer\"/>"
                                  "<tag k=\"type\" v=\"multipolygon\"/><tag k=\"landuse\" v=\"forest\"/></relation>\n";
    const tilepack::OsmData data = load(extract(grid + relations));
    const tilepack::SourceFeature* lake = inLayer(data, "water");
    ASSERT_NE(lake, nullptr);
    ASSERT_EQ(lake->geometry.components.size(), 1u);
    EXPECT_EQ(lake->geometry.components[0].size(), 2u) << "the outer ring and its hole";
    EXPECT_EQ(inLayer(data, "landuse"), nullptr);
    EXPECT_EQ(inLayer(data, "landcover"), nullptr);
    ASSERT_EQ(data.source.warnings.size(), 1u);
    EXPECT_EQ(data.source.warnings[0], "relation 301: a broken area (its rings do not close), left out");
}

TEST_F(OsmSource, TheSeaBeyondACoastlineBecomesWater)
{
    // Northward along lon 9.05 through the box: land to the west.
    const tilepack::OsmData data =
        load(extract("<node id=\"1\" lon=\"9.05\" lat=\"46.9\"/><node id=\"2\" lon=\"9.05\" lat=\"47.2\"/>\n" +
                     closedWay(1, {1, 2}, "<tag k=\"natural\" v=\"coastline\"/>")));
    EXPECT_TRUE(data.seaFromCoastline);
    const tilepack::SourceFeature* sea = inLayer(data, "water");
    ASSERT_NE(sea, nullptr);
    const tilepack::Envelope box = tilepack::worldEnvelope({9.0, 47.0, 9.1, 47.1});
    EXPECT_NEAR(sea->envelope.minX, tilepack::project(9.05, 47.05).x, 1e-6);
    EXPECT_NEAR(sea->envelope.maxX, box.maxX, 1e-6);
}

TEST_F(OsmSource, AnIslandInTheBoxLeavesAHoleInTheSea)
{
    // South down the west shore, then east: anticlockwise, land inside.
    const tilepack::OsmData data =
        load(extract("<node id=\"1\" lon=\"9.04\" lat=\"47.06\"/><node id=\"2\" lon=\"9.04\" lat=\"47.04\"/>\n"
                     "<node id=\"3\" lon=\"9.06\" lat=\"47.04\"/><node id=\"4\" lon=\"9.06\" lat=\"47.06\"/>\n" +
                     closedWay(1, {1, 2, 3}, "<tag k=\"natural\" v=\"coastline\"/>") +
                     closedWay(2, {3, 4, 1}, "<tag k=\"natural\" v=\"coastline\"/>")));
    const tilepack::SourceFeature* sea = inLayer(data, "water");
    ASSERT_NE(sea, nullptr);
    ASSERT_EQ(sea->geometry.components.size(), 1u);
    EXPECT_EQ(sea->geometry.components[0].size(), 2u) << "the box's edge and the island's shore";
}

TEST_F(OsmSource, InputThatIsNoUsableExtractIsRefusedInOneLine)
{
    std::ofstream(directory / "junk.osm.pbf") << "not a protocol buffer";
    EXPECT_NE(refusal(directory / "junk.osm.pbf").find("junk.osm.pbf: not a readable OpenStreetMap extract"),
              std::string::npos);
    const std::string empty = refusal(extract(""));
    EXPECT_NE(empty.find("extract.osm: holds no map data"), std::string::npos) << empty;
    const std::string outside = refusal(extract("<node id=\"5\" lon=\"9.05\" lat=\"91\"/>\n"));
    EXPECT_EQ(outside, "node 5 has coordinates outside the world's (longitude -180..180, latitude -90..90)");
    const std::string elsewhere = refusal(extract("<node id=\"1\" lon=\"12\" lat=\"50\"><tag k=\"place\" v=\"city\"/>"
                                                  "<tag k=\"name\" v=\"Far\"/></node>\n"));
    EXPECT_NE(elsewhere.find("no map data the mapping keeps lies inside the box"), std::string::npos) << elsewhere;
}

} // namespace
