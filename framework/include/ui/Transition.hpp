#pragma once

namespace ui {

class Container;

// A screen-change effect. The application ticks only the transition until it
// is done.
class Transition {
public:
    virtual ~Transition() = default;
    virtual void handleTickEvent() { done = true; }
    virtual void tearDown() {}
    virtual void init() {}
    virtual void invalidate() {}
    virtual void setScreenContainer(Container& container) { screenContainer = &container; }

    bool isDone() const { return done; }
    // Whether the application has run the after-transition steps.
    bool isFinishHandled() const { return finishHandled; }
    void setFinishHandled() { finishHandled = true; }

protected:
    Container* screenContainer = nullptr;
    bool done = false;

private:
    bool finishHandled = false;
};

// No effect: done on its first tick; redraws the whole new screen.
class NoTransition : public Transition {
public:
    void invalidate() override;
};

} // namespace ui
