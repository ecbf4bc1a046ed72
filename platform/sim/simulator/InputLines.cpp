#include "simulator/InputLines.hpp"

namespace simulator {

bool InputLines::fingers(std::uint64_t atMs, const sim::board::Finger* fingers, int count)
{
    ScriptEvent event;
    event.atMs = atMs;
    event.kind = ScriptEvent::Kind::Fingers;
    event.fingerCount = count < 0 ? 0 : (count > 2 ? 2 : count);
    for (int i = 0; i < event.fingerCount; ++i) {
        event.fingers[i] = fingers[i];
    }
    const bool written = write(event);
    fingerDown = event.fingerCount > 0;
    return written;
}

bool InputLines::key(std::uint64_t atMs, char key)
{
    ScriptEvent event;
    event.atMs = atMs;
    event.kind = ScriptEvent::Kind::Key;
    event.key = key;
    return write(event);
}

bool InputLines::watchdogRefresh(std::uint64_t atMs, bool enable)
{
    ScriptEvent event;
    event.atMs = atMs;
    event.kind = ScriptEvent::Kind::WatchdogRefresh;
    event.enable = enable;
    return write(event);
}

bool InputLines::write(const ScriptEvent& event)
{
    return keep(formatStep(event, fingerDown));
}

} // namespace simulator
