#pragma once

#include "ui/Bitmap.hpp"
#include "ui/Widget.hpp"

namespace ui {

// Shows one bitmap at its own size.
class Image : public Widget {
public:
    Image() = default;
    explicit Image(const Bitmap& bmp) { setBitmap(bmp); }

    // Also takes the bitmap's width and height.
    void setBitmap(const Bitmap& bmp);
    const Bitmap& getBitmap() const { return bitmap; }
    void setAlpha(std::uint8_t value) { alpha = value; }

    void draw(const Rect& invalidatedArea) const override;
    Rect getSolidRect() const override;

private:
    Bitmap bitmap;
    std::uint8_t alpha = 255;
};

} // namespace ui
