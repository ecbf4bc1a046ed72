#pragma once

#include "board_glue/TouchPanelPort.hpp"

namespace target {

// The touch panel chip on the board's I2C bus at 0xBA, its interrupt on
// the touch line.
class I2cTouchPanelPort : public TouchPanelPort {
public:
    static constexpr std::uint8_t chipAddress = 0xBA;
    // Eight bytes take well under a millisecond at 100 kHz. A chip holding
    // the bus longer must not hold the GUI task with it: the transfer fails.
    static constexpr std::uint32_t transferTimeoutMs = 5;

    // A transfer the bus refuses or that times out reads as zeros.
    bool readRegisters(std::uint16_t address, std::uint8_t* data, std::size_t size) override;
    bool writeRegisters(std::uint16_t address, const std::uint8_t* data, std::size_t size) override;
    void maskTouchInterrupt() override;
    void unmaskTouchInterrupt() override;
};

} // namespace target
