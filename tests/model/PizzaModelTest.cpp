#include <gtest/gtest.h>

#include <memory>

#include "model/Model.hpp"
#include "model_tests/RecordingListener.hpp"

namespace {

using Calls = std::vector<std::string>;

class PizzaSimulation : public ::testing::Test {
protected:
    PizzaSimulation()
    {
        model->bind(&listener);
        model->setActiveScreen(ActiveScreen::Pizza);
    }

    PizzaModel& pizza() { return model->getPizzaModel(); }

    void tick(int frames)
    {
        for (int i = 0; i < frames; ++i) {
            model->tick();
        }
    }

    // Frames until the courier next reaches a route point.
    int framesToNextStep()
    {
        const std::uint32_t step = pizza().getCurrentStep();
        int frames = 0;
        while (pizza().getCurrentStep() == step && frames < 100) {
            model->tick();
            ++frames;
        }
        return frames;
    }

    void expectMapAt(vecta::Coordinate expected)
    {
        EXPECT_FLOAT_EQ(model->getMapPosition().coordinate.latitude, expected.latitude);
        EXPECT_FLOAT_EQ(model->getMapPosition().coordinate.longitude, expected.longitude);
    }

    std::unique_ptr<Model> model = std::make_unique<Model>();
    RecordingListener listener;
};

vecta::Coordinate along(std::size_t point, float f)
{
    const vecta::Coordinate a = DirectionsData[point];
    const vecta::Coordinate b = DirectionsData[point + 1];
    return {a.latitude + f * (b.latitude - a.latitude), a.longitude + f * (b.longitude - a.longitude)};
}

TEST(DirectionsData, RouteStartsAndEndsAtTheRestaurantAndTheHome)
{
    EXPECT_FLOAT_EQ(DirectionsData[0].latitude, 56.192020416259766f);
    EXPECT_FLOAT_EQ(DirectionsData[0].longitude, 10.180440902709961f);
    EXPECT_FLOAT_EQ(DirectionsData[1].latitude, 56.19148254394531f);
    EXPECT_FLOAT_EQ(DirectionsData[2].longitude, 10.180704116821289f);
    EXPECT_FLOAT_EQ(DirectionsData[177].latitude, 56.16998291015625f);
    EXPECT_FLOAT_EQ(DirectionsData[177].longitude, 10.19033432006836f);
}

TEST_F(PizzaSimulation, FirstStepComesAfterOneToTwentyFiveFrames)
{
    pizza().setPizzaState(PizzaState::OnItsWay);
    EXPECT_EQ(framesToNextStep(), 1); // the frame counter starts on a step frame
    EXPECT_EQ(framesToNextStep(), 25);

    // The frame counter is not reset by a new order: reordered right after
    // a step frame the courier waits the whole cycle, on its last frame one.
    pizza().setPizzaState(PizzaState::Idle);
    EXPECT_EQ(pizza().getCurrentStep(), 0u);
    pizza().setPizzaState(PizzaState::OnItsWay);
    EXPECT_EQ(framesToNextStep(), 25);
    tick(24);
    pizza().setPizzaState(PizzaState::Idle);
    pizza().setPizzaState(PizzaState::OnItsWay);
    EXPECT_EQ(framesToNextStep(), 1);
}

TEST_F(PizzaSimulation, FollowModeHoldsTheStartThenInterpolatesEveryThirdFrame)
{
    pizza().setPizzaState(PizzaState::OnItsWay);
    tick(1);
    expectMapAt(DirectionsData[1]);
    listener.calls.clear();
    tick(2); // interpolation frames 1 and 2 leave the map
    EXPECT_TRUE(listener.calls.empty());
    tick(1);
    expectMapAt(along(1, 3.0f / 25.0f));
    EXPECT_EQ(listener.calls, (Calls{"mapPositionChanged"}));
    // The route is cached relative to the moved centre.
    const MapUnits point = toMapUnits(DirectionsData[1], model->getMapPosition().zoom);
    EXPECT_EQ(CachedDirections[1].x, point.x - model->getMapPosition().x);
    EXPECT_EQ(CachedDirections[1].y, point.y - model->getMapPosition().y);
}

TEST_F(PizzaSimulation, InterpolationResumesFromTheFrozenCounterAfterFreeMode)
{
    pizza().setPizzaState(PizzaState::OnItsWay);
    tick(12); // step to point 1, then 11 following frames: interpolation counter 12
    const vecta::Coordinate held = model->getMapPosition().coordinate;
    model->setCoordinates(held.latitude, held.longitude);
    ASSERT_EQ(pizza().getMoveMode(), MoveMode::Free);
    const MapPosition before = model->getMapPosition();
    const auto cacheBefore = CachedDirections;

    listener.calls.clear();
    tick(14); // through the step frame to point 2, map left alone
    EXPECT_EQ(pizza().getCurrentStep(), 2u);
    EXPECT_EQ(listener.calls, (Calls{"currentStepChanged"}));
    EXPECT_EQ(model->getMapPosition().x, before.x);
    EXPECT_EQ(CachedDirections.back().x, cacheBefore.back().x);

    pizza().setMoveMode(MoveMode::FollowPizza);
    tick(1);
    expectMapAt(along(2, 12.0f / 25.0f));
    tick(23); // drawn past the segment's end until the next step frame
    expectMapAt(along(2, 33.0f / 25.0f));
    tick(1);
    expectMapAt(DirectionsData[3]);
}

TEST_F(PizzaSimulation, ArrivalAnnouncesTheStateBeforeTheStepAndStaysAtTheLastPoint)
{
    pizza().setPizzaState(PizzaState::OnItsWay);
    tick(1 + 175 * 25);
    EXPECT_EQ(pizza().getCurrentStep(), 176u);
    tick(24);
    listener.calls.clear();
    tick(1);
    EXPECT_EQ(pizza().getPizzaState(), PizzaState::Arrived);
    EXPECT_EQ(pizza().getCurrentStep(), 177u);
    EXPECT_EQ(listener.calls, (Calls{"pizzaStateChanged", "mapPositionChanged", "currentStepChanged"}));
    expectMapAt(DirectionsData[177]);
    EXPECT_EQ(CachedDirections[177].x, 0);
    EXPECT_EQ(CachedDirections[177].y, 0);

    // Restarting without going through Idle keeps the courier on the route.
    pizza().setPizzaState(PizzaState::OnItsWay);
    tick(30);
    EXPECT_EQ(pizza().getCurrentStep(), 177u);
    EXPECT_EQ(pizza().getPizzaState(), PizzaState::Arrived);

    pizza().setPizzaState(PizzaState::Idle);
    EXPECT_EQ(pizza().getCurrentStep(), 0u);
}

TEST_F(PizzaSimulation, OrdersByItselfAfter1200QuietFrames)
{
    model->setCoordinates(56.17f, 10.19f); // free mode
    tick(1000);
    pizza().notifyTouch();
    listener.calls.clear();
    tick(1199);
    EXPECT_TRUE(listener.calls.empty());
    tick(1);
    EXPECT_EQ(listener.calls, (Calls{"autoOrderPizza", "moveModeChanged"}));
    EXPECT_EQ(pizza().getMoveMode(), MoveMode::FollowPizza);
    tick(1); // repeated until the presenter orders
    EXPECT_EQ(listener.calls.back(), "autoOrderPizza");
    pizza().setPizzaState(PizzaState::OnItsWay);
    EXPECT_EQ(pizza().getIdleTicks(), 0u);
}

} // namespace
