#pragma once

#include "ui/MCUInstrumentation.hpp"

namespace ui {

// The board's keys as the framework polls them each frame. This board has
// none, so no key is ever read.
class KeySampler : public ButtonController {
public:
    void init() override {}
    bool sample(std::uint8_t&) override { return false; }
};

} // namespace ui
