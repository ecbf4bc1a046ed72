#include <gtest/gtest.h>

#include <cmath>
#include <memory>

#include "board_config/BoardConfig.hpp"
#include "map_screen/FrameRateMeter.hpp"
#include "map_screen/MapBlockPlacement.hpp"
#include "map_screen/MapGesture.hpp"
#include "model/Model.hpp"
#include "model_tests/RecordingListener.hpp"
#include "ui/Types.hpp"

namespace {

using Calls = std::vector<std::string>;

class MapGesture : public ::testing::Test {
protected:
    MapGesture()
    {
        model->bind(&listener);
        model->getPizzaModel().setMoveMode(MoveMode::Free);
        listener.calls.clear();
    }

    const MapPosition& position() const { return model->getMapPosition(); }

    // Where a map point (map units at the current zoom) is drawn.
    ui::Point onScreen(float x, float y) const
    {
        const float a = position().rotation * 0.017453292f;
        const float u = (x - static_cast<float>(position().x)) * position().tileScale;
        const float v = (y - static_cast<float>(position().y)) * position().tileScale;
        return {static_cast<std::int16_t>(std::lround(mapAnchorX + u * std::cos(a) - v * std::sin(a))),
                static_cast<std::int16_t>(std::lround(mapAnchorY + u * std::sin(a) + v * std::cos(a)))};
    }

    std::unique_ptr<Model> model = std::make_unique<Model>();
    RecordingListener listener;
};

MapTransform drag(std::int16_t dx, std::int16_t dy)
{
    MapTransform t;
    t.dx = dx;
    t.dy = dy;
    t.valid = true;
    return t;
}

TEST_F(MapGesture, DragMovesTheCentreTheOtherWayWithOneSetCoordinates)
{
    const std::int32_t x = position().x;
    const std::int32_t y = position().y;
    applyMapGesture(*model, drag(10, 0)); // tile scale 0.25: 40 map units
    EXPECT_EQ(position().x, x - 40);
    EXPECT_EQ(position().y, y);
    EXPECT_EQ(listener.calls, (Calls{"mapPositionChanged"}));
    EXPECT_EQ(position().scale, 0.25f);
    EXPECT_EQ(position().rotation, 0.0f);

    // Turned a quarter clockwise, screen left is map south.
    model->setRotation(90.0f);
    applyMapGesture(*model, drag(10, 0));
    EXPECT_NEAR(position().x, x - 40, 2);
    EXPECT_NEAR(position().y, y + 40, 2);
}

TEST_F(MapGesture, IdentityPinchCallsNoSetter)
{
    MapTransform t = drag(0, 0);
    t.centerX = 123.0f;
    applyMapGesture(*model, t);
    EXPECT_TRUE(listener.calls.empty());

    t.scale = 2.0f;
    applyMapGesture(*model, t);
    EXPECT_EQ(position().scale, 0.5f);
    EXPECT_EQ(position().zoom, 15);
    EXPECT_EQ(listener.calls, (Calls{"mapPositionChanged"}));
}

TEST_F(MapGesture, RotationKeepsTheMapPointUnderTheFingersInPlace)
{
    // The map point drawn at (600, 100) before the gesture.
    const float pointX = static_cast<float>(position().x) + 200.0f / position().tileScale;
    const float pointY = static_cast<float>(position().y) - 80.0f / position().tileScale;
    MapTransform t = drag(0, 0);
    t.centerX = 600.0f;
    t.centerY = 100.0f;
    for (const float step : {30.0f, 45.0f, -100.0f}) {
        t.rotation = step;
        applyMapGesture(*model, t);
        const ui::Point p = onScreen(pointX, pointY);
        EXPECT_NEAR(p.x, 600, 1) << position().rotation;
        EXPECT_NEAR(p.y, 100, 1) << position().rotation;
    }
    EXPECT_EQ(position().rotation, -25.0f);
    EXPECT_EQ(position().rotationCenterX, 600);
    EXPECT_EQ(position().rotationCenterY, 100);
}

TEST(FrameRateMeter, FirstReadingAtThe51stFrameThenEvery50)
{
    const auto refreshRate = static_cast<float>(board::framesPerSecond);
    FrameRateMeter meter;
    float fps = 0.0f;
    for (int frame = 1; frame <= 50; ++frame) {
        EXPECT_FALSE(meter.addFrame(1, fps)) << frame;
    }
    ASSERT_TRUE(meter.addFrame(1, fps));
    EXPECT_FLOAT_EQ(fps, refreshRate * 50.0f / 51.0f);
    for (int frame = 52; frame <= 100; ++frame) {
        EXPECT_FALSE(meter.addFrame(2, fps)) << frame;
    }
    ASSERT_TRUE(meter.addFrame(2, fps));
    EXPECT_FLOAT_EQ(fps, refreshRate / 2.0f);
}

} // namespace

namespace {

// Where the map position itself lands on screen: its offset inside the
// origin tile, in the block's centre cell.
ui::Matrix3x3::Point centreOnScreen(const MapPosition& position)
{
    vecta::MapPlacement placement;
    placement.rotationCenterX = mapAnchorX;
    placement.rotationCenterY = mapAnchorY;
    placeMapBlock(position, position.tileX, position.tileY, placement);
    const ui::Matrix3x3 matrix = placement.placementMatrix(4096.0f, 4096.0f);
    return matrix.affineTransform(static_cast<float>(position.x - position.tileX * 4096),
                                  static_cast<float>(position.y - position.tileY * 4096));
}

} // namespace

TEST(MapBlockPlacement, TheMapPositionLandsOnTheAnchorAtAnyScaleAndRotation)
{
    Model model;
    const struct {
        float latitude, longitude, scale, rotation;
    } views[] = {{56.1699f, 10.190293f, 0.25f, 0.0f},
                 {56.152f, 10.205f, 0.3f, 30.0f},
                 {56.0f, 9.5f, 0.006f, -75.0f},
                 {56.185f, 10.18f, 1.5f, 181.0f}};
    for (const auto& view : views) {
        model.setCoordinates(view.latitude, view.longitude);
        model.setScale(view.scale);
        model.setRotation(view.rotation);
        const auto point = centreOnScreen(model.getMapPosition());
        // The tile corner's round trip through the single-precision
        // projection moves it by a map unit or two, plus up to two float
        // steps of the map unit value (16 units at zoom 16).
        const auto y = static_cast<float>(model.getMapPosition().y);
        const float floatStep = std::nextafter(y, 2.0f * y) - y;
        const float tolerance = (2.0f + 2.0f * floatStep) * model.getMapPosition().tileScale + 0.01f;
        EXPECT_NEAR(point.x, 400.0f, tolerance) << view.scale << " " << view.rotation;
        EXPECT_NEAR(point.y, 180.0f, tolerance) << view.scale << " " << view.rotation;
    }
}
