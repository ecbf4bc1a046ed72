#pragma once

#include "common/FrontendHeap.hpp"

// The GUI part of start-up, before the HAL is initialised, in this order:
// the bitmap table, the text table with language 0, the RGB565 frame-buffer
// format and the font provider; then the heap (model and application) is
// built and the start screen requested for the first frame.
FrontendHeap& setupFrontend();
