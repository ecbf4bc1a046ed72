#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include <ft2build.h>
#include FT_FREETYPE_H

struct hb_font_t;

namespace fontconvert {

// One glyph as FreeType renders it: 8-bit coverage, row by row.
struct RenderedGlyph {
    int width = 0;
    int height = 0;
    int top = 0;  // baseline to the top row, upwards
    int left = 0; // pen position to the first column
    int advance = 0;
    std::vector<std::uint8_t> coverage;
};

// A typeface file opened at one pixel size.
class Typeface {
public:
    // Throws std::runtime_error when FreeType cannot read the file.
    Typeface(const std::string& path, int pixelSize);
    ~Typeface();
    Typeface(const Typeface&) = delete;
    Typeface& operator=(const Typeface&) = delete;

    bool hasGlyph(char32_t c) const;
    // Anti-aliased, hinted lightly (vertically only) so stems stay crisp
    // and advances keep their design widths.
    RenderedGlyph render(char32_t c) const;
    // The distance (pixels) to add between `left` and `right`, from the
    // typeface's kerning (GPOS or the older kern table) at this size.
    int kerning(char32_t left, char32_t right) const;

    FT_Face face() const { return ftFace; }

private:
    FT_Library library = nullptr;
    FT_Face ftFace = nullptr;
    hb_font_t* shaper = nullptr;
};

} // namespace fontconvert
