// Maintained by hand: no tool writes this file.

#pragma once

#include <cstdint>

#include "ui/Font.hpp"
#include "ui/TypedText.hpp"

// The texts of the one language and, per text, its font and alignment.
namespace TypedTextDatabase {
const ui::TypedTextData* getInstance();
std::uint16_t getInstanceSize();
// The fonts by identifier, taken from the font getters on first use.
const ui::Font* const* getFonts();
// The one language's string pool and offsets.
const ui::LanguageTexts* getLanguages();
std::uint16_t getLanguageCount();
} // namespace TypedTextDatabase
