#pragma once

// The kernel's memory on the board, checked under the running scheduler:
// its timer-service task in static memory, and task blocks and stacks that
// come from the kernel heap and go back to it when their task ends. Prints
// what it found; false when something is not so.
namespace selfcheck {

bool checkKernelMemory();

} // namespace selfcheck
