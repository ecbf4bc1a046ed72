#include <gtest/gtest.h>

#include "board_config/BoardConfig.hpp"
#include "framework_tests/FrameworkFixture.hpp"
#include "ui/widgets/Button.hpp"

using fixture::Framework;
using fixture::ProbeWidget;

namespace {

class Counter {
public:
    void clicked(const ui::AbstractButton&) { ++count; }
    int count = 0;
};

class ButtonScreen : public ui::Screen {
public:
    ButtonScreen() : callback(&counter, &Counter::clicked)
    {
        button.setPosition(100, 100, 50, 50);
        button.setAction(callback);
        add(button);
    }
    Counter counter;
    ui::Callback<Counter, const ui::AbstractButton&> callback;
    ui::Button button;
};

} // namespace

TEST_F(Framework, ButtonFiresOnceOnPressAndRelease)
{
    ButtonScreen screen;
    app.show(screen);
    touch.samples = {{true, 110, 110}, {true, 112, 111}, {false, 0, 0}, {false, 0, 0}};
    for (int i = 0; i < 4; ++i) {
        frame();
    }
    EXPECT_EQ(screen.counter.count, 1);
    EXPECT_FALSE(screen.button.getPressedState());
}

TEST_F(Framework, PressDraggedOffTheButtonCancelsWithoutAction)
{
    ButtonScreen screen;
    app.show(screen);
    touch.samples = {{true, 110, 110}, {true, 160, 110}, {true, 120, 120}, {false, 0, 0}};
    frame();
    EXPECT_TRUE(screen.button.getPressedState());
    for (int i = 0; i < 3; ++i) {
        frame();
    }
    EXPECT_EQ(screen.counter.count, 0);
    EXPECT_FALSE(screen.button.getPressedState());
}

TEST_F(Framework, PressGoesToLastAddedTouchableInItsOwnCoordinatesAndReleaseFollowsIt)
{
    std::vector<std::string> log;
    ui::Screen screen;
    ProbeWidget lower("lower", log);
    ProbeWidget upper("upper", log);
    ProbeWidget untouchable("untouchable", log);
    lower.setPosition(0, 0, 200, 200);
    upper.setPosition(50, 50, 100, 100);
    untouchable.setPosition(0, 0, board::panelWidth, board::panelHeight);
    lower.setTouchable(true);
    upper.setTouchable(true);
    screen.add(lower);
    screen.add(upper);
    screen.add(untouchable);
    app.show(screen);
    frame();
    log.clear();

    screen.handleClickEvent(ui::ClickEvent(ui::ClickEvent::PRESSED, 60, 70));
    screen.handleClickEvent(ui::ClickEvent(ui::ClickEvent::RELEASED, 10, 10));
    screen.handleClickEvent(ui::ClickEvent(ui::ClickEvent::PRESSED, 10, 10));
    EXPECT_EQ(log, (std::vector<std::string>{"upper:click0@10,20", "upper:click1@-40,-40", "lower:click0@10,10"}));
}
