#include "tilepack/CollectionBuilder.hpp"

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <exception>
#include <functional>
#include <memory>
#include <mutex>
#include <set>
#include <stdexcept>
#include <thread>
#include <tuple>

#include "tilepack/MvtWriter.hpp"
#include "tilepack/TileGeometry.hpp"
#include "vecta/StringHash.hpp"

namespace tilepack {

namespace {

thread_local char currentTile[96] = "";

// A source feature as far as it lies within one tile (with the buffer).
// Pieces that lie wholly inside share their parent's geometry.
struct Piece {
    const SourceFeature* source = nullptr;
    std::shared_ptr<const WorldGeometry> geometry;
    Envelope envelope;
};
using Pieces = std::vector<Piece>;

Pieces cut(const Pieces& parent, const TileAddress& tile)
{
    const Envelope bounds = clipBounds(tile);
    Pieces pieces;
    for (const Piece& piece : parent) {
        switch (overlapOf(piece.envelope, bounds)) {
        case Overlap::None:
            break;
        case Overlap::Whole:
            pieces.push_back(piece);
            break;
        case Overlap::Part:
            WorldGeometry clipped = clipTo(*piece.geometry, bounds);
            if (!clipped.empty()) {
                const Envelope envelope = envelopeOf(clipped);
                pieces.push_back(
                    Piece{piece.source, std::make_shared<const WorldGeometry>(std::move(clipped)), envelope});
            }
            break;
        }
    }
    return pieces;
}

struct EncodedTile {
    std::string bytes;
    std::map<std::string, unsigned int> featureCounts;
    unsigned int holesLeftOut = 0;
    unsigned int polygonsSplit = 0;
    std::set<std::string> droppedKeys;
};

EncodedTile encodeTile(const Pieces& pieces, const TileAddress& tile)
{
    MvtWriter writer;
    EncodedTile result;
    for (const Piece& piece : pieces) {
        if (piece.source->minZoom > tile.zoom || piece.source->maxZoom < tile.zoom) {
            continue;
        }
        TileShape shape = toTileShape(*piece.geometry, tile);
        result.holesLeftOut += shape.holesLeftOut;
        result.polygonsSplit += shape.polygonsSplit;
        if (!shape.empty()) {
            writer.add(piece.source->layer, TileFeature{piece.source->id, &piece.source->properties, std::move(shape)});
        }
    }
    result.featureCounts = writer.featureCounts();
    result.bytes = writer.encode();
    result.droppedKeys = writer.droppedKeys();
    return result;
}

std::string describe(const TileAddress& tile)
{
    return std::to_string(tile.x) + "/" + std::to_string(tile.y) + "/" + std::to_string(tile.zoom);
}

// The reader must find exactly the layers and features that were written.
void compareCounts(const std::map<std::string, unsigned int>& written, const TileCheck& read, const TileAddress& tile)
{
    bool same = written.size() == read.featuresPerLayer.size();
    for (const auto& [name, count] : written) {
        const auto found = read.featuresPerLayer.find(vecta::stringHash(name.c_str()));
        same = same && found != read.featuresPerLayer.end() && found->second == count;
    }
    if (!same) {
        throw std::logic_error("tile " + describe(tile) + " reads back with other layers or features than written");
    }
}

TileCheck checked(TileValidator& validator, const std::string& bytes, const TileAddress& tile)
{
    try {
        return validator.check(bytes, tile.zoom);
    } catch (const std::runtime_error& problem) {
        throw std::runtime_error("tile " + describe(tile) + ": " + problem.what());
    }
}

struct Task {
    const Pieces* parent;
    std::vector<TileAddress> children;
};

class LevelBuilder {
public:
    LevelBuilder(const CollectionLayout& collection, std::size_t level, BuiltCollection& result,
                 std::vector<Pieces>& next, std::mutex& lock)
        : layout(collection), range(collection.ranges[level]), tiles(result.tiles[level]), records(result.records),
          nextPieces(next), resultLock(lock)
    {
    }

    void run(const Task& task, TileValidator& validator)
    {
        for (const TileAddress& child : task.children) {
            Pieces pieces = cut(*task.parent, child);
            if (layout.stores(child)) {
                build(pieces, child, validator);
            }
            if (range.zoom < lastZoom) {
                nextPieces[range.indexOf(child.x, child.y)] = std::move(pieces);
            }
        }
    }

private:
    void build(const Pieces& pieces, const TileAddress& tile, TileValidator& validator)
    {
        std::snprintf(currentTile, sizeof currentTile, "%u/%u/%u", tile.x, tile.y, unsigned{tile.zoom});
        EncodedTile encoded = encodeTile(pieces, tile);
        const TileCheck check = checked(validator, encoded.bytes, tile);
        compareCounts(encoded.featureCounts, check, tile);
        currentTile[0] = '\0';

        const std::lock_guard guard(resultLock);
        records.push_back(TileRecord{tile, static_cast<std::uint32_t>(encoded.bytes.size()), check,
                                     encoded.holesLeftOut, encoded.polygonsSplit, std::move(encoded.droppedKeys)});
        tiles[range.indexOf(tile.x, tile.y)] = std::move(encoded.bytes);
    }

    const CollectionLayout& layout;
    const ZoomRange& range;
    LevelTiles& tiles;
    std::vector<TileRecord>& records;
    std::vector<Pieces>& nextPieces;
    std::mutex& resultLock;
};

// The first level is cut from the whole data set.
Pieces wholeData(const SourceData& data)
{
    Pieces pieces;
    for (const SourceFeature& feature : data.features) {
        // The source outlives the build: its geometry is shared, never owned.
        pieces.push_back(Piece{&feature,
                               std::shared_ptr<const WorldGeometry>(std::shared_ptr<void>(), &feature.geometry),
                               feature.envelope});
    }
    return pieces;
}

std::vector<Task> tasksFor(const ZoomRanges& ranges, std::size_t level, const std::vector<Pieces>& parents,
                           const Pieces& root)
{
    const ZoomRange& range = ranges[level];
    if (level == 0) {
        std::vector<Task> tasks;
        for (std::uint32_t y = range.minY; y <= range.maxY; ++y) {
            for (std::uint32_t x = range.minX; x <= range.maxX; ++x) {
                tasks.push_back(Task{&root, {{x, y, range.zoom}}});
            }
        }
        return tasks;
    }
    const ZoomRange& above = ranges[level - 1];
    std::vector<Task> tasks;
    for (std::uint32_t py = above.minY; py <= above.maxY; ++py) {
        for (std::uint32_t px = above.minX; px <= above.maxX; ++px) {
            Task task{&parents[above.indexOf(px, py)], {}};
            for (std::uint32_t y = 2 * py; y <= 2 * py + 1; ++y) {
                for (std::uint32_t x = 2 * px; x <= 2 * px + 1; ++x) {
                    if (range.contains(x, y)) {
                        task.children.push_back({x, y, range.zoom});
                    }
                }
            }
            if (!task.children.empty()) {
                tasks.push_back(std::move(task));
            }
        }
    }
    // Every tile must come from a parent the level above holds.
    std::size_t covered = 0;
    for (const Task& task : tasks) {
        covered += task.children.size();
    }
    if (covered != range.count()) {
        throw std::logic_error("zoom " + std::to_string(range.zoom) + " reaches beyond the level above");
    }
    return tasks;
}

// Runs tasks 0 .. count-1 on one thread per validator; the first exception
// stops the others and is rethrown here.
void runInParallel(std::size_t count, const std::vector<std::unique_ptr<TileValidator>>& validators,
                   const std::function<void(std::size_t, TileValidator&)>& run)
{
    std::atomic<std::size_t> next{0};
    std::atomic<bool> failed{false};
    std::mutex failureLock;
    std::exception_ptr failure;
    auto work = [&](TileValidator& validator) {
        for (std::size_t i = next++; i < count && !failed; i = next++) {
            try {
                run(i, validator);
            } catch (...) {
                const std::lock_guard guard(failureLock);
                if (!failed.exchange(true)) {
                    failure = std::current_exception();
                }
            }
        }
    };
    {
        std::vector<std::jthread> workers;
        workers.reserve(validators.size());
        for (const auto& validator : validators) {
            workers.emplace_back(work, std::ref(*validator));
        }
    }
    if (failure) {
        std::rethrow_exception(failure);
    }
}

} // namespace

const char* tileInProgress()
{
    return currentTile;
}

BuiltCollection buildCollection(const SourceData& data, unsigned int threads, const ProgressReport& progress,
                                const CollectionLayout& layout)
{
    BuiltCollection result{emptyCollection(layout), {}, layout.absent.has_value()};
    const Pieces root = wholeData(data);
    std::vector<Pieces> parents;
    std::vector<std::unique_ptr<TileValidator>> validators;
    for (unsigned int i = 0; i < std::max(threads, 1u); ++i) {
        validators.push_back(std::make_unique<TileValidator>());
    }
    std::mutex lock;
    const auto total = static_cast<unsigned int>(layout.storedTileCount());
    for (std::size_t level = 0; level < layout.ranges.size(); ++level) {
        const ZoomRange& range = layout.ranges[level];
        std::vector<Pieces> next(range.zoom < lastZoom ? range.count() : 0);
        const std::vector<Task> tasks = tasksFor(layout.ranges, level, parents, root);
        LevelBuilder builder(layout, level, result, next, lock);
        const std::size_t recordsBefore = result.records.size();
        const unsigned int levelTotal = range.count() - (layout.absent && layout.absent->zoom == range.zoom ? 1 : 0);

        runInParallel(tasks.size(), validators, [&](std::size_t task, TileValidator& validator) {
            builder.run(tasks[task], validator);
            if (progress) {
                const std::lock_guard guard(lock);
                const auto done = static_cast<unsigned int>(result.records.size());
                progress(
                    Progress{range.zoom, done - static_cast<unsigned int>(recordsBefore), levelTotal, done, total});
            }
        });
        parents = std::move(next);
    }
    // Threads finish tiles in any order; the report should not.
    std::sort(result.records.begin(), result.records.end(), [](const TileRecord& a, const TileRecord& b) {
        return std::tie(a.address.zoom, a.address.y, a.address.x) < std::tie(b.address.zoom, b.address.y, b.address.x);
    });
    return result;
}

} // namespace tilepack
