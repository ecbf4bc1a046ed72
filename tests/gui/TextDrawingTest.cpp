#include <algorithm>
#include <vector>

#include <gtest/gtest.h>

#include "board_config/BoardConfig.hpp"
#include "board_glue/FrameBuffers.hpp"
#include "common/FrontendSetup.hpp"
#include "fonts/ApplicationFontProvider.hpp"
#include "texts/TextKeysAndLanguages.hpp"
#include "ui/HALGPU.hpp"
#include "ui/LCD.hpp"
#include "ui/LCDGPU.hpp"
#include "ui/Unicode.hpp"
#include "ui/widgets/Image.hpp"
#include "ui/widgets/TextArea.hpp"

namespace {

class NoTouch : public ui::TouchController {
public:
    void init() override {}
    bool sampleTouch(std::int32_t&, std::int32_t&) override { return false; }
};

constexpr std::uint16_t white = 0xFFFF;

// Draws into the back buffer over white, as the frame loop would.
class TextDrawing : public ::testing::Test {
protected:
    TextDrawing() : hal(lcd, touch, board::panelWidth, board::panelHeight)
    {
        static FrontendHeap& heap = setupFrontend();
        static_cast<void>(heap);
        hal.setFrameBufferStartAddresses(frameBuf, frameBuf + frameBufferPixels, nullptr);
        std::fill(pixels(), pixels() + board::panelPixels, white);
    }

    std::uint16_t* pixels() const { return hal.getClientFrameBuffer(); }
    void draw(const ui::Drawable& d) { d.draw(ui::Rect(0, 0, d.getWidth(), d.getHeight())); }

    // Compares the frame buffer around (x, y) with the glyph table: a pixel
    // is painted exactly where some glyph of `text` has a level above 0.
    void expectGlyphsAt(const ui::Font& font, const std::u16string& text, int x, int y)
    {
        std::vector<int> levels(board::panelPixels, 0);
        int pen = x;
        ui::UnicodeChar previous = 0;
        for (const char16_t c : text) {
            const ui::GlyphNode* glyph = font.getGlyph(c);
            ASSERT_NE(glyph, nullptr);
            pen += font.getKerning(previous, *glyph);
            const std::uint8_t* data = font.getPixelData(*glyph);
            for (int row = 0; row < glyph->height; ++row) {
                for (int column = 0; column < glyph->width; ++column) {
                    const int level = (data[row * ((glyph->width + 1) / 2) + column / 2] >> ((column & 1) * 4)) & 15;
                    const int px = pen + glyph->left + column;
                    const int py = y + font.getBaseline() - glyph->top + row;
                    levels[py * board::panelWidth + px] = std::max(levels[py * board::panelWidth + px], level);
                }
            }
            pen += glyph->advance;
            previous = glyph->unicode;
        }
        int painted = 0;
        for (int i = 0; i < board::panelWidth * board::panelHeight; ++i) {
            ASSERT_EQ(pixels()[i] != white, levels[i] > 0)
                << "pixel " << i % board::panelWidth << ", " << i / board::panelWidth;
            if (levels[i] == 15) {
                ASSERT_EQ(pixels()[i], 0x0000) << "a full level is the text's own colour";
            }
            painted += levels[i] > 0 ? 1 : 0;
        }
        EXPECT_GT(painted, 100);
    }

    ui::LCDGPU lcd;
    NoTouch touch;
    ui::HALGPU hal;
};

} // namespace

TEST_F(TextDrawing, OrderInFont3LandsWhereTheGlyphTableSays)
{
    ui::TextArea order;
    order.setXY(100, 200);
    order.setTypedText(ui::TypedText(T_ORDER));
    order.setColor(0xFF000000);
    EXPECT_EQ(order.getHeight(), 44);
    draw(order);
    expectGlyphsAt(getFont_BarlowCondensed_ExtraBold_44_4bpp(), u"ORDER", 100, 200);
}

TEST_F(TextDrawing, WildcardTextShowsItsBufferCutAtTheBuffer)
{
    ui::UnicodeChar time[6];
    ui::Unicode::snprintf(time, 6, "%02d:%02d", 1, 14);
    ui::TextAreaWithOneWildcard remaining;
    remaining.setWildcard(time);
    remaining.setXY(300, 100);
    remaining.setTypedText(ui::TypedText(T_REMAINING_TIME));
    draw(remaining);
    expectGlyphsAt(getFont_BarlowCondensed_ExtraBold_44_4bpp(), u"01:14", 300, 100);

    // Longer than its buffer: cut there, terminated, and only that is drawn.
    ui::UnicodeChar shortBuffer[4];
    ui::Unicode::snprintf(shortBuffer, 4, "%d", 12345);
    remaining.setWildcard(shortBuffer);
    remaining.resizeToCurrentText();
    const ui::UnicodeChar cut[] = {'1', '2', '3', 0};
    EXPECT_EQ(remaining.getTextWidth(),
              ui::LCD::getStringWidth(getFont_BarlowCondensed_ExtraBold_44_4bpp(), cut, nullptr));
}

TEST_F(TextDrawing, IdentifiersOutsideTheTablesDrawNothing)
{
    ApplicationFontProvider provider;
    EXPECT_EQ(provider.getFont(3), &getFont_BarlowCondensed_ExtraBold_44_4bpp());
    EXPECT_EQ(provider.getFont(4), nullptr);
    EXPECT_EQ(provider.getFont(0xFFFF), nullptr);

    ui::Image image(ui::Bitmap(35));
    image.setPosition(0, 0, 100, 100);
    draw(image);
    EXPECT_TRUE(std::all_of(pixels(), pixels() + board::panelPixels, [](std::uint16_t p) { return p == white; }));
}
