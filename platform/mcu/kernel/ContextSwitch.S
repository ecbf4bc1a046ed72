/* Task switches. A task's saved context on its own stack: stack limit,
   r4 to r11, exception return value, then s16 to s31 when the task used the
   floating-point unit, then what the exception entry pushed. */
    .syntax unified
    .thumb
    .text

    .globl PendSV_Handler
    .thumb_func
    .type PendSV_Handler, %function
PendSV_Handler:
    mrs r0, psp
    tst lr, #0x10
    it eq
    vstmdbeq r0!, {s16-s31}
    mrs r2, psplim
    stmdb r0!, {r2, r4-r11, lr}
    cpsid i
    bl kernelSwitch
    cpsie i
    b restore

    .globl SVC_Handler
    .thumb_func
    .type SVC_Handler, %function
SVC_Handler:
    bl kernelFirstStack

restore:
    ldmia r0!, {r2, r4-r11, lr}
    tst lr, #0x10
    it eq
    vldmiaeq r0!, {s16-s31}
    movs r1, #0
    msr psplim, r1
    msr psp, r0
    msr psplim, r2
    isb
    bx lr
