#pragma once

#include "board_glue/GeneratedHAL.hpp"
#include "board_glue/KeySampler.hpp"
#include "ui/MCUInstrumentation.hpp"

namespace target {

// The processor's cycle counter as the HAL's load instrumentation.
class CycleCounterInstrumentation : public ui::MCUInstrumentation {
public:
    void init() override;
    std::uint32_t getCPUCycles() override;
};

// The application's layer over the generated HAL: processor-load
// measurement, the key sampler and the debug signals around each frame.
class BoardHAL : public GeneratedHAL {
public:
    using GeneratedHAL::GeneratedHAL;

    void initialize() override;
    bool beginFrame() override;
    void endFrame() override;

private:
    CycleCounterInstrumentation mcuInstr;
    ui::KeySampler btnctrl;
    bool frameToggle = false;
};

} // namespace target
