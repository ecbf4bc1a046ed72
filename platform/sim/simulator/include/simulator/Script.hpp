#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "sim/Board.hpp"

namespace simulator {

// One timed step of a script, at board time `atMs`.
struct ScriptEvent {
    enum class Kind : std::uint8_t { Fingers, Key, Screenshot, WatchdogRefresh, Drag };
    std::uint64_t atMs = 0;
    Kind kind = Kind::Fingers;
    int fingerCount = 0;             // Fingers: 0 releases
    sim::board::Finger fingers[2]{}; // Drag: from, to
    std::uint64_t durationMs = 0;    // Drag
    char key = 0;                    // Key: 'M', 'S' or 'Q'
    std::string file;                // Screenshot
    bool enable = true;              // WatchdogRefresh
    int line = 0;                    // where parseScript read it, from 1
};

struct ParsedScript {
    std::vector<ScriptEvent> events; // in time order, a drag as one event
    std::string error;               // "FILE:LINE: what" when a line is refused
};

// The most a script file may hold: a person writes it, and the whole text
// is read at once.
constexpr std::size_t maxScriptBytes = 1 << 20;

// The script format, one step per line (blank lines and # comments are
// skipped); TIME is board time in milliseconds, steps must not go back in
// time, coordinates are panel pixels (0..799, 0..479):
//   TIME press X Y               one finger down
//   TIME move X Y                the finger moves there
//   TIME drag X1 Y1 X2 Y2 MS     press, rest 50 ms, move in 10 ms steps over
//                                MS, rest 50 ms, release
//   TIME pinch X1 Y1 X2 Y2       two fingers at these points (down or moved)
//   TIME release                 every finger up
//   TIME key M|S|Q               menu, screenshot, quit
//   TIME screenshot FILE.png     saves what the display shows
//   TIME watchdog-refresh on|off sets the firmware's watchdogRefreshEnabled
ParsedScript parseScript(const std::string& text, const std::string& name);
// Only a regular file of at most maxScriptBytes.
ParsedScript loadScript(const std::string& path);

// The script line (without its newline) that parseScript reads back as
// `event`. One finger is a press when none was down before, else a move. A
// screenshot's file name must hold no blanks and no '#'.
std::string formatStep(const ScriptEvent& event, bool fingerWasDown);

// Hands out a script's steps as their board time comes, a drag as its finger
// positions one by one: a long drag is expanded only as it is played.
class ScriptPlayer {
public:
    explicit ScriptPlayer(std::vector<ScriptEvent> events);

    // The next step due at board time `nowMs`, never a Drag.
    std::optional<ScriptEvent> next(std::uint64_t nowMs);

private:
    std::vector<ScriptEvent> events;
    std::size_t nextEvent = 0;
    std::uint64_t nextDragStep = 0; // of events[nextEvent] when it is a drag
};

} // namespace simulator
