#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "sim/BoardFaults.hpp"

namespace simulator {

// One --fault: NAME[=VALUE][@FROM[-UNTIL]], times in board milliseconds.
struct FaultRequest {
    bool tileBitFlip = false; // otherwise `fault`
    devices::Fault fault = devices::Fault::TouchSilent;
    std::uint32_t value = 0;
    std::uint64_t fromMs = 0;
    std::uint64_t untilMs = UINT64_MAX;
    std::uint32_t tileX = 0;
    std::uint32_t tileY = 0;
    std::uint32_t tileZoom = 0;
};

// The names and what they do, for --help.
extern const char* const faultHelp;

// Why `text` is no fault, or an empty string.
std::string parseFault(const std::string& text, FaultRequest& request);

// Why `text` is no @FROM[-UNTIL] window, or an empty string.
std::string parseFaultWindow(const std::string& text, FaultRequest& request);

// Tells the stand-ins; a tile bit flip damages a copy of the installed
// collection image, which then replaces it. Why that failed, or empty.
std::string applyFaults(const std::vector<FaultRequest>& requests);

} // namespace simulator
