// The touch panel chip on the I2C bus at 0xBA, and its interrupt line on
// external line 5. While a finger is down the chip reports every 10 ms; each
// report latches the fingers into its registers and pulls the line low.
// Injected faults (device_models/Faults.hpp) make it hold the bus, answer late,
// garble every third report or keep its line low.

#include <array>
#include <cstring>
#include <mutex>

#include "BoardState.hpp"
#include "device_models/Faults.hpp"
#include "device_models/TouchBusFaults.hpp"
#include "device_models/TouchChip.hpp"
#include "sim/Kernel.hpp"

using namespace devices::touch;

namespace {

// A first point that is not on the 800 x 480 panel: the 12-bit full scale.
constexpr sim::board::Finger offPanel{0xFFF, 0xFFF};

struct Chip {
    bool busReady = false;
    std::array<sim::board::Finger, 2> fingers{};
    int fingerCount = 0;
    std::array<std::uint8_t, registerCount> registers{};
    std::uint64_t reports = 0;
};

// The host's input thread moves the fingers; the firmware reads the chip.
std::mutex chipMutex;
Chip chip;

void pullInterruptLine(void*)
{
    HAL_GPIO_FallingEdgeCallback(bsp::touchInterruptPin);
}

void putPoint(std::uint16_t reg, const sim::board::Finger& finger)
{
    std::uint8_t* at = chip.registers.data() + (reg - firstRegister);
    at[0] = static_cast<std::uint8_t>(finger.x);
    at[1] = static_cast<std::uint8_t>(finger.x >> 8);
    at[2] = static_cast<std::uint8_t>(finger.y);
    at[3] = static_cast<std::uint8_t>(finger.y >> 8);
}

void report(void*)
{
    using devices::Fault;
    using devices::faultActive;
    bool touched = false;
    {
        std::lock_guard lock(chipMutex);
        const bool garbled = ++chip.reports % 3 == 0;
        std::uint32_t claimed = 0;
        const bool badCount = garbled && faultActive(Fault::TouchCount, &claimed);
        const bool outside = garbled && faultActive(Fault::TouchOutside);
        const std::uint32_t count = badCount ? claimed : static_cast<std::uint32_t>(chip.fingerCount);
        chip.registers[statusRegister - firstRegister] = static_cast<std::uint8_t>(bufferReady | (count & 0x0F));
        putPoint(firstPointRegister, outside ? offPanel : chip.fingers[0]);
        putPoint(secondPointRegister, chip.fingers[1]);
        touched = chip.fingerCount > 0;
    }
    if (!faultActive(Fault::TouchIrqStuck)) {
        sim::board::detail::requestInterrupt(bsp::Irq::TouchLine, pullInterruptLine);
    }
    if (touched) {
        sim::scheduleInterrupt(report, &chip, sim::kernelMilliseconds() + reportPeriodMs);
    } else {
        sim::cancelInterrupt(report, &chip);
    }
}

// The transfer waits on the calling task as the chip makes it. False: no
// answer in time.
bool busAnswers(std::uint32_t timeout)
{
    const devices::touch::BusWait wait = devices::touch::busWait(timeout);
    if (wait.waits && sim::inTask()) {
        rtos::delay(wait.waitMs);
    }
    return wait.answers;
}

} // namespace

namespace sim::board {

void setFingers(const Finger* fingers, int count)
{
    {
        std::lock_guard lock(chipMutex);
        chip.fingerCount = count < 0 ? 0 : (count > 2 ? 2 : count);
        chip.fingers = {};
        for (int i = 0; i < chip.fingerCount; ++i) {
            chip.fingers[static_cast<std::size_t>(i)] = fingers[i];
        }
    }
    sim::raiseInterrupt(report, &chip);
}

} // namespace sim::board

namespace sim::board::detail {

void resetTouch()
{
    sim::cancelInterrupt(report, &chip);
    std::lock_guard lock(chipMutex);
    chip = Chip{};
}

} // namespace sim::board::detail

namespace bsp {

using sim::board::Step;
using sim::board::detail::takeFailure;

Status i2cInit(const I2cConfig& config)
{
    if (takeFailure(Step::I2c) || !busConfigAccepted(config)) {
        return Status::Error;
    }
    std::lock_guard lock(chipMutex);
    chip.busReady = true;
    return Status::Ok;
}

Status i2cRead(std::uint8_t device, std::uint16_t reg, std::uint8_t* data, std::size_t size, std::uint32_t timeout)
{
    if (device == chipAddress && !busAnswers(timeout)) {
        return Status::Error;
    }
    std::lock_guard lock(chipMutex);
    if (!chip.busReady || !readAccepted(device, reg, size)) {
        return Status::Error;
    }
    std::memcpy(data, chip.registers.data() + (reg - firstRegister), size);
    return Status::Ok;
}

Status i2cWrite(std::uint8_t device, std::uint16_t reg, const std::uint8_t* data, std::size_t size,
                std::uint32_t timeout)
{
    if (device == chipAddress && !busAnswers(timeout)) {
        return Status::Error;
    }
    std::lock_guard lock(chipMutex);
    if (!chip.busReady || !writeAccepted(device, reg, size)) {
        return Status::Error;
    }
    chip.registers[0] = data[0];
    return Status::Ok;
}

} // namespace bsp
