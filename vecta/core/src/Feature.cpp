#include "TileStream.hpp"
#include "WireBytes.hpp"
#include "vecta/TileFormat.hpp"
#include "vecta/VectorTile.hpp"

namespace vecta {

Feature::Feature(Layer* owner, const pb_istream_t& featureMessage) : layer(owner), stream(featureMessage)
{
    pb_istream_t scan = featureMessage;
    pb_wire_type_t wireType{};
    std::uint32_t field = 0;
    while (nextTag(&scan, wireType, field, damaged)) {
        bool read = true;
        pb_istream_t part;
        // Known fields of another wire type are skipped, as the transcoder
        // skips them.
        switch (tagOf(field, wireType)) {
        case tagOf(FeatureId, PB_WT_VARINT):
            read = decodeVarint64(&scan, id);
            hasId = read;
            break;
        case tagOf(FeatureTags, PB_WT_STRING):
            read = openSubstream(&scan, &part);
            if (read) {
                const std::uint32_t count = countVarints(part);
                // Tags come in pairs: an odd count leaves the feature without them.
                if (count % 2 == 0) {
                    tags = part;
                    tagsCursor = part;
                    tagCount = count / 2;
                } else {
                    damaged = true;
                }
                closeSubstream(&scan, &part);
            }
            break;
        case tagOf(FeatureType, PB_WT_VARINT):
            read = decodeVarint(&scan, type);
            break;
        case tagOf(FeatureGeometry, PB_WT_STRING):
            read = openSubstream(&scan, &part);
            if (read) {
                geometry = part;
                geometryCursor = part;
                closeSubstream(&scan, &part);
            }
            break;
        default:
            read = skipField(&scan, wireType);
        }
        if (!read) {
            damaged = true;
            endStream(&scan);
        }
    }
}

bool Feature::nextValue(std::uint32_t& out)
{
    if (geometryCursor.bytes_left == 0) {
        return true;
    }
    return decodeVarint(&geometryCursor, out);
}

Property Feature::nextProperty()
{
    while (tagsCursor.bytes_left > 0) {
        std::uint32_t keyIndex = 0;
        std::uint32_t valueIndex = 0;
        if (!decodeVarint(&tagsCursor, keyIndex) || !decodeVarint(&tagsCursor, valueIndex)) {
            return Property{};
        }
        if (!layer->initializeTable()) {
            return Property{};
        }
        // Indices outside the tables are skipped rather than read.
        if (keyIndex < layer->keys_size && valueIndex < layer->values_size) {
            return Property{layer->values[valueIndex], layer->keys[keyIndex]};
        }
    }
    return Property{};
}

} // namespace vecta
