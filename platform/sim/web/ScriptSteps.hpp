#pragma once

#include <cstdint>
#include <functional>
#include <string>

#include "simulator/InputLines.hpp"
#include "simulator/Script.hpp"

namespace web {

// Plays the script's steps due by nowMs as mapboard does at a frame's end:
// the fingers to the panel, M to the start screen, the watchdog flag; S and
// screenshot steps go to `screenshot`, if given, with the step's file (empty
// for S). True when a Q came. What reaches the board goes to `record`, if
// given, at the display's latest refresh `refreshMs`.
bool playDueSteps(simulator::ScriptPlayer& script, std::uint64_t nowMs, simulator::InputLines* record = nullptr,
                  std::uint64_t refreshMs = 0,
                  const std::function<void(const std::string& file)>& screenshot = nullptr);

} // namespace web
