// One full redraw of the menu screen: the two background boxes and
// the two button images, drawn into the frame buffer by the frame loop.

#include <benchmark/benchmark.h>

#include "board_config/BoardConfig.hpp"
#include "board_glue/FrameBuffers.hpp"
#include "common/FrontendSetup.hpp"
#include "ui/HALGPU.hpp"
#include "ui/LCDGPU.hpp"

namespace {

class NoTouch : public ui::TouchController {
public:
    void init() override {}
    bool sampleTouch(std::int32_t&, std::int32_t&) override { return false; }
};

void menuRedraw(benchmark::State& state)
{
    ui::LCDGPU lcd;
    NoTouch touch;
    ui::HALGPU hal(lcd, touch, board::panelWidth, board::panelHeight);
    gpu_sys_init();
    hal.setFrameBufferStartAddresses(frameBuf, frameBuf + frameBufferPixels, nullptr);
    hal.initialize();
    FrontendHeap& heap = setupFrontend();
    heap.app.gotoMenuScreenNoTransition();
    hal.tick();
    hal.vSync();
    for (auto _ : state) {
        heap.app.invalidate();
        hal.tick();
        hal.vSync();
    }
}

} // namespace

BENCHMARK(menuRedraw)->Unit(benchmark::kMillisecond);

BENCHMARK_MAIN();
