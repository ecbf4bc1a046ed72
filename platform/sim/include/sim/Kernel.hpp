#pragma once

#include <cstdint>
#include <vector>

#include "platform/rtos.h"

namespace sim {

// Tasks are host threads, but only one runs at a time: the highest-priority
// ready one. A task gives up the processor only inside kernel calls, so a
// higher-priority task whose delay ends while a lower one computes runs at
// that task's next kernel call.
//
// Wall-clock time follows the host clock but for a ClockPause. In virtual
// time the clock stands still while a task runs and jumps to the next wake-up
// when every task is blocked, so a run is fast and repeats exactly.
enum class TimeMode { WallClock, Virtual };

enum class KernelStop {
    Requested,  // stopKernel() was called
    TimeLimit,  // the kernel clock reached the limit
    AllBlocked, // no task is left, or (virtual time) every task waits with no wake-up ahead
};

// The time mode rtos::startScheduler() runs in (default: wall-clock), and
// the kernel time at which it stops (default: never).
void setTimeMode(TimeMode mode);
void setTimeLimit(std::uint32_t limitMs);

// Runs the created tasks from kernel time 0 until one of the KernelStop
// reasons, then unwinds every task and forgets it, so that the next run
// starts clean. Tasks stop at their next kernel call.
KernelStop runKernel(TimeMode mode, std::uint32_t timeLimitMs = rtos::waitForever);

// Ends the current run. Called from a task, it does not return.
void stopKernel();

// Work of the host's done on a task (the simulator's trace, screenshots),
// which the board would not do: on the wall clock, kernel time stands still
// meanwhile, so the board's tasks lose no ticks to it. A wait on the kernel
// ends it.
class ClockPause {
public:
    ClockPause();
    ~ClockPause();
    ClockPause(const ClockPause&) = delete;
    ClockPause& operator=(const ClockPause&) = delete;
};

// What the kernel holds, for a long run to watch for leaks.
struct QueueFill {
    std::uint32_t now;  // the message held (0 or 1) plus senders blocked on a full queue
    std::uint32_t peak; // the most since the previous reading
};
struct KernelFigures {
    std::uint32_t heapInUse; // task stacks, bytes
    std::uint32_t heapPeak;  // since power-on
    std::uint32_t heapSize;
    std::vector<QueueFill> queues; // in creation order
};
// With `startNewPeaks` the queues' next peaks start from their present fill.
KernelFigures readKernelFigures(bool startNewPeaks);

} // namespace sim
