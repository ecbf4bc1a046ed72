#include "ui/Font.hpp"

namespace ui {

FontProvider* FontManager::fontProvider = nullptr;

Font::Font(const GlyphNode* glyphs, std::uint16_t glyphCount, const std::uint8_t* pixels, const KerningNode* kerning,
           std::uint16_t height, std::uint16_t baseline, std::uint8_t maxLeft, std::uint8_t maxRight,
           UnicodeChar fallbackChar)
    : glyphTable(glyphs), numberOfGlyphs(glyphCount), pixelData(pixels), kerningTable(kerning), fontHeight(height),
      fontBaseline(baseline), maxPixelsLeft(maxLeft), maxPixelsRight(maxRight), fallback(fallbackChar)
{
}

const GlyphNode* Font::findGlyph(UnicodeChar c) const
{
    int low = 0;
    int high = static_cast<int>(numberOfGlyphs) - 1;
    while (low <= high) {
        const int middle = (low + high) / 2;
        const UnicodeChar found = glyphTable[middle].unicode;
        if (found == c) {
            return &glyphTable[middle];
        }
        if (found < c) {
            low = middle + 1;
        } else {
            high = middle - 1;
        }
    }
    return nullptr;
}

const GlyphNode* Font::getGlyph(UnicodeChar c) const
{
    const GlyphNode* glyph = findGlyph(c);
    return glyph != nullptr ? glyph : findGlyph(fallback);
}

std::int8_t Font::getKerning(UnicodeChar previous, const GlyphNode& glyph) const
{
    if (kerningTable == nullptr || previous == 0) {
        return 0;
    }
    for (unsigned i = 0; i < glyph.kerningTableSize; ++i) {
        const KerningNode& node = kerningTable[glyph.kerningTablePos + i];
        if (node.unicodePrevChar == previous) {
            return node.distance;
        }
    }
    return 0;
}

} // namespace ui
