#pragma once

#include <algorithm>
#include <cstdint>
#include <functional>

#include "vecta/static_priority_queue"

namespace vecta {

// A tile address, or the difference of two (zoom counted like a coordinate).
struct TileVector {
    std::int32_t x;
    std::int32_t y;
    std::int32_t zoom;
};

// Edge lengths, in tiles, of the cache windows one zoom level below, at and
// one level above the viewer's level.
struct WindowEdges {
    int below;
    int current;
    int above;
};

// Cost of fetching `tile` for a viewer at `position` that got there by
// `motion` (previous minus current position): 0 for the viewer's own tile
// and before any move, else about 1.4141 straight ahead, 1.5707 sideways and
// 1.8758 behind.
float tilePriority(const TileVector& position, const TileVector& motion, const TileVector& tile);

// One step of the bit-trick reciprocal square root: cheap enough to run for
// every tile an origin change asks for.
float approximateReciprocalSqrt(float value);

// True when `tile` lies in none of the windows around `centre`.
bool isOutsideWindows(const TileVector& tile, const TileVector& centre, const WindowEdges& edges);

// Orders the tiles the cache misses: cheapest first, favouring the tile
// under the viewer and the tiles ahead of the motion. Fixed storage for
// `Capacity` requests.
template <unsigned int Capacity> class PriorityFetcherN {
public:
    struct Entry {
        float priority;
        std::int32_t x;
        std::int32_t y;
        std::int32_t zoom;

        friend bool operator<(const Entry& a, const Entry& b) { return a.priority < b.priority; }
    };

    explicit PriorityFetcherN(const TileVector& start = {0, 0, 0}) : position(start) {}

    void moveTo(int x, int y, int zoom)
    {
        motion = TileVector{position.x - x, position.y - y, position.zoom - zoom};
        position = TileVector{x, y, zoom};
    }

    // A tile asked for again while its request is still queued keeps that
    // one entry: zooming back and forth before tiles arrive would otherwise
    // pile up copies until the queue overflows.
    void request(int x, int y, int zoom)
    {
        const auto sameTile = [&](const Entry& e) { return e.x == x && e.y == y && e.zoom == zoom; };
        if (std::any_of(queue.begin(), queue.end(), sameTile)) {
            return;
        }
        queue.push(Entry{tilePriority(position, motion, TileVector{x, y, zoom}), x, y, zoom});
    }

    // Drops every queued request outside the windows around (x, y, zoom).
    void prune(int x, int y, int zoom, const WindowEdges& edges)
    {
        const struct {
            TileVector centre;
            WindowEdges edges;
        } window{TileVector{x, y, zoom}, edges};
        queue.remove_if([&window](const Entry& e) {
            return isOutsideWindows(TileVector{e.x, e.y, e.zoom}, window.centre, window.edges);
        });
    }

    // Hands the cheapest request to `fetch`; without one it is dropped.
    void fetchNext()
    {
        if (queue.empty()) {
            return;
        }
        const Entry next = queue.top();
        queue.pop();
        if (fetch) {
            fetch(next.x, next.y, next.zoom);
        }
    }

    TileVector position;
    TileVector motion{0, 0, 0};
    StaticPriorityQueue<Entry, Capacity, std::less<Entry>> queue;
    std::function<void(int, int, int)> fetch;
};

} // namespace vecta
