// The touch panel chip at bus address 0xBA, as a model of its registers
// behind the I2C calls, behaving as the simulator's chip does: while a
// finger is down it reports every 10 ms of board time; each report latches
// the fingers into the registers and pulls the touch line low. The fingers
// come from the host runner's script with each frame's reply. Injected
// faults make it hold the bus, answer late, garble every third report or
// keep its line low, as the simulator's chip does.
//
// In emulated time each report asks the runner where the fingers are then,
// as its script has them; fingers that come with a frame's reply while the
// chip reports wait for its next report, which keeps its 10 ms.

#include "Inputs.hpp"

#include "BoardClock.hpp"
#include "HostLink.hpp"
#include "InterruptLines.hpp"
#include "device_models/Faults.hpp"
#include "device_models/TouchBusFaults.hpp"
#include "device_models/TouchChip.hpp"
#include "mcu/InterruptsHeld.hpp"
#include "platform/bsp.h"
#include "platform/rtos.h"

using namespace devices::touch;

namespace {

struct Chip {
    bool busReady = false;
    Fingers fingers;
    Registers registers;
    bool reporting = false;
    std::uint32_t nextReportMs = 0;
    std::uint32_t reports = 0;
};

Chip chip;

void setFingers(std::uint32_t count, std::uint32_t first, std::uint32_t second)
{
    chip.fingers.count = count > 2 ? 2 : count;
    chip.fingers.points = {chip.fingers.count > 0 ? first : 0, chip.fingers.count > 1 ? second : 0};
}

void report(std::uint32_t nowMs)
{
    chip.registers.latchReport(++chip.reports, chip.fingers);
    if (!devices::faultActive(devices::Fault::TouchIrqStuck)) {
        emulated::pendInterrupt(bsp::Irq::TouchLine);
    }
    chip.reporting = chip.fingers.count > 0;
    chip.nextReportMs = nowMs + reportPeriodMs;
}

// The transfer waits on the calling task as the chip makes it. False: no
// answer in time.
bool busAnswers(std::uint32_t timeout)
{
    const devices::touch::BusWait wait = devices::touch::busWait(timeout);
    if (wait.waits && emulated::kernelStarted()) {
        rtos::delay(wait.waitMs);
    }
    return wait.answers;
}

} // namespace

namespace emulated {

void touchFingers(std::uint32_t count, std::uint32_t first, std::uint32_t second, std::uint32_t nowMs)
{
    // Not torn by a report from the kernel's tick.
    const mcu::InterruptsHeld held;
    const bool reportNow = timeMode() != TimeMode::Emulated || !chip.reporting;
    setFingers(count, first, second);
    if (reportNow) {
        report(nowMs);
    }
}

void touchAdvance(std::uint32_t nowMs)
{
    if (!chip.reporting || chip.nextReportMs > nowMs) {
        return;
    }
    if (timeMode() == TimeMode::Emulated) {
        // The fingers where the script has them at this report, not where
        // they were at the last frame's end.
        const ReplyRecord now = ask(Request::Fingers, {nowMs});
        setFingers(now.words[0], now.words[1], now.words[2]);
    }
    report(nowMs);
}

} // namespace emulated

namespace bsp {

Status i2cInit(const I2cConfig& config)
{
    if (!busConfigAccepted(config)) {
        return Status::Error;
    }
    chip.busReady = true;
    return Status::Ok;
}

Status i2cRead(std::uint8_t device, std::uint16_t reg, std::uint8_t* data, std::size_t size, std::uint32_t timeout)
{
    if (device == chipAddress && !busAnswers(timeout)) {
        return Status::Error;
    }
    if (data == nullptr || !chip.busReady || !chip.registers.read(device, reg, data, size)) {
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
    if (data == nullptr || !chip.busReady || !chip.registers.write(device, reg, data, size)) {
        return Status::Error;
    }
    return Status::Ok;
}

} // namespace bsp
