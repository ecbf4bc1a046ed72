#include "KernelCore.hpp"

#include <algorithm>
#include <limits>

#include "platform/Assert.hpp"

namespace sim::detail {

namespace {

thread_local int interruptDepth = 0;

constexpr std::uint64_t never = std::numeric_limits<std::uint64_t>::max();

bool outranks(const rtos::Task& a, const rtos::Task& b)
{
    if (a.attributes.priority != b.attributes.priority) {
        return a.attributes.priority > b.attributes.priority;
    }
    return a.sequence < b.sequence;
}

} // namespace

Kernel& Kernel::instance()
{
    static Kernel kernel;
    return kernel;
}

// Interrupt handlers belong to no task, whichever thread runs them.
rtos::Task* Kernel::currentTask()
{
    return interruptDepth > 0 ? nullptr : TaskSwitch::current();
}

std::chrono::steady_clock::duration Kernel::wallElapsed() const
{
    return pausedAt.value_or(std::chrono::steady_clock::now()) - wallStart;
}

std::uint64_t Kernel::now() const
{
    if (!started) {
        return 0;
    }
    if (timeMode == TimeMode::Virtual) {
        return virtualNow;
    }
    return static_cast<std::uint64_t>(std::chrono::duration_cast<std::chrono::milliseconds>(wallElapsed()).count());
}

std::uint64_t Kernel::nowMicroseconds() const
{
    if (!started) {
        return 0;
    }
    if (timeMode == TimeMode::Virtual) {
        return virtualNow * 1000;
    }
    return static_cast<std::uint64_t>(std::chrono::duration_cast<std::chrono::microseconds>(wallElapsed()).count());
}

void Kernel::pauseClock()
{
    if (started && timeMode == TimeMode::WallClock && currentTask() != nullptr && !pausedAt) {
        pausedAt = std::chrono::steady_clock::now();
    }
}

void Kernel::resumeClock()
{
    if (pausedAt) {
        wallStart += std::chrono::steady_clock::now() - *pausedAt;
        pausedAt.reset();
        // While the clock stood, the host waited for the time limit with no
        // deadline; it sets one again.
        taskSwitch.wakeHost();
    }
}

void Kernel::raise(InterruptHandler handler, void* context)
{
    const bool alreadyPending = std::any_of(raised.begin(), raised.end(), [&](const Interrupt& pending) {
        return pending.handler == handler && pending.context == context;
    });
    if (!alreadyPending) {
        raised.push_back(Interrupt{handler, context, now()});
    }
    if (running == nullptr) {
        taskSwitch.wakeHost();
    }
}

void Kernel::schedule(InterruptHandler handler, void* context, std::uint64_t at)
{
    cancel(handler, context);
    scheduled.push_back(Interrupt{handler, context, at});
    if (running == nullptr) {
        taskSwitch.wakeHost();
    }
}

void Kernel::cancel(InterruptHandler handler, void* context)
{
    std::erase_if(scheduled,
                  [&](const Interrupt& pending) { return pending.handler == handler && pending.context == context; });
}

void Kernel::serviceInterrupts(KernelLock& lock)
{
    while (!stopping) {
        const auto due = std::min_element(scheduled.begin(), scheduled.end(),
                                          [](const Interrupt& a, const Interrupt& b) { return a.at < b.at; });
        const bool scheduledDue = due != scheduled.end() && due->at <= now();
        Interrupt next{};
        if (scheduledDue && (raised.empty() || due->at <= raised.front().at)) {
            next = *due;
            scheduled.erase(due);
        } else if (!raised.empty()) {
            next = raised.front();
            raised.erase(raised.begin());
        } else {
            return;
        }
        ++interruptDepth;
        lock.unlock();
        next.handler(next.context);
        lock.lock();
        --interruptDepth;
    }
}

void Kernel::makeReady(rtos::Task& task)
{
    task.state = rtos::Task::State::Ready;
    task.sequence = ++nextSequence;
    task.waitObject = nullptr;
    task.hasDeadline = false;
}

void Kernel::wakeExpired()
{
    const std::uint64_t time = now();
    for (const auto& task : tasks) {
        if (task->state == rtos::Task::State::Blocked && task->hasDeadline && task->wakeAt <= time) {
            task->signalled = false;
            makeReady(*task);
        }
    }
}

rtos::Task* Kernel::highestReady()
{
    rtos::Task* best = nullptr;
    for (const auto& task : tasks) {
        if (task->state == rtos::Task::State::Ready && (best == nullptr || outranks(*task, *best))) {
            best = task.get();
        }
    }
    return best;
}

rtos::Task* Kernel::firstWaiter(rtos::Task::Wait wait, const void* object)
{
    rtos::Task* best = nullptr;
    for (const auto& task : tasks) {
        if (task->state == rtos::Task::State::Blocked && task->wait == wait && task->waitObject == object &&
            (best == nullptr || outranks(*task, *best))) {
            best = task.get();
        }
    }
    return best;
}

void Kernel::dispatch(rtos::Task* next)
{
    // The idle task is the one that runs when no task does; its tag gets a
    // non-null parameter when it leaves the processor.
    if (idleTaskTag != nullptr && (running == nullptr) != (next == nullptr)) {
        static char leaving;
        idleTaskTag(next != nullptr ? &leaving : nullptr);
    }
    running = next;
    if (next != nullptr) {
        next->state = rtos::Task::State::Running;
        taskSwitch.resume(*next);
    } else {
        taskSwitch.wakeHost();
    }
}

void Kernel::switchAway()
{
    if (stopping) {
        return;
    }
    wakeExpired();
    dispatch(highestReady());
}

void Kernel::waitForTurn(KernelLock& lock, rtos::Task& self)
{
    while (!stopping && running != &self) {
        taskSwitch.suspend(lock, self);
    }
    if (stopping) {
        TaskSwitch::leave(lock, self);
    }
}

void Kernel::preemptIfNeeded(KernelLock& lock, rtos::Task& self)
{
    wakeExpired();
    rtos::Task* best = highestReady();
    if (best != nullptr && best->attributes.priority > self.attributes.priority) {
        makeReady(self);
        dispatch(best);
        waitForTurn(lock, self);
    }
}

void Kernel::enter(KernelLock& lock)
{
    rtos::Task* self = currentTask();
    if (self == nullptr) {
        return;
    }
    if (stopping) {
        TaskSwitch::leave(lock, *self);
    }
    serviceInterrupts(lock);
    if (stopping) {
        TaskSwitch::leave(lock, *self);
    }
    preemptIfNeeded(lock, *self);
}

bool Kernel::block(KernelLock& lock, rtos::Task::Wait wait, const void* object, std::uint32_t timeout)
{
    rtos::Task* self = currentTask();
    VECTA_ASSERT(self != nullptr && "only a task can wait");
    // A clock standing still would never wake it.
    resumeClock();
    self->state = rtos::Task::State::Blocked;
    self->sequence = ++nextSequence;
    self->wait = wait;
    self->waitObject = object;
    self->signalled = false;
    self->hasDeadline = timeout != rtos::waitForever;
    self->wakeAt = now() + timeout;
    switchAway();
    waitForTurn(lock, *self);
    return self->signalled;
}

void Kernel::wake(KernelLock& lock, rtos::Task& task)
{
    task.signalled = true;
    makeReady(task);
    if (rtos::Task* self = currentTask()) {
        preemptIfNeeded(lock, *self);
    } else if (running == nullptr) {
        taskSwitch.wakeHost();
    }
}

void Kernel::taskBody(rtos::Task& self)
{
    {
        KernelLock lock(instance().mutex);
        instance().waitForTurn(lock, self);
    }
    self.function(self.argument);
}

void Kernel::taskEnded(rtos::Task& self)
{
    Kernel& kernel = instance();
    KernelLock lock(kernel.mutex);
    self.state = rtos::Task::State::Finished;
    // As on the board, a task that ended gives its stack back.
    kernel.heapUsed -= self.attributes.stackSize;
    if (kernel.running == &self) {
        kernel.switchAway();
    }
}

void Kernel::startTask(rtos::Task& task)
{
    taskSwitch.start(task, &Kernel::taskBody, &Kernel::taskEnded);
}

rtos::TaskHandle Kernel::createTask(rtos::TaskFunction function, void* argument, const rtos::TaskAttributes& attributes)
{
    KernelLock lock(mutex);
    enter(lock);
    if (stopping || function == nullptr || attributes.stackSize > heapSize - heapUsed) {
        return nullptr;
    }
    heapUsed += attributes.stackSize;
    heapHighWater = std::max(heapHighWater, heapUsed);
    auto task = std::make_unique<rtos::Task>();
    task->function = function;
    task->argument = argument;
    task->attributes = attributes;
    makeReady(*task);
    rtos::Task* handle = task.get();
    tasks.push_back(std::move(task));
    if (started) {
        startTask(*handle);
        if (currentTask() != nullptr) {
            preemptIfNeeded(lock, *currentTask());
        } else if (running == nullptr) {
            taskSwitch.wakeHost();
        }
    }
    return handle;
}

std::uint64_t Kernel::earliestWakeUp() const
{
    std::uint64_t earliest = limit;
    if (!raised.empty()) {
        return now();
    }
    for (const Interrupt& pending : scheduled) {
        earliest = std::min(earliest, pending.at);
    }
    for (const auto& task : tasks) {
        if (task->state == rtos::Task::State::Blocked && task->hasDeadline) {
            earliest = std::min(earliest, task->wakeAt);
        }
    }
    return earliest;
}

// Runs on the host thread while no task holds the run token.
void Kernel::keepClockWhileIdle(KernelLock& lock, bool& idleHookCalled)
{
    if (idleHook != nullptr && !idleHookCalled) {
        idleHookCalled = true;
        void (*hook)() = idleHook;
        lock.unlock();
        hook();
        lock.lock();
        return;
    }
    const bool anyLeft = std::any_of(tasks.begin(), tasks.end(),
                                     [](const auto& task) { return task->state != rtos::Task::State::Finished; });
    if (!anyLeft) {
        stop(KernelStop::AllBlocked);
        return;
    }
    const std::uint64_t wakeUp = earliestWakeUp();
    if (timeMode == TimeMode::Virtual) {
        if (wakeUp == never) {
            stop(KernelStop::AllBlocked);
        } else {
            virtualNow = wakeUp;
        }
    } else if (wakeUp == never) {
        taskSwitch.hostIdle(lock, std::nullopt, wallStart);
    } else {
        taskSwitch.hostIdle(lock, wakeUp, wallStart);
    }
}

KernelStop Kernel::run(TimeMode mode, std::uint32_t timeLimitMs)
{
    KernelLock lock(mutex);
    VECTA_ASSERT(!started && "the kernel is already running");
    VECTA_ASSERT(currentTask() == nullptr);
    timeMode = mode;
    virtualNow = 0;
    wallStart = std::chrono::steady_clock::now();
    pausedAt.reset();
    limit = timeLimitMs == rtos::waitForever ? never : timeLimitMs;
    stopping = false;
    started = true;
    running = nullptr;
    for (const auto& task : tasks) {
        startTask(*task);
    }
    bool idleHookCalled = false;
    while (!stopping) {
        if (now() >= limit) {
            stop(KernelStop::TimeLimit);
        } else if (running != nullptr) {
            idleHookCalled = false;
            const bool clockLimit = timeMode == TimeMode::WallClock && limit != never && !pausedAt;
            taskSwitch.hostRun(lock, *running, clockLimit ? std::optional(limit) : std::nullopt, wallStart);
        } else {
            serviceInterrupts(lock);
            wakeExpired();
            if (stopping) {
                break;
            }
            if (rtos::Task* next = highestReady()) {
                dispatch(next);
            } else {
                keepClockWhileIdle(lock, idleHookCalled);
            }
        }
    }
    tearDown(lock);
    return stopReason;
}

void Kernel::tearDown(KernelLock& lock)
{
    for (const auto& task : tasks) {
        taskSwitch.resume(*task);
    }
    std::vector<std::unique_ptr<rtos::Task>> finished;
    finished.swap(tasks);
    lock.unlock();
    for (const auto& task : finished) {
        taskSwitch.finish(*task);
    }
    lock.lock();
    running = nullptr;
    started = false;
    stopping = false;
    heapUsed = 0;
    idleHook = nullptr;
    idleTaskTag = nullptr;
    raised.clear();
    scheduled.clear();
}

void Kernel::stop(KernelStop reason)
{
    if (!stopping) {
        stopping = true;
        stopReason = reason;
    }
    taskSwitch.wakeHost();
    for (const auto& task : tasks) {
        taskSwitch.resume(*task);
    }
}

} // namespace sim::detail

namespace sim {

bool inInterrupt()
{
    return detail::interruptDepth > 0;
}

bool inTask()
{
    return detail::Kernel::currentTask() != nullptr;
}

ClockPause::ClockPause()
{
    auto& kernel = detail::Kernel::instance();
    detail::KernelLock lock(kernel.mutex);
    kernel.pauseClock();
}

ClockPause::~ClockPause()
{
    auto& kernel = detail::Kernel::instance();
    detail::KernelLock lock(kernel.mutex);
    kernel.resumeClock();
}

KernelStop runKernel(TimeMode mode, std::uint32_t timeLimitMs)
{
    return detail::Kernel::instance().run(mode, timeLimitMs);
}

void stopKernel()
{
    auto& kernel = detail::Kernel::instance();
    detail::KernelLock lock(kernel.mutex);
    kernel.stop(KernelStop::Requested);
    if (rtos::Task* self = detail::Kernel::currentTask()) {
        detail::TaskSwitch::leave(lock, *self);
    }
}

} // namespace sim
