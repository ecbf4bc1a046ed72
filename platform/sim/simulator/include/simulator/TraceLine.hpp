#pragma once

#include <cstdint>
#include <string>

#include <nlohmann/json.hpp>

#include "device_models/TraceState.hpp"

// One line of the trace, the same for the simulator and the emulated board.
// Fields whose values come from the host, not the firmware (host times and
// load) and the figures of the host's own kernel and GPU pools differ
// between the two by nature; the trace comparison leaves them out.
namespace simulator {

struct TraceFrame {
    std::uint64_t frame = 0;
    std::uint64_t timeMs = 0;
    std::uint64_t drawUs = 0;
    // The shown frame buffer's pixels, hashed (frameHash).
    std::string frameHash;
};

nlohmann::ordered_json traceLine(const TraceFrame& frame, const devices::TraceState& state,
                                 nlohmann::ordered_json figures);

// 64-bit FNV-1a of the RGB565 pixels, in hex: cheap enough for every frame.
std::string frameHash(const std::uint16_t* pixels, std::size_t count);

} // namespace simulator
