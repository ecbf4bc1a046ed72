#pragma once

#include <cstdint>
#include <fstream>
#include <string>

#include "sim/Board.hpp"
#include "simulator/Script.hpp"

namespace simulator {

// Writes the input the board receives as a script that plays it again:
// each step on its own line, flushed at once, so a run that crashes keeps
// everything up to its end.
class InputRecorder {
public:
    // Empty when `path` is open for writing, else why not.
    std::string open(const std::string& path);

    // False when a line could not be written.
    bool fingers(std::uint64_t atMs, const sim::board::Finger* fingers, int count);
    bool key(std::uint64_t atMs, char key);
    bool watchdogRefresh(std::uint64_t atMs, bool enable);

    const std::string& path() const { return filePath; }

private:
    bool write(const ScriptEvent& event);

    std::ofstream file;
    std::string filePath;
    bool fingerDown = false;
};

} // namespace simulator
