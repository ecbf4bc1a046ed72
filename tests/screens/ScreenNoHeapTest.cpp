#include <gtest/gtest.h>

#include "screens/FrameDriver.hpp"
#include "support/AllocationCounter.hpp"

// Once a map screen runs, frames allocate nothing: not while the pizza
// courier moves the map and tiles stream in, not while the dogs roam, and
// not when one map screen replaces the other.
TEST(ScreenNoHeap, SteadyFramesOfBothMapScreensAllocateNothing)
{
    FrameDriver driver;
    driver.resetModel();
    driver.heap.app.gotoPizzaScreenNoTransition();
    driver.frames(2);
    driver.tap(400, 419); // order: the map now follows the courier
    driver.frames(5);
    EXPECT_EQ(allocationsOf([&driver] { driver.frames(300); }), 0);

    // Switching builds the screens in their slots, callbacks included.
    EXPECT_EQ(allocationsOf([&driver] {
                  driver.heap.app.gotoDogTrackScreenNoTransition();
                  driver.frames(5);
              }),
              0);
    EXPECT_EQ(allocationsOf([&driver] { driver.frames(300); }), 0);
}
