#include "ui/widgets/Box.hpp"

#include "ui/Color.hpp"
#include "ui/HAL.hpp"
#include "ui/LCD.hpp"

namespace ui {

void Box::draw(const Rect& invalidatedArea) const
{
    Rect area = invalidatedArea;
    translateRectToAbsolute(area);
    HAL::lcd().fillRect(area, color, Color::getAlpha(color));
}

Rect Box::getSolidRect() const
{
    return Color::getAlpha(color) == 255 ? Rect(0, 0, rect.width, rect.height) : Rect();
}

} // namespace ui
