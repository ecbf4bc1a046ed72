#include <cstdio>
#include <cstdlib>

#include "platform/Assert.hpp"

// No assertion may be reachable from the fuzzed bytes: one that fires is a
// finding, so the input stops the run with the expression that failed.
void assertionFailed(const char* expression, const char* file, int line, const char*)
{
    std::fprintf(stderr, "assertion \"%s\" failed: file \"%.*s\", line %d\n", expression,
                 platform::sourceNameLength(file), file, line);
    std::fflush(stderr);
    std::abort();
}
