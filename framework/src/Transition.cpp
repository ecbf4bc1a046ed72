#include "ui/Transition.hpp"

#include "ui/Application.hpp"

namespace ui {

void NoTransition::invalidate()
{
    if (Application* app = Application::getInstance()) {
        app->invalidate();
    }
}

} // namespace ui
