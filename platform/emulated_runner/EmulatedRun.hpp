#pragma once

#include "RunSettings.hpp"

namespace emulated {

// Starts the emulated board on the image under QEMU, serves its GPU and
// frame reports until the frames are done, and saves the last frame.
RunOutcome runEmulatedBoard(const RunSettings& settings);

} // namespace emulated
