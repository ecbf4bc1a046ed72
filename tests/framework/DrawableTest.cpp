#include <initializer_list>

#include <gtest/gtest.h>

#include "board_config/BoardConfig.hpp"
#include "framework_tests/FrameworkFixture.hpp"
#include "support/AssertionMatcher.hpp"
#include "ui/Color.hpp"
#include "ui/Container.hpp"
#include "ui/widgets/Box.hpp"

using fixture::Framework;
using fixture::ProbeWidget;

TEST(DrawableDeathTest, CenterXWithoutParentAsserts)
{
    ui::Box box;
    box.setWidth(10);
    EXPECT_ASSERTION(box.centerX(), "parent && \"Cannot center a Drawable with no parent\"");
}

TEST(Drawable, CenterUsesParentSizeWithIntegerDivision)
{
    ui::Container parent;
    parent.setPosition(0, 0, 101, 50);
    ui::Box box;
    box.setPosition(0, 0, 10, 10);
    parent.add(box);
    box.centerX();
    box.centerY();
    EXPECT_EQ(box.getX(), 45);
    EXPECT_EQ(box.getY(), 20);
}

TEST(Drawable, HitTestIsHalfOpen)
{
    const ui::Rect r(10, 20, 5, 5);
    EXPECT_TRUE(r.intersect(10, 20));
    EXPECT_TRUE(r.intersect(14, 24));
    EXPECT_FALSE(r.intersect(15, 24));
    EXPECT_FALSE(r.intersect(14, 25));
}

TEST_F(Framework, ChildrenAreDrawnInInsertionOrderAndOnlyWhereInvalidated)
{
    std::vector<std::string> log;
    ui::Screen screen;
    screen.useSMOCDrawing(false);
    ProbeWidget first("first", log);
    ProbeWidget second("second", log);
    ProbeWidget third("third", log);
    ProbeWidget elsewhere("elsewhere", log);
    first.setPosition(0, 0, 100, 100);
    second.setPosition(50, 50, 100, 100);
    third.setPosition(0, 0, board::panelWidth, board::panelHeight);
    elsewhere.setPosition(700, 400, 50, 50);
    screen.add(first);
    screen.add(second);
    screen.add(third);
    screen.add(elsewhere);
    app.show(screen);
    frame();
    EXPECT_EQ(log, (std::vector<std::string>{"first", "second", "third", "elsewhere"}));

    log.clear();
    second.invalidate();
    frame();
    EXPECT_EQ(log, (std::vector<std::string>{"first", "second", "third"}));

    log.clear();
    frame();
    EXPECT_TRUE(log.empty());
}

TEST_F(Framework, DrawablesCoveredByOpaqueOnesInFrontAreSkippedWhateverTheDrawingMode)
{
    std::vector<std::string> log;
    ui::Screen screen;
    screen.useSMOCDrawing(false);
    ProbeWidget hidden("hidden", log);
    hidden.setPosition(0, 0, board::panelWidth, board::panelHeight);
    ui::Box cover(board::panelWidth, board::panelHeight, 0xFF102030);
    ProbeWidget seen("seen", log);
    seen.setPosition(300, 300, 20, 20);
    ui::Box translucent(40, 40, 0x80FFFFFF);
    translucent.setXY(290, 290);
    ProbeWidget partly("partly", log);
    partly.setPosition(700, 0, 100, 40);
    ui::Box shade(100, 40, 0xFF000000);
    shade.setXY(650, 0);
    for (ui::Drawable* d :
         std::initializer_list<ui::Drawable*>{&hidden, &cover, &seen, &translucent, &partly, &shade}) {
        screen.add(*d);
    }
    app.show(screen);
    const std::uint32_t skippedBefore = ui::Container::coveredSkips();
    frame();
    EXPECT_EQ(log, (std::vector<std::string>{"seen", "partly"}));
    EXPECT_EQ(ui::Container::coveredSkips() - skippedBefore, 1u);

    // Covered or not is decided for the area redrawn: under the shade,
    // `partly` and the cover are hidden as well.
    log.clear();
    ui::Rect underShade(0, 0, 50, 40);
    partly.invalidateRect(underShade);
    frame();
    EXPECT_TRUE(log.empty());
    EXPECT_EQ(ui::Container::coveredSkips() - skippedBefore, 4u);
    log.clear();
    partly.invalidate();
    frame();
    EXPECT_EQ(log, (std::vector<std::string>{"partly"}));
}

TEST_F(Framework, MoveInvalidatesOldAndNewArea)
{
    ui::Screen screen;
    ui::Box background(board::panelWidth, board::panelHeight, 0xFF000000);
    ui::Box box(10, 10, 0xFFFFFFFF);
    screen.add(background);
    screen.add(box);
    app.show(screen);
    frame();
    frame();
    ASSERT_EQ(shownPixel(5, 5), 0xFFFF);

    box.moveTo(100, 100);
    frame();
    EXPECT_EQ(shownPixel(5, 5), 0x0000);
    EXPECT_EQ(shownPixel(105, 105), 0xFFFF);
}

TEST_F(Framework, HidingAndInvalidatingRedrawsWhatWasUnderneath)
{
    ui::Screen screen;
    ui::Box background(board::panelWidth, board::panelHeight, 0xFF000000);
    ui::Box overlay(100, 100, 0xFFFFFFFF);
    screen.add(background);
    screen.add(overlay);
    app.show(screen);
    frame();
    frame();
    ASSERT_EQ(shownPixel(50, 50), 0xFFFF);

    overlay.setVisible(false);
    overlay.invalidate();
    frame();
    EXPECT_EQ(shownPixel(50, 50), 0x0000);
}
