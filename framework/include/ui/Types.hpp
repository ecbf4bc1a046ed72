#pragma once

#include <algorithm>
#include <cstdint>

namespace ui {

// 0xAARRGGBB.
using colortype = std::uint32_t;

struct Point {
    std::int16_t x = 0;
    std::int16_t y = 0;
};

// Half-open rectangle: (px, py) is inside when x <= px < x + width and
// y <= py < y + height.
struct Rect {
    std::int16_t x = 0;
    std::int16_t y = 0;
    std::int16_t width = 0;
    std::int16_t height = 0;

    constexpr Rect() = default;
    constexpr Rect(std::int16_t rx, std::int16_t ry, std::int16_t w, std::int16_t h) : x(rx), y(ry), width(w), height(h)
    {
    }

    constexpr std::int16_t right() const { return static_cast<std::int16_t>(x + width); }
    constexpr std::int16_t bottom() const { return static_cast<std::int16_t>(y + height); }
    constexpr bool isEmpty() const { return width <= 0 || height <= 0; }

    constexpr bool intersect(std::int16_t px, std::int16_t py) const
    {
        return px >= x && px < right() && py >= y && py < bottom();
    }
    constexpr bool intersect(const Rect& other) const
    {
        return !isEmpty() && !other.isEmpty() && other.x < right() && x < other.right() && other.y < bottom() &&
               y < other.bottom();
    }
    constexpr bool includes(const Rect& other) const
    {
        return other.isEmpty() ||
               (!isEmpty() && other.x >= x && other.y >= y && other.right() <= right() && other.bottom() <= bottom());
    }

    // The common part; empty (all zero) when the two do not meet.
    constexpr Rect operator&(const Rect& other) const
    {
        if (!intersect(other)) {
            return Rect();
        }
        const std::int16_t nx = std::max(x, other.x);
        const std::int16_t ny = std::max(y, other.y);
        return Rect(nx, ny, static_cast<std::int16_t>(std::min(right(), other.right()) - nx),
                    static_cast<std::int16_t>(std::min(bottom(), other.bottom()) - ny));
    }
    constexpr Rect& operator&=(const Rect& other) { return *this = *this & other; }

    // Grows to the smallest rectangle holding both.
    constexpr void expandToFit(const Rect& other)
    {
        if (other.isEmpty()) {
            return;
        }
        if (isEmpty()) {
            *this = other;
            return;
        }
        const std::int16_t nx = std::min(x, other.x);
        const std::int16_t ny = std::min(y, other.y);
        width = static_cast<std::int16_t>(std::max(right(), other.right()) - nx);
        height = static_cast<std::int16_t>(std::max(bottom(), other.bottom()) - ny);
        x = nx;
        y = ny;
    }

    constexpr bool operator==(const Rect&) const = default;
};

} // namespace ui
