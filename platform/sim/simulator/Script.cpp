#include "simulator/Script.hpp"

#include <charconv>
#include <filesystem>
#include <fstream>
#include <sstream>

namespace simulator {

namespace {

constexpr std::uint64_t dragStepMs = 10;
// The finger rests a few frames where it lands and where it ends, so the
// firmware samples both points.
constexpr std::uint64_t dragRestMs = 50;

class LineReader {
public:
    explicit LineReader(const std::string& line) : words(line) {}

    bool number(long long& value, long long low, long long high)
    {
        std::string word;
        if (!(words >> word)) {
            return false;
        }
        // Without exceptions: the page's build has none to catch, so a
        // throwing conversion would end the whole program.
        const char* end = word.data() + word.size();
        const auto [stop, error] = std::from_chars(word.data(), end, value);
        return error == std::errc() && stop == end && value >= low && value <= high;
    }

    bool point(sim::board::Finger& finger)
    {
        long long x = 0;
        long long y = 0;
        if (!number(x, 0, sim::board::panelWidth - 1) || !number(y, 0, sim::board::panelHeight - 1)) {
            return false;
        }
        finger = sim::board::Finger{static_cast<std::uint16_t>(x), static_cast<std::uint16_t>(y)};
        return true;
    }

    bool word(std::string& value) { return static_cast<bool>(words >> value); }

    bool atEnd()
    {
        std::string rest;
        return !(words >> rest);
    }

private:
    std::istringstream words;
};

ScriptEvent fingers(std::uint64_t at, int count, sim::board::Finger a = {}, sim::board::Finger b = {})
{
    ScriptEvent event;
    event.atMs = at;
    event.kind = ScriptEvent::Kind::Fingers;
    event.fingerCount = count;
    event.fingers[0] = a;
    event.fingers[1] = b;
    return event;
}

// Step `index` of a drag: the press, a move every dragStepMs, the release.
std::uint64_t dragSteps(const ScriptEvent& drag)
{
    return drag.durationMs / dragStepMs + 2;
}

ScriptEvent dragStep(const ScriptEvent& drag, std::uint64_t index)
{
    const sim::board::Finger a = drag.fingers[0];
    const sim::board::Finger b = drag.fingers[1];
    if (index == 0) {
        return fingers(drag.atMs, 1, a);
    }
    const std::uint64_t steps = drag.durationMs / dragStepMs;
    const std::uint64_t at = drag.atMs + dragRestMs;
    if (index > steps) {
        return fingers(at + steps * dragStepMs + dragRestMs, 0);
    }
    const auto x =
        static_cast<std::uint16_t>(a.x + (b.x - a.x) * static_cast<long long>(index) / static_cast<long long>(steps));
    const auto y =
        static_cast<std::uint16_t>(a.y + (b.y - a.y) * static_cast<long long>(index) / static_cast<long long>(steps));
    return fingers(at + index * dragStepMs, 1, sim::board::Finger{x, y});
}

// Reads one step into `events`; returns what is wrong with it, if anything.
std::string parseLine(LineReader& line, std::uint64_t at, std::vector<ScriptEvent>& events)
{
    std::string command;
    line.word(command);
    sim::board::Finger a{};
    sim::board::Finger b{};
    const char* coordinates = "coordinates must be whole panel pixels, x 0..799 and y 0..479";
    if (command == "press" || command == "move") {
        if (!line.point(a)) {
            return command + " needs X Y: " + coordinates;
        }
        events.push_back(fingers(at, 1, a));
    } else if (command == "pinch") {
        if (!line.point(a) || !line.point(b)) {
            return std::string("pinch needs X1 Y1 X2 Y2: ") + coordinates;
        }
        events.push_back(fingers(at, 2, a, b));
    } else if (command == "drag") {
        long long duration = 0;
        if (!line.point(a) || !line.point(b) || !line.number(duration, dragStepMs, 600000)) {
            return std::string("drag needs X1 Y1 X2 Y2 MS (MS at least 10): ") + coordinates;
        }
        ScriptEvent event = fingers(at, 1, a, b);
        event.kind = ScriptEvent::Kind::Drag;
        event.durationMs = static_cast<std::uint64_t>(duration);
        events.push_back(event);
    } else if (command == "release") {
        events.push_back(fingers(at, 0));
    } else if (command == "key") {
        std::string key;
        if (!line.word(key) || (key != "M" && key != "S" && key != "Q")) {
            return "key needs M, S or Q";
        }
        ScriptEvent event;
        event.atMs = at;
        event.kind = ScriptEvent::Kind::Key;
        event.key = key[0];
        events.push_back(event);
    } else if (command == "screenshot") {
        ScriptEvent event;
        event.atMs = at;
        event.kind = ScriptEvent::Kind::Screenshot;
        if (!line.word(event.file)) {
            return "screenshot needs a FILE";
        }
        events.push_back(event);
    } else if (command == "watchdog-refresh") {
        std::string state;
        if (!line.word(state) || (state != "on" && state != "off")) {
            return "watchdog-refresh needs on or off";
        }
        ScriptEvent event;
        event.atMs = at;
        event.kind = ScriptEvent::Kind::WatchdogRefresh;
        event.enable = state == "on";
        events.push_back(event);
    } else {
        return "unknown step '" + command + "'";
    }
    return line.atEnd() ? std::string() : "unexpected text after the " + command + " step";
}

} // namespace

ParsedScript parseScript(const std::string& text, const std::string& name)
{
    ParsedScript parsed;
    std::istringstream lines(text);
    std::string content;
    std::uint64_t previous = 0;
    std::uint64_t lastPlanned = 0;
    if (text.size() > maxScriptBytes) {
        parsed.error = name + ": larger than the " + std::to_string(maxScriptBytes) + " bytes a script may hold";
        return parsed;
    }
    if (text.starts_with("\xEF\xBB\xBF")) {
        parsed.error = name + ":1: the file starts with a UTF-8 byte-order mark: save it without one";
        return parsed;
    }
    for (int number = 1; std::getline(lines, content); ++number) {
        const std::size_t hash = content.find('#');
        if (hash != std::string::npos) {
            content.erase(hash);
        }
        LineReader line(content);
        if (line.atEnd()) {
            continue;
        }
        LineReader steps(content);
        long long at = 0;
        std::string problem;
        if (!steps.number(at, 0, 86400000)) {
            problem = "a step starts with its board time in milliseconds";
        } else if (static_cast<std::uint64_t>(at) < previous) {
            problem = "steps must not go back in time";
        } else if (static_cast<std::uint64_t>(at) < lastPlanned) {
            problem = "this step starts before the drag above it has ended";
        } else {
            const std::size_t before = parsed.events.size();
            problem = parseLine(steps, static_cast<std::uint64_t>(at), parsed.events);
            for (std::size_t i = before; i < parsed.events.size(); ++i) {
                parsed.events[i].line = number;
            }
        }
        if (!problem.empty()) {
            parsed.events.clear();
            parsed.error = name;
            parsed.error += ":" + std::to_string(number) + ": " + problem;
            return parsed;
        }
        previous = static_cast<std::uint64_t>(at);
        const ScriptEvent& last = parsed.events.back();
        lastPlanned = last.kind == ScriptEvent::Kind::Drag ? dragStep(last, dragSteps(last) - 1).atMs : last.atMs;
    }
    return parsed;
}

ParsedScript loadScript(const std::string& path)
{
    ParsedScript failed;
    // A device or a pipe could be endless or never end.
    std::error_code error;
    if (!std::filesystem::is_regular_file(path, error)) {
        failed.error = path + ": not a regular file: a script is a text file";
        return failed;
    }
    std::ifstream file(path, std::ios::binary);
    std::string text(maxScriptBytes + 1, '\0');
    file.read(text.data(), static_cast<std::streamsize>(text.size()));
    if (file.bad() || (!file && !file.eof())) {
        failed.error = path + ": cannot read the script";
        return failed;
    }
    // One byte too many is enough for parseScript to refuse it.
    text.resize(static_cast<std::size_t>(file.gcount()));
    return parseScript(text, path);
}

std::string formatStep(const ScriptEvent& event, bool fingerWasDown)
{
    const auto point = [](const sim::board::Finger& finger) {
        return " " + std::to_string(finger.x) + " " + std::to_string(finger.y);
    };
    std::string line = std::to_string(event.atMs);
    switch (event.kind) {
    case ScriptEvent::Kind::Fingers:
        if (event.fingerCount == 0) {
            line += " release";
        } else if (event.fingerCount == 1) {
            line += (fingerWasDown ? " move" : " press") + point(event.fingers[0]);
        } else {
            line += " pinch" + point(event.fingers[0]) + point(event.fingers[1]);
        }
        break;
    case ScriptEvent::Kind::Drag:
        line += " drag" + point(event.fingers[0]) + point(event.fingers[1]) + " " + std::to_string(event.durationMs);
        break;
    case ScriptEvent::Kind::Key:
        line += std::string(" key ") + event.key;
        break;
    case ScriptEvent::Kind::Screenshot:
        line += " screenshot " + event.file;
        break;
    case ScriptEvent::Kind::WatchdogRefresh:
        line += event.enable ? " watchdog-refresh on" : " watchdog-refresh off";
        break;
    }
    return line;
}

ScriptPlayer::ScriptPlayer(std::vector<ScriptEvent> scriptEvents) : events(std::move(scriptEvents))
{
}

std::optional<ScriptEvent> ScriptPlayer::next(std::uint64_t nowMs)
{
    if (nextEvent == events.size()) {
        return std::nullopt;
    }
    const ScriptEvent& event = events[nextEvent];
    if (event.kind != ScriptEvent::Kind::Drag) {
        if (event.atMs > nowMs) {
            return std::nullopt;
        }
        ++nextEvent;
        return event;
    }
    ScriptEvent step = dragStep(event, nextDragStep);
    if (step.atMs > nowMs) {
        return std::nullopt;
    }
    if (++nextDragStep == dragSteps(event)) {
        nextDragStep = 0;
        ++nextEvent;
    }
    return step;
}

} // namespace simulator
