#include "selfcheck/SelfCheck.hpp"

#include <cstdio>
#include <cstring>

#include "model/Model.hpp"
#include "platform/flash.h"
#include "platform/rtos.h"
#include "tile_fetcher/TileFetcher.h"
#include "tile_fetcher/tilelib.h"
#include "vecta/Buffer.hpp"
#include "vecta/GlobalMapCache.hpp"
#include "vecta/TileTranscoder.hpp"
#include "vecta/widgets/MapPlacement.hpp"

namespace selfcheck {

namespace {

class Checksum {
public:
    void addBytes(const void* data, std::uint32_t size)
    {
        const auto* bytes = static_cast<const std::uint8_t*>(data);
        for (std::uint32_t i = 0; i < size; ++i) {
            value = (value ^ bytes[i]) * 16777619u;
        }
    }

    void addWord(std::uint32_t word)
    {
        const std::uint8_t bytes[4] = {static_cast<std::uint8_t>(word), static_cast<std::uint8_t>(word >> 8),
                                       static_cast<std::uint8_t>(word >> 16), static_cast<std::uint8_t>(word >> 24)};
        addBytes(bytes, sizeof bytes);
    }

    void addInt(std::int32_t number) { addWord(static_cast<std::uint32_t>(number)); }

    void addFloat(float number)
    {
        std::uint32_t bits = 0;
        std::memcpy(&bits, &number, sizeof bits);
        addWord(bits);
    }

    void addCoordinate(const vecta::Coordinate& coordinate)
    {
        addFloat(coordinate.latitude);
        addFloat(coordinate.longitude);
    }

    // An offset from the map centre in map units.
    template <typename Offset> void addOffset(const Offset& offset)
    {
        addInt(offset.x);
        addInt(offset.y);
    }

    void addPosition(const MapPosition& position)
    {
        addFloat(position.scale);
        addFloat(position.tileScale);
        addFloat(position.rotation);
        addCoordinate(position.coordinate);
        addWord(position.zoom);
        addInt(position.x);
        addInt(position.y);
        addInt(position.tileX);
        addInt(position.tileY);
        addInt(position.rotationCenterX);
        addInt(position.rotationCenterY);
    }

    // The segment buffer's defined content: headers and payloads, not the
    // alignment padding between segments, which is never written and so
    // still holds what the slot held before.
    void addSegments(const vecta::MapTile& tile)
    {
        vecta::BufferReader reader(reinterpret_cast<const std::uint32_t*>(tile.data), tile.size);
        for (vecta::Segment segment = vecta::TileTranscoder::readNextSegment(reader); segment.header != nullptr;
             segment = vecta::TileTranscoder::readNextSegment(reader)) {
            addBytes(segment.header, sizeof(vecta::SegmentHeader));
            addBytes(segment.payload.begin, segment.payload.size);
        }
    }

    std::uint32_t value = 2166136261u;
};

class WorkMeter {
public:
    explicit WorkMeter(WorkCounter workCounter) : counter(workCounter) {}

    template <typename Step> void measure(Step step)
    {
        const std::uint64_t before = counter();
        step();
        const std::uint64_t spent = counter() - before;
        total += spent;
        worst = spent > worst ? spent : worst;
    }

    WorkCounter counter;
    std::uint64_t total = 0;
    std::uint64_t worst = 0;
};

rtos::StaticQueue frameQueueStorage;
rtos::QueueHandle frameQueue = nullptr;

void vsyncTask(void*)
{
    for (;;) {
        rtos::delay(1);
        rtos::send(frameQueue, 0, rtos::noWait); // dropped when one is pending
    }
}

const TileBatch* batchOf(std::uint8_t level)
{
    const auto* table = static_cast<const std::uint32_t*>(flash_pointer(flashBaseAddress, tilelib::zoomLevels * 4u));
    return table != nullptr ? static_cast<const TileBatch*>(flash_pointer(table[level], sizeof(TileBatch))) : nullptr;
}

} // namespace

StoredTile readFromFlash(std::uint32_t x, std::uint32_t y, std::uint8_t zoom)
{
    const TileEntry* entry = tilelib_getTile(x, y, zoom);
    return StoredTile{static_cast<const char*>(flash_pointer(entry->data, entry->size)), entry->size};
}

void startFrames()
{
    frameQueue = rtos::createQueue(frameQueueStorage);
    rtos::createTask(vsyncTask, nullptr, rtos::TaskAttributes{"vsync", 512, rtos::Priority::Realtime});
}

void waitForFrame()
{
    std::uintptr_t signal = 0;
    rtos::receive(frameQueue, signal, rtos::noWait);
    rtos::receive(frameQueue, signal, rtos::waitForever);
}

StoredTile fetchThroughTask(std::uint32_t x, std::uint32_t y, std::uint8_t zoom)
{
    TileFetcher::Submit(static_cast<int>(x), static_cast<int>(y), zoom);
    for (;;) {
        waitForFrame();
        const TileFetcher::Result result = TileFetcher::GetResult();
        if (result.valid) {
            return StoredTile{result.data, result.size};
        }
    }
}

Outcome transcodeCollection(WorkCounter counter, TileSource source)
{
    static vecta::TileTranscoder transcoder;
    Checksum checksum;
    WorkMeter meter(counter);
    std::uint32_t tiles = 0;
    for (std::uint8_t level = 0; level < tilelib::zoomLevels; ++level) {
        const TileBatch* batch = batchOf(level);
        if (batch == nullptr) {
            continue;
        }
        const auto zoom = static_cast<std::uint8_t>(tilelib::minZoom + level);
        for (std::uint32_t y = batch->minY; y <= batch->maxY; ++y) {
            for (std::uint32_t x = batch->minX; x <= batch->maxX; ++x) {
                const StoredTile stored = source(x, y, zoom);
                if (stored.data == nullptr) {
                    continue;
                }
                const auto tileX = static_cast<int>(x);
                const auto tileY = static_cast<int>(y);
                mapCache.setOrigo(tileX, tileY, zoom);
                const vecta::TileFill fill = [stored, zoom](char* slot, unsigned int capacity) {
                    vecta::BufferWriter writer(reinterpret_cast<std::uint32_t*>(slot), capacity);
                    writer.realign();
                    return transcoder.decode(stored.data, stored.size, zoom, writer);
                };
                bool kept = false;
                meter.measure([&] { kept = mapCache.storeTile(tileX, tileY, zoom, fill); });
                const vecta::MapTile tile = mapCache.getTile(x, y, zoom);
                checksum.addWord(kept ? 1 : 0);
                checksum.addWord(tile.x);
                checksum.addWord(tile.y);
                checksum.addWord(tile.zoom);
                checksum.addWord(tile.size);
                checksum.addSegments(tile);
                ++tiles;
            }
        }
    }
    return Outcome{tiles, checksum.value, meter.total, meter.worst};
}

Outcome runPizzaDelivery(std::uint32_t frames, WorkCounter counter)
{
    static Model model;
    Checksum checksum;
    WorkMeter meter(counter);
    model.setActiveScreen(ActiveScreen::Pizza);
    PizzaModel& pizza = model.getPizzaModel();
    pizza.setPizzaState(PizzaState::OnItsWay);
    for (std::uint32_t frame = 0; frame < frames; ++frame) {
        meter.measure([] { model.tick(); });
        checksum.addPosition(model.getMapPosition());
        checksum.addWord(static_cast<std::uint32_t>(pizza.getPizzaState()));
        checksum.addWord(pizza.getCurrentStep());
        for (const auto& offset : CachedDirections) {
            checksum.addOffset(offset);
        }
    }
    return Outcome{frames, checksum.value, meter.total, meter.worst};
}

Outcome runDogWalk(std::uint32_t frames, WorkCounter counter)
{
    static Model model;
    Checksum checksum;
    WorkMeter meter(counter);
    model.setActiveScreen(ActiveScreen::DogTrack);
    DogTrackModel& dogs = model.getDogTrackModel();
    for (std::uint32_t frame = 0; frame < frames; ++frame) {
        meter.measure([&dogs] {
            model.tick();
            dogs.updateTrailCache();
        });
        for (std::size_t dog = 0; dog < dogCount; ++dog) {
            checksum.addCoordinate(dogs.getDogPositions()[dog]);
            checksum.addFloat(dogs.getDogStates()[dog].heading);
            checksum.addFloat(dogs.getDogStates()[dog].speed);
        }
    }
    for (const auto& trail : dogs.getTrails()) {
        checksum.addWord(trail.count);
        for (std::uint32_t i = 0; i < trail.count; ++i) {
            checksum.addCoordinate(trail.points[i]);
            checksum.addOffset(trail.offsets[i]);
        }
    }
    return Outcome{frames, checksum.value, meter.total, meter.worst};
}

Outcome turnMap(WorkCounter counter)
{
    Checksum checksum;
    WorkMeter meter(counter);
    vecta::MapPlacement placement;
    placement.scaleX = placement.scaleY = 0.4f;
    placement.rotationCenterX = 400.0f;
    placement.rotationCenterY = 240.0f;
    placement.translationX = -1238.5f;
    placement.translationY = -1398.25f;
    std::uint32_t turns = 0;
    for (std::int32_t tenths = -3600; tenths <= 3600; ++tenths, ++turns) {
        placement.rotation = static_cast<float>(tenths) / 10.0f;
        ui::Matrix3x3 matrix;
        meter.measure([&] { matrix = placement.placementMatrix(0.5f, -0.25f); });
        for (const auto& row : matrix.elements) {
            for (const float element : row) {
                checksum.addFloat(element);
            }
        }
    }
    return Outcome{turns, checksum.value, meter.total, meter.worst};
}

void formatChecksumLine(char* text, std::size_t size, const char* step, const Outcome& outcome)
{
    std::snprintf(text, size, "%s %lu checksum %08lx\n", step, static_cast<unsigned long>(outcome.items),
                  static_cast<unsigned long>(outcome.checksum));
}

} // namespace selfcheck
