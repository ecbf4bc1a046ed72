// The whole road from an OpenStreetMap extract to the board: Liechtenstein
// built zoom 6 to 16, its image read as the board reads it, its MBTiles
// file read by GDAL with the same layers and features the board's reader
// finds, and its delivery route.

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <map>
#include <numbers>
#include <optional>
#include <string>
#include <vector>

#include <gtest/gtest.h>
#include <unistd.h>

#include "sim/DefaultFlash.hpp"
#include "sim/Flash.hpp"
#include "sim/FlashImage.hpp"
#include "sim/FlashLoader.hpp"
#include "sim/ImageIntegrity.hpp"
#include "tilepack/CollectionBuilder.hpp"
#include "tilepack/DeliveryRoute.hpp"
#include "tilepack/MbtilesFile.hpp"
#include "tilepack/OsmSource.hpp"
#include "tilepack/RegionLayout.hpp"
#include "vecta/StringHash.hpp"

namespace {

struct Built {
    tilepack::GeoBox box{};
    tilepack::CollectionLayout layout{};
    tilepack::OsmData osm;
    tilepack::BuiltCollection collection;
    std::vector<std::uint8_t> image;
};

class Liechtenstein : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        built = new Built;
        built->box = tilepack::extractBox(TILEPACK_OSM_EXTRACT);
        built->layout = tilepack::layoutFor(built->box);
        built->osm =
            tilepack::loadOsm(TILEPACK_OSM_EXTRACT, tilepack::TagMapping::read(TILEPACK_DEFAULT_MAPPING), built->box);
        built->collection = tilepack::buildCollection(built->osm.source, 2, {}, built->layout);
        built->image = tilepack::layoutImage(built->collection.tiles, built->layout);
    }
    static void TearDownTestSuite() { delete built; }

    std::filesystem::path temporary(const std::string& name) const
    {
        return std::filesystem::temp_directory_path() / ("tilepack_li_" + std::to_string(getpid()) + "_" + name);
    }

    static Built* built;
};

Built* Liechtenstein::built = nullptr;

TEST_F(Liechtenstein, HoldsTheCountrysRoadsWaterForestsAndVillages)
{
    std::map<std::string, unsigned int> perLayer;
    bool vaduz = false;
    for (const tilepack::SourceFeature& feature : built->osm.source.features) {
        ++perLayer[feature.layer];
        for (const auto& [key, value] : feature.properties) {
            vaduz = vaduz || (key == "name_en" && value == "Vaduz");
        }
    }
    EXPECT_GT(perLayer["road"], 2000u);
    EXPECT_GT(perLayer["building"], 1000u);
    EXPECT_GT(perLayer["water"], 10u);
    EXPECT_GT(perLayer["waterway"], 50u);
    EXPECT_GT(perLayer["landuse"], 100u);
    EXPECT_GT(perLayer["place_label"], 10u);
    EXPECT_TRUE(vaduz);
    EXPECT_FALSE(built->osm.seaFromCoastline) << "a landlocked country";
    EXPECT_GT(built->osm.roads.size(), 2000u);
}

TEST_F(Liechtenstein, TheImageFitsAndTheBoardReadsEveryTile)
{
    EXPECT_EQ(built->collection.records.size(), built->layout.storedTileCount());
    EXPECT_NO_THROW(tilepack::checkImageFits(built->box, built->collection.records.size(), built->image.size()));
    EXPECT_EQ(sim::checkFlashImage(built->image.data(), built->image.size()), "");
    EXPECT_EQ(sim::checkImageIntegrity(built->image.data(), built->image.size()), "");

    const std::filesystem::path path = temporary("image.img");
    std::ofstream(path, std::ios::binary)
        .write(reinterpret_cast<const char*>(built->image.data()), static_cast<std::streamsize>(built->image.size()));
    EXPECT_EQ(sim::loadFlashImage(path.string()), "");
    std::filesystem::remove(path);
    const sim::FlashImageView builtIn = sim::defaultFlashImage();
    sim::installFlashImage(builtIn.bytes, builtIn.size);
}

TEST_F(Liechtenstein, TheDefaultDeliveryRouteRunsAboutThreeKilometresAlongDrivableRoads)
{
    const RegionRecord record = tilepack::regionRecordFor(built->osm.roads, built->box, std::nullopt, std::nullopt);
    const RegionRecord again = tilepack::regionRecordFor(built->osm.roads, built->box, std::nullopt, std::nullopt);
    EXPECT_EQ(std::memcmp(&record, &again, sizeof record), 0) << "the same route on every build";
    EXPECT_TRUE(region::valid(record));

    // Local metres about the route's first point: flat enough for 3 km.
    const double metresPerDegree = 6371008.8 * std::numbers::pi / 180.0;
    const double east = std::cos(double{record.shop.latitude} * std::numbers::pi / 180.0) * metresPerDegree;
    const auto local = [&](double lat, double lon) {
        return std::array<double, 2>{(lon - double{record.shop.longitude}) * east,
                                     (lat - double{record.shop.latitude}) * metresPerDegree};
    };
    std::vector<std::array<double, 4>> segments;
    for (const tilepack::RoadWay& way : built->osm.roads) {
        if (!tilepack::drivable(way.highway)) {
            continue;
        }
        for (std::size_t i = 1; i < way.path.size(); ++i) {
            const tilepack::LatLon a = tilepack::unproject(way.path[i - 1]);
            const tilepack::LatLon b = tilepack::unproject(way.path[i]);
            const auto p = local(a.latitude, a.longitude);
            const auto q = local(b.latitude, b.longitude);
            segments.push_back({p[0], p[1], q[0], q[1]});
        }
    }
    double length = 0;
    for (std::size_t i = 0; i < region::routePoints; ++i) {
        const auto p = local(record.route[i].latitude, record.route[i].longitude);
        double nearest = 1e9;
        for (const auto& [ax, ay, bx, by] : segments) {
            const double dx = bx - ax;
            const double dy = by - ay;
            const double squared = dx * dx + dy * dy;
            const double t = squared > 0 ? std::clamp(((p[0] - ax) * dx + (p[1] - ay) * dy) / squared, 0.0, 1.0) : 0;
            nearest = std::min(nearest, std::hypot(p[0] - ax - t * dx, p[1] - ay - t * dy));
        }
        EXPECT_LT(nearest, 2.0) << "route point " << i << " lies off the drivable roads";
        if (i > 0) {
            length += tilepack::metresBetween({record.route[i - 1].latitude, record.route[i - 1].longitude},
                                              {record.route[i].latitude, record.route[i].longitude});
        }
    }
    EXPECT_NEAR(length, 3000.0, 200.0);
    const auto inside = [&](vecta::Coordinate c) {
        return c.longitude >= built->box.west && c.longitude <= built->box.east && c.latitude >= built->box.south &&
               c.latitude <= built->box.north;
    };
    EXPECT_TRUE(inside(record.shop) && inside(record.home));
}

// ogrinfo's feature count per layer of one zoom level, within a rectangle
// of Web Mercator metres. Unclipped: GDAL would otherwise cut features at
// the tile's edge and drop those that lie only in the buffer beyond it.
std::map<std::string, unsigned int> readWithGdal(const std::filesystem::path& mbtiles, unsigned int zoom,
                                                 const std::array<double, 4>& within)
{
    std::string command =
        std::string(OGRINFO) + " -ro -so -al -oo CLIP=NO -oo ZOOM_LEVEL=" + std::to_string(zoom) + " -spat";
    for (const double value : within) {
        command += " " + std::to_string(value);
    }
    command += " " + mbtiles.string() + " 2>&1";
    std::FILE* pipe = popen(command.c_str(), "r");
    std::map<std::string, unsigned int> layers;
    if (pipe == nullptr) {
        return layers;
    }
    char line[4096];
    std::string current;
    while (std::fgets(line, sizeof line, pipe) != nullptr) {
        char name[256];
        unsigned int count = 0;
        if (std::sscanf(line, "Layer name: %255s", name) == 1) {
            current = name;
        } else if (std::sscanf(line, "Feature Count: %u", &count) == 1 && count > 0) {
            layers[current] = count;
        }
    }
    pclose(pipe);
    return layers;
}

// The Web Mercator metres a zoom level's tiles cover, grown by an eighth of
// a tile for the features' buffer beyond the tile edge.
std::array<double, 4> metresOf(const tilepack::ZoomRange& range)
{
    const double half = std::numbers::pi * 6378137.0;
    const double tile = 2 * half / static_cast<double>(1u << range.zoom);
    const double margin = tile / 8;
    return {range.minX * tile - half - margin, half - (range.maxY + 1.0) * tile - margin,
            (range.maxX + 1.0) * tile - half + margin, half - range.minY * tile + margin};
}

// GDAL places each tile by its row counted from the south: were the rows
// counted the other way, no feature would lie within the region.
TEST_F(Liechtenstein, GdalReadsTheMbtilesWithTheLayersAndFeaturesTheBoardFinds)
{
    const std::filesystem::path path = temporary("tiles.mbtiles");
    tilepack::writeMbtiles(
        path, built->collection, built->layout,
        {"li", "(c) OpenStreetMap contributors", built->box, tilepack::vectorLayersOf(built->osm.source)});
    for (const unsigned int zoom : {13u, 16u}) {
        std::map<std::uint32_t, unsigned int> board;
        for (const tilepack::TileRecord& record : built->collection.records) {
            if (record.address.zoom == zoom) {
                for (const auto& [layer, count] : record.check.featuresPerLayer) {
                    board[layer] += count;
                }
            }
        }
        std::erase_if(board, [](const auto& entry) { return entry.second == 0; });
        std::map<std::uint32_t, unsigned int> gdal;
        for (const auto& [name, count] : readWithGdal(path, zoom, metresOf(built->layout.ranges[zoom - 6]))) {
            gdal[vecta::stringHash(name.c_str())] = count;
        }
        EXPECT_GE(board.size(), 5u);
        EXPECT_EQ(gdal, board) << "zoom " << zoom;
    }
    std::filesystem::remove(path);
}

} // namespace
