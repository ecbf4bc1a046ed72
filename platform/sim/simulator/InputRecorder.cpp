#include "simulator/InputRecorder.hpp"

#include <cerrno>
#include <cstring>

namespace simulator {

std::string InputRecorder::open(const std::string& path)
{
    file.open(path, std::ios::trunc);
    if (!file) {
        return std::strerror(errno);
    }
    filePath = path;
    file << "# mapboard input: board time in ms, as --script plays it\n" << std::flush;
    return file ? std::string() : std::strerror(errno);
}

bool InputRecorder::fingers(std::uint64_t atMs, const sim::board::Finger* fingers, int count)
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

bool InputRecorder::key(std::uint64_t atMs, char key)
{
    ScriptEvent event;
    event.atMs = atMs;
    event.kind = ScriptEvent::Kind::Key;
    event.key = key;
    return write(event);
}

bool InputRecorder::watchdogRefresh(std::uint64_t atMs, bool enable)
{
    ScriptEvent event;
    event.atMs = atMs;
    event.kind = ScriptEvent::Kind::WatchdogRefresh;
    event.enable = enable;
    return write(event);
}

bool InputRecorder::write(const ScriptEvent& event)
{
    file << formatStep(event, fingerDown) << '\n' << std::flush;
    return static_cast<bool>(file);
}

} // namespace simulator
