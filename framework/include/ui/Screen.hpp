#pragma once

#include "ui/Container.hpp"
#include "ui/Events.hpp"

namespace ui {

// One screen: a root container the size of the display, and the routing of
// touches to the drawable that was pressed.
class Screen {
public:
    Screen();
    Screen(const Screen&) = delete;
    Screen& operator=(const Screen&) = delete;
    virtual ~Screen();

    virtual void draw(Rect& invalidatedArea);
    virtual void setupScreen() {}
    virtual void afterTransition() {}
    virtual void tearDownScreen() {}
    virtual void handleClickEvent(const ClickEvent& event);
    virtual void handleDragEvent(const DragEvent& event);
    virtual void handleGestureEvent(const GestureEvent& event);
    virtual void handleTickEvent() {}
    virtual void handleKeyEvent(std::uint8_t) {}

    // Whether drawing may skip what lies behind opaque drawables.
    void useSMOCDrawing(bool enabled) { smocDrawing = enabled; }
    // Whether a visible drawable of the root container is opaque over all of
    // `area` (display coordinates).
    bool coversOpaquely(const Rect& area) const;
    void add(Drawable& d) { container.add(d); }
    void remove(Drawable& d) { container.remove(d); }
    Container& getRootContainer() { return container; }

private:
    // The root: reports invalidated areas to the application.
    class RootContainer : public Container {
    public:
        void invalidateRect(Rect& invalidatedArea) const override;
    };

protected:
    RootContainer container;

private:
    Drawable* focus = nullptr;
    bool smocDrawing = true;
};

} // namespace ui
