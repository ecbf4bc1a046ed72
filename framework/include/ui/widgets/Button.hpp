#pragma once

#include "ui/Bitmap.hpp"
#include "ui/widgets/AbstractButton.hpp"

namespace ui {

// A button drawn with one bitmap when released and another while pressed.
class Button : public AbstractButton {
public:
    // The button takes the released bitmap's size.
    void setBitmaps(const Bitmap& released, const Bitmap& pressedBitmap);

    void draw(const Rect& invalidatedArea) const override;
    Rect getSolidRect() const override;

private:
    const Bitmap& current() const { return pressed ? down : up; }

    Bitmap up;
    Bitmap down;
};

} // namespace ui
