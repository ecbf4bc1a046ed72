// mapboard: the simulator board. Runs the unchanged firmware from power-on
// in a window or headless.

#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "board_config/BoardConfig.hpp"
#include "sim/FlashLoader.hpp"
#include "sim/OutputFile.hpp"
#include "simulator/BoardRun.hpp"
#include "simulator/Options.hpp"
#include "simulator/Soak.hpp"
#include "simulator/Window.hpp"

namespace {

constexpr std::uint64_t headlessFrames = 600;
constexpr std::uint64_t soakFrames = 3600 * board::framesPerSecond; // an hour of board time

std::string absolute(const std::string& path)
{
    std::error_code unknown;
    const std::filesystem::path full = std::filesystem::absolute(path, unknown);
    return unknown ? path : full.string();
}

// The watchdog reset the board: start it again as the same program, so
// every static is constructed afresh as after a real reset.
[[noreturn]] void restart(int argc, char** argv, std::uint64_t framesDone)
{
    std::fprintf(stderr, "mapboard: the board restarts\n");
    std::fflush(nullptr);
    const std::vector<std::string> arguments = simulator::restartArguments(argc, argv, framesDone);
    std::vector<char*> pointers;
    pointers.reserve(arguments.size() + 1);
    for (const std::string& argument : arguments) {
        pointers.push_back(const_cast<char*>(argument.c_str()));
    }
    pointers.push_back(nullptr);
    execv("/proc/self/exe", pointers.data());
    std::perror("mapboard: cannot restart");
    std::_Exit(1);
}

// A restarted board continues a run that has frames left (0: no end).
std::string refuseAfterReset(std::uint64_t afterReset, std::uint64_t frames)
{
    if (frames != 0 && afterReset >= frames) {
        return "--after-reset " + std::to_string(afterReset) + ": the run has only " + std::to_string(frames) +
               " frames";
    }
    return {};
}

simulator::RunSettings settingsFor(const simulator::Options& options, bool headless,
                                   std::vector<simulator::ScriptEvent> script)
{
    simulator::RunSettings settings;
    settings.timeMode = headless ? sim::TimeMode::Virtual : sim::TimeMode::WallClock;
    settings.frames = options.frames.value_or(headless ? headlessFrames : 0);
    settings.script = std::move(script);
    settings.screenshotEvery = options.screenshotEvery;
    const std::filesystem::path outDir = std::filesystem::path(options.out).parent_path();
    settings.screenshotDir = outDir.empty() ? "." : outDir.string();
    settings.tracePath = options.trace;
    settings.appendTrace = options.afterReset != 0;
    settings.hostTimes = options.hostTimes;
    settings.firstFrame = options.afterReset;
    return settings;
}

// Seeded random input for an hour of board time (or --frames), judged by
// the soak's rules; the last frame is saved, passed or failed.
int runSoak(const simulator::Options& options, std::vector<simulator::ScriptEvent> script)
{
    const std::uint64_t frames = options.frames.value_or(soakFrames);
    if (const std::string refused = refuseAfterReset(options.afterReset, frames); !refused.empty()) {
        std::fprintf(stderr, "mapboard: %s\n", refused.c_str());
        return 2;
    }
    simulator::Soak soak(*options.soak, frames);
    simulator::Options soakOptions = options;
    soakOptions.frames = frames;
    simulator::RunSettings settings = settingsFor(soakOptions, true, std::move(script));
    settings.everyFrame = [&soak](simulator::BoardRun& run, std::uint64_t frame) { soak.endOfFrame(run, frame); };
    simulator::BoardRun run(std::move(settings));
    const simulator::RunEnd end = run.run();
    const int status = soak.finish(end, run.framesDone(), run.problem(), stdout);
    // The last frame shows where the run ended, passed or failed.
    if (const std::string failed = simulator::BoardRun::saveShownFrame(options.out); !failed.empty()) {
        std::fprintf(stderr, "mapboard: %s\n", failed.c_str());
        return 1;
    }
    std::printf("mapboard: the last frame is in %s\n", absolute(options.out).c_str());
    return status;
}

// What the options name, loaded before the board starts: the flash image,
// the faults and the script; and the picture's file checked, so that a
// run does not end in one it cannot write. Returns 0, or the exit status.
int prepareRun(const simulator::Options& options, std::vector<simulator::ScriptEvent>& script)
{
    if (!options.flash.empty()) {
        if (const std::string refused = sim::loadFlashImage(options.flash); !refused.empty()) {
            std::fprintf(stderr, "mapboard: %s\n", refused.c_str());
            return 1;
        }
    }
    if (const std::string refused = simulator::applyFaults(options.faults); !refused.empty()) {
        std::fprintf(stderr, "mapboard: %s\n", refused.c_str());
        return 2;
    }
    if (!options.script.empty()) {
        simulator::ParsedScript loaded = simulator::loadScript(options.script);
        if (!loaded.error.empty()) {
            std::fprintf(stderr, "mapboard: %s\n", loaded.error.c_str());
            return 2;
        }
        script = std::move(loaded.events);
    }
    if (const std::string refused = sim::checkWritable(options.out); !refused.empty()) {
        std::fprintf(stderr, "mapboard: --out %s\n", refused.c_str());
        return 1;
    }
    return 0;
}

// Without a display the window cannot open: the run goes headless.
bool runsHeadless(const simulator::Options& options)
{
    if (options.headless || simulator::displayAvailable()) {
        return options.headless;
    }
    std::printf("mapboard: no display found (DISPLAY is not set): running %llu frames headless\n",
                static_cast<unsigned long long>(options.frames.value_or(headlessFrames)));
    return true;
}

// A board restarted by the watchdog leaves the recording as it was: its
// script does not carry on either. Returns 0, or the exit status.
int openRecorder(const simulator::Options& options, simulator::RunSettings& settings)
{
    if (options.record.empty() || options.afterReset != 0) {
        return 0;
    }
    settings.recorder = std::make_unique<simulator::InputRecorder>();
    if (const std::string refused = settings.recorder->open(options.record); !refused.empty()) {
        std::fprintf(stderr, "mapboard: --record %s: %s\n", options.record.c_str(), refused.c_str());
        return 2;
    }
    return 0;
}

// The board from power-on, headless or in a window, until its frames are
// done, the window closes or the watchdog restarts it.
int runBoard(int argc, char** argv, const simulator::Options& options, std::vector<simulator::ScriptEvent> script)
{
    const bool headless = runsHeadless(options);
    simulator::RunSettings settings = settingsFor(options, headless, std::move(script));
    if (const std::string refused = refuseAfterReset(options.afterReset, settings.frames); !refused.empty()) {
        std::fprintf(stderr, "mapboard: %s\n", refused.c_str());
        return 2;
    }
    if (const int refused = openRecorder(options, settings); refused != 0) {
        return refused;
    }
    simulator::BoardRun run(std::move(settings));
    simulator::RunEnd end = simulator::RunEnd::Stopped;
    if (headless) {
        end = run.run();
    } else {
        std::string problem;
        end = simulator::runInWindow(run, options.zoom, problem);
        if (!problem.empty()) {
            std::fprintf(stderr, "mapboard: %s\n", problem.c_str());
            return 1;
        }
    }
    if (!run.problem().empty()) {
        std::fprintf(stderr, "mapboard: %s\n", run.problem().c_str());
        return 1;
    }
    if (end == simulator::RunEnd::WatchdogReset) {
        restart(argc, argv, run.framesDone());
    }
    if (headless) {
        if (const std::string failed = simulator::BoardRun::saveShownFrame(options.out); !failed.empty()) {
            std::fprintf(stderr, "mapboard: %s\n", failed.c_str());
            return 1;
        }
        std::printf("mapboard: %llu frames run; the last one is in %s\n",
                    static_cast<unsigned long long>(run.framesDone()), absolute(options.out).c_str());
    }
    return 0;
}

} // namespace

int main(int argc, char** argv)
{
    const simulator::ParsedCommandLine parsed = simulator::parseCommandLine(argc, argv, MAPBOARD_DEFAULT_PICTURE);
    if (!parsed.options) {
        std::fputs(parsed.message.c_str(), parsed.exitStatus == 0 ? stdout : stderr);
        return parsed.exitStatus;
    }
    const simulator::Options& options = *parsed.options;
    std::vector<simulator::ScriptEvent> script;
    if (const int refused = prepareRun(options, script); refused != 0) {
        return refused;
    }
    if (options.soak) {
        return runSoak(options, std::move(script));
    }
    return runBoard(argc, argv, options, std::move(script));
}
