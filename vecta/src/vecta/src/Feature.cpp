#include "TileFields.hpp"
#include "TileStream.hpp"
#include "vecta/Assert.hpp"
#include "vecta/VectorTile.hpp"

namespace vecta {

Feature::Feature(Layer* owner, const pb_istream_t& featureMessage) : layer(owner), stream(featureMessage)
{
    pb_istream_t scan = featureMessage;
    pb_wire_type_t wireType{};
    std::uint32_t field = 0;
    while (nextTag(&scan, wireType, field)) {
        switch (field) {
        case FeatureId: {
            const bool read = decodeVarint64(&scan, id);
            VECTA_ASSERT(read);
            hasId = true;
            break;
        }
        case FeatureTags: {
            pb_istream_t tagStream;
            const bool opened = openSubstream(&scan, &tagStream);
            VECTA_ASSERT(opened);
            tags = tagStream;
            tagsCursor = tagStream;
            const std::uint32_t count = countVarints(tagStream);
            VECTA_ASSERT(count % 2 == 0);
            tagCount = count / 2;
            const bool closed = closeSubstream(&scan, &tagStream);
            VECTA_ASSERT(closed);
            break;
        }
        case FeatureType: {
            const bool read = decodeVarint(&scan, type);
            VECTA_ASSERT(read);
            break;
        }
        case FeatureGeometry: {
            pb_istream_t geometryStream;
            const bool opened = openSubstream(&scan, &geometryStream);
            if (!opened) {
                VECTA_ASSERT(false);
            }
            geometry = geometryStream;
            geometryCursor = geometryStream;
            const bool closed = closeSubstream(&scan, &geometryStream);
            VECTA_ASSERT(closed);
            break;
        }
        default:
            skipField(&scan, wireType);
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
        if (layer->keys == nullptr && layer->values == nullptr) {
            layer->initializeTable();
        }
        // Indices outside the tables are skipped rather than read.
        if (keyIndex < layer->keys_size && valueIndex < layer->values_size) {
            return Property{layer->values[valueIndex], layer->keys[keyIndex]};
        }
    }
    return Property{};
}

} // namespace vecta
