#pragma once

#include "target/TouchPanelPort.hpp"

namespace target {

// The touch panel chip on the board's I2C bus at 0xBA, its interrupt on
// the touch line.
class I2cTouchPanelPort : public TouchPanelPort {
public:
    static constexpr std::uint8_t chipAddress = 0xBA;

    // A transfer the bus refuses reads as zeros: no finger.
    void readRegisters(std::uint16_t address, std::uint8_t* data, std::size_t size) override;
    void writeRegisters(std::uint16_t address, const std::uint8_t* data, std::size_t size) override;
    void maskTouchInterrupt() override;
    void unmaskTouchInterrupt() override;
};

} // namespace target
