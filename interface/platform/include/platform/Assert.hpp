#pragma once

// Contract checks stay on in every build: a violated contract must stop the
// task, never run on with corrupt state.
[[noreturn]] void assertionFailed(const char* expression, const char* file, int line, const char* function);

#define VECTA_ASSERT(expression)                                                                                       \
    ((expression) ? static_cast<void>(0) : assertionFailed(#expression, __FILE__, __LINE__, __PRETTY_FUNCTION__))

namespace platform {

// Reports name a source without its extension ("vecta/widgets/src/MapWidget");
// the build makes __FILE__ relative to the repository root. Returns how many
// characters of `file` to show.
constexpr int sourceNameLength(const char* file)
{
    int length = 0;
    int extensionStart = -1;
    for (; file[length] != '\0'; ++length) {
        if (file[length] == '/') {
            extensionStart = -1;
        } else if (file[length] == '.') {
            extensionStart = length;
        }
    }
    return extensionStart > 0 && file[extensionStart - 1] != '/' ? extensionStart : length;
}

} // namespace platform
