// emulatedboard: the firmware's 32-bit image on the emulated board under
// QEMU, its GPU served here; headless like `mapboard --headless`, and in
// board time by default, so that its frames equal the simulator's.

#include <cstdio>
#include <exception>
#include <filesystem>
#include <string>
#include <vector>

#include <CLI/CLI.hpp>

#include "CostReport.hpp"
#include "EmulatedRun.hpp"
#include "FaultOptions.hpp"
#include "ImageCheck.hpp"

namespace {

// What the command line asks for beyond the run's settings.
struct CommandLine {
    emulated::RunSettings settings;
    bool emulatedTime = false;
    std::string scriptPath;
    std::vector<std::string> faults;
    std::uint32_t costFromMs = 0;
    bool costBudget = false;
};

void addOptions(CLI::App& app, CommandLine& line)
{
    emulated::RunSettings& settings = line.settings;
    app.add_option("--frames", settings.frames, "frames to run (default 600, 10 s of board time)")
        ->check(CLI::Range(std::uint64_t{1}, std::uint64_t{100000000}));
    app.add_option("--out", settings.out, "where the last frame goes (PNG)");
    app.add_option("--screenshot-every", settings.screenshotEvery, "also save every N-th frame beside --out");
    app.add_flag("--emulated-time", line.emulatedTime,
                 "let the system timer count emulated time (one instruction a nanosecond) instead of board time");
    app.add_flag("--cost-report", settings.reportCosts,
                 "in emulated time, report the firmware's instructions per frame by phase, its stacks and heap");
    app.add_option("--cost-from", line.costFromMs,
                   "leave the frames before this board time (ms) out of the cost report");
    app.add_flag("--cost-budget", line.costBudget,
                 "with --cost-report, fail (exit status 1) when a frame reported takes more than 2,666,666 core "
                 "instructions or 16.7 ms of board time");
    app.add_option("--script", line.scriptPath, "timed touches, keys and screenshots, as mapboard's --script");
    app.add_option("--trace", settings.tracePath,
                   "JSON lines as mapboard's --trace, without its host times, with the firmware's own figures");
    app.add_option("--fault", line.faults, emulated::faultHelp)->type_name("NAME[=N][@FROM[-UNTIL]]");
    app.add_option("--image", settings.image, "the emulated board's image")->check(CLI::ExistingFile);
    app.add_option("--qemu", settings.qemu, "qemu-system-arm to run it with");
}

// The image checked, the script and the faults read into the settings.
// Returns 0, or the exit status.
int prepareRun(CommandLine& line)
{
    emulated::RunSettings& settings = line.settings;
    if (const std::string refused = emulated::checkBoardImage(settings.image); !refused.empty()) {
        std::fprintf(stderr, "emulatedboard: %s: %s\n", settings.image.c_str(), refused.c_str());
        return 2;
    }
    if (!line.scriptPath.empty()) {
        simulator::ParsedScript loaded = simulator::loadScript(line.scriptPath);
        if (!loaded.error.empty()) {
            std::fprintf(stderr, "emulatedboard: %s\n", loaded.error.c_str());
            return 2;
        }
        settings.script = std::move(loaded.events);
    }
    for (const std::string& fault : line.faults) {
        if (const std::string refused = emulated::addFault(fault, settings); !refused.empty()) {
            std::fprintf(stderr, "emulatedboard: --fault %s: %s\n", fault.c_str(), refused.c_str());
            return 2;
        }
    }
    settings.timeMode =
        line.emulatedTime || settings.reportCosts ? emulated::TimeMode::Emulated : emulated::TimeMode::Board;
    return 0;
}

// The cost report, the drawing's instructions and where the last frame
// is. Returns 0, or 1 when a frame went over the budget asked to hold.
int report(const CommandLine& line, const emulated::RunOutcome& outcome)
{
    const emulated::RunSettings& settings = line.settings;
    if (settings.reportCosts) {
        const std::string title =
            line.scriptPath.empty() ? "no input" : std::filesystem::path(line.scriptPath).stem().string();
        std::fputs(emulated::costReport(title, outcome, line.costFromMs).c_str(), stdout);
        if (const std::string over = emulated::overBudget(outcome, line.costFromMs); line.costBudget && !over.empty()) {
            std::fprintf(stderr, "emulatedboard: %s: %s\n", title.c_str(), over.c_str());
            return 1;
        }
    }
    if (line.emulatedTime || settings.reportCosts) {
        const unsigned long long perFrame = outcome.drawMicrosecondsTotal * 1000u / outcome.frames;
        const unsigned long long most = 1000ull * outcome.drawMicrosecondsMost;
        std::printf("emulatedboard: drawing took %llu instructions per frame, %llu at most\n", perFrame, most);
    }
    std::printf("emulatedboard: %llu frames run; the last one is in %s\n",
                static_cast<unsigned long long>(outcome.frames),
                std::filesystem::absolute(settings.out).string().c_str());
    return 0;
}

int run(int argc, char** argv)
{
    CommandLine line;
    line.settings.qemu = EMULATED_BOARD_QEMU;
    line.settings.image = EMULATED_BOARD_IMAGE;
    line.settings.out = EMULATED_BOARD_DEFAULT_PICTURE;
    CLI::App app{"Runs the firmware's image on the emulated board (qemu-system-arm -M mps2-an505)"};
    addOptions(app, line);
    try {
        app.parse(argc, argv);
    } catch (const CLI::ParseError& error) {
        return app.exit(error) == 0 ? 0 : 2;
    }
    if (const int refused = prepareRun(line); refused != 0) {
        return refused;
    }
    const emulated::RunOutcome outcome = emulated::runEmulatedBoard(line.settings);
    if (!outcome.problem.empty()) {
        std::fprintf(stderr, "emulatedboard: %s\n", outcome.problem.c_str());
        return 1;
    }
    return report(line, outcome);
}

} // namespace

int main(int argc, char** argv)
{
    try {
        return run(argc, argv);
    } catch (const std::exception& error) {
        std::fprintf(stderr, "emulatedboard: %s\n", error.what());
        return 1;
    }
}
