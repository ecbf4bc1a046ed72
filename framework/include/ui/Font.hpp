#pragma once

#include <cstdint>

#include "ui/Unicode.hpp"

namespace ui {

using FontId = std::uint16_t;

// One glyph of a generated font; its pixels are 4 bits each, rows padded to
// whole bytes, starting at `dataOffset` in the font's pixel data.
struct GlyphNode {
    std::uint32_t dataOffset;
    UnicodeChar unicode;
    std::uint8_t width;
    std::uint8_t height;
    std::int16_t top; // baseline to the top row, upwards positive
    std::int8_t left; // pen position to the first column
    std::uint8_t advance;
    std::uint16_t kerningTablePos;
    std::uint8_t kerningTableSize;
};

// Adjusts the advance after `unicodePrevChar` when followed by the glyph.
struct KerningNode {
    UnicodeChar unicodePrevChar;
    std::int8_t distance;
};

// A font made from generated tables: glyphs sorted by code point.
class Font {
public:
    Font(const GlyphNode* glyphs, std::uint16_t glyphCount, const std::uint8_t* pixels, const KerningNode* kerning,
         std::uint16_t height, std::uint16_t baseline, std::uint8_t maxLeft, std::uint8_t maxRight,
         UnicodeChar fallbackChar);

    // The glyph for `c`, the fallback glyph when the font lacks it, or null.
    const GlyphNode* getGlyph(UnicodeChar c) const;
    const std::uint8_t* getPixelData(const GlyphNode& glyph) const { return pixelData + glyph.dataOffset; }
    std::int8_t getKerning(UnicodeChar previous, const GlyphNode& glyph) const;

    std::uint16_t getHeight() const { return fontHeight; }
    std::uint16_t getBaseline() const { return fontBaseline; }
    std::uint8_t getMaxPixelsLeft() const { return maxPixelsLeft; }
    std::uint8_t getMaxPixelsRight() const { return maxPixelsRight; }
    std::uint8_t getBitsPerPixel() const { return 4; }

private:
    const GlyphNode* findGlyph(UnicodeChar c) const;

    const GlyphNode* glyphTable;
    std::uint16_t numberOfGlyphs;
    const std::uint8_t* pixelData;
    const KerningNode* kerningTable;
    std::uint16_t fontHeight;
    std::uint16_t fontBaseline;
    std::uint8_t maxPixelsLeft;
    std::uint8_t maxPixelsRight;
    UnicodeChar fallback;
};

// Maps font identifiers to fonts (the application supplies one).
class FontProvider {
public:
    virtual ~FontProvider() = default;
    virtual Font* getFont(FontId fontId) = 0;
};

class FontManager {
public:
    static void setFontProvider(FontProvider* provider) { fontProvider = provider; }
    static Font* getFont(FontId fontId) { return fontProvider != nullptr ? fontProvider->getFont(fontId) : nullptr; }

private:
    static FontProvider* fontProvider;
};

} // namespace ui
