#pragma once

#include "gpu/gpu_graphics.h"
#include "ui/HAL.hpp"
#include "ui/LCDGPU.hpp"

namespace ui {

// A HAL whose widgets may draw vector paths with the GPU between
// bindExecBuffer() and submitExecBuffer().
class HALGPU : public HAL {
public:
    static constexpr std::uint32_t COMMAND_LIST_SIZE = 32768;
    static constexpr std::uint32_t COMMAND_LIST_SECTORS = 4;

    HALGPU(LCDGPU& gpuLcd, TouchController& touch, std::int16_t width, std::int16_t height)
        : HAL(gpuLcd, touch, width, height), gpuDisplay(gpuLcd)
    {
    }

    HALGPU(DMA_Interface& blitter, LCDGPU& gpuLcd, TouchController& touch, std::int16_t width, std::int16_t height)
        : HAL(blitter, gpuLcd, touch, width, height), gpuDisplay(gpuLcd)
    {
    }

    ~HALGPU() override;

    // The display the GPU draws on.
    static LCDGPU& lcdGPU() { return gpuInstance()->gpuDisplay; }

    // Creates the circular command list.
    void initialize() override;

    // Switches to hardware rendering and binds the command list.
    static void bindExecBuffer();
    // Submits what was recorded and waits for it, so software drawing that
    // follows sees the GPU's pixels.
    static void submitExecBuffer();

    bool isHardwareRendering() const { return hardwareRendering; }

private:
    static HALGPU* gpuInstance();

    LCDGPU& gpuDisplay;
    gpu_cmdlist_t commandList{};
    bool commandListCreated = false;
    bool hardwareRendering = false;
};

} // namespace ui
