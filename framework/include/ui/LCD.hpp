#pragma once

#include <cstdint>

#include "ui/Bitmap.hpp"
#include "ui/Font.hpp"
#include "ui/TypedText.hpp"
#include "ui/Types.hpp"

namespace ui {

// Draws into the frame buffer being drawn (RGB565, display coordinates).
// Every operation is clipped to the given area. With a blitter, fills,
// bitmaps, glyphs and ARGB8888 pixels are handed to it as blits and land in
// queue order; the processor draws only what the blitter cannot, after the
// blits before it have landed.
class LCD {
public:
    virtual ~LCD() = default;

    Bitmap::BitmapFormat framebufferFormat() const;

    void fillRect(const Rect& area, colortype color, std::uint8_t alpha = 255);
    // The bitmap's top-left corner at (x, y), drawn only inside `clip`.
    void drawBitmap(const Bitmap& bitmap, std::int16_t x, std::int16_t y, const Rect& clip, std::uint8_t alpha = 255);
    // `width` x `height` ARGB8888 pixels blended over the frame buffer, their
    // top-left at (x, y), rows `sourceStride` pixels apart, drawn only inside
    // `clip`.
    void blendArgb8888(const std::uint32_t* pixels, std::int16_t x, std::int16_t y, std::int16_t width,
                       std::int16_t height, std::uint16_t sourceStride, const Rect& clip);
    // One line of text in `area`, aligned, its baseline `baseline` pixels
    // below the area's top; a placeholder character takes `wildcard`.
    void drawString(const Rect& area, const Rect& clip, const Font& font, colortype color, Alignment alignment,
                    std::int16_t baseline, const UnicodeChar* text, const UnicodeChar* wildcard, std::uint8_t alpha);

    // Width in pixels of a text drawn with `font` (wildcard expanded).
    static std::int16_t getStringWidth(const Font& font, const UnicodeChar* text, const UnicodeChar* wildcard);

    std::uint16_t* frameBuffer() const;
    std::int16_t stride() const;

    // Before the processor draws into the frame buffer itself: the blits
    // already handed to the blitter land first.
    static void waitForBlitter();

private:
    void drawGlyph(const Font& font, const GlyphNode& glyph, std::int16_t penX, std::int16_t baselineY,
                   const Rect& clip, colortype color, std::uint8_t alpha);
};

} // namespace ui
