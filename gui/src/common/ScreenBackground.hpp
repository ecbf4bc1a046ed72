// Maintained by hand: no tool writes this file.

#pragma once

#include <cstdint>

#include "mvp/View.hpp"
#include "ui/HAL.hpp"
#include "ui/Types.hpp"
#include "ui/widgets/Box.hpp"
#include "ui/widgets/canvas/CanvasWidgetRenderer.hpp"

// What every screen base shares: the canvas scratch buffer it owns while it
// exists, an opaque black background and a full-screen box in the screen's
// colour over it.
template <class PresenterType> class ScreenBackground : public ui::View<PresenterType> {
public:
    static constexpr unsigned int CANVAS_BUFFER_SIZE = 12000;

    ~ScreenBackground() override { ui::CanvasWidgetRenderer::resetBuffer(); }

protected:
    explicit ScreenBackground(ui::colortype boxColor)
    {
        ui::CanvasWidgetRenderer::setupBuffer(canvasBuffer, CANVAS_BUFFER_SIZE);
        background.setPosition(0, 0, ui::HAL::DISPLAY_WIDTH, ui::HAL::DISPLAY_HEIGHT);
        background.setColor(0xFF000000);
        box1.setPosition(0, 0, ui::HAL::DISPLAY_WIDTH, ui::HAL::DISPLAY_HEIGHT);
        box1.setColor(boxColor);
        this->add(background);
        this->add(box1);
    }

    ui::Box background;
    ui::Box box1;

private:
    std::uint8_t canvasBuffer[CANVAS_BUFFER_SIZE] = {};
};
