#pragma once

// Contract checks stay on in every build: a violated contract must stop the
// task, never run on with corrupt state.
[[noreturn]] void assertionFailed(const char* expression, const char* file, int line, const char* function);

#define VECTA_ASSERT(expression)                                                                                       \
    ((expression) ? static_cast<void>(0) : assertionFailed(#expression, __FILE__, __LINE__, __PRETTY_FUNCTION__))
