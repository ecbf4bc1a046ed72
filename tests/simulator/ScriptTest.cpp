// The script as the board plays it: a drag's finger states, expanded only
// as they are played.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "simulator/Script.hpp"

namespace {

std::vector<simulator::ScriptEvent> playAll(const simulator::ParsedScript& script)
{
    simulator::ScriptPlayer player(script.events);
    std::vector<simulator::ScriptEvent> steps;
    while (const auto step = player.next(~std::uint64_t{0})) {
        steps.push_back(*step);
    }
    return steps;
}

} // namespace

TEST(Script, ADragPressesRestsMovesEveryTenMillisecondsRestsAndReleases)
{
    const auto script = simulator::parseScript("100 drag 10 20 40 80 30\n300 key M\n", "drag");
    ASSERT_EQ(script.error, "");
    const auto steps = playAll(script);
    ASSERT_EQ(steps.size(), 6u);
    const std::uint64_t times[] = {100, 160, 170, 180, 230, 300};
    const int xs[] = {10, 20, 30, 40};
    const int ys[] = {20, 40, 60, 80};
    for (std::size_t i = 0; i < steps.size(); ++i) {
        EXPECT_EQ(steps[i].atMs, times[i]) << i;
    }
    for (std::size_t i = 0; i < 4; ++i) {
        EXPECT_EQ(steps[i].fingerCount, 1);
        EXPECT_EQ(steps[i].fingers[0].x, xs[i]) << i;
        EXPECT_EQ(steps[i].fingers[0].y, ys[i]) << i;
    }
    EXPECT_EQ(steps[4].fingerCount, 0) << "the release";
    EXPECT_EQ(steps[5].kind, simulator::ScriptEvent::Kind::Key);
}

TEST(Script, StepsComeOnlyWhenTheirTimeHasCome)
{
    const auto script = simulator::parseScript("0 drag 0 0 100 0 1000\n", "drag");
    simulator::ScriptPlayer player(script.events);
    int played = 0;
    while (player.next(100)) {
        ++played;
    }
    EXPECT_EQ(played, 6) << "the press and the moves at 60 to 100 ms";
    ASSERT_TRUE(player.next(110));
    EXPECT_FALSE(player.next(110));
}

TEST(Script, LongDragsCostNothingUntilPlayed)
{
    std::string text;
    for (int i = 0; i < 143; ++i) {
        text += std::to_string(i * 600100) + " drag 0 0 799 479 600000\n";
    }
    const auto script = simulator::parseScript(text, "drags");
    ASSERT_EQ(script.error, "");
    EXPECT_EQ(script.events.size(), 143u);
    simulator::ScriptPlayer player(script.events);
    std::uint64_t played = 0;
    simulator::ScriptEvent last;
    while (const auto step = player.next(~std::uint64_t{0})) {
        last = *step;
        ++played;
    }
    EXPECT_EQ(played, 143u * 60002u);
    EXPECT_EQ(last.atMs, 142u * 600100u + 600100u) << "the last release";
}

TEST(Script, AByteOrderMarkIsNamed)
{
    const auto script = simulator::parseScript("\xEF\xBB\xBF"
                                               "100 release\n",
                                               "bom.txt");
    EXPECT_EQ(script.error, "bom.txt:1: the file starts with a UTF-8 byte-order mark: save it without one");
}
