#pragma once

#include <cstddef>
#include <cstdint>

#include <pb.h>

#include "WireBytes.hpp"
#include "vecta/TileFormat.hpp"

namespace vecta {

// The parts of one feature that the transcoder reads, found in place in the
// tile; the id and the tag pairs are not decoded here.
struct FeatureFields {
    const pb_byte_t* tags = nullptr;
    std::size_t tagsSize = 0;
    const pb_byte_t* geometry = nullptr;
    std::size_t geometrySize = 0;
    std::uint32_t type = 0;
};

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

// Reads the next feature of a layer's bytes, moving `p` past it; false at
// `end`, and when bytes do not decode, which also sets `damaged` and moves
// `p` to `end`. Once per feature, so kept inline.
inline bool nextFeatureFields(const pb_byte_t*& p, const pb_byte_t* end, FeatureFields& fields, bool& damaged)
{
    bool valid = true;
    while (valid && p < end) {
        std::uint32_t tag = 0;
        valid = readVarint(p, end, tag);
        if (valid && tag == tagOf(LayerFeatures, PB_WT_STRING)) {
            const pb_byte_t* feature = nullptr;
            std::size_t size = 0;
            fields = FeatureFields{};
            valid = readBytes(p, end, feature, size) && readFields(feature, feature + size, fields);
            if (valid) {
                return true;
            }
        } else if (valid) {
            valid = skipValue(p, end, tag & 7u);
        }
    }
    if (!valid) {
        damaged = true;
        p = end;
    }
    return false;
}

} // namespace vecta
