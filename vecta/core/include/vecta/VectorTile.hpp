#pragma once

#include <cstdint>

#include <pb_decode.h>

#include "vecta/MemoryArena.hpp"
#include "vecta/TileFormat.hpp"

namespace vecta {

enum class PropertyValueType : std::uint32_t {
    Invalid = 0,
    StringValue = ValueString,
    FloatValue = ValueFloat,
    DoubleValue = ValueDouble,
    IntValue = ValueInt,
    UintValue = ValueUint,
    SintValue = ValueSint,
    BoolValue = ValueBool,
};

// One decoded Value message. Strings are kept as their hash only.
struct PropertyValue {
    PropertyValueType type = PropertyValueType::Invalid;
    union {
        std::uint32_t stringHash;
        float floatValue;
        double doubleValue;
        std::int64_t intValue;
        std::uint64_t uintValue;
        bool boolValue;
    } value{};

    void set_string(std::uint32_t hash);
    void set_float(float v);
    void set_double(double v);
    void set_int(std::int64_t v);
    void set_uint(std::uint64_t v);
    void set_sint(std::int64_t v);
    void set_bool(bool v);

    std::uint32_t string_value() const;

private:
    void claim(PropertyValueType decoded);
};
static_assert(sizeof(PropertyValue) == 16);

// A feature's property: its value and the key's hash. All zero marks the end.
struct Property {
    PropertyValue value;
    std::uint32_t keyHash = 0;

    bool isEnd() const { return value.type == PropertyValueType::Invalid; }
};

class Feature;

// A layer of the tile. Bytes that do not decode end what is read from them
// and mark the layer damaged: a damaged scan leaves no features, damaged or
// oversized tables leave no properties.
class Layer {
public:
    Layer() = default; // the end-of-tile layer
    explicit Layer(const pb_istream_t& layerStream);

    bool isValid() const { return tableStream.callback != nullptr; }
    Feature nextFeature();
    // Reads the key and value tables into the arena, once. False when they
    // are damaged or do not fit, which leaves the layer without tables.
    bool initializeTable();
    // False when the value does not decode or sets more than one value.
    static bool decodeValue(pb_istream_t* stream, PropertyValue& value);

    std::uint32_t nameHash = 0;
    std::uint32_t version = 1;
    std::uint32_t extent = 4096;
    pb_istream_t tableStream{};
    pb_istream_t featureStream{};
    MemoryArena* arena = nullptr;
    std::uint32_t* keys = nullptr;
    PropertyValue* values = nullptr;
    std::uint16_t keys_size = 0;
    std::uint16_t values_size = 0;
    std::uint32_t featureCount = 0;
    bool tablesRead = false;
    bool damaged = false;
};

class Feature {
public:
    Feature() = default; // the end-of-layer feature
    // A feature whose fields do not decode is damaged: what did not decode
    // reads as absent.
    Feature(Layer* owner, const pb_istream_t& featureMessage);

    bool isValid() const { return geometry.callback != nullptr; }
    // Next geometry integer. At the end of the geometry returns true and
    // leaves `out` as it was; false only when a varint does not decode.
    bool nextValue(std::uint32_t& out);
    Property nextProperty();
    bool hasTags() const { return tagCount != 0; }

    std::uint32_t tagCount = 0;
    Layer* layer = nullptr;
    bool hasId = false;
    std::uint64_t id = 0;
    std::uint32_t type = 0;
    pb_istream_t stream{};
    pb_istream_t geometry{};
    pb_istream_t geometryCursor{};
    pb_istream_t tags{};
    pb_istream_t tagsCursor{};
    bool damaged = false;
};

// Walks one encoded vector tile in place; nothing is copied. A layer that
// runs past the tile, or bytes between layers that do not decode, end the
// walk and mark the tile damaged.
class VectorTile {
public:
    VectorTile(const char* data, unsigned int size, MemoryArena* arena);

    Layer nextLayer();

    bool damaged = false;

private:
    const char* data;
    unsigned int size;
    MemoryArena* arena;
    pb_istream_t stream;
};

} // namespace vecta
