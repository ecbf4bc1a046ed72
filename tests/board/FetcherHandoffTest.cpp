// The GUI/fetcher hand-off in wall-clock time, with a second task at the
// GUI's priority beside them as on the board. Built with the thread
// sanitizer by the tsan preset.

#include <gtest/gtest.h>

#include <functional>
#include <vector>

#include "KernelRun.hpp"
#include "TestCollection.hpp"

using namespace cachetest;

TEST(FetcherHandoff, EveryResultMatchesItsRequestAcrossRealThreads)
{
    const std::vector<std::uint32_t> sizes{2620, 524, 1310, 5240};
    CollectionImage image(15, 500, 300, sizes);

    std::function<void()> watchdog = [] {
        for (;;) {
            rtos::delay(1);
        }
    };
    createBodyTask(watchdog, rtos::Priority::Normal, "defaultTask");

    int mismatches = 0;
    int busyWhileOutstanding = 0;
    int served = 0;
    const auto stop = runWithFetcher(sim::TimeMode::WallClock, [&] {
        rtos::delay(1);
        for (int round = 0; round < 24; ++round) {
            TileFetcher::SetBitrate(round % 3 == 0 ? TileFetcher::Bitrate::Kbps262 : TileFetcher::Bitrate::Instant);
            const int x = 499 + round % 6; // 499 and 504 are outside the collection
            while (!TileFetcher::IsIdle()) {
                rtos::delay(1);
            }
            TileFetcher::Submit(x, 300, 15);
            TileFetcher::Result result{};
            while (!(result = TileFetcher::GetResult()).valid) {
                busyWhileOutstanding += TileFetcher::IsIdle() ? 0 : 1;
                rtos::delay(1);
            }
            const bool stored = x >= 500 && x < 504;
            const auto index = static_cast<std::uint32_t>(x - 500);
            const bool matches = result.x == x && result.y == 300 && result.zoom == 15 &&
                                 result.size == (stored ? sizes[index] : 0u) &&
                                 result.data == (stored ? image.payload(index) : nullptr);
            mismatches += matches ? 0 : 1;
            ++served;
        }
    });
    EXPECT_EQ(stop, sim::KernelStop::Requested);
    EXPECT_EQ(served, 24);
    EXPECT_EQ(mismatches, 0);
    EXPECT_GT(busyWhileOutstanding, 0);
}
