#include "tile_fetcher/TileFetcher.h"

#include <atomic>

#include "platform/Assert.hpp"
#include "platform/flash.h"
#include "tile_fetcher/tilelib.h"

const rtos::TaskAttributes TileFetcher_Task_attributes{"TileFetcher_Task", 256, rtos::Priority::Low};

namespace {

// x, y and zoom are written before submit_sem is given and read after it is
// taken; data and size likewise around result_sem.
TileFetcher::Record result{};

rtos::StaticSemaphore submitSemStorage;
rtos::StaticSemaphore runningSemStorage;
rtos::StaticSemaphore resultSemStorage;
rtos::SemaphoreHandle submit_sem = nullptr;
rtos::SemaphoreHandle running_sem = nullptr;
rtos::SemaphoreHandle result_sem = nullptr;

// One word written by the GUI task and read by the fetcher.
std::atomic<TileFetcher::Bitrate> current_bitrate{TileFetcher::Bitrate::Instant};

std::uint32_t rateOf(TileFetcher::Bitrate bitrate)
{
    switch (bitrate) {
    case TileFetcher::Bitrate::Kbps262:
        return 262;
    case TileFetcher::Bitrate::Kbps44:
        return 44;
    default:
        return 0;
    }
}

bool started()
{
    return result_sem != nullptr;
}

void lookUp(TileFetcher::Record& record)
{
    record.data = nullptr;
    record.size = 0;
    // A zoom beyond one byte must not wrap onto a stored level.
    if (record.zoom < 0 || record.zoom > 0xFF) {
        return;
    }
    const TileEntry* entry = tilelib_getTile(static_cast<std::uint32_t>(record.x), static_cast<std::uint32_t>(record.y),
                                             static_cast<std::uint8_t>(record.zoom));
    if (entry->size == 0) {
        return;
    }
    const void* bytes = flash_pointer(entry->data, entry->size);
    if (bytes != nullptr) {
        record.data = static_cast<const char*>(bytes);
        record.size = entry->size;
    }
}

// One rate unit is 1,000 bytes per second, so size / rate is milliseconds.
void throttle(std::uint32_t size)
{
    const std::uint32_t rate = rateOf(current_bitrate.load(std::memory_order_relaxed));
    if (rate == 0) {
        return;
    }
    const std::uint32_t milliseconds = size / rate;
    rtos::delay(milliseconds > 0xFFFFu ? 0xFFFFu : milliseconds);
}

} // namespace

namespace TileFetcher {

void Submit(int x, int y, int zoom)
{
    VECTA_ASSERT(started() && "the fetcher task has not run yet");
    // The record holds one request; a second would overwrite it under the task.
    VECTA_ASSERT(IsIdle() && "a request is still outstanding");
    result.x = x;
    result.y = y;
    result.zoom = zoom;
    rtos::give(running_sem);
    rtos::give(submit_sem);
}

Result GetResult()
{
    if (!started() || !rtos::take(result_sem, rtos::noWait)) {
        return Result{};
    }
    rtos::take(running_sem, rtos::noWait);
    return Result{result.x, result.y, result.zoom, result.data, result.size, true};
}

// Until the fetcher task has created its semaphores it cannot take a request.
bool IsIdle()
{
    return started() && rtos::count(submit_sem) == 0 && rtos::count(running_sem) == 0 && rtos::count(result_sem) == 0;
}

void SetBitrate(Bitrate bitrate)
{
    current_bitrate.store(bitrate, std::memory_order_relaxed);
}

Bitrate GetCurrentBitrate()
{
    return current_bitrate.load(std::memory_order_relaxed);
}

int GetCurrentBitrateKbPerS()
{
    return static_cast<int>(rateOf(GetCurrentBitrate()));
}

} // namespace TileFetcher

extern "C" void TileFetcher_Task(void* argument)
{
    (void)argument;
    TileFetcher_Main();
}

void TileFetcher_Main()
{
    submit_sem = rtos::createBinarySemaphore(submitSemStorage);
    running_sem = rtos::createBinarySemaphore(runningSemStorage);
    result_sem = rtos::createBinarySemaphore(resultSemStorage);
    for (;;) {
        if (!rtos::take(submit_sem, rtos::waitForever)) {
            continue;
        }
        lookUp(result);
        throttle(result.size);
        rtos::give(result_sem);
    }
}
