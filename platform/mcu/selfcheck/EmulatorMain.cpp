// The self-check on the emulated board: the checksum lines the PC must
// match, then what each step cost in instructions, and the deepest the
// stack went (the GUI task has 64 KiB for the same work).

#include <cstdio>

#include "InstructionCounter.hpp"
#include "SelfCheck.hpp"
#include "StackDepth.hpp"
#include "mcu/Console.hpp"

namespace {

std::uint64_t instructions()
{
    return mcu::InstructionCounter::instructions();
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

} // namespace

int main()
{
    mcu::StackDepth::paint();
    mcu::InstructionCounter::start();
    print("tiles", selfcheck::transcodeCollection(instructions), "tile");
    print("pizza", selfcheck::runPizzaDelivery(selfcheck::pizzaFrames, instructions), "frame");
    print("dog", selfcheck::runDogWalk(selfcheck::dogFrames, instructions), "frame");
    static char line[80];
    std::snprintf(line, sizeof line, "cost stack: %lu bytes at most\n",
                  static_cast<unsigned long>(mcu::StackDepth::deepestBytes()));
    mcu::consoleWrite(line);
    return 0;
}
