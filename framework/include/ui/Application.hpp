#pragma once

#include <cstdint>

#include "ui/Events.hpp"
#include "ui/RectList.hpp"
#include "ui/Types.hpp"

namespace ui {

class Drawable;
class Screen;
class Transition;

// The one application: ticks the active screen, routes events to it and
// collects the areas to redraw in the coming frame.
class Application {
public:
    static Application* getInstance() { return instance; }

    Application(const Application&) = delete;
    Application& operator=(const Application&) = delete;
    virtual ~Application();

    virtual void handleTickEvent();
    virtual void handleClickEvent(const ClickEvent& event);
    virtual void handleDragEvent(const DragEvent& event);
    virtual void handleGestureEvent(const GestureEvent& event);
    virtual void handleKeyEvent(std::uint8_t key);
    // The hook that leads back to the start screen.
    virtual void changeToStartScreen() {}
    // Called by the frame loop before each tick.
    virtual void handlePendingScreenTransition() {}

    // Redraw the whole display in the coming frame.
    void invalidate();
    // Redraw an area (display coordinates) in the coming frame.
    void invalidateArea(const Rect& area);
    bool hasInvalidatedAreas() const { return !invalidatedAreas.isEmpty(); }
    const RectList<8>& getInvalidatedAreas() const { return invalidatedAreas; }
    // Whether drawing `area` paints over every pixel of it: an opaque
    // drawable of the screen covers it.
    bool redrawsCompletely(const Rect& area) const;
    // Draws the collected areas into the frame buffer being drawn and hands
    // them to `drawn`; returns their pixels, each area counted whole.
    std::uint32_t drawInvalidatedAreas(RectList<8>& drawn);

    // Drawables that get a tick every frame besides the screen.
    void registerTimerWidget(Drawable* w);
    void unregisterTimerWidget(const Drawable* w);
    void clearAllTimerWidgets() { timerWidgetCount = 0; }

    Screen* getCurrentScreen() const { return currentScreen; }

    static constexpr std::uint16_t MAX_TIMER_WIDGETS = 32;

protected:
    Application();

    Screen* currentScreen = nullptr;
    Transition* currentTransition = nullptr;

private:
    RectList<8> invalidatedAreas;
    Drawable* timerWidgets[MAX_TIMER_WIDGETS] = {};
    std::uint16_t timerWidgetCount = 0;

    static Application* instance;
};

} // namespace ui
