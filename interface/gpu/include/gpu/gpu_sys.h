#pragma once

// The system layer the GPU library is written against (implemented by the
// firmware in board_glue/src/gpu_hal), and the library's own memory pools
// and ring buffer that it hands to that layer.

#include <cstdint>

extern "C" {

typedef struct gpu_buffer {
    std::int32_t size;
    std::int32_t pool; // -1 once destroyed
    void* base_virt;
    std::uintptr_t base_phys;
} gpu_buffer_t;

typedef struct gpu_ring_buffer {
    gpu_buffer_t bo;
    std::int32_t offset;
} gpu_ring_buffer_t;

// Library side: pool allocator and ring buffer.
int gpu_pool_init(int pool, void* memory, std::uint32_t size);
void* gpu_pool_malloc(int pool, std::uint32_t size);
void gpu_pool_free(void* memory);
int gpu_rb_init(gpu_ring_buffer_t* ring, int reset);

// System side.
std::int32_t gpu_sys_init(void);
std::uint32_t gpu_reg_read(std::uint32_t reg);
void gpu_reg_write(std::uint32_t reg, std::uint32_t value);
int gpu_wait_irq_cl(int cl_id);
void* gpu_host_malloc(std::uint32_t size);
void gpu_host_free(void* memory);
gpu_buffer_t gpu_buffer_create_pool(int pool, std::int32_t size);
void* gpu_buffer_map(gpu_buffer_t* bo);
void gpu_buffer_destroy(gpu_buffer_t* bo);
void gpu_buffer_flush(gpu_buffer_t* bo);
int gpu_mutex_lock(int mutex_id);
int gpu_mutex_unlock(int mutex_id);

// Interrupt side, called by the GPU's interrupt handler.
void HAL_GPU_CommandListCpltCallback(void* hgpu, std::uint32_t cl_id);
void HAL_GPU_ErrorCallback(void* hgpu);

// Board HAL register access.
std::uint32_t HAL_GPU_ReadRegister(std::uint32_t offset);
void HAL_GPU_WriteRegister(std::uint32_t offset, std::uint32_t value);

} // extern "C"
