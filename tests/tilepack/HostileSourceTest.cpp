// Source data a real extract may hold: polygons that cross themselves
// thousands of times, and files whose "features" is no list. The build
// takes such data in bounded time (the test's ctest timeout) or says why not.

#include <cmath>
#include <filesystem>
#include <fstream>
#include <numbers>
#include <numeric>
#include <stdexcept>
#include <string>

#include <gtest/gtest.h>
#include <unistd.h>

#include "tilepack/SourceData.hpp"

namespace {

class HostileSource : public ::testing::Test {
protected:
    HostileSource()
    {
        const auto* test = ::testing::UnitTest::GetInstance()->current_test_info();
        directory = std::filesystem::temp_directory_path() /
                    ("tilepack_" + std::string(test->name()) + "_" + std::to_string(getpid()));
        std::filesystem::create_directories(directory);
        for (const char* name : {"water", "roads", "places"}) {
            write(std::string(name) + ".geojson", R"({"type":"FeatureCollection","features":[]})");
        }
    }
    ~HostileSource() override { std::filesystem::remove_all(directory); }

    void write(const std::string& name, const std::string& text) const { std::ofstream(directory / name) << text; }

    void writeAreas(const std::string& features) const
    {
        write("areas.geojson", R"({"type":"FeatureCollection","features":)" + features + "}");
    }

    std::filesystem::path directory;
};

// A ring drawn in one stroke through `vertices` points of a circle, each
// step reaching almost across: it crosses itself about vertices^2/4 times.
std::string star(int vertices, const std::string& name)
{
    int step = vertices / 2 - 1;
    while (std::gcd(vertices, step) != 1) {
        --step;
    }
    std::string ring;
    for (int i = 0; i <= vertices; ++i) {
        const double angle = 2 * std::numbers::pi * ((i * step) % vertices) / vertices;
        ring += (i == 0 ? "[" : ",[") + std::to_string(10.2 + 0.01 * std::cos(angle)) + "," +
                std::to_string(56.16 + 0.006 * std::sin(angle)) + "]";
    }
    return R"({"type":"Feature","properties":{"kind":"park","name":")" + name +
           R"("},"geometry":{"type":"Polygon","coordinates":[[)" + ring + "]]}}";
}

const std::string square = R"({"type":"Feature","properties":{"kind":"grass"},"geometry":{"type":"Polygon",)"
                           R"("coordinates":[[[10.2,56.1],[10.21,56.1],[10.21,56.11],[10.2,56.11],[10.2,56.1]]]}})";
const std::string bowtie = R"({"type":"Feature","properties":{"kind":"wood"},"geometry":{"type":"Polygon",)"
                           R"("coordinates":[[[10.2,56.1],[10.21,56.11],[10.21,56.1],[10.2,56.11],[10.2,56.1]]]}})";

TEST_F(HostileSource, APolygonCrossingItselfThroughoutIsLeftOutByNameAndTheRestKept)
{
    writeAreas("[" + square + "," + star(2000, "Star park") + "," + bowtie + "]");
    const tilepack::SourceData data = tilepack::loadSourceData(directory);
    EXPECT_EQ(data.features.size(), 2u);
    EXPECT_EQ(data.repaired, 1u) << "the bowtie's one crossing is repaired";
    ASSERT_EQ(data.warnings.size(), 1u);
    EXPECT_NE(data.warnings[0].find("areas.geojson feature 2 \"Star park\""), std::string::npos) << data.warnings[0];
}

TEST_F(HostileSource, FeaturesThatAreNoListAreRefused)
{
    for (const char* features : {"{}", "null", "3"}) {
        writeAreas(features);
        EXPECT_THROW(tilepack::loadSourceData(directory), std::runtime_error) << features;
    }
}

} // namespace
