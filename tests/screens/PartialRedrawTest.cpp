// The screens redraw only what changed. Each frame must still show what a
// redraw of the whole screen in the same state shows, and a frame in which
// nothing changed must draw nothing.

#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "board_config/BoardConfig.hpp"
#include "screens/FrameDriver.hpp"
#include "screens/ScreenTree.hpp"
#include "ui/RectList.hpp"
#include "ui/widgets/TextArea.hpp"

namespace {

class PartialRedraw : public ::testing::Test {
protected:
    PartialRedraw() { driver.resetModel(); }

    // Frames, each checked against the whole screen drawn again in its
    // state; returns the frames that differed.
    int framesUnlikeAWholeRedraw(int count)
    {
        int unlike = 0;
        for (int i = 0; i < count; ++i) {
            driver.frame();
            unlike += differsFromWholeRedraw() ? 1 : 0;
        }
        return unlike;
    }

    // Draws the whole screen into the buffer not shown and compares.
    bool differsFromWholeRedraw()
    {
        ui::Application& app = driver.heap.app;
        app.invalidate();
        ui::RectList<8> drawn;
        app.drawInvalidatedAreas(drawn);
        const std::uint16_t* shown = driver.hal.getTFTFrameBuffer();
        const std::uint16_t* whole = driver.hal.getClientFrameBuffer();
        return !std::equal(shown, shown + board::panelPixels, whole);
    }

    void drag(std::int32_t x0, std::int32_t y0, std::int32_t x1, std::int32_t y1, int steps)
    {
        for (int i = 0; i <= steps; ++i) {
            driver.touch.samples.push_back({true, x0 + (x1 - x0) * i / steps, y0 + (y1 - y0) * i / steps});
        }
        driver.touch.samples.push_back({false, 0, 0});
    }

    FrameDriver driver;
};

// The courier and the route move on, the ring grows and the time counts
// down while the map stands still: all drawn in parts.
TEST_F(PartialRedraw, APizzaDeliveryFollowedOffTheMapLooksRedrawnWhole)
{
    driver.heap.app.gotoPizzaScreenNoTransition();
    driver.frames(2);
    driver.tap(400, 419); // order
    drag(300, 200, 380, 150, 10);
    EXPECT_EQ(framesUnlikeAWholeRedraw(130), 0);
    EXPECT_GE(driver.heap.model.getPizzaModel().getCurrentStep(), 4u);
}

TEST_F(PartialRedraw, DogsLeavingTrailsLookRedrawnWholeAndStillFramesDrawNothing)
{
    driver.heap.app.gotoDogTrackScreenNoTransition();
    driver.frames(60);
    // The frame rate read-out, which changes now and then.
    const ui::TextAreaWithOneWildcard* rate =
        drawablesOf<ui::TextAreaWithOneWildcard>(*driver.heap.app.getCurrentScreen()).at(0);
    const auto reading = [&] {
        std::vector<ui::UnicodeChar> text;
        for (const ui::UnicodeChar* c = rate->getWildcard1(); *c != 0; ++c) {
            text.push_back(*c);
        }
        return text;
    };
    int stillFrames = 0;
    for (int i = 0; i < 90; ++i) {
        const std::uint32_t stepsBefore = driver.heap.model.getDogTrackModel().getSteps();
        const auto readingBefore = reading();
        const std::uint16_t* shownBefore = driver.hal.getTFTFrameBuffer();
        driver.frame();
        if (driver.heap.model.getDogTrackModel().getSteps() == stepsBefore && reading() == readingBefore) {
            ++stillFrames;
            EXPECT_EQ(driver.hal.getDirtyPixels(), 0u) << "frame " << i;
            EXPECT_EQ(driver.hal.getTFTFrameBuffer(), shownBefore) << "frame " << i;
        } else {
            EXPECT_GT(driver.hal.getDirtyPixels(), 0u);
            EXPECT_LT(driver.hal.getDirtyPixels(), 800u * 480u);
            EXPECT_FALSE(differsFromWholeRedraw()) << "frame " << i;
        }
    }
    EXPECT_GT(stillFrames, 80);
}

} // namespace
