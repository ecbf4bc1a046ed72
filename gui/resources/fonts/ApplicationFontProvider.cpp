// Maintained by hand: no tool writes this file.

#include "fonts/ApplicationFontProvider.hpp"

#include "texts/TypedTextDatabase.hpp"

ui::Font* ApplicationFontProvider::getFont(ui::FontId fontId)
{
    if (fontId >= FONT_COUNT) {
        return nullptr;
    }
    return const_cast<ui::Font*>(TypedTextDatabase::getFonts()[fontId]);
}
