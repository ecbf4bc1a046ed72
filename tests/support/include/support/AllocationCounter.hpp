#pragma once

// Counts heap allocations made through operator new. Linking the
// `allocation_counter` object library replaces the global operator new of
// the whole test executable.

#include <utility>

long heapAllocations();

// Allocations made while running `action`.
template <typename Action> long allocationsOf(Action&& action)
{
    const long before = heapAllocations();
    std::forward<Action>(action)();
    return heapAllocations() - before;
}
