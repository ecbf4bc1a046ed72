#include "board_glue/I2cTouchPanelPort.hpp"

#include <cstring>

#include "platform/bsp.h"

namespace target {

bool I2cTouchPanelPort::readRegisters(std::uint16_t address, std::uint8_t* data, std::size_t size)
{
    if (bsp::i2cRead(chipAddress, address, data, size, transferTimeoutMs) != bsp::Status::Ok) {
        std::memset(data, 0, size);
        return false;
    }
    return true;
}

bool I2cTouchPanelPort::writeRegisters(std::uint16_t address, const std::uint8_t* data, std::size_t size)
{
    return bsp::i2cWrite(chipAddress, address, data, size, transferTimeoutMs) == bsp::Status::Ok;
}

void I2cTouchPanelPort::maskTouchInterrupt()
{
    bsp::disableInterrupt(bsp::Irq::TouchLine);
}

void I2cTouchPanelPort::unmaskTouchInterrupt()
{
    bsp::enableInterrupt(bsp::Irq::TouchLine);
}

} // namespace target
