#pragma once

#include <cstdint>

// The board's fixed facts. Everything that sizes memory, scans the panel or
// draws a frame takes them from here, so that the firmware, the simulator,
// the emulated board, the page and the tests cannot disagree.
namespace board {

// The panel in pixels, RGB565: the frame buffers, the display layer and the
// touch chip's area are this size.
inline constexpr std::int16_t panelWidth = 800;
inline constexpr std::int16_t panelHeight = 480;
inline constexpr std::uint32_t panelPixels = std::uint32_t{panelWidth} * std::uint32_t{panelHeight};

// The display scans this many frames a second. The frame loop waits for the
// scan, so this is also the fastest frame rate.
inline constexpr std::uint32_t framesPerSecond = 60;

// The map cache's windows, as radii in tiles around the view's centre tile:
// the view's zoom level, and one level below and above it, so that a zoom by
// a level has a tile to show at once.
inline constexpr std::int32_t cacheRadiusBelow = 0;
inline constexpr std::int32_t cacheRadius = 1;
inline constexpr std::int32_t cacheRadiusAbove = 0;

// A window of radius r is a (2r + 1) x (2r + 1) square of slots.
constexpr std::int32_t windowSlots(std::int32_t radius)
{
    return (2 * radius + 1) * (2 * radius + 1);
}
inline constexpr std::uint32_t cacheSlotCount = static_cast<std::uint32_t>(
    windowSlots(cacheRadiusBelow) + windowSlots(cacheRadius) + windowSlots(cacheRadiusAbove));

// Bytes of one slot's segment buffer, which holds one transcoded tile. The
// tile builder and the tools size their checks by it, so they cannot drift
// from what the board holds.
inline constexpr std::uint32_t cacheSlotBytes = 71680;

// Tile requests the fetcher can hold. Every move of the cache prunes the
// requests outside its windows; one more than this stops the board.
inline constexpr std::uint32_t requestQueueLength = 590;

} // namespace board
