#include "fontconvert/Typeface.hpp"

#include <cmath>
#include <stdexcept>

#include <hb-ft.h>
#include <hb.h>

namespace fontconvert {

namespace {

constexpr FT_Int32 loadFlags = FT_LOAD_TARGET_LIGHT;

// Where the second glyph's origin lands, in 26.6 pixels, with or without
// the typeface's kerning; ligatures off so the pair stays two glyphs.
hb_position_t secondOrigin(hb_font_t* font, char32_t left, char32_t right, bool kern)
{
    hb_buffer_t* buffer = hb_buffer_create();
    const hb_codepoint_t text[] = {left, right};
    hb_buffer_add_utf32(buffer, text, 2, 0, 2);
    hb_buffer_set_direction(buffer, HB_DIRECTION_LTR);
    hb_buffer_set_script(buffer, HB_SCRIPT_LATIN);
    hb_feature_t features[5];
    const char* names[] = {kern ? "kern" : "-kern", "-liga", "-clig", "-calt", "-dlig"};
    for (int i = 0; i < 5; ++i) {
        hb_feature_from_string(names[i], -1, &features[i]);
    }
    hb_shape(font, buffer, features, 5);
    unsigned int count = 0;
    const hb_glyph_position_t* positions = hb_buffer_get_glyph_positions(buffer, &count);
    const hb_position_t origin = count == 2 ? positions[0].x_advance + positions[1].x_offset : 0;
    hb_buffer_destroy(buffer);
    return origin;
}

} // namespace

Typeface::Typeface(const std::string& path, int pixelSize)
{
    if (FT_Init_FreeType(&library) != 0) {
        throw std::runtime_error("cannot start FreeType");
    }
    if (FT_New_Face(library, path.c_str(), 0, &ftFace) != 0) {
        FT_Done_FreeType(library);
        throw std::runtime_error(path + ": FreeType cannot read this typeface");
    }
    if (FT_Set_Pixel_Sizes(ftFace, 0, static_cast<FT_UInt>(pixelSize)) != 0) {
        FT_Done_Face(ftFace);
        FT_Done_FreeType(library);
        throw std::runtime_error(path + ": cannot set " + std::to_string(pixelSize) + " px");
    }
    shaper = hb_ft_font_create_referenced(ftFace);
    hb_ft_font_set_load_flags(shaper, loadFlags);
}

Typeface::~Typeface()
{
    hb_font_destroy(shaper);
    FT_Done_Face(ftFace);
    FT_Done_FreeType(library);
}

bool Typeface::hasGlyph(char32_t c) const
{
    return FT_Get_Char_Index(ftFace, c) != 0;
}

RenderedGlyph Typeface::render(char32_t c) const
{
    if (FT_Load_Char(ftFace, c, loadFlags | FT_LOAD_RENDER) != 0) {
        throw std::runtime_error("FreeType cannot render U+" + std::to_string(static_cast<unsigned>(c)));
    }
    const FT_GlyphSlot slot = ftFace->glyph;
    const FT_Bitmap& bitmap = slot->bitmap;
    RenderedGlyph glyph;
    glyph.width = static_cast<int>(bitmap.width);
    glyph.height = static_cast<int>(bitmap.rows);
    glyph.top = slot->bitmap_top;
    glyph.left = slot->bitmap_left;
    glyph.advance = static_cast<int>((slot->advance.x + 32) >> 6);
    glyph.coverage.resize(static_cast<std::size_t>(glyph.width) * glyph.height);
    for (int y = 0; y < glyph.height; ++y) {
        for (int x = 0; x < glyph.width; ++x) {
            glyph.coverage[static_cast<std::size_t>(y) * glyph.width + x] =
                bitmap.buffer[static_cast<std::ptrdiff_t>(y) * bitmap.pitch + x];
        }
    }
    return glyph;
}

int Typeface::kerning(char32_t left, char32_t right) const
{
    const hb_position_t difference = secondOrigin(shaper, left, right, true) - secondOrigin(shaper, left, right, false);
    return static_cast<int>(std::lround(difference / 64.0));
}

} // namespace fontconvert
