#pragma once

#include <cstdint>

#include "ui/Font.hpp"
#include "ui/Unicode.hpp"

namespace ui {

using TypedTextId = std::uint16_t;
using LanguageId = std::uint16_t;
constexpr TypedTextId TYPED_TEXT_INVALID = 0xFFFF;

enum Alignment : std::uint8_t { LEFT = 0, CENTER = 1, RIGHT = 2 };
enum TextDirection : std::uint8_t { TEXT_DIRECTION_LTR = 0 };

// One 2-byte record per typed text: the font, then alignment (low two bits)
// and direction (next two bits).
struct TypedTextData {
    std::uint8_t fontIdx;
    std::uint8_t alignment : 2;
    std::uint8_t direction : 2;
};

// The texts of one language: offsets (UTF-16 units) into one string pool.
struct LanguageTexts {
    const UnicodeChar* pool;
    const std::uint32_t* offsets;
    std::uint16_t count;
};

class Texts {
public:
    static void setLanguages(const LanguageTexts* languages, std::uint16_t languageCount);
    static void setLanguage(LanguageId id);
    static LanguageId getLanguage() { return currentLanguage; }
    static const UnicodeChar* getText(TypedTextId id);

private:
    static const LanguageTexts* languageTable;
    static std::uint16_t numberOfLanguages;
    static LanguageId currentLanguage;
};

// The character that marks a wildcard's place in a text.
constexpr UnicodeChar TEXT_PLACEHOLDER = 0x0002;

class TypedText {
public:
    explicit TypedText(TypedTextId id = TYPED_TEXT_INVALID) : typedTextId(id) {}

    static void registerTypedTextDatabase(const TypedTextData* data, const Font* const* fontTable, std::uint16_t count);

    TypedTextId getId() const { return typedTextId; }
    bool hasValidId() const { return typedTextId < numberOfTypedTexts; }
    const UnicodeChar* getText() const;
    const Font* getFont() const;
    Alignment getAlignment() const;

private:
    TypedTextId typedTextId;
    static const TypedTextData* typedTexts;
    static const Font* const* fonts;
    static std::uint16_t numberOfTypedTexts;
};

} // namespace ui
