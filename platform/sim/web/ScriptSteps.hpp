#pragma once

#include <cstdint>

#include "simulator/Script.hpp"

namespace web {

// Plays the script's steps due by nowMs as mapboard does at a frame's end:
// the fingers to the panel, M to the start screen, the watchdog flag;
// screenshots have no place here. True when a Q came.
bool playDueSteps(simulator::ScriptPlayer& script, std::uint64_t nowMs);

} // namespace web
