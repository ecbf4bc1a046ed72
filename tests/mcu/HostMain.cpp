// The self-check on the PC: the checksum lines the emulated board must
// match. The fetched run goes through the tile fetcher task on the
// simulator's kernel, in virtual time.

#include <cstdio>

#include "platform/rtos.h"
#include "selfcheck/SelfCheck.hpp"
#include "sim/Kernel.hpp"
#include "tile_fetcher/TileFetcher.h"

namespace {

std::uint64_t nothingCounted()
{
    return 0;
}

void print(const char* step, const selfcheck::Outcome& outcome)
{
    char line[160];
    selfcheck::formatChecksumLine(line, sizeof line, step, outcome);
    std::fputs(line, stdout);
}

void fetchingTask(void*)
{
    // The GUI task's first wait for a vertical sync: meanwhile the fetcher
    // task sets itself up.
    selfcheck::waitForFrame();
    print("fetched", selfcheck::transcodeCollection(nothingCounted, selfcheck::fetchThroughTask));
    sim::stopKernel();
}

} // namespace

int main()
{
    print("tiles", selfcheck::transcodeCollection(nothingCounted, selfcheck::readFromFlash));
    print("pizza", selfcheck::runPizzaDelivery(selfcheck::pizzaFrames, nothingCounted));
    print("dog", selfcheck::runDogWalk(selfcheck::dogFrames, nothingCounted));
    print("turns", selfcheck::turnMap(nothingCounted));

    selfcheck::startFrames();
    rtos::createTask(TileFetcher_Task, nullptr, TileFetcher_Task_attributes);
    rtos::createTask(fetchingTask, nullptr, rtos::TaskAttributes{"GUI_Task", 65536, rtos::Priority::Normal});
    return sim::runKernel(sim::TimeMode::Virtual) == sim::KernelStop::Requested ? 0 : 1;
}
