#include <atomic>
#include <cstdio>
#include <cstdlib>

#include "platform/Assert.hpp"
#include "sim/Assertions.hpp"

namespace {

std::atomic<void (*)()> assertionNote{nullptr};

} // namespace

namespace sim {

void onAssertion(void (*note)())
{
    assertionNote = note;
}

} // namespace sim

// On the PC a stopped task would hang silently, so the process aborts instead.
void assertionFailed(const char* expression, const char* file, int line, const char* function)
{
    std::fprintf(stderr, "assertion \"%s\" failed: file \"%.*s\", line %d%s%s\n", expression,
                 platform::sourceNameLength(file), file, line, function != nullptr ? ", function: " : "",
                 function != nullptr ? function : "");
    if (void (*note)() = assertionNote.load()) {
        note();
    }
    std::fflush(stderr);
    std::abort();
}
