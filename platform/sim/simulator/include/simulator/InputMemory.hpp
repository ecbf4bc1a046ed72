#pragma once

#include <cstddef>
#include <string>

#include "simulator/InputLines.hpp"

namespace simulator {

// The input the board receives as script text in memory, the lines a file
// recording holds. It stops at `limitBytes`: the first line that does not
// fit and every one after it are refused, so the text always replays the
// run up to where it stopped.
class InputMemory : public InputLines {
public:
    explicit InputMemory(std::size_t limitBytes = maxScriptBytes);

    const std::string& text() const { return script; }
    bool full() const { return stopped; }

private:
    bool keep(const std::string& line) override;

    std::string script;
    std::size_t limit;
    bool stopped = false;
};

} // namespace simulator
