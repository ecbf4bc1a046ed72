#pragma once

// The blitter's pixel formats and blending, shared by every board whose
// blitter is done in software (the PC's stand-in, the emulated board), so
// both give the same pixels.

#include <array>
#include <cstdint>
#include <cstring>

#include "platform/bsp.h"

namespace devices::blit {

using bsp::BlitterColorMode;

struct Argb {
    std::uint8_t a;
    std::uint8_t r;
    std::uint8_t g;
    std::uint8_t b;
};

using Palette = std::array<Argb, 256>;

inline std::uint32_t bitsPerPixel(BlitterColorMode mode)
{
    switch (mode) {
    case BlitterColorMode::ARGB8888:
        return 32;
    case BlitterColorMode::RGB888:
        return 24;
    case BlitterColorMode::RGB565:
        return 16;
    case BlitterColorMode::L8:
    case BlitterColorMode::A8:
        return 8;
    case BlitterColorMode::A4:
        return 4;
    }
    return 0;
}

inline bool isOutputMode(BlitterColorMode mode)
{
    return mode == BlitterColorMode::ARGB8888 || mode == BlitterColorMode::RGB888 || mode == BlitterColorMode::RGB565;
}

inline Argb fromArgbWord(std::uint32_t word)
{
    return Argb{static_cast<std::uint8_t>(word >> 24), static_cast<std::uint8_t>(word >> 16),
                static_cast<std::uint8_t>(word >> 8), static_cast<std::uint8_t>(word)};
}

inline std::uint8_t expand(std::uint32_t value, int bits)
{
    return static_cast<std::uint8_t>(value * 255 / ((1u << bits) - 1));
}

// The colour an A8 or A4 layer paints with.
inline Argb layerColorOf(const bsp::BlitterLayer& layer)
{
    return fromArgbWord(layer.color | 0xFF000000u);
}

// One pixel of a colour mode known when compiled, so that a run of pixels
// decides the mode once.
template <BlitterColorMode Mode>
Argb readAs(const Palette& palette, const std::uint8_t* base, std::uint64_t index, Argb layerColor)
{
    if constexpr (Mode == BlitterColorMode::ARGB8888) {
        std::uint32_t word = 0;
        std::memcpy(&word, base + index * 4, 4);
        return fromArgbWord(word);
    } else if constexpr (Mode == BlitterColorMode::RGB888) {
        const std::uint8_t* p = base + index * 3; // B, G, R
        return Argb{0xFF, p[2], p[1], p[0]};
    } else if constexpr (Mode == BlitterColorMode::RGB565) {
        std::uint16_t v = 0;
        std::memcpy(&v, base + index * 2, 2);
        return Argb{0xFF, expand(v >> 11, 5), expand((v >> 5) & 0x3F, 6), expand(v & 0x1F, 5)};
    } else if constexpr (Mode == BlitterColorMode::L8) {
        return palette[base[index]];
    } else if constexpr (Mode == BlitterColorMode::A8) {
        return Argb{base[index], layerColor.r, layerColor.g, layerColor.b};
    } else {
        const std::uint8_t pair = base[index / 2];
        const std::uint8_t nibble = (index & 1) != 0 ? pair >> 4 : pair & 0x0F;
        return Argb{static_cast<std::uint8_t>(nibble * 17), layerColor.r, layerColor.g, layerColor.b};
    }
}

inline Argb readPixel(const Palette& palette, const std::uint8_t* base, std::uint64_t index,
                      const bsp::BlitterLayer& layer)
{
    const Argb color = layerColorOf(layer);
    switch (layer.colorMode) {
    case BlitterColorMode::ARGB8888:
        return readAs<BlitterColorMode::ARGB8888>(palette, base, index, color);
    case BlitterColorMode::RGB888:
        return readAs<BlitterColorMode::RGB888>(palette, base, index, color);
    case BlitterColorMode::RGB565:
        return readAs<BlitterColorMode::RGB565>(palette, base, index, color);
    case BlitterColorMode::L8:
        return readAs<BlitterColorMode::L8>(palette, base, index, color);
    case BlitterColorMode::A8:
        return readAs<BlitterColorMode::A8>(palette, base, index, color);
    case BlitterColorMode::A4:
        return readAs<BlitterColorMode::A4>(palette, base, index, color);
    }
    return Argb{};
}

inline Argb applyAlphaMode(Argb pixel, const bsp::BlitterLayer& layer)
{
    if (layer.alphaMode == bsp::BlitterAlphaMode::Replace) {
        pixel.a = layer.alpha;
    } else if (layer.alphaMode == bsp::BlitterAlphaMode::Multiply) {
        pixel.a = static_cast<std::uint8_t>(pixel.a * layer.alpha / 255);
    }
    return pixel;
}

// One pixel of an output mode known when compiled.
template <BlitterColorMode Mode> void writeAs(std::uint8_t* base, std::uint64_t index, Argb pixel)
{
    if constexpr (Mode == BlitterColorMode::ARGB8888) {
        const std::uint32_t word =
            (std::uint32_t{pixel.a} << 24) | (std::uint32_t{pixel.r} << 16) | (std::uint32_t{pixel.g} << 8) | pixel.b;
        std::memcpy(base + index * 4, &word, 4);
    } else if constexpr (Mode == BlitterColorMode::RGB888) {
        std::uint8_t* p = base + index * 3;
        p[0] = pixel.b;
        p[1] = pixel.g;
        p[2] = pixel.r;
    } else {
        const auto v = static_cast<std::uint16_t>(((pixel.r >> 3) << 11) | ((pixel.g >> 2) << 5) | (pixel.b >> 3));
        std::memcpy(base + index * 2, &v, 2);
    }
}

inline std::uint8_t mix(std::uint8_t over, std::uint8_t under, std::uint8_t alpha)
{
    return static_cast<std::uint8_t>((over * alpha + under * (255 - alpha) + 127) / 255);
}

inline Argb blend(Argb over, Argb under)
{
    // The arithmetic below gives exactly these two, the common cases.
    if (over.a == 0xFF) {
        return over;
    }
    if (over.a == 0) {
        return under;
    }
    return Argb{static_cast<std::uint8_t>(over.a + under.a * (255 - over.a) / 255), mix(over.r, under.r, over.a),
                mix(over.g, under.g, over.a), mix(over.b, under.b, over.a)};
}

} // namespace devices::blit
