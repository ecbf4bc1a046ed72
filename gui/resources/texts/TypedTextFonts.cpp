// Maintained by hand: no tool writes this file.

#include "fonts/ApplicationFontProvider.hpp"
#include "texts/TypedTextDatabase.hpp"

namespace TypedTextDatabase {

const ui::Font* const* getFonts()
{
    static const ui::Font* const fonts[ApplicationFontProvider::FONT_COUNT] = {
        &getFont_verdana_20_4bpp(),
        &getFont_BarlowCondensed_Bold_16_4bpp(),
        &getFont_BarlowCondensed_Bold_30_4bpp(),
        &getFont_BarlowCondensed_ExtraBold_44_4bpp(),
    };
    return fonts;
}

} // namespace TypedTextDatabase
