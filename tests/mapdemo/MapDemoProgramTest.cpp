// mapdemo run as a program: what a user gets for bad command lines, and the
// pictures it draws from the collection built into it.

#include <gtest/gtest.h>

#include <sys/wait.h>
#include <unistd.h>

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "board_config/BoardConfig.hpp"
#include "sim/PngWriter.hpp"

namespace {

constexpr std::uint16_t water = 0x8E5E; // 8CCBF7
constexpr std::uint16_t land = 0xEF5B;  // EDE9D9
constexpr std::uint16_t gridRed = 0xF800;

struct ProgramRun {
    int status;
    std::string out;
    std::string err;
};

class MapDemoProgram : public ::testing::Test {
protected:
    MapDemoProgram()
    {
        const auto* test = ::testing::UnitTest::GetInstance()->current_test_info();
        directory = std::filesystem::temp_directory_path() /
                    ("mapdemo_" + std::string(test->name()) + "_" + std::to_string(getpid()));
        std::filesystem::create_directories(directory);
    }
    ~MapDemoProgram() override { std::filesystem::remove_all(directory); }

    std::string picture() const { return (directory / "map.png").string(); }

    ProgramRun run(const std::vector<std::string>& arguments) const
    {
        std::string command = MAPDEMO_PROGRAM;
        for (const std::string& argument : arguments) {
            command += " '" + argument + "'";
        }
        const auto out = directory / "stdout";
        const auto err = directory / "stderr";
        command += " >" + out.string() + " 2>" + err.string();
        const int status = std::system(command.c_str());
        return ProgramRun{WIFEXITED(status) ? WEXITSTATUS(status) : -1, read(out), read(err)};
    }

    std::vector<std::uint16_t> render(const std::vector<std::string>& view)
    {
        std::vector<std::string> arguments{"--headless", "--out", picture()};
        arguments.insert(arguments.end(), view.begin(), view.end());
        const ProgramRun result = run(arguments);
        EXPECT_EQ(result.status, 0) << result.err;
        lastOutput = result.out;
        EXPECT_NE(result.out.find(picture()), std::string::npos) << "says where the picture is: " << result.out;
        std::vector<std::uint16_t> pixels(board::panelPixels);
        EXPECT_EQ(sim::readPngAsRgb565(picture(), pixels.data(), board::panelWidth, board::panelHeight), "");
        return pixels;
    }

    static std::string read(const std::filesystem::path& path)
    {
        std::ifstream file(path);
        std::stringstream text;
        text << file.rdbuf();
        return text.str();
    }

    std::filesystem::path directory;
    std::string lastOutput;
};

// Views whose content only the real map data has.
class MapDemoOnRealData : public MapDemoProgram {
protected:
    void SetUp() override
    {
        if (MAPDEMO_REAL_MAP_DATA == 0) {
            GTEST_SKIP() << "the build has no real map data";
        }
    }
};

double share(const std::vector<std::uint16_t>& pixels, std::uint16_t colour)
{
    std::size_t count = 0;
    for (const std::uint16_t p : pixels) {
        count += p == colour ? 1 : 0;
    }
    return static_cast<double>(count) / static_cast<double>(pixels.size());
}

// Pixels that differ from a reference picture by more than antialiasing may
// between rasterizer versions.
int differingFromReference(const std::vector<std::uint16_t>& pixels, const std::string& name)
{
    std::vector<std::uint16_t> reference(board::panelPixels);
    const std::string error = sim::readPngAsRgb565(std::string(MAPDEMO_REFERENCE_DIR "/") + name, reference.data(),
                                                   board::panelWidth, board::panelHeight);
    if (!error.empty() || pixels.size() != reference.size()) {
        ADD_FAILURE() << name << ": " << error;
        return static_cast<int>(reference.size());
    }
    int differing = 0;
    for (std::size_t i = 0; i < pixels.size(); ++i) {
        const std::uint16_t a = pixels[i];
        const std::uint16_t b = reference[i];
        const int dr = std::abs(((a >> 11) & 0x1F) - ((b >> 11) & 0x1F));
        const int dg = std::abs(((a >> 5) & 0x3F) - ((b >> 5) & 0x3F));
        const int db = std::abs((a & 0x1F) - (b & 0x1F));
        differing += (dr > 2 || dg > 4 || db > 2) ? 1 : 0;
    }
    return differing;
}

} // namespace

TEST_F(MapDemoProgram, ABadCommandLineGetsOneMessageAndNoPicture)
{
    std::filesystem::create_symlink(directory / "elsewhere.png", directory / "link.png");
    const std::vector<std::vector<std::string>> commandLines{
        {"--headless", "--out", (directory / "link.png").string()},
        {"--headless", "--out", directory.string()},
        {"--headless", "--out", picture(), "--zoom", "3"},
        {"--headless", "--out", picture(), "--lat", "north"},
        {"--headless", "--out", picture(), "--lat"},
        {"--headless", "--out", picture(), "--lat", ""},
        {"--headless", "--out", picture(), "--flash="},
        {"--headless", "--out", picture(), "--lat", "89"},
        {"--headless", "--out", picture(), "--lon", "-181"},
        {"--headless", "--out", picture(), "--scale", "0"},
        {"--headless", "--out", picture(), "--scale", "nan"},
        {"--headless", "--out", picture(), "--rotation", "inf"},
        {"--headless"},
        {"--out", picture()},
        {"--headless", "--out", picture(), "stray"},
    };
    for (const auto& arguments : commandLines) {
        const ProgramRun result = run(arguments);
        const std::string shown = arguments.back();
        EXPECT_EQ(result.status, 2) << shown;
        EXPECT_EQ(result.out, "") << shown;
        EXPECT_EQ(result.err.rfind("mapdemo: ", 0), 0u) << shown << ": " << result.err;
        EXPECT_EQ(result.err.find('\n'), result.err.size() - 1) << "one line: " << result.err;
        EXPECT_FALSE(std::filesystem::exists(picture())) << shown;
    }
    EXPECT_TRUE(std::filesystem::is_symlink(directory / "link.png"));
}

TEST_F(MapDemoProgram, ADeviceNodeIsNotReplacedByThePicture)
{
    if (std::system("unshare -m true") != 0) {
        GTEST_SKIP() << "no private mount namespace (unshare -m needs root)";
    }
    // A tmpfs in a private mount namespace: the machine's own /dev is never
    // at risk.
    const std::string disk = directory.string();
    const std::string full = disk + "/full";
    const std::string command = "unshare -m sh -c 'mount -t tmpfs none " + disk + " && mknod " + full + " c 1 7 && " +
                                MAPDEMO_PROGRAM + " --headless --out " + full + "; echo status $?; stat -c %F " + full +
                                "' >" + disk + "/log 2>&1";
    EXPECT_EQ(std::system(command.c_str()), 0);
    const std::string log = read(directory / "log");
    EXPECT_NE(log.find("mapdemo: --out " + full + " exists and is not a regular file"), std::string::npos) << log;
    EXPECT_NE(log.find("status 2\ncharacter special file\n"), std::string::npos) << log;
}

TEST_F(MapDemoProgram, HelpExplainsEveryOption)
{
    const ProgramRun result = run({"--help"});
    EXPECT_EQ(result.status, 0);
    for (const char* option : {"--headless", "--lat", "--lon", "--scale", "--rotation", "--out", "--flash"}) {
        EXPECT_NE(result.out.find(option), std::string::npos) << option;
    }
}

TEST_F(MapDemoProgram, AnUnreadableCollectionImageIsRefused)
{
    const std::string missing = (directory / "missing.img").string();
    const ProgramRun result = run({"--headless", "--out", picture(), "--flash", missing});
    EXPECT_EQ(result.status, 1);
    EXPECT_NE(result.err.find("missing.img"), std::string::npos) << result.err;
    EXPECT_FALSE(std::filesystem::exists(picture()));

    const ProgramRun folder = run({"--headless", "--out", picture(), "--flash", directory.string()});
    EXPECT_EQ(folder.status, 1);
    EXPECT_NE(folder.err.find("not a regular file"), std::string::npos) << folder.err;

    const ProgramRun unwritable = run({"--headless", "--out", (directory / "no" / "such" / "dir.png").string()});
    EXPECT_EQ(unwritable.status, 1);
    EXPECT_NE(unwritable.err.find("dir.png"), std::string::npos) << unwritable.err;
}

TEST_F(MapDemoOnRealData, TheBayIsWaterAndTheCityIsLandWithParksAndStreets)
{
    const auto bay = render({"--lat", "56.15", "--lon", "10.30", "--scale", "0.3"});
    EXPECT_GT(share(bay, water), 0.95);
    EXPECT_GT(share(bay, gridRed), 0.0);

    const auto city = render({});
    EXPECT_NE(lastOutput.find("11 cached tiles drawn from the collection, 0 not in it"), std::string::npos)
        << "the 3 x 3 block and the tiles above and below: " << lastOutput;
    EXPECT_EQ(share(city, water), 0.0);
    EXPECT_GT(share(city, land), 0.5);
    EXPECT_GT(share(city, 0xFFFF), 0.01) << "streets";
    EXPECT_GT(share(city, 0xCF54), 0.02) << "parks";
    EXPECT_GT(share(city, gridRed), 0.0);
}

TEST_F(MapDemoOnRealData, AnotherCollectionImageReplacesTheBuiltInOne)
{
    const std::vector<std::string> island{"--lat", "56.15", "--lon", "10.315", "--scale", "0.05"};
    EXPECT_EQ(render(island)[180 * board::panelWidth + 400], water);

    std::vector<std::string> withImage = island;
    withImage.insert(withImage.end(), {"--flash", MAPDEMO_SMALL_COLLECTION});
    const auto pixels = render(withImage);
    EXPECT_EQ(pixels[180 * board::panelWidth + 400], land) << "the small collection's island";
    EXPECT_GT(share(pixels, water), 0.3);
}

TEST_F(MapDemoOnRealData, ARotatedViewOfTheHarbourMatchesTheReferencePicture)
{
    // Regenerate after an intended change (from the repository root) with
    //   build/default/platform/sim/mapdemo/mapdemo --headless --lat 56.152 --lon 10.205 --scale 0.3
    //     --rotation 30 --out tests/mapdemo/reference/harbour_rotated.png
    const auto pixels = render({"--lat", "56.152", "--lon", "10.205", "--scale", "0.3", "--rotation", "30"});
    EXPECT_LE(differingFromReference(pixels, "harbour_rotated.png"), board::panelWidth * board::panelHeight / 200)
        << "pixels differing from the reference";
}

// Regenerate after an intended change (from the repository root) with
//   build/default/platform/sim/mapdemo/mapdemo --headless --flash IMAGE --lat 47.14 --lon 9.52
//     --scale S --out tests/mapdemo/reference/liechtenstein_zoomZ.png
// where IMAGE is build/default/tests/mapdemo/liechtenstein.img.
TEST_F(MapDemoProgram, LiechtensteinFromOpenStreetMapMatchesTheReferencePictures)
{
    for (const auto& [scale, name] :
         {std::pair{"0.15", "liechtenstein_zoom13.png"}, std::pair{"1.0", "liechtenstein_zoom16.png"}}) {
        const auto pixels =
            render({"--flash", MAPDEMO_OSM_COLLECTION, "--lat", "47.14", "--lon", "9.52", "--scale", scale});
        EXPECT_LE(differingFromReference(pixels, name), board::panelWidth * board::panelHeight / 200) << name;
    }
}
