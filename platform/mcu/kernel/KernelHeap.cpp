// First fit over a list of free runs kept in address order, so that a run
// given back merges with its free neighbours and the heap does not splinter
// as tasks come and go.

#include "KernelHeap.hpp"

#include <new>

#include "mcu/KernelFigures.hpp"
#include "platform/Assert.hpp"

namespace {

// Lies at the start of each free run.
struct FreeRun {
    FreeRun* next;
    std::uint32_t bytes;
};
static_assert(sizeof(FreeRun) <= mcu::kernel::heapGrain);

alignas(mcu::kernel::heapGrain) std::uint8_t kernelHeap[mcu::kernel::heapBytes];
FreeRun* freeRuns = nullptr;
std::uint32_t freeBytes = 0;
bool heapReady = false;

void prepare()
{
    if (!heapReady) {
        freeRuns = new (kernelHeap) FreeRun{nullptr, mcu::kernel::heapBytes};
        freeBytes = mcu::kernel::heapBytes;
        heapReady = true;
    }
}

std::uint8_t* endOf(FreeRun* run)
{
    return reinterpret_cast<std::uint8_t*>(run) + run->bytes;
}

} // namespace

namespace mcu::kernel {

void* heapTake(std::uint32_t bytes)
{
    VECTA_ASSERT(bytes != 0 && bytes % heapGrain == 0);
    prepare();
    for (FreeRun** link = &freeRuns; *link != nullptr; link = &(*link)->next) {
        FreeRun* run = *link;
        if (run->bytes < bytes) {
            continue;
        }
        // From the run's end: what is left keeps its place in the list.
        run->bytes -= bytes;
        void* block = endOf(run);
        if (run->bytes == 0) {
            *link = run->next;
        }
        freeBytes -= bytes;
        return block;
    }
    return nullptr;
}

void heapGiveBack(void* block, std::uint32_t bytes)
{
    auto* start = static_cast<std::uint8_t*>(block);
    VECTA_ASSERT(start >= kernelHeap && start + bytes <= kernelHeap + heapBytes && bytes % heapGrain == 0);
    FreeRun** link = &freeRuns;
    FreeRun* before = nullptr;
    while (*link != nullptr && reinterpret_cast<std::uint8_t*>(*link) < start) {
        before = *link;
        link = &(*link)->next;
    }
    FreeRun* after = *link;
    FreeRun* run = new (block) FreeRun{after, bytes};
    if (after != nullptr && start + bytes == reinterpret_cast<std::uint8_t*>(after)) {
        run->bytes += after->bytes;
        run->next = after->next;
    }
    if (before != nullptr && endOf(before) == start) {
        before->bytes += run->bytes;
        before->next = run->next;
    } else {
        *link = run;
    }
    freeBytes += bytes;
}

std::uint32_t heapFreeBytes()
{
    prepare();
    return freeBytes;
}

} // namespace mcu::kernel
