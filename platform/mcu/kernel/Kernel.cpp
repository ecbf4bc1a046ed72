#include <cstddef>
#include <cstdint>

#include "KernelState.hpp"
#include "mcu/CoreRegisters.hpp"
#include "mcu/KernelTick.hpp"
#include "vecta/Assert.hpp"

namespace {

constexpr std::size_t maxTasks = 8;
constexpr std::uint32_t kernelHeapSize = 80000;
constexpr std::uint32_t idleStackWords = 128;
constexpr std::uint8_t idlePriority = 0;

// The initial context of a task: what the context switch restores (limit,
// r4 to r11, exception return) above what the exception return pops.
constexpr std::uint32_t savedWords = 10;
constexpr std::uint32_t hardwareWords = 8;
constexpr std::uint32_t threadModeProcessStack = 0xFFFFFFFDu; // no floating-point frame
constexpr std::uint32_t thumbState = 1u << 24;

constexpr std::uintptr_t interruptControl = 0xE000ED04;
constexpr std::uint32_t pendSwitch = 1u << 28;
constexpr std::uintptr_t systemHandlerPriority3 = 0xE000ED20;
constexpr std::uint32_t lowestPriorities = 0xFFFF0000u; // system timer and switch

alignas(8) std::uint8_t kernelHeap[kernelHeapSize];
std::uint32_t kernelHeapUsed = 0;

rtos::Task tasks[maxTasks];
rtos::Task* running = nullptr;
rtos::Task* idleTask = nullptr;
volatile std::uint32_t ticks = 0;
void (*idleHook)() = nullptr;
rtos::TaskHook idleTag = nullptr;

alignas(8) std::uint32_t idleStack[idleStackWords];

void requestSwitch()
{
    mcu::coreRegister(interruptControl) = pendSwitch;
}

[[noreturn]] void taskEnded()
{
    {
        mcu::kernel::CriticalSection section;
        running->state = rtos::Task::State::Ended;
        requestSwitch();
    }
    for (;;) {}
}

[[noreturn]] void idle(void*)
{
    for (;;) {
        if (idleHook != nullptr) {
            idleHook();
        }
        mcu::idleUntilInterrupt();
    }
}

rtos::Task* place(rtos::TaskFunction function, void* argument, const char* name, std::uint8_t priority,
                  std::uint32_t* stackBottom, std::uint32_t stackWords)
{
    for (rtos::Task& task : tasks) {
        if (task.state != rtos::Task::State::Free) {
            continue;
        }
        std::uint32_t* top = stackBottom + stackWords;
        std::uint32_t* frame = top - hardwareWords;
        frame[0] = reinterpret_cast<std::uintptr_t>(argument);       // r0
        frame[5] = reinterpret_cast<std::uintptr_t>(&taskEnded);     // lr
        frame[6] = reinterpret_cast<std::uintptr_t>(function) & ~1u; // pc
        frame[7] = thumbState;                                       // xPSR
        std::uint32_t* saved = frame - savedWords;
        saved[0] = reinterpret_cast<std::uintptr_t>(stackBottom); // stack limit
        saved[savedWords - 1] = threadModeProcessStack;           // exception return
        task = rtos::Task{saved, stackBottom, name, priority, rtos::Task::State::Ready, false, nullptr, 0, false, 0};
        return &task;
    }
    return nullptr;
}

bool ranksAbove(const rtos::Task& task, const rtos::Task* other)
{
    return other == nullptr || task.priority > other->priority;
}

// The highest-priority ready task; among equals the one after the running
// task, so that equals take turns.
rtos::Task* next()
{
    const std::size_t start = running != nullptr ? static_cast<std::size_t>(running - tasks) + 1 : 0;
    rtos::Task* best = nullptr;
    for (std::size_t i = 0; i < maxTasks; ++i) {
        rtos::Task& task = tasks[(start + i) % maxTasks];
        if (task.state == rtos::Task::State::Ready && ranksAbove(task, best)) {
            best = &task;
        }
    }
    return best;
}

} // namespace

namespace mcu::kernel {

CriticalSection::CriticalSection()
{
    asm volatile("mrs %0, primask\n cpsid i" : "=r"(savedMask)::"memory");
}

CriticalSection::~CriticalSection()
{
    asm volatile("msr primask, %0" ::"r"(savedMask) : "memory");
}

rtos::Task* current()
{
    return running;
}

std::uint32_t now()
{
    return ticks;
}

bool blockOn(const void* object, std::uint32_t timeout)
{
    running->state = object != nullptr ? rtos::Task::State::Blocked : rtos::Task::State::Delayed;
    running->waitingOn = object;
    running->granted = false;
    running->wakes = timeout != rtos::waitForever;
    running->wakeTick = ticks + timeout;
    requestSwitch();
    // The switch happens as soon as the caller's critical section lets it.
    asm volatile("cpsie i\n isb\n cpsid i" ::: "memory");
    return running->granted;
}

rtos::Task* firstWaiter(const void* object)
{
    rtos::Task* best = nullptr;
    for (rtos::Task& task : tasks) {
        if (task.state == rtos::Task::State::Blocked && task.waitingOn == object && ranksAbove(task, best)) {
            best = &task;
        }
    }
    return best;
}

void release(rtos::Task& task)
{
    task.state = rtos::Task::State::Ready;
    task.waitingOn = nullptr;
    task.granted = true;
    if (ranksAbove(task, running)) {
        requestSwitch();
    }
}

} // namespace mcu::kernel

extern "C" {

// Called by the context switch with the running task's saved stack; returns
// the stack of the task to run.
std::uint32_t* kernelSwitch(std::uint32_t* savedStack)
{
    rtos::Task* previous = running;
    previous->savedStack = savedStack;
    if (previous->state == rtos::Task::State::Ended) {
        previous->state = rtos::Task::State::Free;
    }
    running = next();
    if (idleTag != nullptr && previous != running) {
        if (previous == idleTask) {
            idleTag(reinterpret_cast<void*>(1)); // the idle task leaves the processor
        } else if (running == idleTask) {
            idleTag(nullptr);
        }
    }
    return running->savedStack;
}

std::uint32_t* kernelFirstStack()
{
    running = next();
    return running->savedStack;
}

void SysTick_Handler()
{
    ticks = ticks + 1;
    bool switchNeeded = false;
    for (rtos::Task& task : tasks) {
        const bool waiting = task.state == rtos::Task::State::Delayed || task.state == rtos::Task::State::Blocked;
        if (waiting && task.wakes && static_cast<std::int32_t>(ticks - task.wakeTick) >= 0) {
            task.state = rtos::Task::State::Ready;
            task.waitingOn = nullptr;
            switchNeeded = true;
        } else if (task.state == rtos::Task::State::Ready && &task != running && running != nullptr &&
                   task.priority == running->priority) {
            switchNeeded = true; // an equal's turn
        }
    }
    if (switchNeeded) {
        requestSwitch();
    }
}

} // extern "C"

namespace rtos {

TaskHandle createTask(TaskFunction function, void* argument, const TaskAttributes& attributes)
{
    mcu::kernel::CriticalSection section;
    const std::uint32_t bytes = (attributes.stackSize + 7u) & ~7u;
    if (function == nullptr || bytes < 64 || bytes > kernelHeapSize - kernelHeapUsed) {
        return nullptr;
    }
    auto* bottom = reinterpret_cast<std::uint32_t*>(kernelHeap + kernelHeapUsed);
    Task* task =
        place(function, argument, attributes.name, static_cast<std::uint8_t>(attributes.priority), bottom, bytes / 4);
    if (task != nullptr) {
        kernelHeapUsed += bytes;
    }
    return task;
}

void startScheduler()
{
    idleTask = place(idle, nullptr, "IDLE", idlePriority, idleStack, idleStackWords);
    VECTA_ASSERT(idleTask != nullptr);
    mcu::coreRegister(systemHandlerPriority3) |= lowestPriorities;
    mcu::startKernelTick();
    asm volatile("svc 0" ::: "memory");
    for (;;) {}
}

void setIdleHook(void (*hook)())
{
    idleHook = hook;
}

void setIdleTaskTag(TaskHook tag)
{
    idleTag = tag;
}

void delay(std::uint32_t milliseconds)
{
    if (milliseconds == 0) {
        return;
    }
    mcu::kernel::CriticalSection section;
    mcu::kernel::blockOn(nullptr, milliseconds);
}

std::uint32_t tickCount()
{
    return ticks;
}

} // namespace rtos
