// The script as the board plays it: a drag's finger states, expanded only
// as they are played; the input recorded as a script, in a file or in
// memory.

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "ProgramRun.hpp"
#include "simulator/InputMemory.hpp"
#include "simulator/InputRecorder.hpp"
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

// Refused with the line's number and nothing kept, whatever the number: the
// page's build has no exceptions, so no conversion may throw.
TEST(Script, BadValuesAreRefusedWithTheirLine)
{
    const std::string timeFirst = "a step starts with its board time in milliseconds";
    const std::pair<std::string, std::string> cases[] = {
        {"hello world\n", "bad:1: " + timeFirst},
        {"0 release\n0 press abc 100\n",
         "bad:2: press needs X Y: coordinates must be whole panel pixels, x 0..799 and y 0..479"},
        {"0 drag 1 1 2 2 abc\n", "bad:1: drag needs X1 Y1 X2 Y2 MS (MS at least 10): coordinates must be whole panel "
                                 "pixels, x 0..799 and y 0..479"},
        {"# note\n\n9223372036854775808 release\n", "bad:3: " + timeFirst},
        {"99999999999999999999999 release\n", "bad:1: " + timeFirst},
        {"+5 release\n", "bad:1: " + timeFirst},
        {"0 press 1e2 5\n", "bad:1: press needs X Y: coordinates must be whole panel pixels, x 0..799 and y 0..479"},
    };
    for (const auto& [text, error] : cases) {
        const auto script = simulator::parseScript(text, "bad");
        EXPECT_EQ(script.error, error) << text;
        EXPECT_TRUE(script.events.empty()) << text;
    }
    // The page hands its text over whole, so the size is checked here too.
    std::string large(simulator::maxScriptBytes + 1, '\n');
    EXPECT_EQ(simulator::parseScript(large, "large").error, "large: larger than the 1048576 bytes a script may hold");
    large.pop_back();
    EXPECT_EQ(simulator::parseScript(large, "large").error, "");
}

TEST(Script, StepsKeepTheirLine)
{
    const auto script = simulator::parseScript("# start\n10 press 1 2\n\n20 key Q\n", "lines");
    ASSERT_EQ(script.events.size(), 2u);
    EXPECT_EQ(script.events[0].line, 2);
    EXPECT_EQ(script.events[1].line, 4);
}

TEST(Script, EveryWrittenStepReadsBackAsItself)
{
    using Kind = simulator::ScriptEvent::Kind;
    std::vector<simulator::ScriptEvent> events(7);
    const Kind kinds[] = {Kind::Fingers, Kind::Fingers,    Kind::Fingers,        Kind::Drag,
                          Kind::Key,     Kind::Screenshot, Kind::WatchdogRefresh};
    for (std::size_t i = 0; i < events.size(); ++i) {
        events[i].atMs = 200 * i + 7;
        events[i].kind = kinds[i];
    }
    events[0].fingerCount = 1;
    events[0].fingers[0] = {799, 3};
    events[1].fingerCount = 2;
    events[1].fingers[0] = {12, 479};
    events[1].fingers[1] = {0, 250};
    events[3].fingers[0] = {1, 2};
    events[3].fingers[1] = {640, 5};
    events[3].fingerCount = 1; // as the parser keeps a drag
    events[3].durationMs = 40;
    events[4].key = 'M';
    events[5].file = "shot.png";
    events[6].enable = false;

    std::string text;
    bool fingerDown = false;
    for (const auto& event : events) {
        text += simulator::formatStep(event, fingerDown) + "\n";
        fingerDown = event.kind == Kind::Fingers && event.fingerCount > 0;
    }
    const auto read = simulator::parseScript(text, "written");
    ASSERT_EQ(read.error, "") << text;
    ASSERT_EQ(read.events.size(), events.size()) << text;
    for (std::size_t i = 0; i < events.size(); ++i) {
        const auto& a = events[i];
        const auto& b = read.events[i];
        EXPECT_EQ(b.atMs, a.atMs) << text;
        EXPECT_EQ(b.kind, a.kind) << text;
        EXPECT_EQ(b.fingerCount, a.fingerCount) << text;
        for (int f = 0; f < 2; ++f) {
            EXPECT_EQ(b.fingers[f].x, a.fingers[f].x) << text;
            EXPECT_EQ(b.fingers[f].y, a.fingers[f].y) << text;
        }
        EXPECT_EQ(b.durationMs, a.durationMs) << text;
        EXPECT_EQ(b.key, a.key) << text;
        EXPECT_EQ(b.file, a.file) << text;
        EXPECT_EQ(b.enable, a.enable) << text;
    }
}

// The page keeps in memory the lines mapboard --record writes to a file.
TEST(InputRecording, MemoryHoldsTheLinesOfAFile)
{
    const auto path = boardtest::scratchDir("input-memory") / "input.script";
    simulator::InputRecorder file;
    ASSERT_EQ(file.open(path.string()), "");
    simulator::InputMemory memory;
    const sim::board::Finger pair[2] = {{100, 200}, {300, 400}};
    for (simulator::InputLines* lines : std::vector<simulator::InputLines*>{&file, &memory}) {
        EXPECT_TRUE(lines->fingers(17, pair, 1));
        EXPECT_TRUE(lines->fingers(33, pair + 1, 1));
        EXPECT_TRUE(lines->fingers(50, pair, 2));
        EXPECT_TRUE(lines->fingers(67, pair, 0));
        EXPECT_TRUE(lines->key(83, 'M'));
        EXPECT_TRUE(lines->watchdogRefresh(100, false));
    }
    EXPECT_EQ(memory.text(), boardtest::readFile(path));
    const auto read = simulator::parseScript(memory.text(), "memory");
    EXPECT_EQ(read.error, "");
    EXPECT_EQ(read.events.size(), 6u) << memory.text();
    EXPECT_FALSE(memory.full());
}

// A line that would pass the limit stops the recording for good: a shorter
// one after it would leave a hole that replays as another run.
TEST(InputRecording, MemoryStopsWholeAtItsLimit)
{
    const sim::board::Finger finger{100, 200};
    simulator::InputMemory measure;
    measure.fingers(10, &finger, 1);
    const std::string twoLines = measure.text() + "20 release\n";

    simulator::InputMemory memory(twoLines.size() + 10);
    EXPECT_TRUE(memory.fingers(10, &finger, 1));
    EXPECT_TRUE(memory.fingers(20, &finger, 0));
    const sim::board::Finger pair[2] = {{100, 200}, {300, 400}};
    EXPECT_FALSE(memory.fingers(30, pair, 2));
    EXPECT_TRUE(memory.full());
    EXPECT_FALSE(memory.key(40, 'M')); // 9 bytes would fit
    EXPECT_EQ(memory.text(), twoLines);
}
