#include "ui/Application.hpp"

#include "platform/Assert.hpp"
#include "ui/Drawable.hpp"
#include "ui/HAL.hpp"
#include "ui/Screen.hpp"
#include "ui/Transition.hpp"

namespace ui {

Application* Application::instance = nullptr;

Application::Application()
{
    instance = this;
}

Application::~Application()
{
    if (instance == this) {
        instance = nullptr;
    }
}

void Application::handleTickEvent()
{
    if (currentTransition != nullptr && !currentTransition->isDone()) {
        currentTransition->handleTickEvent();
        return;
    }
    if (currentTransition != nullptr && !currentTransition->isFinishHandled()) {
        currentTransition->setFinishHandled();
        if (currentScreen != nullptr) {
            currentScreen->afterTransition();
        }
        currentTransition->tearDown();
    }
    for (std::uint16_t i = 0; i < timerWidgetCount; ++i) {
        timerWidgets[i]->handleTickEvent();
    }
    if (currentScreen != nullptr) {
        currentScreen->handleTickEvent();
    }
}

void Application::handleClickEvent(const ClickEvent& event)
{
    if (currentScreen != nullptr) {
        currentScreen->handleClickEvent(event);
    }
}

void Application::handleDragEvent(const DragEvent& event)
{
    if (currentScreen != nullptr) {
        currentScreen->handleDragEvent(event);
    }
}

void Application::handleGestureEvent(const GestureEvent& event)
{
    if (currentScreen != nullptr) {
        currentScreen->handleGestureEvent(event);
    }
}

void Application::handleKeyEvent(std::uint8_t key)
{
    if (currentScreen != nullptr) {
        currentScreen->handleKeyEvent(key);
    }
}

void Application::invalidate()
{
    invalidateArea(Rect(0, 0, HAL::DISPLAY_WIDTH, HAL::DISPLAY_HEIGHT));
}

void Application::invalidateArea(const Rect& area)
{
    invalidatedAreas.add(area & Rect(0, 0, HAL::DISPLAY_WIDTH, HAL::DISPLAY_HEIGHT));
}

bool Application::redrawsCompletely(const Rect& area) const
{
    return currentScreen != nullptr && currentScreen->coversOpaquely(area);
}

std::uint32_t Application::drawInvalidatedAreas(RectList<8>& drawn)
{
    std::uint32_t pixels = 0;
    for (std::uint16_t i = 0; i < invalidatedAreas.size(); ++i) {
        Rect area = invalidatedAreas[i];
        if (currentScreen != nullptr) {
            currentScreen->draw(area);
        }
        drawn.add(invalidatedAreas[i]);
        pixels += static_cast<std::uint32_t>(invalidatedAreas[i].width) *
                  static_cast<std::uint32_t>(invalidatedAreas[i].height);
    }
    invalidatedAreas.clear();
    return pixels;
}

void Application::registerTimerWidget(Drawable* w)
{
    for (std::uint16_t i = 0; i < timerWidgetCount; ++i) {
        if (timerWidgets[i] == w) {
            return;
        }
    }
    VECTA_ASSERT(timerWidgetCount < MAX_TIMER_WIDGETS && "Too many timer widgets");
    timerWidgets[timerWidgetCount++] = w;
}

void Application::unregisterTimerWidget(const Drawable* w)
{
    for (std::uint16_t i = 0; i < timerWidgetCount; ++i) {
        if (timerWidgets[i] == w) {
            timerWidgets[i] = timerWidgets[--timerWidgetCount];
            return;
        }
    }
}

} // namespace ui
