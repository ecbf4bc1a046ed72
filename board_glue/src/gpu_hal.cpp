// Maintained by hand: no tool writes this file.
// System layer of the GPU library: memory pools, the command ring buffer,
// register access and command-list completion.

#include <atomic>
#include <cstddef>

#include "gpu/gpu_sys.h"
#include "platform/Assert.hpp"
#include "platform/rtos.h"

// The layer reports the plain C function name, as the library's own checks do.
#define GPU_HAL_ASSERT(expression)                                                                                     \
    ((expression) ? static_cast<void>(0) : assertionFailed(#expression, __FILE__, __LINE__, __func__))

namespace {

constexpr std::uint32_t poolMemSize = 0x9F00;     // general allocations and the ring buffer
constexpr std::uint32_t stencilMemSize = 0x5F000; // stencil buffer for path filling
constexpr std::int32_t ringBufferSize = 1024;
constexpr std::uint32_t errorStatusRegister = 0xFF8;

alignas(8) std::uint8_t gpu_pool_mem[poolMemSize];
alignas(8) std::uint8_t gpu_stencil_buffer_mem[stencilMemSize];

gpu_ring_buffer_t ring_buffer_str = {{0, -1, nullptr, 0}, 0};

// Given by the completion interrupt; only the GUI task waits on it.
rtos::StaticSemaphore semaphoreStorage;
rtos::SemaphoreHandle gpu_irq_sem = nullptr;
std::atomic<std::int32_t> last_cl_id{-1};

gpu_buffer_t gpu_buffer_create(std::int32_t size)
{
    gpu_buffer_t bo;
    bo.base_virt = gpu_pool_malloc(0, static_cast<std::uint32_t>(size));
    // NOLINTNEXTLINE(modernize-use-nullptr): the message text is fixed
    GPU_HAL_ASSERT(bo.base_virt != 0 && "Unable to allocate memory in gpu_buffer_create");
    bo.size = size;
    bo.pool = 0;
    bo.base_phys = reinterpret_cast<std::uintptr_t>(bo.base_virt);
    return bo;
}

} // namespace

extern "C" {

std::int32_t gpu_sys_init(void)
{
    if (gpu_irq_sem == nullptr) {
        gpu_irq_sem = rtos::createBinarySemaphore(semaphoreStorage);
        if (gpu_irq_sem != nullptr) {
            rtos::give(gpu_irq_sem); // starts with its one count
        }
    }
    // NOLINTNEXTLINE(modernize-use-nullptr): the message text is fixed
    GPU_HAL_ASSERT(gpu_irq_sem != NULL);
    int error_code = gpu_pool_init(0, gpu_pool_mem, poolMemSize);
    GPU_HAL_ASSERT(error_code == 0);
    error_code = gpu_pool_init(1, gpu_stencil_buffer_mem, stencilMemSize);
    GPU_HAL_ASSERT(error_code == 0);

    ring_buffer_str.bo = gpu_buffer_create(ringBufferSize);
    const int result = gpu_rb_init(&ring_buffer_str, 1);
    if (result >= 0) {
        last_cl_id = 0;
    }
    return result;
}

std::uint32_t gpu_reg_read(std::uint32_t reg)
{
    return HAL_GPU_ReadRegister(reg);
}

void gpu_reg_write(std::uint32_t reg, std::uint32_t value)
{
    HAL_GPU_WriteRegister(reg, value);
}

int gpu_wait_irq_cl(int cl_id)
{
    // Ids grow monotonically, so a completion that came before the wait
    // already satisfies it.
    while (last_cl_id.load() < cl_id) {
        rtos::take(gpu_irq_sem, rtos::waitForever);
    }
    return 0;
}

void* gpu_host_malloc(std::uint32_t size)
{
    return gpu_pool_malloc(0, size);
}

void gpu_host_free(void* memory)
{
    gpu_pool_free(memory);
}

gpu_buffer_t gpu_buffer_create_pool(int pool, std::int32_t size)
{
    gpu_buffer_t bo;
    bo.base_virt = gpu_pool_malloc(pool, static_cast<std::uint32_t>(size));
    // NOLINTNEXTLINE(modernize-use-nullptr): the message text is fixed
    GPU_HAL_ASSERT(bo.base_virt != 0 && "Unable to allocate memory in gpu_buffer_create_pool");
    bo.size = size;
    bo.pool = pool;
    bo.base_phys = reinterpret_cast<std::uintptr_t>(bo.base_virt);
    return bo;
}

void* gpu_buffer_map(gpu_buffer_t* bo)
{
    return bo->base_virt;
}

void gpu_buffer_destroy(gpu_buffer_t* bo)
{
    if (bo->pool < 0 || bo->base_virt == nullptr) {
        return;
    }
    gpu_pool_free(bo->base_virt);
    bo->size = 0;
    bo->base_virt = nullptr;
    bo->base_phys = 0;
    bo->pool = -1;
}

void gpu_buffer_flush(gpu_buffer_t*)
{
}

int gpu_mutex_lock(int)
{
    return 0;
}

int gpu_mutex_unlock(int)
{
    return 0;
}

void HAL_GPU_CommandListCpltCallback(void*, std::uint32_t cl_id)
{
    last_cl_id = static_cast<std::int32_t>(cl_id);
    if (gpu_irq_sem != nullptr) {
        rtos::give(gpu_irq_sem); // already full when nobody waited: nothing to do
    }
}

void HAL_GPU_ErrorCallback(void*)
{
    const std::uint32_t status = HAL_GPU_ReadRegister(errorStatusRegister);
    HAL_GPU_WriteRegister(errorStatusRegister, status);
}

} // extern "C"
