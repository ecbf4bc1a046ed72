// Maintained by hand: no tool writes this file.

#pragma once

#include "ui/Font.hpp"

// The four fonts of the text table; each getter builds its font once from
// the generated glyph, pixel and kerning tables.
ui::Font& getFont_verdana_20_4bpp();
ui::Font& getFont_BarlowCondensed_Bold_16_4bpp();
ui::Font& getFont_BarlowCondensed_Bold_30_4bpp();
ui::Font& getFont_BarlowCondensed_ExtraBold_44_4bpp();

// Font identifiers 0 to 3 are the fonts above; any other has no font.
class ApplicationFontProvider : public ui::FontProvider {
public:
    static constexpr ui::FontId FONT_COUNT = 4;

    ui::Font* getFont(ui::FontId fontId) override;
};
