// The self-check on the PC: the checksum lines the emulated board must match.

#include <cstdio>

#include "SelfCheck.hpp"

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

} // namespace

int main()
{
    print("tiles", selfcheck::transcodeCollection(nothingCounted));
    print("pizza", selfcheck::runPizzaDelivery(selfcheck::pizzaFrames, nothingCounted));
    print("dog", selfcheck::runDogWalk(selfcheck::dogFrames, nothingCounted));
    return 0;
}
