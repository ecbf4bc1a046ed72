#pragma once

#include <cstdint>
#include <string>

#include "sim/Board.hpp"
#include "simulator/Script.hpp"

namespace simulator {

// Turns the input the board receives into the script lines that play it
// again, and hands each line to where it is kept.
class InputLines {
public:
    virtual ~InputLines() = default;

    // False when the line could not be kept.
    bool fingers(std::uint64_t atMs, const sim::board::Finger* fingers, int count);
    bool key(std::uint64_t atMs, char key);
    bool watchdogRefresh(std::uint64_t atMs, bool enable);

protected:
    // The first line of every recording.
    static constexpr const char* header = "# mapboard input: board time in ms, as --script plays it";

    // `line` without its newline.
    virtual bool keep(const std::string& line) = 0;

private:
    bool write(const ScriptEvent& event);

    bool fingerDown = false;
};

} // namespace simulator
