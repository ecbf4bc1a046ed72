#include <cstdio>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "board_config/BoardConfig.hpp"
#include "framework_tests/FrameworkFixture.hpp"
#include "sim/PngWriter.hpp"
#include "support/AssertionMatcher.hpp"
#include "ui/widgets/Box.hpp"

using fixture::Framework;

TEST_F(Framework, RefreshCountIsTheVSyncsSinceThePreviousFrameAndAtLeastOne)
{
    hal.tick();
    EXPECT_EQ(hal.getLCDRefreshCount(), 1);
    hal.vSync();
    hal.vSync();
    hal.vSync();
    hal.tick();
    EXPECT_EQ(hal.getLCDRefreshCount(), 3);
    hal.tick();
    EXPECT_EQ(hal.getLCDRefreshCount(), 1);
}

TEST_F(Framework, BackBufferCatchesUpWithWhatTheShownBufferGotLastFrame)
{
    ui::Screen screen;
    ui::Box background(board::panelWidth, board::panelHeight, 0xFF000000);
    ui::Box left(10, 10, 0xFFFF0000);
    ui::Box right(10, 10, 0xFF0000FF);
    right.setXY(700, 0);
    left.setVisible(false);
    right.setVisible(false);
    screen.add(background);
    screen.add(left);
    screen.add(right);
    app.show(screen);
    frame();

    left.setVisible(true);
    left.invalidate();
    frame();
    right.setVisible(true);
    right.invalidate();
    hal.tick();
    // Not shown before the refresh; both changes in the buffer that will be.
    EXPECT_EQ(shownPixel(705, 5), 0x0000);
    EXPECT_EQ(backPixel(5, 5), 0xF800);
    EXPECT_EQ(backPixel(705, 5), 0x001F);
    hal.vSync();
    EXPECT_EQ(shownPixel(5, 5), 0xF800);
    EXPECT_EQ(shownPixel(705, 5), 0x001F);
}

TEST_F(Framework, FrameIsNotSwappedWhileBeingDrawn)
{
    ui::Screen screen;
    ui::Box box(board::panelWidth, board::panelHeight, 0xFFFFFFFF);
    screen.add(box);
    app.show(screen);
    const std::uint16_t* shown = hal.getTFTFrameBuffer();
    hal.beginFrame();
    hal.vSync();
    EXPECT_EQ(hal.getTFTFrameBuffer(), shown);
    hal.endFrame();
}

namespace {

// Redraws itself every frame, and the display refreshes while it does: the
// frames take longer than one refresh.
class SlowScreen : public ui::Screen {
public:
    SlowScreen(ui::HAL& display, ui::Box& content) : hal(display), box(content) { add(box); }
    void handleTickEvent() override
    {
        box.invalidate();
        hal.vSync();
    }

private:
    ui::HAL& hal;
    ui::Box& box;
};

} // namespace

TEST_F(Framework, FrameFinishedAfterTheRefreshIsShownWhenTheNextFrameStarts)
{
    ui::Box box(board::panelWidth, board::panelHeight, 0xFFFF0000);
    SlowScreen screen(hal, box);
    app.show(screen);
    const std::uint16_t* before = hal.getTFTFrameBuffer();
    hal.tick();
    EXPECT_EQ(hal.getTFTFrameBuffer(), before);
    hal.tick();
    EXPECT_NE(hal.getTFTFrameBuffer(), before);
    EXPECT_EQ(shownPixel(0, 0), 0xF800);
    EXPECT_EQ(shownPixel(799, 479), 0xF800);
}

TEST_F(Framework, FrameBufferRoundTripsThroughPng)
{
    ui::Screen screen;
    ui::Box background(board::panelWidth, board::panelHeight, 0xFF204060);
    ui::Box marker(3, 2, 0xFFFFFFFF);
    marker.setXY(799 - 2, 479 - 1);
    screen.add(background);
    screen.add(marker);
    app.show(screen);
    frame();
    const std::string path = ::testing::TempDir() + "framebuffer.png";
    ASSERT_EQ(sim::writeRgb565Png(path, hal.getTFTFrameBuffer(), board::panelWidth, board::panelHeight,
                                  board::panelWidth * 2),
              "");
    std::vector<std::uint16_t> loaded(board::panelPixels);
    ASSERT_EQ(sim::readPngAsRgb565(path, loaded.data(), board::panelWidth, board::panelHeight), "");
    EXPECT_EQ(loaded[0], hal.getTFTFrameBuffer()[0]);
    EXPECT_EQ(loaded.back(), 0xFFFF);
    EXPECT_NE(sim::writeRgb565Png("/nonexistent-dir/x.png", loaded.data(), board::panelWidth, board::panelHeight,
                                  board::panelWidth * 2),
              "");
    std::remove(path.c_str());
}

TEST(FrameBufferDeathTest, FrameBufferMustExistAndCoverTheDisplay)
{
    ui::LCDGPU lcd;
    fixture::ScriptedTouch touch;
    EXPECT_ASSERTION(ui::HALGPU(lcd, touch, board::panelWidth, board::panelHeight - 1),
                     "width >= DISPLAY_WIDTH && height >= DISPLAY_HEIGHT && \"Framebuffer cannot be smaller than "
                     "display\"");
    ui::HALGPU hal(lcd, touch, board::panelWidth, board::panelHeight);
    EXPECT_ASSERTION(hal.setFrameBufferStartAddresses(nullptr, frameBuf, nullptr),
                     "frameBuffer != nullptr && \"A framebuffer address must be set\"");
}

namespace {

// Counts the bytes the back buffer's catch-up copies.
class CopyCountingHal : public ui::HALGPU {
public:
    using HALGPU::HALGPU;

    void blockCopy(void* destination, const void* source, std::uint32_t bytes) override
    {
        copied += bytes;
        HALGPU::blockCopy(destination, source, bytes);
    }

    std::uint32_t copied = 0;
};

} // namespace

TEST(FrameBufferCatchUp, WhatTheFrameRedrawsWholeIsNotCopiedFirst)
{
    ui::LCDGPU lcd;
    fixture::ScriptedTouch touch;
    CopyCountingHal hal(lcd, touch, board::panelWidth, board::panelHeight);
    gpu_sys_init();
    hal.setFrameBufferStartAddresses(frameBuf, frameBuf + frameBufferPixels, nullptr);
    hal.initialize();
    fixture::TestApplication app;
    ui::Screen screen;
    ui::Box background(board::panelWidth, board::panelHeight, 0xFF000000);
    ui::Box marker(10, 10, 0xFFFF0000);
    screen.add(background);
    screen.add(marker);
    const auto frame = [&] {
        hal.tick();
        hal.vSync();
    };
    app.show(screen);
    frame();

    // The back buffer misses the whole first frame but the marker's area,
    // which the opaque background makes this frame draw over entirely.
    hal.copied = 0;
    marker.invalidate();
    frame();
    EXPECT_EQ(hal.copied, (800u * 480u - 100u) * 2u);
    // It then misses only the marker's area: nothing to copy.
    hal.copied = 0;
    marker.setColor(0xFF0000FF);
    marker.invalidate();
    frame();
    EXPECT_EQ(hal.copied, 0u);
    EXPECT_EQ(hal.getTFTFrameBuffer()[0], 0x001F);

    // Translucent and without the background, the marker no longer covers
    // its area.
    screen.remove(background);
    marker.setColor(0x800000FF);
    marker.invalidate();
    frame();
    hal.copied = 0;
    marker.invalidate();
    frame();
    EXPECT_EQ(hal.copied, 100u * 2u);
}
