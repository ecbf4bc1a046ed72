// tilepack: builds the stored tile collection image from GeoJSON map data or
// an OpenStreetMap extract.

#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <optional>
#include <string>
#include <thread>

#include <unistd.h>

#include <CLI/CLI.hpp>

#include "tilepack/CollectionBuilder.hpp"
#include "tilepack/CollectionImage.hpp"
#include "tilepack/DeliveryRoute.hpp"
#include "tilepack/ImageFile.hpp"
#include "tilepack/MbtilesFile.hpp"
#include "tilepack/OsmSource.hpp"
#include "tilepack/RegionLayout.hpp"
#include "tilepack/Report.hpp"
#include "tilepack/SourceData.hpp"
#include "tilepack/TagMapping.hpp"

namespace {

// The firmware's reader stops at an assertion on a tile it cannot read; the
// process then aborts, and this says which tile it was.
void reportAbort(int)
{
    const char* tile = tilepack::tileInProgress();
    if (tile[0] != '\0') {
        const char prefix[] = "tilepack: the firmware's reader refused tile ";
        const char suffix[] = " (x/y/zoom); this is a fault of tilepack, no image was written\n";
        [[maybe_unused]] ssize_t ignored = write(STDERR_FILENO, prefix, sizeof prefix - 1);
        ignored = write(STDERR_FILENO, tile, std::strlen(tile));
        ignored = write(STDERR_FILENO, suffix, sizeof suffix - 1);
    }
    _exit(3);
}

class ProgressLine {
public:
    explicit ProgressLine(bool show) : interactive(show && isatty(STDERR_FILENO) == 1), enabled(show) {}

    void operator()(const tilepack::Progress& progress)
    {
        if (!enabled) {
            return;
        }
        if (interactive) {
            std::fprintf(stderr, "\rtilepack: zoom %u, %u/%u tiles", unsigned{progress.zoom}, progress.done,
                         progress.total);
            if (progress.done == progress.total) {
                std::fprintf(stderr, "\n");
            }
        } else if (progress.levelDone == progress.levelTotal) {
            std::fprintf(stderr, "tilepack: zoom %u done, %u/%u tiles\n", unsigned{progress.zoom}, progress.done,
                         progress.total);
        }
    }

private:
    bool interactive;
    bool enabled;
};

// Reading a large extract takes a while too: the share read so far, on a
// terminal only.
class ReadingLine {
public:
    explicit ReadingLine(bool show) : interactive(show && isatty(STDERR_FILENO) == 1) {}

    void operator()(std::uint64_t done, std::uint64_t total)
    {
        if (!interactive || total == 0) {
            return;
        }
        const auto percent = static_cast<unsigned int>(done * 100 / total);
        if (percent != shown) {
            shown = percent;
            std::fprintf(stderr, "\rtilepack: reading the extract, %u%%", percent);
            if (done >= total) {
                std::fprintf(stderr, "\n");
            }
        }
    }

private:
    bool interactive;
    unsigned int shown = 101;
};

struct Options {
    std::filesystem::path dataDirectory;
    std::filesystem::path osmFile;
    std::filesystem::path mappingFile = TILEPACK_DEFAULT_MAPPING;
    std::string bbox;
    std::string home;
    std::string shop;
    std::filesystem::path outFile;
    std::filesystem::path mbtilesFile;
    unsigned int threads = std::max(1u, std::thread::hardware_concurrency());
    bool quiet = false;
};

// What the build works from: the features, the tile rectangles and what the
// MBTiles file says of them.
struct Input {
    tilepack::SourceData data;
    tilepack::CollectionLayout layout = tilepack::builtInLayout;
    std::optional<tilepack::GeoBox> box; // of an extract; the built-in area otherwise
    std::string attribution = "(c) OpenStreetMap contributors, GSHHG";
    std::optional<RegionRecord> region; // of an extract
};

void printSource(const tilepack::SourceData& data, const std::filesystem::path& from)
{
    std::printf("tilepack: %zu source features from %s (%u skipped, %u invalid polygons repaired)\n",
                data.features.size(), from.c_str(), data.skipped, data.repaired);
    for (const std::string& warning : data.warnings) {
        std::fprintf(stderr, "tilepack: warning: %s\n", warning.c_str());
    }
    std::fflush(stdout);
}

std::optional<tilepack::LatLon> pointOption(const std::string& text, const char* option)
{
    if (text.empty()) {
        return std::nullopt;
    }
    return tilepack::parseLatLon(text, option);
}

Input readExtract(const Options& options)
{
    const std::optional<tilepack::LatLon> home = pointOption(options.home, "--home");
    const std::optional<tilepack::LatLon> shop = pointOption(options.shop, "--shop");
    const tilepack::TagMapping mapping = tilepack::TagMapping::read(options.mappingFile);
    Input input;
    input.box = options.bbox.empty() ? tilepack::extractBox(options.osmFile) : tilepack::parseGeoBox(options.bbox);
    tilepack::checkGeoBox(*input.box);
    tilepack::checkRegionFits(*input.box);
    if (shop) {
        tilepack::checkInside(*input.box, *shop, "--shop");
    }
    if (home) {
        tilepack::checkInside(*input.box, *home, "--home");
    }
    input.layout = tilepack::layoutFor(*input.box);
    input.attribution = "(c) OpenStreetMap contributors";
    ReadingLine readingLine(!options.quiet);
    tilepack::OsmData osm =
        tilepack::loadOsm(options.osmFile, mapping, *input.box,
                          [&](std::uint64_t done, std::uint64_t total) { readingLine(done, total); });
    input.data = std::move(osm.source);
    printSource(input.data, options.osmFile);
    std::printf("tilepack: box %s, %zu road ways, %s\n", tilepack::describeBox(*input.box).c_str(), osm.roads.size(),
                osm.seaFromCoastline ? "sea from the coastline" : "no sea");
    input.region = tilepack::regionRecordFor(osm.roads, *input.box, shop, home);
    const RegionRecord& region = *input.region;
    double metres = 0;
    for (std::size_t i = 1; i < region::routePoints; ++i) {
        metres += tilepack::metresBetween({region.route[i - 1].latitude, region.route[i - 1].longitude},
                                          {region.route[i].latitude, region.route[i].longitude});
    }
    std::printf("tilepack: delivery route of %.0f m from the shop at %.6f,%.6f to the home at %.6f,%.6f\n", metres,
                double{region.shop.latitude}, double{region.shop.longitude}, double{region.home.latitude},
                double{region.home.longitude});
    return input;
}

Input readGeoJson(const Options& options)
{
    Input input;
    input.data = tilepack::loadSourceData(options.dataDirectory);
    printSource(input.data, options.dataDirectory);
    return input;
}

void build(const Options& options)
{
    const auto start = std::chrono::steady_clock::now();
    ProgressLine progressLine(!options.quiet);
    tilepack::checkOutput(options.outFile, "--out");
    if (!options.mbtilesFile.empty()) {
        tilepack::checkOutput(options.mbtilesFile, "--mbtiles");
    }
    const Input input = options.osmFile.empty() ? readGeoJson(options) : readExtract(options);
    const tilepack::BuiltCollection collection = tilepack::buildCollection(
        input.data, options.threads, [&](const tilepack::Progress& p) { progressLine(p); }, input.layout);
    const std::vector<std::uint8_t> image =
        tilepack::layoutImage(collection.tiles, input.layout, input.region ? &*input.region : nullptr);
    const tilepack::GeoBox box = input.box.value_or(tilepack::coveredBox(input.layout));
    tilepack::checkImageFits(box, collection.records.size(), image.size());
    tilepack::writeImage(options.outFile, image);
    std::printf("tilepack: wrote %s\n", options.outFile.c_str());
    if (!options.mbtilesFile.empty()) {
        tilepack::writeMbtiles(
            options.mbtilesFile, collection, input.layout,
            {options.outFile.stem().string(), input.attribution, box, tilepack::vectorLayersOf(input.data)});
        std::printf("tilepack: wrote %s\n", options.mbtilesFile.c_str());
    }
    const std::chrono::duration<double> seconds = std::chrono::steady_clock::now() - start;
    tilepack::printReport(stdout, collection, image.size(), seconds.count());
}

} // namespace

int main(int argc, char** argv)
{
    try {
        CLI::App app{"Builds the stored tile collection image (zoom 6 to 16) from GeoJSON map data\n"
                     "(water.geojson, roads.geojson, areas.geojson and places.geojson) or from an\n"
                     "OpenStreetMap extract (.osm.pbf, .osm, .osm.bz2) through a tag mapping."};
        Options options;
        auto* data = app.add_option("--data", options.dataDirectory, "Folder with the GeoJSON map data")
                         ->check(CLI::ExistingDirectory);
        auto* osm =
            app.add_option("--osm", options.osmFile, "OpenStreetMap extract to build from")->check(CLI::ExistingFile);
        data->excludes(osm);
        app.add_option("--mapping", options.mappingFile, "Tag mapping for --osm (JSON)")
            ->capture_default_str()
            ->needs(osm);
        app.add_option("--bbox", options.bbox, "Region W,S,E,N in degrees for --osm (default: the extract's box)")
            ->needs(osm);
        app.add_option("--shop", options.shop,
                       "Pizza shop LAT,LON for --osm (default: the roads nearest the box's centre)")
            ->needs(osm);
        app.add_option("--home", options.home, "Customer's home LAT,LON for --osm (default: about 3 km from the shop)")
            ->needs(osm);
        app.add_option("--out", options.outFile, "Image file to write (replaced only when every tile is valid)")
            ->required();
        app.add_option("--mbtiles", options.mbtilesFile, "Also write the tiles as MBTiles (SQLite)");
        app.add_option("--threads", options.threads, "Worker threads (default: one per core)")
            ->check(CLI::Range(1u, 64u));
        app.add_flag("--quiet", options.quiet, "No progress line");
        CLI11_PARSE(app, argc, argv);

        if (options.dataDirectory.empty() && options.osmFile.empty()) {
            throw std::runtime_error("--data or --osm is required");
        }
        std::signal(SIGABRT, reportAbort);
        build(options);
    } catch (const std::exception& error) {
        std::fprintf(stderr, "tilepack: %s\n", error.what());
        return 1;
    }
    return 0;
}
