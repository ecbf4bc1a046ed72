#include "mapdemo/CacheFill.hpp"

#include "platform/rtos.h"
#include "sim/Kernel.hpp"
#include "tile_fetcher/TileFetcher.h"
#include "vecta/Buffer.hpp"
#include "vecta/GlobalMapCache.hpp"
#include "vecta/MapStyle.hpp"
#include "vecta/TileTranscoder.hpp"

namespace mapdemo {

namespace {

// Far more frames than eleven tiles need at any bitrate the demo uses.
constexpr std::uint32_t timeLimitMs = 600000;
constexpr std::uint32_t frameMs = 16;

struct FillRun {
    vecta::TileTranscoder* transcoder;
    int absent = 0;
    bool finished = false;
};

void storeResult(FillRun& run, const TileFetcher::Result& result)
{
    if (result.data == nullptr) {
        ++run.absent; // not in the collection: the slot stays empty
        return;
    }
    const vecta::TileFill fill = [&run, result](char* buffer, unsigned int capacity) {
        vecta::BufferWriter writer;
        if (buffer != nullptr && capacity > 4) {
            // Cache slots are word-aligned.
            writer = vecta::BufferWriter(reinterpret_cast<std::uint32_t*>(buffer), capacity);
            writer.realign();
        }
        return run.transcoder->decode(result.data, result.size, static_cast<unsigned char>(result.zoom), writer);
    };
    mapCache.storeTile(result.x, result.y, result.zoom, fill);
}

// The map screen's per-frame fetch steps: collect a finished fetch, then
// hand out the next request once the fetcher is idle.
void fillTask(void* argument)
{
    auto& run = *static_cast<FillRun*>(argument);
    for (;;) {
        const TileFetcher::Result result = TileFetcher::GetResult();
        if (result.valid) {
            storeResult(run, result);
        }
        if (TileFetcher::IsIdle()) {
            if (mapCache.fetcher.queue.empty()) {
                break;
            }
            mapCache.fetcher.fetchNext();
        }
        rtos::delay(frameMs);
    }
    run.finished = true;
    sim::stopKernel();
}

template <typename Layer> int storedIn(const Layer& layer)
{
    int stored = 0;
    for (const vecta::CacheTile& slot : layer.slots) {
        stored += slot.pending ? 0 : 1;
    }
    return stored;
}

} // namespace

CacheFillReport fillMapCache(const MapPosition& position)
{
    static vecta::TileTranscoder transcoder(vecta::getMapStyle());
    FillRun run{&transcoder};
    mapCache.fetcher.fetch = [](int x, int y, int zoom) { TileFetcher::Submit(x, y, zoom); };
    mapCache.setOrigo(position.tileX, position.tileY, position.zoom);

    TileFetcher::SetBitrate(TileFetcher::Bitrate::Instant);
    rtos::createTask(TileFetcher_Task, nullptr, TileFetcher_Task_attributes);
    rtos::createTask(fillTask, &run, rtos::TaskAttributes{"GUI_Task", 4096, rtos::Priority::Normal});
    sim::runKernel(sim::TimeMode::Virtual, timeLimitMs);

    const int stored = storedIn(mapCache.lower) + storedIn(mapCache.current) + storedIn(mapCache.upper);
    return CacheFillReport{run.finished, stored, run.absent};
}

} // namespace mapdemo
