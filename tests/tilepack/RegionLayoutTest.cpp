// A region's box: how it is read, which tiles each zoom level holds, and
// boxes too large for the board's flash.

#include <stdexcept>
#include <string>

#include <gtest/gtest.h>

#include "tilepack/RegionLayout.hpp"

namespace {

std::string refusal(const std::string& text)
{
    try {
        tilepack::parseGeoBox(text);
    } catch (const std::runtime_error& error) {
        return error.what();
    }
    return "accepted";
}

TEST(RegionLayout, BoxesAreReadAsWestSouthEastNorthAndChecked)
{
    const tilepack::GeoBox box = tilepack::parseGeoBox("9.47,47.04,9.64,47.28");
    EXPECT_EQ(box.west, 9.47);
    EXPECT_EQ(box.north, 47.28);
    EXPECT_NE(refusal("170,40,-170,50").find("cross the antimeridian"), std::string::npos);
    EXPECT_NE(refusal("9,80,10,86").find("beyond latitude 85.0511"), std::string::npos);
    EXPECT_NE(refusal("9,47,10,46").find("south edge north of its north edge"), std::string::npos);
    EXPECT_NE(refusal("-181,47,10,48").find("beyond longitude"), std::string::npos);
    for (const char* malformed : {"9,47,10", "9,47,10,48,", "9,47,10,48,1", "9;47;10;48", "a,b,c,d", ""}) {
        EXPECT_NE(refusal(malformed).find("is not W,S,E,N"), std::string::npos) << malformed;
    }
}

TEST(RegionLayout, EachLevelHoldsTheTilesTheBoxTouchesWithinTheLevelAbove)
{
    const tilepack::CollectionLayout layout = tilepack::layoutFor({9.47108, 47.04774, 9.63622, 47.27128});
    // Computed apart from the tool, from the tile formulas.
    const tilepack::ZoomRange& last = layout.ranges.back();
    EXPECT_EQ(last.zoom, 16);
    EXPECT_EQ(last.minX, 34492u);
    EXPECT_EQ(last.maxX, 34522u);
    EXPECT_EQ(last.minY, 22978u);
    EXPECT_EQ(last.maxY, 23037u);
    for (std::size_t level = 1; level < layout.ranges.size(); ++level) {
        const tilepack::ZoomRange& above = layout.ranges[level - 1];
        const tilepack::ZoomRange& range = layout.ranges[level];
        EXPECT_EQ(range.minX / 2, above.minX);
        EXPECT_EQ(range.maxX / 2, above.maxX);
        EXPECT_EQ(range.minY / 2, above.minY);
        EXPECT_EQ(range.maxY / 2, above.maxY);
    }
    EXPECT_FALSE(layout.absent);
    EXPECT_EQ(layout.storedTileCount(), layout.tileCount());
}

TEST(RegionLayout, ABoxTooLargeIsRefusedWithTheBoxThatCouldFit)
{
    const tilepack::GeoBox europe{-10, 35, 30, 60};
    std::string message;
    try {
        tilepack::checkRegionFits(europe);
    } catch (const std::runtime_error& error) {
        message = error.what();
    }
    const std::string tiles = std::to_string(tilepack::layoutFor(europe).tileCount()) + " tiles";
    EXPECT_NE(message.find(tiles), std::string::npos) << message;
    EXPECT_NE(message.find("more than the 112.0 MiB"), std::string::npos) << message;
    const std::size_t named = message.find("must lie within ");
    ASSERT_NE(named, std::string::npos) << message;

    // The box it names fits; a little more does not.
    const tilepack::GeoBox within = tilepack::parseGeoBox(message.substr(named + 16));
    EXPECT_NO_THROW(tilepack::checkRegionFits(tilepack::shrunk(within, 0.99)));
    EXPECT_THROW(tilepack::checkRegionFits(tilepack::shrunk(within, 1.05)), std::runtime_error);
}

TEST(RegionLayout, ABuiltImageTooLargeIsRefusedWithItsSize)
{
    const tilepack::GeoBox box{9.4, 47.0, 9.7, 47.3};
    EXPECT_NO_THROW(tilepack::checkImageFits(box, 5000, tilepack::collectionLimitBytes));
    try {
        tilepack::checkImageFits(box, 5000, tilepack::collectionLimitBytes * 4);
        FAIL() << "accepted";
    } catch (const std::runtime_error& error) {
        EXPECT_NE(std::string(error.what()).find("takes 5000 tiles and 448.0 MiB"), std::string::npos) << error.what();
    }
}

} // namespace
