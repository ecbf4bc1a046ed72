#pragma once

#include <fstream>
#include <string>

#include "simulator/InputLines.hpp"

namespace simulator {

// Writes the input the board receives to a file as a script that plays it
// again: each step on its own line, flushed at once, so a run that crashes
// keeps everything up to its end.
class InputRecorder : public InputLines {
public:
    // Empty when `path` is open for writing, else why not.
    std::string open(const std::string& path);

    const std::string& path() const { return filePath; }

private:
    bool keep(const std::string& line) override;

    std::ofstream file;
    std::string filePath;
};

} // namespace simulator
