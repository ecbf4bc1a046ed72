#pragma once

#include "emulated/FrameRecord.hpp"

// What the port asks of the image, which holds the application; on the GUI
// task, at the end of a frame.
namespace emulated {

// The menu key: the application goes back to its start screen.
void showStartScreen();

void readFrameRecord(FrameRecord& record);

} // namespace emulated
