#pragma once

#include <string>
#include <vector>

#include "model/ModelListener.hpp"

// Records the model's notifications by name, in order.
class RecordingListener : public ModelListener {
public:
    void mapPositionChanged() override { calls.emplace_back("mapPositionChanged"); }
    void autoOrderPizza() override { calls.emplace_back("autoOrderPizza"); }
    void currentStepChanged() override { calls.emplace_back("currentStepChanged"); }
    void moveModeChanged() override { calls.emplace_back("moveModeChanged"); }
    void pizzaStateChanged() override { calls.emplace_back("pizzaStateChanged"); }
    void dogPositionsChanged() override { calls.emplace_back("dogPositionsChanged"); }

    std::vector<std::string> calls;
};
