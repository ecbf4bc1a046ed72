#pragma once

#include <cstdint>

namespace vecta {

// Describes a buffer its owner provides; the reader places one layer's key
// and value tables in it at a time.
struct MemoryArena {
    std::uint8_t* base;
    std::uint32_t capacity;
    std::uint32_t used;
};

} // namespace vecta
