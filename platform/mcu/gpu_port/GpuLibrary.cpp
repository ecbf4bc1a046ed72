// GPU LIBRARY PORT: the place of the board maker's vector GPU library and of
// the board HAL's GPU register access (interface/gpu/include). A port to the
// real board links the library here instead of this file. Until then no
// entry point draws: each reports failure where its interface can, so the
// system layer's set-up (gpu_sys_init) stops at its first check instead of
// running the GUI on a GPU that does nothing.

#include <cstdint>

#include "gpu/gpu_graphics.h"
#include "gpu/gpu_sys.h"

namespace {

constexpr int notPorted = -1;

} // namespace

extern "C" {

int gpu_pool_init(int, void*, std::uint32_t)
{
    return notPorted;
}

void* gpu_pool_malloc(int, std::uint32_t)
{
    return nullptr;
}

void gpu_pool_free(void*)
{
}

int gpu_rb_init(gpu_ring_buffer_t*, int)
{
    return notPorted;
}

std::uint32_t HAL_GPU_ReadRegister(std::uint32_t)
{
    return 0;
}

void HAL_GPU_WriteRegister(std::uint32_t, std::uint32_t)
{
}

// A list without memory: the system layer's buffer calls leave it alone.
gpu_cmdlist_t gpu_cmdlist_create_circular(std::uint32_t, std::uint32_t sectors)
{
    return gpu_cmdlist_t{gpu_buffer_t{0, -1, nullptr, 0}, sectors, 0};
}

void gpu_cmdlist_destroy(gpu_cmdlist_t*)
{
}

void gpu_cmdlist_bind(gpu_cmdlist_t*)
{
}

void gpu_cmdlist_unbind(void)
{
}

gpu_cmdlist_t* gpu_cmdlist_get_bound(void)
{
    return nullptr;
}

void gpu_cmdlist_submit(gpu_cmdlist_t*)
{
}

int gpu_cmdlist_wait(gpu_cmdlist_t*)
{
    return notPorted;
}

void gpu_bind_dst_texture(std::uintptr_t, std::uint32_t, std::uint32_t, std::uint32_t, std::int32_t)
{
}

void gpu_set_clip(std::int32_t, std::int32_t, std::uint32_t, std::uint32_t)
{
}

// The board's GPU rasterises whatever its clip: the port sets the clip's
// intersection with the scissor.
void gpu_set_scissor(std::int32_t, std::int32_t, std::uint32_t, std::uint32_t)
{
}

// The library's colour encoding is its own; without it there is none.
std::uint32_t gpu_rgba(std::uint8_t, std::uint8_t, std::uint8_t, std::uint8_t)
{
    return 0;
}

void* vg_path_create(void)
{
    return nullptr;
}

void vg_path_destroy(void*)
{
}

void vg_path_set_shape(void*, std::uint32_t, const std::uint8_t*, std::uint32_t, const float*)
{
}

void vg_path_set_shape_and_bbox(void*, std::uint32_t, const std::uint8_t*, std::uint32_t, const float*, const float*)
{
}

void vg_path_set_matrix(void*, const vg_matrix3x3_t)
{
}

void* vg_paint_create(void)
{
    return nullptr;
}

void vg_paint_destroy(void*)
{
}

void vg_paint_set_type(void*, std::uint8_t)
{
}

void vg_paint_lock_tran_to_path(void*, int)
{
}

void vg_paint_set_paint_color(void*, std::uint32_t)
{
}

void vg_paint_set_opacity(void*, float)
{
}

void vg_set_blend(std::uint32_t)
{
}

void vg_set_quality(std::uint8_t)
{
}

void vg_set_fill_rule(std::uint8_t)
{
}

void vg_stroke_set_width(float)
{
}

int vg_stencil_create(std::uint32_t, std::uint32_t, int)
{
    return notPorted;
}

void vg_enable_large_coordinates(int)
{
}

std::uint32_t vg_draw_path(void*, void*)
{
    return VG_INVALID_HANDLE;
}

// The GPU's interrupt. Which list completed, or what failed, is in the
// GPU's status as the library reads it; without the library every
// interrupt can only be an error.
void Gpu_IRQHandler()
{
    HAL_GPU_ErrorCallback(nullptr);
}

} // extern "C"
