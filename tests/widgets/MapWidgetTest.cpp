#include <cmath>

#include <gtest/gtest.h>

#include "board_config/BoardConfig.hpp"
#include "gpu/gpu_graphics.h"
#include "support/AssertionMatcher.hpp"
#include "vecta/MapStyle.hpp"
#include "vecta/StringHash.hpp"
#include "vecta/widgets/MapWidget.hpp"
#include "widgets/GpuRecorder.hpp"
#include "widgets/MapFixture.hpp"

using mapfixture::FakeStore;
using mapfixture::SegmentBufferBuilder;

namespace {

const std::uint32_t primaryRoad = vecta::stringHash("road") + vecta::stringHash("primary");
const std::uint32_t water = vecta::stringHash("water") + vecta::stringHash("default");
constexpr float primaryWidthAt16 = 26.33061f;

ui::Matrix3x3::Point apply(const std::vector<float>& m, float x, float y)
{
    return {m[0] * x + m[1] * y + m[2], m[3] * x + m[4] * y + m[5]};
}

class MapWidgetCalls : public ::testing::Test {
protected:
    MapWidgetCalls() : widget(vecta::getMapStyle(), store)
    {
        widget.setPosition(0, 0, board::panelWidth, board::panelHeight);
        // The view's standard placement: scale 0.25, block corner at
        // (-624, -844), so the origin tile's corner is at the centre.
        widget.scaleX = widget.scaleY = 0.25f;
        widget.rotation = 0.0f;
        widget.rotationCenterX = 400.0f;
        widget.rotationCenterY = 180.0f;
        widget.translationX = -624.0f;
        widget.translationY = -844.0f;
        widget.mapScale = 0.5f;
        widget.tileX = 100;
        widget.tileY = 200;
        widget.zoom = 16;
        recorder::clear();
    }

    // A line segment somewhere inside the tile.
    static SegmentBufferBuilder& road(SegmentBufferBuilder& b, float x = 100)
    {
        return b.add(primaryRoad, vecta::LineString, {x, 100, x + 1000, 1000}, {1, 2},
                     vecta::BoundingBox{static_cast<std::int16_t>(x), 100, static_cast<std::int16_t>(x + 1000), 1000});
    }

    mapfixture::GpuHal gpu;
    FakeStore store;
    vecta::MapWidget widget;
};

class NamedOverlay : public vecta::MapOverlay {
public:
    explicit NamedOverlay(double overlayId) : id(overlayId) {}
    void draw(void*, void*, const ui::Rect&) const override { recorder::calls().push_back({"overlay", {id}, {}, {}}); }
    double id;
};

} // namespace

TEST_F(MapWidgetCalls, PlacementPutsTheOriginTileCornerAtTheRotationCentre)
{
    SegmentBufferBuilder b;
    store.tiles[{100, 200}] = road(b).words();
    widget.draw(ui::Rect(0, 0, board::panelWidth, board::panelHeight));
    const auto matrices = recorder::named("vg_path_set_matrix");
    ASSERT_EQ(matrices.size(), 1u);
    const auto corner = apply(matrices[0].floats, 0, 0);
    const auto far = apply(matrices[0].floats, 4096, 4096);
    EXPECT_FLOAT_EQ(corner.x, 400.0f);
    EXPECT_FLOAT_EQ(corner.y, 180.0f);
    EXPECT_FLOAT_EQ(far.x, 1424.0f);
    EXPECT_FLOAT_EQ(far.y, 1204.0f);
    EXPECT_EQ(store.requests.front(), (std::pair<std::uint32_t, std::uint32_t>{99, 199}));
    EXPECT_EQ(store.requests.size(), 9u);

    // Rotated 90 degrees about the centre: (500, 180) unrotated turns to (400, 280).
    recorder::clear();
    widget.rotation = 90.0f;
    widget.draw(ui::Rect(0, 0, board::panelWidth, board::panelHeight));
    const auto rotated = apply(recorder::named("vg_path_set_matrix").at(0).floats, 400, 0);
    EXPECT_NEAR(rotated.x, 400.0f, 1e-3f);
    EXPECT_NEAR(rotated.y, 280.0f, 1e-3f);
}

TEST_F(MapWidgetCalls, EmptyAreaMakesNoGpuCall)
{
    SegmentBufferBuilder b;
    store.tiles[{100, 200}] = road(b).words();
    widget.draw(ui::Rect(10, 10, 0, 100));
    widget.draw(ui::Rect(10, 10, 100, -1));
    EXPECT_TRUE(recorder::calls().empty());
}

TEST_F(MapWidgetCalls, ConsecutiveSegmentsWithOneRuleSetThePaintOnce)
{
    SegmentBufferBuilder b;
    road(b, 100);
    road(b, 200);
    b.add(water, vecta::Polygon, {0, 0, 500, 0, 500, 500, 0, 0}, {1, 2, 2, 2, 0}, vecta::BoundingBox{0, 0, 500, 500});
    store.tiles[{100, 200}] = b.words();
    widget.draw(ui::Rect(0, 0, board::panelWidth, board::panelHeight));

    EXPECT_EQ(recorder::named("vg_paint_set_paint_color").size(), 2u);
    EXPECT_EQ(recorder::named("vg_paint_set_opacity").size(), 2u);
    const auto widths = recorder::named("vg_stroke_set_width");
    ASSERT_EQ(widths.size(), 2u);
    // 1.5 x rule width x map scale / scaleX path units: 1.5 x width x 0.5 pixels.
    EXPECT_FLOAT_EQ(static_cast<float>(widths[0].args[0]), 1.5f * primaryWidthAt16 * 0.5f / 0.25f);
    EXPECT_EQ(recorder::named("vg_draw_path").size(), 3u);
    const auto rules = recorder::named("vg_set_fill_rule");
    ASSERT_EQ(rules.size(), 3u);
    EXPECT_EQ(rules[0].args[0], VG_STROKE);
    EXPECT_EQ(rules[2].args[0], VG_FILL_EVEN_ODD);
    // White, opaque: colour bytes in the paint's order.
    EXPECT_EQ(recorder::named("vg_paint_set_paint_color")[0].args[0], gpu_rgba(255, 255, 255, 255));
    const auto shape = recorder::named("vg_path_set_shape_and_bbox")[2];
    EXPECT_EQ(shape.commands, (std::vector<std::uint8_t>{1, 2, 2, 2, 0}));
    EXPECT_EQ(shape.floats.size(), 8u);
}

TEST_F(MapWidgetCalls, ZeroScaleStrokesWithOneAndAHalfRuleWidths)
{
    SegmentBufferBuilder b;
    store.tiles[{100, 200}] = road(b).words();
    widget.scaleX = 0.0f;
    widget.translationX = 500.0f; // the collapsed block stands at x 500
    widget.draw(ui::Rect(0, 0, board::panelWidth, board::panelHeight));
    const auto widths = recorder::named("vg_stroke_set_width");
    ASSERT_EQ(widths.size(), 1u);
    EXPECT_FLOAT_EQ(static_cast<float>(widths[0].args[0]), 1.5f * primaryWidthAt16);
}

TEST_F(MapWidgetCalls, CullsTilesAndSegmentsOutsideTheArea)
{
    SegmentBufferBuilder b;
    road(b, 100);  // screen x 425 .. 675
    road(b, 3000); // screen x 1150 ..: beyond the area
    store.tiles[{100, 200}] = b.words();
    SegmentBufferBuilder other;
    store.tiles[{101, 199}] = road(other).words(); // the north-east tile lies right of the screen
    widget.draw(ui::Rect(0, 0, board::panelWidth, board::panelHeight));
    EXPECT_EQ(recorder::named("vg_path_set_matrix").size(), 1u);
    EXPECT_EQ(recorder::named("vg_draw_path").size(), 1u);
    // The clip is the tile's part of the widget.
    const auto clips = recorder::named("gpu_set_clip");
    ASSERT_EQ(clips.size(), 1u);
    EXPECT_EQ(clips[0].args, (std::vector<double>{400, 180, 400, 300}));

    // Redrawn in part, the clip stays that of a whole redraw and the
    // scissor is the area: the part drawn equals that of a whole redraw.
    recorder::clear();
    widget.draw(ui::Rect(410, 190, 30, 20));
    EXPECT_EQ(recorder::named("gpu_set_clip")[0].args, (std::vector<double>{400, 180, 400, 300}));
    EXPECT_EQ(recorder::named("gpu_set_scissor")[0].args, (std::vector<double>{410, 190, 30, 20}));
    EXPECT_EQ(recorder::named("vg_draw_path").size(), 1u);
    recorder::clear();
    widget.draw(ui::Rect(700, 10, 30, 20)); // clear of the road
    EXPECT_TRUE(recorder::named("vg_draw_path").empty());
}

TEST_F(MapWidgetCalls, WithoutTilesBracketAndClipHappenAndOverlaysStillDraw)
{
    NamedOverlay a(1);
    NamedOverlay b(2);
    widget.addOverlay(a);
    widget.addOverlay(b);
    widget.draw(ui::Rect(0, 0, board::panelWidth, board::panelHeight));
    EXPECT_EQ(recorder::names(),
              (std::vector<std::string>{"gpu_cmdlist_bind", "gpu_bind_dst_texture", "gpu_set_scissor", "vg_set_blend",
                                        "vg_set_quality", "gpu_set_clip", "overlay", "gpu_set_clip", "overlay",
                                        "gpu_cmdlist_submit", "gpu_cmdlist_wait"}));
    const auto overlays = recorder::named("overlay");
    EXPECT_EQ(overlays[0].args[0], 2); // added last, drawn first
    EXPECT_EQ(overlays[1].args[0], 1);
}

TEST_F(MapWidgetCalls, SegmentWithoutRuleAtTheZoomLevelStops)
{
    SegmentBufferBuilder b;
    b.add(vecta::stringHash("road") + vecta::stringHash("trunk_link"), vecta::LineString, {0, 0, 10, 10}, {1, 2},
          vecta::BoundingBox{0, 0, 10, 10});
    store.tiles[{100, 200}] = b.words();
    EXPECT_ASSERTION(widget.draw(ui::Rect(0, 0, board::panelWidth, board::panelHeight)), "style");
}

TEST_F(MapWidgetCalls, TruncatedSegmentHandsNullArraysToTheGpu)
{
    SegmentBufferBuilder b;
    b.add(primaryRoad, vecta::LineString, {100, 100}, {1}, vecta::BoundingBox{100, 100, 100, 100});
    store.tiles[{100, 200}] = b.words();
    // Claim more points than the payload holds.
    reinterpret_cast<vecta::SegmentHeader*>(store.tiles[{100, 200}].data())->point_count = 2;
    widget.draw(ui::Rect(0, 0, board::panelWidth, board::panelHeight));
    const auto shapes = recorder::named("vg_path_set_shape_and_bbox");
    ASSERT_EQ(shapes.size(), 1u);
    EXPECT_TRUE(shapes[0].floats.empty());
    EXPECT_TRUE(shapes[0].commands.empty());
}

TEST(MapWidgetLifetime, ReleasesItsPathAndPaint)
{
    mapfixture::GpuHal gpu;
    FakeStore store;
    recorder::clear();
    {
        vecta::MapWidget widget(vecta::getMapStyle(), store);
    }
    EXPECT_EQ(recorder::names(),
              (std::vector<std::string>{"vg_path_create", "vg_paint_create", "vg_paint_lock_tran_to_path",
                                        "vg_paint_set_type", "vg_path_destroy", "vg_paint_destroy"}));
}
