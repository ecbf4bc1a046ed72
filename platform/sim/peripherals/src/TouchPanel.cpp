// The touch panel chip on the I2C bus at 0xBA, and its interrupt line on
// external line 5. While a finger is down the chip reports every 10 ms; each
// report latches the fingers into its registers and pulls the line low.
// Injected faults (device_models/Faults.hpp) make it hold the bus, answer late,
// garble every third report or keep its line low.

#include <mutex>

#include "BoardState.hpp"
#include "device_models/Faults.hpp"
#include "device_models/TouchBusFaults.hpp"
#include "device_models/TouchChip.hpp"
#include "sim/Kernel.hpp"

using namespace devices::touch;

namespace {

struct Chip {
    bool busReady = false;
    Fingers fingers;
    Registers registers;
    std::uint32_t reports = 0;
};

// The host's input thread moves the fingers; the firmware reads the chip.
std::mutex chipMutex;
Chip chip;

void pullInterruptLine(void*)
{
    HAL_GPIO_FallingEdgeCallback(bsp::touchInterruptPin);
}

void report(void*)
{
    bool touched = false;
    {
        std::lock_guard lock(chipMutex);
        chip.registers.latchReport(++chip.reports, chip.fingers);
        touched = chip.fingers.count > 0;
    }
    if (!devices::faultActive(devices::Fault::TouchIrqStuck)) {
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
        chip.fingers = {};
        chip.fingers.count = static_cast<std::uint32_t>(count < 0 ? 0 : (count > 2 ? 2 : count));
        for (std::uint32_t i = 0; i < chip.fingers.count; ++i) {
            chip.fingers.points[i] = packPoint(fingers[i].x, fingers[i].y);
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
    if (!chip.busReady || !chip.registers.read(device, reg, data, size)) {
        return Status::Error;
    }
    return Status::Ok;
}

Status i2cWrite(std::uint8_t device, std::uint16_t reg, const std::uint8_t* data, std::size_t size,
                std::uint32_t timeout)
{
    if (device == chipAddress && !busAnswers(timeout)) {
        return Status::Error;
    }
    std::lock_guard lock(chipMutex);
    if (!chip.busReady || !chip.registers.write(device, reg, data, size)) {
        return Status::Error;
    }
    return Status::Ok;
}

} // namespace bsp
