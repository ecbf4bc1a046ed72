// The GUI's hardware glue objects and its construction before the kernel
// starts.

#include "BlitterDMA.hpp"
#include "board/main.h"
#include "common/FrontendHeap.hpp"
#include "fonts/ApplicationFontProvider.hpp"
#include "gpu/gpu_graphics.h"
#include "images/BitmapDatabase.hpp"
#include "target/BoardHAL.hpp"
#include "target/I2cTouchPanelPort.hpp"
#include "target/PanelTouchController.hpp"
#include "texts/TypedTextDatabase.hpp"
#include "ui/LCDGPU.hpp"

namespace {

constexpr std::uint32_t gpuConfigRegister = 0xFFC;
constexpr std::uint32_t gpuConfigValue = 126;
constexpr int stencilPool = 1;

ApplicationFontProvider fontProvider;
BlitterDMA dma;
ui::LCDGPU display;
target::I2cTouchPanelPort touchPort;
target::PanelTouchController tc(touchPort);
target::BoardHAL hal(dma, display, tc, 800, 480);

} // namespace

void gui_components_init()
{
    gpu_sys_init();
    gpu_reg_write(gpuConfigRegister, gpuConfigValue);
    vg_stencil_create(800, 480, stencilPool);
    vg_enable_large_coordinates(1);
}

// The pizza screen, the start screen, is requested here once the map
// screens are part of the program; until then the board starts without a
// screen and M leads to the menu.
void gui_init()
{
    ui::Bitmap::registerBitmapDatabase(BitmapDatabase::getInstance(), BitmapDatabase::getInstanceSize());
    ui::Texts::setLanguages(TypedTextDatabase::getLanguages(), TypedTextDatabase::getLanguageCount());
    ui::TypedText::registerTypedTextDatabase(TypedTextDatabase::getInstance(), TypedTextDatabase::getFonts(),
                                             TypedTextDatabase::getInstanceSize());
    ui::Texts::setLanguage(0);
    ui::HAL::setFrameBufferFormat(ui::Bitmap::RGB565);
    ui::FontManager::setFontProvider(&fontProvider);
    FrontendHeap::getInstance();
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
