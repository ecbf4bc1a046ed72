#pragma once

#include <cstdint>

// What a trace line reads from the firmware's state at the end of a frame,
// as plain fixed-width values: the simulator reads it in place, the
// emulated board writes it where its host runner reads it.
namespace devices {

struct TraceState {
    static constexpr std::uint32_t maxDogs = 8;

    char screen[12];
    char pizzaState[12];
    float latitude;
    float longitude;
    float scale;
    float tileScale;
    float rotation;
    std::uint32_t zoom;
    std::int32_t x;
    std::int32_t y;
    std::uint32_t pizzaStep;
    std::uint32_t dogCount;
    float dogs[maxDogs][2]; // latitude, longitude
    std::uint32_t tilesCached;
    std::uint32_t tilesPending;
    std::uint32_t tilesVisiblePending;
    std::uint32_t damagedTiles;
    float gestureTx;
    float gestureTy;
    float gestureScale;
    float gestureRotation;
    // The pixels the frame redrew (its invalidated areas, each counted whole).
    std::uint32_t dirtyPixels;
};

// On the GUI task, between frames.
void readTraceState(TraceState& state);

} // namespace devices
