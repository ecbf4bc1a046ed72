#include "ui/widgets/TextArea.hpp"

#include "ui/HAL.hpp"
#include "ui/LCD.hpp"

namespace ui {

void TextArea::setTypedText(const TypedText& text)
{
    typedText = text;
    if (rect.width == 0 && rect.height == 0) {
        resizeToCurrentText();
    }
}

std::int16_t TextArea::getTextWidth() const
{
    const Font* font = typedText.getFont();
    return font != nullptr ? LCD::getStringWidth(*font, typedText.getText(), getWildcard1()) : std::int16_t{0};
}

std::int16_t TextArea::getTextHeight() const
{
    const Font* font = typedText.getFont();
    return font != nullptr ? static_cast<std::int16_t>(font->getHeight()) : std::int16_t{0};
}

void TextArea::resizeToCurrentText()
{
    setWidthHeight(getTextWidth(), getTextHeight());
}

void TextArea::resizeToCurrentTextWithAlignment()
{
    const std::int16_t newWidth = getTextWidth();
    const Alignment alignment = typedText.getAlignment();
    if (alignment == RIGHT) {
        setX(static_cast<std::int16_t>(rect.x + rect.width - newWidth));
    } else if (alignment == CENTER) {
        setX(static_cast<std::int16_t>(rect.x + (rect.width - newWidth) / 2));
    }
    setWidthHeight(newWidth, getTextHeight());
}

void TextArea::setBaselineY(std::int16_t baselineY)
{
    const Font* font = typedText.getFont();
    setY(static_cast<std::int16_t>(baselineY - (font != nullptr ? font->getBaseline() : 0)));
}

void TextArea::setXBaselineY(std::int16_t x, std::int16_t baselineY)
{
    setX(x);
    setBaselineY(baselineY);
}

void TextArea::draw(const Rect& invalidatedArea) const
{
    const Font* font = typedText.getFont();
    if (font == nullptr) {
        return;
    }
    Rect clip = invalidatedArea;
    translateRectToAbsolute(clip);
    HAL::lcd().drawString(getAbsoluteRect(), clip, *font, color, typedText.getAlignment(),
                          static_cast<std::int16_t>(font->getBaseline()), typedText.getText(), getWildcard1(), alpha);
}

} // namespace ui
