#include "vecta/TileTranscoder.hpp"

#include "FeatureFields.hpp"
#include "GeometryDecoder.hpp"
#include "TileProcessor.hpp"
#include "TileStream.hpp"
#include "vecta/StringHash.hpp"
#include "vecta/VectorTile.hpp"

namespace vecta {

namespace {

constexpr std::uint32_t classKeyHash = stringHash("class");
constexpr std::uint32_t defaultClassHash = stringHash("default");

enum FeatureType : std::uint32_t { LineFeature = 2, PolygonFeature = 3 };

// The first "class" property decides; pairs with an index outside the
// layer's tables are passed over, an unfinished last pair ends the tags.
std::uint32_t styleKey(Layer& layer, const FeatureFields& feature)
{
    const pb_byte_t* bytes = feature.tags;
    std::size_t left = feature.tagsSize;
    while (left > 0) {
        const Varint key = varintAt(bytes, left);
        if (key.length == 0) {
            break;
        }
        const Varint value = varintAt(bytes + key.length, left - key.length);
        if (value.length == 0) {
            break;
        }
        bytes += key.length + value.length;
        left -= key.length + value.length;
        if (layer.keys == nullptr && layer.values == nullptr) {
            layer.initializeTable();
        }
        if (key.value < layer.keys_size && value.value < layer.values_size && layer.keys[key.value] == classKeyHash) {
            return layer.nameHash + layer.values[value.value].string_value();
        }
    }
    return layer.nameHash + defaultClassHash;
}

} // namespace

TileTranscoder::TileTranscoder(const MapStyle& mapStyle)
    : style(&mapStyle), arenaStorage{}, arena{arenaStorage, arenaSize, 0}
{
}

unsigned int TileTranscoder::decode(const char* data, unsigned int size, unsigned char zoom, BufferWriter& writer)
{
    const LevelStyle& level = style->level(zoom);
    if (level.count == 0 || !writer) {
        return 0;
    }
    VectorTile tile(data, size, &arena);
    writer.checkpoint();
    // Neighbouring features mostly share their key.
    std::uint32_t foundKey = 0;
    const LayerStyle* found = nullptr;
    for (Layer layer = tile.nextLayer(); layer.isValid(); layer = tile.nextLayer()) {
        FeatureFields feature;
        while (nextFeatureFields(&layer.featureStream, feature)) {
            // Points and features without geometry draw nothing.
            if ((feature.type != LineFeature && feature.type != PolygonFeature) || feature.geometry == nullptr) {
                continue;
            }
            const std::uint32_t style_id = styleKey(layer, feature);
            if (found == nullptr || style_id != foundKey) {
                found = level.find(style_id);
                foundKey = style_id;
            }
            const LayerStyle* rule = found;
            if (rule == nullptr || rule->opacity == 0) {
                continue;
            }
            writer.checkpoint();
            TileProcessor processor(writer, style_id);
            GeometryDecoder geometry(feature.geometry, feature.geometrySize, processor);
            if (feature.type == LineFeature) {
                geometry.decodeLine();
            } else {
                geometry.decodePolygon();
            }
            if (writer.hasDiscarded()) {
                writer.rollback();
            }
        }
    }
    return writer.size();
}

Segment TileTranscoder::readNextSegment(BufferReader& reader)
{
    if (reader.remaining() < sizeof(SegmentHeader) || !isWordAligned(reader.current)) {
        return Segment{};
    }
    const auto* header = reinterpret_cast<const SegmentHeader*>(reader.current);
    reader.current += sizeof(SegmentHeader);
    const BufferReader payload = reader.take(9u * header->point_count + header->close_count);
    reader.realign();
    return Segment{header, payload};
}

} // namespace vecta
