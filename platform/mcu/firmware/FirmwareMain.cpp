// The board's entry from the reset handler: the firmware's start-up, which
// ends in the kernel and does not come back.

#include "startup/main.h"

int main()
{
    board_main();
    // Only a start-up that lost the kernel gets here: report failure.
    return 1;
}
