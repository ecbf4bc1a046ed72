// mapdemo: the simulator's main program. For now it renders one map view
// headless into a PNG picture.

#include <cstdio>
#include <filesystem>
#include <string>

#include "mapdemo/CacheFill.hpp"
#include "mapdemo/HeadlessRender.hpp"
#include "mapdemo/MapDemoOptions.hpp"
#include "model/Model.hpp"
#include "sim/FlashLoader.hpp"
#include "sim/OutputFile.hpp"

namespace {

MapPosition requestedPosition(const mapdemo::Options& options)
{
    Model model;
    const MapPosition start = model.getMapPosition();
    if (options.latitude || options.longitude) {
        model.setCoordinates(options.latitude.value_or(start.coordinate.latitude),
                             options.longitude.value_or(start.coordinate.longitude));
    }
    if (options.scale) {
        model.setScale(*options.scale);
    }
    if (options.rotation) {
        model.setRotation(*options.rotation);
    }
    return model.getMapPosition();
}

int renderHeadless(const mapdemo::Options& options)
{
    if (!options.flash.empty()) {
        if (const std::string refused = sim::loadFlashImage(options.flash); !refused.empty()) {
            std::fprintf(stderr, "mapdemo: %s\n", refused.c_str());
            return 1;
        }
    }
    if (const std::string refused = sim::checkWritable(options.out); !refused.empty()) {
        std::fprintf(stderr, "mapdemo: --out %s\n", refused.c_str());
        return 1;
    }
    const MapPosition position = requestedPosition(options);
    const mapdemo::CacheFillReport fill = mapdemo::fillMapCache(position);
    if (!fill.finished) {
        std::fprintf(stderr, "mapdemo: the map cache was still waiting for tiles when the time limit ran out\n");
        return 1;
    }
    if (const std::string failed = mapdemo::renderMapToPng(position, options.out); !failed.empty()) {
        std::fprintf(stderr, "mapdemo: %s\n", failed.c_str());
        return 1;
    }
    std::printf("mapdemo: zoom %u, tile %d/%d: %d cached tiles drawn from the collection, %d not in it\n",
                unsigned{position.zoom}, position.tileX, position.tileY, fill.tilesStored, fill.tilesAbsent);
    std::error_code unknown;
    const std::filesystem::path written = std::filesystem::absolute(options.out, unknown);
    std::printf("mapdemo: wrote the 800 x 480 picture to %s\n", (unknown ? options.out : written.string()).c_str());
    return 0;
}

} // namespace

int main(int argc, char** argv)
{
    const mapdemo::ParsedCommandLine parsed = mapdemo::parseCommandLine(argc, argv);
    if (!parsed.options) {
        std::fputs(parsed.message.c_str(), parsed.exitStatus == 0 ? stdout : stderr);
        return parsed.exitStatus;
    }
    return renderHeadless(*parsed.options);
}
