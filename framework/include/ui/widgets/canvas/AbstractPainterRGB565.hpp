#pragma once

#include <cstdint>

#include "ui/Bitmap.hpp"

namespace ui {

// Colours the pixels a canvas shape covers in an RGB565 frame buffer.
class AbstractPainterRGB565 {
public:
    AbstractPainterRGB565();
    virtual ~AbstractPainterRGB565() = default;

    // Paints `count` pixels of one row starting at `destination`; the first
    // is at (widgetX, widgetY) in the canvas widget, `covers` holds each
    // pixel's coverage (0..255).
    virtual void paint(std::uint16_t* destination, std::int16_t widgetX, std::int16_t widgetY, std::int16_t count,
                       const std::uint8_t* covers, std::uint8_t alpha) const = 0;

protected:
    static bool compatibleFramebuffer(Bitmap::BitmapFormat format);
};

// Paints with the pixels of a bitmap lying at the canvas widget's position.
class PainterRGB565Bitmap : public AbstractPainterRGB565 {
public:
    PainterRGB565Bitmap() = default;
    explicit PainterRGB565Bitmap(const Bitmap& bmp) { setBitmap(bmp); }

    void setBitmap(const Bitmap& bmp) { bitmap = bmp; }

    void paint(std::uint16_t* destination, std::int16_t widgetX, std::int16_t widgetY, std::int16_t count,
               const std::uint8_t* covers, std::uint8_t alpha) const override;

private:
    Bitmap bitmap;
};

} // namespace ui
