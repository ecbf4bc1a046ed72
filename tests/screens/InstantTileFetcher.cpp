#include "screens/InstantTileFetcher.hpp"

#include "platform/flash.h"
#include "tile_fetcher/tilelib.h"

// The board's fetcher API without its task: a submitted tile is looked up in
// the collection at once and its result waits for the next GetResult(), as
// if the task had run at the Instant bitrate between two frames.
namespace {

TileFetcher::Result pending{};
TileFetcher::Bitrate bitrate = TileFetcher::Bitrate::Instant;

} // namespace

namespace TileFetcher {

void Submit(int x, int y, int zoom)
{
    pending = Result{x, y, zoom, nullptr, 0, true};
    if (zoom < 0 || zoom > 0xFF) {
        return;
    }
    const TileEntry* entry =
        tilelib_getTile(static_cast<std::uint32_t>(x), static_cast<std::uint32_t>(y), static_cast<std::uint8_t>(zoom));
    if (entry->size != 0) {
        pending.data = static_cast<const char*>(flash_pointer(entry->data, entry->size));
        pending.size = pending.data != nullptr ? entry->size : 0;
    }
}

Result GetResult()
{
    const Result result = pending;
    pending.valid = false;
    return result;
}

bool IsIdle()
{
    return !pending.valid;
}

void SetBitrate(Bitrate value)
{
    bitrate = value;
}

Bitrate GetCurrentBitrate()
{
    return bitrate;
}

int GetCurrentBitrateKbPerS()
{
    switch (bitrate) {
    case Bitrate::Kbps262:
        return 262;
    case Bitrate::Kbps44:
        return 44;
    default:
        return 0;
    }
}

} // namespace TileFetcher

namespace instantfetcher {

void deliver(const TileFetcher::Result& result)
{
    pending = result;
}

} // namespace instantfetcher
