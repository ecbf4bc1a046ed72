#include "GpuExecutor.hpp"

#include <cstring>

#include "emulated/GpuRecords.hpp"
#include "emulated/HostProtocol.hpp"
#include "sim/GpuCoverage.hpp"

namespace emulated {

namespace {

// Room for the one path and paint the lists are replayed with.
constexpr std::size_t poolBytes = 4096;

} // namespace

GpuExecutor::GpuExecutor(SharedBlock ram, bool countCoverage) : block(ram), poolMemory(poolBytes)
{
    sim::vg::setCoverageCounting(countCoverage);
    gpu_pool_init(0, poolMemory.data(), static_cast<std::uint32_t>(poolMemory.size()));
    path = vg_path_create();
    paint = vg_paint_create();
    list.submission_id = 0;
    gpu_cmdlist_bind(&list);
}

std::uint32_t GpuExecutor::takeCoveredPixels()
{
    const std::uint64_t covered = sim::vg::takeCoveredPixels();
    return covered > 0xFFFFFFFFu ? 0xFFFFFFFFu : static_cast<std::uint32_t>(covered);
}

GpuExecutor::~GpuExecutor()
{
    sim::vg::setCoverageCounting(false);
    gpu_cmdlist_unbind();
    gpu_bind_dst_texture(0, 0, 0, 0, 0);
    vg_path_destroy(path);
    vg_paint_destroy(paint);
}

std::string GpuExecutor::run(std::uint32_t address, std::uint32_t bytes, bool submit)
{
    const std::uint8_t* records = block.at(address, bytes);
    if (records == nullptr) {
        return "a GPU command list outside the shared RAM";
    }
    std::uint32_t at = 0;
    while (at < bytes) {
        GpuRecordHeader header{};
        if (bytes - at < sizeof header) {
            return "a GPU command list that ends inside a record";
        }
        std::memcpy(&header, records + at, sizeof header);
        at += sizeof header;
        if (header.bytes > bytes - at || header.bytes % 4 != 0) {
            return "a GPU record that runs past its list";
        }
        if (header.op == GpuOp::PathData) {
            // A path lies in the board's memory whole before it is listed.
            if (header.bytes > block.size() - pathData.size()) {
                return "GPU path data larger than the shared RAM before its draw";
            }
            pathData.insert(pathData.end(), records + at, records + at + header.bytes);
        } else if (header.op == GpuOp::Draw) {
            std::string problem = draw(records + at, header.bytes);
            if (!problem.empty()) {
                return problem;
            }
        } else {
            return "an unknown GPU record";
        }
        at += header.bytes;
    }
    if (submit) {
        gpu_cmdlist_submit(&list);
    }
    return {};
}

// The calls the GPU port recorded, made on the PC's library in the order
// the simulator's widgets make them.
std::string GpuExecutor::draw(const std::uint8_t* record, std::uint32_t bytes)
{
    GpuDraw d{};
    if (bytes != sizeof d) {
        return "a GPU draw record of the wrong size";
    }
    std::memcpy(&d, record, sizeof d);
    // The GPU library stops the program on any other.
    if (d.blend != VG_BLEND_SRC_OVER || d.paintType != VG_PAINT_COLOR) {
        return "a GPU draw with a blend or paint the GPU does not have";
    }
    if (d.bindCount != boundCount) {
        const GpuTexture& t = d.texture;
        const std::uint8_t* pixels =
            t.stride > 0 ? block.at(t.address, std::uint64_t{t.height} * static_cast<std::uint32_t>(t.stride))
                         : nullptr;
        if (pixels == nullptr) {
            return "a GPU draw on a texture outside the shared RAM";
        }
        gpu_bind_dst_texture(reinterpret_cast<std::uintptr_t>(pixels), t.width, t.height, t.format, t.stride);
        boundCount = d.bindCount;
    }
    if (d.clipCount != clipCount) {
        gpu_set_clip(d.clip[0], d.clip[1], static_cast<std::uint32_t>(d.clip[2]),
                     static_cast<std::uint32_t>(d.clip[3]));
        clipCount = d.clipCount;
    }
    if (d.scissorCount != scissorCount) {
        gpu_set_scissor(d.scissor[0], d.scissor[1], static_cast<std::uint32_t>(d.scissor[2]),
                        static_cast<std::uint32_t>(d.scissor[3]));
        scissorCount = d.scissorCount;
    }
    const bool hasCommands = (d.hasShape & shapeHasCommands) != 0;
    const bool hasFloats = (d.hasShape & shapeHasFloats) != 0;
    const std::uint64_t commandBytes = hasCommands ? paddedToWord(d.commandCount) : 0;
    const std::uint64_t floatBytes = hasFloats ? std::uint64_t{d.floatCount} * 4 : 0;
    if (commandBytes + floatBytes != pathData.size()) {
        return "a GPU draw whose path data is missing";
    }
    vg_set_blend(d.blend);
    vg_set_quality(d.quality);
    vg_set_fill_rule(d.fillRule);
    vg_stroke_set_width(d.strokeWidth);
    vg_paint_set_type(paint, d.paintType);
    vg_paint_set_paint_color(paint, d.paintColor);
    vg_paint_set_opacity(paint, d.paintOpacity);
    vg_path_set_matrix(path, d.matrix);
    const auto* commands = hasCommands ? pathData.data() : nullptr;
    const auto* floats = hasFloats ? reinterpret_cast<const float*>(pathData.data() + commandBytes) : nullptr;
    vg_path_set_shape(path, d.commandCount, commands, d.floatCount, floats);
    vg_draw_path(path, paint);
    pathData.clear();
    return {};
}

} // namespace emulated
