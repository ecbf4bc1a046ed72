#include "vecta/VectorTile.hpp"

#include <algorithm>
#include <cstring>
#include <new>

#include "vecta/Assert.hpp"
#include "vecta/StringHash.hpp"

namespace vecta {

namespace {

enum LayerField : std::uint32_t {
    LayerName = 1,
    LayerFeatures = 2,
    LayerKeys = 3,
    LayerValues = 4,
    LayerExtent = 5,
    LayerVersion = 15,
};

enum FeatureField : std::uint32_t { FeatureId = 1, FeatureTags = 2, FeatureType = 3, FeatureGeometry = 4 };

constexpr std::uint32_t tileLayersField = 3;

// The stream's state is a moving pointer into the tile: sub-streams copy it
// and hand it back on close, so every stream reads in place.
bool readTileBytes(pb_istream_t* stream, pb_byte_t* destination, std::size_t count)
{
    const auto* source = static_cast<const pb_byte_t*>(stream->state);
    if (destination != nullptr) {
        if (count == 1) {
            *destination = *source;
        } else {
            std::memcpy(destination, source, count);
        }
    }
    stream->state = const_cast<pb_byte_t*>(source + count);
    return true;
}

// Geometry and tags are mostly short varints: decode those straight from the
// tile and leave every other case to nanopb.
bool decodeVarint(pb_istream_t* stream, std::uint32_t& out)
{
    if (stream->callback == &readTileBytes) {
        const auto* bytes = static_cast<const pb_byte_t*>(stream->state);
        const std::size_t available = std::min<std::size_t>(stream->bytes_left, 5);
        std::uint32_t value = 0;
        for (std::size_t i = 0; i < available; ++i) {
            value |= static_cast<std::uint32_t>(bytes[i] & 0x7Fu) << (7 * i);
            if ((bytes[i] & 0x80u) == 0) {
                stream->state = const_cast<pb_byte_t*>(bytes + i + 1);
                stream->bytes_left -= i + 1;
                out = value;
                return true;
            }
        }
    }
    return pb_decode_varint32(stream, &out);
}

// nanopb skips through a bounce buffer for callback streams; a moving
// pointer can simply move.
bool skipBytes(pb_istream_t* stream, std::uint32_t count)
{
    if (stream->callback != &readTileBytes) {
        return pb_read(stream, nullptr, count);
    }
    if (count > stream->bytes_left) {
        return false;
    }
    stream->state = static_cast<pb_byte_t*>(stream->state) + count;
    stream->bytes_left -= count;
    return true;
}

// Reads a length-delimited string and hashes its first 47 bytes; the rest is
// skipped. Returns false when the length or the bytes cannot be read.
bool readHashedString(pb_istream_t* stream, std::uint32_t& hash)
{
    std::uint32_t length = 0;
    if (!decodeVarint(stream, length)) {
        return false;
    }
    char buffer[hashedPrefixLength + 1] = {};
    const std::uint32_t kept = std::min<std::uint32_t>(length, hashedPrefixLength);
    if (!pb_read(stream, reinterpret_cast<pb_byte_t*>(buffer), kept) || !skipBytes(stream, length - kept)) {
        return false;
    }
    hash = stringHash(buffer);
    return true;
}

// Decodes the next tag; false at the end of the stream. A tag that does not
// decode violates the tile contract.
bool nextTag(pb_istream_t* stream, pb_wire_type_t& wireType, std::uint32_t& field)
{
    if (stream->bytes_left == 0) {
        return false;
    }
    bool eof = false;
    const bool decoded = pb_decode_tag(stream, &wireType, &field, &eof);
    VECTA_ASSERT(decoded);
    return true;
}

void skipField(pb_istream_t* stream, pb_wire_type_t wireType)
{
    bool skipped = false;
    if (wireType == PB_WT_STRING) {
        std::uint32_t length = 0;
        skipped = decodeVarint(stream, length) && skipBytes(stream, length);
    } else {
        skipped = pb_skip_field(stream, wireType);
    }
    VECTA_ASSERT(skipped);
}

} // namespace

void PropertyValue::set_string(std::uint32_t hash)
{
    VECTA_ASSERT(type == PropertyValueType::Invalid);
    type = PropertyValueType::StringValue;
    value.stringHash = hash;
}

void PropertyValue::set_float(float v)
{
    VECTA_ASSERT(type == PropertyValueType::Invalid);
    type = PropertyValueType::FloatValue;
    value.floatValue = v;
}

void PropertyValue::set_double(double v)
{
    VECTA_ASSERT(type == PropertyValueType::Invalid);
    type = PropertyValueType::DoubleValue;
    value.doubleValue = v;
}

void PropertyValue::set_int(std::int64_t v)
{
    VECTA_ASSERT(type == PropertyValueType::Invalid);
    type = PropertyValueType::IntValue;
    value.intValue = v;
}

void PropertyValue::set_uint(std::uint64_t v)
{
    VECTA_ASSERT(type == PropertyValueType::Invalid);
    type = PropertyValueType::UintValue;
    value.uintValue = v;
}

void PropertyValue::set_sint(std::int64_t v)
{
    VECTA_ASSERT(type == PropertyValueType::Invalid);
    type = PropertyValueType::SintValue;
    value.intValue = v;
}

void PropertyValue::set_bool(bool v)
{
    VECTA_ASSERT(type == PropertyValueType::Invalid);
    type = PropertyValueType::BoolValue;
    value.boolValue = v;
}

std::uint32_t PropertyValue::string_value() const
{
    VECTA_ASSERT(type == PropertyValueType::StringValue);
    return value.stringHash;
}

VectorTile::VectorTile(const char* tileData, unsigned int tileSize, MemoryArena* tileArena)
    : data(tileData), size(tileSize),
      arena(tileArena), stream{&readTileBytes, const_cast<char*>(tileData), tileSize, nullptr}
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
        const bool opened = pb_make_string_substream(&stream, &layerStream);
        VECTA_ASSERT(opened);
        Layer layer(layerStream);
        layer.arena = arena;
        const bool closed = pb_close_string_substream(&stream, &layerStream);
        VECTA_ASSERT(closed);
        return layer;
    }
    return Layer();
}

Layer::Layer(const pb_istream_t& layerStream) : tableStream(layerStream), featureStream(layerStream)
{
    pb_istream_t scan = layerStream;
    pb_wire_type_t wireType{};
    std::uint32_t field = 0;
    while (nextTag(&scan, wireType, field)) {
        switch (field) {
        case LayerName: {
            const bool read = readHashedString(&scan, nameHash);
            VECTA_ASSERT(read);
            break;
        }
        case LayerFeatures:
            ++featureCount;
            skipField(&scan, wireType);
            break;
        case LayerKeys:
            ++keys_size;
            skipField(&scan, wireType);
            break;
        case LayerValues:
            ++values_size;
            skipField(&scan, wireType);
            break;
        case LayerExtent: {
            const bool read = pb_decode_varint32(&scan, &extent);
            VECTA_ASSERT(read);
            break;
        }
        case LayerVersion: {
            const bool read = pb_decode_varint32(&scan, &version);
            VECTA_ASSERT(read);
            break;
        }
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
        const bool opened = pb_make_string_substream(&featureStream, &featureMessage);
        VECTA_ASSERT(opened);
        Feature feature(this, featureMessage);
        const bool closed = pb_close_string_substream(&featureStream, &featureMessage);
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
            const bool opened = pb_make_string_substream(&walk, &valueStream);
            VECTA_ASSERT(opened);
            const bool decoded = decodeValue(&valueStream, values[valueIndex]);
            const bool closed = pb_close_string_substream(&walk, &valueStream);
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
        bool eof = false;
        if (!pb_decode_tag(stream, &wireType, &field, &eof)) {
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
            if (wireType != PB_WT_VARINT || !pb_decode_varint(stream, &raw)) {
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

Feature::Feature(Layer* owner, const pb_istream_t& featureMessage) : layer(owner), stream(featureMessage)
{
    pb_istream_t scan = featureMessage;
    pb_wire_type_t wireType{};
    std::uint32_t field = 0;
    while (nextTag(&scan, wireType, field)) {
        switch (field) {
        case FeatureId: {
            const bool read = pb_decode_varint(&scan, &id);
            VECTA_ASSERT(read);
            hasId = true;
            break;
        }
        case FeatureTags: {
            pb_istream_t tagStream;
            const bool opened = pb_make_string_substream(&scan, &tagStream);
            VECTA_ASSERT(opened);
            tags = tagStream;
            tagsCursor = tagStream;
            std::uint32_t count = 0;
            std::uint32_t ignored = 0;
            while (tagStream.bytes_left > 0 && decodeVarint(&tagStream, ignored)) {
                ++count;
            }
            VECTA_ASSERT(tagStream.bytes_left == 0);
            VECTA_ASSERT(count % 2 == 0);
            tagCount = count / 2;
            const bool closed = pb_close_string_substream(&scan, &tagStream);
            VECTA_ASSERT(closed);
            break;
        }
        case FeatureType: {
            const bool read = pb_decode_varint32(&scan, &type);
            VECTA_ASSERT(read);
            break;
        }
        case FeatureGeometry: {
            pb_istream_t geometryStream;
            const bool opened = pb_make_string_substream(&scan, &geometryStream);
            if (!opened) {
                VECTA_ASSERT(false);
            }
            geometry = geometryStream;
            geometryCursor = geometryStream;
            const bool closed = pb_close_string_substream(&scan, &geometryStream);
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
