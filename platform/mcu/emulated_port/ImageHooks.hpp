#pragma once

#include "emulated/CostRecords.hpp"
#include "emulated/FrameRecord.hpp"

// What the port asks of the image, which holds the application; on the GUI
// task, at the end of a frame.
namespace emulated {

// The menu key: the application goes back to its start screen.
void showStartScreen();

void readFrameRecord(FrameRecord& record);

// The firmware's task stacks and kernel heap, at the end of a run.
void readRunFigures(RunFigures& figures);

} // namespace emulated
