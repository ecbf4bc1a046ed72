// The three tasks and the processor-load hook of the idle task.

#include "model/WatchdogFlag.hpp"
#include "platform/bsp.h"
#include "startup/main.h"
#include "tile_fetcher/TileFetcher.h"
#include "ui/HAL.hpp"

namespace {

constexpr std::uint32_t watchdogRefreshPeriodMs = 800;

} // namespace

const rtos::TaskAttributes defaultTask_attributes{"defaultTask", 128 * 4, rtos::Priority::Normal};
const rtos::TaskAttributes GUI_Task_attributes{"GUI_Task", 16384 * 4, rtos::Priority::Normal};

rtos::TaskHandle defaultTaskHandle = nullptr;
rtos::TaskHandle GUI_TaskHandle = nullptr;
rtos::TaskHandle TileFetcher_TaskHandle = nullptr;

// A task the kernel heap cannot hold would leave the board running without
// it, the watchdog still refreshed: better to stop.
void RTOS_Init()
{
    defaultTaskHandle = rtos::createTask(StartDefaultTask, nullptr, defaultTask_attributes);
    GUI_TaskHandle = rtos::createTask(StartGUITask, nullptr, GUI_Task_attributes);
    TileFetcher_TaskHandle = rtos::createTask(TileFetcher_Task, nullptr, TileFetcher_Task_attributes);
    if (defaultTaskHandle == nullptr || GUI_TaskHandle == nullptr || TileFetcher_TaskHandle == nullptr) {
        Error_Handler();
    }
}

// Refreshes the watchdog every 800 ms while the application lets it.
extern "C" void StartDefaultTask(void*)
{
    std::uint32_t counter = 0;
    for (;;) {
        ++counter;
        rtos::delay(1);
        if (counter == watchdogRefreshPeriodMs) {
            if (watchdogRefreshEnabled) {
                bsp::watchdogRefresh();
            }
            rtos::delay(1);
            rtos::delay(1);
            counter = 2;
        }
    }
}

extern "C" void StartGUITask(void*)
{
    gui_taskEntry();
}

bool IdleTaskHook(void* p)
{
    if (ui::HAL* hal = ui::HAL::getInstance()) {
        hal->setMCUActive(p != nullptr);
    }
    return true;
}

void kernel_IdleHook()
{
    rtos::setIdleTaskTag(IdleTaskHook);
}
