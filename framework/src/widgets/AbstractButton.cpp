#include "ui/widgets/AbstractButton.hpp"

namespace ui {

void AbstractButton::handleClickEvent(const ClickEvent& event)
{
    const bool wasPressed = pressed;
    pressed = event.getType() == ClickEvent::PRESSED;
    if (pressed != wasPressed) {
        invalidate();
    }
    if (wasPressed && event.getType() == ClickEvent::RELEASED && action != nullptr && action->isValid()) {
        action->execute(*this);
    }
}

} // namespace ui
