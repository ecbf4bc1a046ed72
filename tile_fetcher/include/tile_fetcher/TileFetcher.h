#pragma once

#include <cstdint>

#include "platform/rtos.h"

// Reads one stored tile at a time for the GUI task on a low-priority task,
// optionally throttled to a bitrate so that a slow download can be watched.
// The GUI task polls GetResult() once per frame and submits the next request
// only when IsIdle().
namespace TileFetcher {

enum class Bitrate : std::int32_t { Instant = 0, Kbps262 = 1, Kbps44 = 2 };

// The request/result record shared by the two tasks.
struct Record {
    std::int32_t x;
    std::int32_t y;
    std::int32_t zoom;
    const char* data; // the stored vector tile in flash; null when absent
    std::uint32_t size;
};

struct Result {
    std::int32_t x;
    std::int32_t y;
    std::int32_t zoom;
    const char* data;
    std::uint32_t size;
    bool valid; // false: no result yet, the other fields mean nothing
};

void Submit(int x, int y, int zoom);
Result GetResult();
bool IsIdle();
void SetBitrate(Bitrate bitrate);
Bitrate GetCurrentBitrate();
int GetCurrentBitrateKbPerS();

} // namespace TileFetcher

extern const rtos::TaskAttributes TileFetcher_Task_attributes;

extern "C" void TileFetcher_Task(void* argument);
[[noreturn]] void TileFetcher_Main();
