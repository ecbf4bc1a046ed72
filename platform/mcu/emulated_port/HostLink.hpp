#pragma once

#include <cstdint>
#include <initializer_list>

#include "emulated/HostProtocol.hpp"

// The emulated board's line to its host runner (emulated/HostProtocol.hpp).
namespace emulated {

// Opens the host's request and reply files; stops the board without them.
void connectHost();

// Sends one request and waits for its reply, interrupts held off meanwhile
// so that requests from tasks and handlers never interleave.
ReplyRecord ask(Request kind, std::initializer_list<std::uint32_t> words);

} // namespace emulated
