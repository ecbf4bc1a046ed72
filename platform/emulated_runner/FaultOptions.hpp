#pragma once

#include <string>

#include "EmulatedRun.hpp"

namespace emulated {

// The fault names the emulated board takes, for --help.
extern const char* const faultHelp;

// Adds one --fault NAME[=N][@FROM[-UNTIL]] to the board's fault table: the
// simulator's names where the fault lies in a device the board models, and
// the board's own. Why it was refused, or an empty string.
std::string addFault(const std::string& text, RunSettings& settings);

} // namespace emulated
