#include <algorithm>
#include <cmath>

#include "platform/Assert.hpp"
#include "portable/Math.hpp"
#include "ui/Color.hpp"
#include "ui/HAL.hpp"
#include "ui/LCD.hpp"
#include "ui/widgets/canvas/CanvasWidget.hpp"
#include "ui/widgets/canvas/CanvasWidgetRenderer.hpp"

namespace ui {

std::uint8_t* CanvasWidgetRenderer::scratch = nullptr;
unsigned int CanvasWidgetRenderer::scratchSize = 0;

void CanvasWidgetRenderer::setupBuffer(std::uint8_t* buffer, unsigned int bufferSize)
{
    scratch = buffer;
    scratchSize = bufferSize;
}

void CanvasWidgetRenderer::resetBuffer()
{
    scratch = nullptr;
    scratchSize = 0;
}

AbstractPainterRGB565::AbstractPainterRGB565()
{
    VECTA_ASSERT(compatibleFramebuffer(Bitmap::RGB565) && "The chosen painter only works with RGB565 displays");
}

bool AbstractPainterRGB565::compatibleFramebuffer(Bitmap::BitmapFormat format)
{
    return HAL::getFrameBufferFormat() == format;
}

void PainterRGB565Bitmap::paint(std::uint16_t* destination, std::int16_t widgetX, std::int16_t widgetY,
                                std::int16_t count, const std::uint8_t* covers, std::uint8_t alpha) const
{
    const std::uint8_t* data = bitmap.getData();
    const std::int32_t width = bitmap.getWidth();
    if (data == nullptr || widgetY < 0 || widgetY >= bitmap.getHeight()) {
        return;
    }
    const Bitmap::BitmapFormat format = bitmap.getFormat();
    for (std::int16_t i = 0; i < count; ++i) {
        const std::int32_t x = widgetX + i;
        if (x < 0 || x >= width || covers[i] == 0) {
            continue;
        }
        const std::ptrdiff_t index = static_cast<std::ptrdiff_t>(widgetY) * width + x;
        const unsigned coverage = covers[i] * alpha / 255u;
        if (format == Bitmap::ARGB8888) {
            const std::uint8_t* p = data + index * 4; // B, G, R, A
            Color::blendRGB565(destination[i], p[2], p[1], p[0], static_cast<std::uint8_t>(coverage * p[3] / 255u));
        } else if (format == Bitmap::RGB565) {
            const auto source = static_cast<std::uint16_t>(data[index * 2] | (data[index * 2 + 1] << 8));
            Color::blendRGB565(destination[i], static_cast<std::uint8_t>(((source >> 11) & 0x1F) * 255 / 31),
                               static_cast<std::uint8_t>(((source >> 5) & 0x3F) * 255 / 63),
                               static_cast<std::uint8_t>((source & 0x1F) * 255 / 31),
                               static_cast<std::uint8_t>(coverage));
        }
    }
}

void CanvasWidget::draw(const Rect& invalidatedArea) const
{
    if (painter == nullptr || alpha == 0) {
        return;
    }
    VECTA_ASSERT(CanvasWidgetRenderer::hasBuffer() && "CanvasWidgetRenderer has no scratch buffer");
    const Rect absolute = getAbsoluteRect();
    Rect area = invalidatedArea;
    translateRectToAbsolute(area);
    area &= Rect(0, 0, HAL::getInstance()->getFrameBufferWidth(), HAL::getInstance()->getFrameBufferHeight());
    std::uint16_t* fb = HAL::lcd().frameBuffer();
    const std::int16_t stride = HAL::lcd().stride();
    std::uint8_t* covers = CanvasWidgetRenderer::getBuffer();
    const auto chunk = static_cast<std::int16_t>(std::min<unsigned>(CanvasWidgetRenderer::getBufferSize(), 0x7FFF));
    for (std::int16_t y = area.y; y < area.bottom(); ++y) {
        for (std::int16_t x = area.x; x < area.right(); x = static_cast<std::int16_t>(x + chunk)) {
            const auto count = static_cast<std::int16_t>(std::min<int>(chunk, area.right() - x));
            const auto wx = static_cast<std::int16_t>(x - absolute.x);
            const auto wy = static_cast<std::int16_t>(y - absolute.y);
            renderRow(wx, wy, count, covers);
            painter->paint(fb + static_cast<std::ptrdiff_t>(y) * stride + x, wx, wy, count, covers, alpha);
        }
    }
}

void Circle::setCenter(float x, float y)
{
    centerX = toFixed(x);
    centerY = toFixed(y);
}

void Circle::setArc(float startDegrees, float endDegrees)
{
    arcStart = toFixed(startDegrees);
    arcEnd = toFixed(endDegrees);
}

void Circle::updateArc(float startDegrees, float endDegrees)
{
    setArc(startDegrees, endDegrees);
    invalidate();
}

void Circle::setCapPrecision(int precision)
{
    capPrecision = static_cast<std::uint8_t>(std::clamp(precision, 1, 180));
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
    const std::int32_t ends[2] = {arcStart, arcEnd};
    for (int i = 0; i < 2; ++i) {
        const float a = static_cast<float>(ends[i]) / 32.0f / 57.29578f;
        g.capX[i] = g.cx + portable::sin(a) * g.r;
        g.capY[i] = g.cy - portable::cos(a) * g.r;
    }
    return g;
}

bool Circle::inBand(const Shape& g, float x, float y)
{
    const float dx = x - g.cx;
    const float dy = y - g.cy;
    const float distance = std::sqrt(dx * dx + dy * dy);
    return distance >= g.inner && distance <= g.outer;
}

float Circle::angleFromStart(const Shape& g, float dx, float dy)
{
    const float angle = portable::atan2(dx, -dy) * 57.29578f;
    float relative = std::fmod(angle - g.start, 360.0f);
    if (relative < 0.0f) {
        relative += 360.0f;
    }
    return relative;
}

bool Circle::arcHolds(const Shape& g, float dx, float dy, float distance)
{
    // Half a pixel's diagonal as seen from the centre, in degrees, with room.
    const float margin = 57.29578f / std::max(distance, 1.0f);
    const float relative = angleFromStart(g, dx, dy);
    return relative >= margin && relative + margin <= g.span;
}

bool Circle::inside(const Shape& g, float x, float y)
{
    // The round caps lie within the band too: nothing outside it is drawn.
    if (!inBand(g, x, y)) {
        return false;
    }
    if (g.fullCircle || angleFromStart(g, x - g.cx, y - g.cy) <= g.span) {
        return true;
    }
    if (!g.roundCaps) {
        return false;
    }
    for (int i = 0; i < 2; ++i) {
        if ((x - g.capX[i]) * (x - g.capX[i]) + (y - g.capY[i]) * (y - g.capY[i]) <= g.half * g.half) {
            return true;
        }
    }
    return false;
}

void Circle::renderRow(std::int16_t x, std::int16_t y, std::int16_t count, std::uint8_t* covers) const
{
    // 4 x 4 samples per pixel.
    constexpr int samples = 4;
    constexpr float step = 1.0f / samples;
    const Shape g = shape();
    // Rows clear of the band are empty.
    if (std::abs(static_cast<float>(y) + 0.5f - g.cy) > g.outer + 1.0f) {
        std::fill(covers, covers + count, std::uint8_t{0});
        return;
    }
    for (std::int16_t i = 0; i < count; ++i) {
        // A pixel whose centre is clear of the band has no sample in it.
        const float dx = static_cast<float>(x + i) + 0.5f - g.cx;
        const float dy = static_cast<float>(y) + 0.5f - g.cy;
        const float distance = std::sqrt(dx * dx + dy * dy);
        if (distance < g.inner - 1.0f || distance > g.outer + 1.0f) {
            covers[i] = 0;
            continue;
        }
        // Well inside the arc's angle, only the band decides.
        const bool withinArc = g.fullCircle || arcHolds(g, dx, dy, distance);
        int hits = 0;
        for (int sy = 0; sy < samples; ++sy) {
            for (int sx = 0; sx < samples; ++sx) {
                const float px = static_cast<float>(x + i) + (static_cast<float>(sx) + 0.5f) * step;
                const float py = static_cast<float>(y) + (static_cast<float>(sy) + 0.5f) * step;
                if (withinArc ? inBand(g, px, py) : inside(g, px, py)) {
                    ++hits;
                }
            }
        }
        covers[i] = static_cast<std::uint8_t>(hits * 255 / (samples * samples));
    }
}

} // namespace ui
