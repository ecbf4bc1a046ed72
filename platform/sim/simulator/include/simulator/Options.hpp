#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "simulator/Faults.hpp"

namespace simulator {

struct Options {
    bool headless = false;
    int zoom = 1;
    std::optional<std::uint64_t> frames;
    std::string script;
    std::uint64_t screenshotEvery = 0;
    std::string out;
    std::string trace;
    std::string record; // script of the input the board receives
    bool hostTimes = false;
    std::string flash;
    std::optional<std::uint64_t> soak; // seed of a soak run
    std::uint64_t afterReset = 0;      // frames run before the watchdog reset this run continues
    std::vector<FaultRequest> faults;
};

struct ParsedCommandLine {
    std::optional<Options> options;
    std::string message;
    int exitStatus = 0;
};

// `defaultOut` is where the last frame goes without --out.
ParsedCommandLine parseCommandLine(int argc, const char* const* argv, const std::string& defaultOut);

// The command line of the board restarted after a watchdog reset: the same
// options without the script (its touches are in the past), continuing the
// frame count and the trace.
std::vector<std::string> restartArguments(int argc, const char* const* argv, std::uint64_t framesDone);

} // namespace simulator
