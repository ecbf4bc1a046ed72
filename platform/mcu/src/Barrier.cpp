// Barriers are the core's own instructions, the same on every board.

#include "platform/bsp.h"

namespace bsp {

void barrier()
{
    asm volatile("dsb\n isb" ::: "memory");
}

} // namespace bsp
