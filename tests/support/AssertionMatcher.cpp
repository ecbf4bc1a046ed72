#include "support/AssertionMatcher.hpp"

std::string assertionPattern(const std::string& expression)
{
    std::string escaped;
    for (const char c : expression) {
        if (std::string("\\^$.|?*+()[]{}").find(c) != std::string::npos) {
            escaped += '\\';
        }
        escaped += c;
    }
    return "assertion \"" + escaped + "\" failed: file \"[^\"]+\", line [0-9]+, function: ";
}
