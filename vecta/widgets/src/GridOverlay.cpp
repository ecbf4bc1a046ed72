#include "vecta/widgets/GridOverlay.hpp"

#include <cstdint>

#include "gpu/gpu_graphics.h"
#include "vecta/Geometry.hpp"

namespace vecta {

namespace {

constexpr std::int32_t tileCoords[9][2] = {{0, 0}, {1, 0}, {2, 0}, {0, 1}, {1, 1}, {2, 1}, {0, 2}, {1, 2}, {2, 2}};
// Outline of one tile: move to (0,0); x to 4096; y to 4096; x to 0; y to 0.
constexpr std::uint8_t gridCommands[5] = {VG_MOVE, VG_HLINE, VG_VLINE, VG_HLINE, VG_VLINE};
constexpr float gridPoints[6] = {0, 0, 4096, 4096, 0, 0};

} // namespace

// The map widget has set the clip and scissor for the area redrawn.
void GridOverlay::draw(void* path, void* paint, const ui::Rect&) const
{
    if (!enabled) {
        return;
    }
    vg_set_blend(VG_BLEND_SRC_OVER);
    vg_set_quality(1);
    vg_set_fill_rule(VG_STROKE);
    vg_stroke_set_width(1.0f / scaleX); // one screen pixel
    vg_paint_set_paint_color(paint, gpu_rgba(255, 0, 0, 255));
    for (const auto& cell : tileCoords) {
        const ui::Matrix3x3 matrix =
            placementMatrix(static_cast<float>(cell[0] * static_cast<std::int32_t>(tileExtent)),
                            static_cast<float>(cell[1] * static_cast<std::int32_t>(tileExtent)));
        vg_path_set_matrix(path, matrix.elements);
        vg_path_set_shape(path, 5, gridCommands, 6, gridPoints);
        vg_draw_path(path, paint);
    }
}

} // namespace vecta
