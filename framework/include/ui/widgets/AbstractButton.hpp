#pragma once

#include "ui/Callback.hpp"
#include "ui/Widget.hpp"

namespace ui {

// Fires its action when a press on it is followed by a release; a press
// cancelled by dragging off it fires nothing.
class AbstractButton : public Widget {
public:
    AbstractButton() { setTouchable(true); }

    void setAction(GenericCallback<const AbstractButton&>& callback) { action = &callback; }
    bool getPressedState() const { return pressed; }

    void handleClickEvent(const ClickEvent& event) override;

protected:
    bool pressed = false;
    GenericCallback<const AbstractButton&>* action = nullptr;
};

} // namespace ui
