// Transcoding speed on a dense synthetic street tile of about 100 KB.

#include <benchmark/benchmark.h>

#include <vector>

#include "mvtsample/SyntheticTile.hpp"
#include "vecta/TileTranscoder.hpp"

namespace {

void BM_DecodeDenseTile(benchmark::State& state)
{
    const std::string tile = mvt::makeSyntheticTile(7, 100 * 1024);
    // Large enough that every feature fits, so the whole tile is measured.
    std::vector<std::uint32_t> slot(1u << 20);
    static vecta::TileTranscoder transcoder;
    std::size_t segments = 0;
    for (auto _ : state) {
        vecta::BufferWriter writer(slot.data(), static_cast<unsigned int>(slot.size() * 4));
        writer.realign();
        const unsigned int bytes = transcoder.decode(tile.data(), static_cast<unsigned int>(tile.size()), 16, writer);
        vecta::BufferReader reader(slot.data(), bytes);
        while (vecta::TileTranscoder::readNextSegment(reader).header != nullptr) {
            ++segments;
        }
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * tile.size()));
    state.counters["segments/s"] = benchmark::Counter(static_cast<double>(segments), benchmark::Counter::kIsRate);
    state.counters["tile_bytes"] = static_cast<double>(tile.size());
}
BENCHMARK(BM_DecodeDenseTile)->Unit(benchmark::kMicrosecond);

} // namespace

BENCHMARK_MAIN();
