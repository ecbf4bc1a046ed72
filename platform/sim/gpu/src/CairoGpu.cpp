// The GPU vector library on the PC: every drawing call recorded into the
// bound command list is executed at once by cairo, straight into the RGB565
// destination texture; submitting completes the list and raises the
// completion interrupt with its id.

#include <cairo.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <limits>
#include <new>

#include "CoverageCount.hpp"
#include "ScissorScratch.hpp"
#include "device_models/Faults.hpp"
#include "device_models/GpuHandles.hpp"
#include "gpu/gpu_graphics.h"
#include "platform/Assert.hpp"
#include "sim/GpuCoverage.hpp"

namespace {

using devices::vg::asPaint;
using devices::vg::asPath;
using devices::vg::Paint;
using devices::vg::Path;

// Cairo's colour paints look the same under any matrix; the lock is kept
// only as the library's paints would hold it.
struct LockablePaint : Paint {
    bool lockedToPath = false;
};

struct ClipRect {
    double x = 0;
    double y = 0;
    double w = 0;
    double h = 0;

    bool operator==(const ClipRect&) const = default;
};

struct Gpu {
    gpu_cmdlist_t* bound = nullptr;
    std::int32_t lastSubmission = 0;

    cairo_surface_t* surface = nullptr;
    cairo_t* cr = nullptr;
    std::uintptr_t address = 0;
    std::uint32_t width = 0;
    std::uint32_t height = 0;
    std::int32_t stride = 0;

    ClipRect clip;
    bool clipChanged = true;
    sim::vg::PixelBox scissor;
    sim::vg::ScissorScratch scratch;
    ClipRect scratchClip;
    bool scratchClipValid = false;
    bool countingCoverage = false;
    sim::vg::CoverageCount coverage;
    std::uint64_t coveredPixels = 0;
    std::uint8_t quality = 1;
    std::uint8_t fillRule = VG_FILL_EVEN_ODD;
    float strokeWidth = 1.0f;
    gpu_buffer_t stencil{0, -1, nullptr, 0};
    bool largeCoordinates = false;
};

Gpu gpu;

void releaseTexture()
{
    gpu.scratch.detach();
    gpu.scratchClipValid = false;
    if (gpu.cr != nullptr) {
        cairo_destroy(gpu.cr);
        gpu.cr = nullptr;
    }
    if (gpu.surface != nullptr) {
        cairo_surface_destroy(gpu.surface);
        gpu.surface = nullptr;
    }
    gpu.address = 0;
}

// A clip's far edge lies up to an unsigned width past its signed start,
// beyond what the box's ints hold.
std::int32_t farEdge(double edge)
{
    return static_cast<std::int32_t>(std::min(edge, static_cast<double>(std::numeric_limits<std::int32_t>::max())));
}

sim::vg::PixelBox boxOf(const ClipRect& clip)
{
    return sim::vg::PixelBox{static_cast<std::int32_t>(clip.x), static_cast<std::int32_t>(clip.y),
                             farEdge(clip.x + clip.w), farEdge(clip.y + clip.h)};
}

sim::vg::PixelBox intersection(const sim::vg::PixelBox& a, const sim::vg::PixelBox& b)
{
    return sim::vg::PixelBox{std::max(a.x0, b.x0), std::max(a.y0, b.y0), std::min(a.x1, b.x1), std::min(a.y1, b.y1)};
}

// The clip within the texture: cairo's fixed-point coordinates do not reach
// as far as a clip may, and nothing beyond the texture is drawn anyway.
void applyClip(cairo_t* cr, const sim::vg::PixelBox& clipped)
{
    cairo_identity_matrix(cr);
    cairo_reset_clip(cr);
    cairo_rectangle(cr, clipped.x0, clipped.y0, clipped.x1 - clipped.x0, clipped.y1 - clipped.y0);
    cairo_clip(cr);
}

// The context the next path is drawn with, its clip applied, and the pixels
// it may change; null when the scissor leaves nothing of the clip.
cairo_t* drawingContext(sim::vg::PixelBox& drawn)
{
    const sim::vg::PixelBox texture{0, 0, static_cast<std::int32_t>(gpu.width), static_cast<std::int32_t>(gpu.height)};
    const sim::vg::PixelBox clipped = intersection(boxOf(gpu.clip), texture);
    drawn = intersection(clipped, gpu.scissor);
    if (drawn.isEmpty()) {
        return nullptr;
    }
    if (drawn == clipped) {
        gpu.scratch.close();
        if (gpu.clipChanged) {
            applyClip(gpu.cr, clipped);
            gpu.clipChanged = false;
        }
        return gpu.cr;
    }
    cairo_t* cr = gpu.scratch.open(drawn);
    if (!gpu.scratchClipValid || !(gpu.scratchClip == gpu.clip)) {
        applyClip(cr, clipped);
        gpu.scratchClip = gpu.clip;
        gpu.scratchClipValid = true;
    }
    return cr;
}

// Replays the path's commands in path units. A command whose coordinates
// are missing ends the path; unknown commands end it too.
void buildPath(cairo_t* cr, const Path& path)
{
    cairo_new_path(cr);
    if (path.commands == nullptr || path.floats == nullptr) {
        return;
    }
    std::uint32_t f = 0;
    double x = 0;
    double y = 0;
    double startX = 0;
    double startY = 0;
    bool open = false;
    for (std::uint32_t i = 0; i < path.commandCount; ++i) {
        switch (path.commands[i]) {
        case VG_CLOSE:
            if (open) {
                cairo_close_path(cr);
                x = startX;
                y = startY;
            }
            continue;
        case VG_MOVE:
        case VG_LINE:
            if (f + 2 > path.floatCount) {
                return;
            }
            x = path.floats[f];
            y = path.floats[f + 1];
            f += 2;
            break;
        case VG_HLINE:
            if (f + 1 > path.floatCount) {
                return;
            }
            x = path.floats[f++];
            break;
        case VG_VLINE:
            if (f + 1 > path.floatCount) {
                return;
            }
            y = path.floats[f++];
            break;
        default:
            return;
        }
        if (path.commands[i] == VG_MOVE || !open) {
            cairo_move_to(cr, x, y);
            startX = x;
            startY = y;
            open = true;
        } else {
            cairo_line_to(cr, x, y);
        }
    }
}

// Draws the path on `cr` with the GPU's state: antialiasing, the path's
// matrix and its fill rule or stroke.
void renderPath(cairo_t* cr, const Path& path, const cairo_matrix_t& matrix)
{
    // Cairo's fast antialiasing looks the same on map strokes at a third less time.
    cairo_set_antialias(cr, gpu.quality == 0 ? CAIRO_ANTIALIAS_NONE : CAIRO_ANTIALIAS_FAST);
    cairo_set_matrix(cr, &matrix);
    buildPath(cr, path);
    if (gpu.fillRule == VG_STROKE) {
        if (gpu.strokeWidth > 0.0f && std::isfinite(gpu.strokeWidth)) {
            // Width in path units: stroked under the path's matrix.
            cairo_set_line_width(cr, gpu.strokeWidth);
            cairo_set_line_join(cr, CAIRO_LINE_JOIN_ROUND);
            cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
            cairo_stroke(cr);
        }
    } else {
        cairo_set_fill_rule(cr, gpu.fillRule == VG_FILL_EVEN_ODD ? CAIRO_FILL_RULE_EVEN_ODD : CAIRO_FILL_RULE_WINDING);
        cairo_fill(cr);
    }
    cairo_new_path(cr);
}

// The pixels of `drawn` the path covers, drawn again on the coverage
// surface within the path's reach.
std::uint64_t coverageOf(const Path& path, const cairo_matrix_t& matrix, const sim::vg::PixelBox& drawn)
{
    cairo_t* cr = gpu.coverage.context();
    if (cr == nullptr) {
        return 0;
    }
    cairo_set_matrix(cr, &matrix);
    buildPath(cr, path);
    double x0 = 0;
    double y0 = 0;
    double x1 = 0;
    double y1 = 0;
    cairo_path_extents(cr, &x0, &y0, &x1, &y1);
    cairo_new_path(cr);
    // The path's box on the texture, a stroke's half width and a pixel more.
    const double reach =
        (gpu.fillRule == VG_STROKE
             ? gpu.strokeWidth * std::max(std::hypot(matrix.xx, matrix.yx), std::hypot(matrix.xy, matrix.yy)) / 2.0
             : 0.0) +
        1.0;
    double lowX = 0;
    double lowY = 0;
    double highX = 0;
    double highY = 0;
    const double corners[4][2] = {{x0, y0}, {x1, y0}, {x0, y1}, {x1, y1}};
    for (int i = 0; i < 4; ++i) {
        double x = corners[i][0];
        double y = corners[i][1];
        cairo_user_to_device(cr, &x, &y);
        lowX = i == 0 ? x : std::min(lowX, x);
        lowY = i == 0 ? y : std::min(lowY, y);
        highX = i == 0 ? x : std::max(highX, x);
        highY = i == 0 ? y : std::max(highY, y);
    }
    const auto clamp = [](double v) { return static_cast<std::int32_t>(std::clamp(v, -1.0e6, 1.0e6)); };
    const sim::vg::PixelBox reached{clamp(std::floor(lowX - reach)), clamp(std::floor(lowY - reach)),
                                    clamp(std::ceil(highX + reach)), clamp(std::ceil(highY + reach))};
    const sim::vg::PixelBox area = intersection(reached, drawn);
    if (area.isEmpty()) {
        return 0;
    }
    renderPath(gpu.coverage.begin(area), path, matrix);
    return gpu.coverage.end();
}

} // namespace

namespace sim::vg {

void setCoverageCounting(bool on)
{
    gpu.countingCoverage = on;
}

std::uint64_t takeCoveredPixels()
{
    const std::uint64_t covered = gpu.coveredPixels;
    gpu.coveredPixels = 0;
    return covered;
}

} // namespace sim::vg

extern "C" {

void gpu_cmdlist_destroy(gpu_cmdlist_t* cl)
{
    if (gpu.bound == cl) {
        gpu.bound = nullptr;
    }
    gpu_buffer_destroy(&cl->bo);
}

void gpu_cmdlist_bind(gpu_cmdlist_t* cl)
{
    gpu.bound = cl;
}

void gpu_cmdlist_unbind(void)
{
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
    gpu.scratch.close();
    if (gpu.surface != nullptr) {
        cairo_surface_flush(gpu.surface);
    }
    cl->submission_id = ++gpu.lastSubmission;
    // The work is already done: complete it as the interrupt would.
    HAL_GPU_CommandListCpltCallback(nullptr, static_cast<std::uint32_t>(cl->submission_id));
}

void gpu_bind_dst_texture(std::uintptr_t address, std::uint32_t width, std::uint32_t height, std::uint32_t format,
                          std::int32_t stride)
{
    const bool same = gpu.surface != nullptr && gpu.address == address && gpu.width == width && gpu.height == height &&
                      gpu.stride == stride;
    if (!same) {
        releaseTexture();
        if (address == 0 || format != GPU_FORMAT_RGB565 || width == 0 || height == 0) {
            return;
        }
        // NOLINTNEXTLINE(performance-no-int-to-ptr): texture addresses come as integers, as for the hardware
        auto* pixels = reinterpret_cast<unsigned char*>(address);
        gpu.surface = cairo_image_surface_create_for_data(pixels, CAIRO_FORMAT_RGB16_565, static_cast<int>(width),
                                                          static_cast<int>(height), stride);
        if (cairo_surface_status(gpu.surface) != CAIRO_STATUS_SUCCESS) {
            releaseTexture();
            return;
        }
        gpu.cr = cairo_create(gpu.surface);
        gpu.address = address;
        gpu.width = width;
        gpu.height = height;
        gpu.stride = stride;
        gpu.scratch.attach(gpu.surface, static_cast<int>(width), static_cast<int>(height), stride);
        gpu.coverage.resize(static_cast<int>(width), static_cast<int>(height));
    }
    gpu.scratch.close();
    // The CPU may have drawn into the buffer since the last bind.
    cairo_surface_mark_dirty(gpu.surface);
    gpu.clip = ClipRect{0, 0, static_cast<double>(width), static_cast<double>(height)};
    gpu.clipChanged = true;
    gpu.scissor = sim::vg::PixelBox{0, 0, static_cast<std::int32_t>(width), static_cast<std::int32_t>(height)};
}

void gpu_set_clip(std::int32_t x, std::int32_t y, std::uint32_t w, std::uint32_t h)
{
    const ClipRect clip{static_cast<double>(x), static_cast<double>(y), static_cast<double>(w), static_cast<double>(h)};
    gpu.clipChanged = gpu.clipChanged || !(clip == gpu.clip);
    gpu.clip = clip;
}

void gpu_set_scissor(std::int32_t x, std::int32_t y, std::uint32_t w, std::uint32_t h)
{
    gpu.scissor = sim::vg::PixelBox{x, y, static_cast<std::int32_t>(x + static_cast<std::int64_t>(w)),
                                    static_cast<std::int32_t>(y + static_cast<std::int64_t>(h))};
}

void* vg_paint_create(void)
{
    void* memory = gpu_host_malloc(sizeof(LockablePaint));
    return memory != nullptr ? new (memory) LockablePaint : nullptr;
}

void vg_paint_set_type(void* handle, std::uint8_t type)
{
    if (Paint* paint = asPaint(handle)) {
        VECTA_ASSERT(type == VG_PAINT_COLOR && "only solid-colour paints are supported");
        paint->type = type;
    }
}

void vg_paint_lock_tran_to_path(void* handle, int lock)
{
    if (Paint* paint = asPaint(handle)) {
        static_cast<LockablePaint*>(paint)->lockedToPath = lock != 0;
    }
}

void vg_paint_set_opacity(void* handle, float opacity)
{
    if (Paint* paint = asPaint(handle)) {
        paint->opacity = std::isnan(opacity) ? 0.0f : std::fmin(1.0f, std::fmax(0.0f, opacity));
    }
}

void vg_set_blend(std::uint32_t blend)
{
    VECTA_ASSERT(blend == VG_BLEND_SRC_OVER && "only source-over blending is supported");
}

void vg_set_quality(std::uint8_t quality)
{
    gpu.quality = quality;
}

void vg_set_fill_rule(std::uint8_t rule)
{
    gpu.fillRule = rule;
}

// Cairo needs no stencil, but the memory is taken as the hardware's would be.
int vg_stencil_create(std::uint32_t width, std::uint32_t height, int pool)
{
    if (devices::stepFails(devices::Fault::GpuStencil, "GPU stencil buffer creation")) {
        return -1;
    }
    gpu_buffer_destroy(&gpu.stencil);
    gpu.stencil = gpu_buffer_create_pool(pool, static_cast<std::int32_t>(width * height));
    return 0;
}

// Cairo takes any float coordinate.
void vg_enable_large_coordinates(int enable)
{
    gpu.largeCoordinates = enable != 0;
}

void vg_stroke_set_width(float width)
{
    gpu.strokeWidth = width;
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
    if (gpu.cr == nullptr) {
        return VG_NO_BOUND_TEXTURE;
    }
    const float(&m)[3][3] = path->matrix;
    cairo_matrix_t matrix;
    cairo_matrix_init(&matrix, m[0][0], m[1][0], m[0][1], m[1][1], m[0][2], m[1][2]);
    const double determinant = matrix.xx * matrix.yy - matrix.xy * matrix.yx;
    // A collapsed or broken matrix shows nothing, and cairo would refuse it.
    if (!std::isfinite(determinant) || std::fabs(determinant) < 1e-12 || !std::isfinite(matrix.x0) ||
        !std::isfinite(matrix.y0)) {
        return VG_INVALID_MATRIX;
    }
    sim::vg::PixelBox drawn;
    cairo_t* cr = drawingContext(drawn);
    if (cr == nullptr) {
        return VG_NO_ERROR;
    }
    cairo_set_operator(cr, CAIRO_OPERATOR_OVER);
    const double alpha = ((paint->color >> 24) & 0xFF) / 255.0 * paint->opacity;
    cairo_set_source_rgba(cr, (paint->color & 0xFF) / 255.0, ((paint->color >> 8) & 0xFF) / 255.0,
                          ((paint->color >> 16) & 0xFF) / 255.0, alpha);
    renderPath(cr, *path, matrix);
    if (gpu.countingCoverage) {
        gpu.coveredPixels += coverageOf(*path, matrix, drawn);
    }
    return VG_NO_ERROR;
}

} // extern "C"
