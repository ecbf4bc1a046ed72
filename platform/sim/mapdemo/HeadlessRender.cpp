#include "mapdemo/HeadlessRender.hpp"

#include <cstdint>

#include "board_glue/FrameBuffers.hpp"
#include "gpu/gpu_sys.h"
#include "map_screen/MapBlockPlacement.hpp"
#include "map_screen/MapGesture.hpp"
#include "sim/PngWriter.hpp"
#include "ui/Application.hpp"
#include "ui/HALGPU.hpp"
#include "ui/LCDGPU.hpp"
#include "ui/Screen.hpp"
#include "ui/TouchController.hpp"
#include "ui/widgets/Box.hpp"
#include "vecta/GlobalMapCache.hpp"
#include "vecta/MapStyle.hpp"
#include "vecta/widgets/GridOverlay.hpp"
#include "vecta/widgets/MapWidget.hpp"

namespace mapdemo {

namespace {

class NoTouch : public ui::TouchController {
public:
    void init() override {}
    bool sampleTouch(std::int32_t&, std::int32_t&) override { return false; }
};

class HeadlessApplication : public ui::Application {
public:
    void show(ui::Screen& screen)
    {
        currentScreen = &screen;
        invalidate();
    }
};

// The map screens' layers: black, the beige land colour over it, the map.
struct MapScreen {
    explicit MapScreen(const MapPosition& position) : map(vecta::getMapStyle(), mapCache)
    {
        black.setPosition(0, 0, ui::HAL::DISPLAY_WIDTH, ui::HAL::DISPLAY_HEIGHT);
        black.setColor(0xFF000000);
        land.setPosition(0, 0, ui::HAL::DISPLAY_WIDTH, ui::HAL::DISPLAY_HEIGHT);
        land.setColor(0xFFEDE9D9);
        const auto place = [&position](vecta::MapPlacement& placement) {
            placement.rotationCenterX = mapAnchorX;
            placement.rotationCenterY = mapAnchorY;
            placeMapBlock(position, position.tileX, position.tileY, placement);
        };
        place(map);
        place(grid);
        map.mapScale = position.scale;
        map.tileX = position.tileX;
        map.tileY = position.tileY;
        map.zoom = position.zoom;
        map.setPosition(0, 0, ui::HAL::DISPLAY_WIDTH, ui::HAL::DISPLAY_HEIGHT);
        grid.enabled = true;
        map.addOverlay(grid);
        screen.add(black);
        screen.add(land);
        screen.add(map);
    }

    ui::Screen screen;
    ui::Box black;
    ui::Box land;
    vecta::MapWidget map;
    vecta::GridOverlay grid;
};

} // namespace

std::string renderMapToPng(const MapPosition& position, const std::string& path)
{
    // The pools first: the map widget takes its path and paint from them.
    gpu_sys_init();
    ui::LCDGPU lcd;
    NoTouch touch;
    ui::HALGPU hal(lcd, touch, ui::HAL::DISPLAY_WIDTH, ui::HAL::DISPLAY_HEIGHT);
    hal.setFrameBufferStartAddresses(frameBuf, frameBuf + frameBufferPixels, nullptr);
    hal.initialize();

    HeadlessApplication application;
    MapScreen view(position);
    application.show(view.screen);
    // One frame: draw into the back buffer, then show it.
    hal.tick();
    hal.vSync();
    return sim::writeRgb565Png(path, hal.getTFTFrameBuffer(), ui::HAL::DISPLAY_WIDTH, ui::HAL::DISPLAY_HEIGHT,
                               ui::HAL::DISPLAY_WIDTH * 2);
}

} // namespace mapdemo
