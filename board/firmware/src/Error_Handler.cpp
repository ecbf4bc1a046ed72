#include "board/bsp.h"
#include "board/main.h"

void Error_Handler()
{
    bsp::disableAllInterrupts();
    bsp::halt();
}
