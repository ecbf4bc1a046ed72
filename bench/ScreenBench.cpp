// The two map screens driven headless through the frame driver of the
// tests: one full redraw with every widget, a whole pizza delivery as fast
// as it runs, and the heap allocations of steady frames.

#include <benchmark/benchmark.h>

#include "screens/FrameDriver.hpp"
#include "support/AllocationCounter.hpp"
#include "ui/RectList.hpp"

namespace {

FrameDriver& driver()
{
    static FrameDriver instance;
    return instance;
}

void enterPizzaOnItsWay()
{
    FrameDriver& d = driver();
    d.resetModel();
    d.heap.app.gotoPizzaScreenNoTransition();
    d.frames(2);
    d.tap(400, 419);
    d.frames(300); // tiles of the route's start are in
}

void enterDogTrack()
{
    FrameDriver& d = driver();
    d.resetModel();
    d.heap.app.gotoDogTrackScreenNoTransition();
    d.frames(600);
}

// The whole screen drawn into the frame buffer, nothing else.
void redrawWholeScreen(benchmark::State& state)
{
    FrameDriver& d = driver();
    ui::RectList<8> drawn;
    for (auto _ : state) {
        d.heap.app.invalidate();
        d.heap.app.drawInvalidatedAreas(drawn);
        drawn.clear();
    }
}

void BM_PizzaScreenFullRedraw(benchmark::State& state)
{
    enterPizzaOnItsWay();
    redrawWholeScreen(state);
}
BENCHMARK(BM_PizzaScreenFullRedraw)->Unit(benchmark::kMillisecond);

void BM_DogTrackScreenFullRedraw(benchmark::State& state)
{
    enterDogTrack();
    redrawWholeScreen(state);
}
BENCHMARK(BM_DogTrackScreenFullRedraw)->Unit(benchmark::kMillisecond);

// Order to arrival and a little beyond: 4,425 frames, each with the model
// tick, the screen tick, touch sampling and drawing.
void BM_WholeDelivery4425Frames(benchmark::State& state)
{
    for (auto _ : state) {
        state.PauseTiming();
        FrameDriver& d = driver();
        d.resetModel();
        d.heap.app.gotoPizzaScreenNoTransition();
        d.frames(2);
        d.tap(400, 419);
        state.ResumeTiming();
        d.frames(4425);
    }
}
BENCHMARK(BM_WholeDelivery4425Frames)->Unit(benchmark::kSecond)->Iterations(1)->UseRealTime();

// Frames of a running screen, counting the heap allocations they make.
void steadyFrames(benchmark::State& state)
{
    long allocations = 0;
    for (auto _ : state) {
        allocations += allocationsOf([] { driver().frame(); });
    }
    state.counters["allocations_per_frame"] =
        benchmark::Counter(static_cast<double>(allocations), benchmark::Counter::kAvgIterations);
}

void BM_PizzaSteadyFrame(benchmark::State& state)
{
    enterPizzaOnItsWay();
    steadyFrames(state);
}
BENCHMARK(BM_PizzaSteadyFrame)->Unit(benchmark::kMillisecond);

void BM_DogTrackSteadyFrame(benchmark::State& state)
{
    enterDogTrack();
    steadyFrames(state);
}
BENCHMARK(BM_DogTrackSteadyFrame)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
