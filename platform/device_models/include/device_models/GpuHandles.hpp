#pragma once

#include <cstdint>

#include "gpu/gpu_graphics.h"

// The GPU library's path and paint handles, shared by the PC's library and
// the emulated board's: both keep them in the library's host pool and check
// a handle's magic number before they use it. The library functions that
// only keep what a handle or a command list holds are defined with them
// (GpuHandles.cpp); each library defines the rest, vg_paint_create among
// them, as a library may keep more in its paints.
namespace devices::vg {

constexpr std::uint32_t pathMagic = 0x50415448u;
constexpr std::uint32_t paintMagic = 0x5041494Eu;

struct Path {
    std::uint32_t magic = pathMagic;
    float matrix[3][3] = {{1, 0, 0}, {0, 1, 0}, {0, 0, 1}};
    std::uint32_t commandCount = 0;
    const std::uint8_t* commands = nullptr;
    std::uint32_t floatCount = 0;
    const float* floats = nullptr;
};

struct Paint {
    std::uint32_t magic = paintMagic;
    std::uint8_t type = VG_PAINT_COLOR;
    std::uint32_t color = 0xFF000000u; // r in the low byte, a in the high byte
    float opacity = 1.0f;
};

// Null unless the handle is a live path or paint.
Path* asPath(void* handle);
Paint* asPaint(void* handle);
} // namespace devices::vg
