// The emulated board's side of the blitter model. As on the board, the
// blitter is a device beside the core: a transfer whose memory lies in the
// shared RAM block is done by the host runner, taking no emulated time,
// like the GPU's command lists; one that reaches elsewhere is done by the
// processor, its work left out of the firmware's costs. Its end pends the
// blitter interrupt as the hardware's completion would: at once in board
// time, in emulated time when the board's blitter would have moved the
// transfer's bytes (DeviceTime.hpp).

#include "BoardClock.hpp"
#include "DeviceTime.hpp"
#include "FrameCost.hpp"
#include "HostLink.hpp"
#include "InterruptLines.hpp"
#include "device_models/BlitterModel.hpp"
#include "platform/bsp.h"

namespace {

// Read in place by the host runner.
[[gnu::section(".bss.hostShared")]] devices::blit::Registers registers;

bool failed = false; // the pending interrupt reports an error

bool shared(std::uint64_t address)
{
    return address >= emulated::sharedRamBase && address - emulated::sharedRamBase < emulated::sharedRamSize;
}

std::uint32_t word(std::uint64_t address)
{
    return static_cast<std::uint32_t>(address);
}

} // namespace

namespace devices::blit {

Registers& boardRegisters()
{
    return registers;
}

bool runTransfer(const Registers& r, const Job& job, TransferLoad& load)
{
    const bool fill = job.blend == 0 && r.output.mode == bsp::BlitterMode::RegisterToMemory;
    const bool hostReaches = shared(job.destination) && (fill || job.source == 0 || shared(job.source)) &&
                             (job.blend == 0 || shared(job.background));
    if (!hostReaches) {
        const emulated::LeftOutWork work(emulated::LeftOut::Emulation);
        return runJob(r, job, DirectMemory{}, load);
    }
    const emulated::ReplyRecord reply = emulated::ask(
        emulated::Request::BlitRun, {word(reinterpret_cast<std::uintptr_t>(&r)), word(job.source), word(job.background),
                                     word(job.destination), job.width, job.height, job.blend});
    load = TransferLoad{reply.words[1], job.blend != 0};
    return reply.words[0] == 1;
}

void signalEnd(bool withError, const TransferLoad& load)
{
    if (!emulated::interruptEnabled(bsp::Irq::Blitter)) {
        return;
    }
    failed = withError;
    if (withError || emulated::timeMode() != emulated::TimeMode::Emulated) {
        emulated::pendInterrupt(bsp::Irq::Blitter);
        return;
    }
    const std::uint64_t cycles = emulated::transferCycles(load);
    emulated::deviceWorked(emulated::Device::Blitter, cycles);
    emulated::blitterDoneIn(cycles);
}

bool initRefused()
{
    return false;
}

} // namespace devices::blit

extern "C" void Blitter_IRQHandler()
{
    if (const bsp::BlitterCallback callback = devices::blit::endCallback(failed)) {
        callback();
    }
}
