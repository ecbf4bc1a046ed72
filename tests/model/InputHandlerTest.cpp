#include <gtest/gtest.h>

#include "model/InputHandler.hpp"
#include "model_tests/GestureGlobals.hpp"

namespace {

class InputHandling : public ::testing::Test {
protected:
    InputHandling() { resetGestureGlobals(); }

    // Publishes one sample the way the touch controller does; the first of
    // a phase says so.
    void publish(float tx, float ty, float scale = 1.0f, float rotation = 0.0f, bool begins = false)
    {
        mapTx = tx;
        mapTy = ty;
        mapScale = scale;
        mapRotation = rotation;
        mapRotationCenterX = 300.0f;
        mapRotationCenterY = 200.0f;
        mapGestureBegan = begins;
        mapTouchReady = true;
        handler.update();
    }
    void begin(float scale = 1.0f, float rotation = 0.0f) { publish(0.0f, 0.0f, scale, rotation, true); }

    InputHandler handler;
};

TEST_F(InputHandling, WithoutTouchTheTransformIsTheIdentity)
{
    handler.update();
    EXPECT_FALSE(handler.hasPendingUpdates());
    const MapTransform t = handler.getTransform();
    EXPECT_FALSE(t.valid);
    EXPECT_EQ(t.scale, 1.0f);
    EXPECT_EQ(t.centerX, 400.0f);
    EXPECT_EQ(t.centerY, 180.0f);
}

TEST_F(InputHandling, DragYieldsTheMovementSinceTheLastTransform)
{
    begin(2.5f, 30.0f); // a new phase at an absolute scale: no jump
    EXPECT_FALSE(mapTouchReady);
    EXPECT_FALSE(mapGestureBegan);
    ASSERT_TRUE(handler.hasPendingUpdates());
    MapTransform t = handler.getTransform();
    EXPECT_TRUE(t.valid);
    EXPECT_EQ(t.scale, 1.0f);
    EXPECT_EQ(t.rotation, 0.0f);
    EXPECT_EQ(t.dx, 0);

    publish(5.9f, -3.9f, 2.5f, 30.0f);
    t = handler.getTransform();
    EXPECT_EQ(t.dx, 5);
    EXPECT_EQ(t.dy, -3);
    EXPECT_EQ(t.scale, 1.0f);
    EXPECT_FALSE(handler.hasPendingUpdates());

    // Two samples before the view takes a transform: it covers both.
    publish(12.0f, 0.0f, 2.5f, 30.0f);
    publish(20.0f, 1.0f, 2.5f, 30.0f);
    handler.update(); // nothing new published: the pending transform stays
    t = handler.getTransform();
    EXPECT_EQ(t.dx, 15);
    EXPECT_EQ(t.dy, 4);
    EXPECT_EQ(t.centerX, 300.0f);
}

TEST_F(InputHandling, PinchTransformsComposeToThePhaseTotal)
{
    begin(2.0f, 10.0f);
    handler.getTransform();
    publish(1.0f, 0.0f, 3.0f, 25.0f);
    const MapTransform first = handler.getTransform();
    publish(3.0f, 2.0f, 6.0f, 40.0f);
    const MapTransform second = handler.getTransform();
    EXPECT_FLOAT_EQ(first.scale, 1.5f);
    EXPECT_FLOAT_EQ(second.scale, 2.0f);
    EXPECT_FLOAT_EQ(first.scale * second.scale, 6.0f / 2.0f);
    EXPECT_FLOAT_EQ(first.rotation + second.rotation, 30.0f);
    EXPECT_EQ(first.dx + second.dx, 3);
}

TEST_F(InputHandling, EverySampleOfAStillPinchReachesTheMapButOnlyAPhaseStartRebases)
{
    begin();
    publish(0.0f, 0.0f, 1.8f, 12.0f);
    MapTransform t = handler.getTransform();
    EXPECT_FLOAT_EQ(t.scale, 1.8f);
    EXPECT_FLOAT_EQ(t.rotation, 12.0f);
    publish(0.0f, 0.0f, 3.6f, 12.0f);
    EXPECT_FLOAT_EQ(handler.getTransform().scale, 2.0f);

    // A drag back to where it began is movement, not a new phase.
    begin(3.6f, 12.0f);
    publish(7.0f, 0.0f, 3.6f, 12.0f);
    handler.getTransform();
    publish(0.0f, 0.0f, 3.6f, 12.0f);
    EXPECT_EQ(handler.getTransform().dx, -7);

    // A phase that starts at scale 0 cannot divide by it.
    begin(0.0f);
    publish(2.0f, 0.0f, 4.0f);
    EXPECT_EQ(handler.getTransform().scale, 1.0f);
}

TEST_F(InputHandling, TranslationWrapsIn16BitsButDifferencesStayRight)
{
    begin();
    publish(32760.0f, 0.0f);
    handler.getTransform();
    publish(32780.0f, -40000.0f);
    const MapTransform t = handler.getTransform();
    EXPECT_EQ(t.dx, 20);
    EXPECT_EQ(t.dy, static_cast<std::int16_t>(-40000));
}

} // namespace
