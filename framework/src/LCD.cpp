#include "ui/LCD.hpp"

#include <algorithm>
#include <cstring>

#include "ui/Color.hpp"
#include "ui/HAL.hpp"

namespace ui {

namespace {

Rect screenClip(const Rect& clip)
{
    const HAL* hal = HAL::getInstance();
    if (hal == nullptr) {
        return Rect();
    }
    return clip & Rect(0, 0, hal->getFrameBufferWidth(), hal->getFrameBufferHeight());
}

// Walks a text, replacing each placeholder by the wildcard's characters.
class TextWalker {
public:
    TextWalker(const UnicodeChar* text, const UnicodeChar* wildcard) : current(text), substitute(wildcard) {}

    UnicodeChar next()
    {
        while (true) {
            if (inWildcard != nullptr) {
                if (*inWildcard != 0) {
                    return *inWildcard++;
                }
                inWildcard = nullptr;
            }
            if (current == nullptr || *current == 0) {
                return 0;
            }
            const UnicodeChar c = *current++;
            if (c != TEXT_PLACEHOLDER) {
                return c;
            }
            inWildcard = substitute;
        }
    }

private:
    const UnicodeChar* current;
    const UnicodeChar* substitute;
    const UnicodeChar* inWildcard = nullptr;
};

} // namespace

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

void LCD::fillRect(const Rect& area, colortype color, std::uint8_t alpha)
{
    const Rect r = screenClip(area);
    std::uint16_t* fb = frameBuffer();
    if (r.isEmpty() || fb == nullptr || alpha == 0) {
        return;
    }
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
    const Rect r = screenClip(clip & placed);
    if (r.isEmpty() || fb == nullptr || data == nullptr || alpha == 0) {
        return;
    }
    const Bitmap::BitmapFormat format = bitmap.getFormat();
    const std::int32_t width = bitmap.getWidth();
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
                    Color::blendRGB565(row[px], static_cast<std::uint8_t>(((source >> 11) & 0x1F) * 255 / 31),
                                       static_cast<std::uint8_t>(((source >> 5) & 0x3F) * 255 / 63),
                                       static_cast<std::uint8_t>((source & 0x1F) * 255 / 31), alpha);
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

std::int16_t LCD::getStringWidth(const Font& font, const UnicodeChar* text, const UnicodeChar* wildcard)
{
    TextWalker walker(text, wildcard);
    std::int32_t width = 0;
    UnicodeChar previous = 0;
    for (UnicodeChar c = walker.next(); c != 0; c = walker.next()) {
        const GlyphNode* glyph = font.getGlyph(c);
        if (glyph == nullptr) {
            continue;
        }
        width += font.getKerning(previous, *glyph) + glyph->advance;
        previous = glyph->unicode;
    }
    return static_cast<std::int16_t>(width);
}

void LCD::drawString(const Rect& area, const Rect& clip, const Font& font, colortype color, Alignment alignment,
                     std::int16_t baseline, const UnicodeChar* text, const UnicodeChar* wildcard, std::uint8_t alpha)
{
    const Rect visible = screenClip(clip & area);
    if (visible.isEmpty() || alpha == 0) {
        return;
    }
    const std::int16_t textWidth = getStringWidth(font, text, wildcard);
    std::int32_t penX = area.x;
    if (alignment == CENTER) {
        penX += (area.width - textWidth) / 2;
    } else if (alignment == RIGHT) {
        penX += area.width - textWidth;
    }
    const auto baselineY = static_cast<std::int16_t>(area.y + baseline);
    TextWalker walker(text, wildcard);
    UnicodeChar previous = 0;
    for (UnicodeChar c = walker.next(); c != 0; c = walker.next()) {
        const GlyphNode* glyph = font.getGlyph(c);
        if (glyph == nullptr) {
            continue;
        }
        penX += font.getKerning(previous, *glyph);
        drawGlyph(font, *glyph, static_cast<std::int16_t>(penX), baselineY, visible, color, alpha);
        penX += glyph->advance;
        previous = glyph->unicode;
    }
}

void LCD::drawGlyph(const Font& font, const GlyphNode& glyph, std::int16_t penX, std::int16_t baselineY,
                    const Rect& clip, colortype color, std::uint8_t alpha)
{
    const Rect box(static_cast<std::int16_t>(penX + glyph.left), static_cast<std::int16_t>(baselineY - glyph.top),
                   glyph.width, glyph.height);
    const Rect r = box & clip;
    if (r.isEmpty()) {
        return;
    }
    std::uint16_t* fb = frameBuffer();
    const std::uint8_t* pixels = font.getPixelData(glyph);
    const int rowBytes = (glyph.width + 1) / 2;
    for (std::int16_t y = r.y; y < r.bottom(); ++y) {
        const std::uint8_t* sourceRow = pixels + static_cast<std::ptrdiff_t>(y - box.y) * rowBytes;
        std::uint16_t* row = fb + static_cast<std::ptrdiff_t>(y) * stride();
        for (std::int16_t x = r.x; x < r.right(); ++x) {
            const int column = x - box.x;
            // Low nibble first.
            const int level = (sourceRow[column / 2] >> ((column & 1) * 4)) & 0x0F;
            Color::blendRGB565(row[x], Color::getRed(color), Color::getGreen(color), Color::getBlue(color),
                               static_cast<std::uint8_t>(level * 17 * alpha / 255));
        }
    }
}

} // namespace ui
