#pragma once

#include <cstdint>

#include "board_config/BoardConfig.hpp"
#include "ui/Bitmap.hpp"
#include "ui/MCUInstrumentation.hpp"
#include "ui/RectList.hpp"
#include "ui/TouchController.hpp"
#include "ui/Types.hpp"

namespace ui {

class Application;
class DMA_Interface;
class LCD;

enum DisplayOrientation : std::uint8_t { ORIENTATION_LANDSCAPE = 0, ORIENTATION_PORTRAIT = 1 };

// The framework's view of the board: frame buffers, frame counters, touch
// sampling and the per-frame order of work.
class HAL {
public:
    // The panel in pixels, for the firmware's screens, start-up and touch
    // controller.
    static constexpr std::int16_t DISPLAY_WIDTH = board::panelWidth;
    static constexpr std::int16_t DISPLAY_HEIGHT = board::panelHeight;

    HAL(LCD& display, TouchController& touch, std::int16_t width, std::int16_t height);
    // Frame-buffer copies go through the blitter.
    HAL(DMA_Interface& dma, LCD& display, TouchController& touch, std::int16_t width, std::int16_t height);
    HAL(const HAL&) = delete;
    HAL& operator=(const HAL&) = delete;
    virtual ~HAL();

    static HAL* getInstance() { return instance; }
    static LCD& lcd();
    static void setFrameBufferFormat(Bitmap::BitmapFormat format) { frameBufferFormat = format; }
    static Bitmap::BitmapFormat getFrameBufferFormat() { return frameBufferFormat; }

    virtual void initialize();
    // Starts a frame: the vertical syncs counted since the previous frame
    // become this frame's refresh count (at least 1).
    virtual bool beginFrame();
    virtual void endFrame();
    // One whole frame: pending screen switch, application tick, touch
    // sampling, key sampling, load measurement, drawing of the invalidated
    // areas.
    void tick();
    // The GUI task: enables the display and HAL interrupts, then runs one
    // frame per vertical sync. Never returns.
    [[noreturn]] void taskEntry();
    // The display left its back porch: run a frame.
    void backPorchExited() { tick(); }

    virtual void configureInterrupts() {}
    virtual void enableInterrupts() {}
    virtual void disableInterrupts() {}
    virtual void enableLCDControllerInterrupt() {}
    // The display entered its front porch: queued blits may run.
    void allowDMATransfers();
    // From the blitter's completion interrupt.
    void signalDMAInterrupt();
    // Null when frame-buffer copies are done by the processor.
    DMA_Interface* getDMA() const { return dma; }
    // The pixels the last frame redrew (its invalidated areas, each counted
    // whole); 0 when it drew nothing.
    std::uint32_t getDirtyPixels() const { return dirtyPixels; }

    // Processor load: the instrumentation counts cycles, the idle task
    // reports when the processor works.
    void setMCUInstrumentation(MCUInstrumentation* instrumentation) { mcuInstrumentation = instrumentation; }
    void enableMCULoadCalculation(bool enable) { mcuLoadEnabled = enable; }
    void setMCUActive(bool active);
    std::uint8_t getMCULoadPct() const { return mcuLoadPct; }
    void setButtonController(ButtonController* controller) { buttonController = controller; }
    ButtonController* getButtonController() const { return buttonController; }

    // Called from the display's line interrupt once per refresh.
    void vSync();
    std::uint8_t getLCDRefreshCount() const { return refreshCount; }

    void setFrameBufferStartAddresses(void* frameBuffer, void* doubleBuffer, void* animationStorage);
    // The buffer being drawn into.
    std::uint16_t* getClientFrameBuffer() const { return backBuffer; }
    // The buffer being shown.
    virtual std::uint16_t* getTFTFrameBuffer() const { return shownBuffer; }
    virtual void setTFTFrameBuffer(std::uint16_t* address) { shownBuffer = address; }
    void swapFrameBuffers();
    virtual void blockCopy(void* destination, const void* source, std::uint32_t bytes);
    virtual void flushFrameBuffer() {}
    virtual void flushFrameBuffer(const Rect&) {}

    std::int16_t getFrameBufferWidth() const { return frameBufferWidth; }
    std::int16_t getFrameBufferHeight() const { return frameBufferHeight; }
    void setDisplayOrientation(DisplayOrientation orientation) { displayOrientation = orientation; }
    DisplayOrientation getDisplayOrientation() const { return displayOrientation; }
    void setTouchSampleRate(std::uint8_t rate) { touchSampleRate = rate == 0 ? 1 : rate; }
    void setFingerSize(std::uint8_t size) { fingerSize = size; }
    std::uint8_t getFingerSize() const { return fingerSize; }

protected:
    void sampleTouch();
    void sampleKey();
    void updateMCULoad();
    void drawInvalidatedAreas();
    // The back buffer catches up with what the shown buffer got last frame,
    // except where this frame paints over everything.
    void catchUpWithShownBuffer(const Application& app);
    void copyFrameBufferArea(const Rect& area, const std::uint16_t* from, std::uint16_t* to);

    DMA_Interface* dma = nullptr;
    LCD& display;
    TouchController& touchController;
    std::int16_t frameBufferWidth;
    std::int16_t frameBufferHeight;
    DisplayOrientation displayOrientation = ORIENTATION_LANDSCAPE;

    std::uint16_t* shownBuffer = nullptr;
    std::uint16_t* backBuffer = nullptr;
    bool doubleBuffered = false;
    bool inFrame = false;
    bool frameDrawn = false;
    bool swapPending = false;
    // Drawn into the back buffer since the last swap, and what the back
    // buffer still misses of the shown one after a swap.
    RectList<8> drawnSinceSwap;
    RectList<8> staleAreas;
    std::uint32_t dirtyPixels = 0;

    volatile std::uint8_t vsyncCount = 0;
    std::uint8_t refreshCount = 1;

    std::uint8_t touchSampleRate = 1;
    std::uint8_t touchSampleCounter = 0;
    std::uint8_t fingerSize = 1;
    bool wasTouched = false;
    std::int16_t lastTouchX = 0;
    std::int16_t lastTouchY = 0;

    ButtonController* buttonController = nullptr;
    MCUInstrumentation* mcuInstrumentation = nullptr;
    bool mcuLoadEnabled = false;
    bool mcuActive = false;
    std::uint32_t activeSince = 0;  // cycle count when the processor last became active
    std::uint32_t activeCycles = 0; // since the last load computation
    std::uint32_t loadPeriodStart = 0;
    std::uint8_t mcuLoadPct = 0;

    static HAL* instance;
    static Bitmap::BitmapFormat frameBufferFormat;
};

} // namespace ui
