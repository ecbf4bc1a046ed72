#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "model/MapProjection.hpp"
#include "screens/FrameDriver.hpp"
#include "screens/PizzaScreenParts.hpp"
#include "ui/TouchGestures.hpp"

namespace {

class PizzaDelivery : public ::testing::Test {
protected:
    PizzaDelivery()
    {
        driver.resetModel();
        driver.heap.app.gotoPizzaScreenNoTransition();
        driver.frames(2);
    }

    PizzaScreenParts parts() { return PizzaScreenParts(*driver.heap.app.getCurrentScreen()); }
    const PizzaModel& pizza() { return driver.heap.model.getPizzaModel(); }
    const MapPosition& position() const { return driver.heap.model.getMapPosition(); }

    void order() { driver.tap(400, 419); }

    // Feeds one gesture sample to the touch controller's published values.
    static void gesture(float tx, float ty, float scale, float rotation)
    {
        mapTouchReady = true;
        mapTx = tx;
        mapTy = ty;
        mapScale = scale;
        mapRotation = rotation;
        mapRotationCenterX = 400.0f;
        mapRotationCenterY = 180.0f;
    }

    FrameDriver driver;
};

// The route point `index` where the map draws it, and where the route does.
void expectRouteOnTheMap(const PizzaScreenParts& p, const MapPosition& position, std::size_t index)
{
    const MapUnits units = toMapUnits(DirectionsData[index], position.zoom);
    const ui::Matrix3x3::Point onMap = p.map.placementMatrix(0.0f, 0.0f)
                                           .affineTransform(static_cast<float>(units.x - (p.map.tileX - 1) * 4096),
                                                            static_cast<float>(units.y - (p.map.tileY - 1) * 4096));
    const vecta::Point routePoint = CachedDirections[index];
    const ui::Matrix3x3::Point onRoute =
        p.remainingRoute->placementMatrix(0.0f, 0.0f)
            .affineTransform(static_cast<float>(routePoint.x), static_cast<float>(routePoint.y));
    EXPECT_NEAR(onRoute.x, onMap.x, 1.5f) << index;
    EXPECT_NEAR(onRoute.y, onMap.y, 1.5f) << index;
}

TEST_F(PizzaDelivery, WholeDeliveryFromOrderToArrival)
{
    const PizzaScreenParts p = parts();
    order();
    ASSERT_EQ(pizza().getPizzaState(), PizzaState::OnItsWay);
    EXPECT_EQ(shownText(p.centerText), "01:14");
    EXPECT_EQ(p.travelledRoute->routeLength, 1u);
    EXPECT_EQ(p.remainingRoute->routeLength, 178u);
    EXPECT_TRUE(p.courierMarker.isVisible());
    EXPECT_TRUE(p.travelledRoute->enabled);

    std::vector<std::string> panels{"ORDER", "on its way"};
    int arrivalFrame = 0;
    for (int frame = 1; frame <= 4425; ++frame) {
        const std::uint32_t stepBefore = pizza().getCurrentStep();
        driver.frame();
        const std::uint32_t step = pizza().getCurrentStep();
        if (pizza().getPizzaState() == PizzaState::Arrived && arrivalFrame == 0) {
            arrivalFrame = frame;
            panels.push_back(shownText(p.centerText));
        }
        if (step != stepBefore && step == 88) {
            EXPECT_EQ(shownText(p.centerText), "00:38");
        }
        if (step != stepBefore && step == 176) {
            EXPECT_EQ(shownText(p.centerText), "00:01");
            EXPECT_EQ(p.travelledRoute->routeLength, 177u);
            EXPECT_EQ(p.remainingRoute->routeLength, 2u);
            EXPECT_EQ(p.remainingRoute->routePoints, &CachedDirections[176]);
        }
        // 24 frames after the step to point 1, the courier stands 27/25 of
        // the way to point 2: past it, until the next step snaps it back.
        if (frame == 25) {
            const vecta::Point from = CachedDirections[1];
            const vecta::Point to = CachedDirections[2];
            const float f = 27.0f / 25.0f;
            EXPECT_EQ(p.courierMarker.offsetX,
                      static_cast<std::int32_t>(static_cast<float>(from.x) + f * static_cast<float>(to.x - from.x)));
            EXPECT_EQ(p.courierMarker.offsetY,
                      static_cast<std::int32_t>(static_cast<float>(from.y) + f * static_cast<float>(to.y - from.y)));
        }
    }
    // The first step comes on the first frame after the order, then one
    // every 25 frames: the 177th at frame 1 + 176 x 25.
    EXPECT_EQ(arrivalFrame, 4401);
    EXPECT_EQ(panels, (std::vector<std::string>{"ORDER", "on its way", "ARRIVED"}));
    EXPECT_EQ(pizza().getCurrentStep(), 177u);
    EXPECT_FALSE(p.courierMarker.isVisible());
    EXPECT_FALSE(p.travelledRoute->enabled);
    // Arrived: the next tap on the ring returns to the order panel.
    order();
    EXPECT_EQ(shownText(p.centerText), "ORDER");
}

TEST_F(PizzaDelivery, PinchAcrossAZoomLevelKeepsTheRouteOnItsStreets)
{
    const PizzaScreenParts p = parts();
    order();
    driver.frames(100);
    gesture(0.0f, 0.0f, 1.0f, 0.0f);
    driver.frame();
    gesture(1.0f, 0.0f, 2.2f, 20.0f); // zoom 13 to 15, turned
    driver.frame();
    ASSERT_EQ(position().zoom, 15);
    for (const std::size_t index : {0u, 50u, 177u}) {
        expectRouteOnTheMap(p, position(), index);
    }
}

} // namespace
