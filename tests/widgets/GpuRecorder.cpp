#include "widgets/GpuRecorder.hpp"

#include "gpu/gpu_graphics.h"

namespace recorder {

std::vector<Call>& calls()
{
    static std::vector<Call> log;
    return log;
}

void clear()
{
    calls().clear();
}

std::vector<Call> named(const std::string& name)
{
    std::vector<Call> result;
    for (const Call& c : calls()) {
        if (c.name == name) {
            result.push_back(c);
        }
    }
    return result;
}

std::vector<std::string> names()
{
    std::vector<std::string> result;
    for (const Call& c : calls()) {
        result.push_back(c.name);
    }
    return result;
}

namespace {

void log(const char* name, std::vector<double> args = {}, const void* handle = nullptr)
{
    calls().push_back(Call{name, std::move(args), {}, {}, handle});
}

void logShape(const char* name, void* path, std::uint32_t commandCount, const std::uint8_t* commands,
              std::uint32_t floatCount, const float* floats)
{
    Call c{name, {static_cast<double>(commandCount), static_cast<double>(floatCount)}, {}, {}, path};
    if (commands != nullptr) {
        c.commands.assign(commands, commands + commandCount);
    }
    if (floats != nullptr) {
        c.floats.assign(floats, floats + floatCount);
    }
    calls().push_back(std::move(c));
}

int pathObject;
int paintObject;
gpu_cmdlist_t* boundList = nullptr;

} // namespace

} // namespace recorder

using recorder::log;

extern "C" {

gpu_cmdlist_t gpu_cmdlist_create_circular(std::uint32_t size_bytes, std::uint32_t sectors)
{
    log("gpu_cmdlist_create_circular", {static_cast<double>(size_bytes), static_cast<double>(sectors)});
    return gpu_cmdlist_t{};
}
void gpu_cmdlist_destroy(gpu_cmdlist_t*)
{
    log("gpu_cmdlist_destroy");
}
void gpu_cmdlist_bind(gpu_cmdlist_t* cl)
{
    recorder::boundList = cl;
    log("gpu_cmdlist_bind");
}
void gpu_cmdlist_unbind(void)
{
    recorder::boundList = nullptr;
    log("gpu_cmdlist_unbind");
}
gpu_cmdlist_t* gpu_cmdlist_get_bound(void)
{
    return recorder::boundList;
}
void gpu_cmdlist_submit(gpu_cmdlist_t* cl)
{
    ++cl->submission_id;
    log("gpu_cmdlist_submit");
}
int gpu_cmdlist_wait(gpu_cmdlist_t*)
{
    log("gpu_cmdlist_wait");
    return 0;
}
void gpu_bind_dst_texture(std::uintptr_t, std::uint32_t width, std::uint32_t height, std::uint32_t format,
                          std::int32_t stride)
{
    log("gpu_bind_dst_texture", {static_cast<double>(width), static_cast<double>(height), static_cast<double>(format),
                                 static_cast<double>(stride)});
}
void gpu_set_clip(std::int32_t x, std::int32_t y, std::uint32_t w, std::uint32_t h)
{
    log("gpu_set_clip",
        {static_cast<double>(x), static_cast<double>(y), static_cast<double>(w), static_cast<double>(h)});
}
void gpu_set_scissor(std::int32_t x, std::int32_t y, std::uint32_t w, std::uint32_t h)
{
    log("gpu_set_scissor",
        {static_cast<double>(x), static_cast<double>(y), static_cast<double>(w), static_cast<double>(h)});
}
std::uint32_t gpu_rgba(std::uint8_t r, std::uint8_t g, std::uint8_t b, std::uint8_t a)
{
    return static_cast<std::uint32_t>(r) | (static_cast<std::uint32_t>(g) << 8) |
           (static_cast<std::uint32_t>(b) << 16) | (static_cast<std::uint32_t>(a) << 24);
}
void* vg_path_create(void)
{
    log("vg_path_create");
    return &recorder::pathObject;
}
void vg_path_destroy(void* path)
{
    log("vg_path_destroy", {}, path);
}
void vg_path_set_shape(void* path, std::uint32_t command_count, const std::uint8_t* commands, std::uint32_t float_count,
                       const float* floats)
{
    recorder::logShape("vg_path_set_shape", path, command_count, commands, float_count, floats);
}
void vg_path_set_shape_and_bbox(void* path, std::uint32_t command_count, const std::uint8_t* commands,
                                std::uint32_t float_count, const float* floats, const float* bbox)
{
    recorder::logShape("vg_path_set_shape_and_bbox", path, command_count, commands, float_count, floats);
    recorder::calls().back().args.insert(recorder::calls().back().args.end(), bbox, bbox + 4);
}
void vg_path_set_matrix(void* path, const vg_matrix3x3_t matrix)
{
    recorder::Call c{"vg_path_set_matrix", {}, {}, {}, path};
    for (int r = 0; r < 3; ++r) {
        for (int col = 0; col < 3; ++col) {
            c.floats.push_back(matrix[r][col]);
        }
    }
    recorder::calls().push_back(std::move(c));
}
void* vg_paint_create(void)
{
    log("vg_paint_create");
    return &recorder::paintObject;
}
void vg_paint_destroy(void* paint)
{
    log("vg_paint_destroy", {}, paint);
}
void vg_paint_set_type(void* paint, std::uint8_t type)
{
    log("vg_paint_set_type", {static_cast<double>(type)}, paint);
}
void vg_paint_lock_tran_to_path(void* paint, int lock)
{
    log("vg_paint_lock_tran_to_path", {static_cast<double>(lock)}, paint);
}
void vg_paint_set_paint_color(void* paint, std::uint32_t rgba)
{
    log("vg_paint_set_paint_color", {static_cast<double>(rgba)}, paint);
}
void vg_paint_set_opacity(void* paint, float opacity)
{
    log("vg_paint_set_opacity", {opacity}, paint);
}
void vg_set_blend(std::uint32_t blend)
{
    log("vg_set_blend", {static_cast<double>(blend)});
}
void vg_set_quality(std::uint8_t quality)
{
    log("vg_set_quality", {static_cast<double>(quality)});
}
void vg_set_fill_rule(std::uint8_t rule)
{
    log("vg_set_fill_rule", {static_cast<double>(rule)});
}
void vg_stroke_set_width(float width)
{
    log("vg_stroke_set_width", {width});
}
std::uint32_t vg_draw_path(void* path, void*)
{
    log("vg_draw_path", {}, path);
    return VG_NO_ERROR;
}

} // extern "C"
