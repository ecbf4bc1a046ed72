#pragma once

#include <cstddef>
#include <cstdint>

#include "gpu/gpu_graphics.h"
#include "platform/Assert.hpp"
#include "vecta/Geometry.hpp"
#include "vecta/widgets/MapOverlay.hpp"
#include "vecta/widgets/MapPlacement.hpp"

namespace vecta {

// Strokes a polyline of integer points placed like the map (the route and
// trails). The scratch buffers may be shared: overlays draw one at a time.
class RouteOverlay : public MapOverlay, public MapPlacement {
public:
    // The map widget has set the clip and scissor for the area redrawn.
    void draw(void* path, void* paint, const ui::Rect&) const override
    {
        if (!enabled || routeLength == 0) {
            return;
        }
        const ui::Matrix3x3 matrix = placementMatrix(0.0f, 0.0f);
        VECTA_ASSERT(commands);
        VECTA_ASSERT(points);
        VECTA_ASSERT(routePoints);
        vg_set_blend(VG_BLEND_SRC_OVER);
        vg_set_quality(1);
        vg_set_fill_rule(VG_STROKE);
        vg_stroke_set_width(lineWidth);
        vg_path_set_matrix(path, matrix.elements);

        commands[0] = VG_MOVE;
        points[0] = static_cast<float>(routePoints[0].x);
        points[1] = static_cast<float>(routePoints[0].y);
        vg_paint_set_paint_color(paint, gpu_rgba(color[0], color[1], color[2], color[3]));
        for (std::size_t i = 1; i < routeLength; ++i) {
            commands[i] = VG_LINE;
            points[2 * i] = static_cast<float>(routePoints[i].x);
            points[2 * i + 1] = static_cast<float>(routePoints[i].y);
        }
        vg_path_set_shape(path, routeLength, commands, 2 * routeLength, points);
        vg_draw_path(path, paint);
    }

    // The screen pixels the route's stroke (round caps and joins) can touch.
    // A route changed at one end is redrawn whole: the GPU's stroker may
    // move the edges of any part of it by a fraction of a pixel.
    ui::Rect strokeBounds() const;

    const Point* routePoints = nullptr; // not owned
    std::uint32_t routeLength = 0;
    bool enabled = false;
    float lineWidth = 1.0f;                 // path units
    std::uint8_t color[4] = {0, 0, 0, 255}; // red, green, blue, alpha
    std::uint8_t* commands = nullptr;       // scratch, at least routeLength bytes
    float* points = nullptr;                // scratch, at least 2 x routeLength floats
};

} // namespace vecta
