// The model runs in the frame loop, where the firmware has no heap to spare.

#include <gtest/gtest.h>

#include <cstdlib>
#include <new>

#include "GestureGlobals.hpp"
#include "model/InputHandler.hpp"
#include "model/Model.hpp"

namespace {

std::size_t allocations = 0;

class CountingListener : public ModelListener {
public:
    void mapPositionChanged() override { ++notifications; }
    void dogPositionsChanged() override { ++notifications; }
    void autoOrderPizza() override { model->getPizzaModel().setPizzaState(PizzaState::OnItsWay); }

    unsigned notifications = 0;
};

Model model;

} // namespace

void* operator new(std::size_t size)
{
    ++allocations;
    if (void* memory = std::malloc(size == 0 ? 1 : size)) {
        return memory;
    }
    throw std::bad_alloc();
}

// The replacement pair allocates with malloc, so free is the matching release.
#pragma GCC diagnostic ignored "-Wmismatched-new-delete"

void operator delete(void* memory) noexcept
{
    std::free(memory);
}

void operator delete(void* memory, std::size_t) noexcept
{
    std::free(memory);
}

TEST(ModelNoHeap, GesturesAndBothSimulationsAllocateNothing)
{
    resetGestureGlobals();
    CountingListener listener;
    listener.bind(&model);
    model.bind(&listener);
    InputHandler input;
    const std::size_t before = allocations;

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

    EXPECT_EQ(allocations, before);
    EXPECT_EQ(model.getPizzaModel().getPizzaState(), PizzaState::Arrived);
    EXPECT_GT(listener.notifications, 3000u);
}
