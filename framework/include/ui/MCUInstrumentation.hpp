#pragma once

#include <cstdint>

namespace ui {

// The processor's cycle counter, read to measure how busy the processor is.
class MCUInstrumentation {
public:
    virtual ~MCUInstrumentation() = default;
    virtual void init() = 0;
    virtual std::uint32_t getCPUCycles() = 0;
};

// Reports a key press once per press; the board's buttons, if any.
class ButtonController {
public:
    virtual ~ButtonController() = default;
    virtual void init() = 0;
    virtual bool sample(std::uint8_t& key) = 0;
};

} // namespace ui
