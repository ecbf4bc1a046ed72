#pragma once

#include <cstddef>
#include <cstdint>

// The board's peripherals as the firmware's start-up and drivers use them:
// one call per configuration step, register-level access where a driver
// needs it, and the interrupt callbacks the firmware defines. The board port
// implements it over the microcontroller; the simulator over its stand-ins.
namespace bsp {

enum class Status : std::uint8_t { Ok, Error };

// Millisecond time base of the HAL and the board's power supply.
Status halInit();
Status powerSupplyInit();
// Waits on the HAL's time base (before and after the kernel starts).
void delayMs(std::uint32_t milliseconds);

struct ClockConfig {
    std::uint8_t voltageScale;
    bool crystalOn;
    bool lowSpeedInternalOn;
    bool pllFromCrystal;
    std::uint8_t busDivider;
    std::uint8_t flashWaitStates;
};
Status clockInit(const ClockConfig& config);

// Interrupt lines the firmware enables and prioritises.
enum class Irq : std::uint8_t { TouchLine, DmaChannels, Display, Blitter, Gpu };
void setInterruptPriority(Irq irq, std::uint8_t priority);
void enableInterrupt(Irq irq);
void disableInterrupt(Irq irq);
void disableAllInterrupts();

// Control outputs at their initial levels, the touch input on external
// line 5 (falling edge).
constexpr std::uint16_t touchInterruptPin = 0x20;
Status gpioInit();

// Instruction cache one-way, data caches with incrementing bursts, no SRAM
// caching.
Status cachesInit();

// Display controller.
struct DisplayTiming {
    std::uint16_t horizontalSync;
    std::uint16_t verticalSync;
    std::uint16_t accumulatedHorizontalBackPorch;
    std::uint16_t accumulatedVerticalBackPorch;
    std::uint16_t accumulatedActiveWidth;
    std::uint16_t accumulatedActiveHeight;
    std::uint16_t totalWidth;
    std::uint16_t totalHeight;
    bool syncAndEnableActiveLow;
    bool pixelClockInverted;
    std::uint32_t backgroundColor;
};
enum class PixelFormat : std::uint8_t { ARGB8888, RGB888, RGB565 };
struct DisplayLayer {
    std::uint16_t windowX0;
    std::uint16_t windowX1;
    std::uint16_t windowY0;
    std::uint16_t windowY1;
    PixelFormat format;
    std::uint8_t constantAlpha;
    std::uint8_t defaultAlpha;
    std::uint16_t imageWidth;
    std::uint16_t imageHeight;
    std::uintptr_t frameBufferAddress;
};
Status displayInit(const DisplayTiming& timing);
Status displayLayerInit(const DisplayLayer& layer);
// What the timing registers hold.
DisplayTiming displayTiming();
// The line at which the next line event fires.
void displaySetLineEvent(std::uint16_t line);
void displayEnableLineInterrupt();
std::uintptr_t displayLayerAddress();
// A new address takes effect at the next vertical blank, or at once with an
// immediate shadow reload.
void displaySetLayerAddress(std::uintptr_t address, bool immediateReload);

// Blitter.
enum class BlitterMode : std::uint8_t { MemoryToMemory, MemoryToMemoryConvert, MemoryToMemoryBlend, RegisterToMemory };
enum class BlitterColorMode : std::uint8_t { ARGB8888, RGB888, RGB565, L8, A8, A4 };
enum class BlitterAlphaMode : std::uint8_t { Keep, Replace, Multiply };
struct BlitterOutput {
    BlitterMode mode;
    BlitterColorMode colorMode;
    std::uint32_t lineOffset; // pixels skipped after each line
};
struct BlitterLayer {
    BlitterColorMode colorMode;
    std::uint32_t lineOffset;
    BlitterAlphaMode alphaMode;
    std::uint8_t alpha;
    std::uint32_t color; // RGB of alpha-only sources
};
enum class BlitterLayerIndex : std::uint8_t { Background = 0, Foreground = 1 };
using BlitterCallback = void (*)();
Status blitterInit(const BlitterOutput& output);
Status blitterLayerInit(BlitterLayerIndex layer, const BlitterLayer& config);
void blitterSetCallbacks(BlitterCallback transferComplete, BlitterCallback transferError);
// Palette for L8 sources: `count` entries of ARGB8888 or RGB888.
Status blitterLoadPalette(const void* entries, std::uint16_t count, BlitterColorMode entryFormat);
// Starts one transfer; `source` is the fill colour (ARGB8888) in
// register-to-memory mode. Completion raises the blitter interrupt.
Status blitterStart(std::uintptr_t source, std::uintptr_t destination, std::uint32_t width, std::uint32_t height);
Status blitterBlendStart(std::uintptr_t foreground, std::uintptr_t background, std::uintptr_t destination,
                         std::uint32_t width, std::uint32_t height);

// GPU block.
Status gpuInit();

// External-memory port and its octal flash.
struct FlashPortConfig {
    std::uint8_t fifoThreshold;
    std::uint8_t memoryType;
    std::uint8_t deviceSizeLog2;
    std::uint8_t chipSelectHighCycles;
};
enum class FlashCommand : std::uint8_t { ResetEnable, ResetMemory, WriteEnable, WriteConfigRegister2 };
Status flashPortInit(const FlashPortConfig& config);
Status flashCommand(FlashCommand command, std::uint32_t address, std::uint8_t value);
// From here on the flash is readable at 0xA0000000.
Status flashEnableMemoryMapped();

// Touch bus.
struct I2cConfig {
    std::uint32_t timing;
    bool sevenBitAddressing;
    bool analogFilterOn;
    std::uint8_t digitalFilter;
};
constexpr std::uint32_t waitForever = 0xFFFFFFFFu;
Status i2cInit(const I2cConfig& config);
// Register access on an 8-bit bus address with 16-bit register addresses.
Status i2cRead(std::uint8_t device, std::uint16_t reg, std::uint8_t* data, std::size_t size, std::uint32_t timeout);
Status i2cWrite(std::uint8_t device, std::uint16_t reg, const std::uint8_t* data, std::size_t size,
                std::uint32_t timeout);

Status imageCodecInit();

// Independent watchdog on the 32 kHz low-speed oscillator.
Status watchdogInit(std::uint8_t prescalerCode, std::uint16_t reload, std::uint16_t window);
void watchdogRefresh();

// Nothing is sent on them: the firmware's standard output goes nowhere.
enum class SerialPort : std::uint8_t { Port1, Port2 };
Status serialInit(SerialPort port, std::uint32_t baud);

// The processor's cycle counter: it counts once its trace is enabled, its
// registers unlocked and the counter switched on, in that order.
void cycleCounterTraceEnable();
void cycleCounterUnlock();
void cycleCounterStart();
std::uint32_t cycleCounter();

// Every write before it has taken effect before anything after it runs (a
// line just disabled raises no more interrupts).
void barrier();

// Signals a logic analyser can watch on spare pins. Besides the frame's
// render time, the GUI task's costly phases within it: the model's tick, a
// tile's transcoding and the building of a GPU command list (between its
// bind and its submission).
enum class DebugSignal : std::uint8_t { VSync, RenderTime, FrameRate, ModelTick, TileTranscode, GpuCommands };
void setDebugSignal(DebugSignal signal, bool high);

// Interrupts off, processor stopped.
[[noreturn]] void halt();

} // namespace bsp

// Defined by the firmware, called in interrupt context.
void HAL_Display_LineEventCallback();
void HAL_GPIO_FallingEdgeCallback(std::uint16_t pin);
