#pragma once

class Model;

// Base of every presenter: the model announces its changes here. The
// defaults do nothing, so a presenter overrides only what it shows.
class ModelListener {
public:
    virtual ~ModelListener() = default;

    void bind(Model* boundModel) { model = boundModel; }

    virtual void mapPositionChanged() {}
    virtual void autoOrderPizza() {}
    virtual void currentStepChanged() {}
    virtual void moveModeChanged() {}
    virtual void pizzaStateChanged() {}
    virtual void dogPositionsChanged() {}
    virtual void ownerPositionsChanged() {}

protected:
    Model* model = nullptr;
};
