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

// The key of features whose class matches no rule.
constexpr std::uint32_t noRuleKey = 0;

enum FeatureType : std::uint32_t { LineFeature = 2, PolygonFeature = 3 };

// The first "class" property decides; pairs with an index outside the
// layer's tables are passed over, an unfinished last pair ends the tags. A
// class that is not a string matches no rule. False when the layer's tables
// are damaged or do not fit the arena.
bool styleKey(Layer& layer, const FeatureFields& feature, std::uint32_t& key)
{
    const pb_byte_t* bytes = feature.tags;
    std::size_t left = feature.tagsSize;
    key = layer.nameHash + defaultClassHash;
    while (left > 0) {
        const Varint keyIndex = varintAt(bytes, left);
        if (keyIndex.length == 0) {
            break;
        }
        const Varint valueIndex = varintAt(bytes + keyIndex.length, left - keyIndex.length);
        if (valueIndex.length == 0) {
            break;
        }
        bytes += keyIndex.length + valueIndex.length;
        left -= keyIndex.length + valueIndex.length;
        if (!layer.initializeTable()) {
            return false;
        }
        if (keyIndex.value < layer.keys_size && valueIndex.value < layer.values_size &&
            layer.keys[keyIndex.value] == classKeyHash) {
            const PropertyValue& value = layer.values[valueIndex.value];
            key = value.type == PropertyValueType::StringValue ? layer.nameHash + value.string_value() : noRuleKey;
            break;
        }
    }
    return true;
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
    const BufferWriter entry = writer;
    VectorTile tile(data, size, &arena);
    writer.checkpoint();
    bool damaged = false;
    // Neighbouring features mostly share their key.
    std::uint32_t foundKey = 0;
    const LayerStyle* found = nullptr;
    for (Layer layer = tile.nextLayer(); !damaged && layer.isValid(); layer = tile.nextLayer()) {
        FeatureFields feature;
        while (!damaged && nextFeatureFields(&layer.featureStream, feature, damaged)) {
            // Points and features without geometry draw nothing.
            if ((feature.type != LineFeature && feature.type != PolygonFeature) || feature.geometry == nullptr) {
                continue;
            }
            std::uint32_t style_id = 0;
            if (!styleKey(layer, feature, style_id)) {
                damaged = true;
                break;
            }
            if (found == nullptr || style_id != foundKey) {
                found = style_id == noRuleKey ? nullptr : level.find(style_id);
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
            damaged = geometry.damaged;
            if (writer.hasDiscarded()) {
                writer.rollback();
            }
        }
        damaged = damaged || layer.damaged;
    }
    // Nothing of a damaged tile is drawn.
    if (damaged || tile.damaged) {
        writer = entry;
        ++damagedCount;
        return 0;
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
