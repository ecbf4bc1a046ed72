// The image's side of the runner's trace: the same reading of the
// application as the simulator's, and the figures of its queues.

#include "ImageHooks.hpp"
#include "mcu/KernelFigures.hpp"
#include "ui/DMA.hpp"
#include "ui/HAL.hpp"
#include "vecta/GlobalMapCache.hpp"

namespace emulated {

void readFrameRecord(FrameRecord& record)
{
    simulator::readTraceState(record.state);
    record.kernelHeapInUse = mcu::kernel::heapBytes - mcu::kernel::heapFreeBytes();
    record.blitQueue = 0;
    record.failedBlits = 0;
    if (ui::DMA_Interface* dma = ui::HAL::getInstance() != nullptr ? ui::HAL::getInstance()->getDMA() : nullptr) {
        record.blitQueue = dma->getQueue().count();
        record.failedBlits = dma->failedBlits();
    }
    record.fetcherQueue = static_cast<std::uint32_t>(mapCache.fetcher.queue.size());
}

} // namespace emulated
