#include <gtest/gtest.h>

#include <vector>

#include "KernelRun.hpp"
#include "TestCollection.hpp"
#include "support/AssertionMatcher.hpp"

using namespace cachetest;
using TileFetcher::Bitrate;

namespace {

// Below the fetcher, so that a poll at the fetcher's wake-up tick sees what
// the fetcher did at that tick.
constexpr auto probePriority = static_cast<rtos::Priority>(4);

} // namespace

// Idle and valid flags in order: before the fetcher task ran, after it set
// up, right after a submit, long after the task finished, after collecting.
TEST(TileFetcher, StaysBusyFromSubmitUntilTheResultIsCollected)
{
    CollectionImage image(14, 100, 200, {500, 900});
    TileFetcher::SetBitrate(Bitrate::Instant);
    std::vector<bool> idle;
    std::vector<bool> valid;
    TileFetcher::Result result{};
    runWithFetcher(sim::TimeMode::Virtual, [&] {
        idle.push_back(TileFetcher::IsIdle()); // the semaphores do not exist yet
        valid.push_back(TileFetcher::GetResult().valid);
        rtos::delay(1);
        idle.push_back(TileFetcher::IsIdle());
        valid.push_back(TileFetcher::GetResult().valid);
        TileFetcher::Submit(101, 200, 14);
        idle.push_back(TileFetcher::IsIdle());
        rtos::delay(50);
        idle.push_back(TileFetcher::IsIdle());
        result = TileFetcher::GetResult();
        idle.push_back(TileFetcher::IsIdle());
        valid.push_back(TileFetcher::GetResult().valid);
    });
    EXPECT_EQ(idle, (std::vector<bool>{false, true, false, false, true}));
    EXPECT_EQ(valid, (std::vector<bool>{false, false, false}));
    ASSERT_TRUE(result.valid);
    EXPECT_EQ(result.x, 101);
    EXPECT_EQ(result.y, 200);
    EXPECT_EQ(result.zoom, 14);
    EXPECT_EQ(result.size, 900u);
    EXPECT_EQ(result.data, image.payload(1));
}

TEST(TileFetcher, ATileOutsideTheCollectionComesBackValidAndEmpty)
{
    CollectionImage image(6, 33, 19, {700});
    TileFetcher::SetBitrate(Bitrate::Kbps44);
    std::vector<TileFetcher::Result> results;
    std::vector<std::uint32_t> times;
    runWithFetcher(
        sim::TimeMode::Virtual,
        [&] {
            const int requests[][3] = {{33, 19, 6}, {34, 19, 6}, {33, 19, 7}, {33, 19, 6 + 256}, {-1, 19, 6}};
            for (const auto& request : requests) {
                TileFetcher::Submit(request[0], request[1], request[2]);
                TileFetcher::Result result{};
                while (!(result = TileFetcher::GetResult()).valid) {
                    rtos::delay(1);
                }
                results.push_back(result);
                times.push_back(rtos::tickCount());
            }
        },
        probePriority);
    ASSERT_EQ(results.size(), 5u);
    EXPECT_EQ(results[0].size, 700u);
    EXPECT_EQ(results[0].data, image.payload(0));
    for (std::size_t i = 1; i < results.size(); ++i) {
        EXPECT_EQ(results[i].size, 0u) << i;
        EXPECT_EQ(results[i].data, nullptr) << i;
    }
    EXPECT_EQ(results[3].zoom, 262) << "a zoom beyond one byte must not wrap onto level 6";
    EXPECT_EQ(times, (std::vector<std::uint32_t>{15, 15, 15, 15, 15})) << "700 / 44 ms once, no delay for absent tiles";
}

TEST(TileFetcher, AtFortyFourKbPerSecondA44000ByteTileTakesExactlyOneSecond)
{
    CollectionImage image(14, 100, 200, {44000});
    TileFetcher::SetBitrate(Bitrate::Kbps44);
    std::vector<bool> valid;
    std::uint32_t submittedAt = 0;
    runWithFetcher(
        sim::TimeMode::Virtual,
        [&] {
            rtos::delay(3);
            submittedAt = rtos::tickCount();
            TileFetcher::Submit(100, 200, 14);
            rtos::delay(10);
            TileFetcher::SetBitrate(Bitrate::Kbps262); // during the delay: no effect on it
            rtos::delay(989);
            valid.push_back(TileFetcher::GetResult().valid); // 999 ms
            rtos::delay(1);
            valid.push_back(TileFetcher::GetResult().valid); // 1000 ms

            TileFetcher::Submit(100, 200, 14); // now at 262: 44000 / 262 = 167 ms
            rtos::delay(166);
            valid.push_back(TileFetcher::GetResult().valid);
            rtos::delay(1);
            valid.push_back(TileFetcher::GetResult().valid);
        },
        probePriority);
    EXPECT_EQ(submittedAt, 3u);
    EXPECT_EQ(valid, (std::vector<bool>{false, true, false, true}));
}

TEST(TileFetcherDeathTest, ASecondSubmitBeforeTheResultIsCollectedStops)
{
    CollectionImage image(14, 100, 200, {500});
    EXPECT_ASSERTION(runWithFetcher(sim::TimeMode::Virtual,
                                    [] {
                                        rtos::delay(1);
                                        TileFetcher::Submit(100, 200, 14);
                                        rtos::delay(1);
                                        TileFetcher::Submit(100, 200, 14);
                                    }),
                     "IsIdle() && \"a request is still outstanding\"");
}
