#include "ui/widgets/Image.hpp"

#include "ui/HAL.hpp"
#include "ui/LCD.hpp"

namespace ui {

void Image::setBitmap(const Bitmap& bmp)
{
    bitmap = bmp;
    setWidthHeight(static_cast<std::int16_t>(bmp.getWidth()), static_cast<std::int16_t>(bmp.getHeight()));
}

void Image::draw(const Rect& invalidatedArea) const
{
    Rect area = invalidatedArea;
    translateRectToAbsolute(area);
    const Rect absolute = getAbsoluteRect();
    HAL::lcd().drawBitmap(bitmap, absolute.x, absolute.y, area, alpha);
}

Rect Image::getSolidRect() const
{
    return alpha == 255 ? bitmap.getSolidRect() : Rect();
}

} // namespace ui
