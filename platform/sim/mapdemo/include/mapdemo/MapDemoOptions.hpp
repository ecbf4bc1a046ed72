#pragma once

#include <optional>
#include <string>

namespace mapdemo {

// What the command line asks for. A view option left out keeps the pizza
// screen's start view.
struct Options {
    bool headless = false;
    std::optional<float> latitude;
    std::optional<float> longitude;
    std::optional<float> scale;
    std::optional<float> rotation;
    std::string out;
    std::string flash;
};

// The outcome of reading the command line: options to run with, or text to
// print and the exit status to end with (the help on stdout with status 0,
// one error line on stderr with status 2).
struct ParsedCommandLine {
    std::optional<Options> options;
    std::string message;
    int exitStatus = 0;
};

ParsedCommandLine parseCommandLine(int argc, const char* const* argv);

} // namespace mapdemo
