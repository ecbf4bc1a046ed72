#include "simulator/Soak.hpp"

#include <algorithm>
#include <atomic>
#include <cmath>
#include <cstring>
#include <malloc.h>

#include "board_config/BoardConfig.hpp"
#include "common/FrontendHeap.hpp"
#include "sim/Assertions.hpp"

namespace simulator {

namespace {

constexpr int width = sim::board::panelWidth;
constexpr int height = sim::board::panelHeight;
constexpr double pi = 3.14159265358979;

// Where the controls sit on the panel (see the screens' setupScreen).
struct Area {
    int left, top, right, bottom; // inclusive
};
constexpr Area pizzaButton{130, 115, 338, 364};
constexpr Area dogButton{461, 115, 669, 364};
constexpr Area gridButton{17, 17, 64, 64};
constexpr Area infoButton{735, 17, 782, 64};
constexpr Area bitrateBar{287, 0, 512, 53}; // the top bar
constexpr Area infoBack{20, 20, 115, 59};
constexpr Area infoLeft{20, 412, 67, 459};
constexpr Area infoRight{732, 412, 779, 459};
constexpr Area courierOrHome{390, 170, 410, 190}; // the map's anchor, where a followed marker sits
// The order ring's disc: centre and radius, cut by the panel's bottom edge.
constexpr int ringX = 400;
constexpr int ringY = 419;
constexpr int ringRadius = 100;

// The tour first taps every control and plays every gesture once, on each
// screen, so that the warm-up window has seen everything the run does.
struct TourStep {
    ActiveScreen screen;
    const char* action;
};
constexpr TourStep tour[] = {
    {ActiveScreen::Pizza, "grid button"},
    {ActiveScreen::Pizza, "grid button"},
    {ActiveScreen::Pizza, "bitrate bar"},
    {ActiveScreen::Pizza, "bitrate bar"},
    {ActiveScreen::Pizza, "bitrate bar"},
    {ActiveScreen::Pizza, "info button"},
    {ActiveScreen::Pizza, "info right"},
    {ActiveScreen::Pizza, "info left"},
    {ActiveScreen::Pizza, "info back"},
    {ActiveScreen::Pizza, "order ring"},
    {ActiveScreen::Pizza, "drag"},
    {ActiveScreen::Pizza, "pinch"},
    {ActiveScreen::Pizza, "rotation"},
    {ActiveScreen::Pizza, "wheel"},
    {ActiveScreen::Pizza, "courier or home"},
    {ActiveScreen::Pizza, "map tap"},
    {ActiveScreen::Pizza, "menu key"},
    {ActiveScreen::None, "menu tap"},
    {ActiveScreen::None, "dog button"},
    {ActiveScreen::DogTrack, "drag"},
    {ActiveScreen::DogTrack, "pinch"},
    {ActiveScreen::DogTrack, "rotation"},
    {ActiveScreen::DogTrack, "wheel"},
    {ActiveScreen::DogTrack, "grid button"},
    {ActiveScreen::DogTrack, "grid button"},
    {ActiveScreen::DogTrack, "map tap"},
    {ActiveScreen::DogTrack, "menu key"},
    {ActiveScreen::None, "pizza button"},
};
constexpr std::size_t tourLength = sizeof tour / sizeof tour[0];

// For the note an assertion prints before the process aborts.
std::atomic<std::uint64_t> noteSeed{0};
std::atomic<std::uint64_t> noteFrame{0};
std::atomic<std::uint64_t> noteFrames{0};

void repeatLine(std::FILE* out, std::uint64_t seed, std::uint64_t frames)
{
    std::fprintf(out, "soak: repeat with: mapboard --headless --soak %llu --frames %llu\n",
                 static_cast<unsigned long long>(seed), static_cast<unsigned long long>(frames));
}

void assertionNote()
{
    std::fprintf(stderr, "soak: FAILED: assertion at frame %llu (seed %llu)\n",
                 static_cast<unsigned long long>(noteFrame.load()), static_cast<unsigned long long>(noteSeed.load()));
    repeatLine(stderr, noteSeed.load(), noteFrames.load());
}

int clampX(double x)
{
    return std::clamp(static_cast<int>(std::lround(x)), 0, width - 1);
}

int clampY(double y)
{
    return std::clamp(static_cast<int>(std::lround(y)), 0, height - 1);
}

// The simulator's own heap (stand-ins, cairo): a leak there shows too.
std::uint64_t hostHeapInUse()
{
    return mallinfo2().uordblks;
}

} // namespace

Soak::Soak(std::uint64_t runSeed, std::uint64_t runFrames)
    : seed(runSeed), randomState(runSeed), frames(runFrames), windows(runFrames)
{
    noteSeed = seed;
    noteFrames = frames;
    sim::onAssertion(assertionNote);
}

Soak::~Soak()
{
    sim::onAssertion(nullptr);
}

// splitmix64: the same sequence on every host and library.
std::uint64_t Soak::next()
{
    std::uint64_t z = (randomState += 0x9E3779B97F4A7C15ull);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
    return z ^ (z >> 31);
}

int Soak::between(int low, int high)
{
    return low + static_cast<int>(next() % static_cast<std::uint64_t>(high - low + 1));
}

bool Soak::chance(int percent)
{
    return between(0, 99) < percent;
}

void Soak::endOfFrame(BoardRun& run, std::uint64_t frame)
{
    noteFrame = frame;
    sample(frame);
    if (steps.empty()) {
        Model& model = FrontendHeap::getInstance().model;
        plan(model.getActiveScreen());
    }
    const Step step = steps.front();
    steps.pop_front();
    if (step.key != 0) {
        run.pressKey(step.key);
    }
    if (step.fingerCount >= 0) {
        sim::board::setFingers(step.fingers, step.fingerCount);
    }
}

void Soak::plan(ActiveScreen screen)
{
    if (tourStep < tourLength) {
        if (tour[tourStep].screen == screen) {
            play(tour[tourStep++].action);
        } else {
            wait(5); // a screen switch still under way
        }
        return;
    }
    if (screen == ActiveScreen::None) {
        planMenu();
    } else {
        planMap(screen == ActiveScreen::Pizza, FrontendHeap::getInstance().model.getPizzaModel().getPizzaState());
    }
}

void Soak::planMenu()
{
    const int pick = between(0, 99);
    play(pick < 45 ? "pizza button" : pick < 90 ? "dog button" : pick < 95 ? "menu tap" : "drag");
}

void Soak::planMap(bool pizza, PizzaState pizzaState)
{
    // A delivery takes over a minute: while one runs, pauses are longer.
    if (pizza && pizzaState == PizzaState::OnItsWay && chance(15)) {
        play("long wait");
        return;
    }
    struct Choice {
        const char* action;
        int weight;
        bool pizzaOnly;
    };
    static constexpr Choice choices[] = {
        {"drag", 20, false},       {"pinch", 12, false},    {"rotation", 8, false},   {"wheel", 10, false},
        {"grid button", 4, false}, {"map tap", 6, false},   {"wait", 16, false},      {"long wait", 1, false},
        {"menu key", 2, false},    {"order ring", 7, true}, {"bitrate bar", 6, true}, {"info button", 3, true},
        {"info back", 3, true},    {"info left", 2, true},  {"info right", 2, true},  {"courier or home", 4, true},
    };
    int total = 0;
    for (const Choice& choice : choices) {
        total += (pizza || !choice.pizzaOnly) ? choice.weight : 0;
    }
    int pick = between(0, total - 1);
    for (const Choice& choice : choices) {
        if (!pizza && choice.pizzaOnly) {
            continue;
        }
        if (pick < choice.weight) {
            play(choice.action);
            return;
        }
        pick -= choice.weight;
    }
}

void Soak::play(const char* action)
{
    ++played[action];
    const auto is = [action](const char* name) { return std::strcmp(action, name) == 0; };
    const struct {
        const char* name;
        Area area;
    } controls[] = {
        {"pizza button", pizzaButton},
        {"dog button", dogButton},
        {"grid button", gridButton},
        {"info button", infoButton},
        {"bitrate bar", bitrateBar},
        {"info back", infoBack},
        {"info left", infoLeft},
        {"info right", infoRight},
        {"courier or home", courierOrHome},
        {"map tap", {0, 0, width - 1, height - 1}},
        {"menu tap", {0, 0, width - 1, height - 1}},
    };
    for (const auto& control : controls) {
        if (is(control.name)) {
            tap(action, control.area.left, control.area.top, control.area.right, control.area.bottom);
            // A button that switches screens: let the switch happen.
            wait(is("pizza button") || is("dog button") ? 10 : static_cast<std::uint32_t>(between(1, 30)));
            return;
        }
    }
    if (is("order ring")) {
        tapOrder();
    } else if (is("drag")) {
        drag();
    } else if (is("pinch") || is("rotation")) {
        pinch(is("rotation"));
    } else if (is("wheel")) {
        wheel();
    } else if (is("menu key")) {
        Step step;
        step.key = 'M';
        steps.push_back(step);
        wait(10);
    } else if (is("long wait")) {
        wait(static_cast<std::uint32_t>(between(600, 5400)));
    } else {
        wait(static_cast<std::uint32_t>(chance(80) ? between(1, 60) : between(60, 600)));
    }
}

void Soak::fingers(int count, int x1, int y1, int x2, int y2)
{
    Step step;
    step.fingerCount = count;
    step.fingers[0] =
        sim::board::Finger{static_cast<std::uint16_t>(clampX(x1)), static_cast<std::uint16_t>(clampY(y1))};
    step.fingers[1] =
        sim::board::Finger{static_cast<std::uint16_t>(clampX(x2)), static_cast<std::uint16_t>(clampY(y2))};
    steps.push_back(step);
}

void Soak::wait(std::uint32_t count)
{
    steps.insert(steps.end(), count, Step{});
}

// A finger lands inside the area, rests a few frames (now and then slips a
// pixel) and lifts.
void Soak::tap(const char*, int left, int top, int right, int bottom)
{
    const int x = between(left, right);
    const int y = between(top, bottom);
    const int rest = between(1, 6);
    for (int i = 0; i < rest; ++i) {
        fingers(1, x, y);
    }
    if (chance(20)) {
        fingers(1, std::min(x + 1, right), y);
    }
    fingers(0, 0, 0);
}

void Soak::tapOrder()
{
    const double angle = between(0, 359) * pi / 180.0;
    const double distance = between(0, ringRadius);
    const int y = clampY(ringY + distance * std::sin(angle));
    const int x = clampX(ringX + distance * std::cos(angle));
    tap("order ring", x, y, x, y);
}

void Soak::drag()
{
    const int x = between(0, width - 1);
    const int y = between(0, height - 1);
    const int dx = between(-400, 400);
    const int dy = between(-250, 250);
    const int moves = between(3, 60);
    fingers(1, x, y);
    fingers(1, x, y);
    for (int i = 1; i <= moves; ++i) {
        fingers(1, x + dx * i / moves, y + dy * i / moves);
    }
    const int rest = between(0, 4);
    for (int i = 0; i < rest; ++i) {
        fingers(1, x + dx, y + dy);
    }
    fingers(0, 0, 0);
}

// Two fingers about a drifting midpoint: apart or together (pinch), or
// around it (rotation). Now and then one finger lifts before the other.
void Soak::pinch(bool rotate)
{
    const double cx = between(150, 650);
    const double cy = between(100, 380);
    const double driftX = between(-20, 20);
    const double driftY = between(-20, 20);
    const double angle = between(0, 179) * pi / 180.0;
    const double turn = rotate ? between(-150, 150) * pi / 180.0 : between(-10, 10) * pi / 180.0;
    const double spread = between(30, 150);
    const double factor = rotate ? between(80, 125) / 100.0 : between(30, 300) / 100.0;
    const int moves = between(6, 45);
    for (int i = 0; i <= moves; ++i) {
        const double f = static_cast<double>(i) / moves;
        const double mx = cx + driftX * f;
        const double my = cy + driftY * f;
        const double a = angle + turn * f;
        const double r = spread * (1.0 + (factor - 1.0) * f);
        const double ox = r * std::cos(a);
        const double oy = r * std::sin(a);
        fingers(2, static_cast<int>(mx - ox), static_cast<int>(my - oy), static_cast<int>(mx + ox),
                static_cast<int>(my + oy));
        if (i == 0) {
            fingers(2, static_cast<int>(mx - ox), static_cast<int>(my - oy), static_cast<int>(mx + ox),
                    static_cast<int>(my + oy));
        }
    }
    if (chance(30)) {
        const Step last = steps.back();
        const int rest = between(1, 10);
        for (int i = 0; i < rest; ++i) {
            fingers(1, last.fingers[0].x, last.fingers[0].y);
        }
    }
    fingers(0, 0, 0);
}

// As the window turns a wheel step: a short pinch at the cursor.
void Soak::wheel()
{
    constexpr int spread = 60;
    const int x = between(0, width - 1);
    const int y = between(0, height - 1);
    const int turns = between(1, 5);
    const bool in = chance(50);
    for (int i = 0; i < turns; ++i) {
        const int after = in ? spread * 5 / 4 : spread * 4 / 5;
        fingers(2, x - spread, y, x + spread, y);
        fingers(2, x - after, y, x + after, y);
        fingers(0, 0, 0);
        wait(static_cast<std::uint32_t>(between(0, 3)));
    }
}

void Soak::sample(std::uint64_t frame)
{
    std::vector<Figure> reading = readFigures(true);
    const std::uint64_t heap = hostHeapInUse();
    reading.push_back(Figure{"host heap", heap, heap, 0, "the simulator's own"});
    windows.add(frame, reading);
}

int Soak::finish(RunEnd end, std::uint64_t framesDone, const std::string& problem, std::FILE* out)
{
    const std::uint64_t seconds = framesDone / board::framesPerSecond;
    std::fprintf(out, "soak: seed %llu, %llu frames (%llu:%02llu:%02llu of board time), %llu per window\n",
                 static_cast<unsigned long long>(seed), static_cast<unsigned long long>(framesDone),
                 static_cast<unsigned long long>(seconds / 3600), static_cast<unsigned long long>(seconds / 60 % 60),
                 static_cast<unsigned long long>(seconds % 60),
                 static_cast<unsigned long long>(windows.framesPerWindow()));
    std::fprintf(out, "soak: input played:");
    for (const auto& [action, count] : played) {
        std::fprintf(out, " %s %llu,", action.c_str(), static_cast<unsigned long long>(count));
    }
    std::fprintf(out, "\n");
    windows.print(out, "soak: ");
    std::string failure;
    if (!problem.empty()) {
        failure = problem;
    } else if (end == RunEnd::WatchdogReset) {
        failure = "watchdog reset after frame " + std::to_string(framesDone);
    } else if (end != RunEnd::FramesDone) {
        failure = "the run ended early, after frame " + std::to_string(framesDone);
    } else {
        failure = windows.growth();
    }
    if (failure.empty()) {
        std::fprintf(out, "soak: passed\n");
        return 0;
    }
    std::fprintf(out, "soak: FAILED: %s (seed %llu)\n", failure.c_str(), static_cast<unsigned long long>(seed));
    repeatLine(out, seed, frames);
    return 1;
}

} // namespace simulator
