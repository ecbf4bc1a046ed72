#pragma once

#include <cstdint>

#include "ui/Events.hpp"
#include "ui/Types.hpp"

namespace ui {

// Anything on screen. Its rectangle is relative to its parent; drawing and
// events use coordinates relative to the drawable itself.
class Drawable {
public:
    Drawable() = default;
    Drawable(const Drawable&) = delete;
    Drawable& operator=(const Drawable&) = delete;
    virtual ~Drawable() = default;

    // Paints the part of the drawable inside `invalidatedArea` (own coordinates).
    virtual void draw(const Rect& invalidatedArea) const = 0;
    // The largest fully opaque rectangle (own coordinates).
    virtual Rect getSolidRect() const = 0;
    // Marks `invalidatedArea` (own coordinates) for redraw; it is clipped to
    // the drawable and passed up to the screen.
    virtual void invalidateRect(Rect& invalidatedArea) const;
    virtual void invalidate() const;
    virtual void invalidateContent() const { invalidate(); }
    virtual Drawable* getFirstChild() { return nullptr; }
    virtual Rect getSolidRectAbsolute();
    // Sets `last` to this drawable when it is visible and touchable; containers
    // go on into their children, so the last added touchable one wins.
    virtual void getLastChild(std::int16_t x, std::int16_t y, Drawable** last);
    virtual void getVisibleRect(Rect& visibleRect) const;
    virtual void translateRectToAbsolute(Rect& r) const;
    virtual void setX(std::int16_t x) { rect.x = x; }
    virtual void setY(std::int16_t y) { rect.y = y; }
    virtual void setWidth(std::int16_t width) { rect.width = width; }
    virtual void setHeight(std::int16_t height) { rect.height = height; }
    virtual void childGeometryChanged() {}
    virtual void handleClickEvent(const ClickEvent&) {}
    virtual void handleGestureEvent(const GestureEvent&) {}
    virtual void handleDragEvent(const DragEvent&) {}
    virtual void handleTickEvent() {}
    virtual void moveRelative(std::int16_t dx, std::int16_t dy);
    virtual void moveTo(std::int16_t x, std::int16_t y);

    void setPosition(std::int16_t x, std::int16_t y, std::int16_t width, std::int16_t height);
    void setXY(std::int16_t x, std::int16_t y);
    void setWidthHeight(std::int16_t width, std::int16_t height);
    std::int16_t getX() const { return rect.x; }
    std::int16_t getY() const { return rect.y; }
    std::int16_t getWidth() const { return rect.width; }
    std::int16_t getHeight() const { return rect.height; }
    const Rect& getRect() const { return rect; }
    Rect getAbsoluteRect() const;

    void setVisible(bool value) { visible = value; }
    bool isVisible() const { return visible; }
    void setTouchable(bool value) { touchable = value; }
    bool isTouchable() const { return touchable; }

    Drawable* getParent() const { return parent; }
    Drawable* getNextSibling() const { return nextSibling; }

    // Centre within the parent; the drawable must have been added to one.
    void centerX();
    void centerY();
    void center()
    {
        centerX();
        centerY();
    }

protected:
    Rect rect;
    Drawable* parent = nullptr;
    Drawable* nextSibling = nullptr;
    bool visible = true;
    bool touchable = false;

    friend class Container;
};

} // namespace ui
