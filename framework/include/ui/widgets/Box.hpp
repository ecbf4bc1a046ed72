#pragma once

#include "ui/Widget.hpp"

namespace ui {

// A filled rectangle; the colour's alpha byte sets its opacity.
class Box : public Widget {
public:
    Box() = default;
    Box(std::int16_t width, std::int16_t height, colortype argb) : color(argb) { setWidthHeight(width, height); }

    void setColor(colortype argb) { color = argb; }
    colortype getColor() const { return color; }

    void draw(const Rect& invalidatedArea) const override;
    Rect getSolidRect() const override;

private:
    colortype color = 0xFF000000;
};

} // namespace ui
