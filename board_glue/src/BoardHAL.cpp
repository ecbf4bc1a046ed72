#include "board_glue/BoardHAL.hpp"

#include "platform/bsp.h"

namespace target {

void CycleCounterInstrumentation::init()
{
    bsp::cycleCounterTraceEnable();
    bsp::cycleCounterUnlock();
    bsp::cycleCounterStart();
}

std::uint32_t CycleCounterInstrumentation::getCPUCycles()
{
    return bsp::cycleCounter();
}

void BoardHAL::initialize()
{
    GeneratedHAL::initialize();
    mcuInstr.init();
    setMCUInstrumentation(&mcuInstr);
    enableMCULoadCalculation(true);
    btnctrl.init();
    setButtonController(&btnctrl);
}

bool BoardHAL::beginFrame()
{
    bsp::setDebugSignal(bsp::DebugSignal::RenderTime, true);
    return GeneratedHAL::beginFrame();
}

void BoardHAL::endFrame()
{
    GeneratedHAL::endFrame();
    frameToggle = !frameToggle;
    bsp::setDebugSignal(bsp::DebugSignal::FrameRate, frameToggle);
    bsp::setDebugSignal(bsp::DebugSignal::RenderTime, false);
}

} // namespace target
