#include "FeatureFields.hpp"

#include "TileFields.hpp"
#include "TileStream.hpp"
#include "vecta/Assert.hpp"

namespace vecta {

namespace {

// The unread bytes of a message in the tile. Every step stays within them;
// bytes that do not decode violate the tile contract.
struct Cursor {
    const pb_byte_t* bytes;
    std::size_t left;

    std::uint32_t varint()
    {
        const Varint varint = varintAt(bytes, left);
        VECTA_ASSERT(varint.length != 0);
        bytes += varint.length;
        left -= varint.length;
        return varint.value;
    }
    // Ids are 64 bits wide.
    void skipVarint()
    {
        std::size_t length = 0;
        while (length < left && length < 10 && (bytes[length] & 0x80u) != 0) {
            ++length;
        }
        VECTA_ASSERT(length < left && length < 10);
        skip(length + 1);
    }
    void skip(std::size_t count)
    {
        VECTA_ASSERT(count <= left);
        bytes += count;
        left -= count;
    }
    const pb_byte_t* take(std::size_t& size)
    {
        size = varint();
        const pb_byte_t* start = bytes;
        skip(size);
        return start;
    }
    void skipField(std::uint32_t wireType)
    {
        std::size_t ignored = 0;
        switch (wireType) {
        case PB_WT_VARINT:
            skipVarint();
            break;
        case PB_WT_64BIT:
            skip(8);
            break;
        case PB_WT_STRING:
            take(ignored);
            break;
        case PB_WT_32BIT:
            skip(4);
            break;
        default:
            VECTA_ASSERT(false);
        }
    }
};

FeatureFields readFields(Cursor feature)
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
    Cursor cursor{tileBytes(layer), layer->bytes_left};
    bool found = false;
    while (!found && cursor.left > 0) {
        const std::uint32_t tag = cursor.varint();
        if (tag == (LayerFeatures << 3 | PB_WT_STRING)) {
            std::size_t size = 0;
            const pb_byte_t* feature = cursor.take(size);
            fields = readFields(Cursor{feature, size});
            found = true;
        } else {
            cursor.skipField(tag & 7u);
        }
    }
    advance(layer, layer->bytes_left - cursor.left);
    return found;
}

} // namespace vecta
