#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "fontconvert/Typeface.hpp"

namespace fontconvert {

// The font's box and limits, as the text table's fonts declare them.
struct FontSpec {
    std::string name; // the getter is getFont_<name>
    int pixelSize;
    int height;   // pixels from the font's top to its bottom
    int baseline; // pixels from the top to the baseline
    int maxLeft;  // how far a glyph may reach left of its pen position
    int maxRight; // and right of its advance
    char32_t fallback;
};

// One glyph record as the firmware's glyph table holds it.
struct GlyphRecord {
    char32_t unicode;
    std::uint32_t dataOffset;
    int width;
    int height;
    int top;
    int left;
    int advance;
    std::uint16_t kerningPos;
    std::uint8_t kerningSize;
};

struct KerningRecord {
    char32_t previous;
    int distance;
};

// A 4-bit glyph table: pixels clipped to the font's box and overhangs,
// empty edges trimmed, rows padded to whole bytes, low nibble first.
class FontTable {
public:
    // Throws std::runtime_error when the typeface lacks a character or the
    // fallback is not in the set.
    FontTable(const Typeface& typeface, const FontSpec& spec, const std::vector<char32_t>& characters);

    const std::vector<GlyphRecord>& glyphs() const { return glyphRecords; }
    const std::vector<KerningRecord>& kerning() const { return kerningRecords; }
    const std::vector<std::uint8_t>& pixels() const { return pixelData; }
    // The glyph's 4-bit value at (x, y) of its own box.
    int level(const GlyphRecord& glyph, int x, int y) const;

    // C++ source of the table and its getter; it embeds the pixels from
    // `blobFileName`, found on the assembler's include path.
    std::string source(const std::string& blobFileName, const std::string& origin) const;

private:
    void addGlyph(char32_t c, const RenderedGlyph& rendered);

    FontSpec font;
    std::vector<GlyphRecord> glyphRecords;
    std::vector<KerningRecord> kerningRecords;
    std::vector<std::uint8_t> pixelData;
};

} // namespace fontconvert
