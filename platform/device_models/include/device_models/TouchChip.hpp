#pragma once

#include <cstddef>
#include <cstdint>

#include "platform/bsp.h"

// The touch chip as the firmware meets it on the I2C bus: its address, its
// register map and which transfers it takes. Shared by the simulator's chip
// and the emulated board's, which differ only in how they report.
namespace devices::touch {

constexpr std::uint8_t chipAddress = 0xBA;
constexpr std::uint16_t statusRegister = 0x814E;
constexpr std::uint16_t firstRegister = 0x814E;
constexpr std::uint16_t lastRegister = 0x815F;
constexpr std::uint16_t firstPointRegister = 0x8150;
constexpr std::uint16_t secondPointRegister = 0x8158;
constexpr std::size_t registerCount = lastRegister - firstRegister + 1;
constexpr std::uint8_t bufferReady = 0x80;
// While a finger is down.
constexpr std::uint32_t reportPeriodMs = 10;

// The bus controller takes a set-up with a timing, 7-bit addresses and a
// filter it has.
inline bool busConfigAccepted(const bsp::I2cConfig& config)
{
    return config.timing != 0 && config.sevenBitAddressing && config.digitalFilter <= 15;
}

// Only the chip answers on the bus. It reads out any run of its registers;
// a start past the last one must not wrap the room that is left.
inline bool readAccepted(std::uint8_t device, std::uint16_t reg, std::size_t size)
{
    return device == chipAddress && reg >= firstRegister && reg <= lastRegister &&
           size <= std::size_t{lastRegister} + 1 - reg;
}

// The firmware writes only the status register, one byte, to clear it.
inline bool writeAccepted(std::uint8_t device, std::uint16_t reg, std::size_t size)
{
    return device == chipAddress && reg == statusRegister && size == 1;
}

} // namespace devices::touch
