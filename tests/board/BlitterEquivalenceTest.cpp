// Everything the LCD hands the blitter lands as the processor would have
// drawn it: each operation drawn once through BlitterDMA and the blitter's
// model, once by the LCD's own loops, over every value that enters the
// arithmetic. The channels of a pixel are computed apart, so one pixel
// checks its red, green and blue at once: destinations cover every 5-bit
// red and blue and every 6-bit green, sources every 8-bit channel value.

#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <functional>
#include <vector>

#include "KernelTask.hpp"
#include "board_config/BoardConfig.hpp"
#include "board_glue/BlitterDMA.hpp"
#include "board_glue/FrameBuffers.hpp"
#include "sim/Board.hpp"
#include "ui/HALGPU.hpp"
#include "ui/LCDGPU.hpp"
#include "ui/OSWrappers.hpp"
#include "ui/TouchController.hpp"

namespace {

class NoTouch : public ui::TouchController {
public:
    void init() override {}
    bool sampleTouch(std::int32_t&, std::int32_t&) override { return false; }
};

constexpr int width = board::panelWidth;
constexpr int height = board::panelHeight;

// The k-th of 64 destination pixels: red and blue run through their 32
// values twice, green through its 64.
std::uint16_t destination(int k)
{
    return static_cast<std::uint16_t>(((k & 31) << 11) | ((k & 63) << 5) | (31 - (k & 31)));
}

using Pixels = std::vector<std::uint16_t>;
using Drawing = std::function<void(ui::LCD&)>;

// The frame buffer after `draw` on `start`, with the blitter or without.
Pixels drawn(const Pixels& start, const Drawing& draw, bool withBlitter)
{
    ui::LCDGPU lcd;
    NoTouch touch;
    std::copy(start.begin(), start.end(), frameBuf);
    if (!withBlitter) {
        ui::HALGPU hal(lcd, touch, width, height);
        hal.setFrameBufferStartAddresses(frameBuf, nullptr, nullptr);
        draw(lcd);
        return Pixels(frameBuf, frameBuf + start.size());
    }
    BlitterDMA dma{[] {}};
    ui::HALGPU hal(dma, lcd, touch, width, height);
    hal.setFrameBufferStartAddresses(frameBuf, nullptr, nullptr);
    sim::board::powerOn();
    boardtest::runAsTask([&] {
        ui::OSWrappers::initialize();
        dma.initialize();
        draw(lcd);
        dma.flush();
    });
    return Pixels(frameBuf, frameBuf + start.size());
}

// Pixels where the two drawings differ.
int differing(const Pixels& start, const Drawing& draw)
{
    const Pixels blitted = drawn(start, draw, true);
    const Pixels computed = drawn(start, draw, false);
    int count = 0;
    for (std::size_t i = 0; i < blitted.size(); ++i) {
        count += blitted[i] != computed[i] ? 1 : 0;
    }
    return count;
}

// Destination rows of the 64 values, one value a row, `columns` wide.
Pixels rowsOfDestinations(int columns)
{
    Pixels pixels(static_cast<std::size_t>(width) * height, 0);
    for (int y = 0; y < height; ++y) {
        std::fill_n(pixels.begin() + y * width, columns, destination(y % 64));
    }
    return pixels;
}

// Bitmaps registered for the test: id 0 and up.
std::vector<ui::Bitmap::BitmapData> table;

ui::Bitmap registered(const std::uint8_t* data, std::uint16_t w, std::uint16_t h, ui::Bitmap::BitmapFormat format)
{
    ui::Bitmap::BitmapData record{};
    record.data = data;
    record.width = w;
    record.height = h;
    record.format_hi = static_cast<std::uint16_t>(format >> 3);
    record.format_lo = static_cast<std::uint16_t>(format & 7);
    table.push_back(record);
    ui::Bitmap::registerBitmapDatabase(table.data(), static_cast<std::uint16_t>(table.size()));
    return ui::Bitmap(static_cast<ui::BitmapId>(table.size() - 1));
}

} // namespace

TEST(BlitterEquivalence, FillsAtEveryAlphaAndColour)
{
    // Rows: every colour value; columns: 12 alphas a pass of 64 destinations each.
    for (int firstAlpha = 0; firstAlpha < 256; firstAlpha += 12) {
        Pixels start(static_cast<std::size_t>(width) * height);
        for (int i = 0; i < width * height; ++i) {
            start[static_cast<std::size_t>(i)] = destination(i % 64);
        }
        const Drawing fills = [&](ui::LCD& lcd) {
            for (int a = firstAlpha; a < std::min(firstAlpha + 12, 256); ++a) {
                for (int c = 0; c < 256; ++c) {
                    const ui::colortype color = 0xFF000000u | static_cast<ui::colortype>(c) << 16 |
                                                static_cast<ui::colortype>(c) << 8 |
                                                static_cast<ui::colortype>(255 - c);
                    lcd.fillRect(
                        ui::Rect(static_cast<std::int16_t>((a - firstAlpha) * 64), static_cast<std::int16_t>(c), 64, 1),
                        color, static_cast<std::uint8_t>(a));
                }
            }
        };
        ASSERT_EQ(differing(start, fills), 0) << "alphas from " << firstAlpha;
    }
}

TEST(BlitterEquivalence, Rgb565AndRgb888BitmapsAtEveryAlpha)
{
    // RGB565: every source value along x, every destination down y.
    std::vector<std::uint8_t> rgb565(64 * 64 * 2);
    for (int y = 0; y < 64; ++y) {
        for (int x = 0; x < 64; ++x) {
            const std::uint16_t v = destination(63 - x);
            rgb565[static_cast<std::size_t>(y * 64 + x) * 2] = static_cast<std::uint8_t>(v);
            rgb565[static_cast<std::size_t>(y * 64 + x) * 2 + 1] = static_cast<std::uint8_t>(v >> 8);
        }
    }
    // RGB888: every 8-bit channel value along x.
    std::vector<std::uint8_t> rgb888(256 * 64 * 3);
    for (int y = 0; y < 64; ++y) {
        for (int x = 0; x < 256; ++x) {
            std::uint8_t* p = &rgb888[static_cast<std::size_t>(y * 256 + x) * 3]; // B, G, R
            p[0] = static_cast<std::uint8_t>(255 - x);
            p[1] = static_cast<std::uint8_t>(x);
            p[2] = static_cast<std::uint8_t>(x);
        }
    }
    const ui::Bitmap small = registered(rgb565.data(), 64, 64, ui::Bitmap::RGB565);
    const ui::Bitmap wide = registered(rgb888.data(), 256, 64, ui::Bitmap::RGB888);
    for (int firstAlpha = 0; firstAlpha < 256; firstAlpha += 7) {
        const Drawing bitmaps = [&](ui::LCD& lcd) {
            for (int a = firstAlpha; a < std::min(firstAlpha + 7, 256); ++a) {
                const auto y = static_cast<std::int16_t>((a - firstAlpha) * 64);
                lcd.drawBitmap(small, 0, y, ui::Rect(0, 0, width, height), static_cast<std::uint8_t>(a));
                lcd.drawBitmap(wide, 100, y, ui::Rect(0, 0, width, height), static_cast<std::uint8_t>(a));
            }
        };
        ASSERT_EQ(differing(rowsOfDestinations(356), bitmaps), 0) << "alphas from " << firstAlpha;
    }
}

TEST(BlitterEquivalence, Argb8888BitmapsAndPixelsAtEveryAlphaOfTheirsAndTheWidgets)
{
    // Every source alpha down y, every channel value along x.
    std::vector<std::uint8_t> argb(256 * 256 * 4);
    std::vector<std::uint32_t> words(256 * 256);
    for (int y = 0; y < 256; ++y) {
        for (int x = 0; x < 256; ++x) {
            std::uint8_t* p = &argb[static_cast<std::size_t>(y * 256 + x) * 4]; // B, G, R, A
            p[0] = static_cast<std::uint8_t>(255 - x);
            p[1] = static_cast<std::uint8_t>(x);
            p[2] = static_cast<std::uint8_t>(x);
            p[3] = static_cast<std::uint8_t>(y);
            words[static_cast<std::size_t>(y * 256 + x)] =
                static_cast<std::uint32_t>(y) << 24 | static_cast<std::uint32_t>(x) << 16 |
                static_cast<std::uint32_t>(x) << 8 | static_cast<std::uint32_t>(255 - x);
        }
    }
    const ui::Bitmap bitmap = registered(argb.data(), 256, 256, ui::Bitmap::ARGB8888);

    // Opaque widget: every destination value under every source pixel, as
    // a bitmap and as ARGB8888 pixels straight from memory.
    for (int d = 0; d < 64; ++d) {
        const Pixels start(static_cast<std::size_t>(width) * height, destination(d));
        const Drawing draw = [&](ui::LCD& lcd) {
            lcd.drawBitmap(bitmap, 0, 0, ui::Rect(0, 0, width, height));
            lcd.blendArgb8888(words.data(), 300, 0, 256, 256, 256, ui::Rect(0, 0, width, height));
        };
        ASSERT_EQ(differing(start, draw), 0) << "destination " << d;
    }
    // Every widget alpha against every source alpha and channel value.
    for (int firstAlpha = 0; firstAlpha < 256; firstAlpha += 3) {
        Pixels start(static_cast<std::size_t>(width) * height);
        for (int i = 0; i < width * height; ++i) {
            start[static_cast<std::size_t>(i)] = destination((i + i / width) % 64);
        }
        const Drawing draw = [&](ui::LCD& lcd) {
            for (int a = firstAlpha; a < std::min(firstAlpha + 3, 256); ++a) {
                lcd.drawBitmap(bitmap, static_cast<std::int16_t>((a - firstAlpha) * 260), 0,
                               ui::Rect(0, 0, width, height), static_cast<std::uint8_t>(a));
            }
        };
        ASSERT_EQ(differing(start, draw), 0) << "widget alphas from " << firstAlpha;
    }
}

TEST(BlitterEquivalence, GlyphsAtEveryLevelAlphaAndColour)
{
    // One 16 x 64 glyph: column c has level c in every row.
    std::vector<std::uint8_t> mask(8 * 64);
    for (std::size_t i = 0; i < mask.size(); ++i) {
        const auto low = static_cast<std::uint8_t>((i % 8) * 2);
        mask[i] = static_cast<std::uint8_t>(low | (low + 1) << 4);
    }
    const ui::GlyphNode glyph{0, u'A', 16, 64, 64, 0, 16, 0, 0};
    const ui::Font font(&glyph, 1, mask.data(), nullptr, 64, 64, 0, 0, u'A');
    const ui::UnicodeChar text[] = {u'A', 0};
    const ui::Rect all(0, 0, width, height);

    // Opaque text: each colour over every destination, the glyph drawn
    // whole and from its second column (a byte holds two columns: the
    // processor draws that one).
    const Drawing opaque = [&](ui::LCD& lcd) {
        for (int c = 0; c < 256; ++c) {
            const auto x = static_cast<std::int16_t>(c % 50 * 16);
            const auto y = static_cast<std::int16_t>(c / 50 * 64);
            const ui::colortype color = static_cast<ui::colortype>(c) << 16 | static_cast<ui::colortype>(c) << 8 |
                                        static_cast<ui::colortype>(255 - c);
            const ui::Rect clip = c % 2 == 0 ? all : ui::Rect(static_cast<std::int16_t>(x + 1), 0, width, height);
            lcd.drawString(ui::Rect(x, y, 16, 64), clip, font, color, ui::LEFT, 64, text, nullptr, 255);
        }
    };
    ASSERT_EQ(differing(rowsOfDestinations(width), opaque), 0);

    // Every text alpha with every colour over one destination row.
    for (int firstAlpha = 0; firstAlpha < 256; firstAlpha += 32) {
        const Drawing translucent = [&](ui::LCD& lcd) {
            for (int a = firstAlpha; a < firstAlpha + 32; ++a) {
                for (int c = 0; c < 256; ++c) {
                    const auto x = static_cast<std::int16_t>(c % 48 * 16);
                    const auto y = static_cast<std::int16_t>(((a - firstAlpha) * 6 + c / 48) * 2);
                    const ui::colortype color = static_cast<ui::colortype>(c) << 16 |
                                                static_cast<ui::colortype>(255 - c) << 8 |
                                                static_cast<ui::colortype>(c);
                    lcd.drawString(ui::Rect(x, static_cast<std::int16_t>(y - 63), 16, 64), ui::Rect(x, y, 16, 1), font,
                                   color, ui::LEFT, 64, text, nullptr, static_cast<std::uint8_t>(a));
                }
            }
        };
        Pixels start(static_cast<std::size_t>(width) * height, destination(37));
        ASSERT_EQ(differing(start, translucent), 0) << "alphas from " << firstAlpha;
    }
}
