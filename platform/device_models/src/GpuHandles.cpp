// The GPU library's functions that only keep what a handle holds, a path,
// a paint or a command list, the same on the PC and on the emulated board.

#include "device_models/GpuHandles.hpp"

#include <cstring>
#include <new>

namespace devices::vg {

Path* asPath(void* handle)
{
    auto* path = static_cast<Path*>(handle);
    return path != nullptr && path->magic == pathMagic ? path : nullptr;
}

Paint* asPaint(void* handle)
{
    auto* paint = static_cast<Paint*>(handle);
    return paint != nullptr && paint->magic == paintMagic ? paint : nullptr;
}

} // namespace devices::vg

using devices::vg::asPaint;
using devices::vg::asPath;
using devices::vg::Paint;
using devices::vg::Path;

extern "C" {

gpu_cmdlist_t gpu_cmdlist_create_circular(std::uint32_t size_bytes, std::uint32_t sectors)
{
    gpu_cmdlist_t cl{};
    cl.bo = gpu_buffer_create_pool(0, static_cast<std::int32_t>(size_bytes));
    cl.sectors = sectors;
    cl.submission_id = 0;
    return cl;
}

int gpu_cmdlist_wait(gpu_cmdlist_t* cl)
{
    return cl != nullptr && cl->submission_id > 0 ? gpu_wait_irq_cl(cl->submission_id) : 0;
}

std::uint32_t gpu_rgba(std::uint8_t r, std::uint8_t g, std::uint8_t b, std::uint8_t a)
{
    return static_cast<std::uint32_t>(r) | (static_cast<std::uint32_t>(g) << 8) |
           (static_cast<std::uint32_t>(b) << 16) | (static_cast<std::uint32_t>(a) << 24);
}

void* vg_path_create(void)
{
    void* memory = gpu_host_malloc(sizeof(Path));
    return memory != nullptr ? new (memory) Path : nullptr;
}

void vg_path_destroy(void* handle)
{
    if (Path* path = asPath(handle)) {
        path->magic = 0;
        gpu_host_free(path);
    }
}

void vg_path_set_shape(void* handle, std::uint32_t command_count, const std::uint8_t* commands,
                       std::uint32_t float_count, const float* floats)
{
    if (Path* path = asPath(handle)) {
        path->commandCount = command_count;
        path->commands = commands;
        path->floatCount = float_count;
        path->floats = floats;
    }
}

// The box only helps hardware tiling; the drawing finds the extent itself.
void vg_path_set_shape_and_bbox(void* handle, std::uint32_t command_count, const std::uint8_t* commands,
                                std::uint32_t float_count, const float* floats, const float*)
{
    vg_path_set_shape(handle, command_count, commands, float_count, floats);
}

void vg_path_set_matrix(void* handle, const vg_matrix3x3_t matrix)
{
    if (Path* path = asPath(handle)) {
        std::memcpy(path->matrix, matrix, sizeof path->matrix);
    }
}

// Each library's paints begin with a Paint.
void vg_paint_destroy(void* handle)
{
    if (Paint* paint = asPaint(handle)) {
        paint->magic = 0;
        gpu_host_free(paint);
    }
}

void vg_paint_set_paint_color(void* handle, std::uint32_t rgba)
{
    if (Paint* paint = asPaint(handle)) {
        paint->color = rgba;
    }
}

} // extern "C"
