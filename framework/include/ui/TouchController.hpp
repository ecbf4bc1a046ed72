#pragma once

#include <cstdint>

namespace ui {

class TouchController {
public:
    virtual ~TouchController() = default;
    virtual void init() = 0;
    // True while a finger is down; x and y get the first point when known.
    virtual bool sampleTouch(std::int32_t& x, std::int32_t& y) = 0;
};

} // namespace ui
