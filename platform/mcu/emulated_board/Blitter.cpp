// The emulated board's side of the blitter model: the processor does the
// transfers, which are left out of the firmware's costs (the board's blitter
// is hardware); a transfer's end pends the blitter interrupt, as the
// hardware's completion would.

#include "FrameCost.hpp"
#include "InterruptLines.hpp"
#include "platform/bsp.h"
#include "sim/BlitterModel.hpp"

namespace {

bool failed = false; // the pending interrupt reports an error

} // namespace

namespace sim::blit {

void signalEnd(bool withError)
{
    if (emulated::interruptEnabled(bsp::Irq::Blitter)) {
        failed = withError;
        emulated::pendInterrupt(bsp::Irq::Blitter);
    }
}

bool initRefused()
{
    return false;
}

void transferBegins()
{
    emulated::leftOutBegins(emulated::LeftOut::BlitterModel);
}

void transferEnds()
{
    emulated::leftOutEnds(emulated::LeftOut::BlitterModel);
}

} // namespace sim::blit

extern "C" void Blitter_IRQHandler()
{
    if (const bsp::BlitterCallback callback = sim::blit::endCallback(failed)) {
        callback();
    }
}
