#pragma once

#include <string>

#include "simulator/BoardRun.hpp"

namespace simulator {

// True when a window can be opened: an X11 or Wayland display is set.
bool displayAvailable();

// Runs the board in an 800 x 480 window scaled by `zoom`, with mouse, wheel,
// touch and keys as input, until the board run ends. Returns what ended it;
// `problem` says why the window could not open.
RunEnd runInWindow(BoardRun& run, int zoom, std::string& problem);

} // namespace simulator
