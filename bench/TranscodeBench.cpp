// The transcoder against a plain protobuf walk of the same stored tiles, in
// one run: for each group of tiles, every iteration walks them with protozero
// (every layer, feature, property and geometry point) and transcodes them
// into a map cache slot and reads them back as the map widget does. Reports
// MB/s of tile bytes for both, in processor time, and the ratio transcode /
// walk (above 1: the transcoder is the faster).

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdint>
#include <ctime>
#include <string>
#include <vector>

#include <protozero/pbf_reader.hpp>

#include "board_config/BoardConfig.hpp"
#include "tileinspect/StoredTiles.hpp"
#include "vecta/TileTranscoder.hpp"

namespace {

using tileinspect::StoredTile;

std::uint64_t walkValue(protozero::pbf_reader value)
{
    std::uint64_t sum = 0;
    while (value.next()) {
        switch (value.tag()) {
        case 1:
            sum += value.get_view().size();
            break;
        case 2:
            sum += static_cast<std::uint64_t>(value.get_float());
            break;
        case 3:
            sum += static_cast<std::uint64_t>(value.get_double());
            break;
        case 4:
            sum += static_cast<std::uint64_t>(value.get_int64());
            break;
        case 5:
            sum += value.get_uint64();
            break;
        case 6:
            sum += static_cast<std::uint64_t>(value.get_sint64());
            break;
        case 7:
            sum += value.get_bool() ? 1 : 0;
            break;
        default:
            value.skip();
        }
    }
    return sum;
}

// Every point of the geometry, through its commands and zig-zag deltas.
std::uint64_t walkGeometry(protozero::pbf_reader& feature)
{
    const auto integers = feature.get_packed_uint32();
    std::uint64_t sum = 0;
    std::int32_t x = 0;
    std::int32_t y = 0;
    for (auto it = integers.begin(); it != integers.end();) {
        const std::uint32_t command = *it++;
        const std::uint32_t parameters = (command & 7u) == 7u ? 0 : command >> 3;
        for (std::uint32_t i = 0; i < parameters && it != integers.end(); ++i) {
            x += protozero::decode_zigzag32(*it++);
            if (it == integers.end()) {
                break;
            }
            y += protozero::decode_zigzag32(*it++);
            sum += static_cast<std::uint32_t>(x ^ y);
        }
    }
    return sum;
}

std::uint64_t walkFeature(protozero::pbf_reader feature)
{
    std::uint64_t sum = 0;
    while (feature.next()) {
        switch (feature.tag()) {
        case 1:
            sum += feature.get_uint64();
            break;
        case 2:
            for (const std::uint32_t index : feature.get_packed_uint32()) {
                sum += index;
            }
            break;
        case 3:
            sum += static_cast<std::uint32_t>(feature.get_enum());
            break;
        case 4:
            sum += walkGeometry(feature);
            break;
        default:
            feature.skip();
        }
    }
    return sum;
}

std::uint64_t walkLayer(protozero::pbf_reader layer)
{
    std::uint64_t sum = 0;
    while (layer.next()) {
        switch (layer.tag()) {
        case 1:
        case 3:
            sum += layer.get_view().size();
            break;
        case 2:
            sum += walkFeature(layer.get_message());
            break;
        case 4:
            sum += walkValue(layer.get_message());
            break;
        case 5:
        case 15:
            sum += layer.get_uint32();
            break;
        default:
            layer.skip();
        }
    }
    return sum;
}

// Kept out of line, so that a profile shows the two sides apart.
[[gnu::noinline]] std::uint64_t walkTiles(const std::vector<StoredTile>& tiles)
{
    std::uint64_t sum = 0;
    for (const StoredTile& tile : tiles) {
        protozero::pbf_reader reader(tile.bytes, tile.size);
        while (reader.next(3)) {
            sum += walkLayer(reader.get_message());
        }
    }
    return sum;
}

[[gnu::noinline]] std::uint64_t transcodeTiles(const std::vector<StoredTile>& tiles, vecta::TileTranscoder& transcoder,
                                               std::vector<std::uint32_t>& slot)
{
    std::uint64_t sum = 0;
    for (const StoredTile& tile : tiles) {
        vecta::BufferWriter writer(slot.data(), board::cacheSlotBytes);
        writer.realign();
        const unsigned int bytes = transcoder.decode(tile.bytes, tile.size, tile.zoom, writer);
        vecta::BufferReader reader(slot.data(), bytes);
        for (vecta::Segment segment = vecta::TileTranscoder::readNextSegment(reader); segment.header != nullptr;
             segment = vecta::TileTranscoder::readNextSegment(reader)) {
            sum += segment.header->style_id + segment.payload.size;
        }
    }
    return sum;
}

// The thread's own processor time: other programs on a shared machine do not
// count, so the two sides stay comparable.
double threadSeconds()
{
    timespec now{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) * 1e-9;
}

void BM_TranscodeAgainstWalk(benchmark::State& state, const std::vector<StoredTile>& tiles)
{
    static vecta::TileTranscoder transcoder;
    std::vector<std::uint32_t> slot(board::cacheSlotBytes / 4);
    std::uint64_t tileBytes = 0;
    for (const StoredTile& tile : tiles) {
        tileBytes += tile.size;
    }
    double walking = 0;
    double transcoding = 0;
    for (auto _ : state) {
        const double start = threadSeconds();
        benchmark::DoNotOptimize(walkTiles(tiles));
        const double walked = threadSeconds();
        benchmark::DoNotOptimize(transcodeTiles(tiles, transcoder, slot));
        transcoding += threadSeconds() - walked;
        walking += walked - start;
    }
    const double megabytes = static_cast<double>(tileBytes) * static_cast<double>(state.iterations()) / 1e6;
    state.counters["tiles"] = static_cast<double>(tiles.size());
    state.counters["tile_MB"] = static_cast<double>(tileBytes) / 1e6;
    state.counters["walk_MB/s"] = megabytes / walking;
    state.counters["transcode_MB/s"] = megabytes / transcoding;
    state.counters["ratio"] = walking / transcoding;
}

std::vector<StoredTile> atZoom(const std::vector<StoredTile>& all, unsigned int low, unsigned int high)
{
    std::vector<StoredTile> chosen;
    std::copy_if(all.begin(), all.end(), std::back_inserter(chosen),
                 [low, high](const StoredTile& tile) { return tile.zoom >= low && tile.zoom <= high; });
    return chosen;
}

std::vector<StoredTile> largest(std::vector<StoredTile> tiles, std::size_t count)
{
    std::sort(tiles.begin(), tiles.end(), [](const StoredTile& a, const StoredTile& b) { return a.size > b.size; });
    tiles.resize(std::min(count, tiles.size()));
    return tiles;
}

// The levels the board shows the streets at.
const bool registered = [] {
    const std::vector<StoredTile> all = tileinspect::storedTiles();
    const auto add = [](const std::string& name, std::vector<StoredTile> tiles) {
        benchmark::RegisterBenchmark(("BM_TranscodeAgainstWalk/" + name).c_str(), [tiles = std::move(tiles)](
                                                                                      benchmark::State& state) {
            BM_TranscodeAgainstWalk(state, tiles);
        })->Unit(benchmark::kMillisecond);
    };
    add("zoom14", atZoom(all, 14, 14));
    add("zoom15", atZoom(all, 15, 15));
    add("zoom16", atZoom(all, 16, 16));
    add("zoom14to16", atZoom(all, 14, 16));
    add("largest20_zoom14to16", largest(atZoom(all, 14, 16), 20));
    return true;
}();

} // namespace

BENCHMARK_MAIN();
