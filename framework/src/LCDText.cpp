// Text on the LCD: glyphs are 4-bit alpha masks blended in the text's
// colour, by the blitter where the mask's first visible column starts a byte.

#include "LCDBlits.hpp"
#include "ui/Color.hpp"
#include "ui/LCD.hpp"

namespace ui {

namespace {

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
    const Rect visible = lcd::screenClip(clip & area);
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
    std::uint16_t* fb = frameBuffer();
    if (r.isEmpty() || fb == nullptr) {
        return;
    }
    const std::uint8_t* pixels = font.getPixelData(glyph);
    // Rows are padded to whole bytes, two pixels a byte, low nibble first.
    const int rowBytes = (glyph.width + 1) / 2;
    const int firstColumn = r.x - box.x;
    DMA_Interface* dma = lcd::blitterFor(BLIT_OP_COPY_A4);
    if (dma != nullptr && firstColumn % 2 == 0) {
        BlitOp op = lcd::frameBufferBlit(BLIT_OP_COPY_A4, r, fb, stride());
        op.pSrc = pixels + static_cast<std::ptrdiff_t>(r.y - box.y) * rowBytes + firstColumn / 2;
        op.srcLoopStride = static_cast<std::uint16_t>(rowBytes * 2);
        op.srcFormat = BLIT_FORMAT_A4;
        op.color = color & 0x00FFFFFFu;
        op.alpha = alpha;
        dma->addToQueue(op);
        return;
    }
    waitForBlitter();
    for (std::int16_t y = r.y; y < r.bottom(); ++y) {
        const std::uint8_t* sourceRow = pixels + static_cast<std::ptrdiff_t>(y - box.y) * rowBytes;
        std::uint16_t* row = fb + static_cast<std::ptrdiff_t>(y) * stride();
        for (std::int16_t x = r.x; x < r.right(); ++x) {
            const int column = x - box.x;
            const int level = (sourceRow[column / 2] >> ((column & 1) * 4)) & 0x0F;
            Color::blendRGB565(row[x], Color::getRed(color), Color::getGreen(color), Color::getBlue(color),
                               static_cast<std::uint8_t>(level * 17 * alpha / 255));
        }
    }
}

} // namespace ui
