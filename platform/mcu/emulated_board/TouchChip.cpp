// The touch panel chip at bus address 0xBA, as a model of its registers
// behind the I2C calls: the emulated board has no such chip. The status
// register's low bits count the points, which follow from 0x8150 and
// 0x8158.

#include <array>
#include <cstring>

#include "board/bsp.h"

namespace {

constexpr std::uint8_t chipAddress = 0xBA;
constexpr std::uint16_t firstRegister = 0x8140;
constexpr std::size_t registerCount = 0x40;

std::array<std::uint8_t, registerCount> registers{};
bool busReady = false;

bool inRange(std::uint8_t device, std::uint16_t reg, std::size_t size)
{
    return busReady && device == chipAddress && reg >= firstRegister && reg - firstRegister + size <= registerCount;
}

} // namespace

namespace bsp {

Status i2cInit(const I2cConfig& config)
{
    busReady = config.sevenBitAddressing;
    return busReady ? Status::Ok : Status::Error;
}

Status i2cRead(std::uint8_t device, std::uint16_t reg, std::uint8_t* data, std::size_t size, std::uint32_t)
{
    if (data == nullptr || !inRange(device, reg, size)) {
        return Status::Error;
    }
    std::memcpy(data, &registers[reg - firstRegister], size);
    return Status::Ok;
}

Status i2cWrite(std::uint8_t device, std::uint16_t reg, const std::uint8_t* data, std::size_t size, std::uint32_t)
{
    if (data == nullptr || !inRange(device, reg, size)) {
        return Status::Error;
    }
    std::memcpy(&registers[reg - firstRegister], data, size);
    return Status::Ok;
}

} // namespace bsp
