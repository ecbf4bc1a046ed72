#pragma once

namespace sim {

// Fibers only (the browser): once the running task's turn ends, the kernel's
// own fiber calls `step`, once. A task's fiber cannot give the thread to the
// page's event loop; the kernel's can, sleeping in `step`.
void afterTaskTurn(void (*step)());

} // namespace sim
