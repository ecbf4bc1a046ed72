#pragma once

#include <cstdint>

#include "ui/Bitmap.hpp"
#include "ui/Types.hpp"

namespace ui {

// Colours the pixels a canvas shape covers in an RGB565 frame buffer.
class AbstractPainterRGB565 {
public:
    AbstractPainterRGB565();
    virtual ~AbstractPainterRGB565() = default;

    // The ARGB8888 colours of `count` pixels of row widgetY from column
    // widgetX at the coverages `covers` and the widget's `alpha`: blending
    // each over the frame buffer paints its pixel; alpha 0 leaves it.
    virtual void colorRun(std::int16_t widgetX, std::int16_t widgetY, std::int16_t count, const std::uint8_t* covers,
                          std::uint8_t alpha, colortype* argb) const = 0;
    // Where the painter can paint at all, in widget coordinates.
    virtual Rect paintableArea() const = 0;
    // Equal for two painters that give the same colours.
    virtual std::int32_t contentKey() const = 0;

    // Paints `count` pixels of one row starting at `destination`; the first
    // is at (widgetX, widgetY) in the canvas widget, `covers` holds each
    // pixel's coverage (0..255).
    void paint(std::uint16_t* destination, std::int16_t widgetX, std::int16_t widgetY, std::int16_t count,
               const std::uint8_t* covers, std::uint8_t alpha) const;

protected:
    static bool compatibleFramebuffer(Bitmap::BitmapFormat format);
};

// Paints with the pixels of a bitmap lying at the canvas widget's position.
class PainterRGB565Bitmap : public AbstractPainterRGB565 {
public:
    PainterRGB565Bitmap() = default;
    explicit PainterRGB565Bitmap(const Bitmap& bmp) { setBitmap(bmp); }

    void setBitmap(const Bitmap& bmp) { bitmap = bmp; }

    void colorRun(std::int16_t widgetX, std::int16_t widgetY, std::int16_t count, const std::uint8_t* covers,
                  std::uint8_t alpha, colortype* argb) const override;
    Rect paintableArea() const override { return bitmap.getRect(); }
    std::int32_t contentKey() const override { return bitmap.isValid() ? bitmap.getId() : -1; }

private:
    Bitmap bitmap;
};

} // namespace ui
