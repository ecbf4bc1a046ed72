#pragma once

#include <cstdint>

#include "ui/Types.hpp"

namespace ui {

// A fixed set of areas. A full set merges the new area into the first one,
// so it may grow beyond what was asked but never loses an area.
template <std::uint16_t Capacity> class RectList {
public:
    void add(const Rect& area)
    {
        if (area.isEmpty()) {
            return;
        }
        for (std::uint16_t i = 0; i < count; ++i) {
            if (areas[i].includes(area)) {
                return;
            }
        }
        std::uint16_t kept = 0;
        for (std::uint16_t i = 0; i < count; ++i) {
            if (!area.includes(areas[i])) {
                areas[kept++] = areas[i];
            }
        }
        count = kept;
        if (count < Capacity) {
            areas[count++] = area;
            return;
        }
        Rect merged = areas[0];
        merged.expandToFit(area);
        for (std::uint16_t i = 1; i < count; ++i) {
            areas[i - 1] = areas[i];
        }
        --count;
        add(merged);
    }

    void clear() { count = 0; }
    bool isEmpty() const { return count == 0; }
    std::uint16_t size() const { return count; }
    const Rect& operator[](std::uint16_t i) const { return areas[i]; }

private:
    Rect areas[Capacity];
    std::uint16_t count = 0;
};

} // namespace ui
