// The board on a region built from an OpenStreetMap extract: tilepack's
// image with its region record, booted by mapboard.

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <vector>

#include "ProgramRun.hpp"
#include "board_config/BoardConfig.hpp"
#include "sim/PngWriter.hpp"

using boardtest::readFile;
using boardtest::readTrace;
using boardtest::runCommand;

namespace {

// The record's start position: after its tag, version and size.
constexpr std::size_t startOffset = 44 + 12;

class City : public testing::Test {
protected:
    static void SetUpTestSuite()
    {
        directory = new std::filesystem::path(boardtest::scratchDir("city"));
        built = new boardtest::ProgramResult(runCommand(std::string(TILEPACK_PROGRAM) + " --quiet --osm " +
                                                        TILEPACK_OSM_EXTRACT + " --out " + image().string()));
    }
    static void TearDownTestSuite()
    {
        std::filesystem::remove_all(*directory);
        delete directory;
        delete built;
    }

    static std::filesystem::path image() { return *directory / "city.img"; }

    static std::filesystem::path* directory;
    static boardtest::ProgramResult* built;
};

std::filesystem::path* City::directory = nullptr;
boardtest::ProgramResult* City::built = nullptr;

TEST_F(City, TheBoardStartsOnThePizzaScreenWhereTheRegionSays)
{
    ASSERT_EQ(built->status, 0) << built->output;
    EXPECT_NE(built->output.find("delivery route of"), std::string::npos) << built->output;
    const std::string bytes = readFile(image());
    ASSERT_GT(bytes.size(), startOffset + 8);
    float start[2] = {};
    std::memcpy(start, bytes.data() + startOffset, sizeof start);
    EXPECT_NEAR(start[0], 47.1, 0.2) << "inside Liechtenstein";
    EXPECT_NEAR(start[1], 9.55, 0.2);

    const auto out = *directory / "city.png";
    const auto trace = *directory / "trace.jsonl";
    const auto run = runCommand(std::string(MAPBOARD_PROGRAM) + " --headless --frames 240 --flash " + image().string() +
                                " --out " + out.string() + " --trace " + trace.string());
    ASSERT_EQ(run.status, 0) << run.output;
    const auto lines = readTrace(trace);
    ASSERT_EQ(lines.size(), 240u);
    for (const auto& line : {lines.front(), lines.back()}) {
        EXPECT_EQ(line["screen"], "pizza");
        EXPECT_NEAR(line["map"]["lat"].get<double>(), start[0], 1e-5);
        EXPECT_NEAR(line["map"]["lon"].get<double>(), start[1], 1e-5);
        EXPECT_EQ(line["map"]["scale"], 0.25);
    }
    EXPECT_EQ(lines.back()["tiles"]["visible_pending"], 0) << "every tile on screen arrived";

    // Made with: tilepack --osm ../shared/osm/liechtenstein-2013-08-03.osm.pbf --out city.img, then
    //     mapboard --headless --frames 240 --flash city.img --out tests/simulator/reference/liechtenstein_pizza.png
    std::vector<std::uint16_t> reference(board::panelPixels);
    std::vector<std::uint16_t> shown(board::panelPixels);
    ASSERT_EQ(sim::readPngAsRgb565(MAPBOARD_REFERENCE_DIR "/liechtenstein_pizza.png", reference.data(),
                                   board::panelWidth, board::panelHeight),
              "");
    ASSERT_EQ(sim::readPngAsRgb565(out.string(), shown.data(), board::panelWidth, board::panelHeight), "");
    std::size_t differing = 0;
    for (std::size_t i = 0; i < shown.size(); ++i) {
        differing += shown[i] != reference[i] ? 1 : 0;
    }
    EXPECT_LE(differing, shown.size() / 200) << "pixels differing from the reference";
}

TEST_F(City, TilepackRefusesARouteItCannotMakeAndWritesNothing)
{
    const auto out = *directory / "refused.img";
    for (const char* option : {"--home 10,10", "--shop 47.1,9.5x"}) {
        const auto run = runCommand(std::string(TILEPACK_PROGRAM) + " --quiet --osm " + TILEPACK_OSM_EXTRACT +
                                    " --out " + out.string() + " " + option);
        EXPECT_EQ(run.status, 1) << option;
        EXPECT_EQ(std::count(run.output.begin(), run.output.end(), '\n'), 1) << run.output;
        EXPECT_FALSE(std::filesystem::exists(out)) << option;
        EXPECT_FALSE(std::filesystem::exists(out.string() + ".partial")) << option;
    }
}

} // namespace
