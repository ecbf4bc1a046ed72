#include "simulator/Options.hpp"

#include <charconv>

#include <CLI/CLI.hpp>

#include "sim/OutputFile.hpp"

namespace simulator {

namespace {

// A whole-number option, read after CLI11: it would take "0x10" and "+5" as
// numbers, wrap "-1" around and read "" as 0.
struct WholeNumber {
    WholeNumber(const char* optionName, std::uint64_t lowest, std::uint64_t highest, std::uint64_t byDefault = 0)
        : name(optionName), low(lowest), high(highest), value(byDefault)
    {
    }

    const char* name;
    std::uint64_t low;
    std::uint64_t high;
    std::uint64_t value; // kept when the option is not given
    std::string text;
    CLI::Option* option = nullptr;

    bool given() const { return option->count() > 0; }
};

// Plain decimal digits within the range; else what is wrong, in one line.
std::string readWholeNumber(WholeNumber& number)
{
    const char* end = number.text.data() + number.text.size();
    std::uint64_t& value = number.value;
    const auto [stop, error] = std::from_chars(number.text.data(), end, value);
    if (number.text.empty() || error != std::errc() || stop != end || value < number.low || value > number.high) {
        return std::string("mapboard: ") + number.name + " '" + number.text + "': a whole number from " +
               std::to_string(number.low) + " to " + std::to_string(number.high) + " is needed\n";
    }
    return {};
}

constexpr std::uint64_t mostFrames = 100000000;

// What CLI11 leaves for reading after it: the whole numbers, the faults and
// the options whose presence matters.
struct LaterOptions {
    WholeNumber zoom{"--zoom", 1, 2, 1};
    WholeNumber frames{"--frames", 1, mostFrames};
    WholeNumber screenshotEvery{"--screenshot-every", 1, mostFrames};
    WholeNumber soakSeed{"--soak", 0, ~std::uint64_t{0}};
    WholeNumber afterReset{"--after-reset", 0, mostFrames - 1};
    std::vector<std::string> faults;
    CLI::Option* trace = nullptr;
    CLI::Option* record = nullptr;
};

void addOptions(CLI::App& app, Options& options, LaterOptions& later)
{
    app.add_flag("--headless", options.headless, "run without a window, in virtual board time");
    later.zoom.option = app.add_option("--zoom", later.zoom.text, "window scale, 1 or 2")->type_name("N");
    later.frames.option =
        app.add_option("--frames", later.frames.text, "frames to run (headless default 600, 10 s of board time)")
            ->type_name("N");
    app.add_option("--script", options.script, "timed touches, keys and screenshots (format in the README)")
        ->check(CLI::ExistingFile);
    later.screenshotEvery.option =
        app.add_option("--screenshot-every", later.screenshotEvery.text, "save every N-th frame beside --out")
            ->type_name("N");
    app.add_option("--out", options.out, "PNG of the last frame (headless)");
    later.trace = app.add_option("--trace", options.trace, "one JSON line per frame");
    later.record = app.add_option("--record", options.record,
                                  "write the touches and keys the board receives as a script that --script plays back");
    app.add_flag("--host-times", options.hostTimes, "the trace also gets the host's drawing time and the load");
    app.add_option("--flash", options.flash, "tile collection image instead of the built-in one")
        ->check(CLI::ExistingFile);
    later.soakSeed.option =
        app.add_option("--soak", later.soakSeed.text,
                       "headless soak run of random input from this seed, 216000 frames (an hour of "
                       "board time) unless --frames; fails on an assertion, a reset or a growing figure")
            ->type_name("SEED");
    app.add_option("--fault", later.faults, faultHelp)->allow_extra_args(false)->type_name("NAME[=N][@FROM[-UNTIL]]");
    later.afterReset.option =
        app.add_option("--after-reset", later.afterReset.text, "(internal) frames run before a watchdog reset")
            ->type_name("N");
}

// The whole numbers and faults given, into `options`; else what is wrong.
std::string readLaterOptions(LaterOptions& later, Options& options)
{
    for (WholeNumber* number :
         {&later.zoom, &later.frames, &later.screenshotEvery, &later.soakSeed, &later.afterReset}) {
        if (number->given()) {
            if (std::string refused = readWholeNumber(*number); !refused.empty()) {
                return refused;
            }
        }
    }
    options.zoom = static_cast<int>(later.zoom.value);
    options.screenshotEvery = later.screenshotEvery.value;
    options.afterReset = later.afterReset.value;
    if (later.frames.given()) {
        options.frames = later.frames.value;
    }
    if (later.soakSeed.given()) {
        options.soak = later.soakSeed.value;
    }
    for (const std::string& text : later.faults) {
        FaultRequest& request = options.faults.emplace_back();
        if (const std::string refused = parseFault(text, request); !refused.empty()) {
            return "mapboard: --fault " + text + ": " + refused + "\n";
        }
    }
    return {};
}

// The files the run writes, named and writable; else what is wrong.
std::string checkOutputFiles(const Options& options, const LaterOptions& later)
{
    if (options.out.empty()) {
        return "mapboard: --out needs a file name\n";
    }
    // CLI11 keeps the default for an empty value: no trace at all.
    if (later.trace->count() > 0 && options.trace.empty()) {
        return "mapboard: --trace needs a file name\n";
    }
    if (const std::string refused = sim::refuseNonRegular(options.out); !refused.empty()) {
        return "mapboard: --out " + refused + "\n";
    }
    if (later.record->count() > 0) {
        if (options.record.empty()) {
            return "mapboard: --record needs a file name\n";
        }
        if (const std::string refused = sim::refuseNonRegular(options.record); !refused.empty()) {
            return "mapboard: --record " + refused + "\n";
        }
        // The soak's random input goes round the recording; its seed replays it.
        if (options.soak) {
            return "mapboard: --record and --soak: a soak run replays from its seed\n";
        }
    }
    return {};
}

} // namespace

ParsedCommandLine parseCommandLine(int argc, const char* const* argv, const std::string& defaultOut)
{
    CLI::App app{"mapboard: the board's firmware on the PC. Opens an 800 x 480 window of the display when a display "
                 "exists; otherwise, or with --headless, runs in virtual board time and saves the last frame.\n"
                 "Window: left drag is one finger; right drag or Ctrl+drag adds a second finger mirrored about the "
                 "display's centre (pinch and turn); the wheel zooms by a short pinch at the cursor; M menu, S "
                 "screenshot, Q quit.",
                 "mapboard"};
    Options options;
    options.out = defaultOut;
    LaterOptions later;
    addOptions(app, options, later);
    try {
        app.parse(argc, argv);
    } catch (const CLI::CallForHelp&) {
        return ParsedCommandLine{std::nullopt, app.help(), 0};
    } catch (const CLI::ParseError& error) {
        return ParsedCommandLine{std::nullopt, std::string("mapboard: ") + error.what() + "\n", 2};
    }
    if (std::string refused = readLaterOptions(later, options); !refused.empty()) {
        return ParsedCommandLine{std::nullopt, refused, 2};
    }
    if (std::string refused = checkOutputFiles(options, later); !refused.empty()) {
        return ParsedCommandLine{std::nullopt, refused, 2};
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
