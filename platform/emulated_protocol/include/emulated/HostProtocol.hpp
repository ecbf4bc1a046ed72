#pragma once

#include <cstddef>
#include <cstdint>

// What the emulated board and its host runner say to each other. The image
// writes a request to the host file "requests" and reads the reply from
// "replies" (semihosting, files in the runner's directory); the host sees
// the board's 16 MiB RAM block at 0x80000000 as a shared file, so requests
// carry addresses there instead of data.
namespace emulated {

constexpr std::uint32_t protocolVersion = 6;
constexpr std::uint32_t sharedRamBase = 0x80000000u;
constexpr std::uint32_t sharedRamSize = 16u << 20;

enum class Request : std::uint32_t {
    // The board is up: words {version, address of its FaultWindow table}.
    // The runner fills the table in, then replies: {time mode, board time
    // limit ms, 1 when the runner keeps a trace, 1 when it reports costs}.
    Hello = 1,
    // A frame ended: words {board time ms, shown frame address, drawing µs,
    // address of its FrameRecord while the runner keeps a trace or reports
    // costs, else 0, address of its FrameCost while it reports costs}.
    // Reply: {0 go on or 1 stop, input bits, then with touchChanged the
    // finger count and both fingers as x | y << 16}. The script's steps due
    // by then are played at that point, as the simulator plays them.
    FrameDone = 2,
    // Execute GPU records: words {address, bytes, submit}. Reply when done:
    // {the pixels the draws covered (counted only in emulated time)}.
    GpuRun = 3,
    // The watchdog expired: words {board time ms}. The board resets after.
    WatchdogExpired = 4,
    // Board time passed the host's limit without a frame: words {board time ms}.
    Stalled = 5,
    // The runner stopped a run whose costs it reports: words {address of
    // the RunFigures}. The board stops after the reply.
    RunFigures = 6,
    // Emulated time: the touch chip's report is due, words {board time ms}.
    // The runner plays its script's steps due by then and replies with the
    // fingers there are now: {finger count, both fingers as x | y << 16}.
    // Those steps' other effects go with the next FrameDone reply.
    Fingers = 7,
    // Do a blitter transfer, all of whose memory lies in the shared block:
    // words {address of the blitter's registers (devices::blit::Registers),
    // source, background, destination, width, height, 1 to blend}. Reply
    // when done: {1 done or 0 refused, the bytes it moved}.
    BlitRun = 8,
};

struct RequestRecord {
    Request kind;
    std::uint32_t words[7];
};

struct ReplyRecord {
    std::uint32_t words[6];
};

enum class TimeMode : std::uint32_t {
    // Board time moves on only while every task waits, one millisecond at a
    // time, as in the simulator's headless runs: frames equal the PC's.
    Board = 0,
    // The kernel's tick counts emulated time (one instruction a
    // nanosecond): frames cost what their instructions cost.
    Emulated = 1,
};

constexpr std::uint32_t stopRun = 1;

// Injected faults (--fault), by number: the device models' (devices::Fault)
// where the fault lies in the firmware's view of a device the emulated
// board models, then the emulated board's own, which the port provokes.
enum class PortFault : std::uint32_t {
    HardFault = 12,     // the GUI task runs an undefined instruction at a frame's end
    StackOverflow = 13, // the GUI task pushes onto its stack until the stack limit stops it
    VsyncLost = 14,     // the display's line events stop: no frame follows
};
constexpr std::size_t faultSlots = 16;

// Active from board time fromMs until before untilMs while `on`.
struct FaultWindow {
    std::uint32_t on;
    std::uint32_t value;
    std::uint32_t fromMs;
    std::uint32_t untilMs;
};

// The FrameDone reply's input bits.
constexpr std::uint32_t touchChanged = 1u << 0;
constexpr std::uint32_t menuKey = 1u << 1;
// The script's watchdog-refresh: the firmware's watchdogRefreshEnabled.
constexpr std::uint32_t watchdogRefreshOn = 1u << 2;
constexpr std::uint32_t watchdogRefreshOff = 1u << 3;

constexpr std::uint32_t packFinger(std::uint16_t x, std::uint16_t y)
{
    return x | std::uint32_t{y} << 16;
}

} // namespace emulated
