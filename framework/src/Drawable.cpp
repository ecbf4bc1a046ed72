#include "ui/Drawable.hpp"

#include "platform/Assert.hpp"

namespace ui {

void Drawable::invalidateRect(Rect& invalidatedArea) const
{
    invalidatedArea &= Rect(0, 0, rect.width, rect.height);
    // Hidden drawables pass it on too: hiding one is followed by an
    // invalidate so that what lies behind is drawn again.
    if (invalidatedArea.isEmpty() || parent == nullptr) {
        return;
    }
    invalidatedArea.x = static_cast<std::int16_t>(invalidatedArea.x + rect.x);
    invalidatedArea.y = static_cast<std::int16_t>(invalidatedArea.y + rect.y);
    parent->invalidateRect(invalidatedArea);
}

void Drawable::invalidate() const
{
    Rect whole(0, 0, rect.width, rect.height);
    invalidateRect(whole);
}

Rect Drawable::getSolidRectAbsolute()
{
    Rect solid = getSolidRect();
    translateRectToAbsolute(solid);
    return solid;
}

void Drawable::getLastChild(std::int16_t, std::int16_t, Drawable** last)
{
    if (visible && touchable) {
        *last = this;
    }
}

void Drawable::getVisibleRect(Rect& visibleRect) const
{
    visibleRect &= Rect(0, 0, rect.width, rect.height);
    if (parent == nullptr || visibleRect.isEmpty()) {
        return;
    }
    visibleRect.x = static_cast<std::int16_t>(visibleRect.x + rect.x);
    visibleRect.y = static_cast<std::int16_t>(visibleRect.y + rect.y);
    parent->getVisibleRect(visibleRect);
    visibleRect.x = static_cast<std::int16_t>(visibleRect.x - rect.x);
    visibleRect.y = static_cast<std::int16_t>(visibleRect.y - rect.y);
}

void Drawable::translateRectToAbsolute(Rect& r) const
{
    r.x = static_cast<std::int16_t>(r.x + rect.x);
    r.y = static_cast<std::int16_t>(r.y + rect.y);
    if (parent != nullptr) {
        parent->translateRectToAbsolute(r);
    }
}

void Drawable::moveRelative(std::int16_t dx, std::int16_t dy)
{
    if (dx == 0 && dy == 0) {
        return;
    }
    invalidate();
    rect.x = static_cast<std::int16_t>(rect.x + dx);
    rect.y = static_cast<std::int16_t>(rect.y + dy);
    invalidate();
}

void Drawable::moveTo(std::int16_t x, std::int16_t y)
{
    moveRelative(static_cast<std::int16_t>(x - rect.x), static_cast<std::int16_t>(y - rect.y));
}

void Drawable::setPosition(std::int16_t x, std::int16_t y, std::int16_t width, std::int16_t height)
{
    setXY(x, y);
    setWidthHeight(width, height);
}

void Drawable::setXY(std::int16_t x, std::int16_t y)
{
    setX(x);
    setY(y);
}

void Drawable::setWidthHeight(std::int16_t width, std::int16_t height)
{
    setWidth(width);
    setHeight(height);
}

Rect Drawable::getAbsoluteRect() const
{
    Rect absolute(0, 0, rect.width, rect.height);
    translateRectToAbsolute(absolute);
    return absolute;
}

void Drawable::centerX()
{
    VECTA_ASSERT(parent && "Cannot center a Drawable with no parent");
    setX(static_cast<std::int16_t>((parent->getWidth() - getWidth()) / 2));
}

void Drawable::centerY()
{
    VECTA_ASSERT(parent && "Cannot center a Drawable with no parent");
    setY(static_cast<std::int16_t>((parent->getHeight() - getHeight()) / 2));
}

} // namespace ui
