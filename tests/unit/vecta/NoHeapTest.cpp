// Decoding a tile must not touch the heap: the firmware has none to spare.

#include <gtest/gtest.h>

#include <atomic>
#include <cstdlib>
#include <new>
#include <vector>

#include "SyntheticTile.hpp"
#include "vecta/TileTranscoder.hpp"

namespace {

std::atomic<std::size_t> allocations{0};

} // namespace

void* operator new(std::size_t size)
{
    ++allocations;
    if (void* memory = std::malloc(size == 0 ? 1 : size)) {
        return memory;
    }
    throw std::bad_alloc();
}

// The replacement pair allocates with malloc, so free is the matching release.
#pragma GCC diagnostic ignored "-Wmismatched-new-delete"

void operator delete(void* memory) noexcept
{
    std::free(memory);
}

void operator delete(void* memory, std::size_t) noexcept
{
    std::free(memory);
}

TEST(NoHeap, DecodingAndReadingSegmentsAllocateNothing)
{
    const std::string tile = mvt::makeSyntheticTile(3, 100 * 1024);
    std::vector<std::uint32_t> slot(71680 / 4);
    static vecta::TileTranscoder transcoder;

    const std::size_t before = allocations.load();
    vecta::BufferWriter writer(slot.data(), 71680);
    writer.realign();
    const unsigned int bytes = transcoder.decode(tile.data(), static_cast<unsigned int>(tile.size()), 16, writer);
    vecta::BufferReader reader(slot.data(), bytes);
    unsigned int segments = 0;
    while (vecta::TileTranscoder::readNextSegment(reader).header != nullptr) {
        ++segments;
    }
    EXPECT_EQ(allocations.load(), before);
    EXPECT_GT(segments, 100u);
}
