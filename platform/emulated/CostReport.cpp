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
    std::uint64_t blitterModel;
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
    split.blitterModel = cost.blitterModel;
    split.sleep = cost.sleep;
    return split;
}

std::string grouped(std::uint64_t value)
{
    std::string digits = std::to_string(value);
    for (std::ptrdiff_t at = static_cast<std::ptrdiff_t>(digits.size()) - 3; at > 0; at -= 3) {
        digits.insert(static_cast<std::size_t>(at), ",");
    }
    return digits;
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

bool gestureMoved(const simulator::TraceState& state)
{
    return state.gestureTx != 0.0f || state.gestureTy != 0.0f || state.gestureScale != 1.0f ||
           state.gestureRotation != 0.0f;
}

// What a frame did, from its counts and the state it ended in.
std::string didOf(const FrameCostEntry& entry, const FrameCostEntry* before)
{
    const simulator::TraceState& state = entry.state;
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

} // namespace

std::string costReport(const std::string& title, const RunOutcome& outcome, std::uint32_t fromMs)
{
    std::vector<const FrameCostEntry*> frames;
    for (const FrameCostEntry& entry : outcome.costs) {
        if (entry.boardMs >= fromMs) {
            frames.push_back(&entry);
        }
    }
    std::string report = "== " + title + ": " + std::to_string(frames.size()) + " frames";
    report += fromMs > 0 ? " from " + grouped(fromMs) + " ms of emulated time on\n" : "\n";
    if (frames.empty()) {
        return report + "  no frames measured\n";
    }

    struct Row {
        const char* name;
        std::uint64_t Split::*field;
    };
    const std::array<Row, 7> rows{{
        {"(a) model", &Split::model},
        {"(b) screens and framework", &Split::screens},
        {"(c) map widget GPU commands", &Split::gpuCommands},
        {"(d) tile transcoding", &Split::transcode},
        {"firmware, whole frame", &Split::total},
        {"blitter model, left out", &Split::blitterModel},
        {"sleep (ns), left out", &Split::sleep},
    }};
    report += line("  %-30s %14s %14s", "instructions per frame", "median", "worst");
    for (const Row& row : rows) {
        std::vector<std::uint64_t> values;
        for (const FrameCostEntry* entry : frames) {
            values.push_back(splitOf(entry->cost).*row.field);
        }
        report += line("  %-30s %14s %14s", row.name, grouped(median(values)).c_str(),
                       grouped(*std::max_element(values.begin(), values.end())).c_str());
    }

    // The frame before each, for what changed.
    auto describe = [&](const FrameCostEntry* entry) {
        const FrameCostEntry* before = entry == &outcome.costs.front() ? nullptr : entry - 1;
        return didOf(*entry, before);
    };
    const FrameCostEntry* worst = *std::max_element(
        frames.begin(), frames.end(), [](const auto* a, const auto* b) { return a->cost.frame < b->cost.frame; });
    const Split worstSplit = splitOf(worst->cost);
    report +=
        line("  worst frame: %llu at %s ms, %s instructions (model %s, screens %s, commands %s, transcoding %s)",
             static_cast<unsigned long long>(worst->frame), grouped(worst->boardMs).c_str(),
             grouped(worstSplit.total).c_str(), grouped(worstSplit.model).c_str(), grouped(worstSplit.screens).c_str(),
             grouped(worstSplit.gpuCommands).c_str(), grouped(worstSplit.transcode).c_str());
    report += "    " + describe(worst) + "\n";

    std::size_t over = 0;
    for (const FrameCostEntry* entry : frames) {
        over += entry->cost.frame > frameBudgetInstructions ? 1 : 0;
    }
    report += line("  frames over one 60 Hz frame of a 160 MHz core (%s instructions): %zu of %zu",
                   grouped(frameBudgetInstructions).c_str(), over, frames.size());
    for (const FrameCostEntry* entry : frames) {
        if (entry->cost.frame > frameBudgetInstructions) {
            report += line("    frame %llu at %s ms: %s instructions", static_cast<unsigned long long>(entry->frame),
                           grouped(entry->boardMs).c_str(), grouped(entry->cost.frame).c_str());
            report += "      " + describe(entry) + "\n";
        }
    }

    if (outcome.figuresRead) {
        report += "  task stacks, deepest use of their size at the end of the run:\n";
        for (const TaskStack& stack : outcome.figures.stacks) {
            const std::string name(stack.name, strnlen(stack.name, sizeof stack.name));
            report += line("    %-18s %8s of %8s bytes", name.c_str(), grouped(stack.deepestBytes).c_str(),
                           grouped(stack.sizeBytes).c_str());
        }
        report += line("  kernel heap: %s of %s bytes in use", grouped(outcome.figures.kernelHeapInUse).c_str(),
                       grouped(outcome.figures.kernelHeapBytes).c_str());
    } else {
        report += "  the board sent no stack and heap figures\n";
    }
    return report;
}

} // namespace emulated
