#include "vecta/VectorTile.hpp"

#include <algorithm>
#include <new>

#include "TileCursor.hpp"
#include "TileFields.hpp"
#include "TileStream.hpp"
#include "vecta/Assert.hpp"

namespace vecta {

VectorTile::VectorTile(const char* tileData, unsigned int tileSize, MemoryArena* tileArena)
    : data(tileData), size(tileSize), arena(tileArena), stream(tileStream(tileData, tileSize))
{
}

Layer VectorTile::nextLayer()
{
    pb_wire_type_t wireType{};
    std::uint32_t field = 0;
    while (nextTag(&stream, wireType, field)) {
        if (field != tileLayersField || wireType != PB_WT_STRING) {
            skipField(&stream, wireType);
            continue;
        }
        pb_istream_t layerStream;
        const bool opened = openSubstream(&stream, &layerStream);
        VECTA_ASSERT(opened);
        Layer layer(layerStream);
        layer.arena = arena;
        const bool closed = closeSubstream(&stream, &layerStream);
        VECTA_ASSERT(closed);
        return layer;
    }
    return Layer();
}

Layer::Layer(const pb_istream_t& layerStream) : tableStream(layerStream), featureStream(layerStream)
{
    VECTA_ASSERT(layerStream.callback == &readTileBytes);
    TileCursor scan{tileBytes(&layerStream), layerStream.bytes_left};
    bool tableFound = false;
    while (scan.left > 0) {
        const TileCursor fieldStart = scan;
        const std::uint32_t tag = scan.varint();
        const std::uint32_t field = tag >> 3;
        // The table walk starts at the first key or value, past the features.
        if (!tableFound && (field == LayerKeys || field == LayerValues)) {
            tableStream =
                tileStream(reinterpret_cast<const char*>(fieldStart.bytes), static_cast<unsigned int>(fieldStart.left));
            tableFound = true;
        }
        switch (field) {
        case LayerName:
            nameHash = scan.hashedString();
            break;
        case LayerFeatures:
            ++featureCount;
            scan.skipField(tag & 7u);
            break;
        case LayerKeys:
            ++keys_size;
            scan.skipField(tag & 7u);
            break;
        case LayerValues:
            ++values_size;
            scan.skipField(tag & 7u);
            break;
        case LayerExtent:
            extent = scan.varint();
            break;
        case LayerVersion:
            version = scan.varint();
            break;
        default:
            VECTA_ASSERT(false);
        }
    }
}

Feature Layer::nextFeature()
{
    pb_wire_type_t wireType{};
    std::uint32_t field = 0;
    while (nextTag(&featureStream, wireType, field)) {
        if (field != LayerFeatures || wireType != PB_WT_STRING) {
            skipField(&featureStream, wireType);
            continue;
        }
        pb_istream_t featureMessage;
        const bool opened = openSubstream(&featureStream, &featureMessage);
        VECTA_ASSERT(opened);
        Feature feature(this, featureMessage);
        const bool closed = closeSubstream(&featureStream, &featureMessage);
        VECTA_ASSERT(closed);
        return feature;
    }
    return Feature();
}

void Layer::initializeTable()
{
    VECTA_ASSERT(arena != nullptr);
    VECTA_ASSERT(keys == nullptr && values == nullptr);
    arena->used = 0;

    const std::uint32_t keyBytes = std::uint32_t{keys_size} * sizeof(std::uint32_t);
    if (keyBytes <= arena->capacity) {
        keys = reinterpret_cast<std::uint32_t*>(arena->base);
        std::fill_n(keys, keys_size, 0u);
    }
    const std::uint32_t valuesStart = (keyBytes + 7u) & ~7u;
    const std::uint32_t valuesEnd = valuesStart + std::uint32_t{values_size} * sizeof(PropertyValue);
    if (keys != nullptr && valuesEnd <= arena->capacity) {
        values = reinterpret_cast<PropertyValue*>(arena->base + valuesStart);
        for (std::uint32_t i = 0; i < values_size; ++i) {
            new (&values[i]) PropertyValue{};
        }
        arena->used = valuesEnd;
    }
    if (values == nullptr) {
        keys = nullptr;
    }
    VECTA_ASSERT(keys != nullptr && values != nullptr);

    pb_istream_t walk = tableStream;
    std::uint16_t keyIndex = 0;
    std::uint16_t valueIndex = 0;
    pb_wire_type_t wireType{};
    std::uint32_t field = 0;
    while (nextTag(&walk, wireType, field)) {
        if (field == LayerKeys && keyIndex < keys_size) {
            const bool read = readHashedString(&walk, keys[keyIndex]);
            VECTA_ASSERT(read);
            ++keyIndex;
        } else if (field == LayerValues && valueIndex < values_size) {
            pb_istream_t valueStream;
            const bool opened = openSubstream(&walk, &valueStream);
            VECTA_ASSERT(opened);
            const bool decoded = decodeValue(&valueStream, values[valueIndex]);
            const bool closed = closeSubstream(&walk, &valueStream);
            VECTA_ASSERT(decoded && closed);
            ++valueIndex;
        } else {
            skipField(&walk, wireType);
        }
    }
    VECTA_ASSERT(keyIndex == keys_size);
    VECTA_ASSERT(valueIndex == values_size);
}

bool Layer::decodeValue(pb_istream_t* stream, PropertyValue& value)
{
    while (stream->bytes_left > 0) {
        pb_wire_type_t wireType{};
        std::uint32_t field = 0;
        if (!decodeTag(stream, wireType, field)) {
            return false;
        }
        switch (field) {
        case 1: {
            std::uint32_t hash = 0;
            if (wireType != PB_WT_STRING || !readHashedString(stream, hash)) {
                return false;
            }
            value.set_string(hash);
            break;
        }
        case 2: {
            float number = 0;
            if (wireType != PB_WT_32BIT || !pb_decode_fixed32(stream, &number)) {
                return false;
            }
            value.set_float(number);
            break;
        }
        case 3: {
            double number = 0;
            if (wireType != PB_WT_64BIT || !pb_decode_fixed64(stream, &number)) {
                return false;
            }
            value.set_double(number);
            break;
        }
        case 4:
        case 5:
        case 7: {
            std::uint64_t raw = 0;
            if (wireType != PB_WT_VARINT || !decodeVarint64(stream, raw)) {
                return false;
            }
            if (field == 4) {
                value.set_int(static_cast<std::int64_t>(raw));
            } else if (field == 5) {
                value.set_uint(raw);
            } else {
                value.set_bool(raw != 0);
            }
            break;
        }
        case 6: {
            std::int64_t number = 0;
            if (wireType != PB_WT_VARINT || !pb_decode_svarint(stream, &number)) {
                return false;
            }
            value.set_sint(number);
            break;
        }
        default:
            if (!pb_skip_field(stream, wireType)) {
                return false;
            }
        }
    }
    return true;
}

} // namespace vecta
