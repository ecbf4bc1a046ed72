#pragma once

#include "ui/Widget.hpp"
#include "ui/widgets/canvas/AbstractPainterRGB565.hpp"

namespace ui {

// A widget whose shape is rendered as per-pixel coverage and coloured by a
// painter.
class CanvasWidget : public Widget {
public:
    void setPainter(const AbstractPainterRGB565& p) { painter = &p; }
    void setAlpha(std::uint8_t value) { alpha = value; }
    std::uint8_t getAlpha() const { return alpha; }

    void draw(const Rect& invalidatedArea) const override;
    Rect getSolidRect() const override { return Rect(); }

protected:
    // Coverage (0..255) of `count` pixels of row y from column x (widget
    // coordinates).
    virtual void renderRow(std::int16_t x, std::int16_t y, std::int16_t count, std::uint8_t* covers) const = 0;

private:
    const AbstractPainterRGB565* painter = nullptr;
    std::uint8_t alpha = 255;
};

// An arc or ring. Centre, radius, line width and angles are fixed point with
// 5 fractional bits; angles in degrees, 0 at twelve o'clock, clockwise. A line
// width of 0 fills the sector.
class Circle : public CanvasWidget {
public:
    void setCenter(float x, float y);
    void setRadius(float r) { radius = toFixed(r); }
    void setLineWidth(float width) { lineWidth = toFixed(width); }
    void setArc(float startDegrees, float endDegrees);
    // Moves the arc and invalidates the change.
    void updateArc(float startDegrees, float endDegrees);
    // Degrees per step of the rounded line caps, clamped to 1..180; 180
    // leaves the ends square.
    void setCapPrecision(int precision);

    std::int32_t getCenterXFixed() const { return centerX; }
    std::int32_t getCenterYFixed() const { return centerY; }
    std::int32_t getRadiusFixed() const { return radius; }
    std::int32_t getLineWidthFixed() const { return lineWidth; }
    std::int32_t getArcStartFixed() const { return arcStart; }
    std::int32_t getArcEndFixed() const { return arcEnd; }
    std::uint8_t getCapPrecision() const { return capPrecision; }

protected:
    void renderRow(std::int16_t x, std::int16_t y, std::int16_t count, std::uint8_t* covers) const override;

private:
    static std::int32_t toFixed(float value) { return static_cast<std::int32_t>(value * 32.0f); }
    // The ring's geometry in pixels, worked out once per row.
    struct Shape {
        float cx, cy, r, half, inner, outer, start, span;
        bool fullCircle, roundCaps;
        float capX[2], capY[2];
    };
    Shape shape() const;
    static bool inside(const Shape& g, float x, float y);
    static bool inBand(const Shape& g, float x, float y);
    // Degrees clockwise from the arc's start to the direction (dx, dy).
    static float angleFromStart(const Shape& g, float dx, float dy);
    // Whether a whole pixel, seen from the centre, lies within the arc.
    static bool arcHolds(const Shape& g, float dx, float dy, float distance);

    std::int32_t centerX = 0;
    std::int32_t centerY = 0;
    std::int32_t radius = 0;
    std::int32_t lineWidth = 0;
    std::int32_t arcStart = 0;
    std::int32_t arcEnd = 360 * 32;
    std::uint8_t capPrecision = 180;
};

} // namespace ui
