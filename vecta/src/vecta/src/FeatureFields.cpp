#include "FeatureFields.hpp"

#include "TileCursor.hpp"
#include "TileFields.hpp"
#include "TileStream.hpp"
#include "vecta/Assert.hpp"

namespace vecta {

namespace {

FeatureFields readFields(TileCursor feature)
{
    FeatureFields fields;
    while (feature.left > 0) {
        const std::uint32_t tag = feature.varint();
        const std::uint32_t wireType = tag & 7u;
        const std::uint32_t field = tag >> 3;
        if (field == FeatureTags && wireType == PB_WT_STRING) {
            fields.tags = feature.take(fields.tagsSize);
        } else if (field == FeatureGeometry && wireType == PB_WT_STRING) {
            fields.geometry = feature.take(fields.geometrySize);
        } else if (field == FeatureType && wireType == PB_WT_VARINT) {
            fields.type = feature.varint();
        } else {
            feature.skipField(wireType);
        }
    }
    return fields;
}

} // namespace

bool nextFeatureFields(pb_istream_t* layer, FeatureFields& fields)
{
    VECTA_ASSERT(layer->callback == &readTileBytes);
    TileCursor cursor{tileBytes(layer), layer->bytes_left};
    bool found = false;
    while (!found && cursor.left > 0) {
        const std::uint32_t tag = cursor.varint();
        if (tag == (LayerFeatures << 3 | PB_WT_STRING)) {
            std::size_t size = 0;
            const pb_byte_t* feature = cursor.take(size);
            fields = readFields(TileCursor{feature, size});
            found = true;
        } else {
            cursor.skipField(tag & 7u);
        }
    }
    advance(layer, layer->bytes_left - cursor.left);
    return found;
}

} // namespace vecta
