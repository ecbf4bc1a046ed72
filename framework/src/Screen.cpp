#include "ui/Screen.hpp"

#include "ui/Application.hpp"
#include "ui/HAL.hpp"

namespace ui {

void Screen::RootContainer::invalidateRect(Rect& invalidatedArea) const
{
    invalidatedArea &= Rect(rect.x, rect.y, rect.width, rect.height);
    Application* app = Application::getInstance();
    if (app != nullptr && visible && !invalidatedArea.isEmpty()) {
        app->invalidateArea(invalidatedArea);
    }
}

Screen::Screen()
{
    container.setPosition(0, 0, HAL::DISPLAY_WIDTH, HAL::DISPLAY_HEIGHT);
}

// The children are members of the derived screen and already gone here, so
// the root container must not walk them.
Screen::~Screen() = default;

void Screen::draw(Rect& invalidatedArea)
{
    container.drawChildren(invalidatedArea & container.getRect(), smocDrawing);
}

bool Screen::coversOpaquely(const Rect& area) const
{
    return container.coversOpaquely(area);
}

namespace {

ClickEvent relativeTo(const Drawable& d, ClickEvent::ClickEventType type, std::int16_t x, std::int16_t y)
{
    const Rect absolute = d.getAbsoluteRect();
    return ClickEvent(type, static_cast<std::int16_t>(x - absolute.x), static_cast<std::int16_t>(y - absolute.y));
}

} // namespace

void Screen::handleClickEvent(const ClickEvent& event)
{
    switch (event.getType()) {
    case ClickEvent::PRESSED: {
        Drawable* last = nullptr;
        std::int16_t adjustX = 0;
        std::int16_t adjustY = 0;
        const HAL* hal = HAL::getInstance();
        const std::uint8_t finger = hal != nullptr ? hal->getFingerSize() : 1;
        if (finger >= 4) {
            container.getLastChildNear(event.getX(), event.getY(), &last, finger, &adjustX, &adjustY);
        } else {
            container.getLastChild(event.getX(), event.getY(), &last);
        }
        focus = last;
        if (focus != nullptr) {
            focus->handleClickEvent(relativeTo(*focus, ClickEvent::PRESSED,
                                               static_cast<std::int16_t>(event.getX() + adjustX),
                                               static_cast<std::int16_t>(event.getY() + adjustY)));
        }
        break;
    }
    case ClickEvent::RELEASED:
    case ClickEvent::CANCEL:
        if (focus != nullptr) {
            Drawable* target = focus;
            focus = nullptr;
            target->handleClickEvent(relativeTo(*target, event.getType(), event.getX(), event.getY()));
        }
        break;
    }
}

void Screen::handleDragEvent(const DragEvent& event)
{
    if (focus == nullptr) {
        return;
    }
    const Rect absolute = focus->getAbsoluteRect();
    if (absolute.intersect(event.getOldX(), event.getOldY()) && !absolute.intersect(event.getNewX(), event.getNewY())) {
        Drawable* target = focus;
        focus = nullptr;
        target->handleClickEvent(relativeTo(*target, ClickEvent::CANCEL, event.getNewX(), event.getNewY()));
        return;
    }
    focus->handleDragEvent(event);
}

void Screen::handleGestureEvent(const GestureEvent& event)
{
    Drawable* last = nullptr;
    container.getLastChild(event.getX(), event.getY(), &last);
    if (last != nullptr) {
        last->handleGestureEvent(event);
    }
}

} // namespace ui
