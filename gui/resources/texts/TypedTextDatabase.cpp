// Maintained by hand: no tool writes this file.

#include "texts/TypedTextDatabase.hpp"

#include <array>

#include "ui/Unicode.hpp"

namespace {

constexpr ui::UnicodeChar P = ui::TEXT_PLACEHOLDER;

// All texts in one pool, each ending in 0.
constexpr ui::UnicodeChar pool[] = {
    'G', 'E', 'T', ' ', 'E', 'X', 'C', 'I', 'T', 'E', 'D', ' ', 'N',  'O', 'W', 0,           // 0
    'P', 'I', 'Z', 'Z', 'A', ' ', 'O', 'N', ' ', 'I', 'T', 'S', '\'', ' ', 'W', 'A', 'Y', 0, // 16
    P,   0,                                                                                  // 34
    'O', 'R', 'D', 'E', 'R', 0,                                                              // 36
    'A', 'R', 'R', 'I', 'V', 'E', 'D', 0,                                                    // 42
    P,   ',', ' ', P,   0,                                                                   // 50
    'B', 'i', 't', 'r', 'a', 't', 'e', ':', 0,                                               // 55
    P,   0,                                                                                  // 64
    P,   ' ', 'f', 'p', 's', 0,                                                              // 66
};

constexpr std::uint32_t offsets[] = {0, 16, 34, 36, 42, 50, 55, 64, 66};

constexpr ui::LanguageTexts languages[] = {{pool, offsets, 9}};

constexpr ui::TypedTextData typedTexts[] = {
    {2, ui::CENTER, ui::TEXT_DIRECTION_LTR}, {2, ui::CENTER, ui::TEXT_DIRECTION_LTR},
    {3, ui::CENTER, ui::TEXT_DIRECTION_LTR}, {3, ui::CENTER, ui::TEXT_DIRECTION_LTR},
    {3, ui::CENTER, ui::TEXT_DIRECTION_LTR}, {0, ui::LEFT, ui::TEXT_DIRECTION_LTR},
    {1, ui::LEFT, ui::TEXT_DIRECTION_LTR},   {1, ui::RIGHT, ui::TEXT_DIRECTION_LTR},
    {0, ui::RIGHT, ui::TEXT_DIRECTION_LTR},
};

static_assert(std::size(offsets) == std::size(typedTexts));
static_assert(sizeof(ui::TypedTextData) == 2);

} // namespace

namespace TypedTextDatabase {

const ui::TypedTextData* getInstance()
{
    return typedTexts;
}

std::uint16_t getInstanceSize()
{
    return static_cast<std::uint16_t>(std::size(typedTexts));
}

const ui::LanguageTexts* getLanguages()
{
    return languages;
}

std::uint16_t getLanguageCount()
{
    return static_cast<std::uint16_t>(std::size(languages));
}

} // namespace TypedTextDatabase
