#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "sim/Board.hpp"

namespace simulator {

// One timed step of a script, at board time `atMs`.
struct ScriptEvent {
    enum class Kind : std::uint8_t { Fingers, Key, Screenshot, WatchdogRefresh };
    std::uint64_t atMs = 0;
    Kind kind = Kind::Fingers;
    int fingerCount = 0; // Fingers: 0 releases
    sim::board::Finger fingers[2]{};
    char key = 0;       // Key: 'M', 'S' or 'Q'
    std::string file;   // Screenshot
    bool enable = true; // WatchdogRefresh
};

struct ParsedScript {
    std::vector<ScriptEvent> events; // in time order
    std::string error;               // "FILE:LINE: what" when a line is refused
};

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
ParsedScript loadScript(const std::string& path);

} // namespace simulator
