#pragma once

// The blitter's pixel work: one transfer, done at once, from what its
// registers hold. Shared by the boards that model the blitter (the PC's,
// the emulated board's) and by the emulated board's host runner, which does
// the emulated board's transfers in its RAM block.

#include <cstdint>

#include "device_models/BlitterPixels.hpp"
#include "platform/bsp.h"

namespace devices::blit {

// What the blitter's registers hold. The same layout on the PC and on the
// 32-bit board: the emulated board's host runner reads it in place.
struct Registers {
    bsp::BlitterOutput output;
    bsp::BlitterLayer layers[2]; // background, foreground
    Palette palette;
};

// One started transfer, addresses as the board sees them. Without `blend`:
// a fill (register to memory, `source` the ARGB8888 colour), copy or
// conversion; with it: the foreground (0: the foreground layer's colour)
// over the background into the destination.
struct Job {
    std::uint64_t source;
    std::uint64_t background;
    std::uint64_t destination;
    std::uint32_t width;
    std::uint32_t height;
    std::uint32_t blend;
};

// What a transfer moved, for a board that gives its blitter time: the
// bytes it read and wrote, and whether it blended two layers.
struct TransferLoad {
    std::uint64_t bytes = 0;
    bool blended = false;
};

// Where a board address lies in the memory the engine works on; null when
// `bytes` from it are not there.
class MemoryWindow {
public:
    virtual ~MemoryWindow() = default;
    virtual std::uint8_t* at(std::uint64_t address, std::uint64_t bytes) const = 0;
};

// Addresses that are the process's own pointers.
class DirectMemory : public MemoryWindow {
public:
    std::uint8_t* at(std::uint64_t address, std::uint64_t bytes) const override;
};

// Does the job; false when the registers or the job are unfit for it or
// its memory lies outside the window, and nothing was written.
bool runJob(const Registers& registers, const Job& job, const MemoryWindow& memory, TransferLoad& load);

} // namespace devices::blit
