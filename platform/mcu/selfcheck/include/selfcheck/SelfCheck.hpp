#pragma once

#include <cstddef>
#include <cstdint>

// The firmware's core computing checksums of what it produces, the same
// source on the emulated board and on the PC, so that the two can be
// compared. Checksums are FNV-1a over little-endian bytes.
namespace selfcheck {

// Counts the work a step takes on the platform that can (the emulator);
// elsewhere it counts nothing.
using WorkCounter = std::uint64_t (*)();

struct Outcome {
    std::uint32_t items;    // tiles transcoded, or frames run
    std::uint32_t checksum; // of everything the step produced
    std::uint64_t work;     // counted over the measured part only
    std::uint64_t worst;    // the most one item took
};

// A stored tile's bytes; null data when the collection has none there.
struct StoredTile {
    const char* data;
    std::uint32_t size;
};

// Where the collection's tiles are read from.
using TileSource = StoredTile (*)(std::uint32_t x, std::uint32_t y, std::uint8_t zoom);

// Straight from the tile collection in flash.
StoredTile readFromFlash(std::uint32_t x, std::uint32_t y, std::uint8_t zoom);

// Creates the task that signals a vertical sync every millisecond through a
// one-message queue, as the display interrupt does; call before the kernel
// starts.
void startFrames();

// Waits for the next vertical sync as the GUI task does: a stale signal is
// dropped first.
void waitForFrame();

// Through the tile fetcher task, as the map view gets them: submit, then
// poll once a frame until the result is there.
StoredTile fetchThroughTask(std::uint32_t x, std::uint32_t y, std::uint8_t zoom);

// Every tile of the collection's address ranges from `source` through the
// map cache: moved to the tile, transcoded into its 71,680-byte slot, read
// back. Addresses without a stored tile are skipped.
Outcome transcodeCollection(WorkCounter counter, TileSource source);

// The pizza delivery from the order to arrival and a little beyond: map
// position, courier step and route cache after every frame.
Outcome runPizzaDelivery(std::uint32_t frames, WorkCounter counter);

// The dog walk: positions, headings and trails after every frame.
Outcome runDogWalk(std::uint32_t frames, WorkCounter counter);

// The map's placement matrix at every tenth of a degree of one turn each
// way: the framework's rotation must give the same bits on both platforms.
Outcome turnMap(WorkCounter counter);

// "<step> <items> checksum <hex>", the line both platforms print.
void formatChecksumLine(char* text, std::size_t size, const char* step, const Outcome& outcome);

constexpr std::uint32_t pizzaFrames = 4600;
constexpr std::uint32_t dogFrames = 3200;

} // namespace selfcheck
