#include "ui/HALGPU.hpp"

#include "platform/Assert.hpp"
#include "platform/bsp.h"
#include "ui/DMA.hpp"
#include "ui/LCDGPU.hpp"

namespace ui {

HALGPU* HALGPU::gpuInstance()
{
    auto* hal = static_cast<HALGPU*>(HAL::getInstance());
    VECTA_ASSERT(hal != nullptr && "HAL has not been created.");
    return hal;
}

HALGPU::~HALGPU()
{
    if (!commandListCreated) {
        return;
    }
    if (gpu_cmdlist_get_bound() == &commandList) {
        gpu_cmdlist_unbind();
    }
    gpu_cmdlist_destroy(&commandList);
}

void HALGPU::initialize()
{
    HAL::initialize();
    if (!commandListCreated) {
        commandList = gpu_cmdlist_create_circular(COMMAND_LIST_SIZE, COMMAND_LIST_SECTORS);
        commandListCreated = true;
    }
}

void HALGPU::bindExecBuffer()
{
    HALGPU* hal = gpuInstance();
    VECTA_ASSERT(hal->commandListCreated && "HALGPU has not been initialized.");
    // The GPU draws over what the blitter was given before it.
    if (DMA_Interface* dma = hal->getDMA()) {
        dma->flush();
    }
    bsp::setDebugSignal(bsp::DebugSignal::GpuCommands, true);
    hal->hardwareRendering = true;
    if (gpu_cmdlist_get_bound() != &hal->commandList) {
        gpu_cmdlist_bind(&hal->commandList);
    }
}

void HALGPU::submitExecBuffer()
{
    HALGPU* hal = gpuInstance();
    gpu_cmdlist_submit(&hal->commandList);
    bsp::setDebugSignal(bsp::DebugSignal::GpuCommands, false);
    gpu_cmdlist_wait(&hal->commandList);
    hal->hardwareRendering = false;
}

void LCDGPU::bindFrameBufferTexture()
{
    const HAL* hal = HAL::getInstance();
    VECTA_ASSERT(hal != nullptr && "HAL has not been created.");
    gpu_bind_dst_texture(reinterpret_cast<std::uintptr_t>(hal->getClientFrameBuffer()),
                         static_cast<std::uint32_t>(hal->getFrameBufferWidth()),
                         static_cast<std::uint32_t>(hal->getFrameBufferHeight()), GPU_FORMAT_RGB565,
                         hal->getFrameBufferWidth() * 2);
}

} // namespace ui
