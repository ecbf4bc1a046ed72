#include "FeatureFields.hpp"

#include "TileFields.hpp"
#include "TileStream.hpp"
#include "WireBytes.hpp"
#include "vecta/Assert.hpp"

namespace vecta {

namespace {

inline bool readFields(const pb_byte_t* p, const pb_byte_t* end, FeatureFields& fields)
{
    // Features are mostly written id, tags, type, geometry: those are read
    // in that order first, whatever follows as it comes.
    if (p < end && *p == tagOf(FeatureId, PB_WT_VARINT)) {
        ++p;
        if (!skipValue(p, end, PB_WT_VARINT)) {
            return false;
        }
    }
    if (p < end && *p == tagOf(FeatureTags, PB_WT_STRING)) {
        ++p;
        if (!readBytes(p, end, fields.tags, fields.tagsSize)) {
            return false;
        }
    }
    if (p < end && *p == tagOf(FeatureType, PB_WT_VARINT)) {
        ++p;
        if (!readVarint(p, end, fields.type)) {
            return false;
        }
    }
    if (p < end && *p == tagOf(FeatureGeometry, PB_WT_STRING)) {
        ++p;
        if (!readBytes(p, end, fields.geometry, fields.geometrySize)) {
            return false;
        }
    }
    while (p < end) {
        std::uint32_t tag = 0;
        if (!readVarint(p, end, tag)) {
            return false;
        }
        bool read = false;
        switch (tag) {
        case tagOf(FeatureTags, PB_WT_STRING):
            read = readBytes(p, end, fields.tags, fields.tagsSize);
            break;
        case tagOf(FeatureType, PB_WT_VARINT):
            read = readVarint(p, end, fields.type);
            break;
        case tagOf(FeatureGeometry, PB_WT_STRING):
            read = readBytes(p, end, fields.geometry, fields.geometrySize);
            break;
        default:
            read = skipValue(p, end, tag & 7u);
        }
        if (!read) {
            return false;
        }
    }
    return true;
}

} // namespace

bool nextFeatureFields(pb_istream_t* layer, FeatureFields& fields, bool& damaged)
{
    VECTA_ASSERT(layer->callback == &readTileBytes);
    const pb_byte_t* const start = tileBytes(layer);
    const pb_byte_t* const end = start + layer->bytes_left;
    const pb_byte_t* p = start;
    bool found = false;
    bool valid = true;
    while (!found && valid && p < end) {
        std::uint32_t tag = 0;
        valid = readVarint(p, end, tag);
        if (valid && tag == tagOf(LayerFeatures, PB_WT_STRING)) {
            const pb_byte_t* feature = nullptr;
            std::size_t size = 0;
            fields = FeatureFields{};
            valid = readBytes(p, end, feature, size) && readFields(feature, feature + size, fields);
            found = true;
        } else if (valid) {
            valid = skipValue(p, end, tag & 7u);
        }
    }
    if (!valid) {
        damaged = true;
        advance(layer, layer->bytes_left);
        return false;
    }
    advance(layer, static_cast<std::size_t>(p - start));
    return found;
}

} // namespace vecta
