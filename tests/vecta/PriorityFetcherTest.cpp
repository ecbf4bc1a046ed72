#include <gtest/gtest.h>

#include <algorithm>
#include <tuple>
#include <vector>

#include "vecta/CacheLayer.hpp"

namespace {

using Fetcher = vecta::MapFetcher;

struct Handed {
    int x, y, zoom;
    bool operator==(const Handed&) const = default;
    bool operator<(const Handed& other) const { return std::tie(zoom, y, x) < std::tie(other.zoom, other.y, other.x); }
};

std::vector<Handed> drain(Fetcher& fetcher)
{
    std::vector<Handed> handed;
    fetcher.fetch = [&handed](int x, int y, int zoom) { handed.push_back({x, y, zoom}); };
    while (!fetcher.queue.empty()) {
        fetcher.fetchNext();
    }
    fetcher.fetch = nullptr;
    return handed;
}

} // namespace

TEST(PriorityFetcher, BeforeAnyMoveEveryTileCostsZeroAndTheFirstPushedComesFirst)
{
    Fetcher fetcher;
    fetcher.moveTo(10, 20, 14);
    fetcher.moveTo(10, 20, 14); // no motion
    fetcher.request(11, 20, 14);
    fetcher.request(9, 21, 14);
    fetcher.request(10, 20, 15);
    EXPECT_EQ(fetcher.queue.top().priority, 0.0f);
    EXPECT_EQ(drain(fetcher).front(), (Handed{11, 20, 14}));
}

TEST(PriorityFetcher, AfterOneColumnRightTheTileAheadIsCheapestAndTheCornersFollow)
{
    Fetcher fetcher;
    fetcher.moveTo(10, 20, 14);
    fetcher.moveTo(11, 20, 14);
    fetcher.request(12, 19, 14);
    fetcher.request(12, 21, 14);
    fetcher.request(12, 20, 14);
    fetcher.request(10, 20, 14); // behind
    fetcher.request(11, 19, 14); // sideways

    std::vector<float> costs;
    std::vector<Handed> order;
    fetcher.fetch = [&](int x, int y, int zoom) { order.push_back({x, y, zoom}); };
    while (!fetcher.queue.empty()) {
        costs.push_back(fetcher.queue.top().priority);
        fetcher.fetchNext();
    }
    ASSERT_EQ(costs.size(), 5u);
    EXPECT_EQ(order.front(), (Handed{12, 20, 14}));
    // The one-step reciprocal square root puts c at 0.9966 for a tile straight
    // ahead, so the costs sit a little off the ideal 1.4141, 1.4512 and 1.8758.
    EXPECT_NEAR(costs[0], 1.4141, 1e-3);
    EXPECT_NEAR(costs[1], 1.4512, 1e-3);
    EXPECT_NEAR(costs[2], 1.4512, 1e-3);
    EXPECT_NEAR(costs[3], 1.5707, 1e-4);
    EXPECT_NEAR(costs[4], 1.8758, 2e-3);
    EXPECT_EQ(order.back(), (Handed{10, 20, 14}));
}

// A first move from the start tile to a far zoom-16 tile: the squared
// length of such a motion does not fit in 32 bits.
TEST(PriorityFetcher, ALongMoveCostsWhatAShortOneInTheSameDirectionCosts)
{
    Fetcher far(vecta::TileVector{0, 0, 16});
    far.moveTo(60000, 40000, 16);
    far.request(60001, 40000, 16);
    Fetcher near(vecta::TileVector{0, 0, 16});
    near.moveTo(3, 2, 16);
    near.request(4, 2, 16);
    EXPECT_NEAR(far.queue.top().priority, near.queue.top().priority, 2e-3);
}

TEST(PriorityFetcher, ReciprocalSqrtIsTheOneStepApproximation)
{
    EXPECT_NEAR(vecta::approximateReciprocalSqrt(1.0f), 0.998307f, 1e-6f);
    EXPECT_NEAR(vecta::approximateReciprocalSqrt(4.0f), 0.499154f, 1e-6f);
}

TEST(PriorityFetcher, PruneKeepsOnlyWhatTheWindowsHold)
{
    Fetcher fetcher;
    const Handed wanted[] = {{10, 20, 13}, {21, 41, 14}, {42, 82, 15}};
    const Handed unwanted[] = {{11, 20, 13}, {5, 10, 12}, {43, 82, 15}, {84, 164, 16}, {23, 41, 14}};
    for (const Handed& tile : unwanted) {
        fetcher.request(tile.x, tile.y, tile.zoom);
    }
    for (const Handed& tile : wanted) {
        fetcher.request(tile.x, tile.y, tile.zoom);
    }
    fetcher.prune(21, 41, 14, vecta::WindowEdges{1, 3, 1});
    std::vector<Handed> kept = drain(fetcher);
    std::sort(kept.begin(), kept.end());
    EXPECT_EQ(kept, (std::vector<Handed>{{10, 20, 13}, {21, 41, 14}, {42, 82, 15}}));
}

TEST(PriorityFetcher, FetchNextOnAnEmptyQueueCallsNothingAndWithoutFetchDrops)
{
    Fetcher fetcher;
    int calls = 0;
    fetcher.fetch = [&calls](int, int, int) { ++calls; };
    fetcher.fetchNext();
    EXPECT_EQ(calls, 0);

    fetcher.fetch = nullptr;
    fetcher.request(1, 2, 3);
    fetcher.fetchNext();
    EXPECT_TRUE(fetcher.queue.empty());
}
