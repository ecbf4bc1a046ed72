#pragma once

// The vector GPU library as the firmware calls it: command lists, the
// destination texture, clip and colour, and vector paths with paints. The
// library runs on the system layer of board_glue/src/gpu_hal.

#include <cstdint>

#include "gpu/gpu_sys.h"

extern "C" {

// Command lists: drawing calls are recorded into the bound list and run
// when it is submitted. The list's memory comes from pool 0.
typedef struct gpu_cmdlist {
    gpu_buffer_t bo;
    std::uint32_t sectors;
    std::int32_t submission_id; // id of the last submission, 0 before the first
} gpu_cmdlist_t;

gpu_cmdlist_t gpu_cmdlist_create_circular(std::uint32_t size_bytes, std::uint32_t sectors);
void gpu_cmdlist_destroy(gpu_cmdlist_t* cl);
void gpu_cmdlist_bind(gpu_cmdlist_t* cl);
void gpu_cmdlist_unbind(void);
gpu_cmdlist_t* gpu_cmdlist_get_bound(void);
// Submits the list's work and returns at once; completion raises the
// command-list-complete interrupt with the submission's id.
void gpu_cmdlist_submit(gpu_cmdlist_t* cl);
// Blocks until the list's last submission has completed.
int gpu_cmdlist_wait(gpu_cmdlist_t* cl);

enum gpu_texture_format : std::uint32_t { GPU_FORMAT_RGB565 = 1 };

// Where drawing goes: `stride` bytes per row. Clip and scissor become the
// whole texture.
void gpu_bind_dst_texture(std::uintptr_t address, std::uint32_t width, std::uint32_t height, std::uint32_t format,
                          std::int32_t stride);
// Paths are drawn only inside the clip.
void gpu_set_clip(std::int32_t x, std::int32_t y, std::uint32_t w, std::uint32_t h);
// Pixels outside the scissor keep their values. Unlike a changed clip, a
// scissor never changes the pixels drawn inside it: an area drawn with a
// scissor equals the same area drawn without one.
void gpu_set_scissor(std::int32_t x, std::int32_t y, std::uint32_t w, std::uint32_t h);
// A colour as the library stores it.
std::uint32_t gpu_rgba(std::uint8_t r, std::uint8_t g, std::uint8_t b, std::uint8_t a);

// Vector paths. Command bytes: 0 close, 1 move to (x, y), 2 line to (x, y),
// 3 horizontal line to (x), 4 vertical line to (y).
enum vg_path_command : std::uint8_t {
    VG_CLOSE = 0,
    VG_MOVE = 1,
    VG_LINE = 2,
    VG_HLINE = 3,
    VG_VLINE = 4,
};

// Source-over blending; the library premultiplies the paint colour.
constexpr std::uint32_t VG_BLEND_SRC_OVER = 0x04000501u;

enum vg_fill_rule : std::uint8_t { VG_STROKE = 0, VG_FILL_EVEN_ODD = 1, VG_FILL_NON_ZERO = 2 };
enum vg_paint_type : std::uint8_t { VG_PAINT_COLOR = 0 };

enum vg_error : std::uint32_t {
    VG_NO_ERROR = 0,
    VG_INVALID_HANDLE = 1,
    VG_NO_BOUND_CMDLIST = 2,
    VG_NO_BOUND_TEXTURE = 3,
    VG_INVALID_MATRIX = 4,
};

typedef float vg_matrix3x3_t[3][3];

void* vg_path_create(void);
void vg_path_destroy(void* path);
void vg_path_set_shape(void* path, std::uint32_t command_count, const std::uint8_t* commands, std::uint32_t float_count,
                       const float* floats);
// The box (min x, min y, max x, max y in path units) bounds the shape.
void vg_path_set_shape_and_bbox(void* path, std::uint32_t command_count, const std::uint8_t* commands,
                                std::uint32_t float_count, const float* floats, const float* bbox);
void vg_path_set_matrix(void* path, const vg_matrix3x3_t matrix);

void* vg_paint_create(void);
void vg_paint_destroy(void* paint);
void vg_paint_set_type(void* paint, std::uint8_t type);
void vg_paint_lock_tran_to_path(void* paint, int lock);
void vg_paint_set_paint_color(void* paint, std::uint32_t rgba);
void vg_paint_set_opacity(void* paint, float opacity);

void vg_set_blend(std::uint32_t blend);
void vg_set_quality(std::uint8_t quality);
void vg_set_fill_rule(std::uint8_t rule);
// Stroke width in path units: it scales with the path's matrix.
void vg_stroke_set_width(float width);

// The stencil buffer that path filling needs, width x height bytes from a
// memory pool; 0 on success.
int vg_stencil_create(std::uint32_t width, std::uint32_t height, int pool);
// Lets path coordinates exceed the hardware's native 16-bit range.
void vg_enable_large_coordinates(int enable);

std::uint32_t vg_draw_path(void* path, void* paint);

} // extern "C"
