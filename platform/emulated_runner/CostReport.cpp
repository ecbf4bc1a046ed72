#include "CostReport.hpp"

#include <algorithm>
#include <array>
#include <cstdarg>
#include <cstdio>
#include <cstring>
#include <vector>

namespace emulated {

namespace {

struct Split {
    std::uint64_t model;
    std::uint64_t screens; // screens and framework: what the other phases leave
    std::uint64_t gpuCommands;
    std::uint64_t transcode;
    std::uint64_t total;
    std::uint64_t blitterBusy;
    std::uint64_t gpuBusy;
    std::uint64_t boardTime;
    std::uint64_t transfers;
    std::uint64_t emulation;
    std::uint64_t sleep;
};

Split splitOf(const FrameCost& cost)
{
    const std::uint64_t phases = std::uint64_t{cost.model} + cost.gpuCommands + cost.transcode;
    Split split{};
    split.model = cost.model;
    split.screens = cost.frame > phases ? cost.frame - phases : 0;
    split.gpuCommands = cost.gpuCommands;
    split.transcode = cost.transcode;
    split.total = cost.frame;
    split.blitterBusy = cost.blitterBusy;
    split.gpuBusy = cost.gpuBusy;
    split.boardTime = cost.boardTime;
    split.transfers = cost.transfers;
    split.emulation = cost.emulation;
    split.sleep = cost.sleep;
    return split;
}

std::string grouped(std::uint64_t value)
{
    const std::string digits = std::to_string(value);
    std::string text;
    for (std::size_t i = 0; i < digits.size(); ++i) {
        if (i > 0 && (digits.size() - i) % 3 == 0) {
            text += ',';
        }
        text += digits[i];
    }
    return text;
}

std::string milliseconds(std::uint64_t cycles)
{
    char text[32];
    std::snprintf(text, sizeof text, "%.2f ms", static_cast<double>(cycles) / cyclesPerMillisecond);
    return text;
}

std::uint64_t median(std::vector<std::uint64_t> values)
{
    if (values.empty()) {
        return 0;
    }
    const std::size_t middle = values.size() / 2;
    std::nth_element(values.begin(), values.begin() + static_cast<std::ptrdiff_t>(middle), values.end());
    return values[middle];
}

bool gestureMoved(const devices::TraceState& state)
{
    return state.gestureTx != 0.0f || state.gestureTy != 0.0f || state.gestureScale != 1.0f ||
           state.gestureRotation != 0.0f;
}

// What a frame did, from its counts and the state it ended in.
std::string didOf(const FrameCostEntry& entry, const FrameCostEntry* before)
{
    const devices::TraceState& state = entry.state;
    std::string did = std::string(state.screen) + " screen, zoom " + std::to_string(state.zoom);
    if (before == nullptr) {
        did += ", first frame measured";
    } else if (std::strcmp(before->state.screen, state.screen) != 0) {
        did += ", entered from the " + std::string(before->state.screen) + " screen";
    } else if (before->state.zoom != state.zoom) {
        did += ", zoom changed from " + std::to_string(before->state.zoom);
    }
    if (gestureMoved(state)) {
        did += ", a gesture moved the map";
    }
    if (entry.cost.tilesTranscoded > 0) {
        did += ", transcoded " + std::to_string(entry.cost.tilesTranscoded) + " tile" +
               (entry.cost.tilesTranscoded == 1 ? "" : "s") + " (" + grouped(entry.cost.transcode) + ")";
    }
    if (entry.cost.commandLists > 0) {
        did += ", built " + std::to_string(entry.cost.commandLists) + " GPU command list" +
               (entry.cost.commandLists == 1 ? "" : "s") + " (" + grouped(entry.cost.gpuCommands) + ")";
    } else {
        did += ", no map drawn";
    }
    did += ", " + grouped(entry.cost.transfers) + " blits";
    if (std::strcmp(state.screen, "pizza") == 0 && state.pizzaState[0] != '\0') {
        did += ", pizza " + std::string(state.pizzaState);
    }
    did +=
        ", " + std::to_string(state.tilesCached) + " tiles cached, " + std::to_string(state.tilesPending) + " pending";
    return did;
}

std::string line(const char* format, ...) __attribute__((format(printf, 1, 2)));
std::string line(const char* format, ...)
{
    char text[256];
    va_list args;
    va_start(args, format);
    std::vsnprintf(text, sizeof text, format, args);
    va_end(args);
    return std::string(text) + "\n";
}

std::vector<const FrameCostEntry*> measured(const RunOutcome& outcome, std::uint32_t fromMs)
{
    std::vector<const FrameCostEntry*> frames;
    for (const FrameCostEntry& entry : outcome.costs) {
        if (entry.boardMs >= fromMs) {
            frames.push_back(&entry);
        }
    }
    return frames;
}

bool overInstructions(const FrameCostEntry& entry)
{
    return entry.cost.frame > frameBudgetInstructions;
}

bool overBoardTime(const FrameCostEntry& entry)
{
    return entry.cost.boardTime > frameBudgetCycles;
}

std::string frameLine(const FrameCostEntry& entry)
{
    const Split split = splitOf(entry.cost);
    return line("    frame %llu at %s ms: %s instructions (model %s, screens %s, commands %s, transcoding %s), "
                "blitter %s, GPU %s, board time %s",
                static_cast<unsigned long long>(entry.frame), grouped(entry.boardMs).c_str(),
                grouped(split.total).c_str(), grouped(split.model).c_str(), grouped(split.screens).c_str(),
                grouped(split.gpuCommands).c_str(), grouped(split.transcode).c_str(),
                grouped(split.blitterBusy).c_str(), grouped(split.gpuBusy).c_str(),
                milliseconds(split.boardTime).c_str());
}

// Each figure's median and worst over the frames.
std::string figureTable(const std::vector<const FrameCostEntry*>& frames)
{
    struct Row {
        const char* name;
        std::uint64_t Split::*field;
    };
    const std::array<Row, 11> rows{{
        {"(a) model", &Split::model},
        {"(b) screens and framework", &Split::screens},
        {"(c) map widget GPU commands", &Split::gpuCommands},
        {"(d) tile transcoding", &Split::transcode},
        {"core instructions, whole frame", &Split::total},
        {"blitter busy (cycles)", &Split::blitterBusy},
        {"GPU busy (cycles)", &Split::gpuBusy},
        {"board time (cycles)", &Split::boardTime},
        {"blits", &Split::transfers},
        {"emulation, left out", &Split::emulation},
        {"sleep (ns), left out", &Split::sleep},
    }};
    std::string table = line("  %-32s %14s %14s", "per frame", "median", "worst");
    for (const Row& row : rows) {
        std::vector<std::uint64_t> values;
        values.reserve(frames.size());
        for (const FrameCostEntry* entry : frames) {
            values.push_back(splitOf(entry->cost).*row.field);
        }
        table += line("  %-32s %14s %14s", row.name, grouped(median(values)).c_str(),
                      grouped(*std::max_element(values.begin(), values.end())).c_str());
        if (row.field == &Split::boardTime) {
            table += line("  %-32s %14s %14s", "board time at 160 MHz", milliseconds(median(values)).c_str(),
                          milliseconds(*std::max_element(values.begin(), values.end())).c_str());
        }
    }
    return table;
}

// A frame's line and, below it, what it did beyond the frame before it.
std::string frameWithWhatItDid(const RunOutcome& outcome, const FrameCostEntry* entry)
{
    const FrameCostEntry* before = entry == &outcome.costs.front() ? nullptr : entry - 1;
    return frameLine(*entry) + "      " + didOf(*entry, before) + "\n";
}

// The frames with the most core instructions and the longest board time.
std::string worstFrames(const RunOutcome& outcome, const std::vector<const FrameCostEntry*>& frames)
{
    const FrameCostEntry* worstCore = *std::max_element(
        frames.begin(), frames.end(), [](const auto* a, const auto* b) { return a->cost.frame < b->cost.frame; });
    const FrameCostEntry* worstTime = *std::max_element(frames.begin(), frames.end(), [](const auto* a, const auto* b) {
        return a->cost.boardTime < b->cost.boardTime;
    });
    return "  most core instructions:\n" + frameWithWhatItDid(outcome, worstCore) + "  longest board time:\n" +
           frameWithWhatItDid(outcome, worstTime);
}

// How many frames went over one 60 Hz frame, in instructions and in board
// time, and each of them.
std::string framesOverBudget(const RunOutcome& outcome, const std::vector<const FrameCostEntry*>& frames)
{
    const std::size_t overCore = static_cast<std::size_t>(
        std::count_if(frames.begin(), frames.end(), [](const auto* entry) { return overInstructions(*entry); }));
    const std::size_t overTime = static_cast<std::size_t>(
        std::count_if(frames.begin(), frames.end(), [](const auto* entry) { return overBoardTime(*entry); }));
    std::string text = line("  frames over one %u Hz frame of a 160 MHz core (%s instructions): %zu of %zu",
                            static_cast<unsigned int>(board::framesPerSecond), grouped(frameBudgetInstructions).c_str(),
                            overCore, frames.size());
    text += line("  frames over %.1f ms of board time (%s cycles): %zu of %zu", 1000.0 / board::framesPerSecond,
                 grouped(frameBudgetCycles).c_str(), overTime, frames.size());
    for (const FrameCostEntry* entry : frames) {
        if (overInstructions(*entry) || overBoardTime(*entry)) {
            text += frameWithWhatItDid(outcome, entry);
        }
    }
    return text;
}

// The tasks' deepest stack use and the kernel heap at the run's end.
std::string stacksAndHeap(const RunFigures& figures)
{
    std::string text = "  task stacks, deepest use of their size at the end of the run:\n";
    for (const TaskStack& stack : figures.stacks) {
        const std::string name(stack.name, strnlen(stack.name, sizeof stack.name));
        text += line("    %-18s %8s of %8s bytes", name.c_str(), grouped(stack.deepestBytes).c_str(),
                     grouped(stack.sizeBytes).c_str());
    }
    text += line("  kernel heap: %s of %s bytes in use", grouped(figures.kernelHeapInUse).c_str(),
                 grouped(figures.kernelHeapBytes).c_str());
    return text;
}

} // namespace

std::string costReport(const std::string& title, const RunOutcome& outcome, std::uint32_t fromMs)
{
    const std::vector<const FrameCostEntry*> frames = measured(outcome, fromMs);
    std::string report = "== " + title + ": " + std::to_string(frames.size()) + " frames";
    report += fromMs > 0 ? " from " + grouped(fromMs) + " ms of emulated time on\n" : "\n";
    if (frames.empty()) {
        return report + "  no frames measured\n";
    }
    return report + figureTable(frames) + worstFrames(outcome, frames) + framesOverBudget(outcome, frames) +
           stacksAndHeap(outcome.figures);
}

std::string overBudget(const RunOutcome& outcome, std::uint32_t fromMs)
{
    for (const FrameCostEntry* entry : measured(outcome, fromMs)) {
        if (overInstructions(*entry)) {
            return "frame " + std::to_string(entry->frame) + " took " + grouped(entry->cost.frame) +
                   " core instructions, over the budget of " + grouped(frameBudgetInstructions);
        }
        if (overBoardTime(*entry)) {
            return "frame " + std::to_string(entry->frame) + " took " + milliseconds(entry->cost.boardTime) +
                   " of board time, over 16.7 ms";
        }
    }
    return {};
}

} // namespace emulated
