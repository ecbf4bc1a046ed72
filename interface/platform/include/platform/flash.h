#pragma once

#include <cstdint>

// The external flash is mapped read-only at this address; the tile
// collection's tables hold absolute 32-bit addresses based here.
constexpr std::uint32_t flashBaseAddress = 0xA0000000u;

// Pointer to `size` bytes of flash at `address`, or null when the range lies
// outside the flash content.
const void* flash_pointer(std::uint32_t address, std::uint32_t size);
