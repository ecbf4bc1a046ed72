#pragma once

#include <cstdint>

#include "simulator/InputLines.hpp"
#include "simulator/Script.hpp"

namespace web {

// Plays the script's steps due by nowMs as mapboard does at a frame's end:
// the fingers to the panel, M to the start screen, the watchdog flag;
// screenshots have no place here. True when a Q came. What reaches the
// board goes to `record`, if given, at the display's latest refresh
// `refreshMs`.
bool playDueSteps(simulator::ScriptPlayer& script, std::uint64_t nowMs, simulator::InputLines* record = nullptr,
                  std::uint64_t refreshMs = 0);

} // namespace web
