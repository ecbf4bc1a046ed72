// Runs the firmware from power-on for a number of frames in virtual board
// time and writes the shown frame's RGB565 pixels, row by row, to a file.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "board/main.h"
#include "platform/bsp.h"
#include "sim/Board.hpp"
#include "sim/Kernel.hpp"

int main(int argc, char** argv)
{
    if (argc != 3) {
        std::fprintf(stderr, "usage: webboard_headless FRAMES OUT.rgb565\n");
        return 2;
    }
    const std::uint64_t frames = std::strtoull(argv[1], nullptr, 10);
    const std::string out = argv[2];
    if (frames == 0) {
        std::fprintf(stderr, "FRAMES must be a positive number\n");
        return 2;
    }

    std::uint64_t done = 0;
    sim::board::powerOn();
    sim::board::onDebugSignal([&](bsp::DebugSignal signal, bool high) {
        if (signal == bsp::DebugSignal::RenderTime && !high && ++done >= frames) {
            sim::stopKernel();
        }
    });
    sim::setTimeMode(sim::TimeMode::Virtual);
    // As mapboard: twice the frames' board time is plenty.
    sim::setTimeLimit(static_cast<std::uint32_t>(frames * 2 * 17 + 1000));
    board_main();
    sim::board::onDebugSignal(nullptr);
    if (done < frames) {
        std::fprintf(stderr, "the firmware stopped producing frames after frame %llu\n",
                     static_cast<unsigned long long>(done));
        return 1;
    }

    const std::uint16_t* shown = sim::board::shownFrame();
    std::FILE* file = std::fopen(out.c_str(), "wb");
    const std::size_t pixels = std::size_t{sim::board::panelWidth} * sim::board::panelHeight;
    if (shown == nullptr || file == nullptr || std::fwrite(shown, 2, pixels, file) != pixels ||
        std::fclose(file) != 0) {
        std::fprintf(stderr, "cannot write %s\n", out.c_str());
        return 1;
    }
    std::printf("%llu frames, last frame written to %s\n", static_cast<unsigned long long>(done), out.c_str());
    return 0;
}
