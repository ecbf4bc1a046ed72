#include "mapdemo/MapDemoOptions.hpp"

#include <cmath>
#include <cstdio>
#include <string>

#include <CLI/CLI.hpp>

#include "model/Model.hpp"
#include "sim/OutputFile.hpp"

namespace mapdemo {

namespace {

// Web-Mercator tiles end here; beyond it the projection has no tiles.
constexpr float latitudeLimit = 85.0511f;
constexpr float smallestScale = 0.005f;
constexpr float largestScale = 1.5f;

std::string describe(float value)
{
    char text[32];
    std::snprintf(text, sizeof text, "%.7g", static_cast<double>(value));
    return text;
}

// CLI11 reads "nan" and "inf" as numbers; a view needs finite ones.
std::string checkRange(const char* name, float value, float low, float high)
{
    if (!std::isfinite(value) || value < low || value > high) {
        return std::string("--") + name + " " + describe(value) + " is outside [" + describe(low) + ", " +
               describe(high) + "]";
    }
    return {};
}

std::string checkView(const Options& options)
{
    std::string problem;
    if (options.latitude) {
        problem = checkRange("lat", *options.latitude, -latitudeLimit, latitudeLimit);
    }
    if (problem.empty() && options.longitude) {
        problem = checkRange("lon", *options.longitude, -180.0f, 180.0f);
    }
    if (problem.empty() && options.scale) {
        problem = checkRange("scale", *options.scale, smallestScale, largestScale);
    }
    if (problem.empty() && options.rotation && !std::isfinite(*options.rotation)) {
        problem = "--rotation must be a finite number of degrees";
    }
    if (problem.empty() && !options.headless) {
        problem = "only --headless rendering is available so far: add --headless and --out FILE.png";
    }
    if (problem.empty() && options.out.empty()) {
        problem = "--headless needs --out FILE.png";
    }
    if (problem.empty()) {
        if (const std::string refused = sim::refuseNonRegular(options.out); !refused.empty()) {
            problem = "--out " + refused;
        }
    }
    return problem;
}

// CLI11 takes an empty value as no value at all and keeps the default, which
// would silently ignore a typo such as --lat "$LAT" with LAT unset.
std::string checkNoEmptyValues(int argc, const char* const* argv)
{
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        const bool emptyNext =
            arg.starts_with("--") && arg.find('=') == std::string::npos && i + 1 < argc && argv[i + 1][0] == '\0';
        if (emptyNext || (arg.starts_with("--") && arg.ends_with("="))) {
            return arg.substr(0, arg.find('=')) + " needs a value, got an empty one";
        }
    }
    return {};
}

ParsedCommandLine failure(const std::string& problem)
{
    return ParsedCommandLine{std::nullopt, "mapdemo: " + problem + " (see mapdemo --help)\n", 2};
}

} // namespace

ParsedCommandLine parseCommandLine(int argc, const char* const* argv)
{
    const MapPosition start = Model().getMapPosition();
    Options options;
    CLI::App app("Draws the street map of one view from the stored tile collection into the 800 x 480 frame "
                 "buffer and saves it as a PNG picture. A view option left out keeps the pizza screen's start "
                 "view.",
                 "mapdemo");
    app.add_flag("--headless", options.headless, "Render without a window (required for now)");
    app.add_option("--lat", options.latitude,
                   "Latitude of the map centre in degrees, within +-85.0511 (default " +
                       describe(start.coordinate.latitude) + ")");
    app.add_option("--lon", options.longitude,
                   "Longitude of the map centre in degrees, -180 to 180 (default " +
                       describe(start.coordinate.longitude) + ")");
    app.add_option("--scale", options.scale,
                   "Screen pixels per map unit at zoom level 13, 0.005 to 1.5; 0.25 shows about 2 km across, "
                   "each doubling zooms in one level (default " +
                       describe(start.scale) + ")");
    app.add_option("--rotation", options.rotation,
                   "Map rotation in degrees, clockwise (default " + describe(start.rotation) + ")");
    app.add_option("--out", options.out, "PNG file to write the 800 x 480 picture to")->option_text("FILE.png");
    app.add_option("--flash", options.flash,
                   "Tile collection image to use instead of the built-in one (as written by tilepack)")
        ->option_text("FILE");
    if (const std::string problem = checkNoEmptyValues(argc, argv); !problem.empty()) {
        return failure(problem);
    }
    try {
        app.parse(argc, argv);
    } catch (const CLI::CallForHelp&) {
        return ParsedCommandLine{std::nullopt, app.help(), 0};
    } catch (const CLI::ParseError& error) {
        return failure(error.what());
    }
    if (const std::string problem = checkView(options); !problem.empty()) {
        return failure(problem);
    }
    return ParsedCommandLine{options, {}, 0};
}

} // namespace mapdemo
