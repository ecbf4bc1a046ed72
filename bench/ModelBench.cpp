// Per-frame cost of the application model: the route and trail caches are
// recomputed with the projection whenever the map moves.

#include <benchmark/benchmark.h>

#include <memory>

#include "model/Model.hpp"

namespace {

void BM_DirectionsCache(benchmark::State& state)
{
    auto model = std::make_unique<Model>();
    for (auto _ : state) {
        model->getPizzaModel().updateDirectionsCache();
        benchmark::DoNotOptimize(CachedDirections.data());
    }
    state.SetItemsProcessed(static_cast<std::int64_t>(state.iterations() * directionsPointCount));
}
BENCHMARK(BM_DirectionsCache);

void BM_FullTrailCache(benchmark::State& state)
{
    auto model = std::make_unique<Model>();
    model->setActiveScreen(ActiveScreen::DogTrack);
    for (int frame = 0; frame < 3000; ++frame) {
        model->tick();
    }
    for (auto _ : state) {
        model->getDogTrackModel().updateTrailCache();
        benchmark::DoNotOptimize(model->getDogTrackModel().getTrails().data());
    }
    state.SetItemsProcessed(static_cast<std::int64_t>(state.iterations() * dogCount * DOG_TRAIL_SIZE));
}
BENCHMARK(BM_FullTrailCache);

// A whole delivery in follow mode, reported per frame.
void BM_PizzaFollowFrame(benchmark::State& state)
{
    auto model = std::make_unique<Model>();
    model->setActiveScreen(ActiveScreen::Pizza);
    for (auto _ : state) {
        model->getPizzaModel().setPizzaState(PizzaState::Idle);
        model->getPizzaModel().setPizzaState(PizzaState::OnItsWay);
        while (model->getPizzaModel().getPizzaState() == PizzaState::OnItsWay) {
            model->tick();
        }
    }
    state.counters["time_per_frame"] = benchmark::Counter(static_cast<double>(state.iterations() * 177 * 25),
                                                          benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
    state.counters["model_bytes"] = sizeof(Model);
}
BENCHMARK(BM_PizzaFollowFrame)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
