// The simulator board's side of the blitter model: the registers are plain
// memory, the pixel work is done at once on the PC's own addresses, a
// transfer's end raises the blitter interrupt at once, and the start-up
// failures the tests configure refuse the configuration.

#include "BoardState.hpp"
#include "device_models/BlitterModel.hpp"
#include "device_models/Faults.hpp"
#include "sim/Interrupts.hpp"

namespace {

devices::blit::Registers registers;

// Tell a complete's interrupt from an error's.
char completeEnd;
char errorEnd;

} // namespace

namespace devices::blit {

Registers& boardRegisters()
{
    return registers;
}

bool runTransfer(const Registers& r, const Job& job, TransferLoad& load)
{
    return runJob(r, job, DirectMemory{}, load);
}

void signalEnd(bool failed, const TransferLoad&)
{
    if (!sim::board::detail::interruptEnabled(bsp::Irq::Blitter)) {
        return;
    }
    if (failed) {
        sim::raiseInterrupt([](void*) { endCallback(true)(); }, &errorEnd);
    } else {
        sim::raiseInterrupt([](void*) { endCallback(false)(); }, &completeEnd);
    }
}

bool initRefused()
{
    return sim::board::detail::takeFailure(sim::board::Step::Blitter);
}

} // namespace devices::blit

namespace sim::board::detail {

void resetBlitter()
{
    devices::blit::resetModel();
}

} // namespace sim::board::detail
