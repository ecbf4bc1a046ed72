// The self-check on the emulated board: the checksum lines the PC must
// match, what each step cost in instructions and the deepest the stack went
// (the GUI task has 64 KiB for the same work). Last, under the kernel, its
// own memory and the collection once more through the tile fetcher task.

#include <cstdio>

#include "KernelCheck.hpp"
#include "emulator/InstructionCounter.hpp"
#include "emulator/StackDepth.hpp"
#include "mcu/Console.hpp"
#include "platform/rtos.h"
#include "selfcheck/SelfCheck.hpp"
#include "tile_fetcher/TileFetcher.h"

namespace {

std::uint64_t instructions()
{
    return mcu::InstructionCounter::instructions();
}

std::uint64_t nothingCounted()
{
    return 0;
}

void print(const char* step, const selfcheck::Outcome& outcome, const char* unit)
{
    static char line[160];
    selfcheck::formatChecksumLine(line, sizeof line, step, outcome);
    mcu::consoleWrite(line);
    const std::uint64_t perItem = outcome.items != 0 ? outcome.work / outcome.items : 0;
    std::snprintf(line, sizeof line, "cost %s: %lu instructions per %s, %lu at most\n", step,
                  static_cast<unsigned long>(perItem), unit, static_cast<unsigned long>(outcome.worst));
    mcu::consoleWrite(line);
}

void fetchingTask(void*)
{
    // The GUI task's first wait for a vertical sync: meanwhile the fetcher
    // task sets itself up.
    selfcheck::waitForFrame();
    if (!selfcheck::checkKernelMemory()) {
        mcu::stop(false);
    }
    static char line[160];
    selfcheck::formatChecksumLine(line, sizeof line, "fetched",
                                  selfcheck::transcodeCollection(nothingCounted, selfcheck::fetchThroughTask));
    mcu::consoleWrite(line);
    mcu::stop(true);
}

} // namespace

int main()
{
    mcu::StackDepth::paint();
    mcu::InstructionCounter::start();
    print("tiles", selfcheck::transcodeCollection(instructions, selfcheck::readFromFlash), "tile");
    print("pizza", selfcheck::runPizzaDelivery(selfcheck::pizzaFrames, instructions), "frame");
    print("dog", selfcheck::runDogWalk(selfcheck::dogFrames, instructions), "frame");
    print("turns", selfcheck::turnMap(instructions), "turn");
    static char line[80];
    std::snprintf(line, sizeof line, "cost stack: %lu bytes at most\n",
                  static_cast<unsigned long>(mcu::StackDepth::deepestBytes()));
    mcu::consoleWrite(line);

    selfcheck::startFrames();
    rtos::createTask(TileFetcher_Task, nullptr, TileFetcher_Task_attributes);
    rtos::createTask(fetchingTask, nullptr, rtos::TaskAttributes{"GUI_Task", 65536, rtos::Priority::Normal});
    rtos::startScheduler();
}
