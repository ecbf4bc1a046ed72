#include "BoardRequests.hpp"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <iterator>
#include <optional>
#include <utility>

#include "board_config/BoardConfig.hpp"
#include "simulator/TraceLine.hpp"

namespace emulated {

namespace {

constexpr std::uint64_t panelPixels = board::panelPixels;

// The figures of the firmware's own queues and map cache under mapboard's
// names; its kernel heap differs from the simulator's kernel by nature.
nlohmann::ordered_json figuresOf(const FrameRecord& record)
{
    return {{"kernel heap", record.kernelHeapInUse},
            {"blit queue", record.blitQueue},
            {"failed blits", record.failedBlits},
            {"map fetcher queue", record.fetcherQueue},
            {"tile slots cached", record.state.tilesCached},
            {"tile slots pending", record.state.tilesPending}};
}

std::string frameFileBeside(const std::string& out, const char* kind, std::uint64_t frame)
{
    char name[40];
    std::snprintf(name, sizeof name, "%s-%06llu.png", kind, static_cast<unsigned long long>(frame));
    return (std::filesystem::path(out).parent_path() / name).string();
}

// A name the trace and the report show: printable ASCII up to its end or
// its field's last byte, which ends it.
bool plainText(char (&field)[12])
{
    field[sizeof field - 1] = '\0';
    const char* begin = field;
    return std::all_of(begin, begin + std::strlen(begin), [](char c) { return c >= ' ' && c <= '~'; });
}

} // namespace

BoardRequests::BoardRequests(const RunSettings& run, SharedBlock ram, RunOutputs out, RunOutcome& result)
    : settings(run), block(ram), outputs(std::move(out)), outcome(result), gpu(ram, run.timeMode == TimeMode::Emulated),
      blitter(ram), script(run.script)
{
}

ReplyRecord BoardRequests::answer(const RequestRecord& request)
{
    ReplyRecord reply{};
    switch (request.kind) {
    case Request::Hello:
        return hello(request);
    case Request::FrameDone:
        return frameDone(request);
    case Request::Fingers:
        return fingers(request);
    case Request::BlitRun:
        outcome.problem = blitter.run(request, reply);
        break;
    case Request::GpuRun:
        outcome.problem = gpu.run(request.words[0], request.words[1], request.words[2] != 0);
        reply.words[0] = gpu.takeCoveredPixels();
        break;
    case Request::WatchdogExpired:
        if (outputs.notes != nullptr) {
            *outputs.notes << "emulated board: watchdog reset at " << request.words[0] << " ms; the board restarts\n";
        }
        scriptPlaying = false;
        break;
    case Request::RunFigures:
        runFigures(request);
        break;
    case Request::Stalled:
        outcome.problem = "the firmware stopped producing frames after frame " + std::to_string(outcome.frames) +
                          ": none by board time " + std::to_string(request.words[0]) + " ms";
        break;
    default:
        outcome.problem = "an unknown request from the emulated board";
        break;
    }
    return reply;
}

ReplyRecord BoardRequests::hello(const RequestRecord& request)
{
    ReplyRecord reply{};
    if (request.words[0] != protocolVersion) {
        outcome.problem = "the emulated board's image speaks another protocol version";
    }
    reply.words[0] = static_cast<std::uint32_t>(settings.timeMode);
    // A firmware that stops producing frames must not keep the run going:
    // twice the frames' board time is plenty.
    reply.words[1] = static_cast<std::uint32_t>((settings.frames - outcome.frames) * 2 * 17 + 1000);
    reply.words[2] = outputs.trace != nullptr ? 1 : 0;
    if (std::uint8_t* table = block.at(request.words[1], sizeof settings.faults)) {
        std::memcpy(table, settings.faults, sizeof settings.faults);
    } else {
        outcome.problem = "the emulated board's fault table is not in the shared RAM";
    }
    reply.words[3] = settings.reportCosts ? 1 : 0;
    return reply;
}

ReplyRecord BoardRequests::frameDone(const RequestRecord& request)
{
    ReplyRecord reply{};
    if (stopped) {
        outcome.problem = "the emulated board went on with its frames after the runner stopped it";
        return reply;
    }
    const std::uint64_t frame = ++outcome.frames;
    outcome.drawMicrosecondsTotal += request.words[2];
    outcome.drawMicrosecondsMost = std::max(outcome.drawMicrosecondsMost, request.words[2]);
    if (outputs.trace != nullptr) {
        outcome.problem = writeTrace(request, frame);
    }
    if (settings.reportCosts && outcome.problem.empty()) {
        outcome.problem = readCost(request, frame);
    }
    if (outcome.problem.empty() && settings.screenshotEvery != 0 && frame % settings.screenshotEvery == 0) {
        outcome.problem = savePicture(request.words[1], frameFileBeside(settings.out, "frame", frame));
    }
    if (scriptPlaying) {
        playScript(request.words[0], frame);
    }
    const FrameInputs inputs = std::exchange(pending, FrameInputs{});
    pending.fingerCount = inputs.fingerCount;
    std::copy(std::begin(inputs.fingers), std::end(inputs.fingers), std::begin(pending.fingers));
    for (const std::string& path : inputs.screenshots) {
        if (outcome.problem.empty()) {
            outcome.problem = savePicture(request.words[1], path);
        }
    }
    reply.words[1] = inputs.bits;
    reply.words[2] = inputs.fingerCount;
    reply.words[3] = inputs.fingers[0];
    reply.words[4] = inputs.fingers[1];
    if (frame >= settings.frames || inputs.quit) {
        if (outcome.problem.empty()) {
            outcome.problem = savePicture(request.words[1], settings.out);
        }
        reply.words[0] = stopRun;
        stopped = true;
        // A run reporting costs ends with the board's figures.
        finished = !settings.reportCosts;
    }
    return reply;
}

ReplyRecord BoardRequests::fingers(const RequestRecord& request)
{
    if (scriptPlaying) {
        playScript(request.words[0], outcome.frames + 1);
    }
    // The board has these fingers now.
    pending.bits &= ~touchChanged;
    ReplyRecord reply{};
    reply.words[0] = pending.fingerCount;
    reply.words[1] = pending.fingers[0];
    reply.words[2] = pending.fingers[1];
    return reply;
}

void BoardRequests::runFigures(const RequestRecord& request)
{
    if (!stopped || !settings.reportCosts) {
        outcome.problem = "the emulated board sent its run's figures before the runner stopped a run reporting costs";
    } else if (const std::uint8_t* figures = block.at(request.words[0], sizeof(RunFigures))) {
        std::memcpy(&outcome.figures, figures, sizeof outcome.figures);
        finished = true;
    } else {
        outcome.problem = "the emulated board's run figures are not in the shared RAM";
    }
}

// Plays the steps due by nowMs into the pending inputs, which gather until
// the next frame's end (in emulated time, touch reports play the script
// between).
void BoardRequests::playScript(std::uint64_t nowMs, std::uint64_t frame)
{
    while (const std::optional<simulator::ScriptEvent> step = script.next(nowMs)) {
        switch (step->kind) {
        case simulator::ScriptEvent::Kind::Fingers:
        case simulator::ScriptEvent::Kind::Drag:
            pending.bits |= touchChanged;
            pending.fingerCount = static_cast<std::uint32_t>(std::clamp(step->fingerCount, 0, 2));
            for (std::size_t i = 0; i < 2; ++i) {
                pending.fingers[i] = packFinger(step->fingers[i].x, step->fingers[i].y);
            }
            break;
        case simulator::ScriptEvent::Kind::Key:
            if (step->key == 'M') {
                pending.bits |= menuKey;
            } else if (step->key == 'Q') {
                pending.quit = true;
            } else if (step->key == 'S') {
                pending.screenshots.push_back(frameFileBeside(settings.out, "screenshot", frame));
            }
            break;
        case simulator::ScriptEvent::Kind::Screenshot:
            pending.screenshots.push_back(step->file);
            break;
        case simulator::ScriptEvent::Kind::WatchdogRefresh:
            pending.bits &= ~(watchdogRefreshOn | watchdogRefreshOff);
            pending.bits |= step->enable ? watchdogRefreshOn : watchdogRefreshOff;
            break;
        }
    }
}

std::string BoardRequests::readFrameRecord(std::uint32_t address, FrameRecord& record) const
{
    const std::uint8_t* bytes = block.at(address, sizeof record);
    if (bytes == nullptr) {
        return "the emulated board's frame record is not in the shared RAM";
    }
    std::memcpy(&record, bytes, sizeof record);
    if (!plainText(record.state.screen) || !plainText(record.state.pizzaState)) {
        return "the emulated board's frame record names its screen or pizza state in other than plain text";
    }
    return {};
}

// Before the script's steps of that frame, as mapboard writes it.
std::string BoardRequests::writeTrace(const RequestRecord& request, std::uint64_t frame)
{
    FrameRecord record{};
    if (std::string problem = readFrameRecord(request.words[3], record); !problem.empty()) {
        return problem;
    }
    const std::uint8_t* pixels = block.at(request.words[1], panelPixels * 2);
    if (pixels == nullptr || request.words[1] % 2 != 0) {
        return "the emulated board's frame is not in the shared RAM";
    }
    const simulator::TraceFrame traced{
        frame, request.words[0], request.words[2],
        simulator::frameHash(reinterpret_cast<const std::uint16_t*>(pixels), panelPixels)};
    *outputs.trace << simulator::traceLine(traced, record.state, figuresOf(record)).dump() << '\n';
    return *outputs.trace ? std::string()
                          : "cannot write the trace " + settings.tracePath + ": " + std::strerror(errno);
}

std::string BoardRequests::readCost(const RequestRecord& request, std::uint64_t frame)
{
    FrameCostEntry entry;
    FrameRecord record{};
    if (std::string problem = readFrameRecord(request.words[3], record); !problem.empty()) {
        return problem;
    }
    const std::uint8_t* cost = block.at(request.words[4], sizeof(FrameCost));
    if (cost == nullptr) {
        return "the emulated board's frame cost is not in the shared RAM";
    }
    entry.frame = frame;
    entry.boardMs = request.words[0];
    std::memcpy(&entry.cost, cost, sizeof entry.cost);
    entry.state = record.state;
    outcome.costs.push_back(entry);
    return {};
}

std::string BoardRequests::savePicture(std::uint32_t address, const std::string& path) const
{
    const std::uint8_t* pixels = block.at(address, panelPixels * 2);
    if (pixels == nullptr || address % 2 != 0) {
        return "the display shows no frame in the shared RAM";
    }
    return outputs.savePicture(reinterpret_cast<const std::uint16_t*>(pixels), path);
}

} // namespace emulated
