#pragma once

#include "ui/HALGPU.hpp"

// The framework's HAL bound to the board: frame buffers, the display
// controller's layer and line event, interrupt set-up and the GPU list.
class GeneratedHAL : public ui::HALGPU {
public:
    GeneratedHAL(ui::DMA_Interface& blitterDriver, ui::LCDGPU& lcd, ui::TouchController& touch, std::int16_t width,
                 std::int16_t height)
        : ui::HALGPU(blitterDriver, lcd, touch, width, height), blitter(blitterDriver)
    {
    }

    void initialize() override;
    void configureInterrupts() override;
    void enableInterrupts() override;
    void disableInterrupts() override;
    void enableLCDControllerInterrupt() override;
    std::uint16_t* getTFTFrameBuffer() const override;
    void setTFTFrameBuffer(std::uint16_t* address) override;
    void flushFrameBuffer(const ui::Rect& rect) override { ui::HALGPU::flushFrameBuffer(rect); }
    void blockCopy(void* destination, const void* source, std::uint32_t bytes) override
    {
        ui::HALGPU::blockCopy(destination, source, bytes);
    }
    bool beginFrame() override { return ui::HALGPU::beginFrame(); }
    void endFrame() override { ui::HALGPU::endFrame(); }
    virtual void submitGPU() { submitExecBuffer(); }

private:
    ui::DMA_Interface& blitter;
};
