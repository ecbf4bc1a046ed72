#include "EmulatedRun.hpp"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <optional>
#include <utility>
#include <vector>

#include "BlitExecutor.hpp"
#include "GpuExecutor.hpp"
#include "emulated/FrameRecord.hpp"
#include "sim/PngWriter.hpp"
#include "simulator/TraceLine.hpp"

namespace emulated {

namespace {

constexpr unsigned panelWidth = 800;
constexpr unsigned panelHeight = 480;
constexpr int pollMs = 200;

// The files the board and the runner share: the RAM block and the two pipes,
// in a directory of their own that goes when the run ends.
class RunDirectory {
public:
    RunDirectory()
    {
        const char* base = std::filesystem::is_directory("/dev/shm") ? "/dev/shm" : "/tmp";
        std::string pattern = std::string(base) + "/emulated-board-XXXXXX";
        if (mkdtemp(pattern.data()) != nullptr) {
            path = pattern;
        }
    }
    ~RunDirectory()
    {
        if (!path.empty()) {
            std::error_code ignored;
            std::filesystem::remove_all(path, ignored);
        }
    }
    RunDirectory(const RunDirectory&) = delete;
    RunDirectory& operator=(const RunDirectory&) = delete;

    std::string path;
};

class SharedRam {
public:
    explicit SharedRam(const std::string& file)
    {
        const int fd = open(file.c_str(), O_RDWR | O_CREAT | O_TRUNC, 0600);
        if (fd < 0) {
            return;
        }
        if (ftruncate(fd, sharedRamSize) == 0) {
            void* mapped = mmap(nullptr, sharedRamSize, PROT_READ | PROT_WRITE, MAP_SHARED, fd, 0);
            bytes = mapped != MAP_FAILED ? static_cast<std::uint8_t*>(mapped) : nullptr;
        }
        close(fd);
    }
    ~SharedRam()
    {
        if (bytes != nullptr) {
            munmap(bytes, sharedRamSize);
        }
    }
    SharedRam(const SharedRam&) = delete;
    SharedRam& operator=(const SharedRam&) = delete;

    std::uint8_t* bytes = nullptr;
};

class Emulator {
public:
    Emulator(const RunSettings& settings, const std::string& directory)
    {
        std::vector<std::string> args = {settings.qemu,
                                         "-M",
                                         "mps2-an505,memory-backend=board-ram",
                                         "-cpu",
                                         "cortex-m33",
                                         "-object",
                                         "memory-backend-file,id=board-ram,size=16M,mem-path=" + directory +
                                             "/ram,share=on",
                                         "-display",
                                         "none",
                                         "-monitor",
                                         "none",
                                         "-serial",
                                         "stdio",
                                         "-semihosting-config",
                                         "enable=on,target=native"};
        if (settings.timeMode == TimeMode::Emulated) {
            args.insert(args.end(), {"-icount", "shift=0,sleep=off"});
        }
        args.insert(args.end(), {"-kernel", settings.image});
        pid = fork();
        if (pid == 0) {
            // The board's serial output goes to the runner's error stream.
            const int null = open("/dev/null", O_RDONLY);
            dup2(null, STDIN_FILENO);
            dup2(STDERR_FILENO, STDOUT_FILENO);
            if (chdir(directory.c_str()) != 0) {
                _exit(127);
            }
            std::vector<char*> argv;
            argv.reserve(args.size() + 1);
            for (std::string& arg : args) {
                argv.push_back(arg.data());
            }
            argv.push_back(nullptr);
            execv(argv[0], argv.data());
            _exit(127);
        }
    }
    ~Emulator()
    {
        if (pid > 0 && !exited) {
            kill(pid, SIGKILL);
            waitpid(pid, nullptr, 0);
        }
    }
    Emulator(const Emulator&) = delete;
    Emulator& operator=(const Emulator&) = delete;

    // True once the emulator has ended; `status` is its exit status.
    bool hasExited(bool wait)
    {
        if (pid <= 0 || exited) {
            return true;
        }
        int raw = 0;
        if (waitpid(pid, &raw, wait ? 0 : WNOHANG) == pid) {
            exited = true;
            status = WIFEXITED(raw) ? WEXITSTATUS(raw) : 128 + WTERMSIG(raw);
        }
        return exited;
    }

    pid_t pid = -1;
    bool exited = false;
    int status = 0;
};

bool readFully(int fd, void* data, std::size_t size)
{
    auto* bytes = static_cast<std::uint8_t*>(data);
    while (size > 0) {
        const ssize_t got = read(fd, bytes, size);
        if (got < 0 && errno == EINTR) {
            continue;
        }
        if (got <= 0) {
            return false;
        }
        bytes += got;
        size -= static_cast<std::size_t>(got);
    }
    return true;
}

// What the script's steps due at a frame's end do: the board gets the
// newest fingers and the menu key with the reply, the runner takes the
// screenshots and the quit.
struct FrameInputs {
    std::uint32_t bits = 0; // FrameDone reply's input bits
    std::uint32_t fingerCount = 0;
    std::uint32_t fingers[2]{};
    bool quit = false;
    std::vector<std::string> screenshots;
};

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

// Plays the steps due by nowMs into `inputs`, which gather until the next
// frame's end (in emulated time, touch reports play the script between).
void playScript(simulator::ScriptPlayer& script, std::uint64_t nowMs, std::uint64_t frame, const std::string& out,
                FrameInputs& inputs)
{
    while (const std::optional<simulator::ScriptEvent> step = script.next(nowMs)) {
        switch (step->kind) {
        case simulator::ScriptEvent::Kind::Fingers:
        case simulator::ScriptEvent::Kind::Drag:
            inputs.bits |= touchChanged;
            inputs.fingerCount = static_cast<std::uint32_t>(std::clamp(step->fingerCount, 0, 2));
            for (std::size_t i = 0; i < 2; ++i) {
                inputs.fingers[i] = packFinger(step->fingers[i].x, step->fingers[i].y);
            }
            break;
        case simulator::ScriptEvent::Kind::Key:
            if (step->key == 'M') {
                inputs.bits |= menuKey;
            } else if (step->key == 'Q') {
                inputs.quit = true;
            } else if (step->key == 'S') {
                inputs.screenshots.push_back(frameFileBeside(out, "screenshot", frame));
            }
            break;
        case simulator::ScriptEvent::Kind::Screenshot:
            inputs.screenshots.push_back(step->file);
            break;
        case simulator::ScriptEvent::Kind::WatchdogRefresh:
            inputs.bits &= ~(watchdogRefreshOn | watchdogRefreshOff);
            inputs.bits |= step->enable ? watchdogRefreshOn : watchdogRefreshOff;
            break;
        }
    }
}

} // namespace

RunOutcome runEmulatedBoard(const RunSettings& settings)
{
    RunOutcome outcome;
    RunDirectory directory;
    if (directory.path.empty()) {
        outcome.problem = "cannot make a directory for the emulated board's files";
        return outcome;
    }
    SharedRam ram(directory.path + "/ram");
    const std::string requestsPath = directory.path + "/requests";
    const std::string repliesPath = directory.path + "/replies";
    if (ram.bytes == nullptr || mkfifo(requestsPath.c_str(), 0600) != 0 || mkfifo(repliesPath.c_str(), 0600) != 0) {
        outcome.problem = "cannot make the emulated board's shared RAM and pipes";
        return outcome;
    }
    // Both ends held open here, so neither side's open waits for the other.
    const int requests = open(requestsPath.c_str(), O_RDWR);
    const int replies = open(repliesPath.c_str(), O_RDWR);
    std::ofstream trace;
    if (!settings.tracePath.empty()) {
        trace.open(settings.tracePath, std::ios::trunc);
        if (!trace) {
            outcome.problem = "cannot write the trace " + settings.tracePath + ": " + std::strerror(errno);
            return outcome;
        }
    }
    GpuExecutor gpu(ram.bytes, settings.timeMode == TimeMode::Emulated);
    const BlitExecutor blitter(ram.bytes);
    simulator::ScriptPlayer script(settings.script);
    // A board reset by its watchdog starts again without the script, as
    // mapboard's does.
    bool scriptPlaying = true;
    // The script's effects not yet handed to the board; the fingers stay.
    FrameInputs pending;
    Emulator emulator(settings, directory.path);

    // Null unless `bytes` at `address` lie in the shared RAM.
    auto shared = [&](std::uint32_t address, std::uint64_t bytes) -> std::uint8_t* {
        if (address < sharedRamBase || address - sharedRamBase > sharedRamSize - bytes) {
            return nullptr;
        }
        return ram.bytes + (address - sharedRamBase);
    };
    const std::uint64_t frameBytes = std::uint64_t{panelWidth} * panelHeight * 2;
    auto savePicture = [&](std::uint32_t address, const std::string& path) {
        const std::uint8_t* pixels = shared(address, frameBytes);
        if (pixels == nullptr) {
            return std::string("the display shows no frame in the shared RAM");
        }
        return sim::writeRgb565Png(path, reinterpret_cast<const std::uint16_t*>(pixels), panelWidth, panelHeight,
                                   panelWidth * 2);
    };
    // Before the script's steps of that frame, as mapboard writes it.
    auto writeTrace = [&](const RequestRecord& request, std::uint64_t frame) {
        const std::uint8_t* record = shared(request.words[3], sizeof(FrameRecord));
        const std::uint8_t* pixels = shared(request.words[1], frameBytes);
        if (record == nullptr || pixels == nullptr) {
            return std::string("the emulated board's frame record is not in the shared RAM");
        }
        FrameRecord copy;
        std::memcpy(&copy, record, sizeof copy);
        copy.state.screen[sizeof copy.state.screen - 1] = '\0';
        copy.state.pizzaState[sizeof copy.state.pizzaState - 1] = '\0';
        const simulator::TraceFrame traced{frame, request.words[0], request.words[2],
                                           simulator::frameHash(reinterpret_cast<const std::uint16_t*>(pixels),
                                                                std::size_t{panelWidth} * panelHeight)};
        trace << simulator::traceLine(traced, copy.state, figuresOf(copy)).dump() << '\n';
        return trace ? std::string() : "cannot write the trace " + settings.tracePath + ": " + std::strerror(errno);
    };
    auto readCost = [&](const RequestRecord& request, std::uint64_t frame) {
        const std::uint8_t* record = shared(request.words[3], sizeof(FrameRecord));
        const std::uint8_t* cost = shared(request.words[4], sizeof(FrameCost));
        if (record == nullptr || cost == nullptr) {
            return std::string("the emulated board's frame cost is not in the shared RAM");
        }
        FrameCostEntry entry;
        entry.frame = frame;
        entry.boardMs = request.words[0];
        std::memcpy(&entry.cost, cost, sizeof entry.cost);
        FrameRecord copy;
        std::memcpy(&copy, record, sizeof copy);
        entry.state = copy.state;
        entry.state.screen[sizeof entry.state.screen - 1] = '\0';
        entry.state.pizzaState[sizeof entry.state.pizzaState - 1] = '\0';
        outcome.costs.push_back(entry);
        return std::string();
    };

    int silentMs = 0;
    bool done = false;
    while (!done && outcome.problem.empty()) {
        pollfd ready{requests, POLLIN, 0};
        if (poll(&ready, 1, pollMs) <= 0) {
            if (emulator.hasExited(false)) {
                break;
            }
            silentMs += pollMs;
            if (silentMs >= static_cast<int>(settings.silenceLimitSeconds) * 1000) {
                outcome.problem = "the emulated board said nothing for " +
                                  std::to_string(settings.silenceLimitSeconds) + " s after frame " +
                                  std::to_string(outcome.frames);
            }
            continue;
        }
        silentMs = 0;
        RequestRecord request{};
        if (!readFully(requests, &request, sizeof request)) {
            outcome.problem = "the emulated board's requests broke off";
            break;
        }
        ReplyRecord reply{};
        switch (request.kind) {
        case Request::Hello:
            if (request.words[0] != protocolVersion) {
                outcome.problem = "the emulated board's image speaks another protocol version";
            }
            reply.words[0] = static_cast<std::uint32_t>(settings.timeMode);
            // A firmware that stops producing frames must not keep the run
            // going: twice the frames' board time is plenty.
            reply.words[1] = static_cast<std::uint32_t>((settings.frames - outcome.frames) * 2 * 17 + 1000);
            reply.words[2] = trace.is_open() ? 1 : 0;
            if (std::uint8_t* table = shared(request.words[1], sizeof settings.faults)) {
                std::memcpy(table, settings.faults, sizeof settings.faults);
            } else {
                outcome.problem = "the emulated board's fault table is not in the shared RAM";
            }
            reply.words[3] = settings.reportCosts ? 1 : 0;
            break;
        case Request::FrameDone: {
            const std::uint64_t frame = ++outcome.frames;
            outcome.drawMicrosecondsTotal += request.words[2];
            outcome.drawMicrosecondsMost = std::max(outcome.drawMicrosecondsMost, request.words[2]);
            if (trace.is_open()) {
                outcome.problem = writeTrace(request, frame);
            }
            if (settings.reportCosts && outcome.problem.empty()) {
                outcome.problem = readCost(request, frame);
            }
            if (outcome.problem.empty() && settings.screenshotEvery != 0 && frame % settings.screenshotEvery == 0) {
                outcome.problem = savePicture(request.words[1], frameFileBeside(settings.out, "frame", frame));
            }
            if (scriptPlaying) {
                playScript(script, request.words[0], frame, settings.out, pending);
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
                // A run reporting costs ends with the board's figures.
                done = !settings.reportCosts;
            }
            break;
        }
        case Request::Fingers:
            if (scriptPlaying) {
                playScript(script, request.words[0], outcome.frames + 1, settings.out, pending);
            }
            // The board has these fingers now.
            pending.bits &= ~touchChanged;
            reply.words[0] = pending.fingerCount;
            reply.words[1] = pending.fingers[0];
            reply.words[2] = pending.fingers[1];
            break;
        case Request::BlitRun:
            reply = blitter.run(request);
            break;
        case Request::GpuRun:
            outcome.problem = gpu.run(request.words[0], request.words[1], request.words[2] != 0);
            reply.words[0] = gpu.takeCoveredPixels();
            break;
        case Request::WatchdogExpired:
            std::fprintf(stderr, "emulated board: watchdog reset at %u ms; the board restarts\n", request.words[0]);
            scriptPlaying = false;
            break;
        case Request::RunFigures:
            if (const std::uint8_t* figures = shared(request.words[0], sizeof(RunFigures))) {
                std::memcpy(&outcome.figures, figures, sizeof outcome.figures);
                outcome.figuresRead = true;
            }
            done = true;
            break;
        case Request::Stalled:
            outcome.problem = "the firmware stopped producing frames after frame " + std::to_string(outcome.frames) +
                              ": none by board time " + std::to_string(request.words[0]) + " ms";
            break;
        default:
            outcome.problem = "an unknown request from the emulated board";
            break;
        }
        if (write(replies, &reply, sizeof reply) != static_cast<ssize_t>(sizeof reply)) {
            outcome.problem = "cannot answer the emulated board";
        }
    }
    if (outcome.problem.empty()) {
        emulator.hasExited(true);
        if (!done) {
            outcome.problem = "the emulated board stopped (exit status " + std::to_string(emulator.status) +
                              ") after frame " + std::to_string(outcome.frames);
        } else if (emulator.status != 0) {
            outcome.problem = "the emulated board ended with exit status " + std::to_string(emulator.status);
        }
    }
    close(requests);
    close(replies);
    if (trace.is_open()) {
        trace.close();
        if (trace.fail() && outcome.problem.empty()) {
            outcome.problem = "cannot write the trace " + settings.tracePath + ": " + std::strerror(errno);
        }
    }
    return outcome;
}

} // namespace emulated
