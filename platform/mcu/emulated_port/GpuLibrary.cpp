// The GPU library on the emulated board. As on the board, the processor
// only builds command lists: each drawing call is written into the bound
// list, with the path data it points at and the state it draws with, and
// the GPU, which is the host runner, executes the list when it is submitted
// (or when it fills up) on the frame buffer in the shared RAM block.
// Completion pends the GPU interrupt with the submission's id: at once in
// board time; in emulated time when the board's GPU would have covered the
// pixels the runner counted (DeviceTime.hpp), lists kicked before a
// submission running while the processor records the next.

#include <cstring>
#include <new>

#include "BoardClock.hpp"
#include "DeviceTime.hpp"
#include "FrameCost.hpp"
#include "HostLink.hpp"
#include "InterruptLines.hpp"
#include "device_models/Faults.hpp"
#include "device_models/GpuHandles.hpp"
#include "emulated/GpuRecords.hpp"
#include "gpu/gpu_graphics.h"

namespace {

using devices::vg::asPaint;
using devices::vg::asPath;
using devices::vg::Paint;
using devices::vg::Path;
using emulated::GpuOp;
using emulated::GpuRecordHeader;

emulated::GpuDraw initialState()
{
    emulated::GpuDraw state{};
    state.blend = VG_BLEND_SRC_OVER;
    state.quality = 1;
    state.fillRule = VG_FILL_EVEN_ODD;
    state.strokeWidth = 1.0f;
    return state;
}

struct Gpu {
    gpu_cmdlist_t* bound = nullptr;
    std::uint32_t used = 0; // bytes recorded into the bound list
    std::int32_t lastSubmission = 0;
    std::int32_t completed = 0;
    emulated::GpuDraw state = initialState();
    bool hasTexture = false;
    gpu_buffer_t stencil{0, -1, nullptr, 0};
    std::uint64_t busyUntil = 0; // emulated nanoseconds
};

Gpu gpu;

std::uint8_t* listBase()
{
    return static_cast<std::uint8_t*>(gpu.bound->bo.base_virt);
}

std::uint32_t listFree()
{
    const auto capacity = static_cast<std::uint32_t>(gpu.bound->bo.size);
    return capacity > gpu.used ? capacity - gpu.used : 0;
}

bool emulatedTime()
{
    return emulated::timeMode() == emulated::TimeMode::Emulated;
}

// Hands what the list holds to the GPU, which runs it after what it was
// given before; the runner replies with the pixels the list covered.
void kick(bool submit)
{
    if (gpu.bound == nullptr || (gpu.used == 0 && !submit)) {
        return;
    }
    const emulated::ReplyRecord reply = emulated::ask(
        emulated::Request::GpuRun,
        {static_cast<std::uint32_t>(reinterpret_cast<std::uintptr_t>(listBase())), gpu.used, submit ? 1u : 0u});
    gpu.used = 0;
    if (emulatedTime()) {
        const std::uint64_t cycles = emulated::gpuCycles(reply.words[0]);
        const std::uint64_t now = emulated::boardNanoseconds();
        gpu.busyUntil = (gpu.busyUntil > now ? gpu.busyUntil : now) + cycles;
        emulated::deviceWorked(emulated::Device::Gpu, cycles);
    }
}

void append(GpuOp op, const void* payload, std::uint32_t bytes)
{
    if (sizeof(GpuRecordHeader) + bytes > listFree()) {
        kick(false);
    }
    const GpuRecordHeader header{op, bytes};
    std::memcpy(listBase() + gpu.used, &header, sizeof header);
    std::memcpy(listBase() + gpu.used + sizeof header, payload, bytes);
    gpu.used += sizeof header + bytes;
}

// Path bytes in records as large as the list allows; `bytes` is a multiple
// of 4.
void appendPathData(const std::uint8_t* data, std::uint32_t bytes)
{
    while (bytes > 0) {
        if (listFree() < sizeof(GpuRecordHeader) + 4) {
            kick(false);
        }
        const std::uint32_t room = (listFree() - sizeof(GpuRecordHeader)) & ~3u;
        const std::uint32_t chunk = bytes < room ? bytes : room;
        append(GpuOp::PathData, data, chunk);
        data += chunk;
        bytes -= chunk;
    }
}

void appendShape(const Path& path)
{
    if (path.commands != nullptr) {
        const std::uint32_t whole = path.commandCount & ~3u;
        appendPathData(path.commands, whole);
        if (whole != path.commandCount) {
            std::uint8_t tail[4] = {};
            std::memcpy(tail, path.commands + whole, path.commandCount - whole);
            appendPathData(tail, sizeof tail);
        }
    }
    if (path.floats != nullptr) {
        appendPathData(reinterpret_cast<const std::uint8_t*>(path.floats), path.floatCount * 4);
    }
}

// A rectangle of the drawing state: x, y, width, height.
void setRect(std::int32_t (&rect)[4], std::int32_t x, std::int32_t y, std::uint32_t w, std::uint32_t h)
{
    rect[0] = x;
    rect[1] = y;
    rect[2] = static_cast<std::int32_t>(w);
    rect[3] = static_cast<std::int32_t>(h);
}

} // namespace

extern "C" {

void gpu_cmdlist_destroy(gpu_cmdlist_t* cl)
{
    if (gpu.bound == cl) {
        gpu_cmdlist_unbind();
    }
    gpu_buffer_destroy(&cl->bo);
}

void gpu_cmdlist_bind(gpu_cmdlist_t* cl)
{
    if (gpu.bound != cl) {
        kick(false);
    }
    gpu.bound = cl != nullptr && cl->bo.base_virt != nullptr ? cl : nullptr;
}

void gpu_cmdlist_unbind(void)
{
    kick(false);
    gpu.bound = nullptr;
}

gpu_cmdlist_t* gpu_cmdlist_get_bound(void)
{
    return gpu.bound;
}

void gpu_cmdlist_submit(gpu_cmdlist_t* cl)
{
    if (cl == nullptr) {
        return;
    }
    if (cl == gpu.bound) {
        kick(true);
    }
    cl->submission_id = ++gpu.lastSubmission;
    gpu.completed = cl->submission_id;
    const std::uint64_t now = emulated::boardNanoseconds();
    if (emulatedTime() && gpu.busyUntil > now) {
        emulated::gpuDoneIn(gpu.busyUntil - now);
    } else {
        emulated::pendInterrupt(bsp::Irq::Gpu);
    }
}

void gpu_bind_dst_texture(std::uintptr_t address, std::uint32_t width, std::uint32_t height, std::uint32_t format,
                          std::int32_t stride)
{
    gpu.hasTexture = address != 0 && format == GPU_FORMAT_RGB565 && width != 0 && height != 0;
    gpu.state.texture = emulated::GpuTexture{static_cast<std::uint32_t>(address), width, height, format, stride};
    ++gpu.state.bindCount;
    gpu_set_clip(0, 0, width, height);
    gpu_set_scissor(0, 0, width, height);
}

void gpu_set_clip(std::int32_t x, std::int32_t y, std::uint32_t w, std::uint32_t h)
{
    setRect(gpu.state.clip, x, y, w, h);
    ++gpu.state.clipCount;
}

void gpu_set_scissor(std::int32_t x, std::int32_t y, std::uint32_t w, std::uint32_t h)
{
    setRect(gpu.state.scissor, x, y, w, h);
    ++gpu.state.scissorCount;
}

void* vg_paint_create(void)
{
    void* memory = gpu_host_malloc(sizeof(Paint));
    return memory != nullptr ? new (memory) Paint : nullptr;
}

void vg_paint_set_type(void* handle, std::uint8_t type)
{
    if (Paint* paint = asPaint(handle)) {
        paint->type = type;
    }
}

// Paints follow their path's matrix in every drawing the firmware does.
void vg_paint_lock_tran_to_path(void*, int)
{
}

// The GPU clamps it when it draws.
void vg_paint_set_opacity(void* handle, float opacity)
{
    if (Paint* paint = asPaint(handle)) {
        paint->opacity = opacity;
    }
}

void vg_set_blend(std::uint32_t blend)
{
    gpu.state.blend = blend;
}

void vg_set_quality(std::uint8_t quality)
{
    gpu.state.quality = quality;
}

void vg_set_fill_rule(std::uint8_t rule)
{
    gpu.state.fillRule = rule;
}

void vg_stroke_set_width(float width)
{
    gpu.state.strokeWidth = width;
}

// The GPU's stencil memory, taken from the pool as the hardware needs it.
int vg_stencil_create(std::uint32_t width, std::uint32_t height, int pool)
{
    if (devices::stepFails(devices::Fault::GpuStencil, "GPU stencil buffer creation")) {
        return -1;
    }
    gpu_buffer_destroy(&gpu.stencil);
    gpu.stencil = gpu_buffer_create_pool(pool, static_cast<std::int32_t>(width * height));
    return 0;
}

// The GPU takes any float coordinate.
void vg_enable_large_coordinates(int)
{
}

std::uint32_t vg_draw_path(void* pathHandle, void* paintHandle)
{
    const Path* path = asPath(pathHandle);
    const Paint* paint = asPaint(paintHandle);
    if (path == nullptr || paint == nullptr) {
        return VG_INVALID_HANDLE;
    }
    if (gpu.bound == nullptr) {
        return VG_NO_BOUND_CMDLIST;
    }
    if (!gpu.hasTexture) {
        return VG_NO_BOUND_TEXTURE;
    }
    appendShape(*path);
    emulated::GpuDraw draw = gpu.state;
    draw.paintType = paint->type;
    draw.hasShape = static_cast<std::uint8_t>((path->commands != nullptr ? emulated::shapeHasCommands : 0) |
                                              (path->floats != nullptr ? emulated::shapeHasFloats : 0));
    std::memcpy(draw.matrix, path->matrix, sizeof draw.matrix);
    draw.paintColor = paint->color;
    draw.paintOpacity = paint->opacity;
    draw.commandCount = path->commandCount;
    draw.floatCount = path->floatCount;
    append(GpuOp::Draw, &draw, sizeof draw);
    return VG_NO_ERROR;
}

// The GPU's interrupt: the last submission has completed.
void Gpu_IRQHandler()
{
    emulated::gpuTimerAcknowledge();
    HAL_GPU_CommandListCpltCallback(nullptr, static_cast<std::uint32_t>(gpu.completed));
}

} // extern "C"
