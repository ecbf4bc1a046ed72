#include "tilepack/Report.hpp"

#include <algorithm>
#include <map>
#include <string>
#include <utility>

#include "board_config/BoardConfig.hpp"
#include "tilepack/MvtWriter.hpp"
#include "tilepack/PolygonPieces.hpp"

namespace tilepack {

namespace {

void printTile(std::FILE* out, const char* label, const TileRecord& record)
{
    std::fprintf(out, "  %-8s %8u bytes  (tile %u/%u/%u)\n", label, record.bytes, record.address.x, record.address.y,
                 unsigned{record.address.zoom});
}

// Holes too small to show and polygons cut so that a segment holds them.
void printPolygonLimits(std::FILE* out, const BuiltCollection& collection)
{
    std::map<unsigned int, std::pair<unsigned int, unsigned int>> perZoom;
    for (const TileRecord& record : collection.records) {
        auto& [holes, polygons] = perZoom[record.address.zoom];
        holes += record.holesLeftOut;
        polygons += record.polygonsSplit;
    }
    std::fprintf(out,
                 "holes left out as too small to show / polygons cut for more than %zu holes, per zoom:", maxHoles);
    for (const auto& [zoom, counts] : perZoom) {
        std::fprintf(out, " %u:%u/%u", zoom, counts.first, counts.second);
    }
    std::fprintf(out, "\n");
}

// Properties left out where a layer had more values than the reader takes.
void printDroppedProperties(std::FILE* out, const BuiltCollection& collection)
{
    std::map<std::string, unsigned int> tilesPerKey;
    for (const TileRecord& record : collection.records) {
        for (const std::string& key : record.droppedKeys) {
            ++tilesPerKey[key];
        }
    }
    if (tilesPerKey.empty()) {
        return;
    }
    std::fprintf(
        out, "properties dropped where a layer held more than %zu distinct values (\"class\" kept):", maxLayerValues);
    for (const auto& [key, tiles] : tilesPerKey) {
        std::fprintf(out, " %s in %u tiles;", key.c_str(), tiles);
    }
    std::fprintf(out, "\n");
}

} // namespace

void printReport(std::FILE* out, const BuiltCollection& collection, std::size_t imageBytes, double seconds)
{
    std::map<unsigned int, unsigned int> perZoom;
    std::map<unsigned int, std::uint32_t> largestPerZoom;
    for (const TileRecord& record : collection.records) {
        ++perZoom[record.address.zoom];
        largestPerZoom[record.address.zoom] = std::max(largestPerZoom[record.address.zoom], record.bytes);
    }
    std::fprintf(out, "tiles per zoom:");
    for (const auto& [zoom, count] : perZoom) {
        std::fprintf(out, " %u:%u", zoom, count);
    }
    std::fprintf(out, "  (%zu tiles%s)\n", collection.records.size(), collection.absentTile ? ", 1 absent" : "");
    std::fprintf(out, "largest tile per zoom (bytes):");
    for (const auto& [zoom, bytes] : largestPerZoom) {
        std::fprintf(out, " %u:%u", zoom, bytes);
    }
    std::fprintf(out, "\n");
    printPolygonLimits(out, collection);
    printDroppedProperties(out, collection);
    std::fprintf(out, "image: %zu bytes\n", imageBytes);

    std::vector<TileRecord> bySize = collection.records;
    std::stable_sort(bySize.begin(), bySize.end(),
                     [](const TileRecord& a, const TileRecord& b) { return a.bytes < b.bytes; });
    if (!bySize.empty()) {
        std::fprintf(out, "tile sizes:\n");
        printTile(out, "smallest", bySize.front());
        printTile(out, "median", bySize[bySize.size() / 2]);
        printTile(out, "largest", bySize.back());
    }

    std::vector<const TileRecord*> overflowing;
    for (const TileRecord& record : collection.records) {
        if (record.check.overflowsSlot()) {
            overflowing.push_back(&record);
        }
    }
    std::fprintf(out, "tiles that lose features to the %u-byte cache slot: %zu\n", board::cacheSlotBytes,
                 overflowing.size());
    for (const TileRecord* record : overflowing) {
        std::fprintf(out, "  %u/%u/%u: %u of %u segments kept (%u of %u bytes)\n", record->address.x, record->address.y,
                     unsigned{record->address.zoom}, record->check.slotSegments, record->check.wholeSegments,
                     record->check.slotBytes, record->check.wholeBytes);
    }
    std::fprintf(out, "time: %.1f s\n", seconds);
}

} // namespace tilepack
