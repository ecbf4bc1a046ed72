// The GUI's hardware glue objects and its construction before the kernel
// starts.

#include "board_glue/BlitterDMA.hpp"
#include "board_glue/BoardHAL.hpp"
#include "board_glue/I2cTouchPanelPort.hpp"
#include "board_glue/PanelTouchController.hpp"
#include "common/FrontendSetup.hpp"
#include "gpu/gpu_graphics.h"
#include "startup/main.h"
#include "tile_fetcher/region.h"
#include "ui/HAL.hpp"
#include "ui/LCDGPU.hpp"

namespace {

constexpr std::uint32_t gpuConfigRegister = 0xFFC;
constexpr std::uint32_t gpuConfigValue = 126;
constexpr int stencilPool = 1;

BlitterDMA dma(Error_Handler);
ui::LCDGPU display;
target::I2cTouchPanelPort touchPort;
target::PanelTouchController tc(touchPort);
target::BoardHAL hal(dma, display, tc, ui::HAL::DISPLAY_WIDTH, ui::HAL::DISPLAY_HEIGHT);

} // namespace

// Without its ring buffer or stencil the GPU cannot draw a single path.
void gui_components_init()
{
    if (gpu_sys_init() < 0) {
        Error_Handler();
    }
    gpu_reg_write(gpuConfigRegister, gpuConfigValue);
    if (vg_stencil_create(ui::HAL::DISPLAY_WIDTH, ui::HAL::DISPLAY_HEIGHT, stencilPool) != 0) {
        Error_Handler();
    }
    vg_enable_large_coordinates(1);
}

// The tables, the fonts and the application with its start screen, then the
// HAL, whose initialisation creates the frame-buffer semaphore. A region
// record that does not check out is a damaged image.
void gui_init()
{
    RegionStatus region = RegionStatus::Absent;
    region_record(region);
    if (region == RegionStatus::Damaged) {
        Error_Handler();
    }
    setupFrontend();
    hal.initialize();
}

void GUI_Init()
{
    gui_components_init();
    gui_init();
}

void GUI_PreOSInit()
{
}

void gui_taskEntry()
{
    hal.taskEntry();
}
