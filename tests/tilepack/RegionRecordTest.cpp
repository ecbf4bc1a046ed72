// The region record from tilepack to the firmware: found by the first batch
// address, read in place, and refused when it does not check out.

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <functional>
#include <limits>
#include <string>
#include <vector>

#include <gtest/gtest.h>
#include <unistd.h>
#include <zlib.h>

#include "FlashImageFiles.hpp"
#include "sim/DefaultFlash.hpp"
#include "sim/Flash.hpp"
#include "sim/FlashImage.hpp"
#include "sim/FlashLoader.hpp"
#include "sim/ImageTrailer.hpp"
#include "tile_fetcher/region.h"
#include "tile_fetcher/tilelib.h"
#include "tilepack/CollectionImage.hpp"
#include "tilepack/DeliveryRoute.hpp"
#include "tilepack/MvtWriter.hpp"

namespace {

constexpr std::size_t recordOffset = region::recordAddress - flashBaseAddress;

// Roads along a 0.001 degree grid near Vaduz: `count` x `count` crossings.
tilepack::RoadWay road(std::int64_t id, const std::vector<std::pair<double, double>>& latLons, const char* highway)
{
    tilepack::RoadWay way;
    way.id = id;
    way.highway = highway;
    for (const auto& [lat, lon] : latLons) {
        // Node ids from the rounded position: crossings share their node.
        way.nodes.push_back(std::llround(lat * 1e4) * 1000000 + std::llround(lon * 1e4));
        way.path.push_back(tilepack::project(lon, lat));
    }
    return way;
}

const tilepack::GeoBox box{9.50, 47.10, 9.56, 47.16};

// Two drivable roads from the west to the east end, the southern one long,
// and a footway straight across: the route must not take the footway.
std::vector<tilepack::RoadWay> network()
{
    return {
        road(1, {{47.12, 9.51}, {47.15, 9.51}, {47.15, 9.55}, {47.12, 9.55}}, "residential"),
        road(2, {{47.12, 9.51}, {47.12, 9.55}}, "footway"),
        road(3, {{47.11, 9.52}, {47.11, 9.54}}, "primary"), // apart from the rest
    };
}

std::vector<std::uint8_t> imageWith(const RegionRecord& record)
{
    tilepack::CollectionTiles tiles = tilepack::emptyCollection();
    tiles[4][254] = tileWithRoad(8);
    return tilepack::layoutImage(tiles, tilepack::builtInLayout, &record);
}

// The record's own CRC after a change to its fields, as a faulty builder
// would write it.
void resealRecord(std::vector<std::uint8_t>& image)
{
    const auto crc = static_cast<std::uint32_t>(
        crc32_z(0, image.data() + recordOffset, sizeof(RegionRecord) - sizeof(std::uint32_t)));
    std::memcpy(image.data() + recordOffset + offsetof(RegionRecord, crc), &crc, 4);
}

class RegionRecordTest : public FlashImageFiles {
protected:
    void SetUp() override
    {
        record =
            tilepack::regionRecordFor(network(), box, tilepack::LatLon{47.12, 9.51}, tilepack::LatLon{47.12, 9.55});
        image = imageWith(record);
    }
    RegionRecord record{};
    std::vector<std::uint8_t> image;
};

TEST_F(RegionRecordTest, TheFirmwareReadsWhatTilepackWrote)
{
    ASSERT_EQ(load(image), "");
    RegionStatus status = RegionStatus::Absent;
    const RegionRecord* read = region_record(status);
    ASSERT_EQ(status, RegionStatus::Valid);
    ASSERT_NE(read, nullptr);
    // In place: the record is the flash's bytes, not a copy.
    EXPECT_EQ(static_cast<const void*>(read), flash_pointer(region::recordAddress, sizeof(RegionRecord)));
    EXPECT_EQ(std::memcmp(read, &record, sizeof record), 0);
    EXPECT_FLOAT_EQ(read->shop.latitude, 47.12f);
    EXPECT_FLOAT_EQ(read->shop.longitude, 9.51f);
    EXPECT_FLOAT_EQ(read->home.longitude, 9.55f);
    EXPECT_FLOAT_EQ(read->route[region::routePoints - 1].longitude, 9.55f);
    // The tiles behind the record are found as in any image.
    EXPECT_NE(tilelib_getTile(544, 320, 10)->size, 0u);
}

TEST_F(RegionRecordTest, ImagesWithoutARecordHaveNone)
{
    RegionStatus status = RegionStatus::Valid;
    EXPECT_EQ(region_record(status), nullptr); // the built-in image
    EXPECT_EQ(status, RegionStatus::Absent);
    // Not even a copy of a record where the first batch would lie.
    std::vector<std::uint8_t> plain = tilepack::layoutImage(tilepack::emptyCollection());
    std::vector<std::uint8_t> lookalike(plain.begin(), plain.begin() + recordOffset);
    const auto* bytes = reinterpret_cast<const std::uint8_t*>(&record);
    lookalike.insert(lookalike.end(), bytes, bytes + sizeof record);
    lookalike.insert(lookalike.end(), plain.begin() + recordOffset, plain.end());
    sim::installFlashImage(lookalike.data(), lookalike.size());
    EXPECT_EQ(region_record(status), nullptr);
    EXPECT_EQ(status, RegionStatus::Absent);
}

TEST_F(RegionRecordTest, DamagedRecordsAreRefused)
{
    struct Damage {
        const char* name;
        std::function<void(std::vector<std::uint8_t>&)> apply;
        const char* message = "region record";
    };
    const auto setFloat = [](std::vector<std::uint8_t>& bytes, std::size_t at, float value) {
        std::memcpy(bytes.data() + recordOffset + at, &value, 4);
        resealRecord(bytes);
    };
    const std::vector<Damage> damages{
        {"bit flip", [](auto& bytes) { bytes[recordOffset + 600] ^= 0x10; }},
        {"tag",
         [](auto& bytes) {
             bytes[recordOffset] = 'X';
             resealRecord(bytes);
         }},
        {"version",
         [](auto& bytes) {
             bytes[recordOffset + 4] = 2;
             resealRecord(bytes);
         }},
        {"route NaN",
         [&](auto& bytes) {
             setFloat(bytes, offsetof(RegionRecord, route) + 80, std::numeric_limits<float>::quiet_NaN());
         }},
        {"route infinite",
         [&](auto& bytes) {
             setFloat(bytes, offsetof(RegionRecord, route) + 4, std::numeric_limits<float>::infinity());
         }},
        {"start off the map", [&](auto& bytes) { setFloat(bytes, offsetof(RegionRecord, start), 89.0f); }},
        {"dogs off the map", [&](auto& bytes) { setFloat(bytes, offsetof(RegionRecord, dogs) + 4, 181.0f); }},
        {"scale", [&](auto& bytes) { setFloat(bytes, offsetof(RegionRecord, startScale), 0.0f); }},
        {"first batch inside the record",
         [](auto& bytes) {
             const std::uint32_t inside = region::recordAddress + 100;
             std::memcpy(bytes.data(), &inside, 4);
         },
         "refused: zoom 6"},
    };
    for (const Damage& damage : damages) {
        std::vector<std::uint8_t> damaged = image;
        damage.apply(damaged);
        reseal(damaged);
        const std::string message = load(damaged);
        EXPECT_NE(message.find(damage.message), std::string::npos) << damage.name << ": " << message;
        EXPECT_EQ(message.find('\n'), std::string::npos) << damage.name;
        // What the firmware finds when such an image is on the board all the same.
        sim::installFlashImage(damaged.data(), damaged.size());
        RegionStatus status = RegionStatus::Valid;
        EXPECT_EQ(region_record(status), nullptr) << damage.name;
        EXPECT_EQ(status, RegionStatus::Damaged) << damage.name;
    }
}

TEST_F(RegionRecordTest, TheRouteTakesTheDrivableRoadsEvenlySpaced)
{
    // The footway is the short way; the road goes 0.03 degrees north and back.
    float northmost = 0;
    std::vector<double> gaps;
    for (std::size_t i = 0; i < region::routePoints; ++i) {
        northmost = std::max(northmost, record.route[i].latitude);
        if (i > 0) {
            gaps.push_back(tilepack::metresBetween({record.route[i - 1].latitude, record.route[i - 1].longitude},
                                                   {record.route[i].latitude, record.route[i].longitude}));
        }
    }
    EXPECT_FLOAT_EQ(northmost, 47.15f);
    // Evenly along the way: only the two gaps that cut a corner are shorter.
    const double step = *std::max_element(gaps.begin(), gaps.end());
    EXPECT_LE(std::count_if(gaps.begin(), gaps.end(), [&](double gap) { return gap < step - 1.0; }), 2);
    EXPECT_FLOAT_EQ(record.home.latitude, record.start.latitude);
    EXPECT_FLOAT_EQ(record.dogs.latitude, record.route[region::routePoints / 2].latitude);
}

TEST(DeliveryRoute, RefusesWhatCannotMakeARoute)
{
    const auto refusal = [](std::function<void()> make) {
        try {
            make();
        } catch (const std::runtime_error& error) {
            return std::string(error.what());
        }
        return std::string("no refusal");
    };
    const std::vector<tilepack::RoadWay> roads = network();
    EXPECT_NE(refusal([&] {
                  tilepack::regionRecordFor(roads, box, {{47.11, 9.52}}, {{47.15, 9.55}});
              }).find("no drivable road leads from the shop"),
              std::string::npos);
    EXPECT_NE(refusal([&] {
                  tilepack::regionRecordFor(roads, box, {{47.12, 9.51}}, {{47.20, 9.55}});
              }).find("--home 47.200000,9.550000 lies outside the box"),
              std::string::npos);
    EXPECT_NE(refusal([&] {
                  tilepack::regionRecordFor(roads, box, {{47.12, 9.40}}, std::nullopt);
              }).find("--shop"),
              std::string::npos);
    EXPECT_NE(refusal([&] {
                  tilepack::regionRecordFor({roads[1]}, box, std::nullopt, std::nullopt);
              }).find("no drivable road in the box"),
              std::string::npos);
    for (const char* text : {"47.1", "47.1,", "47.1;9.5", "47.1,9.5,1", "a,b", ""}) {
        EXPECT_NE(refusal([&] { tilepack::parseLatLon(text, "--home"); }).find("is not LAT,LON"), std::string::npos)
            << text;
    }
    EXPECT_DOUBLE_EQ(tilepack::parseLatLon("47.1,-9.5", "--home").longitude, -9.5);
}

} // namespace
