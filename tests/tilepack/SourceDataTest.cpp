#include <cmath>
#include <stdexcept>

#include <gtest/gtest.h>

#include "tilepack/SourceData.hpp"

namespace {

TEST(SourceData, ProjectsToZoom16TileUnitsWithYGrowingSouth)
{
    const tilepack::WorldPoint origin = tilepack::project(-180.0, 85.05112878);
    EXPECT_NEAR(origin.x, 0.0, 1e-6);
    EXPECT_NEAR(origin.y, 0.0, 1.0);
    const tilepack::WorldPoint centre = tilepack::project(0.0, 0.0);
    EXPECT_DOUBLE_EQ(centre.x, tilepack::worldSize / 2);
    EXPECT_NEAR(centre.y, tilepack::worldSize / 2, 1e-6);
    // Central Aarhus lies in tile 8656/5089 at zoom 14.
    const tilepack::WorldPoint aarhus = tilepack::project(10.2108, 56.1567);
    EXPECT_EQ(std::floor(aarhus.x / 4096 / 4), 8656);
    EXPECT_EQ(std::floor(aarhus.y / 4096 / 4), 5089);
}

TEST(SourceData, ReadsTheFourFilesAndRepairsInvalidPolygons)
{
    const tilepack::SourceData data = tilepack::loadSourceData(TILEPACK_TEST_DATA);
    EXPECT_EQ(data.features.size(), 11u);
    EXPECT_EQ(data.skipped, 1u) << "the highway without a mapping";
    EXPECT_EQ(data.repaired, 1u) << "the self-crossing grass area";
    for (const tilepack::SourceFeature& feature : data.features) {
        EXPECT_FALSE(feature.geometry.empty());
        EXPECT_GT(feature.id, 0u);
    }
}

TEST(SourceData, AMissingFileIsNamed)
{
    try {
        tilepack::loadSourceData(std::string(TILEPACK_TEST_DATA) + "/nowhere");
        FAIL() << "no error";
    } catch (const std::runtime_error& error) {
        EXPECT_NE(std::string(error.what()).find("nowhere/water.geojson: cannot be read"), std::string::npos)
            << error.what();
    }
}

} // namespace
