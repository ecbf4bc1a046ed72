// Runs the firmware from power-on for a number of frames in virtual board
// time, playing a mapboard script if one is given, prints a trace line per
// frame as mapboard --trace writes it (without the host's figures), and
// writes the last frame's RGB565 pixels, row by row, to a file.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "ScriptSteps.hpp"
#include "device_models/TraceState.hpp"
#include "platform/bsp.h"
#include "sim/Board.hpp"
#include "sim/Interrupts.hpp"
#include "sim/Kernel.hpp"
#include "simulator/Script.hpp"
#include "simulator/TraceLine.hpp"
#include "startup/main.h"

namespace {

constexpr std::size_t panelPixels = std::size_t{sim::board::panelWidth} * sim::board::panelHeight;

} // namespace

int main(int argc, char** argv)
{
    if (argc != 3 && argc != 4) {
        std::fprintf(stderr, "usage: webboard_headless FRAMES OUT.rgb565 [SCRIPT]\n");
        return 2;
    }
    const std::uint64_t frames = std::strtoull(argv[1], nullptr, 10);
    const std::string out = argv[2];
    if (frames == 0) {
        std::fprintf(stderr, "FRAMES must be a positive number\n");
        return 2;
    }
    simulator::ParsedScript loaded;
    if (argc == 4) {
        loaded = simulator::loadScript(argv[3]);
        if (!loaded.error.empty()) {
            std::fprintf(stderr, "%s\n", loaded.error.c_str());
            return 2;
        }
    }
    simulator::ScriptPlayer script(std::move(loaded.events));

    std::uint64_t done = 0;
    bool quit = false;
    sim::board::powerOn();
    sim::board::onDebugSignal([&](bsp::DebugSignal signal, bool high) {
        if (signal != bsp::DebugSignal::RenderTime || high) {
            return;
        }
        ++done;
        // Drawing takes no board time in virtual time.
        simulator::TraceFrame frame{done, sim::kernelMilliseconds(), 0, {}};
        if (const std::uint16_t* shown = sim::board::shownFrame()) {
            frame.frameHash = simulator::frameHash(shown, panelPixels);
        }
        devices::TraceState state;
        devices::readTraceState(state);
        std::printf("%s\n", simulator::traceLine(frame, state, nlohmann::ordered_json::object()).dump().c_str());
        quit = web::playDueSteps(script, sim::kernelMilliseconds()) || quit;
        if (quit || done >= frames) {
            sim::stopKernel();
        }
    });
    sim::setTimeMode(sim::TimeMode::Virtual);
    // As mapboard: twice the frames' board time is plenty.
    sim::setTimeLimit(static_cast<std::uint32_t>(frames * 2 * 17 + 1000));
    board_main();
    sim::board::onDebugSignal(nullptr);
    if (!quit && done < frames) {
        std::fprintf(stderr, "the firmware stopped producing frames after frame %llu\n",
                     static_cast<unsigned long long>(done));
        return 1;
    }

    const std::uint16_t* shown = sim::board::shownFrame();
    std::FILE* file = std::fopen(out.c_str(), "wb");
    if (shown == nullptr || file == nullptr || std::fwrite(shown, 2, panelPixels, file) != panelPixels ||
        std::fclose(file) != 0) {
        std::fprintf(stderr, "cannot write %s\n", out.c_str());
        return 1;
    }
    return 0;
}
