#pragma once

#include <cstdint>

// The kernel heap: task blocks and stacks, taken when a task is created and
// given back when it ends. Callers round sizes up to heapGrain and give a
// block back with the size they took; both happen inside a critical section.
namespace mcu::kernel {

constexpr std::uint32_t heapGrain = 8;

// Null when no free run of `bytes` is left.
void* heapTake(std::uint32_t bytes);
void heapGiveBack(void* block, std::uint32_t bytes);

} // namespace mcu::kernel
