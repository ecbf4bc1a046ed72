// The mapboard program headless: what a user and CI get from it.

#include <gtest/gtest.h>

#include <filesystem>
#include <set>
#include <vector>

#include "ProgramRun.hpp"
#include "board_config/BoardConfig.hpp"
#include "sim/PngWriter.hpp"

using boardtest::readFile;
using boardtest::readTrace;
using boardtest::runCommand;
using boardtest::writeFile;

namespace {

const std::string program = MAPBOARD_PROGRAM;

std::uint16_t pixelAt(const std::filesystem::path& png, int x, int y)
{
    std::vector<std::uint16_t> pixels(board::panelPixels);
    EXPECT_EQ(sim::readPngAsRgb565(png.string(), pixels.data(), board::panelWidth, board::panelHeight), "");
    return pixels[static_cast<std::size_t>(y) * board::panelWidth + x];
}

constexpr std::uint16_t menuBackground = (0xFF >> 3) << 11 | (0xB7 >> 2) << 5 | (0x1C >> 3);

} // namespace

TEST(Mapboard, WithoutADisplayItRunsTenSecondsHeadlessAndSavesTheLastFrame)
{
    const auto dir = boardtest::scratchDir("nodisplay");
    const auto out = dir / "board.png";
    const auto trace = dir / "trace.jsonl";
    const auto run = runCommand("env -u DISPLAY -u WAYLAND_DISPLAY " + program + " --out " + out.string() +
                                " --trace " + trace.string());
    ASSERT_EQ(run.status, 0) << run.output;
    EXPECT_NE(run.output.find("no display found"), std::string::npos) << run.output;
    EXPECT_NE(run.output.find(out.string()), std::string::npos) << "the picture's path is printed";
    EXPECT_TRUE(std::filesystem::exists(out));
    const auto lines = readTrace(trace);
    ASSERT_EQ(lines.size(), 600u);
    EXPECT_EQ(lines.back()["frame"], 600);
    EXPECT_EQ(lines.back()["time_ms"], 9999) << "600 frames are 10 s of board time";
}

TEST(Mapboard, ABadScriptLineIsRefusedWithItsNumber)
{
    const auto dir = boardtest::scratchDir("badscript");
    const std::vector<std::pair<std::string, std::string>> cases{
        {"# fine\n100 press 10 10\n200 mvoe 20 20\n", ":3: unknown step 'mvoe'"},
        {"100 press " + std::to_string(board::panelWidth) + " 10\n", ":1: press needs X Y"},
        {"200 release\n100 press 1 1\n", ":2: steps must not go back in time"},
        {"100 drag 0 0 100 0 200\n390 release\n", ":2: this step starts before the drag"},
        {"100 key X\n", ":1: key needs M, S or Q"},
        {"soon press 1 1\n", ":1: a step starts with its board time"},
        {"100 release now\n", ":1: unexpected text after the release step"},
    };
    for (const auto& [text, expected] : cases) {
        writeFile(dir / "script.txt", text);
        const auto run = runCommand(program + " --headless --frames 1 --script " + (dir / "script.txt").string());
        EXPECT_EQ(run.status, 2) << text;
        EXPECT_NE(run.output.find("script.txt" + expected), std::string::npos) << run.output;
    }
}

TEST(Mapboard, KeyMShowsTheMenu)
{
    const auto dir = boardtest::scratchDir("menu");
    writeFile(dir / "script.txt", "50 screenshot " + (dir / "before.png").string() + "\n100 key M\n300 screenshot " +
                                      (dir / "menu.png").string() + "\n");
    const auto run = runCommand(program + " --headless --frames 30 --out " + (dir / "last.png").string() +
                                " --script " + (dir / "script.txt").string());
    ASSERT_EQ(run.status, 0) << run.output;
    EXPECT_NE(pixelAt(dir / "before.png", 10, 10), menuBackground);
    EXPECT_EQ(pixelAt(dir / "menu.png", 10, 10), menuBackground);
}

TEST(Mapboard, ClearingTheWatchdogFlagResetsTheBoardAboutTwoSecondsLater)
{
    const auto dir = boardtest::scratchDir("watchdog");
    writeFile(dir / "script.txt", "1000 watchdog-refresh off\n");
    const auto trace = dir / "trace.jsonl";
    const auto run = runCommand(program + " --headless --frames 300 --out " + (dir / "last.png").string() +
                                " --trace " + trace.string() + " --script " + (dir / "script.txt").string());
    ASSERT_EQ(run.status, 0) << run.output;
    // Refreshed last at 800 ms: the 2 s timeout ends at 2800 ms.
    EXPECT_NE(run.output.find("watchdog reset at 2800 ms"), std::string::npos) << run.output;
    EXPECT_NE(run.output.find("the board restarts"), std::string::npos);
    const auto lines = readTrace(trace);
    ASSERT_EQ(lines.size(), 300u) << "the restarted board runs the remaining frames";
    std::size_t restartAt = 0;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        EXPECT_EQ(lines[i]["frame"], i + 1);
        if (i > 0 && lines[i]["time_ms"] < lines[i - 1]["time_ms"]) {
            restartAt = i;
        }
    }
    EXPECT_EQ(lines[restartAt - 1]["time_ms"], 2799) << "the last frame before the reset";
    EXPECT_EQ(lines[restartAt]["time_ms"], 16) << "board time starts again";
}

TEST(Mapboard, TheSameScriptGivesTheSameTraceAndPictures)
{
    const auto dir = boardtest::scratchDir("repeat");
    writeFile(dir / "script.txt", "20 drag 100 100 300 200 200\n400 pinch 300 240 500 240\n"
                                  "420 pinch 280 240 520 250\n440 release\n500 key M\n");
    auto runOnce = [&](const std::string& name) {
        const auto out = dir / (name + ".png");
        const auto run = runCommand(program + " --headless --frames 60 --out " + out.string() + " --trace " +
                                    (dir / (name + ".jsonl")).string() + " --script " + (dir / "script.txt").string());
        EXPECT_EQ(run.status, 0) << run.output;
        return std::make_pair(readFile(dir / (name + ".jsonl")), readFile(out));
    };
    const auto first = runOnce("first");
    const auto second = runOnce("second");
    EXPECT_FALSE(first.first.empty());
    EXPECT_EQ(first.first, second.first);
    EXPECT_EQ(first.second, second.second);
    const auto lines = readTrace(dir / "first.jsonl");
    EXPECT_FLOAT_EQ(lines[22]["gesture"]["tx"].get<float>(), 200.0f) << "the drag's whole distance";
    EXPECT_FLOAT_EQ(lines[22]["gesture"]["ty"].get<float>(), 100.0f);
    EXPECT_GT(lines.back()["gesture"]["scale"].get<float>(), 1.1f) << "the pinch spread the fingers";
}

TEST(Mapboard, PowerUpShowsThePizzaScreenFromTheFirstFrameWithoutTheMenu)
{
    const auto dir = boardtest::scratchDir("powerup");
    const auto trace = dir / "trace.jsonl";
    const auto run = runCommand(program + " --headless --frames 30 --out " + (dir / "last.png").string() + " --trace " +
                                trace.string());
    ASSERT_EQ(run.status, 0) << run.output;
    const auto lines = readTrace(trace);
    ASSERT_EQ(lines.size(), 30u);
    for (const auto& line : lines) {
        EXPECT_EQ(line["screen"], "pizza") << "frame " << line["frame"];
    }
    EXPECT_EQ(lines.back()["tiles"]["visible_pending"], 0) << "the visible 3 x 3 has arrived at Instant bitrate";
    EXPECT_EQ(lines.back()["damaged_tiles"], 0) << "the stored collection is whole";
}

TEST(Mapboard, AScriptedOrderRunsToArrival)
{
    const auto dir = boardtest::scratchDir("order");
    // A tap on the progress ring orders.
    writeFile(dir / "script.txt", "200 press 400 440\n260 release\n");
    const auto trace = dir / "trace.jsonl";
    const auto run = runCommand(program + " --headless --frames 4600 --out " + (dir / "last.png").string() +
                                " --trace " + trace.string() + " --script " + (dir / "script.txt").string());
    ASSERT_EQ(run.status, 0) << run.output;
    std::vector<std::string> states;
    int orderedAt = 0;
    int arrivedAt = 0;
    for (const auto& line : readTrace(trace)) {
        const std::string state = line["pizza"]["state"];
        if (states.empty() || states.back() != state) {
            states.push_back(state);
            (state == "on its way" ? orderedAt : arrivedAt) = line["frame"];
        }
    }
    EXPECT_EQ(states, (std::vector<std::string>{"idle", "on its way", "arrived"}));
    // 177 steps of 25 frames, the first after 1 to 25 frames.
    EXPECT_GE(arrivedAt - orderedAt, 176 * 25 + 1);
    EXPECT_LE(arrivedAt - orderedAt, 177 * 25);
}

TEST(Mapboard, TheMenuKeyThenTheDogButtonReachesTheDogScreen)
{
    const auto dir = boardtest::scratchDir("dogs");
    writeFile(dir / "script.txt", "100 key M\n300 press 560 230\n360 release\n");
    const auto trace = dir / "trace.jsonl";
    const auto run = runCommand(program + " --headless --frames 40 --out " + (dir / "last.png").string() + " --trace " +
                                trace.string() + " --script " + (dir / "script.txt").string());
    ASSERT_EQ(run.status, 0) << run.output;
    const auto lines = readTrace(trace);
    EXPECT_EQ(lines.front()["screen"], "pizza");
    EXPECT_EQ(lines[10]["screen"], "menu");
    EXPECT_EQ(lines.back()["screen"], "dogtrack");
    EXPECT_EQ(lines.back()["map"]["zoom"], 16) << "the dog screen opens at zoom 16 on the owner";
}

TEST(Mapboard, ASoakRunTouchesEveryControlReportsItsFiguresAndRepeatsFromItsSeed)
{
    const auto dir = boardtest::scratchDir("soak");
    auto runOnce = [&](const std::string& name, int seed) {
        const auto run =
            runCommand(program + " --soak " + std::to_string(seed) + " --frames 1200 --out " +
                       (dir / (name + ".png")).string() + " --trace " + (dir / (name + ".jsonl")).string());
        EXPECT_EQ(run.status, 0) << run.output;
        return std::make_pair(run.output, readFile(dir / (name + ".jsonl")));
    };
    const auto first = runOnce("first", 5);
    for (const char* expected : {"soak: passed",
                                 "pizza button 1,",
                                 "dog button 1,",
                                 "menu key 2,",
                                 "order ring",
                                 "bitrate bar",
                                 "info button",
                                 "info left",
                                 "info right",
                                 "info back",
                                 "grid button",
                                 "courier or home",
                                 "drag",
                                 "pinch",
                                 "rotation",
                                 "wheel",
                                 "soak: kernel heap",
                                 "soak: kernel queue 1",
                                 "soak: gpu pool 0",
                                 "soak: map fetcher queue"}) {
        EXPECT_NE(first.first.find(expected), std::string::npos) << expected << " in\n" << first.first;
    }
    const auto lines = readTrace(dir / "first.jsonl");
    ASSERT_EQ(lines.size(), 1200u);
    EXPECT_GT(lines.back()["figures"]["gpu pool 0"].get<int>(), 0);
    std::set<std::string> screens;
    for (const auto& line : lines) {
        screens.insert(line["screen"].get<std::string>());
    }
    EXPECT_EQ(screens, (std::set<std::string>{"pizza", "menu", "dogtrack"}));

    const auto again = runOnce("again", 5);
    // The report alone: the closing line names each run's own picture.
    const auto report = [](const std::string& output) { return output.substr(0, output.find("mapboard: ")); };
    EXPECT_EQ(report(first.first), report(again.first));
    EXPECT_EQ(first.second, again.second) << "the same seed plays the same run";
    ASSERT_TRUE(std::filesystem::exists(dir / "first.png")) << "the last frame is saved";
    EXPECT_EQ(readFile(dir / "first.png"), readFile(dir / "again.png"));
}

TEST(Mapboard, ASoakRunFailsOnAWatchdogResetNamingItsSeed)
{
    const auto dir = boardtest::scratchDir("soakreset");
    // Every touch lets the watchdog be refreshed again: clear the flag after
    // each frame's input.
    std::string script;
    for (int ms = 1000; ms < 4000; ms += 10) {
        script += std::to_string(ms) + " watchdog-refresh off\n";
    }
    writeFile(dir / "script.txt", script);
    const auto run = runCommand(program + " --soak 9 --frames 600 --out " + (dir / "last.png").string() + " --script " +
                                (dir / "script.txt").string());
    EXPECT_EQ(run.status, 1) << run.output;
    EXPECT_NE(run.output.find("soak: FAILED: watchdog reset after frame 168 (seed 9)"), std::string::npos)
        << run.output;
    EXPECT_NE(run.output.find("--soak 9 --frames 600"), std::string::npos) << run.output;
    EXPECT_EQ(run.output.find("the board restarts"), std::string::npos) << "a soak run does not restart";
}
