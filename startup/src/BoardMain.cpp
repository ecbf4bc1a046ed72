// From reset to the running kernel: every configuration step in order; a
// step that fails goes to Error_Handler.

#include "platform/bsp.h"
#include "startup/main.h"
#include "ui/HAL.hpp"

namespace {

void check(bsp::Status status)
{
    if (status != bsp::Status::Ok) {
        Error_Handler();
    }
}

void SystemClock_Config()
{
    check(bsp::clockInit(bsp::ClockConfig{1, true, true, true, 1, 4}));
}

void configureGpio()
{
    constexpr std::uint8_t priority = 5;
    check(bsp::gpioInit());
    bsp::setInterruptPriority(bsp::Irq::TouchLine, priority);
    bsp::enableInterrupt(bsp::Irq::TouchLine);
    bsp::setInterruptPriority(bsp::Irq::DmaChannels, priority);
    bsp::enableInterrupt(bsp::Irq::DmaChannels);
}

void configureDisplay()
{
    const bsp::DisplayTiming timing{4, 4, 12, 12, 812, 492, 820, 506, true, false, 0x000000};
    check(bsp::displayInit(timing));
    // The GUI HAL sets the frame buffer's address.
    constexpr std::uint16_t width = ui::HAL::DISPLAY_WIDTH;
    constexpr std::uint16_t height = ui::HAL::DISPLAY_HEIGHT;
    const bsp::DisplayLayer layer{0, width, 0, height, bsp::PixelFormat::RGB565, 255, 0, width, height, 0};
    check(bsp::displayLayerInit(layer));
}

void configureBlitterAndGpu()
{
    check(bsp::blitterInit(bsp::BlitterOutput{bsp::BlitterMode::RegisterToMemory, bsp::BlitterColorMode::RGB565, 0}));
    check(bsp::gpuInit());
}

void configureExternalFlash()
{
    constexpr std::uint32_t configRegister2Dummy = 0x300;
    constexpr std::uint8_t dummyCycles = 7;
    constexpr std::uint8_t octalDtr = 2;
    check(bsp::flashPortInit(bsp::FlashPortConfig{4, 1, 26 + 1, 2}));
    check(bsp::flashCommand(bsp::FlashCommand::ResetEnable, 0, 0));
    check(bsp::flashCommand(bsp::FlashCommand::ResetMemory, 0, 0));
    bsp::delayMs(100);
    check(bsp::flashCommand(bsp::FlashCommand::WriteEnable, 0, 0));
    check(bsp::flashCommand(bsp::FlashCommand::WriteConfigRegister2, configRegister2Dummy, dummyCycles));
    check(bsp::flashCommand(bsp::FlashCommand::WriteEnable, 0, 0));
    check(bsp::flashCommand(bsp::FlashCommand::WriteConfigRegister2, 0, octalDtr));
    bsp::delayMs(40);
    check(bsp::flashEnableMemoryMapped());
}

void configurePeripherals()
{
    check(bsp::i2cInit(bsp::I2cConfig{0x00F07BFF, true, true, 0}));
    check(bsp::imageCodecInit());
    // Prescaler code 3 (divide by 32), reload 1999: about 2 s; counting starts here.
    check(bsp::watchdogInit(3, 1999, 4095));
    check(bsp::serialInit(bsp::SerialPort::Port1, 115200));
    check(bsp::serialInit(bsp::SerialPort::Port2, 921600));
}

} // namespace

void board_main()
{
    check(bsp::halInit());
    check(bsp::powerSupplyInit());
    SystemClock_Config();
    configureGpio();
    check(bsp::cachesInit());
    configureDisplay();
    configureBlitterAndGpu();
    configureExternalFlash();
    configurePeripherals();
    GUI_Init();
    GUI_PreOSInit();
    rtos::setIdleHook(kernel_IdleHook);
    RTOS_Init();
    rtos::startScheduler();
}
