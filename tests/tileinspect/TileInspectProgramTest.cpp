// tileinspect on a small collection image: the tiles it finds in flash, what
// it reports of one tile and of the whole collection, and how it refuses bad
// input.

#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include <gtest/gtest.h>
#include <sys/wait.h>

#include "FlashImageFiles.hpp"
#include "tileinspect/StoredTiles.hpp"
#include "tilepack/CollectionImage.hpp"

namespace {

struct ProgramRun {
    int status;
    std::string output; // standard output and error
};

ProgramRun inspect(const std::string& arguments)
{
    const std::string command = std::string(TILEINSPECT_PROGRAM) + " " + arguments + " 2>&1";
    FILE* pipe = popen(command.c_str(), "r");
    std::string output;
    char chunk[4096];
    for (std::size_t n; (n = std::fread(chunk, 1, sizeof chunk, pipe)) > 0;) {
        output.append(chunk, n);
    }
    const int status = pclose(pipe);
    return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, output};
}

// The first ten words of the table row that starts with `label`.
std::vector<std::string> rowOf(const std::string& output, const std::string& label)
{
    std::istringstream lines(output);
    for (std::string line; std::getline(lines, line);) {
        std::istringstream words(line);
        std::vector<std::string> row;
        for (std::string word; row.size() < 10 && words >> word;) {
            row.push_back(word);
        }
        if (!row.empty() && row[0] == label) {
            return row;
        }
    }
    return {};
}

// Zoom 10's rectangle starts at (528, 306) and is 17 tiles wide.
class TileInspect : public FlashImageFiles {
protected:
    void SetUp() override
    {
        tilepack::CollectionTiles tiles = tilepack::emptyCollection();
        tiles[4][17 + 2] = tileWithRoad(10); // (530, 307)
        tiles[4][1] = tileWithRoad(20);      // (529, 306)
        tiles[8][0] = tileWithRoad(30);      // zoom 14's first
        ASSERT_EQ(load(tilepack::layoutImage(tiles)), "");
    }
};

TEST_F(TileInspect, FindsTheStoredTilesByZoomRowAndColumn)
{
    const std::vector<tileinspect::StoredTile> tiles = tileinspect::storedTiles();
    ASSERT_EQ(tiles.size(), 3u);
    const std::string expected[] = {tileWithRoad(20), tileWithRoad(10), tileWithRoad(30)};
    const unsigned int addresses[][3] = {{529, 306, 10}, {530, 307, 10}, {8643, 5076, 14}};
    for (std::size_t i = 0; i < tiles.size(); ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(tiles[i].x, addresses[i][0]);
        EXPECT_EQ(tiles[i].y, addresses[i][1]);
        EXPECT_EQ(tiles[i].zoom, addresses[i][2]);
        EXPECT_EQ(std::string(tiles[i].bytes, tiles[i].size), expected[i]);
    }
}

TEST_F(TileInspect, ReportsOneTilesLayersStyleAndSegments)
{
    const ProgramRun run = inspect("--flash " + path + " --tile 530 307 10");
    ASSERT_EQ(run.status, 0) << run.output;
    const std::string expected[] = {
        "tile: flash tile 530/307/10 of " + path + ", " + std::to_string(tileWithRoad(10).size()) +
            " bytes; style rules of zoom 10",
        "  road             version 2, extent 4096, 1 features",
        "  road             / primary                   1  opacity 255",
        "1 segments (1 lines, 0 polygons with 0 rings), 2 points",
        "every drawn feature fits",
    };
    for (const std::string& line : expected) {
        EXPECT_NE(run.output.find(line), std::string::npos) << line << "\nin:\n" << run.output;
    }

    const ProgramRun cramped = inspect("--flash " + path + " --tile 530 307 10 --slot 8");
    EXPECT_NE(cramped.output.find("the slot is too small: 0 of 1 segments kept"), std::string::npos) << cramped.output;
}

TEST_F(TileInspect, ReportsTheCollectionPerZoomLevel)
{
    const ProgramRun run = inspect("--collection --flash " + path);
    ASSERT_EQ(run.status, 0) << run.output;
    // zoom, tiles, rings, flat, wide, holes left out, lines, to ends, bent,
    // deviation, then the bytes; two-point roads are their own ends.
    EXPECT_EQ(rowOf(run.output, "10"),
              (std::vector<std::string>{"10", "2", "0", "0.0%", "0", "0", "2", "100.0%", "0.0%", "0.00"}));
    EXPECT_EQ(rowOf(run.output, "14").at(1), "1");
    EXPECT_EQ(rowOf(run.output, "16").at(1), "0");
    EXPECT_EQ(rowOf(run.output, "all").at(1), "3");
    EXPECT_EQ(run.output.find("do not match"), std::string::npos);
}

TEST_F(TileInspect, RefusesWhatItCannotRead)
{
    const std::string missing = testing::TempDir() + "no_such_tile.mvt";
    const std::string junk = path + ".junk";
    std::ofstream(junk) << "not an image";
    const struct {
        std::string arguments;
        int status;
        std::string message;
    } cases[] = {
        {missing, 1, "cannot read " + missing + ": No such file or directory"},
        {testing::TempDir(), 1, "it is a folder, not a tile file"},
        {"--flash " + missing + " --tile 530 307 10", 1, "flash image " + missing + " refused"},
        {"--collection --flash " + junk, 1, "too short for the collection table"},
        {"--flash " + path + " --tile 528 306 10", 1, "the collection holds no tile 528/306/10"},
        {"--flash " + path + " --tile 530 307 300", 1, "zoom 300 is outside the collection"},
        {"--tile 530 x 10", 2, "--tile needs a whole number, got \"x\""},
        {"--flash " + path + " " + missing, 2, "usage:"},
        {"--demo --collection", 2, "usage:"},
    };
    for (const auto& bad : cases) {
        const ProgramRun run = inspect(bad.arguments);
        EXPECT_EQ(run.status, bad.status) << bad.arguments << "\n" << run.output;
        EXPECT_NE(run.output.find(bad.message), std::string::npos) << bad.arguments << "\n" << run.output;
    }
    std::remove(junk.c_str());
}

} // namespace
