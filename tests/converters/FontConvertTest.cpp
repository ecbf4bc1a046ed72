#include <stdexcept>

#include <gtest/gtest.h>

#include "fontconvert/CharacterSet.hpp"
#include "fontconvert/FontTable.hpp"
#include "fontconvert/Typeface.hpp"

using namespace fontconvert;

namespace {

const std::string dejavuSans = "/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf";
const std::string barlowExtraBold =
    std::string(NPM_DIR) + "/node_modules/@fontsource/barlow-condensed/files/barlow-condensed-latin-800-normal.woff";

// Font 3 of the text table.
const FontSpec timeFont{"time", 44, 44, 44, 0, 0, U'?'};
const char* timeCharacters = "0x30-0x3A,0x3F,0x41,0x44,0x45,0x49,0x4F,0x52,0x56";

} // namespace

TEST(CharacterSet, RangesAndSinglesSortedWithoutRepeatsAndBadEntriesNamed)
{
    EXPECT_EQ(parseCharacterSet("0x3F,0x30-0x32,0x31"), (std::vector<char32_t>{U'0', U'1', U'2', U'?'}));
    for (const char* bad : {"0x30-", "30", "0x32-0x30", "0x1F600", "", "0x41,zz"}) {
        EXPECT_THROW(parseCharacterSet(bad), std::runtime_error) << bad;
    }
}

TEST(FontTable, GlyphMetricsAgreeWithFreeTypeInsideTheFontBox)
{
    const Typeface typeface(barlowExtraBold, 44);
    const FontTable table(typeface, timeFont, parseCharacterSet(timeCharacters));
    ASSERT_EQ(table.glyphs().size(), 19u);
    for (const GlyphRecord& glyph : table.glyphs()) {
        SCOPED_TRACE(static_cast<char>(glyph.unicode));
        const RenderedGlyph reference = typeface.render(glyph.unicode);
        EXPECT_EQ(glyph.advance, reference.advance);
        // The stored box lies inside FreeType's and inside the font's box
        // without overhang.
        EXPECT_GE(glyph.left, reference.left);
        EXPECT_LE(glyph.left + glyph.width, reference.left + reference.width);
        EXPECT_LE(glyph.top, reference.top);
        EXPECT_GE(glyph.top - glyph.height, reference.top - reference.height);
        EXPECT_LE(glyph.top, 44);
        EXPECT_GE(glyph.left, 0);
        EXPECT_LE(glyph.left + glyph.width, glyph.advance);
        // Every stored level is FreeType's coverage in 4 bits.
        for (int y = 0; y < glyph.height; ++y) {
            for (int x = 0; x < glyph.width; ++x) {
                const int rx = glyph.left + x - reference.left;
                const int ry = reference.top - glyph.top + y;
                const int coverage = reference.coverage[static_cast<std::size_t>(ry) * reference.width + rx];
                ASSERT_EQ(table.level(glyph, x, y), (coverage * 15 + 127) / 255) << x << "," << y;
            }
        }
    }
    // The typeface kerns "AV" tighter.
    EXPECT_LT(typeface.kerning(U'A', U'V'), 0);
}

TEST(FontTable, PixelsOutsideTheBoxAndOverhangAreCut)
{
    // A box far too small for 20 px letters: 6 pixels above the baseline,
    // 2 below, no overhang.
    const Typeface typeface(dejavuSans, 20);
    const FontSpec tight{"tight", 20, 8, 6, 0, 0, U'?'};
    const FontTable table(typeface, tight, parseCharacterSet("0x3F,0x41,0x67,0x6A"));
    for (const GlyphRecord& glyph : table.glyphs()) {
        EXPECT_LE(glyph.top, 6);
        EXPECT_GE(glyph.top - glyph.height, -2);
        EXPECT_GE(glyph.left, 0);
        EXPECT_LE(glyph.left + glyph.width, glyph.advance);
    }
}

TEST(FontTable, SameInputsGiveByteIdenticalOutput)
{
    const auto build = [] {
        const Typeface typeface(dejavuSans, 20);
        const FontSpec font0{"verdana_20_4bpp", 20, 24, 20, 1, 1, U'?'};
        const FontTable table(typeface, font0, parseCharacterSet("0x20-0x3A,0x3F,0x41-0x5A,0x61-0x7A,0xE1"));
        return std::make_pair(table.pixels(), table.source("Font.bin", "DejaVuSans.ttf"));
    };
    const auto first = build();
    EXPECT_EQ(first, build());
    EXPECT_NE(first.second.find("{0x0041, -1}"), std::string::npos) << "kerning pairs of A";
}

TEST(FontTable, MissingFallbackOrCharacterIsAnError)
{
    const Typeface typeface(barlowExtraBold, 44);
    EXPECT_THROW(FontTable(typeface, timeFont, parseCharacterSet("0x30-0x39")), std::runtime_error);
    EXPECT_THROW(FontTable(typeface, timeFont, parseCharacterSet("0x3F,0x4E00")), std::runtime_error);
    EXPECT_THROW(Typeface("/nonexistent.woff", 20), std::runtime_error);
}
