#include <gtest/gtest.h>

#include "board_config/BoardConfig.hpp"
#include "gpu/gpu_graphics.h"
#include "support/AssertionMatcher.hpp"
#include "vecta/widgets/GridOverlay.hpp"
#include "vecta/widgets/overlays/RouteOverlay.hpp"
#include "widgets/GpuRecorder.hpp"

namespace {

template <class Placement> void placeAtCentre(Placement& p)
{
    p.scaleX = p.scaleY = 0.25f;
    p.rotation = 0.0f;
    p.rotationCenterX = p.translationX = 400.0f;
    p.rotationCenterY = p.translationY = 180.0f;
}

ui::Matrix3x3::Point apply(const std::vector<float>& m, float x, float y)
{
    return {m[0] * x + m[1] * y + m[2], m[3] * x + m[4] * y + m[5]};
}

const ui::Rect screen(0, 0, board::panelWidth, board::panelHeight);
int path;
int paint;

} // namespace

TEST(RouteOverlay, PointIsPlacedAsAnOffsetFromTheRotationCentre)
{
    const vecta::Point route[] = {{400, -200}, {0, 0}, {-400, 200}};
    std::uint8_t commands[3];
    float points[6];
    vecta::RouteOverlay overlay;
    placeAtCentre(overlay);
    overlay.routePoints = route;
    overlay.routeLength = 3;
    overlay.enabled = true;
    overlay.lineWidth = 12.0f;
    overlay.color[0] = 10;
    overlay.color[3] = 200;
    overlay.commands = commands;
    overlay.points = points;
    recorder::clear();
    overlay.draw(&path, &paint, screen);

    const auto shape = recorder::named("vg_path_set_shape").at(0);
    EXPECT_EQ(shape.commands, (std::vector<std::uint8_t>{VG_MOVE, VG_LINE, VG_LINE}));
    const auto p = apply(recorder::named("vg_path_set_matrix").at(0).floats, shape.floats[0], shape.floats[1]);
    EXPECT_FLOAT_EQ(p.x, 500.0f);
    EXPECT_FLOAT_EQ(p.y, 130.0f);
    EXPECT_EQ(recorder::named("vg_stroke_set_width").at(0).args[0], 12.0);
    EXPECT_EQ(recorder::named("vg_paint_set_paint_color").at(0).args[0], gpu_rgba(10, 0, 0, 200));
    EXPECT_EQ(recorder::named("vg_set_fill_rule").at(0).args[0], VG_STROKE);
    EXPECT_TRUE(recorder::named("vg_paint_set_opacity").empty());
}

TEST(RouteOverlay, SharedScratchBuffersServeTwoRoutes)
{
    const vecta::Point first[] = {{1, 2}};
    const vecta::Point second[] = {{5, 6}, {7, 8}};
    std::uint8_t commands[2];
    float points[4];
    vecta::RouteOverlay a;
    vecta::RouteOverlay b;
    for (vecta::RouteOverlay* o : {&a, &b}) {
        placeAtCentre(*o);
        o->enabled = true;
        o->commands = commands;
        o->points = points;
    }
    a.routePoints = first;
    a.routeLength = 1;
    b.routePoints = second;
    b.routeLength = 2;
    recorder::clear();
    a.draw(&path, &paint, screen);
    b.draw(&path, &paint, screen);
    const auto shapes = recorder::named("vg_path_set_shape");
    ASSERT_EQ(shapes.size(), 2u);
    EXPECT_EQ(shapes[0].commands, (std::vector<std::uint8_t>{VG_MOVE}));
    EXPECT_EQ(shapes[0].floats, (std::vector<float>{1, 2}));
    EXPECT_EQ(shapes[1].floats, (std::vector<float>{5, 6, 7, 8}));
}

TEST(RouteOverlayDeathTest, DisabledOrEmptyDrawsNothingButEnabledNeedsBuffers)
{
    const vecta::Point route[] = {{1, 2}};
    vecta::RouteOverlay overlay;
    overlay.routePoints = route;
    overlay.routeLength = 1;
    recorder::clear();
    overlay.draw(&path, &paint, screen);
    overlay.enabled = true;
    overlay.routeLength = 0;
    overlay.draw(&path, &paint, screen);
    EXPECT_TRUE(recorder::calls().empty());

    overlay.routeLength = 1;
    EXPECT_ASSERTION(overlay.draw(&path, &paint, screen), "commands");
    std::uint8_t commands[1];
    overlay.commands = commands;
    EXPECT_ASSERTION(overlay.draw(&path, &paint, screen), "points");
}

TEST(GridOverlay, OutlinesTheNineTilesOnePixelWide)
{
    vecta::GridOverlay grid;
    placeAtCentre(grid);
    recorder::clear();
    grid.draw(&path, &paint, screen);
    EXPECT_TRUE(recorder::calls().empty());

    grid.enabled = true;
    grid.draw(&path, &paint, screen);
    EXPECT_EQ(recorder::named("vg_stroke_set_width").at(0).args[0], 4.0);
    EXPECT_EQ(recorder::named("vg_paint_set_paint_color").at(0).args[0], gpu_rgba(255, 0, 0, 255));
    EXPECT_EQ(recorder::named("vg_draw_path").size(), 9u);
    const auto matrices = recorder::named("vg_path_set_matrix");
    ASSERT_EQ(matrices.size(), 9u);
    // Block position (2, 1): its corner lies two tiles right, one down.
    const auto corner = apply(matrices[5].floats, 0, 0);
    EXPECT_FLOAT_EQ(corner.x, 400.0f + 2 * 1024.0f);
    EXPECT_FLOAT_EQ(corner.y, 180.0f + 1024.0f);
    const auto shape = recorder::named("vg_path_set_shape").at(0);
    EXPECT_EQ(shape.commands, (std::vector<std::uint8_t>{VG_MOVE, VG_HLINE, VG_VLINE, VG_HLINE, VG_VLINE}));
    EXPECT_EQ(shape.floats, (std::vector<float>{0, 0, 4096, 4096, 0, 0}));
}
