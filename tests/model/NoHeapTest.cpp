// The model runs in the frame loop, where the firmware has no heap to spare.

#include <gtest/gtest.h>

#include "model/InputHandler.hpp"
#include "model/Model.hpp"
#include "model_tests/GestureGlobals.hpp"
#include "support/AllocationCounter.hpp"

namespace {

class CountingListener : public ModelListener {
public:
    void mapPositionChanged() override { ++notifications; }
    void dogPositionsChanged() override { ++notifications; }
    void autoOrderPizza() override { model->getPizzaModel().setPizzaState(PizzaState::OnItsWay); }

    unsigned notifications = 0;
};

Model model;

} // namespace

TEST(ModelNoHeap, GesturesAndBothSimulationsAllocateNothing)
{
    resetGestureGlobals();
    CountingListener listener;
    listener.bind(&model);
    model.bind(&listener);
    InputHandler input;
    const long before = heapAllocations();

    model.setActiveScreen(ActiveScreen::Pizza);
    for (int frame = 0; frame < 6000; ++frame) { // idle, automatic order, delivery
        mapTx = static_cast<float>(frame % 7);
        mapScale = 1.0f + static_cast<float>(frame % 5) * 0.1f;
        mapTouchReady = frame % 500 == 0;
        model.tick();
        input.update();
        if (input.hasPendingUpdates()) {
            const MapTransform t = input.getTransform();
            model.setScale(model.getMapPosition().scale * t.scale);
            model.setRotation(model.getMapPosition().rotation + t.rotation);
        }
    }
    model.setActiveScreen(ActiveScreen::DogTrack);
    model.setCoordinates(56.18f, 10.18f);
    for (int frame = 0; frame < 3000; ++frame) {
        model.tick();
    }

    EXPECT_EQ(heapAllocations(), before);
    EXPECT_EQ(model.getPizzaModel().getPizzaState(), PizzaState::Arrived);
    EXPECT_GT(listener.notifications, 3000u);
}
