#include "tileinspect/CollectionStats.hpp"

#include <string>

#include "tileinspect/StoredTiles.hpp"
#include "vecta/TileTranscoder.hpp"

namespace tileinspect {

namespace {

// Far more than any tile of the collection transcodes to.
constexpr std::size_t wholeBufferWords = 4u << 20;

double percent(unsigned long part, unsigned long whole)
{
    return whole == 0 ? 0.0 : 100.0 * static_cast<double>(part) / static_cast<double>(whole);
}

void printRow(std::FILE* out, const std::string& zoom, const ShapeStats& s)
{
    std::fprintf(out, "%4s %6u %8lu %6.1f%% %5lu %15lu %8lu %7.1f%% %6.1f%% %10.2f %13u %8u\n", zoom.c_str(), s.tiles,
                 s.rings, percent(s.flatRings, s.rings), s.wideFlatRings, s.holesLeftOut, s.lines,
                 percent(s.linesToEnds, s.lines), percent(s.bentLinesToEnds, s.lines), s.largestDeviation,
                 s.medianBytes(), s.largestBytes());
}

} // namespace

CollectionStats collectionStats()
{
    CollectionStats stats;
    std::vector<std::uint32_t> buffer(wholeBufferWords);
    for (const StoredTile& tile : storedTiles()) {
        tallyTile(std::string(tile.bytes, tile.size), tile.zoom, buffer, stats[tile.zoom - tilelib::minZoom]);
    }
    return stats;
}

void printCollectionStats(std::FILE* out, const CollectionStats& stats)
{
    std::fprintf(out,
                 "every tile transcoded at its own zoom level, with room for everything;\n"
                 "flat: rings thinned to two distinct points or fewer, wide: of those spanning more than %d "
                 "units;\nto ends: lines thinned to their end points, bent: of those with more points in the "
                 "tile;\ndeviation: farthest source point from its thinned path, tile units;\n"
                 "bytes: segment buffer per tile, the median of the tiles that draw anything\n",
                 int{vecta::TileTranscoder::thinningDistance});
    std::fprintf(out, "zoom  tiles    rings    flat  wide  holes left out    lines  to ends    bent  deviation"
                      "  bytes median  largest\n");
    ShapeStats total;
    for (unsigned int level = 0; level < stats.size(); ++level) {
        total.add(stats[level]);
        printRow(out, std::to_string(tilelib::minZoom + level), stats[level]);
    }
    printRow(out, "all", total);
    if (total.unmatched != 0) {
        std::fprintf(out, "%lu thinned paths do not match their source\n", total.unmatched);
    }
}

} // namespace tileinspect
