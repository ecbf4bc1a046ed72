#include "ui/TypedText.hpp"

#include "platform/Assert.hpp"

namespace ui {

const LanguageTexts* Texts::languageTable = nullptr;
std::uint16_t Texts::numberOfLanguages = 0;
LanguageId Texts::currentLanguage = 0;

const TypedTextData* TypedText::typedTexts = nullptr;
const Font* const* TypedText::fonts = nullptr;
std::uint16_t TypedText::numberOfTypedTexts = 0;

void Texts::setLanguages(const LanguageTexts* languages, std::uint16_t languageCount)
{
    languageTable = languages;
    numberOfLanguages = languageCount;
    currentLanguage = 0;
}

void Texts::setLanguage(LanguageId id)
{
    VECTA_ASSERT(id < numberOfLanguages && "Language not installed.");
    currentLanguage = id;
}

const UnicodeChar* Texts::getText(TypedTextId id)
{
    VECTA_ASSERT(languageTable != nullptr && "Text database has not been initialized.");
    const LanguageTexts& language = languageTable[currentLanguage];
    VECTA_ASSERT(id < language.count && "Text id larger than the text table.");
    return language.pool + language.offsets[id];
}

void TypedText::registerTypedTextDatabase(const TypedTextData* data, const Font* const* fontTable, std::uint16_t count)
{
    typedTexts = data;
    fonts = fontTable;
    numberOfTypedTexts = count;
}

const UnicodeChar* TypedText::getText() const
{
    // NOLINTNEXTLINE(modernize-use-nullptr): the message text is fixed
    VECTA_ASSERT(typedTexts != 0 && "TypedText database has not been initialized.");
    VECTA_ASSERT(hasValidId() && "typedTextId larger than numberOfTypedTexts.");
    return Texts::getText(typedTextId);
}

const Font* TypedText::getFont() const
{
    // NOLINTNEXTLINE(modernize-use-nullptr): the message text is fixed
    VECTA_ASSERT(typedTexts != 0 && "TypedText database has not been initialized.");
    VECTA_ASSERT(hasValidId() && "typedTextId larger than numberOfTypedTexts.");
    return fonts[typedTexts[typedTextId].fontIdx];
}

Alignment TypedText::getAlignment() const
{
    // NOLINTNEXTLINE(modernize-use-nullptr): the message text is fixed
    VECTA_ASSERT(typedTexts != 0 && "TypedText database has not been initialized.");
    VECTA_ASSERT(hasValidId() && "typedTextId larger than numberOfTypedTexts.");
    return static_cast<Alignment>(typedTexts[typedTextId].alignment);
}

} // namespace ui
