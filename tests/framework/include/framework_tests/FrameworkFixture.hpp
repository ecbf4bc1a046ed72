#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "board_config/BoardConfig.hpp"
#include "board_glue/FrameBuffers.hpp"
#include "mvp/MVPApplication.hpp"
#include "support/ScriptedTouch.hpp"
#include "ui/HALGPU.hpp"
#include "ui/LCDGPU.hpp"
#include "ui/Screen.hpp"
#include "ui/TouchController.hpp"
#include "ui/Widget.hpp"
#include "ui/widgets/Box.hpp"

namespace fixture {

class TestApplication : public ui::MVPApplication {
public:
    void show(ui::Screen& screen)
    {
        currentScreen = &screen;
        invalidate();
    }
};

// A HAL over the board's two frame buffers, an application and a touch script.
class Framework : public ::testing::Test {
protected:
    Framework() : hal(lcd, touch, board::panelWidth, board::panelHeight)
    {
        gpu_sys_init();
        hal.setFrameBufferStartAddresses(frameBuf, frameBuf + frameBufferPixels, nullptr);
        hal.initialize();
    }

    // One frame, then the refresh that shows it.
    void frame()
    {
        hal.tick();
        hal.vSync();
    }

    std::uint16_t shownPixel(int x, int y) const { return hal.getTFTFrameBuffer()[y * board::panelWidth + x]; }
    std::uint16_t backPixel(int x, int y) const { return hal.getClientFrameBuffer()[y * board::panelWidth + x]; }

    ui::LCDGPU lcd;
    ScriptedTouch touch;
    ui::HALGPU hal;
    TestApplication app;
};

// A widget that logs its draws and touches.
class ProbeWidget : public ui::Widget {
public:
    ProbeWidget(std::string widgetName, std::vector<std::string>& sharedLog)
        : name(std::move(widgetName)), log(sharedLog)
    {
    }
    void draw(const ui::Rect&) const override { log.push_back(name); }
    ui::Rect getSolidRect() const override { return ui::Rect(); }
    void handleClickEvent(const ui::ClickEvent& event) override
    {
        log.push_back(name + ":click" + std::to_string(event.getType()) + "@" + std::to_string(event.getX()) + "," +
                      std::to_string(event.getY()));
    }

    std::string name;
    std::vector<std::string>& log;
};

} // namespace fixture
