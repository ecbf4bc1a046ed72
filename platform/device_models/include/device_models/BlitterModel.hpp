#pragma once

#include "device_models/BlitterEngine.hpp"
#include "platform/bsp.h"

// The blitter's model (bsp::blitter*), shared by the simulator board and the
// emulated board: its registers and their checks. Each board supplies where
// the registers lie, who does a transfer's pixel work and how its end
// reaches the firmware.
namespace devices::blit {

// Each board's: the registers' storage.
Registers& boardRegisters();
// Each board's: does the job (runJob, here or elsewhere); false when it
// could not be done.
bool runTransfer(const Registers& registers, const Job& job, TransferLoad& load);
// Each board's: a transfer ended (failed: with an error, and nothing
// moved); raise the blitter interrupt if it is enabled. Its handler calls
// endCallback(failed).
void signalEnd(bool failed, const TransferLoad& load);
// Each board's: the configuration call fails by an injected start-up
// failure.
bool initRefused();

// The firmware's callback for a transfer's end; null if it set none.
bsp::BlitterCallback endCallback(bool failed);
// Back to power-on.
void resetModel();

} // namespace devices::blit
