// Reads one vector tile and prints what the map library makes of it: layers,
// feature counts, style keys and the segment buffer for one zoom level; or,
// with --collection, how the whole collection's shapes come through thinning.

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <string>
#include <utility>
#include <vector>

#include "board_config/BoardConfig.hpp"
#include "mvtsample/SyntheticTile.hpp"
#include "platform/flash.h"
#include "sim/FlashLoader.hpp"
#include "tile_fetcher/tilelib.h"
#include "tileinspect/CollectionStats.hpp"
#include "tileinspect/KnownNames.hpp"
#include "vecta/MapStyle.hpp"
#include "vecta/StringHash.hpp"
#include "vecta/TileTranscoder.hpp"
#include "vecta/VectorTile.hpp"

namespace {

struct Options {
    std::string file;
    bool demo = false;
    bool fromFlash = false;
    bool collection = false;
    unsigned int tileX = 0;
    unsigned int tileY = 0;
    unsigned int tileZoom = 0;
    std::string flashImage;
    bool zoomGiven = false;
    unsigned int zoom = 14;
    unsigned int slot = board::cacheSlotBytes;
};

[[noreturn]] void usage(int status)
{
    std::fprintf(status == 0 ? stdout : stderr,
                 "usage: tileinspect [--zoom Z] [--slot BYTES] FILE.mvt\n"
                 "       tileinspect --tile X Y Z [--flash IMAGE] [--zoom Z] [--slot BYTES]\n"
                 "       tileinspect --demo [--zoom Z] [--slot BYTES]\n"
                 "       tileinspect --collection [--flash IMAGE]\n"
                 "\n"
                 "Prints the layers, feature counts and style keys of one vector tile and\n"
                 "the segment buffer it transcodes to.\n"
                 "  --zoom Z        zoom level whose style rules apply (default 14, or the\n"
                 "                  tile's own zoom with --tile)\n"
                 "  --slot BYTES    size of the destination slot (default %u, a cache slot)\n"
                 "  --tile X Y Z    inspect tile (X, Y, Z) of the stored tile collection\n"
                 "  --flash IMAGE   use this tile collection image instead of the built-in one\n"
                 "  --demo          inspect a generated dense street tile instead of a file\n"
                 "  --collection    per zoom level: rings and lines thinned flat, how far thinned\n"
                 "                  paths stray from the tile's points, segment buffer sizes\n",
                 board::cacheSlotBytes);
    std::exit(status);
}

unsigned int parseNumber(const char* option, const char* text)
{
    char* end = nullptr;
    const unsigned long value = std::strtoul(text, &end, 10);
    if (text[0] == '\0' || *end != '\0' || value > 1u << 30) {
        std::fprintf(stderr, "tileinspect: %s needs a whole number, got \"%s\"\n", option, text);
        std::exit(2);
    }
    return static_cast<unsigned int>(value);
}

Options parse(int argc, char** argv)
{
    Options options;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        const bool hasValue = i + 1 < argc;
        if (arg == "--help" || arg == "-h") {
            usage(0);
        } else if (arg == "--demo") {
            options.demo = true;
        } else if (arg == "--collection") {
            options.collection = true;
        } else if (arg == "--zoom" && hasValue) {
            options.zoom = parseNumber("--zoom", argv[++i]);
            options.zoomGiven = true;
        } else if (arg == "--tile" && i + 3 < argc) {
            options.fromFlash = true;
            options.tileX = parseNumber("--tile", argv[++i]);
            options.tileY = parseNumber("--tile", argv[++i]);
            options.tileZoom = parseNumber("--tile", argv[++i]);
        } else if (arg == "--flash" && hasValue) {
            options.flashImage = argv[++i];
            if (options.flashImage.empty()) {
                std::fprintf(stderr, "tileinspect: --flash needs a file name\n");
                std::exit(2);
            }
        } else if (arg == "--slot" && hasValue) {
            options.slot = parseNumber("--slot", argv[++i]);
        } else if (!arg.empty() && arg[0] != '-' && options.file.empty()) {
            options.file = arg;
        } else {
            std::fprintf(stderr, "tileinspect: unexpected argument \"%s\"\n", arg.c_str());
            usage(2);
        }
    }
    const int sources =
        int{options.demo} + int{options.fromFlash} + int{options.collection} + int{!options.file.empty()};
    if (sources != 1 || (!options.flashImage.empty() && !options.fromFlash && !options.collection)) {
        usage(2);
    }
    if (options.fromFlash && !options.zoomGiven) {
        options.zoom = options.tileZoom;
    }
    return options;
}

std::string readFile(const std::string& path)
{
    std::error_code unknown;
    if (std::filesystem::is_directory(path, unknown)) {
        std::fprintf(stderr, "tileinspect: cannot read %s: it is a folder, not a tile file\n", path.c_str());
        std::exit(1);
    }
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        std::fprintf(stderr, "tileinspect: cannot read %s: %s\n", path.c_str(), std::strerror(errno));
        std::exit(1);
    }
    return std::string(std::istreambuf_iterator<char>(in), {});
}

void printLayers(const std::string& tile, const vecta::LevelStyle& level)
{
    static constexpr std::uint32_t classHash = vecta::stringHash("class");
    static constexpr std::uint32_t defaultHash = vecta::stringHash("default");
    alignas(8) static std::uint8_t arenaStorage[8192];
    vecta::MemoryArena arena{arenaStorage, sizeof arenaStorage, 0};
    vecta::VectorTile reader(tile.data(), static_cast<unsigned int>(tile.size()), &arena);

    std::map<std::pair<std::string, std::string>, unsigned int> styleKeys;
    std::printf("layers:\n");
    for (vecta::Layer layer = reader.nextLayer(); layer.isValid(); layer = reader.nextLayer()) {
        std::printf("  %-16s version %u, extent %u, %u features, %u keys, %u values\n", nameOf(layer.nameHash).c_str(),
                    layer.version, layer.extent, layer.featureCount, unsigned{layer.keys_size},
                    unsigned{layer.values_size});
        for (vecta::Feature feature = layer.nextFeature(); feature.isValid(); feature = layer.nextFeature()) {
            std::uint32_t featureClass = defaultHash;
            for (auto property = feature.nextProperty(); !property.isEnd(); property = feature.nextProperty()) {
                if (property.keyHash == classHash && property.value.type == vecta::PropertyValueType::StringValue) {
                    featureClass = property.value.string_value();
                    break;
                }
            }
            ++styleKeys[{nameOf(layer.nameHash), nameOf(featureClass)}];
        }
    }
    std::printf("style keys (layer / class: features, rule at this zoom):\n");
    for (const auto& [key, count] : styleKeys) {
        const vecta::LayerStyle* rule =
            level.find(vecta::stringHash(key.first.c_str()) + vecta::stringHash(key.second.c_str()));
        std::string verdict = "no rule";
        if (rule != nullptr) {
            char text[64];
            std::snprintf(text, sizeof text, "opacity %u, width %g, colour %06X", unsigned{rule->opacity},
                          static_cast<double>(rule->width), rule->color & 0xFFFFFFu);
            verdict = rule->opacity == 0 ? "not drawn (opacity 0)" : text;
        }
        std::printf("  %-16s / %-20s %6u  %s\n", key.first.c_str(), key.second.c_str(), count, verdict.c_str());
    }
}

struct SegmentStats {
    unsigned int bytes = 0;
    unsigned int segments = 0;
    unsigned int lines = 0;
    unsigned int polygons = 0;
    unsigned int rings = 0;
    unsigned long points = 0;
};

SegmentStats transcode(const std::string& tile, unsigned int zoom, std::vector<std::uint32_t>& slot)
{
    static vecta::TileTranscoder transcoder;
    vecta::BufferWriter writer(slot.data(), static_cast<unsigned int>(slot.size() * sizeof(std::uint32_t)));
    writer.realign();
    SegmentStats stats;
    stats.bytes = transcoder.decode(tile.data(), static_cast<unsigned int>(tile.size()),
                                    static_cast<unsigned char>(zoom), writer);
    vecta::BufferReader reader(slot.data(), stats.bytes);
    for (vecta::Segment segment = vecta::TileTranscoder::readNextSegment(reader); segment.header != nullptr;
         segment = vecta::TileTranscoder::readNextSegment(reader)) {
        ++stats.segments;
        stats.points += segment.header->point_count;
        if (segment.header->path_style == vecta::Polygon) {
            ++stats.polygons;
            stats.rings += segment.header->close_count;
        } else {
            ++stats.lines;
        }
    }
    return stats;
}

void loadFlash(const Options& options)
{
    if (!options.flashImage.empty()) {
        const std::string problem = sim::loadFlashImage(options.flashImage);
        if (!problem.empty()) {
            std::fprintf(stderr, "tileinspect: %s\n", problem.c_str());
            std::exit(1);
        }
    }
}

// The bytes of one tile of the flash content, as the fetcher task finds them.
std::string readFlashTile(const Options& options)
{
    loadFlash(options);
    if (options.tileZoom > 255) {
        std::fprintf(stderr, "tileinspect: zoom %u is outside the collection\n", options.tileZoom);
        std::exit(1);
    }
    const TileEntry* entry = tilelib_getTile(options.tileX, options.tileY, static_cast<std::uint8_t>(options.tileZoom));
    const void* bytes = entry->size != 0 ? flash_pointer(entry->data, entry->size) : nullptr;
    if (bytes == nullptr) {
        std::fprintf(stderr, "tileinspect: the collection holds no tile %u/%u/%u\n", options.tileX, options.tileY,
                     options.tileZoom);
        std::exit(1);
    }
    return std::string(static_cast<const char*>(bytes), entry->size);
}

std::string describeSource(const Options& options)
{
    if (options.demo) {
        return "generated demo street tile";
    }
    if (options.fromFlash) {
        return "flash tile " + std::to_string(options.tileX) + "/" + std::to_string(options.tileY) + "/" +
               std::to_string(options.tileZoom) +
               (options.flashImage.empty() ? " (built-in collection)" : " of " + options.flashImage);
    }
    return options.file;
}

} // namespace

int main(int argc, char** argv)
{
    const Options options = parse(argc, argv);
    if (options.collection) {
        loadFlash(options);
        tileinspect::printCollectionStats(stdout, tileinspect::collectionStats());
        return 0;
    }
    const std::string tile = options.demo        ? mvt::makeSyntheticTile(1, std::size_t{100} * 1024)
                             : options.fromFlash ? readFlashTile(options)
                                                 : readFile(options.file);
    const vecta::MapStyle& style = vecta::getMapStyle();
    const unsigned int zoom = style.clampZoom(options.zoom);

    std::printf("tile: %s, %zu bytes; style rules of zoom %u\n", describeSource(options).c_str(), tile.size(), zoom);
    printLayers(tile, style.level(zoom));

    std::vector<std::uint32_t> slot((options.slot + 3) / 4);
    std::vector<std::uint32_t> unlimited(16u << 20);
    const SegmentStats stats = transcode(tile, zoom, slot);
    const SegmentStats whole = transcode(tile, zoom, unlimited);
    std::printf("segment buffer at zoom %u in a %u-byte slot:\n", zoom, options.slot);
    std::printf("  %u bytes, %u segments (%u lines, %u polygons with %u rings), %lu points\n", stats.bytes,
                stats.segments, stats.lines, stats.polygons, stats.rings, stats.points);
    if (whole.bytes > stats.bytes) {
        std::printf("  the slot is too small: %u of %u segments kept (%u of %u bytes)\n", stats.segments,
                    whole.segments, stats.bytes, whole.bytes);
    } else {
        std::printf("  every drawn feature fits\n");
    }
    return 0;
}
