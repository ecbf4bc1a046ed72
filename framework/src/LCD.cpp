#include "ui/LCD.hpp"

#include <algorithm>
#include <cstring>

#include "LCDBlits.hpp"
#include "ui/Color.hpp"
#include "ui/DMA.hpp"
#include "ui/HAL.hpp"

namespace ui {

namespace {

std::ptrdiff_t bytesPerPixel(Bitmap::BitmapFormat format)
{
    switch (format) {
    case Bitmap::ARGB8888:
        return 4;
    case Bitmap::RGB888:
        return 3;
    case Bitmap::RGB565:
        break;
    }
    return 2;
}

std::uint32_t bitmapOperation(Bitmap::BitmapFormat format, std::uint8_t alpha)
{
    if (format == Bitmap::ARGB8888) {
        return alpha == 255 ? BLIT_OP_COPY_ARGB8888 : BLIT_OP_COPY_ARGB8888_WITH_ALPHA;
    }
    return alpha == 255 ? BLIT_OP_COPY : BLIT_OP_COPY_WITH_ALPHA;
}

std::uint8_t expand5(std::uint16_t v)
{
    return static_cast<std::uint8_t>(v * 255 / 31);
}

std::uint8_t expand6(std::uint16_t v)
{
    return static_cast<std::uint8_t>(v * 255 / 63);
}

} // namespace

namespace lcd {

Rect screenClip(const Rect& clip)
{
    const HAL* hal = HAL::getInstance();
    if (hal == nullptr) {
        return Rect();
    }
    return clip & Rect(0, 0, hal->getFrameBufferWidth(), hal->getFrameBufferHeight());
}

DMA_Interface* blitterFor(std::uint32_t operation)
{
    const HAL* hal = HAL::getInstance();
    DMA_Interface* dma = hal != nullptr ? hal->getDMA() : nullptr;
    return dma != nullptr && (dma->getBlitCaps() & operation) != 0 ? dma : nullptr;
}

BlitOp frameBufferBlit(std::uint32_t operation, const Rect& area, std::uint16_t* frameBuffer, std::int16_t stride)
{
    BlitOp op;
    op.operation = operation;
    op.pDst = frameBuffer + static_cast<std::ptrdiff_t>(area.y) * stride + area.x;
    op.nSteps = static_cast<std::uint16_t>(area.width);
    op.nLoops = static_cast<std::uint16_t>(area.height);
    op.dstLoopStride = static_cast<std::uint16_t>(stride);
    op.dstFormat = Bitmap::RGB565;
    return op;
}

} // namespace lcd

Bitmap::BitmapFormat LCD::framebufferFormat() const
{
    return HAL::getFrameBufferFormat();
}

std::uint16_t* LCD::frameBuffer() const
{
    const HAL* hal = HAL::getInstance();
    return hal != nullptr ? hal->getClientFrameBuffer() : nullptr;
}

std::int16_t LCD::stride() const
{
    const HAL* hal = HAL::getInstance();
    return hal != nullptr ? hal->getFrameBufferWidth() : std::int16_t{0};
}

void LCD::waitForBlitter()
{
    const HAL* hal = HAL::getInstance();
    if (hal != nullptr && hal->getDMA() != nullptr) {
        hal->getDMA()->flush();
    }
}

void LCD::fillRect(const Rect& area, colortype color, std::uint8_t alpha)
{
    const Rect r = lcd::screenClip(area);
    std::uint16_t* fb = frameBuffer();
    if (r.isEmpty() || fb == nullptr || alpha == 0) {
        return;
    }
    const std::uint32_t operation = alpha == 255 ? BLIT_OP_FILL : BLIT_OP_FILL_WITH_ALPHA;
    if (DMA_Interface* dma = lcd::blitterFor(operation)) {
        BlitOp op = lcd::frameBufferBlit(operation, r, fb, stride());
        op.color = color & 0x00FFFFFFu;
        op.alpha = alpha;
        dma->addToQueue(op);
        return;
    }
    waitForBlitter();
    const std::uint8_t red = Color::getRed(color);
    const std::uint8_t green = Color::getGreen(color);
    const std::uint8_t blue = Color::getBlue(color);
    const std::uint16_t packed = Color::toRGB565(red, green, blue);
    for (std::int16_t y = r.y; y < r.bottom(); ++y) {
        std::uint16_t* row = fb + static_cast<std::ptrdiff_t>(y) * stride();
        if (alpha == 255) {
            std::fill(row + r.x, row + r.right(), packed);
            continue;
        }
        for (std::int16_t x = r.x; x < r.right(); ++x) {
            Color::blendRGB565(row[x], red, green, blue, alpha);
        }
    }
}

void LCD::drawBitmap(const Bitmap& bitmap, std::int16_t x, std::int16_t y, const Rect& clip, std::uint8_t alpha)
{
    const std::uint8_t* data = bitmap.getData();
    std::uint16_t* fb = frameBuffer();
    const Rect placed(x, y, static_cast<std::int16_t>(bitmap.getWidth()),
                      static_cast<std::int16_t>(bitmap.getHeight()));
    const Rect r = lcd::screenClip(clip & placed);
    if (r.isEmpty() || fb == nullptr || data == nullptr || alpha == 0) {
        return;
    }
    const Bitmap::BitmapFormat format = bitmap.getFormat();
    const std::int32_t width = bitmap.getWidth();
    const std::uint32_t operation = bitmapOperation(format, alpha);
    if (DMA_Interface* dma = lcd::blitterFor(operation)) {
        BlitOp op = lcd::frameBufferBlit(operation, r, fb, stride());
        op.pSrc = data + (static_cast<std::ptrdiff_t>(r.y - y) * width + (r.x - x)) * bytesPerPixel(format);
        op.srcLoopStride = static_cast<std::uint16_t>(width);
        op.srcFormat = format;
        op.alpha = alpha;
        dma->addToQueue(op);
        return;
    }
    waitForBlitter();
    for (std::int16_t py = r.y; py < r.bottom(); ++py) {
        std::uint16_t* row = fb + static_cast<std::ptrdiff_t>(py) * stride();
        const std::ptrdiff_t sourceRow = static_cast<std::ptrdiff_t>(py - y) * width;
        for (std::int16_t px = r.x; px < r.right(); ++px) {
            const std::ptrdiff_t i = sourceRow + (px - x);
            if (format == Bitmap::RGB565) {
                std::uint16_t source = 0;
                std::memcpy(&source, data + i * 2, 2);
                if (alpha == 255) {
                    row[px] = source;
                } else {
                    Color::blendRGB565(row[px], expand5(source >> 11), expand6((source >> 5) & 0x3F),
                                       expand5(source & 0x1F), alpha);
                }
            } else if (format == Bitmap::ARGB8888) {
                const std::uint8_t* p = data + i * 4; // B, G, R, A
                Color::blendRGB565(row[px], p[2], p[1], p[0], static_cast<std::uint8_t>(p[3] * alpha / 255));
            } else {
                const std::uint8_t* p = data + i * 3; // B, G, R
                Color::blendRGB565(row[px], p[2], p[1], p[0], alpha);
            }
        }
    }
}

void LCD::blendArgb8888(const std::uint32_t* pixels, std::int16_t x, std::int16_t y, std::int16_t width,
                        std::int16_t height, std::uint16_t sourceStride, const Rect& clip)
{
    std::uint16_t* fb = frameBuffer();
    const Rect r = lcd::screenClip(clip & Rect(x, y, width, height));
    if (r.isEmpty() || fb == nullptr || pixels == nullptr) {
        return;
    }
    const std::uint32_t* first = pixels + static_cast<std::ptrdiff_t>(r.y - y) * sourceStride + (r.x - x);
    if (DMA_Interface* dma = lcd::blitterFor(BLIT_OP_COPY_ARGB8888)) {
        BlitOp op = lcd::frameBufferBlit(BLIT_OP_COPY_ARGB8888, r, fb, stride());
        op.pSrc = first;
        op.srcLoopStride = sourceStride;
        op.srcFormat = Bitmap::ARGB8888;
        dma->addToQueue(op);
        return;
    }
    waitForBlitter();
    for (std::int16_t row = 0; row < r.height; ++row) {
        const std::uint32_t* source = first + static_cast<std::ptrdiff_t>(row) * sourceStride;
        std::uint16_t* destination = fb + static_cast<std::ptrdiff_t>(r.y + row) * stride() + r.x;
        for (std::int16_t i = 0; i < r.width; ++i) {
            const colortype argb = source[i];
            Color::blendRGB565(destination[i], Color::getRed(argb), Color::getGreen(argb), Color::getBlue(argb),
                               Color::getAlpha(argb));
        }
    }
}

} // namespace ui
