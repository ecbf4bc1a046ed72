// The GPU library's pool allocator: first fit over the memory the system
// layer hands it, 8-byte aligned blocks, neighbours merged on free.

#include <algorithm>
#include <cstddef>
#include <cstdint>

#include "device_models/Faults.hpp"
#include "device_models/GpuPools.hpp"
#include "gpu/gpu_sys.h"

namespace {

struct BlockHeader {
    std::uint32_t size; // payload bytes
    std::uint32_t state;
};
static_assert(sizeof(BlockHeader) == 8);

constexpr std::uint32_t freeBlock = 0x46524545u;
constexpr std::uint32_t usedBlock = 0x55534544u;
constexpr int maxPools = 4;

struct Pool {
    std::uint8_t* begin = nullptr;
    std::uint8_t* end = nullptr;
    std::uint32_t inUse = 0;
    std::uint32_t peak = 0;
};

Pool pools[maxPools];

BlockHeader* next(BlockHeader* block)
{
    return reinterpret_cast<BlockHeader*>(reinterpret_cast<std::uint8_t*>(block + 1) + block->size);
}

Pool* owner(const void* memory)
{
    const auto* p = static_cast<const std::uint8_t*>(memory);
    for (Pool& pool : pools) {
        if (pool.begin != nullptr && p > pool.begin && p < pool.end) {
            return &pool;
        }
    }
    return nullptr;
}

} // namespace

extern "C" {

int gpu_pool_init(int pool, void* memory, std::uint32_t size)
{
    if (pool < 0 || pool >= maxPools || memory == nullptr || size < 2 * sizeof(BlockHeader) ||
        (reinterpret_cast<std::uintptr_t>(memory) & 7u) != 0) {
        return -1;
    }
    size &= ~7u;
    pools[pool].begin = static_cast<std::uint8_t*>(memory);
    pools[pool].end = pools[pool].begin + size;
    pools[pool].inUse = 0;
    pools[pool].peak = 0;
    auto* first = reinterpret_cast<BlockHeader*>(memory);
    first->size = size - static_cast<std::uint32_t>(sizeof(BlockHeader));
    first->state = freeBlock;
    return 0;
}

void* gpu_pool_malloc(int pool, std::uint32_t size)
{
    if (pool < 0 || pool >= maxPools || pools[pool].begin == nullptr || size == 0 ||
        devices::faultActive(devices::Fault::GpuPool)) {
        return nullptr;
    }
    // Checked before rounding up, which would wrap a huge size to 0.
    if (size > static_cast<std::uint32_t>(pools[pool].end - pools[pool].begin)) {
        return nullptr;
    }
    const std::uint32_t wanted = (size + 7u) & ~7u;
    auto* end = reinterpret_cast<BlockHeader*>(pools[pool].end);
    for (auto* block = reinterpret_cast<BlockHeader*>(pools[pool].begin); block < end; block = next(block)) {
        if (block->state != freeBlock || block->size < wanted) {
            continue;
        }
        if (block->size >= wanted + 2 * sizeof(BlockHeader)) {
            auto* rest = reinterpret_cast<BlockHeader*>(reinterpret_cast<std::uint8_t*>(block + 1) + wanted);
            rest->size = block->size - wanted - static_cast<std::uint32_t>(sizeof(BlockHeader));
            rest->state = freeBlock;
            block->size = wanted;
        }
        block->state = usedBlock;
        pools[pool].inUse += block->size;
        pools[pool].peak = std::max(pools[pool].peak, pools[pool].inUse);
        return block + 1;
    }
    return nullptr;
}

void gpu_pool_free(void* memory)
{
    Pool* pool = memory != nullptr ? owner(memory) : nullptr;
    if (pool == nullptr) {
        return;
    }
    auto* block = static_cast<BlockHeader*>(memory) - 1;
    if (block->state != usedBlock) {
        return; // not a live block: freeing it twice must not corrupt the pool
    }
    block->state = freeBlock;
    pool->inUse -= block->size;
    auto* end = reinterpret_cast<BlockHeader*>(pool->end);
    for (auto* b = reinterpret_cast<BlockHeader*>(pool->begin); b < end; b = next(b)) {
        while (b->state == freeBlock && next(b) < end && next(b)->state == freeBlock) {
            b->size += next(b)->size + static_cast<std::uint32_t>(sizeof(BlockHeader));
        }
    }
}

int gpu_rb_init(gpu_ring_buffer_t* ring, int reset)
{
    if (ring == nullptr || ring->bo.base_virt == nullptr || ring->bo.size <= 0 ||
        devices::stepFails(devices::Fault::GpuInit, "GPU library initialisation")) {
        return -1;
    }
    if (reset != 0) {
        ring->offset = 0;
    }
    return 0;
}

} // extern "C"

namespace devices {

GpuPoolFigures readGpuPoolFigures(int pool, bool startNewPeak)
{
    if (pool < 0 || pool >= maxPools || pools[pool].begin == nullptr) {
        return GpuPoolFigures{0, 0, 0};
    }
    Pool& p = pools[pool];
    const GpuPoolFigures figures{p.inUse, p.peak, static_cast<std::uint32_t>(p.end - p.begin)};
    if (startNewPeak) {
        p.peak = p.inUse;
    }
    return figures;
}

} // namespace devices
