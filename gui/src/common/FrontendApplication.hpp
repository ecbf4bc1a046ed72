#pragma once

#include "common/FrontendApplicationBase.hpp"
#include "ui/Application.hpp"

// The application: the one place where the model is ticked.
class FrontendApplication : public FrontendApplicationBase {
public:
    FrontendApplication(Model& m, FrontendHeap& heap) : FrontendApplicationBase(m, heap) {}

    // The model first, so the screen's tick sees this frame's state.
    void handleTickEvent() override;
};

// The running application, for the views' screen requests.
inline FrontendApplication& application()
{
    return *static_cast<FrontendApplication*>(ui::Application::getInstance());
}
