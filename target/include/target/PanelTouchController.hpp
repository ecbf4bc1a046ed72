#pragma once

#include <cstdint>

#include "target/TouchPanelPort.hpp"
#include "ui/TouchController.hpp"

namespace target {

// Touch controller of the board's capacitive panel: reports the first finger
// to the GUI framework and recognises the one- and two-finger map gestures,
// publishing them in the globals of TouchGestures.hpp.
class PanelTouchController : public ui::TouchController {
public:
    explicit PanelTouchController(TouchPanelPort& panelPort) : port(panelPort) {}

    // The bus is set up at start-up; the chip needs nothing.
    void init() override {}

    // True while at least one finger is down. x and y receive the raw panel
    // position of the first finger on the one-finger paths only.
    bool sampleTouch(std::int32_t& x, std::int32_t& y) override;

    static constexpr std::uint16_t statusRegister = 0x814E;
    static constexpr std::uint16_t firstPointRegister = 0x8150;
    static constexpr std::uint16_t secondPointRegister = 0x8158;

private:
    struct PanelPoint {
        float x;
        float y;
    };

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
};

} // namespace target
