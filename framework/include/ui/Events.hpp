#pragma once

#include <cstdint>

namespace ui {

class ClickEvent {
public:
    enum ClickEventType : std::uint8_t { PRESSED = 0, RELEASED = 1, CANCEL = 2 };

    ClickEvent(ClickEventType type, std::int16_t x, std::int16_t y) : clickType(type), clickX(x), clickY(y) {}

    ClickEventType getType() const { return clickType; }
    std::int16_t getX() const { return clickX; }
    std::int16_t getY() const { return clickY; }

private:
    ClickEventType clickType;
    std::int16_t clickX;
    std::int16_t clickY;
};

class DragEvent {
public:
    DragEvent(std::int16_t oldX, std::int16_t oldY, std::int16_t newX, std::int16_t newY)
        : fromX(oldX), fromY(oldY), toX(newX), toY(newY)
    {
    }

    std::int16_t getOldX() const { return fromX; }
    std::int16_t getOldY() const { return fromY; }
    std::int16_t getNewX() const { return toX; }
    std::int16_t getNewY() const { return toY; }
    std::int16_t getDeltaX() const { return static_cast<std::int16_t>(toX - fromX); }
    std::int16_t getDeltaY() const { return static_cast<std::int16_t>(toY - fromY); }

private:
    std::int16_t fromX;
    std::int16_t fromY;
    std::int16_t toX;
    std::int16_t toY;
};

class GestureEvent {
public:
    enum GestureEventType : std::uint8_t { SWIPE_HORIZONTAL = 0, SWIPE_VERTICAL = 1 };

    GestureEvent(GestureEventType type, std::int16_t velocity, std::int16_t x, std::int16_t y)
        : gestureType(type), gestureVelocity(velocity), gestureX(x), gestureY(y)
    {
    }

    GestureEventType getType() const { return gestureType; }
    std::int16_t getVelocity() const { return gestureVelocity; }
    std::int16_t getX() const { return gestureX; }
    std::int16_t getY() const { return gestureY; }

private:
    GestureEventType gestureType;
    std::int16_t gestureVelocity;
    std::int16_t gestureX;
    std::int16_t gestureY;
};

} // namespace ui
