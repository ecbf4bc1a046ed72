// Every tile of the built-in collection, transcoded at its own zoom level as
// the board would: thinning flattens no ring wider than the thinning
// distance, keeps every source point within that distance of its thinned
// path, and no polygon holds more holes than a segment counts.

#include <gtest/gtest.h>

#include "tileinspect/CollectionStats.hpp"
#include "vecta/TileTranscoder.hpp"

namespace {

TEST(CollectionShapes, ThinningKeepsTheShapesOfEveryTile)
{
    const tileinspect::CollectionStats stats = tileinspect::collectionStats();
    for (unsigned int level = 0; level < stats.size(); ++level) {
        const tileinspect::ShapeStats& zoom = stats[level];
        SCOPED_TRACE("zoom " + std::to_string(tilelib::minZoom + level));
        EXPECT_GT(zoom.tiles, 0u);
        EXPECT_EQ(zoom.wideFlatRings, 0u);
        EXPECT_LT(zoom.largestDeviation, vecta::TileTranscoder::thinningDistance);
        EXPECT_EQ(zoom.holesLeftOut, 0u);
        EXPECT_EQ(zoom.unmatched, 0u);
    }
}

} // namespace
