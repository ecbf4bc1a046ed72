#include "vecta/TileTranscoder.hpp"

#include "GeometryDecoder.hpp"
#include "TileProcessor.hpp"
#include "vecta/StringHash.hpp"
#include "vecta/VectorTile.hpp"

namespace vecta {

namespace {

constexpr std::uint32_t classKeyHash = stringHash("class");
constexpr std::uint32_t defaultClassHash = stringHash("default");

enum FeatureType : std::uint32_t { LineFeature = 2, PolygonFeature = 3 };

std::uint32_t styleKey(const Layer& layer, Feature& feature)
{
    if (feature.hasTags()) {
        for (Property property = feature.nextProperty(); !property.isEnd(); property = feature.nextProperty()) {
            if (property.keyHash == classKeyHash) {
                return layer.nameHash + property.value.string_value();
            }
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
        for (Feature feature = layer.nextFeature(); feature.isValid(); feature = layer.nextFeature()) {
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
            GeometryDecoder geometry(feature, processor);
            if (feature.type == LineFeature) {
                geometry.decodeLine();
            } else if (feature.type == PolygonFeature) {
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
