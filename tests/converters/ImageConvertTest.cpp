#include <fstream>
#include <sstream>
#include <stdexcept>

#include <gtest/gtest.h>

#include "imageconvert/BitmapList.hpp"
#include "imageconvert/BitmapTable.hpp"
#include "imageconvert/PixelEncoding.hpp"
#include "imageconvert/SvgRenderer.hpp"

using namespace imageconvert;

namespace {

std::string errorOf(const std::string& list)
{
    std::istringstream in(list);
    try {
        readBitmapList(in);
    } catch (const std::runtime_error& e) {
        return e.what();
    }
    return "";
}

} // namespace

TEST(BitmapList, ReadsLinesInOrderAndNamesTheLineOfABadOne)
{
    std::istringstream in("# images\n\nimage_a 96 40 RGB565\nimage_b 12 12 ARGB8888 # small\n");
    const auto specs = readBitmapList(in);
    ASSERT_EQ(specs.size(), 2u);
    EXPECT_EQ(specs[1].name, "image_b");
    EXPECT_EQ(specs[0].width, 96);
    EXPECT_EQ(specs[0].format, PixelFormat::RGB565);
    EXPECT_EQ(specs[1].format, PixelFormat::ARGB8888);

    EXPECT_EQ(errorOf("a 1 1 RGB565\nb 4 4 RGB888\n"), "line 2: unknown pixel format \"RGB888\" (RGB565 or ARGB8888)");
    EXPECT_NE(errorOf("a 4 RGB565\n").find("line 1: expected"), std::string::npos);
    EXPECT_NE(errorOf("a 4 4 RGB565 extra\n").find("line 1: expected"), std::string::npos);
    EXPECT_NE(errorOf("a 8192 4 RGB565\n").find("1 to 8191"), std::string::npos);
}

TEST(SvgRendering, LargestOpaqueRectangleOfAKnownShape)
{
    // An opaque 20 x 10 block, a larger half-transparent one, a small opaque
    // square and an opaque L whose arms are each smaller than the block.
    const Raster raster = renderSvgData(R"(<svg xmlns="http://www.w3.org/2000/svg" width="60" height="40">
        <rect x="5" y="4" width="20" height="10" fill="#FF0000"/>
        <rect x="0" y="20" width="60" height="20" fill="#00FF00" fill-opacity="0.5"/>
        <rect x="40" y="2" width="3" height="3" fill="#0000FF"/>
        <path d="M30 0 H36 V15 H57 V17 H30 Z" fill="#000000"/></svg>)",
                                        60, 40);
    EXPECT_EQ(largestOpaqueRect(raster), (PixelRect{5, 4, 20, 10}));
    EXPECT_EQ(raster.alpha(10, 30), 128);

    const Raster clear = renderSvgData(R"(<svg xmlns="http://www.w3.org/2000/svg" width="8" height="8"/>)", 8, 8);
    EXPECT_EQ(largestOpaqueRect(clear), PixelRect{});
}

TEST(SvgRendering, DrawingOfAnotherSizeIsRefused)
{
    EXPECT_THROW(renderSvgData(R"(<svg xmlns="http://www.w3.org/2000/svg" width="30" height="20"/>)", 20, 20),
                 std::runtime_error);
}

TEST(PixelEncoding, ByteOrderOfBothFormatsAndOpaqueOnlyRGB565)
{
    Raster raster{2, 1, {0xFF, 0x80, 0x00, 0xFF, 0x10, 0x20, 0x30, 0x40}};
    const auto argb = encodePixels(raster, PixelFormat::ARGB8888, "test");
    EXPECT_EQ(argb, (std::vector<std::uint8_t>{0x00, 0x80, 0xFF, 0xFF, 0x30, 0x20, 0x10, 0x40}));
    EXPECT_THROW(encodePixels(raster, PixelFormat::RGB565, "test"), std::runtime_error);

    raster.rgba[7] = 0xFF;
    const auto rgb565 = encodePixels(raster, PixelFormat::RGB565, "test");
    // 0xFF8000: red 31, green 32, blue 0 = 0xFC00, stored low byte first.
    EXPECT_EQ(rgb565[0], 0x00);
    EXPECT_EQ(rgb565[1], 0xFC);
}

TEST(BitmapTable, AssetsGiveByteIdenticalOutputOnEveryRun)
{
    const auto build = [] {
        std::ifstream list(ASSETS_DIR "/images/bitmaps.list");
        BitmapTable table;
        for (const auto& spec : readBitmapList(list)) {
            table.add(spec, renderSvgFile(ASSETS_DIR "/images/" + spec.name + ".svg", spec.width, spec.height));
        }
        return table;
    };
    const BitmapTable first = build();
    const BitmapTable second = build();
    EXPECT_EQ(first.pixels(), second.pixels());
    EXPECT_EQ(first.source("bitmaps.bin"), second.source("bitmaps.bin"));
    for (const auto& record : first.records()) {
        EXPECT_EQ(record.offset % 4, 0u) << record.spec.name;
    }
}
