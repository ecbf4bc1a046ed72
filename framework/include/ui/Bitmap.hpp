#pragma once

#include <cstdint>

#include "ui/Types.hpp"

namespace ui {

using BitmapId = std::uint16_t;
constexpr BitmapId BITMAP_INVALID = 0xFFFF;

// A bitmap is an identifier into the registered bitmap table.
class Bitmap {
public:
    enum BitmapFormat : std::uint8_t { RGB565 = 0, RGB888 = 1, ARGB8888 = 2 };

    // One table record. The solid width and height are 13-bit fields whose
    // top 3 bits carry the pixel format (high and low three bits).
    struct BitmapData {
        const std::uint8_t* data;
        const std::uint8_t* extraData;
        std::uint16_t width;
        std::uint16_t height;
        std::uint16_t solidRect_x;
        std::uint16_t solidRect_y;
        std::uint16_t solidRect_width : 13;
        std::uint16_t format_hi : 3;
        std::uint16_t solidRect_height : 13;
        std::uint16_t format_lo : 3;

        BitmapFormat getFormat() const { return static_cast<BitmapFormat>((format_hi << 3) | format_lo); }
    };

    explicit Bitmap(BitmapId id = BITMAP_INVALID) : bitmapId(id) {}

    static void registerBitmapDatabase(const BitmapData* data, std::uint16_t count);

    BitmapId getId() const;
    bool isValid() const;
    std::uint16_t getWidth() const;
    std::uint16_t getHeight() const;
    const std::uint8_t* getData() const;
    BitmapFormat getFormat() const;
    Rect getSolidRect() const;
    Rect getRect() const
    {
        return Rect(0, 0, static_cast<std::int16_t>(getWidth()), static_cast<std::int16_t>(getHeight()));
    }

    bool operator==(const Bitmap& other) const { return bitmapId == other.bitmapId; }

private:
    const BitmapData* record() const;

    BitmapId bitmapId;
    static const BitmapData* bitmaps;
    static std::uint16_t numberOfBitmaps;
};

} // namespace ui
