#include "simulator/Options.hpp"

#include <CLI/CLI.hpp>

namespace simulator {

ParsedCommandLine parseCommandLine(int argc, const char* const* argv, const std::string& defaultOut)
{
    CLI::App app{"mapboard: the board's firmware on the PC. Opens an 800 x 480 window of the display when a display "
                 "exists; otherwise, or with --headless, runs in virtual board time and saves the last frame.\n"
                 "Window: left drag is one finger; right drag or Ctrl+drag adds a second finger mirrored about the "
                 "first (pinch and rotate); the wheel pinches about the cursor; M menu, S screenshot, Q quit.",
                 "mapboard"};
    Options options;
    options.out = defaultOut;
    std::uint64_t frames = 0;
    app.add_flag("--headless", options.headless, "run without a window, in virtual board time");
    app.add_option("--zoom", options.zoom, "window scale")->check(CLI::Range(1, 2));
    auto* framesOption = app.add_option("--frames", frames, "frames to run (headless default 600, 10 s of board time)")
                             ->check(CLI::Range(std::uint64_t{1}, std::uint64_t{100000000}));
    app.add_option("--script", options.script, "timed touches, keys and screenshots (format in the README)")
        ->check(CLI::ExistingFile);
    app.add_option("--screenshot-every", options.screenshotEvery, "save every N-th frame beside --out")
        ->check(CLI::Range(std::uint64_t{1}, std::uint64_t{100000000}));
    app.add_option("--out", options.out, "PNG of the last frame (headless)");
    app.add_option("--trace", options.trace, "one JSON line per frame");
    app.add_flag("--host-times", options.hostTimes, "the trace also gets the host's drawing time and the load");
    app.add_option("--flash", options.flash, "tile collection image instead of the built-in one")
        ->check(CLI::ExistingFile);
    std::uint64_t soakSeed = 0;
    auto* soakOption =
        app.add_option("--soak", soakSeed,
                       "headless soak run of random input from this seed, 216000 frames (an hour of "
                       "board time) unless --frames; fails on an assertion, a reset or a growing figure");
    std::vector<std::string> faults;
    app.add_option("--fault", faults, faultHelp)->allow_extra_args(false)->type_name("NAME[=N][@FROM[-UNTIL]]");
    app.add_option("--after-reset", options.afterReset, "(internal) frames run before a watchdog reset");
    try {
        app.parse(argc, argv);
    } catch (const CLI::CallForHelp&) {
        return ParsedCommandLine{std::nullopt, app.help(), 0};
    } catch (const CLI::ParseError& error) {
        return ParsedCommandLine{std::nullopt, std::string("mapboard: ") + error.what() + "\n", 2};
    }
    if (framesOption->count() > 0) {
        options.frames = frames;
    }
    if (soakOption->count() > 0) {
        options.soak = soakSeed;
    }
    for (const std::string& text : faults) {
        FaultRequest& request = options.faults.emplace_back();
        if (const std::string refused = parseFault(text, request); !refused.empty()) {
            std::string message = "mapboard: --fault " + text;
            message += ": " + refused + "\n";
            return ParsedCommandLine{std::nullopt, message, 2};
        }
    }
    if (options.out.empty()) {
        return ParsedCommandLine{std::nullopt, "mapboard: --out needs a file name\n", 2};
    }
    return ParsedCommandLine{options, {}, 0};
}

std::vector<std::string> restartArguments(int argc, const char* const* argv, std::uint64_t framesDone)
{
    std::vector<std::string> arguments{argv[0]};
    for (int i = 1; i < argc; ++i) {
        const std::string argument = argv[i];
        const bool withValue = argument == "--script" || argument == "--after-reset";
        if (withValue) {
            ++i;
        } else if (argument.rfind("--script=", 0) != 0 && argument.rfind("--after-reset=", 0) != 0) {
            arguments.push_back(argument);
        }
    }
    arguments.push_back("--after-reset");
    arguments.push_back(std::to_string(framesDone));
    return arguments;
}

} // namespace simulator
