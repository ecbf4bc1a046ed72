#pragma once

#include <cstddef>
#include <cstdint>

namespace target {

// Access to the touch panel chip: its 16-bit-addressed registers on the bus
// and the interrupt line it raises. The board implements it over I2C, tests
// and the simulator with a stand-in chip.
class TouchPanelPort {
public:
    virtual ~TouchPanelPort() = default;

    // False when the chip did not answer in time; the data is then undefined.
    virtual bool readRegisters(std::uint16_t address, std::uint8_t* data, std::size_t size) = 0;
    virtual bool writeRegisters(std::uint16_t address, const std::uint8_t* data, std::size_t size) = 0;

    // Keeps the touch interrupt from firing while a sample is read.
    virtual void maskTouchInterrupt() = 0;
    virtual void unmaskTouchInterrupt() = 0;
};

} // namespace target
