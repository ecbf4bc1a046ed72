#include "EmulatedRun.hpp"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <span>
#include <vector>

#include "BoardRequests.hpp"
#include "board_config/BoardConfig.hpp"
#include "sim/PngWriter.hpp"

namespace emulated {

namespace {

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

// The trace file, when one is asked for; false when it cannot be written.
bool openTrace(const RunSettings& settings, std::ofstream& trace, RunOutcome& outcome)
{
    if (settings.tracePath.empty()) {
        return true;
    }
    trace.open(settings.tracePath, std::ios::trunc);
    if (!trace) {
        outcome.problem = "cannot write the trace " + settings.tracePath + ": " + std::strerror(errno);
        return false;
    }
    return true;
}

// Answers the board's requests until its frames are done, the emulator
// ends, the board falls silent for too long or the pipes fail.
void serveBoard(BoardRequests& board, Emulator& emulator, int requests, int replies, const RunSettings& settings,
                RunOutcome& outcome)
{
    int silentMs = 0;
    while (!board.done() && outcome.problem.empty()) {
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
        const ReplyRecord reply = board.answer(request);
        if (write(replies, &reply, sizeof reply) != static_cast<ssize_t>(sizeof reply)) {
            outcome.problem = "cannot answer the emulated board";
        }
    }
}

// Once the board is served: a board that stopped early or ended badly is
// the run's problem.
void checkEmulatorEnd(Emulator& emulator, const BoardRequests& board, RunOutcome& outcome)
{
    emulator.hasExited(true);
    if (!board.done()) {
        outcome.problem = "the emulated board stopped (exit status " + std::to_string(emulator.status) +
                          ") after frame " + std::to_string(outcome.frames);
    } else if (emulator.status != 0) {
        outcome.problem = "the emulated board ended with exit status " + std::to_string(emulator.status);
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
    if (!openTrace(settings, trace, outcome)) {
        return outcome;
    }
    const auto picture = [](const std::uint16_t* pixels, const std::string& path) {
        return sim::writeRgb565Png(path, pixels, ::board::panelWidth, ::board::panelHeight, ::board::panelWidth * 2);
    };
    BoardRequests board(settings, SharedBlock(std::span<std::uint8_t>(ram.bytes, sharedRamSize)),
                        RunOutputs{trace.is_open() ? &trace : nullptr, picture, &std::cerr}, outcome);
    Emulator emulator(settings, directory.path);
    serveBoard(board, emulator, requests, replies, settings, outcome);
    if (outcome.problem.empty()) {
        checkEmulatorEnd(emulator, board, outcome);
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
