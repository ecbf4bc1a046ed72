#include "common/FrontendApplication.hpp"

#include "model/Model.hpp"

void FrontendApplication::handleTickEvent()
{
    model.tick();
    FrontendApplicationBase::handleTickEvent();
}
