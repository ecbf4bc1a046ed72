#include "vecta/TileTranscoder.hpp"

#include "FeatureFields.hpp"
#include "GeometryDecoder.hpp"
#include "TileProcessor.hpp"
#include "TileStream.hpp"
#include "WireBytes.hpp"
#include "vecta/StringHash.hpp"
#include "vecta/TileFormat.hpp"

namespace vecta {

namespace {

constexpr std::uint32_t classKeyHash = stringHash("class");
constexpr std::uint32_t defaultClassHash = stringHash("default");

// The key of features whose class matches no rule.
constexpr std::uint32_t noRuleKey = 0;

enum FeatureType : std::uint32_t { LineFeature = 2, PolygonFeature = 3 };

// One layer as the transcoder reads it, found in one pass over its fields:
// its name, where its features end, the hash of every key (layers have few)
// and where every value lies. A value is decoded when a feature's class
// first refers to it. The tables share the arena: keys from its start, value
// entries from its end.
class LayerTables {
public:
    LayerTables(const pb_byte_t* layer, std::size_t size, MemoryArena& arena)
        : begin(layer), end(layer + size), featuresEnd(layer), keys(reinterpret_cast<std::uint32_t*>(arena.base)),
          valuesTop(reinterpret_cast<std::uint32_t*>(arena.base) + arena.capacity / sizeof(std::uint32_t))
    {
    }

    // False when the layer does not decode or its tables do not fit.
    bool scan()
    {
        const pb_byte_t* p = begin;
        while (p < end) {
            std::uint32_t tag = 0;
            if (!readVarint(p, end, tag)) {
                return false;
            }
            const pb_byte_t* field = nullptr;
            std::size_t size = 0;
            bool read = true;
            switch (tag) {
            case tagOf(LayerFeatures, PB_WT_STRING):
                read = readBytes(p, end, field, size);
                featuresEnd = p;
                break;
            case tagOf(LayerName, PB_WT_STRING):
                read = readBytes(p, end, field, size);
                nameHash = hashPrefix(field, size);
                break;
            case tagOf(LayerKeys, PB_WT_STRING):
                read = readBytes(p, end, field, size) && room() && keyCount < countLimit;
                if (read) {
                    keys[keyCount] = hashPrefix(field, size);
                    hasClassKey = hasClassKey || keys[keyCount] == classKeyHash;
                    ++keyCount;
                }
                break;
            case tagOf(LayerValues, PB_WT_STRING): {
                const pb_byte_t* value = p;
                read = readBytes(p, end, field, size) && room() && valueCount < countLimit &&
                       static_cast<std::size_t>(value - begin) < decodedFlag;
                if (read) {
                    ++valueCount;
                    ValueEntry& entry = valueEntry(valueCount - 1);
                    entry.place = static_cast<std::uint32_t>(value - begin);
                    entry.key = 0;
                }
                break;
            }
            default:
                // Keys and values are strings; other fields are skipped.
                read = (tag >> 3) != LayerKeys && (tag >> 3) != LayerValues && skipValue(p, end, tag & 7u);
            }
            if (!read) {
                return false;
            }
        }
        return true;
    }

    // The style key of a feature: the layer's name and the first "class"
    // among its tags; pairs with an index outside the tables are passed over,
    // an unfinished last pair ends the tags. A class that is not a string
    // matches no rule. False when the class value does not decode.
    bool styleKey(const FeatureFields& feature, std::uint32_t& key)
    {
        const pb_byte_t* p = feature.tags;
        // Layers without classes (buildings, the most features) skip the tags.
        const pb_byte_t* const tagsEnd = hasClassKey ? p + feature.tagsSize : p;
        while (p < tagsEnd) {
            std::uint32_t keyIndex = 0;
            std::uint32_t valueIndex = 0;
            if (!readVarint(p, tagsEnd, keyIndex) || !readVarint(p, tagsEnd, valueIndex)) {
                break;
            }
            if (keyIndex < keyCount && valueIndex < valueCount && keys[keyIndex] == classKeyHash) {
                // Each class value is decoded once per layer.
                ValueEntry& entry = valueEntry(valueIndex);
                if ((entry.place & decodedFlag) == 0) {
                    std::uint32_t hash = 0;
                    bool isString = false;
                    if (!readValue(entry.place, isString, hash)) {
                        return false;
                    }
                    entry.key = isString ? nameHash + hash : noRuleKey;
                    entry.place |= decodedFlag;
                }
                key = entry.key;
                return true;
            }
        }
        key = nameHash + defaultClassHash;
        return true;
    }

    const pb_byte_t* begin;
    const pb_byte_t* end;
    const pb_byte_t* featuresEnd; // past the last feature
    std::uint32_t nameHash = 0;

private:
    // Both tables are indexed by 16 bits, as the reader's.
    static constexpr std::uint32_t countLimit = 0xFFFF;

    // A value's place in the layer and, once decoded (flagged in the
    // place), its style key.
    struct ValueEntry {
        std::uint32_t place;
        std::uint32_t key;
    };
    static constexpr std::uint32_t decodedFlag = 0x80000000u;

    ValueEntry& valueEntry(std::uint32_t index) const
    {
        return reinterpret_cast<ValueEntry*>(valuesTop)[-static_cast<std::ptrdiff_t>(index) - 1];
    }
    bool room() const
    {
        return reinterpret_cast<const std::uint8_t*>(keys + keyCount + 1) <=
               reinterpret_cast<const std::uint8_t*>(valuesTop) - sizeof(ValueEntry) * (valueCount + 1);
    }

    // Decodes one Value message: whether it holds a string and its hash.
    // False when it does not decode or holds more than one value.
    bool readValue(std::uint32_t place, bool& isString, std::uint32_t& hash) const
    {
        const pb_byte_t* p = begin + place;
        const pb_byte_t* message = nullptr;
        std::size_t size = 0;
        readBytes(p, end, message, size); // read in scan()
        p = message;
        const pb_byte_t* const messageEnd = message + size;
        unsigned int values = 0;
        while (p < messageEnd) {
            std::uint32_t tag = 0;
            if (!readVarint(p, messageEnd, tag)) {
                return false;
            }
            const std::uint32_t field = tag >> 3;
            const std::uint32_t wireType = tag & 7u;
            if (field == ValueString && wireType == PB_WT_STRING) {
                const pb_byte_t* text = nullptr;
                std::size_t length = 0;
                if (!readBytes(p, messageEnd, text, length)) {
                    return false;
                }
                hash = hashPrefix(text, length);
                isString = true;
                ++values;
                continue;
            }
            if (field >= ValueString && field <= ValueBool) {
                const std::uint32_t expected = field == ValueFloat    ? PB_WT_32BIT
                                               : field == ValueDouble ? PB_WT_64BIT
                                                                      : PB_WT_VARINT;
                if (field == ValueString || wireType != expected) {
                    return false;
                }
                ++values;
            }
            if (!skipValue(p, messageEnd, wireType)) {
                return false;
            }
        }
        return values <= 1;
    }

    std::uint32_t* keys;
    std::uint32_t* valuesTop; // value i's entry is the i-th below it
    std::uint32_t keyCount = 0;
    std::uint32_t valueCount = 0;
    bool hasClassKey = false;
};

// The rules found so far, by the low bits of their key: a tile draws few
// kinds of feature, so each is searched for about once. Empty slots hold the
// key of no rule.
class FoundRules {
public:
    explicit FoundRules(const LevelStyle& levelStyle) : level(levelStyle) {}

    const LayerStyle* find(std::uint32_t key)
    {
        Slot& slot = slots[(key ^ key >> 16) & 15u];
        if (slot.key != key) {
            slot = Slot{key, level.find(key)};
        }
        return slot.rule;
    }

private:
    struct Slot {
        std::uint32_t key;
        const LayerStyle* rule;
    };
    static_assert(noRuleKey == 0);
    Slot slots[16] = {};
    const LevelStyle& level;
};

// Writes a line or polygon feature's segments; one that does not fit is
// taken back whole. False when its geometry is damaged.
bool writeFeature(const FeatureFields& feature, std::uint32_t styleKey, TileProcessor& processor, BufferWriter& writer)
{
    writer.checkpoint();
    processor.feature(styleKey);
    GeometryDecoder geometry(feature.geometry, feature.geometrySize, processor);
    if (feature.type == LineFeature) {
        geometry.decodeLine();
    } else {
        geometry.decodePolygon();
    }
    if (writer.hasDiscarded()) {
        writer.rollback();
    }
    return !geometry.damaged;
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
    writer.checkpoint();
    const auto* p = reinterpret_cast<const pb_byte_t*>(data);
    const pb_byte_t* const tileEnd = p + size;
    bool damaged = false;
    FoundRules found(level);
    // One processor for the tile: begin() and feature() reset what a
    // feature and a part need.
    TileProcessor processor(writer, noRuleKey);
    while (!damaged && p < tileEnd) {
        std::uint32_t tag = 0;
        const pb_byte_t* layerBytes = nullptr;
        std::size_t layerSize = 0;
        if (!readVarint(p, tileEnd, tag)) {
            damaged = true;
        } else if (tag != tagOf(tileLayersField, PB_WT_STRING)) {
            damaged = !skipValue(p, tileEnd, tag & 7u);
            continue;
        } else {
            damaged = !readBytes(p, tileEnd, layerBytes, layerSize);
        }
        LayerTables layer(layerBytes, layerSize, arena);
        if (damaged || !layer.scan()) {
            damaged = true;
            break;
        }
        const pb_byte_t* features = layer.begin;
        FeatureFields feature;
        while (!damaged && nextFeatureFields(features, layer.featuresEnd, feature, damaged)) {
            // Points and features without geometry draw nothing.
            if ((feature.type != LineFeature && feature.type != PolygonFeature) || feature.geometry == nullptr) {
                continue;
            }
            std::uint32_t style_id = 0;
            if (!layer.styleKey(feature, style_id)) {
                damaged = true;
                break;
            }
            const LayerStyle* rule = found.find(style_id);
            if (rule == nullptr || rule->opacity == 0) {
                continue;
            }
            damaged = !writeFeature(feature, style_id, processor, writer);
        }
    }
    // Nothing of a damaged tile is drawn.
    if (damaged) {
        writer = entry;
        ++damagedCount;
        return 0;
    }
    return writer.size();
}

} // namespace vecta
