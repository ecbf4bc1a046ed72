#include "TileReadCheck.hpp"

#include <cerrno>
#include <cstring>
#include <new>
#include <vector>

#include <sys/mman.h>
#include <sys/wait.h>
#include <unistd.h>

#include "board_config/BoardConfig.hpp"
#include "platform/flash.h"
#include "tile_fetcher/tilelib.h"
#include "vecta/Buffer.hpp"
#include "vecta/TileTranscoder.hpp"

namespace sim {

namespace {

// Written by the child before each tile, read by the parent after a failure.
struct TileInProgress {
    std::uint32_t x;
    std::uint32_t y;
    std::uint32_t zoom;
};

std::uint32_t wordAt(const std::uint8_t* image, std::uint32_t address)
{
    std::uint32_t value = 0;
    std::memcpy(&value, image + (address - flashBaseAddress), sizeof value);
    return value;
}

[[noreturn]] void readTilesAndExit(const std::uint8_t* image, TileInProgress* progress)
{
    static vecta::TileTranscoder transcoder;
    std::vector<std::uint32_t> slot(board::cacheSlotBytes / sizeof(std::uint32_t));
    for (std::uint32_t level = 0; level < tilelib::zoomLevels; ++level) {
        const std::uint32_t batch = wordAt(image, flashBaseAddress + 4 * level);
        const std::uint32_t tiles = wordAt(image, batch);
        const std::uint32_t count = wordAt(image, batch + 4);
        const std::uint32_t minX = wordAt(image, batch + 8);
        const std::uint32_t width = wordAt(image, batch + 12) - minX + 1;
        const std::uint32_t minY = wordAt(image, batch + 16);
        for (std::uint32_t i = 0; tiles != 0 && i < count; ++i) {
            const std::uint32_t data = wordAt(image, tiles + 8 * i);
            const std::uint32_t size = wordAt(image, tiles + 8 * i + 4);
            if (size == 0) {
                continue;
            }
            *progress = TileInProgress{minX + i % width, minY + i / width, tilelib::minZoom + level};
            vecta::BufferWriter writer(slot.data(), board::cacheSlotBytes);
            transcoder.decode(reinterpret_cast<const char*>(image + (data - flashBaseAddress)), size,
                              static_cast<unsigned char>(tilelib::minZoom + level), writer);
            // The board would draw nothing of it.
            if (transcoder.damagedTiles() != 0) {
                static constexpr char damaged[] = "the tile is damaged\n";
                [[maybe_unused]] const ssize_t written = write(STDERR_FILENO, damaged, sizeof damaged - 1);
                _exit(1);
            }
        }
    }
    _exit(0);
}

std::string firstLine(const std::string& text)
{
    return text.substr(0, text.find('\n'));
}

} // namespace

std::string readEveryTile(const std::uint8_t* image)
{
    void* shared = mmap(nullptr, sizeof(TileInProgress), PROT_READ | PROT_WRITE, MAP_SHARED | MAP_ANONYMOUS, -1, 0);
    if (shared == MAP_FAILED) {
        return std::string("cannot set up the tile check: ") + std::strerror(errno);
    }
    auto* progress = new (shared) TileInProgress{0, 0, 0};
    int output[2];
    if (pipe(output) != 0) {
        munmap(shared, sizeof(TileInProgress));
        return std::string("cannot set up the tile check: ") + std::strerror(errno);
    }
    const pid_t child = fork();
    if (child == 0) {
        // The library's assertion message comes back through the pipe.
        close(output[0]);
        dup2(output[1], STDERR_FILENO);
        close(output[1]);
        readTilesAndExit(image, progress);
    }
    close(output[1]);
    std::string messages;
    char buffer[512];
    for (ssize_t got = 0; (got = read(output[0], buffer, sizeof buffer)) != 0;) {
        if (got > 0) {
            messages.append(buffer, static_cast<std::size_t>(got));
        } else if (errno != EINTR) {
            break;
        }
    }
    close(output[0]);

    std::string problem;
    int status = 0;
    if (child < 0 || waitpid(child, &status, 0) != child) {
        problem = std::string("cannot run the tile check: ") + std::strerror(errno);
    } else if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) {
        problem = "tile " + std::to_string(progress->x) + "/" + std::to_string(progress->y) + "/" +
                  std::to_string(progress->zoom) + " cannot be read by the map library";
        if (!messages.empty()) {
            problem += " (" + firstLine(messages) + ")";
        }
    }
    munmap(shared, sizeof(TileInProgress));
    return problem;
}

} // namespace sim
