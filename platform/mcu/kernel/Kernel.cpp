#include <cstdint>
#include <new>

#include "KernelHeap.hpp"
#include "KernelState.hpp"
#include "mcu/CoreRegisters.hpp"
#include "mcu/KernelFigures.hpp"
#include "mcu/KernelTick.hpp"

static_assert(sizeof(rtos::Task) % mcu::kernel::heapGrain == 0);

namespace {

constexpr std::uint8_t idlePriority = 0;
// Just above idle: the firmware arms no software timers.
constexpr std::uint8_t timerServicePriority = 2;

// The initial context of a task: what the context switch restores (limit,
// r4 to r11, exception return) above what the exception return pops.
constexpr std::uint32_t savedWords = 10;
constexpr std::uint32_t hardwareWords = 8;
constexpr std::uint32_t threadModeProcessStack = 0xFFFFFFFDu; // no floating-point frame
constexpr std::uint32_t thumbState = 1u << 24;
// Fills the unused part of every stack, so that its deepest use shows.
constexpr std::uint32_t unusedStackWord = 0xA5A5A5A5u;

constexpr std::uintptr_t interruptControl = 0xE000ED04;
constexpr std::uint32_t pendSwitch = 1u << 28;
constexpr std::uintptr_t systemHandlerPriority3 = 0xE000ED20;
constexpr std::uint32_t lowestPriorities = 0xFFFF0000u; // system timer and switch

rtos::Task* taskList = nullptr; // in creation order
rtos::Task* running = nullptr;
rtos::Task* idleTask = nullptr;
rtos::Task* timerTask = nullptr;
rtos::StaticQueue timerCommandStorage;
rtos::QueueHandle timerCommands = nullptr;
volatile std::uint32_t ticks = 0;
void (*idleHook)() = nullptr;
rtos::TaskHook idleTag = nullptr;

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

// Serves the software-timer commands; none are ever sent, so it waits.
[[noreturn]] void timerService(void*)
{
    for (;;) {
        std::uintptr_t command = 0;
        rtos::receive(timerCommands, command, rtos::waitForever);
    }
}

// Sets up a task in the given block and stack and appends it to the list.
rtos::Task* place(rtos::Task* block, rtos::TaskFunction function, void* argument, const char* name,
                  std::uint8_t priority, std::uint32_t* stackBottom, std::uint32_t stackWords, bool inHeap)
{
    std::uint32_t* top = stackBottom + stackWords;
    std::uint32_t* frame = top - hardwareWords;
    frame[0] = reinterpret_cast<std::uintptr_t>(argument);       // r0
    frame[5] = reinterpret_cast<std::uintptr_t>(&taskEnded);     // lr
    frame[6] = reinterpret_cast<std::uintptr_t>(function) & ~1u; // pc
    frame[7] = thumbState;                                       // xPSR
    std::uint32_t* saved = frame - savedWords;
    for (std::uint32_t* word = stackBottom; word < saved; ++word) {
        *word = unusedStackWord;
    }
    saved[0] = reinterpret_cast<std::uintptr_t>(stackBottom); // stack limit
    saved[savedWords - 1] = threadModeProcessStack;           // exception return
    auto* task = new (block) rtos::Task{};
    task->savedStack = saved;
    task->stackLimit = stackBottom;
    task->name = name;
    task->priority = priority;
    task->state = rtos::Task::State::Ready;
    task->stackWords = stackWords;
    task->inHeap = inHeap;
    rtos::Task** end = &taskList;
    while (*end != nullptr) {
        end = &(*end)->nextTask;
    }
    *end = task;
    return task;
}

// Takes an ended task out of the list; a created one gives its block and
// stack back. Runs on the handler stack, so the task's own is free to go.
void remove(rtos::Task* ended)
{
    for (rtos::Task** link = &taskList; *link != nullptr; link = &(*link)->nextTask) {
        if (*link == ended) {
            *link = ended->nextTask;
            break;
        }
    }
    if (ended->inHeap) {
        mcu::kernel::heapGiveBack(ended->stackLimit, ended->stackWords * 4);
        mcu::kernel::heapGiveBack(ended, sizeof(rtos::Task));
    }
}

rtos::Task* startOwnTask(void (*memory)(rtos::TaskHandle*, std::uint32_t**, std::uint32_t*),
                         rtos::TaskFunction function, const char* name, std::uint8_t priority)
{
    rtos::TaskHandle block = nullptr;
    std::uint32_t* stack = nullptr;
    std::uint32_t stackWords = 0;
    memory(&block, &stack, &stackWords);
    return place(block, function, nullptr, name, priority, stack, stackWords, false);
}

bool ranksAbove(const rtos::Task& task, const rtos::Task* other)
{
    return other == nullptr || task.priority > other->priority;
}

// The highest-priority ready task; among equals the one after the running
// task, so that equals take turns.
rtos::Task* next()
{
    rtos::Task* const start = running != nullptr && running->nextTask != nullptr ? running->nextTask : taskList;
    rtos::Task* best = nullptr;
    rtos::Task* task = start;
    do {
        if (task->state == rtos::Task::State::Ready && ranksAbove(*task, best)) {
            best = task;
        }
        task = task->nextTask != nullptr ? task->nextTask : taskList;
    } while (task != start);
    return best;
}

} // namespace

namespace mcu::kernel {

rtos::Task* current()
{
    return running;
}

const char* runningTaskName()
{
    return running != nullptr ? running->name : nullptr;
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
    for (rtos::Task* task = taskList; task != nullptr; task = task->nextTask) {
        if (task->state == rtos::Task::State::Blocked && task->waitingOn == object && ranksAbove(*task, best)) {
            best = task;
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
    running = next();
    if (previous->state == rtos::Task::State::Ended) {
        remove(previous);
    }
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
    for (rtos::Task* task = taskList; task != nullptr; task = task->nextTask) {
        const bool waiting = task->state == rtos::Task::State::Delayed || task->state == rtos::Task::State::Blocked;
        if (waiting && task->wakes && static_cast<std::int32_t>(ticks - task->wakeTick) >= 0) {
            task->state = rtos::Task::State::Ready;
            task->waitingOn = nullptr;
            switchNeeded = true;
        } else if (task->state == rtos::Task::State::Ready && task != running && running != nullptr &&
                   task->priority == running->priority) {
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
    using mcu::kernel::heapGrain;
    mcu::kernel::CriticalSection section;
    const std::uint32_t bytes = (attributes.stackSize + heapGrain - 1) & ~(heapGrain - 1);
    if (function == nullptr || bytes < 64 || bytes > mcu::kernel::heapBytes) {
        return nullptr;
    }
    void* block = mcu::kernel::heapTake(sizeof(Task));
    void* stack = block != nullptr ? mcu::kernel::heapTake(bytes) : nullptr;
    if (stack == nullptr) {
        if (block != nullptr) {
            mcu::kernel::heapGiveBack(block, sizeof(Task));
        }
        return nullptr;
    }
    Task* task =
        place(static_cast<Task*>(block), function, argument, attributes.name,
              static_cast<std::uint8_t>(attributes.priority), static_cast<std::uint32_t*>(stack), bytes / 4, true);
    // A task created by a lower-priority running one starts at once.
    if (running != nullptr && ranksAbove(*task, running)) {
        requestSwitch();
    }
    return task;
}

void startScheduler()
{
    idleTask = startOwnTask(kernel_GetIdleTaskMemory, idle, "IDLE", idlePriority);
    timerCommands = rtos::createQueue(timerCommandStorage);
    timerTask = startOwnTask(kernel_GetTimerTaskMemory, timerService, "TimerService", timerServicePriority);
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

namespace mcu::kernel {

std::uint32_t taskBlockBytes()
{
    return sizeof(rtos::Task);
}

TaskMemory memoryOf(rtos::TaskHandle task)
{
    return TaskMemory{task, task->stackLimit, task->stackWords};
}

rtos::TaskHandle timerServiceTask()
{
    return timerTask;
}

std::uint32_t stackDeepestBytes(rtos::TaskHandle task)
{
    const std::uint32_t* word = task->stackLimit;
    const std::uint32_t* const top = task->stackLimit + task->stackWords;
    while (word < top && *word == unusedStackWord) {
        ++word;
    }
    return static_cast<std::uint32_t>(top - word) * 4u;
}

} // namespace mcu::kernel
