#pragma once

namespace ui {

class Presenter {
public:
    virtual ~Presenter() = default;
    virtual void activate() {}
    virtual void deactivate() {}
};

} // namespace ui
