#include <cstdio>
#include <cstdlib>

#include "vecta/Assert.hpp"

// On the PC a stopped task would hang silently, so the process aborts instead.
void assertionFailed(const char* expression, const char* file, int line, const char* function)
{
    std::fprintf(stderr, "assertion \"%s\" failed: file \"%.*s\", line %d%s%s\n", expression,
                 vecta::sourceNameLength(file), file, line, function != nullptr ? ", function: " : "",
                 function != nullptr ? function : "");
    std::fflush(stderr);
    std::abort();
}
