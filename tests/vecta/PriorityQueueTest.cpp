#include <gtest/gtest.h>

#include <vector>

#include "board_config/BoardConfig.hpp"
#include "support/AssertionMatcher.hpp"
#include "vecta/CacheLayer.hpp"

namespace {

using IntQueue = vecta::StaticPriorityQueue<int, 16>;

std::vector<int> drain(IntQueue& queue)
{
    std::vector<int> out;
    while (!queue.empty()) {
        out.push_back(queue.top());
        queue.pop();
    }
    return out;
}

} // namespace

TEST(StaticPriorityQueue, RemoveAtKeepsTheHeapOrdered)
{
    IntQueue queue;
    for (const int value : {0, 5, 1, 6, 7, 2, 3}) {
        queue.push(value);
    }
    queue.remove_at(3); // the 6; the last element (3) moves up past its new parent
    queue.remove_at(0);
    EXPECT_EQ(drain(queue), (std::vector<int>{1, 2, 3, 5, 7}));
}

// The heap is [0, 5, 1, 6, 7, 2, 3]: removing the 6 moves the 3 up to index
// 1, behind the walk. It must be removed all the same.
TEST(StaticPriorityQueue, RemoveIfAlsoRemovesAnElementThatSiftsUpBehindTheWalk)
{
    IntQueue queue;
    for (const int value : {0, 5, 1, 6, 7, 2, 3}) {
        queue.push(value);
    }
    queue.remove_if([](const int& value) { return value == 6 || value == 3; });
    EXPECT_EQ(drain(queue), (std::vector<int>{0, 1, 2, 5, 7}));
}

TEST(StaticPriorityQueueDeathTest, RemoveAtOutsideTheCountAsserts)
{
    IntQueue queue;
    queue.push(1);
    EXPECT_ASSERTION(queue.remove_at(1), "false");
}

TEST(StaticPriorityQueueDeathTest, ARequestBeyondTheQueueLengthStopsWithTheFullQueueAssertion)
{
    constexpr int length = board::requestQueueLength;
    vecta::MapFetcher fetcher;
    for (int i = 0; i < length; ++i) {
        fetcher.request(i, 0, 10);
    }
    EXPECT_EQ(fetcher.queue.size(), board::requestQueueLength);
    EXPECT_DEATH(fetcher.request(length, 0, 10),
                 assertionPattern("false") + "void vecta::StaticPriorityQueue<.*>::ensureNotFull\\(\\) const");
}
