#include "ui/widgets/Button.hpp"

#include "ui/HAL.hpp"
#include "ui/LCD.hpp"

namespace ui {

void Button::setBitmaps(const Bitmap& released, const Bitmap& pressedBitmap)
{
    up = released;
    down = pressedBitmap;
    setWidthHeight(static_cast<std::int16_t>(up.getWidth()), static_cast<std::int16_t>(up.getHeight()));
}

void Button::draw(const Rect& invalidatedArea) const
{
    Rect area = invalidatedArea;
    translateRectToAbsolute(area);
    const Rect absolute = getAbsoluteRect();
    HAL::lcd().drawBitmap(current(), absolute.x, absolute.y, area);
}

Rect Button::getSolidRect() const
{
    return current().getSolidRect();
}

} // namespace ui
