// The mapboard program in a real window: an X server of its own (Xvfb) and
// real mouse and key events (xdotool).

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <csignal>
#include <set>
#include <thread>
#include <unistd.h>

#include "ProgramRun.hpp"
#include "board_config/BoardConfig.hpp"
#include "sim/PngWriter.hpp"
#include "simulator/Script.hpp"

using boardtest::runCommand;

namespace {

// A child process, stopped when the object goes.
class Child {
public:
    explicit Child(std::vector<std::string> arguments, int outputFd = -1)
    {
        pid = fork();
        if (pid == 0) {
            if (outputFd >= 0) {
                dup2(outputFd, STDOUT_FILENO);
            }
            std::vector<char*> argv;
            for (std::string& argument : arguments) {
                argv.push_back(argument.data());
            }
            argv.push_back(nullptr);
            execvp(argv[0], argv.data());
            _exit(127);
        }
    }
    Child(const Child&) = delete;
    Child& operator=(const Child&) = delete;
    ~Child()
    {
        if (pid > 0 && !exited) {
            kill(pid, SIGTERM);
            waitpid(pid, nullptr, 0);
        }
    }

    // The exit status, or -1 when it still ran after `limit`.
    int waitFor(std::chrono::milliseconds limit)
    {
        const auto end = std::chrono::steady_clock::now() + limit;
        while (std::chrono::steady_clock::now() < end) {
            int status = 0;
            if (waitpid(pid, &status, WNOHANG) == pid) {
                exited = true;
                return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
        }
        return -1;
    }

    pid_t pid = -1;
    bool exited = false;
};

// Xvfb on a display number it picks itself among the free ones.
class VirtualDisplay {
public:
    VirtualDisplay()
    {
        int fds[2];
        if (pipe(fds) != 0) {
            return;
        }
        server = std::make_unique<Child>(
            std::vector<std::string>{"Xvfb", "-displayfd", "1", "-screen", "0", "1024x768x24", "-nolisten", "tcp"},
            fds[1]);
        close(fds[1]);
        std::string number;
        char c = 0;
        while (read(fds[0], &c, 1) == 1 && c != '\n') {
            number += c;
        }
        close(fds[0]);
        if (!number.empty()) {
            name = ":" + number;
        }
    }

    std::string name;

private:
    std::unique_ptr<Child> server;
};

void pause(int ms)
{
    std::this_thread::sleep_for(std::chrono::milliseconds(ms));
}

// What the input alone decides in a trace line. Left out because they
// differ by nature between the wall clock and virtual time: `frame` and
// `time_ms` (the window misses a refresh when a frame draws too long, and
// its clock runs on while drawing), `draw_ms`, the tiles, `frame_hash` and
// the figures while tiles stream in (the fetcher sleeps on the board clock,
// which frame picks a tile up depends on the host), and the dogs (they step
// once a frame).
std::string inputState(const nlohmann::json& line)
{
    return nlohmann::json{line["screen"], line["map"], line["pizza"], line["gesture"], line["damaged_tiles"]}.dump();
}

// The states a run passed through in order, each once however many frames
// it lasted.
std::vector<std::string> inputStates(const std::vector<nlohmann::json>& lines)
{
    std::vector<std::string> states;
    for (const auto& line : lines) {
        const std::string state = inputState(line);
        if (states.empty() || states.back() != state) {
            states.push_back(state);
        }
    }
    return states;
}

// The pixels of the screenshot S saved in `dir`, or none.
std::vector<std::uint16_t> screenshotIn(const std::filesystem::path& dir)
{
    for (const auto& entry : std::filesystem::directory_iterator(dir)) {
        if (entry.path().filename().string().rfind("screenshot-", 0) == 0) {
            std::vector<std::uint16_t> pixels(board::panelPixels);
            if (sim::readPngAsRgb565(entry.path().string(), pixels.data(), board::panelWidth, board::panelHeight)
                    .empty()) {
                return pixels;
            }
        }
    }
    return {};
}

// mapboard in a window of its own display, driven by xdotool.
class WindowSession {
public:
    explicit WindowSession(std::vector<std::string> options)
    {
        if (display.name.empty()) {
            return;
        }
        setenv("DISPLAY", display.name.c_str(), 1);
        // In sanitizer builds: SDL unloads the X11 libraries it loaded when it
        // quits, so what they keep for the whole process can no longer be
        // named, let alone told apart from a leak. The headless tests run the
        // same board code with leak checking on.
        setenv("LSAN_OPTIONS", "detect_leaks=0", 1);
        options.insert(options.begin(), MAPBOARD_PROGRAM);
        program = std::make_unique<Child>(options);
        const auto found = runCommand("timeout 10 xdotool search --sync --onlyvisible --name '^mapboard'");
        if (found.status == 0) {
            window = found.output.substr(0, found.output.find('\n'));
            focused = runCommand("xdotool windowfocus --sync " + window).status == 0;
        }
    }

    // Xvfb runs and the window appeared and took the focus.
    ::testing::AssertionResult ready() const
    {
        if (display.name.empty()) {
            return ::testing::AssertionFailure() << "Xvfb did not start (scripts/setup installs it)";
        }
        if (!focused) {
            return ::testing::AssertionFailure() << "no window appeared";
        }
        return ::testing::AssertionSuccess();
    }

    void moveTo(int x, int y) const
    {
        runCommand("xdotool mousemove --window " + window + " " + std::to_string(x) + " " + std::to_string(y));
    }
    void xdotool(const std::string& arguments) const { runCommand("xdotool " + arguments); }

    // Q, and the program's exit status.
    int quit()
    {
        xdotool("key q");
        return program->waitFor(std::chrono::seconds(10));
    }

    std::string window;

private:
    VirtualDisplay display;
    std::unique_ptr<Child> program;
    bool focused = false;
};

} // namespace

TEST(MapboardWindow, DragWheelAndRightDragMoveTheMapAndMThenAClickReachTheDogScreen)
{
    const auto dir = boardtest::scratchDir("window");
    WindowSession session({"--trace", (dir / "trace.jsonl").string(), "--out", (dir / "last.png").string()});
    ASSERT_TRUE(session.ready());

    // Left drag of 150 px to the right, in small steps as a hand moves.
    session.moveTo(200, 200);
    session.xdotool("mousedown 1");
    pause(150);
    for (int x = 215; x <= 350; x += 15) {
        session.moveTo(x, 200);
        pause(30);
    }
    pause(150);
    session.xdotool("mouseup 1");
    pause(150);
    session.moveTo(400, 240);
    session.xdotool("click 4");
    pause(300);
    // Right drag: the second finger, mirrored about the centre, spreads.
    session.moveTo(400, 300);
    session.xdotool("mousedown 3");
    for (int x = 410; x <= 480; x += 10) {
        session.moveTo(x, 300);
        pause(30);
    }
    session.xdotool("mouseup 3");
    pause(150);
    session.xdotool("key m");
    pause(300);
    session.xdotool("key s");
    pause(300);
    // A quick click on the menu's dog button is a tap.
    session.moveTo(560, 230);
    session.xdotool("click 1");
    pause(300);
    ASSERT_EQ(session.quit(), 0) << "Q ends the program";

    // The map: x in map units; a drag of 150 px at tile scale s moves it by 150 / s.
    const auto lines = boardtest::readTrace(dir / "trace.jsonl");
    ASSERT_FALSE(lines.empty());
    const double startX = lines.front()["map"]["x"];
    const double tileScale = lines.front()["map"]["tile_scale"];
    bool dragged = false;
    double largestScale = 0.0;
    for (const auto& line : lines) {
        dragged = dragged || line["map"]["x"] == startX - 150.0 / tileScale;
        largestScale = std::max(largestScale, line["map"]["scale"].get<double>());
    }
    EXPECT_TRUE(dragged) << "the map moved by the dragged 150 px";
    const double startScale = lines.front()["map"]["scale"];
    EXPECT_GT(largestScale, startScale * 1.25 * 1.2) << "the wheel and then the mirrored fingers zoomed in";
    EXPECT_EQ(lines.back()["screen"], "dogtrack") << "M led to the menu, a click on its dog button onwards";

    const auto pixels = screenshotIn(dir);
    ASSERT_EQ(pixels.size(), 800u * 480u) << "S saves a screenshot beside --out";
    EXPECT_EQ(pixels[10 * board::panelWidth + 10], (0xFF >> 3) << 11 | (0xB7 >> 2) << 5 | (0x1C >> 3))
        << "the menu shows";
}

TEST(MapboardWindow, ARecordedSessionReplaysHeadlessThroughTheSameStates)
{
    const auto dir = boardtest::scratchDir("record");
    const auto recording = dir / "session.txt";
    WindowSession session({"--record", recording.string(), "--trace", (dir / "window.jsonl").string(), "--out",
                           (dir / "window.png").string()});
    ASSERT_TRUE(session.ready());

    // Menu, back to the pizza map by its button, then a drag and a wheel step.
    session.xdotool("key m");
    pause(300);
    session.moveTo(235, 230);
    session.xdotool("click 1");
    pause(300);
    session.moveTo(300, 300);
    session.xdotool("mousedown 1");
    pause(100);
    for (int x = 320; x <= 440; x += 20) {
        session.moveTo(x, 300 - (x - 300) / 2);
        pause(30);
    }
    pause(100);
    session.xdotool("mouseup 1");
    pause(150);
    session.moveTo(400, 240);
    session.xdotool("click 4");
    // Time for the new view's tiles, so both last frames show them all.
    pause(1500);
    // Each run leaves its last picture beside its --out.
    session.xdotool("key s");
    pause(100);
    ASSERT_EQ(session.quit(), 0) << "Q ends the program";

    // The recorded Q ends the replay where the window ended; its screenshot
    // goes beside its own --out.
    std::filesystem::create_directory(dir / "replay");
    const auto replay =
        runCommand(std::string(MAPBOARD_PROGRAM) + " --headless --frames 100000 --script " + recording.string() +
                   " --trace " + (dir / "replay.jsonl").string() + " --out " + (dir / "replay" / "last.png").string());
    ASSERT_EQ(replay.status, 0) << replay.output << boardtest::readFile(recording);

    const auto windowLines = boardtest::readTrace(dir / "window.jsonl");
    const auto replayLines = boardtest::readTrace(dir / "replay.jsonl");
    ASSERT_FALSE(windowLines.empty());
    ASSERT_FALSE(replayLines.empty());
    const auto windowStates = inputStates(windowLines);
    EXPECT_GT(windowStates.size(), 8u) << "the menu, the pizza map, the drag and the wheel each changed the state";
    EXPECT_EQ(inputStates(replayLines), windowStates) << boardtest::readFile(recording);

    // Each step lands on a frame of the replay, so it is handed over there.
    const auto script = simulator::loadScript(recording.string());
    ASSERT_EQ(script.error, "");
    std::set<std::uint64_t> replayTimes;
    for (const auto& line : replayLines) {
        replayTimes.insert(line["time_ms"].get<std::uint64_t>());
    }
    for (const auto& step : script.events) {
        EXPECT_TRUE(replayTimes.count(step.atMs) == 1) << "step at " << step.atMs << " ms falls between frames";
    }

    // With the tiles in, S saved the same picture in both runs but for the
    // frame rate label: it counts refreshes, which a loaded window misses.
    ASSERT_EQ(windowLines.back()["tiles"]["visible_pending"], 0) << "the window's tiles had not all come";
    const auto windowPicture = screenshotIn(dir);
    const auto replayPicture = screenshotIn(dir / "replay");
    ASSERT_EQ(windowPicture.size(), 800u * 480u);
    ASSERT_EQ(replayPicture.size(), 800u * 480u);
    int differing = 0;
    for (int y = 0; y < board::panelHeight; ++y) {
        for (int x = 0; x < board::panelWidth; ++x) {
            const bool frameRateLabel = x >= 70 && x < 250 && y >= 27 && y < 60;
            const auto i = static_cast<std::size_t>(y * board::panelWidth + x);
            differing += !frameRateLabel && windowPicture[i] != replayPicture[i] ? 1 : 0;
        }
    }
    EXPECT_EQ(differing, 0);
}

TEST(MapboardWindow, ASmallRightDragPinchesGentlyAndWheelStepsOutUndoStepsIn)
{
    const auto dir = boardtest::scratchDir("pinch");
    WindowSession session({"--trace", (dir / "trace.jsonl").string(), "--out", (dir / "last.png").string()});
    ASSERT_TRUE(session.ready());

    session.moveTo(500, 300);
    session.xdotool("mousedown 3");
    pause(100);
    session.moveTo(510, 300);
    pause(100);
    session.xdotool("mouseup 3");
    pause(300);
    const auto wheel = [&](int button) {
        for (int step = 0; step < 3; ++step) {
            session.xdotool("click " + std::to_string(button));
            pause(150);
        }
    };
    session.moveTo(300, 200);
    wheel(4);
    wheel(5);
    // Each step is three finger states, a frame each, then the map's turn;
    // a loaded machine draws slowly.
    pause(1000);
    ASSERT_EQ(session.quit(), 0);

    const auto lines = boardtest::readTrace(dir / "trace.jsonl");
    ASSERT_FALSE(lines.empty());
    // The scales the map passed through; the drag's end is the last before
    // the first wheel step's jump.
    std::vector<double> scales;
    for (const auto& line : lines) {
        const double scale = line["map"]["scale"];
        if (scales.empty() || scales.back() != scale) {
            scales.push_back(scale);
        }
    }
    std::size_t wheelStart = 1;
    while (wheelStart < scales.size() && scales[wheelStart] / scales[wheelStart - 1] < 1.2) {
        ++wheelStart;
    }
    ASSERT_LT(wheelStart, scales.size()) << "no wheel step zoomed in";
    const double afterDrag = scales[wheelStart - 1];
    // The fingers land some 230 px apart about the centre: 10 px move them
    // by a few per cent, not to the largest zoom.
    EXPECT_GT(afterDrag, scales.front());
    EXPECT_LT(afterDrag, scales.front() * 1.2) << "a 10 px right drag is a small pinch";
    EXPECT_NEAR(*std::max_element(scales.begin(), scales.end()) / afterDrag, 1.25 * 1.25 * 1.25, 1e-4)
        << "three steps in";
    EXPECT_NEAR(lines.back()["map"]["scale"].get<double>() / afterDrag, 1.0, 1e-6) << "three in, three out";
}
