#pragma once

#include <cstdint>

namespace mcu {

// How deep the main stack has reached: paint() fills the unused words below
// the stack pointer with a pattern; deepestBytes() finds the lowest word
// overwritten since and returns its distance from the stack's top.
class StackDepth {
public:
    static void paint();
    static std::uint32_t deepestBytes();
};

} // namespace mcu
