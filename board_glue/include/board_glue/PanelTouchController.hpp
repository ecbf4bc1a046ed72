#pragma once

#include <cstdint>

#include "board_glue/TouchPanelPort.hpp"
#include "ui/HAL.hpp"
#include "ui/TouchController.hpp"

namespace target {

// Touch controller of the board's capacitive panel: reports the first finger
// to the GUI framework and recognises the one- and two-finger map gestures,
// publishing them in the globals of ui/TouchGestures.hpp.
class PanelTouchController : public ui::TouchController {
public:
    explicit PanelTouchController(TouchPanelPort& panelPort) : port(panelPort) {}

    // The bus is set up at start-up; the chip needs nothing.
    void init() override {}

    // True while at least one finger is down. x and y receive the raw panel
    // position of the first finger on the one-finger paths only. A sample
    // without a sound reading keeps the previous answer.
    bool sampleTouch(std::int32_t& x, std::int32_t& y) override;

    static constexpr std::uint16_t statusRegister = 0x814E;
    static constexpr std::uint16_t firstPointRegister = 0x8150;
    static constexpr std::uint16_t secondPointRegister = 0x8158;
    static constexpr std::uint8_t bufferReady = 0x80; // status: the chip has a new reading
    static constexpr std::int32_t maxPoints = 5;      // the most the chip tracks
    static constexpr std::uint16_t panelWidth = ui::HAL::DISPLAY_WIDTH;
    static constexpr std::uint16_t panelHeight = ui::HAL::DISPLAY_HEIGHT;
    // Samples without an edge before the status is read anyway.
    static constexpr std::uint32_t pollPeriod = 4;
    // Samples without a sound reading after which a touch is over.
    static constexpr std::uint32_t staleAfter = 8;

private:
    struct PanelPoint {
        float x;
        float y;
    };

    static bool onPanel(const std::uint8_t* point);
    bool withoutReading();
    void release();
    void oneFinger(PanelPoint p1);
    void twoFingersDown(PanelPoint p1, PanelPoint p2);
    void twoFingersMove(PanelPoint p1, PanelPoint p2);

    TouchPanelPort& port;
    std::int32_t prevTouches = 0;
    PanelPoint prevP1{0.0f, 0.0f};
    PanelPoint prevP2{0.0f, 0.0f};
    float prevScale = 1.0f;
    float prevRotation = 0.0f;
    std::uint32_t samplesWithoutEdge = 0;
    std::uint32_t samplesSinceReading = 0;
};

} // namespace target
