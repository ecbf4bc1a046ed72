#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <map>

#include "board_config/BoardConfig.hpp"
#include "board_glue/PanelTouchController.hpp"
#include "model/InputHandler.hpp"
#include "model_tests/GestureGlobals.hpp"
#include "platform/bsp.h"

namespace {

using target::PanelTouchController;

// A touch panel chip holding the status and point registers.
class FakePanel : public target::TouchPanelPort {
public:
    bool readRegisters(std::uint16_t address, std::uint8_t* data, std::size_t size) override
    {
        EXPECT_TRUE(masked) << "register read with the touch interrupt enabled";
        ++transfers;
        for (std::size_t i = 0; i < size && answers; ++i) {
            data[i] = registers[static_cast<std::uint16_t>(address + i)];
        }
        return answers;
    }
    bool writeRegisters(std::uint16_t address, const std::uint8_t* data, std::size_t size) override
    {
        ++transfers;
        for (std::size_t i = 0; i < size && answers; ++i) {
            registers[static_cast<std::uint16_t>(address + i)] = data[i];
        }
        return answers;
    }
    void maskTouchInterrupt() override { masked = true; }
    void unmaskTouchInterrupt() override { masked = false; }

    void setPoint(std::uint16_t address, std::uint16_t x, std::uint16_t y)
    {
        const std::uint8_t bytes[4] = {static_cast<std::uint8_t>(x), static_cast<std::uint8_t>(x >> 8),
                                       static_cast<std::uint8_t>(y), static_cast<std::uint8_t>(y >> 8)};
        writeRegisters(address, bytes, 4);
    }

    std::map<std::uint16_t, std::uint8_t> registers;
    bool masked = false;
    bool answers = true;
    int transfers = 0;
};

struct Finger {
    std::uint16_t x;
    std::uint16_t y;
};

class PanelTouch : public ::testing::Test {
protected:
    PanelTouch() { resetGestureGlobals(); }

    void report(std::uint8_t count, Finger first, Finger second = {0, 0})
    {
        panel.registers[PanelTouchController::statusRegister] = static_cast<std::uint8_t>(0x80 | count);
        panel.setPoint(PanelTouchController::firstPointRegister, first.x, first.y);
        panel.setPoint(PanelTouchController::secondPointRegister, second.x, second.y);
    }

    // The panel reports fingers and raises its interrupt; the GUI task samples.
    bool touch(std::uint8_t count, Finger first = {0, 0}, Finger second = {0, 0})
    {
        report(count, first, second);
        HAL_GPIO_FallingEdgeCallback(0x20);
        const bool down = controller.sampleTouch(x, y);
        EXPECT_FALSE(panel.masked);
        EXPECT_FALSE(doSampleTouch);
        EXPECT_EQ(panel.registers[PanelTouchController::statusRegister], 0) << "status not acknowledged";
        return down;
    }

    FakePanel panel;
    PanelTouchController controller{panel};
    std::int32_t x = -1;
    std::int32_t y = -1;
};

TEST_F(PanelTouch, WithoutInterruptNothingIsRead)
{
    HAL_GPIO_FallingEdgeCallback(0x10); // another line
    panel.registers[PanelTouchController::statusRegister] = 0x81;
    EXPECT_FALSE(controller.sampleTouch(x, y));
    EXPECT_FALSE(panel.masked);
    EXPECT_EQ(panel.registers[PanelTouchController::statusRegister], 0x81);
    EXPECT_EQ(x, -1);
    EXPECT_FALSE(mapTouchReady);
}

TEST_F(PanelTouch, OneTwoOneNoneFingers)
{
    // 0 -> 1: a drag starts at the finger.
    EXPECT_TRUE(touch(1, {100, 300}));
    EXPECT_EQ(x, 100);
    EXPECT_EQ(y, 300);
    EXPECT_TRUE(mapTouchReady);
    EXPECT_EQ(mapTx, 0.0f);

    // 1 -> 1: the drag accumulates.
    EXPECT_TRUE(touch(1, {110, 295}));
    EXPECT_EQ(mapTx, 10.0f);
    EXPECT_EQ(mapTy, -5.0f);

    // 1 -> 2: a pinch phase starts about the midpoint.
    x = y = -1;
    EXPECT_TRUE(touch(2, {100, 200}, {200, 200}));
    EXPECT_EQ(x, -1);
    EXPECT_EQ(mapRotationCenterX, 150.0f);
    EXPECT_EQ(mapRotationCenterY, 200.0f);
    EXPECT_EQ(mapTx, 0.0f);

    // 2 -> 2: fingers twice as far apart, turned a quarter, midpoint moved.
    EXPECT_TRUE(touch(2, {160, 110}, {160, 310}));
    EXPECT_FLOAT_EQ(mapScale, 2.0f);
    EXPECT_NEAR(mapRotation, 90.0f, 1e-4f);
    EXPECT_EQ(mapTx, 10.0f);
    EXPECT_EQ(mapTy, 10.0f);
    EXPECT_EQ(mapRotationCenterX, 160.0f);

    // 2 -> 1: translation restarts at the remaining finger.
    EXPECT_TRUE(touch(1, {160, 110}));
    EXPECT_EQ(mapTx, 0.0f);
    EXPECT_EQ(x, 160);

    // The next pinch starts its own scale and rotation.
    touch(2, {0, 0}, {100, 0});
    EXPECT_EQ(mapScale, 1.0f);
    EXPECT_EQ(mapRotation, 0.0f);
    touch(2, {0, 0}, {150, 0});
    EXPECT_FLOAT_EQ(mapScale, 1.5f);

    // Release.
    EXPECT_FALSE(touch(0));
    EXPECT_FALSE(mapTouchReady);
}

TEST_F(PanelTouch, ThreeFingersChangeNothingAndOneFingerStartsAfresh)
{
    touch(1, {100, 100});
    touch(1, {120, 100});
    mapTouchReady = false;
    EXPECT_TRUE(touch(3, {300, 300}, {400, 400}));
    EXPECT_EQ(mapTx, 20.0f);
    EXPECT_EQ(mapScale, 1.0f);
    EXPECT_FALSE(mapTouchReady);

    touch(1, {500, 100});
    EXPECT_EQ(mapTx, 0.0f);
    EXPECT_TRUE(mapTouchReady);
}

TEST_F(PanelTouch, APinchStillZoomsAfterAnyNumberOfPinchesOutAtTheZoomLimit)
{
    // The model ignores what it cannot show, so the pinches could pile up.
    InputHandler handler;
    for (int i = 0; i < 200; ++i) {
        touch(2, {380, 240}, {420, 240});
        handler.update();
        handler.getTransform();
        touch(2, {330, 240}, {470, 241});
        handler.update();
        handler.getTransform();
        touch(0);
    }
    EXPECT_TRUE(std::isfinite(mapScale));
    touch(2, {330, 240}, {470, 240});
    handler.update();
    handler.getTransform();
    touch(2, {380, 240}, {420, 241});
    handler.update();
    EXPECT_NEAR(handler.getTransform().scale, 40.0f / 140.0f, 1e-3f) << "pinching in zooms out";
}

// Fingers spreading and turning about a midpoint that never moves: the map
// follows each sample, and the phase's first sample is no jump.
TEST_F(PanelTouch, AStillMidpointPinchZoomsAndTurnsByTheFingers)
{
    InputHandler handler;
    touch(1, {350, 240});
    handler.update();
    handler.getTransform();
    touch(2, {350, 240}, {450, 240});
    handler.update();
    EXPECT_EQ(handler.getTransform().scale, 1.0f);

    float scale = 1.0f;
    float rotation = 0.0f;
    for (const std::uint16_t half : {75, 100, 150, 200}) {
        touch(2, {static_cast<std::uint16_t>(400 - half), 240}, {static_cast<std::uint16_t>(400 + half), 240});
        handler.update();
        const MapTransform t = handler.getTransform();
        scale *= t.scale;
        EXPECT_EQ(t.dx, 0);
        EXPECT_EQ(t.centerX, 400.0f);
    }
    EXPECT_FLOAT_EQ(scale, 4.0f);

    // A quarter turn about the same midpoint.
    touch(2, {400, 40}, {400, 440});
    handler.update();
    rotation += handler.getTransform().rotation;
    EXPECT_NEAR(rotation, 90.0f, 1e-3f);
}

TEST_F(PanelTouch, CoincidentFingersNeverZeroTheScale)
{
    touch(2, {200, 200}, {200, 200});
    touch(2, {100, 200}, {300, 200}); // from one point: ratio 1, rotation still follows
    EXPECT_EQ(mapScale, 1.0f);
    touch(2, {200, 200}, {200, 200}); // fingers meet
    EXPECT_EQ(mapScale, 1.0f);
    touch(2, {150, 200}, {250, 200});
    touch(2, {100, 200}, {300, 200});
    EXPECT_FLOAT_EQ(mapScale, 2.0f);
}

TEST_F(PanelTouch, AReadingThatCannotBeTrustedKeepsTheTouchWhereItWas)
{
    touch(1, {100, 100});
    touch(1, {110, 100});
    x = y = -1;
    EXPECT_TRUE(touch(9, {200, 100})) << "more points than the chip tracks";
    EXPECT_TRUE(touch(1, {900, 100})) << "off the panel";
    EXPECT_TRUE(touch(2, {120, 100}, {120, board::panelHeight})) << "second finger off the panel";
    panel.answers = false;
    panel.transfers = 0;
    HAL_GPIO_FallingEdgeCallback(0x20);
    EXPECT_TRUE(controller.sampleTouch(x, y)) << "no answer on the bus";
    EXPECT_EQ(panel.transfers, 1) << "a bus that does not answer is not asked again in the same sample";
    EXPECT_EQ(x, -1) << "the framework keeps the last sound point";
    EXPECT_EQ(mapTx, 10.0f);
    EXPECT_TRUE(mapTouchReady);
    panel.answers = true;

    EXPECT_TRUE(touch(1, {130, 100}));
    EXPECT_EQ(mapTx, 30.0f) << "the drag continues from its last sound reading";
    EXPECT_TRUE(touch(5, {130, 100})) << "five points the chip can track";

    // A finger that was up stays up.
    EXPECT_FALSE(touch(0));
    EXPECT_FALSE(touch(1, {900, 100}));
    EXPECT_FALSE(touch(12, {100, 100}));
    EXPECT_FALSE(mapTouchReady);
}

TEST_F(PanelTouch, WithoutEdgesTheStatusIsPolledAndOnlyALongSilenceEndsATouch)
{
    touch(1, {100, 100});
    touch(1, {110, 100});
    // The line stays low: no more edges; the chip's newest reading waits.
    report(1, {300, 200});
    x = y = -1;
    for (std::uint32_t i = 1; i < PanelTouchController::pollPeriod; ++i) {
        EXPECT_TRUE(controller.sampleTouch(x, y)) << "the finger is still down";
    }
    EXPECT_EQ(x, -1);
    EXPECT_TRUE(controller.sampleTouch(x, y));
    EXPECT_EQ(x, 300);
    EXPECT_EQ(mapTx, 200.0f);

    // Read and acknowledged: nothing new comes. Short of the limit the
    // touch holds; at it the release may have been lost: the touch ends.
    for (std::uint32_t i = 1; i < PanelTouchController::staleAfter; ++i) {
        EXPECT_TRUE(controller.sampleTouch(x, y)) << "sample " << i;
    }
    EXPECT_FALSE(controller.sampleTouch(x, y));
    EXPECT_FALSE(mapTouchReady);
    EXPECT_EQ(mapTx, 200.0f);

    // A finger elsewhere starts a new drag instead of jumping the map.
    EXPECT_TRUE(touch(1, {600, 400}));
    EXPECT_EQ(mapTx, 0.0f);
}

} // namespace
