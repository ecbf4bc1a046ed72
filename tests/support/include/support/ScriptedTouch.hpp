#pragma once

#include <cstdint>
#include <deque>

#include "ui/TouchController.hpp"

namespace fixture {

// Replays touch samples, one per frame; no sample means no finger.
class ScriptedTouch : public ui::TouchController {
public:
    struct Sample {
        bool down;
        std::int32_t x;
        std::int32_t y;
    };
    void init() override {}
    bool sampleTouch(std::int32_t& x, std::int32_t& y) override
    {
        if (samples.empty()) {
            return false;
        }
        const Sample s = samples.front();
        samples.pop_front();
        if (s.down) {
            x = s.x;
            y = s.y;
        }
        return s.down;
    }
    std::deque<Sample> samples;
};

} // namespace fixture
