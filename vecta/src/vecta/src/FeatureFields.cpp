#include "FeatureFields.hpp"

#include "TileCursor.hpp"
#include "TileFields.hpp"
#include "TileStream.hpp"
#include "vecta/Assert.hpp"

namespace vecta {

namespace {

constexpr std::uint32_t tagOf(std::uint32_t field, pb_wire_type_t wireType)
{
    return field << 3 | wireType;
}

// False when the feature's bytes do not decode.
bool readFields(TileCursor feature, FeatureFields& fields)
{
    while (feature.left > 0) {
        const std::uint32_t tag = feature.varint();
        switch (tag) {
        case tagOf(FeatureTags, PB_WT_STRING):
            fields.tags = feature.take(fields.tagsSize);
            break;
        case tagOf(FeatureType, PB_WT_VARINT):
            fields.type = feature.varint();
            break;
        case tagOf(FeatureGeometry, PB_WT_STRING):
            fields.geometry = feature.take(fields.geometrySize);
            break;
        default:
            feature.skipField(tag & 7u);
        }
    }
    return !feature.damaged;
}

} // namespace

bool nextFeatureFields(pb_istream_t* layer, FeatureFields& fields, bool& damaged)
{
    VECTA_ASSERT(layer->callback == &readTileBytes);
    TileCursor cursor{tileBytes(layer), layer->bytes_left};
    bool found = false;
    while (!found && cursor.left > 0) {
        const std::uint32_t tag = cursor.varint();
        if (tag == tagOf(LayerFeatures, PB_WT_STRING)) {
            std::size_t size = 0;
            const pb_byte_t* feature = cursor.take(size);
            fields = FeatureFields{};
            found = true;
            if (!cursor.damaged && !readFields(TileCursor{feature, size}, fields)) {
                cursor.fail();
            }
        } else {
            cursor.skipField(tag & 7u);
        }
    }
    advance(layer, layer->bytes_left - cursor.left);
    if (cursor.damaged) {
        damaged = true;
        return false;
    }
    return found;
}

} // namespace vecta
