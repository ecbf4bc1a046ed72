#include "platform/bsp.h"
#include "startup/main.h"

void Error_Handler()
{
    bsp::disableAllInterrupts();
    bsp::halt();
}
