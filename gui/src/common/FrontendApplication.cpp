#include "common/FrontendApplication.hpp"

#include "model/Model.hpp"
#include "platform/bsp.h"

void FrontendApplication::handleTickEvent()
{
    bsp::setDebugSignal(bsp::DebugSignal::ModelTick, true);
    model.tick();
    bsp::setDebugSignal(bsp::DebugSignal::ModelTick, false);
    FrontendApplicationBase::handleTickEvent();
}
