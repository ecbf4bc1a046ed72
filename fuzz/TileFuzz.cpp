// Feeds arbitrary bytes to the tile reader and transcoder. Damaged bytes end
// the tile; what must never happen is an assertion, or a read or write
// outside the tile or the slot. The two must also read a tile alike, since
// the collection builder validates with the reader what the board draws
// with the transcoder.

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <vector>

#include "board_config/BoardConfig.hpp"
#include "vecta/StringHash.hpp"
#include "vecta/TileTranscoder.hpp"
#include "vecta/VectorTile.hpp"

namespace {

// What the reader made of a tile.
struct ReaderView {
    bool scanDamaged = false;             // between layers or in a layer's fields
    bool wholeRead = false;               // every feature, with its properties, without damage
    std::vector<std::uint32_t> styleKeys; // of the lines and polygons
};

// The key the transcoder gives a feature: the layer's name and its first
// "class" (one that is not a string matches no rule), else the default class.
std::uint32_t styleKeyOf(const vecta::Layer& layer, vecta::Feature& feature)
{
    for (vecta::Property property = feature.nextProperty(); !property.isEnd(); property = feature.nextProperty()) {
        if (property.keyHash == vecta::stringHash("class")) {
            return property.value.type == vecta::PropertyValueType::StringValue
                       ? layer.nameHash + property.value.string_value()
                       : 0;
        }
    }
    return layer.nameHash + vecta::stringHash("default");
}

ReaderView walkReader(const char* data, unsigned int size)
{
    alignas(8) static std::uint8_t storage[8192];
    vecta::MemoryArena arena{storage, sizeof storage, 0};
    vecta::VectorTile tile(data, size, &arena);
    ReaderView view;
    bool damaged = false;
    for (vecta::Layer layer = tile.nextLayer(); layer.isValid(); layer = tile.nextLayer()) {
        view.scanDamaged = view.scanDamaged || layer.damaged;
        std::uint32_t features = 0;
        for (vecta::Feature feature = layer.nextFeature(); feature.isValid(); feature = layer.nextFeature()) {
            ++features;
            if (feature.type == 2 || feature.type == 3) {
                view.styleKeys.push_back(styleKeyOf(layer, feature));
            }
            while (!feature.nextProperty().isEnd()) {}
            std::uint32_t value = 0;
            for (int i = 0; i < 4096 && feature.geometryCursor.bytes_left > 0; ++i) {
                if (!feature.nextValue(value)) {
                    break;
                }
            }
            damaged = damaged || feature.damaged;
        }
        // A feature without geometry ends the reader's walk, not the transcoder's.
        damaged = damaged || layer.damaged || features != layer.featureCount;
    }
    view.scanDamaged = view.scanDamaged || tile.damaged;
    view.wholeRead = !damaged && !view.scanDamaged;
    return view;
}

void transcodeAndRead(const char* data, unsigned int size, unsigned char zoom, const ReaderView& view)
{
    static vecta::TileTranscoder transcoder;
    static std::vector<std::uint32_t> slot(board::cacheSlotBytes / 4);
    vecta::BufferWriter writer(slot.data(), board::cacheSlotBytes);
    writer.realign();
    const std::uint32_t damagedBefore = transcoder.damagedTiles();
    const unsigned int bytes = transcoder.decode(data, size, zoom, writer);
    const bool damaged = transcoder.damagedTiles() != damagedBefore;
    // A damaged tile leaves nothing to draw.
    if (bytes > board::cacheSlotBytes || (damaged && bytes != 0)) {
        __builtin_trap();
    }
    // What the transcoder reads whole, the reader's scans read whole too.
    if (!damaged && view.scanDamaged) {
        __builtin_trap();
    }
    vecta::BufferReader reader(slot.data(), bytes);
    for (vecta::Segment segment = vecta::TileTranscoder::readNextSegment(reader); segment.header != nullptr;
         segment = vecta::TileTranscoder::readNextSegment(reader)) {
        const vecta::SegmentHeader& header = *segment.header;
        // Every written segment is whole: its points and commands are there.
        if (segment.payload.size != 9u * header.point_count + header.close_count) {
            __builtin_trap();
        }
        // It draws a feature the reader found, under the same key.
        if (view.wholeRead &&
            std::find(view.styleKeys.begin(), view.styleKeys.end(), header.style_id) == view.styleKeys.end()) {
            __builtin_trap();
        }
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const auto* bytes = reinterpret_cast<const char*>(data);
    const auto length = static_cast<unsigned int>(size);
    const ReaderView view = walkReader(bytes, length);
    for (const unsigned char zoom : {6, 12, 16}) {
        transcodeAndRead(bytes, length, zoom, view);
    }
    return 0;
}
