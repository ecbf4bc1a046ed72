#include <cstdint>

#include <gtest/gtest.h>

#include "board_config/BoardConfig.hpp"
#include "framework_tests/FrameworkFixture.hpp"
#include "support/AssertionMatcher.hpp"
#include "ui/Bitmap.hpp"
#include "ui/Font.hpp"
#include "ui/TypedText.hpp"
#include "ui/widgets/Image.hpp"
#include "ui/widgets/TextArea.hpp"
#include "ui/widgets/canvas/CanvasWidget.hpp"
#include "ui/widgets/canvas/CanvasWidgetRenderer.hpp"

using fixture::Framework;

namespace {

// A 4 x 4 opaque RGB565 image: red left half, green right half; and a
// 2 x 1 ARGB8888 image: opaque blue, then blue at alpha 0.
const std::uint8_t redGreen[] = {0x00, 0xF8, 0x00, 0xF8, 0xE0, 0x07, 0xE0, 0x07, 0x00, 0xF8, 0x00,
                                 0xF8, 0xE0, 0x07, 0xE0, 0x07, 0x00, 0xF8, 0x00, 0xF8, 0xE0, 0x07,
                                 0xE0, 0x07, 0x00, 0xF8, 0x00, 0xF8, 0xE0, 0x07, 0xE0, 0x07};
const std::uint8_t blueFading[] = {0xFF, 0x00, 0x00, 0xFF, 0xFF, 0x00, 0x00, 0x00};
const ui::Bitmap::BitmapData bitmaps[] = {
    {redGreen, nullptr, 4, 4, 0, 0, 4, 0, 4, 0},
    {blueFading, nullptr, 2, 1, 0, 0, 1, 0, 1, 2},
};

// Two glyphs, 2 x 3 pixels of full ink, advance 3; "?" is the fallback.
const std::uint8_t glyphPixels[] = {0xFF, 0xFF, 0xFF};
const ui::GlyphNode glyphs[] = {
    {0, u'1', 2, 3, 3, 0, 3, 0, 0},
    {0, u'?', 2, 3, 3, 0, 3, 0, 0},
};
const ui::Font font(glyphs, 2, glyphPixels, nullptr, 4, 3, 0, 0, u'?');
const ui::Font* const fonts[] = {&font};
const ui::TypedTextData typedTexts[] = {{0, ui::LEFT, 0}, {0, ui::RIGHT, 0}};
// "1", and a placeholder between two "1"s.
const ui::UnicodeChar pool[] = {u'1', 0, u'1', ui::TEXT_PLACEHOLDER, u'1', 0};
const std::uint32_t offsets[] = {0, 2};
const ui::LanguageTexts languages[] = {{pool, offsets, 2}};

class Drawing : public Framework {
protected:
    Drawing()
    {
        ui::Bitmap::registerBitmapDatabase(bitmaps, 2);
        ui::TypedText::registerTypedTextDatabase(typedTexts, fonts, 2);
        ui::Texts::setLanguages(languages, 1);
        background.setPosition(0, 0, board::panelWidth, board::panelHeight);
        background.setColor(0xFFFFFFFF);
        screen.add(background);
    }

    void show()
    {
        app.show(screen);
        frame();
    }

    ui::Screen screen;
    ui::Box background;
};

} // namespace

TEST(ResourceDeathTest, TablesMustBeRegisteredBeforeUse)
{
    EXPECT_ASSERTION(ui::Bitmap(0).getId(), "bitmaps != 0 && \"Bitmap database has not been initialized.\"");
    EXPECT_ASSERTION(ui::TypedText(0).getFont(), "typedTexts != 0 && \"TypedText database has not been initialized.\"");
}

TEST_F(Drawing, TypedTextIdPastTheTableAsserts)
{
    EXPECT_ASSERTION(ui::TypedText(2).getFont(), "hasValidId() && \"typedTextId larger than numberOfTypedTexts.\"");
}

TEST_F(Drawing, ImageTakesItsBitmapSizeAndBlendsAlpha)
{
    ui::Image opaque(ui::Bitmap(0));
    ui::Image translucent(ui::Bitmap(1));
    opaque.setXY(10, 10);
    translucent.setXY(20, 10);
    screen.add(opaque);
    screen.add(translucent);
    show();
    EXPECT_EQ(opaque.getWidth(), 4);
    EXPECT_EQ(opaque.getSolidRect(), ui::Rect(0, 0, 4, 4));
    EXPECT_EQ(shownPixel(11, 12), 0xF800);
    EXPECT_EQ(shownPixel(13, 12), 0x07E0);
    EXPECT_EQ(shownPixel(14, 12), 0xFFFF);
    EXPECT_EQ(shownPixel(20, 10), 0x001F);
    EXPECT_EQ(shownPixel(21, 10), 0xFFFF);
}

TEST_F(Drawing, TextAreaSizesToItsTextAndFillsTheWildcard)
{
    ui::TextAreaWithOneWildcard text;
    const ui::UnicodeChar wildcard[] = {u'1', u'x', 0}; // x is missing: drawn as ?
    text.setWildcard(wildcard);
    text.setTypedText(ui::TypedText(1));
    EXPECT_EQ(text.getWidth(), 12);
    EXPECT_EQ(text.getHeight(), 4);

    text.setPosition(100, 0, 20, 4);
    text.setBaselineY(53);
    EXPECT_EQ(text.getY(), 50);
    text.resizeToCurrentTextWithAlignment(); // right-aligned: the right edge stays at 120
    EXPECT_EQ(text.getX(), 108);
    text.setColor(0xFF000000);
    screen.add(text);
    show();
    // Four glyphs of 2 x 3 ink, advancing 3 pixels, from the area's top.
    for (int glyph = 0; glyph < 4; ++glyph) {
        EXPECT_EQ(shownPixel(108 + glyph * 3, 50), 0x0000) << glyph;
        EXPECT_EQ(shownPixel(108 + glyph * 3 + 1, 52), 0x0000) << glyph;
        EXPECT_EQ(shownPixel(108 + glyph * 3 + 2, 51), 0xFFFF) << glyph;
    }
    EXPECT_EQ(shownPixel(108, 53), 0xFFFF);
}

TEST_F(Drawing, CircleRingPaintsBitmapPixelsInsideTheArcOnly)
{
    std::uint8_t scratch[64];
    ui::CanvasWidgetRenderer::setupBuffer(scratch, sizeof scratch);
    ui::PainterRGB565Bitmap painter(ui::Bitmap(0));
    ui::Circle quarter;
    quarter.setPosition(200, 200, 4, 4);
    quarter.setCenter(0, 4);
    quarter.setRadius(4);
    quarter.setLineWidth(0);
    quarter.setArc(0, 90); // the sector from twelve to three o'clock
    quarter.setPainter(painter);
    screen.add(quarter);
    show();
    EXPECT_EQ(shownPixel(200, 203), 0xF800); // near the centre: red half of the bitmap
    EXPECT_EQ(shownPixel(202, 203), 0x07E0);
    EXPECT_EQ(shownPixel(203, 200), 0xFFFF); // outside the radius
    EXPECT_EQ(quarter.getRadiusFixed(), 128);

    quarter.setCapPrecision(0);
    EXPECT_EQ(quarter.getCapPrecision(), 1);
    ui::CanvasWidgetRenderer::resetBuffer();
    quarter.invalidate();
    EXPECT_ASSERTION(frame(), "CanvasWidgetRenderer::hasBuffer() && \"CanvasWidgetRenderer has no scratch buffer\"");
}
