#include "vecta/VectorTile.hpp"

#include <algorithm>
#include <new>

#include "TileCursor.hpp"
#include "TileStream.hpp"
#include "WireBytes.hpp"
#include "platform/Assert.hpp"
#include "vecta/TileFormat.hpp"

namespace vecta {

VectorTile::VectorTile(const char* tileData, unsigned int tileSize, MemoryArena* tileArena)
    : data(tileData), size(tileSize), arena(tileArena), stream(tileStream(tileData, tileSize))
{
}

Layer VectorTile::nextLayer()
{
    pb_wire_type_t wireType{};
    std::uint32_t field = 0;
    while (nextTag(&stream, wireType, field, damaged)) {
        if (field != tileLayersField || wireType != PB_WT_STRING) {
            damaged = !skipField(&stream, wireType) || damaged;
            continue;
        }
        pb_istream_t layerStream;
        if (!openSubstream(&stream, &layerStream)) {
            damaged = true;
            endStream(&stream);
            break;
        }
        Layer layer(layerStream);
        layer.arena = arena;
        closeSubstream(&stream, &layerStream);
        return layer;
    }
    return Layer();
}

Layer::Layer(const pb_istream_t& layerStream) : tableStream(layerStream), featureStream(layerStream)
{
    VECTA_ASSERT(layerStream.callback == &readTileBytes);
    TileCursor scan{tileBytes(&layerStream), layerStream.bytes_left};
    bool tableFound = false;
    // Both tables are indexed by 16 bits.
    constexpr std::uint16_t countLimit = 0xFFFF;
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
        const std::uint32_t wireType = tag & 7u;
        // Known fields of another wire type are skipped as the transcoder
        // skips them, so that both read the same layer; keys and values
        // that are not strings damage it in both.
        switch (tag) {
        case tagOf(LayerName, PB_WT_STRING):
            nameHash = scan.hashedString();
            break;
        case tagOf(LayerFeatures, PB_WT_STRING):
            ++featureCount;
            scan.skipField(wireType);
            break;
        case tagOf(LayerKeys, PB_WT_STRING):
            scan.damaged = scan.damaged || keys_size == countLimit;
            ++keys_size;
            scan.skipField(wireType);
            break;
        case tagOf(LayerValues, PB_WT_STRING):
            scan.damaged = scan.damaged || values_size == countLimit;
            ++values_size;
            scan.skipField(wireType);
            break;
        case tagOf(LayerExtent, PB_WT_VARINT):
            extent = scan.varint();
            break;
        case tagOf(LayerVersion, PB_WT_VARINT):
            version = scan.varint();
            break;
        default:
            if (field == LayerKeys || field == LayerValues) {
                scan.fail();
            } else {
                scan.skipField(wireType);
            }
        }
    }
    if (scan.damaged) {
        damaged = true;
        tablesRead = true;
        keys_size = 0;
        values_size = 0;
        endStream(&featureStream);
    }
}

Feature Layer::nextFeature()
{
    pb_wire_type_t wireType{};
    std::uint32_t field = 0;
    while (nextTag(&featureStream, wireType, field, damaged)) {
        if (field != LayerFeatures || wireType != PB_WT_STRING) {
            damaged = !skipField(&featureStream, wireType) || damaged;
            continue;
        }
        pb_istream_t featureMessage;
        if (!openSubstream(&featureStream, &featureMessage)) {
            damaged = true;
            endStream(&featureStream);
            break;
        }
        Feature feature(this, featureMessage);
        closeSubstream(&featureStream, &featureMessage);
        return feature;
    }
    return Feature();
}

bool Layer::initializeTable()
{
    VECTA_ASSERT(arena != nullptr);
    if (tablesRead) {
        return keys != nullptr;
    }
    VECTA_ASSERT(keys == nullptr && values == nullptr);
    tablesRead = true;
    arena->used = 0;

    const std::uint32_t keyBytes = std::uint32_t{keys_size} * std::uint32_t{sizeof(std::uint32_t)};
    const std::uint32_t valuesStart = (keyBytes + 7u) & ~7u;
    const std::uint32_t valuesEnd = valuesStart + std::uint32_t{values_size} * std::uint32_t{sizeof(PropertyValue)};
    bool read = valuesEnd <= arena->capacity;
    if (read) {
        keys = reinterpret_cast<std::uint32_t*>(arena->base);
        std::fill_n(keys, keys_size, 0u);
        values = reinterpret_cast<PropertyValue*>(arena->base + valuesStart);
        for (std::uint32_t i = 0; i < values_size; ++i) {
            new (&values[i]) PropertyValue{};
        }
        arena->used = valuesEnd;
    }

    pb_istream_t walk = tableStream;
    std::uint16_t keyIndex = 0;
    std::uint16_t valueIndex = 0;
    pb_wire_type_t wireType{};
    std::uint32_t field = 0;
    bool walkDamaged = false;
    while (read && nextTag(&walk, wireType, field, walkDamaged)) {
        if (field == LayerKeys && keyIndex < keys_size) {
            read = wireType == PB_WT_STRING && readHashedString(&walk, keys[keyIndex]);
            ++keyIndex;
        } else if (field == LayerValues && valueIndex < values_size) {
            pb_istream_t valueStream;
            read = wireType == PB_WT_STRING && openSubstream(&walk, &valueStream) &&
                   decodeValue(&valueStream, values[valueIndex]);
            if (read) {
                closeSubstream(&walk, &valueStream);
            }
            ++valueIndex;
        } else {
            read = skipField(&walk, wireType);
        }
    }
    if (!read || walkDamaged || keyIndex != keys_size || valueIndex != values_size) {
        damaged = true;
        keys = nullptr;
        values = nullptr;
        keys_size = 0;
        values_size = 0;
        arena->used = 0;
        return false;
    }
    return true;
}

bool Layer::decodeValue(pb_istream_t* stream, PropertyValue& value)
{
    while (stream->bytes_left > 0) {
        pb_wire_type_t wireType{};
        std::uint32_t field = 0;
        if (!decodeTag(stream, wireType, field)) {
            return false;
        }
        // A value message holds one value.
        if (field >= ValueString && field <= ValueBool && value.type != PropertyValueType::Invalid) {
            return false;
        }
        switch (field) {
        case ValueString: {
            std::uint32_t hash = 0;
            if (wireType != PB_WT_STRING || !readHashedString(stream, hash)) {
                return false;
            }
            value.set_string(hash);
            break;
        }
        case ValueFloat: {
            float number = 0;
            if (wireType != PB_WT_32BIT || !pb_decode_fixed32(stream, &number)) {
                return false;
            }
            value.set_float(number);
            break;
        }
        case ValueDouble: {
            double number = 0;
            if (wireType != PB_WT_64BIT || !pb_decode_fixed64(stream, &number)) {
                return false;
            }
            value.set_double(number);
            break;
        }
        case ValueInt:
        case ValueUint:
        case ValueBool: {
            std::uint64_t raw = 0;
            if (wireType != PB_WT_VARINT || !decodeVarint64(stream, raw)) {
                return false;
            }
            if (field == ValueInt) {
                value.set_int(static_cast<std::int64_t>(raw));
            } else if (field == ValueUint) {
                value.set_uint(raw);
            } else {
                value.set_bool(raw != 0);
            }
            break;
        }
        case ValueSint: {
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
