#include "simulator/InputLines.hpp"

namespace simulator {

namespace {

ScriptEvent stepAt(std::uint64_t atMs, ScriptEvent::Kind kind)
{
    ScriptEvent event;
    event.atMs = atMs;
    event.kind = kind;
    return event;
}

} // namespace

bool InputLines::fingers(std::uint64_t atMs, const sim::board::Finger* fingers, int count)
{
    ScriptEvent event = stepAt(atMs, ScriptEvent::Kind::Fingers);
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
    ScriptEvent event = stepAt(atMs, ScriptEvent::Kind::Key);
    event.key = key;
    return write(event);
}

bool InputLines::watchdogRefresh(std::uint64_t atMs, bool enable)
{
    ScriptEvent event = stepAt(atMs, ScriptEvent::Kind::WatchdogRefresh);
    event.enable = enable;
    return write(event);
}

bool InputLines::write(const ScriptEvent& event)
{
    return keep(formatStep(event, fingerDown));
}

} // namespace simulator
