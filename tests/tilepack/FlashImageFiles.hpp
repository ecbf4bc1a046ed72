#pragma once

// Collection images written to files and loaded as the simulator loads
// them: a small tile, resealing after a change, a fixture that restores
// the built-in image.

#include <cstdint>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <string>
#include <vector>

#include <gtest/gtest.h>
#include <unistd.h>
#include <zlib.h>

#include "sim/DefaultFlash.hpp"
#include "sim/Flash.hpp"
#include "sim/FlashImage.hpp"
#include "sim/FlashLoader.hpp"
#include "sim/ImageTrailer.hpp"
#include "tilepack/MvtWriter.hpp"

// A small tile whose road the style draws at every level.
inline std::string tileWithRoad(std::int32_t length)
{
    static const tilepack::Properties primary{{"class", "primary"}};
    tilepack::MvtWriter writer;
    writer.add("road", tilepack::TileFeature{1, &primary, {tilepack::Shape::Line, {{{0, 0}, {length * 100, 50}}}}});
    return writer.encode();
}

// Writes the checksum of changed tables, as a builder with a fault would.
inline void reseal(std::vector<std::uint8_t>& image)
{
    const std::size_t covered = image.size() - sim::imageTrailerBytes;
    const auto crc = static_cast<std::uint32_t>(crc32_z(0, image.data(), covered));
    std::memcpy(image.data() + covered + 8, &crc, 4);
}

class FlashImageFiles : public testing::Test {
protected:
    // Unique per test: ctest runs the tests side by side.
    FlashImageFiles()
        : path(testing::TempDir() + "flash_image_" + testing::UnitTest::GetInstance()->current_test_info()->name() +
               "_" + std::to_string(getpid()) + ".img")
    {
    }
    void TearDown() override
    {
        std::remove(path.c_str());
        const sim::FlashImageView builtIn = sim::defaultFlashImage();
        sim::installFlashImage(builtIn.bytes, builtIn.size);
    }

    std::string load(const std::vector<std::uint8_t>& content)
    {
        std::ofstream(path, std::ios::binary)
            .write(reinterpret_cast<const char*>(content.data()), static_cast<std::streamsize>(content.size()));
        return sim::loadFlashImage(path);
    }

    std::string path;
};
