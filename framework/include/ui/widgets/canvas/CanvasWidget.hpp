#pragma once

#include "ui/Widget.hpp"
#include "ui/widgets/canvas/AbstractPainterRGB565.hpp"
#include "ui/widgets/canvas/CanvasSpans.hpp"

namespace ui {

// A widget whose shape is rendered as per-pixel coverage and coloured by a
// painter. With span storage attached, the painted pixels are kept there
// and every redraw blends them (by the blitter); only rows whose coverage
// changed are rendered again. Without it, or when the shape does not fit
// the storage, the processor renders the shape on each redraw.
class CanvasWidget : public Widget {
public:
    void setPainter(const AbstractPainterRGB565& p) { painter = &p; }
    void setAlpha(std::uint8_t value) { alpha = value; }
    std::uint8_t getAlpha() const { return alpha; }
    // The storage must outlive the widget's use of it; null detaches it.
    void setSpanStorage(CanvasSpans* storage) { spans = storage; }

    void draw(const Rect& invalidatedArea) const override;
    Rect getSolidRect() const override { return Rect(); }

protected:
    // Work the rows of one rendering share, done before the first.
    virtual void prepareRender() const {}
    // Coverage (0..255) of `count` pixels of row y from column x (widget
    // coordinates), after prepareRender().
    virtual void renderRow(std::int16_t x, std::int16_t y, std::int16_t count, std::uint8_t* covers) const = 0;
    // What the widget's coverage depends on (its own fields); the canvas
    // adds its size, alpha and painter.
    virtual void describeShape(CanvasShapeKey& key) const = 0;
    // The shape described by `before` changed in rows y0 to y1
    // (exclusive) only: kept pixels of other rows stay.
    void rowsChanged(const CanvasShapeKey& before, std::int16_t y0, std::int16_t y1);
    CanvasShapeKey shapeKey() const;

private:
    // Renders rows y0 to y1 into the span storage; false when they do not fit.
    bool fillRows(std::int16_t y0, std::int16_t y1) const;
    // Appends the painted stretches of `count` colours from (x, y).
    bool appendPainted(std::int16_t x, std::int16_t y, const colortype* argb, std::int16_t count) const;
    // Brings the kept pixels up to the shape; false when they cannot show it.
    bool spansShowShape() const;
    void drawSpans(const Rect& invalidatedArea) const;
    void drawByProcessor(const Rect& invalidatedArea) const;

    const AbstractPainterRGB565* painter = nullptr;
    std::uint8_t alpha = 255;
    CanvasSpans* spans = nullptr;
    // Rows changed since the kept pixels showed `changedFrom`.
    mutable bool rowsPending = false;
    CanvasShapeKey changedFrom;
    std::int16_t changedFirst = 0;
    std::int16_t changedEnd = 0;
};

// An arc or ring. Centre, radius, line width and angles are fixed point with
// 5 fractional bits; angles in degrees, 0 at twelve o'clock, clockwise. A line
// width of 0 fills the sector.
class Circle : public CanvasWidget {
public:
    void setCenter(float x, float y);
    void setRadius(float r);
    void setLineWidth(float width);
    void setArc(float startDegrees, float endDegrees);
    // Moves the arc and invalidates what changed: with the start kept, only
    // the part between the old and the new end.
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
    void prepareRender() const override { geometry = shape(); }
    void renderRow(std::int16_t x, std::int16_t y, std::int16_t count, std::uint8_t* covers) const override;
    void describeShape(CanvasShapeKey& key) const override;

private:
    static std::int32_t toFixed(float value) { return static_cast<std::int32_t>(value * 32.0f); }
    // The ring's geometry in pixels and the arc's end rays as unit vectors.
    struct Shape {
        float cx, cy, r, half, inner, outer, start, span;
        bool fullCircle, roundCaps, wideArc;
        float capX[2], capY[2];
        float startRayX, startRayY, endRayX, endRayY;
    };
    // A row's samples: their y and their squared distance from the centre
    // along y.
    struct SampleRows {
        float y[4];
        float squaredY[4];
    };
    Shape shape() const;
    // Coverage of pixel x of the sample rows' row, its centre `distance`
    // from the circle's, on `side` of the arc's end rays (1 inside the
    // angle, -1 outside, 0 undecided).
    std::uint8_t pixelCoverage(const Shape& g, const SampleRows& rows, std::int16_t x, int side, float distance) const;
    // Whether a sample of the pixel centred at (x, y) can lie in the cap.
    static bool nearCap(const Shape& g, int cap, float x, float y);
    static bool inCap(const Shape& g, float x, float y);
    // Degrees clockwise from the arc's start to the direction (dx, dy).
    static float angleFromStart(const Shape& g, float dx, float dy);
    // Whether the direction (dx, dy) lies within the arc's angle.
    static bool inArc(const Shape& g, float dx, float dy);
    // The pixels the band between two angles and the caps at both can touch.
    Rect arcBounds(const Shape& g, float fromDegrees, float toDegrees) const;

    std::int32_t centerX = 0;
    std::int32_t centerY = 0;
    std::int32_t radius = 0;
    std::int32_t lineWidth = 0;
    std::int32_t arcStart = 0;
    std::int32_t arcEnd = 360 * 32;
    std::uint8_t capPrecision = 180;
    mutable Shape geometry{};
};

} // namespace ui
