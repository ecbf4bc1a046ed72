// The sea from coastline ways, in a box of 1000 x 1000 world units: land
// lies to the left of each way (y grows southward, as on the map).

#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "tilepack/Coastline.hpp"
#include "tilepack/Geos.hpp"

namespace {

using tilepack::CoastWay;
using tilepack::WorldPath;

const tilepack::Envelope box{0, 0, 1000, 1000};

CoastWay way(std::int64_t id, std::vector<std::int64_t> nodes, WorldPath path)
{
    return CoastWay{id, std::move(nodes), std::move(path)};
}

double areaOf(const tilepack::WorldGeometry& water)
{
    if (water.empty()) {
        return 0;
    }
    const tilepack::GeometryPtr geometry = tilepack::toGeos(water);
    double area = 0;
    GEOSArea_r(tilepack::geosContext(), geometry.get(), &area);
    return area;
}

TEST(Coastline, AnIslandInsideTheBoxIsLandInTheSea)
{
    // Down the west shore, east along the south: anticlockwise on the map.
    const CoastWay island = way(1, {1, 2, 3, 4, 1}, {{400, 400}, {400, 600}, {600, 600}, {600, 400}, {400, 400}});
    const tilepack::Sea sea = tilepack::seaWithin({island}, box);
    EXPECT_TRUE(sea.problems.empty());
    EXPECT_NEAR(areaOf(sea.water), 1000.0 * 1000 - 200 * 200, 1e-6);

    // The same ring the other way round is a lake's shore: only it is sea.
    CoastWay lake = island;
    std::reverse(lake.path.begin(), lake.path.end());
    std::reverse(lake.nodes.begin(), lake.nodes.end());
    EXPECT_NEAR(areaOf(tilepack::seaWithin({lake}, box).water), 200.0 * 200, 1e-6);
}

TEST(Coastline, ACoastCrossingTheBoxIsClosedAlongItsEdge)
{
    // Eastward with land to the north: the sea is the southern part.
    const std::vector<CoastWay> eastward{way(2, {3, 4}, {{500, 500}, {1100, 520}}),
                                         way(1, {1, 2, 3}, {{-100, 480}, {200, 400}, {500, 500}})};
    const tilepack::Sea south = tilepack::seaWithin(eastward, box);
    ASSERT_TRUE(south.problems.empty());
    const tilepack::Envelope extent = tilepack::envelopeOf(south.water);
    EXPECT_EQ(extent.maxY, 1000);
    EXPECT_GT(extent.minY, 390);
    EXPECT_LT(extent.minY, 420);
    const double southArea = areaOf(south.water);

    std::vector<CoastWay> westward;
    for (auto it = eastward.rbegin(); it != eastward.rend(); ++it) {
        CoastWay reversed = *it;
        std::reverse(reversed.path.begin(), reversed.path.end());
        std::reverse(reversed.nodes.begin(), reversed.nodes.end());
        westward.insert(westward.begin(), reversed);
    }
    const tilepack::Sea north = tilepack::seaWithin(westward, box);
    ASSERT_TRUE(north.problems.empty());
    EXPECT_EQ(tilepack::envelopeOf(north.water).minY, 0);
    EXPECT_NEAR(southArea + areaOf(north.water), 1000.0 * 1000, 1e-3);
}

TEST(Coastline, ACoastThatCannotBeClosedLeavesTheSeaOut)
{
    // Way 8, which would go on from node 3, is missing from the extract.
    const std::vector<CoastWay> broken{way(7, {1, 2, 3}, {{-100, 500}, {300, 500}, {500, 500}}),
                                       way(9, {10, 11}, {{900, 100}, {1100, 100}})};
    const tilepack::Sea sea = tilepack::seaWithin(broken, box);
    ASSERT_EQ(sea.problems.size(), 2u);
    EXPECT_NE(sea.problems[0].find("way 7 ends inside the box"), std::string::npos) << sea.problems[0];
    EXPECT_NE(sea.problems[1].find("way 9 ends inside the box"), std::string::npos) << sea.problems[1];
    EXPECT_TRUE(sea.water.empty());

    const CoastWay openRing = way(3, {1, 2, 3, 4}, {{400, 400}, {400, 600}, {600, 600}, {600, 400}});
    EXPECT_EQ(tilepack::seaWithin({openRing}, box).problems.size(), 1u);
}

} // namespace
