#include <cstdio>

#include "mcu/Console.hpp"
#include "platform/Assert.hpp"

// The report goes to the console (discarded on the board) and the failing
// task stops; no heap, the text is formatted into a fixed buffer.
void assertionFailed(const char* expression, const char* file, int line, const char* function)
{
    static char report[512];
    std::snprintf(report, sizeof report, "assertion \"%s\" failed: file \"%s\", line %d%s%s\n", expression, file, line,
                  function != nullptr ? ", function: " : "", function != nullptr ? function : "");
    mcu::consoleWrite(report);
    mcu::stop(false);
}
