// The circle's coverage: 4 x 4 samples per pixel, each inside when it lies
// in the band between the inner and outer radius and within the arc's angle
// or a round cap. The angle is decided by which side of the arc's end rays
// a sample lies on; only a sample within rounding of a ray's line takes the
// exact angle, so the result is that of the angle for every sample. Whole
// pixels clear of every edge skip their samples.

#include <algorithm>
#include <cmath>
#include <limits>

#include "portable/Math.hpp"
#include "ui/widgets/canvas/CanvasWidget.hpp"

namespace ui {

namespace {

constexpr int samples = 4;
// Each sample's offset within its pixel along an axis: (k + 0.5) / 4.
constexpr float sampleOffsets[samples] = {0.125f, 0.375f, 0.625f, 0.875f};
// Farthest a sample lies from its pixel's centre (3/8 of a pixel along each
// axis: 0.53), with room for float rounding.
constexpr float sampleReach = 0.55f;
// Nearer than this (in pixels) to a ray's line, a sample's side is left to
// the exact angle; the angle's own rounding is some thousand times smaller.
constexpr float rayTolerance = 0.01f;
constexpr float degreesPerRadian = 57.29578f;

float cross(float ax, float ay, float bx, float by)
{
    return ax * by - ay * bx;
}

// Which side of the arc's end rays the direction (dx, dy) lies on, all
// points within `margin` of it included: 1 within the arc's angle, -1
// outside it, 0 undecided.
template <typename Shape> inline int arcSide(const Shape& g, float dx, float dy, float margin)
{
    if (!g.wideArc) {
        const float fromStart = cross(g.startRayX, g.startRayY, dx, dy);
        const float toEnd = cross(dx, dy, g.endRayX, g.endRayY);
        if (fromStart > margin && toEnd > margin) {
            return 1;
        }
        return fromStart < -margin || toEnd < -margin ? -1 : 0;
    }
    // Wider than a half turn: the gap between the end and the start is the
    // narrow wedge.
    const float fromEnd = cross(g.endRayX, g.endRayY, dx, dy);
    const float toStart = cross(dx, dy, g.startRayX, g.startRayY);
    if (fromEnd > margin && toStart > margin) {
        return -1;
    }
    return fromEnd < -margin || toStart < -margin ? 1 : 0;
}

} // namespace

void Circle::setCenter(float x, float y)
{
    centerX = toFixed(x);
    centerY = toFixed(y);
}

void Circle::setRadius(float r)
{
    radius = toFixed(r);
}

void Circle::setLineWidth(float width)
{
    lineWidth = toFixed(width);
}

void Circle::setArc(float startDegrees, float endDegrees)
{
    arcStart = toFixed(startDegrees);
    arcEnd = toFixed(endDegrees);
}

void Circle::setCapPrecision(int precision)
{
    capPrecision = static_cast<std::uint8_t>(std::clamp(precision, 1, 180));
}

void Circle::describeShape(CanvasShapeKey& key) const
{
    key.values[0] = centerX;
    key.values[1] = centerY;
    key.values[2] = radius;
    key.values[3] = lineWidth;
    key.values[4] = arcStart;
    key.values[5] = arcEnd;
    key.values[6] = capPrecision;
}

void Circle::updateArc(float startDegrees, float endDegrees)
{
    const CanvasShapeKey before = shapeKey();
    const std::int32_t oldEnd = arcEnd;
    const std::int32_t oldFirst = std::min(arcStart, arcEnd);
    const bool startKept = toFixed(startDegrees) == arcStart;
    setArc(startDegrees, endDegrees);
    // The angles count from the arc's first end: when it moves, all of them do.
    if (!startKept || std::min(arcStart, arcEnd) != oldFirst) {
        invalidate();
        return;
    }
    if (oldEnd == arcEnd) {
        return;
    }
    const Shape g = shape();
    Rect changed = arcBounds(g, static_cast<float>(std::min(oldEnd, arcEnd)) / 32.0f,
                             static_cast<float>(std::max(oldEnd, arcEnd)) / 32.0f);
    rowsChanged(before, changed.y, changed.bottom());
    invalidateRect(changed);
}

Circle::Shape Circle::shape() const
{
    Shape g{};
    g.cx = static_cast<float>(centerX) / 32.0f;
    g.cy = static_cast<float>(centerY) / 32.0f;
    g.r = static_cast<float>(radius) / 32.0f;
    g.half = static_cast<float>(lineWidth) / 64.0f;
    g.inner = lineWidth == 0 ? 0.0f : g.r - g.half;
    g.outer = lineWidth == 0 ? g.r : g.r + g.half;
    g.start = std::fmod(static_cast<float>(std::min(arcStart, arcEnd)) / 32.0f, 360.0f);
    g.span = static_cast<float>(std::abs(arcEnd - arcStart)) / 32.0f;
    g.fullCircle = g.span >= 360.0f;
    g.roundCaps = lineWidth != 0 && !g.fullCircle && capPrecision < 180;
    g.wideArc = g.span > 180.0f;
    const std::int32_t ends[2] = {arcStart, arcEnd};
    for (int i = 0; i < 2; ++i) {
        const float a = static_cast<float>(ends[i]) / 32.0f / degreesPerRadian;
        g.capX[i] = g.cx + portable::sin(a) * g.r;
        g.capY[i] = g.cy - portable::cos(a) * g.r;
    }
    const float startAngle = g.start / degreesPerRadian;
    const float endAngle = (g.start + g.span) / degreesPerRadian;
    g.startRayX = portable::sin(startAngle);
    g.startRayY = -portable::cos(startAngle);
    g.endRayX = portable::sin(endAngle);
    g.endRayY = -portable::cos(endAngle);
    return g;
}

bool Circle::inCap(const Shape& g, float x, float y)
{
    for (int i = 0; i < 2; ++i) {
        if ((x - g.capX[i]) * (x - g.capX[i]) + (y - g.capY[i]) * (y - g.capY[i]) <= g.half * g.half) {
            return true;
        }
    }
    return false;
}

float Circle::angleFromStart(const Shape& g, float dx, float dy)
{
    const float angle = portable::atan2(dx, -dy) * degreesPerRadian;
    float relative = std::fmod(angle - g.start, 360.0f);
    if (relative < 0.0f) {
        relative += 360.0f;
    }
    return relative;
}

bool Circle::inArc(const Shape& g, float dx, float dy)
{
    const int side = arcSide(g, dx, dy, rayTolerance);
    return side != 0 ? side > 0 : angleFromStart(g, dx, dy) <= g.span;
}

bool Circle::nearCap(const Shape& g, int cap, float x, float y)
{
    const float fromCapX = x - g.capX[cap];
    const float fromCapY = y - g.capY[cap];
    const float reach = g.half + sampleReach;
    return fromCapX * fromCapX + fromCapY * fromCapY <= reach * reach;
}

std::uint8_t Circle::pixelCoverage(const Shape& g, const SampleRows& rows, std::int16_t x, int side,
                                   float distance) const
{
    if (side > 0 && distance - sampleReach >= g.inner && distance + sampleReach <= g.outer) {
        return 255;
    }
    float sampleX[samples];
    float squaredX[samples];
    for (int sx = 0; sx < samples; ++sx) {
        sampleX[sx] = static_cast<float>(x) + sampleOffsets[sx];
        const float fromCenter = sampleX[sx] - g.cx;
        squaredX[sx] = fromCenter * fromCenter;
    }
    int hits = 0;
    for (int sy = 0; sy < samples; ++sy) {
        for (int sx = 0; sx < samples; ++sx) {
            // inBand's own arithmetic, its squares shared by the row.
            const float sampleDistance = std::sqrt(squaredX[sx] + rows.squaredY[sy]);
            if (sampleDistance < g.inner || sampleDistance > g.outer) {
                continue;
            }
            if (side > 0 || inArc(g, sampleX[sx] - g.cx, rows.y[sy] - g.cy) ||
                (g.roundCaps && inCap(g, sampleX[sx], rows.y[sy]))) {
                ++hits;
            }
        }
    }
    return static_cast<std::uint8_t>(hits * 255 / (samples * samples));
}

void Circle::renderRow(std::int16_t x, std::int16_t y, std::int16_t count, std::uint8_t* covers) const
{
    const Shape& g = geometry;
    std::fill(covers, covers + count, std::uint8_t{0});
    const float dy = static_cast<float>(y) + 0.5f - g.cy;
    // Rows clear of the band are empty.
    if (std::abs(dy) > g.outer + 1.0f) {
        return;
    }
    SampleRows rows{};
    const float rowCenter = static_cast<float>(y) + 0.5f;
    for (int sy = 0; sy < samples; ++sy) {
        rows.y[sy] = static_cast<float>(y) + sampleOffsets[sy];
        const float fromCenter = rows.y[sy] - g.cy;
        rows.squaredY[sy] = fromCenter * fromCenter;
    }
    // Whether a pixel of this row can reach each round cap at all.
    const float capReach = g.half + sampleReach + 1.0f;
    const bool capRows[2] = {g.roundCaps && std::abs(rowCenter - g.capY[0]) <= capReach,
                             g.roundCaps && std::abs(rowCenter - g.capY[1]) <= capReach};
    // Only pixels within a pixel of the band can be covered: the columns
    // inside the outer circle and outside the inner one, with a column to
    // spare each side.
    const float outerReach = std::sqrt(std::max(0.0f, (g.outer + 1.0f) * (g.outer + 1.0f) - dy * dy)) + 1.0f;
    const float innerSquared = (g.inner - 1.0f) * (g.inner - 1.0f) - dy * dy;
    const float innerReach = g.inner > 1.0f && innerSquared > 0.0f ? std::sqrt(innerSquared) - 1.0f : 0.0f;
    const std::int32_t first = std::max<std::int32_t>(x, static_cast<std::int32_t>(std::floor(g.cx - outerReach)));
    const std::int32_t last =
        std::min<std::int32_t>(x + count, static_cast<std::int32_t>(std::ceil(g.cx + outerReach)));
    for (std::int32_t px = first; px < last; ++px) {
        const float dx = static_cast<float>(px) + 0.5f - g.cx;
        if (std::abs(dx) < innerReach) {
            continue;
        }
        const float distance = std::sqrt(dx * dx + dy * dy);
        if (distance < g.inner - 1.0f || distance > g.outer + 1.0f) {
            continue;
        }
        const int side = g.fullCircle ? 1 : arcSide(g, dx, dy, sampleReach + rayTolerance);
        // Clear of the arc's angle and of its caps: no sample is inside.
        const float pixelCenter = static_cast<float>(px) + 0.5f;
        if (side < 0 && !(capRows[0] && nearCap(g, 0, pixelCenter, rowCenter)) &&
            !(capRows[1] && nearCap(g, 1, pixelCenter, rowCenter))) {
            continue;
        }
        covers[px - x] = pixelCoverage(g, rows, static_cast<std::int16_t>(px), side, distance);
    }
}

Rect Circle::arcBounds(const Shape& g, float fromDegrees, float toDegrees) const
{
    constexpr float none = std::numeric_limits<float>::infinity();
    float minX = none;
    float maxX = -none;
    float minY = none;
    float maxY = -none;
    const auto include = [&](float px, float py, float reach) {
        minX = std::min(minX, px - reach);
        maxX = std::max(maxX, px + reach);
        minY = std::min(minY, py - reach);
        maxY = std::max(maxY, py + reach);
    };
    const auto atAngle = [&](float degrees, float atRadius, float reach) {
        const float a = degrees / degreesPerRadian;
        include(g.cx + portable::sin(a) * atRadius, g.cy - portable::cos(a) * atRadius, reach);
    };
    // The band's corners at both angles, its extremes at every quarter turn
    // between, and the caps as discs at both ends.
    for (const float angle : {fromDegrees, toDegrees}) {
        atAngle(angle, g.inner, 0.0f);
        atAngle(angle, g.outer, 0.0f);
        if (g.roundCaps) {
            atAngle(angle, g.r, g.half);
        }
    }
    for (float quarter = std::ceil(fromDegrees / 90.0f) * 90.0f; quarter <= toDegrees; quarter += 90.0f) {
        atAngle(quarter, g.outer, 0.0f);
    }
    // A sample's pixel, and the sine's rounding: a pixel more each side.
    const auto low = [](float v) { return static_cast<std::int32_t>(std::floor(v)) - 1; };
    const auto high = [](float v) { return static_cast<std::int32_t>(std::ceil(v)) + 1; };
    const std::int32_t left = std::max<std::int32_t>(0, low(minX));
    const std::int32_t top = std::max<std::int32_t>(0, low(minY));
    const std::int32_t right = std::min<std::int32_t>(rect.width, high(maxX));
    const std::int32_t bottom = std::min<std::int32_t>(rect.height, high(maxY));
    if (right <= left || bottom <= top) {
        return Rect();
    }
    return Rect(static_cast<std::int16_t>(left), static_cast<std::int16_t>(top),
                static_cast<std::int16_t>(right - left), static_cast<std::int16_t>(bottom - top));
}

} // namespace ui
