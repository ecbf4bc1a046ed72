// Where tilepack may put its image, and what a failed write leaves behind.

#include <filesystem>
#include <fstream>
#include <iterator>
#include <stdexcept>
#include <string>
#include <vector>

#include <gtest/gtest.h>
#include <unistd.h>

#include "tilepack/ImageFile.hpp"

namespace {

namespace fs = std::filesystem;

class ImageFile : public ::testing::Test {
protected:
    ImageFile() { fs::create_directories(directory); }
    ~ImageFile() override { fs::remove_all(directory); }

    fs::path directory = fs::temp_directory_path() / ("tilepack_image_" + std::to_string(getpid()));
};

TEST_F(ImageFile, AnythingButARegularFileInAWritableFolderIsRefusedAsOutput)
{
    fs::create_symlink(directory / "elsewhere.img", directory / "link.img");
    std::ofstream(directory / "file") << "not a folder";
    for (const fs::path& out : {fs::path("/dev/null"), directory, directory / "link.img",
                                directory / "missing" / "new.img", directory / "file" / "new.img"}) {
        EXPECT_THROW(tilepack::checkOutput(out, "--out"), std::runtime_error) << out;
    }
    std::ofstream(directory / "old.img") << "old";
    EXPECT_NO_THROW(tilepack::checkOutput(directory / "old.img", "--out"));
    EXPECT_NO_THROW(tilepack::checkOutput(directory / "new.img", "--mbtiles"));
    EXPECT_FALSE(fs::exists(directory / "new.img.partial")) << "the check leaves nothing behind";
}

TEST_F(ImageFile, TheImageReplacesTheOldFileAndAFailedWriteLeavesNothing)
{
    const std::vector<std::uint8_t> image{1, 2, 3, 4};
    std::ofstream(directory / "old.img") << "old";
    tilepack::writeImage(directory / "old.img", image);
    std::ifstream written(directory / "old.img", std::ios::binary);
    EXPECT_EQ(std::vector<std::uint8_t>(std::istreambuf_iterator<char>(written), {}), image);

    try {
        tilepack::writeImage(directory / "old.img" / "inside.img", image);
        FAIL() << "a file cannot hold another";
    } catch (const std::runtime_error& error) {
        EXPECT_NE(std::string(error.what()).find("Not a directory"), std::string::npos) << "the system's reason";
    }
    fs::create_directory(directory / "folder.img");
    EXPECT_THROW(tilepack::writeImage(directory / "folder.img", image), std::runtime_error);
    EXPECT_FALSE(fs::exists(directory / "folder.img.partial"));
}

} // namespace
