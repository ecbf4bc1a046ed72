#include <algorithm>

#include "platform/Assert.hpp"
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

void AbstractPainterRGB565::paint(std::uint16_t* destination, std::int16_t widgetX, std::int16_t widgetY,
                                  std::int16_t count, const std::uint8_t* covers, std::uint8_t alpha) const
{
    constexpr std::int16_t chunk = 64;
    colortype argb[chunk];
    for (std::int16_t done = 0; done < count; done = static_cast<std::int16_t>(done + chunk)) {
        const auto n = static_cast<std::int16_t>(std::min<int>(chunk, count - done));
        colorRun(static_cast<std::int16_t>(widgetX + done), widgetY, n, covers + done, alpha, argb);
        for (std::int16_t i = 0; i < n; ++i) {
            Color::blendRGB565(destination[done + i], Color::getRed(argb[i]), Color::getGreen(argb[i]),
                               Color::getBlue(argb[i]), Color::getAlpha(argb[i]));
        }
    }
}

void PainterRGB565Bitmap::colorRun(std::int16_t widgetX, std::int16_t widgetY, std::int16_t count,
                                   const std::uint8_t* covers, std::uint8_t alpha, colortype* argb) const
{
    std::fill(argb, argb + count, colortype{0});
    const std::uint8_t* data = bitmap.getData();
    const std::int32_t width = bitmap.getWidth();
    const Bitmap::BitmapFormat format = bitmap.getFormat();
    if (data == nullptr || widgetY < 0 || widgetY >= bitmap.getHeight() ||
        (format != Bitmap::ARGB8888 && format != Bitmap::RGB565)) {
        return;
    }
    const std::int32_t first = std::max<std::int32_t>(0, -widgetX);
    const std::int32_t last = std::min<std::int32_t>(count, width - widgetX);
    for (std::int32_t i = first; i < last; ++i) {
        if (covers[i] == 0) {
            continue;
        }
        const auto coverage = static_cast<std::uint8_t>(covers[i] * alpha / 255u);
        const std::ptrdiff_t index = static_cast<std::ptrdiff_t>(widgetY) * width + widgetX + i;
        if (format == Bitmap::ARGB8888) {
            const std::uint8_t* p = data + index * 4; // B, G, R, A
            const auto a = static_cast<std::uint8_t>(coverage * p[3] / 255u);
            argb[i] = colortype{a} << 24 | colortype{p[2]} << 16 | colortype{p[1]} << 8 | p[0];
        } else {
            const auto source = static_cast<std::uint16_t>(data[index * 2] | (data[index * 2 + 1] << 8));
            const auto red = static_cast<std::uint8_t>(((source >> 11) & 0x1F) * 255 / 31);
            const auto green = static_cast<std::uint8_t>(((source >> 5) & 0x3F) * 255 / 63);
            const auto blue = static_cast<std::uint8_t>((source & 0x1F) * 255 / 31);
            argb[i] = colortype{coverage} << 24 | colortype{red} << 16 | colortype{green} << 8 | blue;
        }
    }
}

void CanvasWidget::draw(const Rect& invalidatedArea) const
{
    if (painter == nullptr || alpha == 0) {
        return;
    }
    VECTA_ASSERT(CanvasWidgetRenderer::hasBuffer() && "CanvasWidgetRenderer has no scratch buffer");
    if (spans != nullptr && spansShowShape()) {
        drawSpans(invalidatedArea);
    } else {
        drawByProcessor(invalidatedArea);
    }
}

CanvasShapeKey CanvasWidget::shapeKey() const
{
    CanvasShapeKey key;
    describeShape(key);
    key.values[8] = rect.width;
    key.values[9] = rect.height;
    key.values[10] = alpha;
    key.values[11] = painter != nullptr ? painter->contentKey() : -1;
    return key;
}

void CanvasWidget::rowsChanged(const CanvasShapeKey& before, std::int16_t y0, std::int16_t y1)
{
    if (!rowsPending) {
        changedFrom = before;
        changedFirst = y0;
        changedEnd = y1;
        rowsPending = true;
        return;
    }
    changedFirst = std::min(changedFirst, y0);
    changedEnd = std::max(changedEnd, y1);
}

namespace {

// The rows and columns of the widget a painter can paint.
Rect paintedPart(const Rect& widget, const AbstractPainterRGB565& painter)
{
    return Rect(0, 0, widget.width, widget.height) & painter.paintableArea();
}

std::int16_t scratchChunk()
{
    return static_cast<std::int16_t>(std::min<unsigned>(CanvasWidgetRenderer::getBufferSize(), 0x7FFF));
}

} // namespace

bool CanvasWidget::spansShowShape() const
{
    const CanvasShapeKey key = shapeKey();
    const bool onlySomeRows = rowsPending && spans->shows(changedFrom);
    rowsPending = false;
    if (spans->shows(key)) {
        return true;
    }
    const Rect part = paintedPart(rect, *painter);
    if (onlySomeRows) {
        spans->removeRows(changedFirst, changedEnd);
        if (!fillRows(std::max(part.y, changedFirst), std::min(part.bottom(), changedEnd))) {
            return false;
        }
    } else {
        spans->clear();
        if (!fillRows(part.y, part.bottom())) {
            return false;
        }
    }
    spans->markShowing(key);
    return true;
}

bool CanvasWidget::fillRows(std::int16_t y0, std::int16_t y1) const
{
    const Rect part = paintedPart(rect, *painter);
    std::uint8_t* covers = CanvasWidgetRenderer::getBuffer();
    // A row of any canvas this system shows in one piece: a run is cut
    // where a piece ends.
    constexpr std::int16_t chunk = 256;
    const std::int16_t coverChunk = std::min(scratchChunk(), chunk);
    colortype argb[chunk];
    prepareRender();
    for (std::int16_t y = y0; y < y1; ++y) {
        for (std::int16_t x = part.x; x < part.right(); x = static_cast<std::int16_t>(x + coverChunk)) {
            const auto count = static_cast<std::int16_t>(std::min<int>(coverChunk, part.right() - x));
            renderRow(x, y, count, covers);
            // The painter colours each stretch the shape covers; each
            // stretch it paints is one run.
            for (std::int16_t i = 0; i < count;) {
                if (covers[i] == 0) {
                    ++i;
                    continue;
                }
                std::int16_t end = i;
                while (end < count && covers[end] != 0) {
                    ++end;
                }
                painter->colorRun(static_cast<std::int16_t>(x + i), y, static_cast<std::int16_t>(end - i), covers + i,
                                  alpha, argb);
                if (!appendPainted(static_cast<std::int16_t>(x + i), y, argb, static_cast<std::int16_t>(end - i))) {
                    return false;
                }
                i = end;
            }
        }
    }
    return true;
}

bool CanvasWidget::appendPainted(std::int16_t x, std::int16_t y, const colortype* argb, std::int16_t count) const
{
    for (std::int16_t i = 0; i < count;) {
        if (Color::getAlpha(argb[i]) == 0) {
            ++i;
            continue;
        }
        std::int16_t end = i;
        while (end < count && Color::getAlpha(argb[end]) != 0) {
            ++end;
        }
        if (!spans->appendRun(static_cast<std::int16_t>(x + i), y, argb + i, static_cast<std::uint16_t>(end - i))) {
            return false;
        }
        i = end;
    }
    return true;
}

void CanvasWidget::drawSpans(const Rect& invalidatedArea) const
{
    const Rect absolute = getAbsoluteRect();
    Rect clip = invalidatedArea;
    translateRectToAbsolute(clip);
    LCD& lcd = HAL::lcd();
    for (std::uint32_t i = 0; i < spans->size(); ++i) {
        const CanvasSpans::Run& run = (*spans)[i];
        const auto y = static_cast<std::int16_t>(absolute.y + run.y);
        if (y < clip.y || y >= clip.bottom()) {
            continue;
        }
        lcd.blendArgb8888(spans->pixelData() + run.first, static_cast<std::int16_t>(absolute.x + run.x), y,
                          static_cast<std::int16_t>(run.length), 1, run.length, clip);
    }
}

void CanvasWidget::drawByProcessor(const Rect& invalidatedArea) const
{
    const Rect absolute = getAbsoluteRect();
    Rect area = invalidatedArea & paintedPart(rect, *painter);
    translateRectToAbsolute(area);
    area &= Rect(0, 0, HAL::getInstance()->getFrameBufferWidth(), HAL::getInstance()->getFrameBufferHeight());
    if (area.isEmpty()) {
        return;
    }
    LCD::waitForBlitter();
    std::uint16_t* fb = HAL::lcd().frameBuffer();
    const std::int16_t stride = HAL::lcd().stride();
    std::uint8_t* covers = CanvasWidgetRenderer::getBuffer();
    const std::int16_t chunk = scratchChunk();
    prepareRender();
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

} // namespace ui
