#include "ui/HAL.hpp"

#include <cstring>
#include <utility>

#include "platform/Assert.hpp"
#include "ui/Application.hpp"
#include "ui/DMA.hpp"
#include "ui/LCD.hpp"
#include "ui/OSWrappers.hpp"
#include "ui/RectDifference.hpp"

namespace ui {

HAL* HAL::instance = nullptr;
Bitmap::BitmapFormat HAL::frameBufferFormat = Bitmap::RGB565;

HAL::HAL(LCD& lcdDisplay, TouchController& touch, std::int16_t width, std::int16_t height)
    : display(lcdDisplay), touchController(touch), frameBufferWidth(width), frameBufferHeight(height)
{
    VECTA_ASSERT(width >= DISPLAY_WIDTH && height >= DISPLAY_HEIGHT && "Framebuffer cannot be smaller than display");
    instance = this;
}

HAL::HAL(DMA_Interface& blitter, LCD& lcdDisplay, TouchController& touch, std::int16_t width, std::int16_t height)
    : HAL(lcdDisplay, touch, width, height)
{
    dma = &blitter;
}

HAL::~HAL()
{
    if (instance == this) {
        instance = nullptr;
    }
}

LCD& HAL::lcd()
{
    VECTA_ASSERT(instance != nullptr && "HAL has not been created.");
    return instance->display;
}

void HAL::initialize()
{
    configureInterrupts();
    touchController.init();
}

void HAL::setFrameBufferStartAddresses(void* frameBuffer, void* doubleBuffer, void*)
{
    VECTA_ASSERT(frameBuffer != nullptr && "A framebuffer address must be set");
    shownBuffer = static_cast<std::uint16_t*>(frameBuffer);
    doubleBuffered = doubleBuffer != nullptr;
    backBuffer = doubleBuffered ? static_cast<std::uint16_t*>(doubleBuffer) : shownBuffer;
    setTFTFrameBuffer(shownBuffer);
    drawnSinceSwap.clear();
    staleAreas.clear();
    swapPending = false;
}

bool HAL::beginFrame()
{
    inFrame = true;
    const std::uint8_t counted = vsyncCount;
    vsyncCount = 0;
    refreshCount = counted == 0 ? 1 : counted;
    return true;
}

void HAL::endFrame()
{
    inFrame = false;
    if (frameDrawn) {
        frameDrawn = false;
        swapPending = doubleBuffered;
    }
}

void HAL::taskEntry()
{
    enableLCDControllerInterrupt();
    enableInterrupts();
    for (;;) {
        OSWrappers::waitForVSync();
        backPorchExited();
    }
}

void HAL::allowDMATransfers()
{
    if (dma != nullptr) {
        dma->start();
    }
}

void HAL::signalDMAInterrupt()
{
    if (dma != nullptr) {
        dma->signalDMAInterrupt();
    }
}

void HAL::setMCUActive(bool active)
{
    if (mcuInstrumentation == nullptr || active == mcuActive) {
        return;
    }
    const std::uint32_t now = mcuInstrumentation->getCPUCycles();
    if (active) {
        activeSince = now;
    } else {
        activeCycles += now - activeSince;
    }
    mcuActive = active;
}

void HAL::updateMCULoad()
{
    constexpr std::uint32_t loadPeriodCycles = 100000000;
    if (!mcuLoadEnabled || mcuInstrumentation == nullptr) {
        return;
    }
    const std::uint32_t now = mcuInstrumentation->getCPUCycles();
    const std::uint32_t period = now - loadPeriodStart;
    if (period < loadPeriodCycles) {
        return;
    }
    std::uint64_t busy = activeCycles;
    if (mcuActive) {
        busy += now - activeSince;
        activeSince = now;
    }
    mcuLoadPct = static_cast<std::uint8_t>(busy >= period ? 100 : busy * 100 / period);
    activeCycles = 0;
    loadPeriodStart = now;
}

void HAL::sampleKey()
{
    Application* app = Application::getInstance();
    std::uint8_t key = 0;
    if (buttonController != nullptr && buttonController->sample(key) && app != nullptr) {
        app->handleKeyEvent(key);
    }
}

void HAL::tick()
{
    // A frame finished after the last refresh's swap is shown now, before
    // drawing starts; otherwise a refresh inside every slow frame would
    // keep it hidden for good.
    swapFrameBuffers();
    if (beginFrame()) {
        Application* app = Application::getInstance();
        if (app != nullptr) {
            app->handlePendingScreenTransition();
            app->handleTickEvent();
        }
        if (++touchSampleCounter >= touchSampleRate) {
            touchSampleCounter = 0;
            sampleTouch();
        }
        sampleKey();
        updateMCULoad();
        drawInvalidatedAreas();
    }
    endFrame();
}

void HAL::vSync()
{
    if (vsyncCount < 0xFF) {
        vsyncCount = static_cast<std::uint8_t>(vsyncCount + 1);
    }
    swapFrameBuffers();
}

void HAL::swapFrameBuffers()
{
    // A frame still being drawn is shown at the next refresh, never half done.
    if (!swapPending || inFrame) {
        return;
    }
    swapPending = false;
    std::swap(shownBuffer, backBuffer);
    setTFTFrameBuffer(shownBuffer);
    staleAreas = drawnSinceSwap;
    drawnSinceSwap.clear();
}

void HAL::blockCopy(void* destination, const void* source, std::uint32_t bytes)
{
    std::memmove(destination, source, bytes);
}

void HAL::copyFrameBufferArea(const Rect& area, const std::uint16_t* from, std::uint16_t* to)
{
    const Rect clipped = area & Rect(0, 0, frameBufferWidth, frameBufferHeight);
    if (clipped.isEmpty()) {
        return;
    }
    // Clipped to the frame buffer: no offset is negative.
    if (dma != nullptr) {
        const auto offset = static_cast<std::uint32_t>(clipped.y * frameBufferWidth + clipped.x);
        BlitOp op;
        op.operation = BLIT_OP_COPY;
        op.pSrc = from + offset;
        op.pDst = to + offset;
        op.nSteps = static_cast<std::uint16_t>(clipped.width);
        op.nLoops = static_cast<std::uint16_t>(clipped.height);
        op.srcLoopStride = static_cast<std::uint16_t>(frameBufferWidth);
        op.dstLoopStride = static_cast<std::uint16_t>(frameBufferWidth);
        op.srcFormat = Bitmap::RGB565;
        op.dstFormat = Bitmap::RGB565;
        dma->addToQueue(op);
        return;
    }
    for (std::int16_t row = clipped.y; row < clipped.bottom(); ++row) {
        const auto offset = static_cast<std::uint32_t>(row * frameBufferWidth + clipped.x);
        blockCopy(to + offset, from + offset, static_cast<std::uint32_t>(clipped.width) * 2u);
    }
}

void HAL::drawInvalidatedAreas()
{
    dirtyPixels = 0;
    Application* app = Application::getInstance();
    if (app == nullptr || backBuffer == nullptr || !app->hasInvalidatedAreas()) {
        return;
    }
    catchUpWithShownBuffer(*app);
    dirtyPixels = app->drawInvalidatedAreas(drawnSinceSwap);
    // The frame is shown whole: every blit lands before the swap.
    if (dma != nullptr) {
        dma->flush();
    }
    frameDrawn = true;
}

namespace {

constexpr std::uint16_t maxPieces = 32;

// Takes `hole` out of the `count` pieces; false when the pieces would not fit.
bool takeOut(Rect (&pieces)[maxPieces], std::uint16_t& count, const Rect& hole)
{
    Rect left[maxPieces];
    std::uint16_t leftCount = 0;
    for (std::uint16_t k = 0; k < count; ++k) {
        Rect parts[4];
        const std::uint16_t partCount = subtractRect(pieces[k], hole, parts);
        if (leftCount + partCount > maxPieces) {
            return false;
        }
        for (std::uint16_t p = 0; p < partCount; ++p) {
            left[leftCount++] = parts[p];
        }
    }
    count = leftCount;
    for (std::uint16_t k = 0; k < count; ++k) {
        pieces[k] = left[k];
    }
    return true;
}

} // namespace

// The copies are the first blits of the frame: whatever is drawn over them
// lands after them.
void HAL::catchUpWithShownBuffer(const Application& app)
{
    const RectList<8>& redrawn = app.getInvalidatedAreas();
    bool complete[8] = {};
    for (std::uint16_t j = 0; j < redrawn.size(); ++j) {
        complete[j] = app.redrawsCompletely(redrawn[j]);
    }
    for (std::uint16_t i = 0; i < staleAreas.size(); ++i) {
        Rect pieces[maxPieces];
        std::uint16_t count = 1;
        pieces[0] = staleAreas[i];
        for (std::uint16_t j = 0; j < redrawn.size() && count > 0; ++j) {
            if (complete[j] && !takeOut(pieces, count, redrawn[j])) {
                // Too fragmented to follow: copy the whole area.
                count = 1;
                pieces[0] = staleAreas[i];
                break;
            }
        }
        for (std::uint16_t k = 0; k < count; ++k) {
            copyFrameBufferArea(pieces[k], shownBuffer, backBuffer);
        }
    }
    staleAreas.clear();
}

void HAL::sampleTouch()
{
    Application* app = Application::getInstance();
    std::int32_t x = lastTouchX;
    std::int32_t y = lastTouchY;
    const bool touched = touchController.sampleTouch(x, y);
    if (app == nullptr) {
        wasTouched = touched;
        return;
    }
    if (touched) {
        const auto px = static_cast<std::int16_t>(x < 0 ? 0 : (x >= DISPLAY_WIDTH ? DISPLAY_WIDTH - 1 : x));
        const auto py = static_cast<std::int16_t>(y < 0 ? 0 : (y >= DISPLAY_HEIGHT ? DISPLAY_HEIGHT - 1 : y));
        if (!wasTouched) {
            app->handleClickEvent(ClickEvent(ClickEvent::PRESSED, px, py));
        } else if (px != lastTouchX || py != lastTouchY) {
            app->handleDragEvent(DragEvent(lastTouchX, lastTouchY, px, py));
        }
        lastTouchX = px;
        lastTouchY = py;
    } else if (wasTouched) {
        app->handleClickEvent(ClickEvent(ClickEvent::RELEASED, lastTouchX, lastTouchY));
    }
    wasTouched = touched;
}

} // namespace ui
