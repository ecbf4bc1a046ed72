#pragma once

#include "ui/TypedText.hpp"
#include "ui/Widget.hpp"

namespace ui {

// Shows a typed text in one colour, aligned as its table entry says.
class TextArea : public Widget {
public:
    // An area of size 0 x 0 first takes the size of the new text.
    void setTypedText(const TypedText& text);
    const TypedText& getTypedText() const { return typedText; }
    void setColor(colortype argb) { color = argb; }
    colortype getColor() const { return color; }
    void setAlpha(std::uint8_t value) { alpha = value; }

    std::int16_t getTextWidth() const;
    std::int16_t getTextHeight() const;
    void resizeToCurrentText();
    // Resizes keeping the right edge (right-aligned) or the centre (centred).
    void resizeToCurrentTextWithAlignment();
    // Places the area so that the text's baseline is at y.
    void setBaselineY(std::int16_t baselineY);
    void setXBaselineY(std::int16_t x, std::int16_t baselineY);

    virtual const UnicodeChar* getWildcard1() const { return nullptr; }

    void draw(const Rect& invalidatedArea) const override;
    Rect getSolidRect() const override { return Rect(); }

protected:
    TypedText typedText;
    colortype color = 0xFF000000;
    std::uint8_t alpha = 255;
};

// A text whose placeholder is filled from a caller-owned UTF-16 buffer.
class TextAreaWithOneWildcard : public TextArea {
public:
    void setWildcard(const UnicodeChar* value) { wildcard = value; }
    const UnicodeChar* getWildcard1() const override { return wildcard; }

private:
    const UnicodeChar* wildcard = nullptr;
};

} // namespace ui
