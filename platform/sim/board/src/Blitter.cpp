// The simulator board's side of the blitter model: a transfer's end raises
// the blitter interrupt at once; the start-up failures the tests configure
// refuse the configuration.

#include "BoardState.hpp"
#include "sim/BlitterModel.hpp"
#include "sim/BoardFaults.hpp"
#include "sim/Interrupts.hpp"

namespace {

// Tell a complete's interrupt from an error's.
char completeEnd;
char errorEnd;

} // namespace

namespace sim::blit {

void signalEnd(bool failed)
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

void transferBegins()
{
}

void transferEnds()
{
}

} // namespace sim::blit

namespace sim::board::detail {

void resetBlitter()
{
    sim::blit::resetModel();
}

} // namespace sim::board::detail
