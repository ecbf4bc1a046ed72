#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <cstring>

#include "device_models/Faults.hpp"
#include "platform/bsp.h"

// The touch chip as the firmware meets it on the I2C bus: its address, its
// register map, which transfers it takes and what a report latches into its
// registers. Shared by the simulator's chip and the emulated board's, which
// differ only in when they report.
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

// A finger as the chip reports it: x in the low half, y in the high half,
// in panel pixels.
constexpr std::uint32_t packPoint(std::uint16_t x, std::uint16_t y)
{
    return x | std::uint32_t{y} << 16;
}

// A first point that is not on the panel: the 12-bit full scale.
constexpr std::uint32_t offPanel = packPoint(0xFFF, 0xFFF);

// The fingers on the panel: how many (at most two) and where.
struct Fingers {
    std::uint32_t count = 0;
    std::array<std::uint32_t, 2> points{}; // packPoint
};

// The chip's registers, from the status register on.
class Registers {
public:
    // Latches report number `reportNumber` of the fingers: their count and
    // both points. Every third report is garbled while the count or the
    // outside fault is active.
    void latchReport(std::uint32_t reportNumber, const Fingers& fingers)
    {
        const bool garbled = reportNumber % 3 == 0;
        std::uint32_t claimed = 0;
        const bool badCount = garbled && faultActive(Fault::TouchCount, &claimed);
        const bool outside = garbled && faultActive(Fault::TouchOutside);
        const std::uint32_t count = badCount ? claimed : fingers.count;
        bytes[statusRegister - firstRegister] = static_cast<std::uint8_t>(bufferReady | (count & 0x0F));
        putPoint(firstPointRegister, outside ? offPanel : fingers.points[0]);
        putPoint(secondPointRegister, fingers.points[1]);
    }

    // A read the chip takes (readAccepted) copies its registers out.
    bool read(std::uint8_t device, std::uint16_t reg, std::uint8_t* data, std::size_t size) const
    {
        if (!readAccepted(device, reg, size)) {
            return false;
        }
        std::memcpy(data, bytes.data() + (reg - firstRegister), size);
        return true;
    }

    // A write the chip takes (writeAccepted) sets the status register: the
    // firmware clears it so.
    bool write(std::uint8_t device, std::uint16_t reg, const std::uint8_t* data, std::size_t size)
    {
        if (!writeAccepted(device, reg, size)) {
            return false;
        }
        bytes[0] = data[0];
        return true;
    }

private:
    void putPoint(std::uint16_t reg, std::uint32_t point)
    {
        std::uint8_t* at = bytes.data() + (reg - firstRegister);
        at[0] = static_cast<std::uint8_t>(point);
        at[1] = static_cast<std::uint8_t>(point >> 8);
        at[2] = static_cast<std::uint8_t>(point >> 16);
        at[3] = static_cast<std::uint8_t>(point >> 24);
    }

    std::array<std::uint8_t, registerCount> bytes{};
};

} // namespace devices::touch
