/* The processor's exception vectors: the initial stack pointer, then the
   system exceptions. A board port appends the vectors of its interrupt
   lines. Every handler not defined elsewhere reports and stops. */
    .syntax unified
    .thumb

    .section .vectors, "a"
    .align 2
    .globl vector_table
vector_table:
    .word __main_stack_top
    .word Reset_Handler
    .word NMI_Handler
    .word HardFault_Handler
    .word MemManage_Handler
    .word BusFault_Handler
    .word UsageFault_Handler
    .word SecureFault_Handler
    .word 0
    .word 0
    .word 0
    .word SVC_Handler
    .word DebugMon_Handler
    .word 0
    .word PendSV_Handler
    .word SysTick_Handler

    .text
    .thumb_func
    .type Default_Handler, %function
Default_Handler:
    /* A stack overflow ends here with the stack at its limit: lift the
       limit so that the report can still be made below it. */
    movs r0, #0
    msr msplim, r0
    mov r0, lr
    b unexpectedException

    .weak NMI_Handler
    .thumb_set NMI_Handler, Default_Handler
    .weak HardFault_Handler
    .thumb_set HardFault_Handler, Default_Handler
    .weak MemManage_Handler
    .thumb_set MemManage_Handler, Default_Handler
    .weak BusFault_Handler
    .thumb_set BusFault_Handler, Default_Handler
    .weak UsageFault_Handler
    .thumb_set UsageFault_Handler, Default_Handler
    .weak SecureFault_Handler
    .thumb_set SecureFault_Handler, Default_Handler
    .weak SVC_Handler
    .thumb_set SVC_Handler, Default_Handler
    .weak DebugMon_Handler
    .thumb_set DebugMon_Handler, Default_Handler
    .weak PendSV_Handler
    .thumb_set PendSV_Handler, Default_Handler
    .weak SysTick_Handler
    .thumb_set SysTick_Handler, Default_Handler
