#pragma once

#include <cstdint>

namespace vecta {

// A tile as the map widget reads it: its segment buffer and the bytes used.
struct MapTile {
    std::uint32_t x;
    std::uint32_t y;
    std::uint8_t zoom;
    const char* data;
    std::uint32_t size; // 0: nothing to draw
};

// Where the map widget gets its tiles from.
class MapStore {
public:
    virtual ~MapStore() = default;
    virtual MapTile getTile(std::uint32_t x, std::uint32_t y, std::uint8_t zoom) const = 0;
};

} // namespace vecta
