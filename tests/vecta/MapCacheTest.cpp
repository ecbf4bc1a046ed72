#include <gtest/gtest.h>

#include <algorithm>

#include "CacheTestSupport.hpp"
#include "board_config/BoardConfig.hpp"
#include "support/AssertionMatcher.hpp"
#include "vecta/GlobalMapCache.hpp"

using namespace cachetest;

TEST(MapCache, ComesOutOfStaticConstructionWithEverySlotRequested)
{
    EXPECT_EQ(mapCache.fetcher.queue.size(), board::cacheSlotCount);
    EXPECT_EQ(mapCache.getTile(0, 0, 0).size, 0u);
    EXPECT_EQ(mapCache.zoomLevel, 0);
    EXPECT_TRUE(mapCache.lower.slots[0].pending);
    EXPECT_EQ(mapCache.lower.zoomLevel, -1);
    EXPECT_EQ(mapCache.upper.zoomLevel, 1);
}

TEST(MapCache, LookupOutsideTheWindowsGivesAnEmptyPlaceholderWithTheRequestedAddress)
{
    auto cache = makeCache();
    loadAround(*cache, 10, 20, 14);
    const vecta::MapTile far = cache->getTile(12, 20, 14);
    EXPECT_EQ(far.size, 0u);
    EXPECT_EQ(far.x, 12u);
    EXPECT_EQ(far.y, 20u);
    EXPECT_EQ(cache->getTile(7, 3, 9).size, 0u);
    EXPECT_EQ(cache->getTile(7, 3, 9).zoom, 9);

    const vecta::MapTile held = cache->getTile(11, 21, 14);
    EXPECT_EQ(held.size, 112u);
    EXPECT_EQ(tagOf(cache->getMapCacheTile(11, 21, 14)), (Address{11, 21, 14}));
}

TEST(MapCache, OneColumnShiftKeepsSixTilesAndRequestsTheNewColumnAndTheUpperTile)
{
    auto cache = makeCache();
    loadAround(*cache, 10, 20, 14);

    cache->setOrigo(11, 20, 14);
    std::vector<Address> requested = drainRequests(*cache);
    ASSERT_FALSE(requested.empty());
    EXPECT_EQ(requested.front(), (Address{12, 20, 14})) << "the tile ahead comes first";
    std::sort(requested.begin(), requested.end());
    EXPECT_EQ(requested, (std::vector<Address>{{12, 19, 14}, {12, 20, 14}, {12, 21, 14}, {22, 40, 15}}));
    for (int y = 19; y <= 21; ++y) {
        for (int x = 10; x <= 11; ++x) {
            EXPECT_TRUE(holdsItsOwnTile(*cache, {x, y, 14})) << x << "," << y;
        }
    }
    EXPECT_TRUE(holdsItsOwnTile(*cache, {5, 10, 13})) << "same parent, kept";

    // One more column crosses into the next parent tile.
    cache->setOrigo(12, 20, 14);
    requested = drainRequests(*cache);
    std::sort(requested.begin(), requested.end());
    EXPECT_EQ(requested, (std::vector<Address>{{6, 10, 13}, {13, 19, 14}, {13, 20, 14}, {13, 21, 14}, {24, 40, 15}}));
}

TEST(MapCache, ShiftsUpAndDownKeepTheRowsThatStay)
{
    auto cache = makeCache();
    loadAround(*cache, 10, 20, 14);
    cache->setOrigo(10, 19, 14);
    std::vector<Address> requested = drainRequests(*cache);
    std::sort(requested.begin(), requested.end());
    EXPECT_EQ(requested, (std::vector<Address>{{5, 9, 13}, {9, 18, 14}, {10, 18, 14}, {11, 18, 14}, {20, 38, 15}}));
    for (int x = 9; x <= 11; ++x) {
        EXPECT_TRUE(holdsItsOwnTile(*cache, {x, 19, 14}));
        EXPECT_TRUE(holdsItsOwnTile(*cache, {x, 20, 14}));
    }
}

TEST(MapCache, AShiftKeepsTilesThatHaveNotArrivedPending)
{
    auto cache = makeCache();
    cache->setOrigo(10, 20, 14);
    cache->storeTile(10, 20, 14, tagFill({10, 20, 14}));
    cache->setOrigo(11, 20, 14);
    cache->setOrigo(11, 21, 14);
    for (const vecta::CacheTile& slot : cache->current.slots) {
        const bool arrived = slot.x == 10 && slot.y == 20;
        EXPECT_EQ(slot.pending, !arrived) << slot.x << "," << slot.y;
    }
    EXPECT_TRUE(holdsItsOwnTile(*cache, {10, 20, 14}));
}

TEST(MapCache, TwoColumnJumpKeepsNothingOfTheCurrentLayer)
{
    auto cache = makeCache();
    loadAround(*cache, 10, 20, 14);
    cache->setOrigo(12, 20, 14);
    for (const vecta::CacheTile& slot : cache->current.slots) {
        EXPECT_TRUE(slot.pending);
        EXPECT_EQ(slot.size, 0u);
    }
    EXPECT_EQ(drainRequests(*cache).size(), board::cacheSlotCount);
}

TEST(MapCache, ZoomInAndBackOutKeepsBothTilesWithoutRequestingThem)
{
    auto cache = makeCache();
    loadAround(*cache, 10, 20, 14);

    cache->setOrigo(20, 40, 15);
    std::vector<Address> requested = drainRequests(*cache);
    EXPECT_EQ(requested.size(), 9u) << "eight new tiles of the current layer and the new upper one";
    EXPECT_EQ(std::count(requested.begin(), requested.end(), Address{10, 20, 14}), 0);
    EXPECT_EQ(std::count(requested.begin(), requested.end(), Address{20, 40, 15}), 0);
    EXPECT_TRUE(holdsItsOwnTile(*cache, {10, 20, 14}));
    EXPECT_TRUE(holdsItsOwnTile(*cache, {20, 40, 15}));

    cache->setOrigo(10, 20, 14);
    requested = drainRequests(*cache);
    EXPECT_EQ(std::count(requested.begin(), requested.end(), Address{10, 20, 14}), 0);
    EXPECT_EQ(std::count(requested.begin(), requested.end(), Address{20, 40, 15}), 0);
    EXPECT_TRUE(holdsItsOwnTile(*cache, {10, 20, 14}));
    EXPECT_TRUE(holdsItsOwnTile(*cache, {20, 40, 15}));
}

TEST(MapCache, ZoomByTwoLevelsHandsTheOuterTileAcross)
{
    auto cache = makeCache();
    loadAround(*cache, 10, 20, 14);
    cache->setOrigo(40, 80, 16); // the old upper tile (20, 40, 15) becomes the lower one
    EXPECT_TRUE(holdsItsOwnTile(*cache, {20, 40, 15}));
    cache->setOrigo(10, 20, 14); // and goes back up
    EXPECT_TRUE(holdsItsOwnTile(*cache, {20, 40, 15}));
}

// Every zoom re-requests the centre and child tiles that have not arrived.
TEST(MapCache, ZoomingBackAndForthBeforeTilesArriveDoesNotFillTheQueue)
{
    auto cache = makeCache();
    for (int i = 0; i < 400; ++i) {
        cache->setOrigo(10, 20, 14);
        cache->setOrigo(20, 40, 15);
    }
    EXPECT_LE(cache->fetcher.queue.size(), board::cacheSlotCount);
    std::vector<Address> requested = drainRequests(*cache);
    std::sort(requested.begin(), requested.end());
    EXPECT_EQ(std::adjacent_find(requested.begin(), requested.end()), requested.end()) << "no tile twice";
}

TEST(MapCache, DiscardsAResultThatIsNoLongerWanted)
{
    auto cache = makeCache();
    loadAround(*cache, 10, 20, 14);
    bool filled = false;
    const vecta::TileFill spy = [&filled](char*, unsigned int) {
        filled = true;
        return 0u;
    };
    EXPECT_FALSE(cache->storeTile(40, 80, 16, spy)) << "two levels above";
    EXPECT_FALSE(cache->storeTile(13, 20, 14, spy)) << "outside the window";
    EXPECT_FALSE(cache->storeTile(21, 40, 15, spy)) << "not the upper tile";
    EXPECT_FALSE(filled);
    EXPECT_TRUE(cache->storeTile(11, 20, 14, spy)) << "a tile already held is overwritten";
    EXPECT_TRUE(filled);
    EXPECT_EQ(cache->getTile(11, 20, 14).size, 0u);
}

TEST(MapCacheDeathTest, AFillThatClaimsMoreThanTheBufferStops)
{
    auto cache = makeCache();
    const vecta::TileFill liar = [](char*, unsigned int capacity) { return capacity + 1; };
    EXPECT_ASSERTION(cache->storeTile(0, 0, 0, liar), "written <= BufferSize");
}
