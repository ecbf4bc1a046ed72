// Feeds arbitrary text to the simulator's script parser: a refused script
// says why, an accepted one has its steps in time order with at most two
// fingers on the panel, also as played with its drags expanded, and nothing
// reads outside the text.

#include <cstddef>
#include <cstdint>
#include <string>

#include "simulator/Script.hpp"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string text(reinterpret_cast<const char*>(data), size);
    const simulator::ParsedScript script = simulator::parseScript(text, "fuzz");
    if (!script.error.empty()) {
        return 0;
    }
    std::uint64_t last = 0;
    for (const simulator::ScriptEvent& event : script.events) {
        if (event.atMs < last || event.fingerCount < 0 || event.fingerCount > 2) {
            __builtin_trap();
        }
        last = event.atMs;
    }
    // A drag plays up to 60,000 steps: enough of them to cover each kind.
    simulator::ScriptPlayer player(script.events);
    last = 0;
    for (int played = 0; played < 100000; ++played) {
        const auto step = player.next(~std::uint64_t{0});
        if (!step) {
            break;
        }
        const bool onPanel =
            step->fingers[0].x < sim::board::panelWidth && step->fingers[0].y < sim::board::panelHeight;
        if (step->kind == simulator::ScriptEvent::Kind::Drag || step->atMs < last || !onPanel) {
            __builtin_trap();
        }
        last = step->atMs;
    }
    return 0;
}
