#include <gtest/gtest.h>

#include <chrono>
#include <functional>
#include <string>
#include <thread>
#include <vector>

#include "platform/rtos.h"
#include "sim/Kernel.hpp"

namespace {

// Only one task runs at a time, so tasks can share the trace unguarded.
using Trace = std::vector<std::string>;

void runFunction(void* argument)
{
    (*static_cast<std::function<void()>*>(argument))();
}

rtos::TaskHandle spawn(std::function<void()>& body, rtos::Priority priority, std::uint32_t stack = 1024)
{
    return rtos::createTask(runFunction, &body, rtos::TaskAttributes{"test", stack, priority});
}

std::string at(const std::string& what)
{
    return what + "@" + std::to_string(rtos::tickCount());
}

} // namespace

TEST(Kernel, TheHighestPriorityReadyTaskRunsFirst)
{
    Trace trace;
    std::function<void()> low = [&] { trace.push_back("low"); };
    std::function<void()> normal = [&] { trace.push_back("normal"); };
    std::function<void()> high = [&] { trace.push_back("high"); };
    spawn(low, rtos::Priority::Low);
    spawn(normal, rtos::Priority::Normal);
    spawn(high, rtos::Priority::Realtime);
    EXPECT_EQ(sim::runKernel(sim::TimeMode::Virtual), sim::KernelStop::AllBlocked);
    EXPECT_EQ(trace, (Trace{"high", "normal", "low"}));
}

TEST(Kernel, GivingToAHigherPriorityWaiterSwitchesAtOnce)
{
    static rtos::StaticSemaphore storage;
    rtos::SemaphoreHandle semaphore = rtos::createBinarySemaphore(storage);
    Trace trace;
    std::function<void()> waiter = [&] {
        EXPECT_TRUE(rtos::take(semaphore, rtos::waitForever));
        trace.push_back("taken");
    };
    std::function<void()> giver = [&] {
        trace.push_back("giving");
        EXPECT_TRUE(rtos::give(semaphore));
        trace.push_back("given");
        EXPECT_TRUE(rtos::give(semaphore));
        EXPECT_FALSE(rtos::give(semaphore)) << "a binary semaphore holds one count";
        EXPECT_EQ(rtos::count(semaphore), 1u);
    };
    spawn(waiter, rtos::Priority::Normal);
    spawn(giver, rtos::Priority::Low);
    sim::runKernel(sim::TimeMode::Virtual);
    EXPECT_EQ(trace, (Trace{"giving", "taken", "given"}));
}

TEST(Kernel, VirtualTimeJumpsToEachWakeUpAndRepeatsExactly)
{
    auto runOnce = [] {
        Trace trace;
        std::function<void()> everyThree = [&] {
            for (int i = 0; i < 4; ++i) {
                rtos::delay(3);
                trace.push_back(at("three"));
            }
        };
        std::function<void()> everyFive = [&] {
            for (int i = 0; i < 3; ++i) {
                rtos::delay(5);
                trace.push_back(at("five"));
            }
        };
        spawn(everyThree, rtos::Priority::Low);
        spawn(everyFive, rtos::Priority::Normal);
        sim::runKernel(sim::TimeMode::Virtual);
        return trace;
    };
    const Trace first = runOnce();
    EXPECT_EQ(first, (Trace{"three@3", "five@5", "three@6", "three@9", "five@10", "three@12", "five@15"}));
    EXPECT_EQ(runOnce(), first);
}

TEST(Kernel, ATakeTimesOutAfterExactlyItsTimeout)
{
    static rtos::StaticSemaphore storage;
    rtos::SemaphoreHandle semaphore = rtos::createBinarySemaphore(storage);
    Trace trace;
    std::function<void()> body = [&] {
        EXPECT_FALSE(rtos::take(semaphore, rtos::noWait));
        EXPECT_FALSE(rtos::take(semaphore, 250));
        trace.push_back(at("timed out"));
    };
    spawn(body, rtos::Priority::Normal);
    sim::runKernel(sim::TimeMode::Virtual);
    EXPECT_EQ(trace, (Trace{"timed out@250"}));
}

TEST(Kernel, TheQueueHoldsOneMessageAndWakesItsReceiver)
{
    static rtos::StaticQueue storage;
    rtos::QueueHandle queue = rtos::createQueue(storage);
    Trace trace;
    std::function<void()> receiver = [&] {
        std::uintptr_t message = 0;
        EXPECT_TRUE(rtos::receive(queue, message, rtos::waitForever));
        trace.push_back(at("got " + std::to_string(message)));
        EXPECT_TRUE(rtos::receive(queue, message, rtos::noWait));
        trace.push_back(at("then " + std::to_string(message)));
        EXPECT_FALSE(rtos::receive(queue, message, 5));
        trace.push_back(at("empty"));
    };
    std::function<void()> sender = [&] {
        rtos::delay(10);
        EXPECT_TRUE(rtos::send(queue, 7, rtos::noWait)); // straight to the waiting receiver
        EXPECT_TRUE(rtos::send(queue, 8, rtos::noWait));
        EXPECT_FALSE(rtos::send(queue, 9, rtos::noWait)) << "one message only";
    };
    spawn(receiver, rtos::Priority::Low);
    spawn(sender, rtos::Priority::Normal);
    sim::runKernel(sim::TimeMode::Virtual);
    EXPECT_EQ(trace, (Trace{"got 7@10", "then 8@10", "empty@15"}));
}

TEST(Kernel, TheIdleHookRunsWhenEveryTaskIsBlocked)
{
    static int idleCalls;
    idleCalls = 0;
    int seenByTask = -1;
    std::function<void()> body = [&] {
        rtos::delay(5);
        seenByTask = idleCalls;
    };
    spawn(body, rtos::Priority::Normal);
    rtos::setIdleHook([] { ++idleCalls; });
    sim::runKernel(sim::TimeMode::Virtual);
    EXPECT_GE(seenByTask, 1);
}

TEST(Kernel, ARunEndsAtItsTimeLimitAndTheNextStartsClean)
{
    int ticks = 0;
    std::function<void()> forever = [&] {
        for (;;) {
            rtos::delay(10);
            ++ticks;
        }
    };
    spawn(forever, rtos::Priority::Normal);
    EXPECT_EQ(sim::runKernel(sim::TimeMode::Virtual, 100), sim::KernelStop::TimeLimit);
    EXPECT_EQ(ticks, 9);

    std::uint32_t startTick = 99;
    std::function<void()> stopper = [&] {
        startTick = rtos::tickCount();
        sim::stopKernel();
        ADD_FAILURE() << "stopKernel returned inside a task";
    };
    spawn(stopper, rtos::Priority::Normal);
    EXPECT_EQ(sim::runKernel(sim::TimeMode::Virtual), sim::KernelStop::Requested);
    EXPECT_EQ(startTick, 0u);
}

TEST(Kernel, OnTheWallClockHostWorkTakesNoKernelTimeUntilATaskWaits)
{
    using namespace std::chrono_literals;
    std::uint32_t duringWork = 99;
    std::uint32_t acrossWait = 0;
    std::function<void()> task = [&] {
        std::uint32_t start = rtos::tickCount();
        {
            const sim::ClockPause pause;
            std::this_thread::sleep_for(200ms);
        }
        duringWork = rtos::tickCount() - start;
        start = rtos::tickCount();
        {
            const sim::ClockPause pause;
            rtos::delay(20);
            std::this_thread::sleep_for(100ms);
        }
        acrossWait = rtos::tickCount() - start;
        sim::stopKernel();
    };
    spawn(task, rtos::Priority::Normal);
    EXPECT_EQ(sim::runKernel(sim::TimeMode::WallClock, 10000), sim::KernelStop::Requested);
    EXPECT_LT(duringWork, 50u);
    EXPECT_GE(acrossWait, 120u) << "the wait ended the pause";
}

TEST(Kernel, TaskStacksComeFromTheEightyThousandByteHeap)
{
    std::function<void()> idle = [] {};
    EXPECT_NE(spawn(idle, rtos::Priority::Normal, 65536), nullptr);
    EXPECT_NE(spawn(idle, rtos::Priority::Normal, 512), nullptr);
    EXPECT_NE(spawn(idle, rtos::Priority::Low, 256), nullptr);
    EXPECT_EQ(spawn(idle, rtos::Priority::Low, 65536), nullptr);
    sim::runKernel(sim::TimeMode::Virtual);
}

TEST(Kernel, ATaskThatEndsGivesItsStackBack)
{
    bool created = false;
    std::function<void()> brief = [] {};
    std::function<void()> later = [&] {
        rtos::delay(5); // the brief task has ended by now
        EXPECT_EQ(sim::readKernelFigures(false).heapInUse, 1024u);
        created = spawn(brief, rtos::Priority::Normal, 70000) != nullptr;
    };
    spawn(brief, rtos::Priority::Normal, 70000);
    spawn(later, rtos::Priority::Low);
    EXPECT_EQ(sim::readKernelFigures(false).heapInUse, 71024u);
    sim::runKernel(sim::TimeMode::Virtual);
    EXPECT_TRUE(created) << "the ended task's stack is free again";
    EXPECT_GE(sim::readKernelFigures(false).heapPeak, 71024u);
}

TEST(Kernel, TheFiguresCountAQueuesMessageAndItsBlockedSendersUntilTheNextPeak)
{
    static rtos::StaticQueue storage;
    rtos::QueueHandle queue = rtos::createQueue(storage);
    const std::size_t index = sim::readKernelFigures(true).queues.size() - 1;
    const auto fill = [index](bool startNewPeaks) { return sim::readKernelFigures(startNewPeaks).queues[index]; };
    std::vector<std::pair<std::uint32_t, std::uint32_t>> seen; // now, peak
    std::function<void()> sender = [&] {
        rtos::send(queue, 1, rtos::noWait);
        rtos::send(queue, 2, 10); // blocks until the receiver takes the first
    };
    std::function<void()> receiver = [&] {
        const sim::QueueFill blocked = fill(true);
        seen.emplace_back(blocked.now, blocked.peak);
        std::uintptr_t message = 0;
        rtos::receive(queue, message, rtos::noWait); // hands the sender's message over
        rtos::delay(1);
        const sim::QueueFill handed = fill(false);
        seen.emplace_back(handed.now, handed.peak);
        rtos::receive(queue, message, rtos::noWait);
        const sim::QueueFill empty = fill(true);
        seen.emplace_back(empty.now, empty.peak);
        const sim::QueueFill next = fill(false);
        seen.emplace_back(next.now, next.peak);
    };
    spawn(sender, rtos::Priority::Normal);
    spawn(receiver, rtos::Priority::Low);
    sim::runKernel(sim::TimeMode::Virtual);
    // The peak holds from one reading that starts a new one to the next.
    const std::vector<std::pair<std::uint32_t, std::uint32_t>> expected{{2, 2}, {1, 2}, {0, 2}, {0, 0}};
    EXPECT_EQ(seen, expected);
}
