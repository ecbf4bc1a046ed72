#pragma once

#include <cstdint>

#include "ui/Types.hpp"

namespace ui {

// The parts of `from` outside `hole`: at most four rectangles (the bands
// above and below the hole, then its left and right sides), written to
// `out`; returns how many.
constexpr std::uint16_t subtractRect(const Rect& from, const Rect& hole, Rect (&out)[4])
{
    const Rect common = from & hole;
    if (common.isEmpty()) {
        out[0] = from;
        return from.isEmpty() ? 0 : 1;
    }
    std::uint16_t count = 0;
    const auto add = [&](std::int16_t x, std::int16_t y, std::int32_t right, std::int32_t bottom) {
        const Rect part(x, y, static_cast<std::int16_t>(right - x), static_cast<std::int16_t>(bottom - y));
        if (!part.isEmpty()) {
            out[count++] = part;
        }
    };
    add(from.x, from.y, from.right(), common.y);
    add(from.x, common.bottom(), from.right(), from.bottom());
    add(from.x, common.y, common.x, common.bottom());
    add(common.right(), common.y, from.right(), common.bottom());
    return count;
}

} // namespace ui
