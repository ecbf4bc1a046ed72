#pragma once

#include "platform/rtos.h"

// The board's start-up: configuration steps, GUI construction, the three
// tasks. On the board the reset handler calls board_main(); it never returns
// there. On the PC it returns when the simulator stops the kernel.
void board_main();

[[noreturn]] void Error_Handler();

void RTOS_Init();
void GUI_Init();
void GUI_PreOSInit();
void gui_components_init();
void gui_init();
[[noreturn]] void gui_taskEntry();

extern "C" void StartDefaultTask(void* argument);
extern "C" void StartGUITask(void* argument);

extern const rtos::TaskAttributes defaultTask_attributes;
extern const rtos::TaskAttributes GUI_Task_attributes;
extern rtos::TaskHandle defaultTaskHandle;
extern rtos::TaskHandle GUI_TaskHandle;
extern rtos::TaskHandle TileFetcher_TaskHandle;

// The idle task's tag: p is non-zero when the idle task leaves the processor.
bool IdleTaskHook(void* p);
void kernel_IdleHook();
