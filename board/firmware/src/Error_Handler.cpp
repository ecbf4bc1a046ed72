#include "board/main.h"
#include "platform/bsp.h"

void Error_Handler()
{
    bsp::disableAllInterrupts();
    bsp::halt();
}
