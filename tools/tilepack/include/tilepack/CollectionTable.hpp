#pragma once

#include <array>
#include <cstdint>
#include <optional>

namespace tilepack {

// The tile rectangle one zoom level of the collection holds, bounds inclusive.
struct ZoomRange {
    std::uint8_t zoom;
    std::uint32_t minX;
    std::uint32_t maxX;
    std::uint32_t minY;
    std::uint32_t maxY;

    std::uint32_t width() const { return maxX - minX + 1; }
    std::uint32_t height() const { return maxY - minY + 1; }
    std::uint32_t count() const { return width() * height(); }
    bool contains(std::uint32_t x, std::uint32_t y) const { return x >= minX && x <= maxX && y >= minY && y <= maxY; }
    // Row-major by y, as the firmware's lookup computes it.
    std::uint32_t indexOf(std::uint32_t x, std::uint32_t y) const { return (x - minX) + (y - minY) * width(); }
};

struct TileAddress {
    std::uint32_t x;
    std::uint32_t y;
    std::uint8_t zoom;

    bool operator==(const TileAddress&) const = default;
};

// The area the firmware's collection covers, one rectangle per zoom level.
constexpr std::array<ZoomRange, 11> collectionRanges{{
    {6, 33, 34, 19, 20},
    {7, 66, 68, 38, 40},
    {8, 132, 136, 76, 80},
    {9, 264, 272, 152, 160},
    {10, 528, 544, 306, 320},
    {11, 1069, 1088, 624, 640},
    {12, 2151, 2175, 1260, 1280},
    {13, 4315, 4339, 2532, 2556},
    {14, 8643, 8667, 5076, 5100},
    {15, 17299, 17323, 10164, 10188},
    {16, 34611, 34635, 20340, 20364},
}};

constexpr std::uint8_t firstZoom = 6;
constexpr std::uint8_t lastZoom = 16;

// The one tile of the table that the collection leaves out: its entry is {0, 0}.
constexpr TileAddress absentTile{34614, 20341, 16};

using ZoomRanges = std::array<ZoomRange, 11>;

// The rectangles of one collection and the tile it leaves out, if any.
struct CollectionLayout {
    ZoomRanges ranges;
    std::optional<TileAddress> absent;

    std::uint64_t tileCount() const
    {
        std::uint64_t total = 0;
        for (const ZoomRange& range : ranges) {
            total += range.count();
        }
        return total;
    }
    std::uint64_t storedTileCount() const { return tileCount() - (absent ? 1 : 0); }
    bool stores(const TileAddress& tile) const { return !(absent && *absent == tile); }
};

constexpr CollectionLayout builtInLayout{collectionRanges, absentTile};

constexpr std::uint32_t collectionBaseAddress = 0xA0000000u;

} // namespace tilepack
