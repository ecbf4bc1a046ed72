// tilepack: builds the stored tile collection image from GeoJSON map data.

#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <string>
#include <thread>

#include <unistd.h>

#include <CLI/CLI.hpp>

#include "tilepack/CollectionBuilder.hpp"
#include "tilepack/CollectionImage.hpp"
#include "tilepack/ImageFile.hpp"
#include "tilepack/Report.hpp"
#include "tilepack/SourceData.hpp"

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

struct Options {
    std::filesystem::path dataDirectory;
    std::filesystem::path outFile;
    unsigned int threads = std::max(1u, std::thread::hardware_concurrency());
    bool quiet = false;
};

void build(const Options& options)
{
    const auto start = std::chrono::steady_clock::now();
    ProgressLine progressLine(!options.quiet);
    tilepack::checkOutput(options.outFile);
    const tilepack::SourceData data = tilepack::loadSourceData(options.dataDirectory);
    std::printf("tilepack: %zu source features from %s (%u skipped, %u invalid polygons repaired)\n",
                data.features.size(), options.dataDirectory.c_str(), data.skipped, data.repaired);
    for (const std::string& warning : data.warnings) {
        std::fprintf(stderr, "tilepack: warning: %s\n", warning.c_str());
    }
    std::fflush(stdout);
    const tilepack::BuiltCollection collection =
        tilepack::buildCollection(data, options.threads, [&](const tilepack::Progress& p) { progressLine(p); });
    const std::vector<std::uint8_t> image = tilepack::layoutImage(collection.tiles);
    tilepack::writeImage(options.outFile, image);
    const std::chrono::duration<double> seconds = std::chrono::steady_clock::now() - start;
    std::printf("tilepack: wrote %s\n", options.outFile.c_str());
    tilepack::printReport(stdout, collection, image.size(), seconds.count());
}

} // namespace

int main(int argc, char** argv)
{
    try {
        CLI::App app{"Builds the stored tile collection image (zoom 6 to 16) from GeoJSON map data:\n"
                     "water.geojson, roads.geojson, areas.geojson and places.geojson."};
        Options options;
        app.add_option("--data", options.dataDirectory, "Folder with the GeoJSON map data")
            ->required()
            ->check(CLI::ExistingDirectory);
        app.add_option("--out", options.outFile, "Image file to write (replaced only when every tile is valid)")
            ->required();
        app.add_option("--threads", options.threads, "Worker threads (default: one per core)")
            ->check(CLI::Range(1u, 64u));
        app.add_flag("--quiet", options.quiet, "No progress line");
        CLI11_PARSE(app, argc, argv);

        std::signal(SIGABRT, reportAbort);
        build(options);
    } catch (const std::exception& error) {
        std::fprintf(stderr, "tilepack: %s\n", error.what());
        return 1;
    }
    return 0;
}
