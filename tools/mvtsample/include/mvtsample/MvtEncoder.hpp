#pragma once

// A small vector-tile encoder for tests: well-formed tiles through
// TileBuilder, and raw protobuf pieces for the malformed ones.

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "vecta/Geometry.hpp"

namespace mvt {

// Raw protobuf wire writing.
class Proto {
public:
    Proto& varint(std::uint64_t value);
    Proto& tag(std::uint32_t field, std::uint32_t wireType);
    Proto& varintField(std::uint32_t field, std::uint64_t value);
    Proto& bytesField(std::uint32_t field, const std::string& value);
    Proto& packedField(std::uint32_t field, const std::vector<std::uint32_t>& values);
    Proto& fixed32Field(std::uint32_t field, float value);
    Proto& fixed64Field(std::uint32_t field, double value);

    const std::string& bytes() const { return data; }

private:
    std::string data;
};

std::uint32_t command(std::uint32_t id, std::uint32_t count);
std::uint32_t zigZag(std::int32_t value);

using Path = std::vector<vecta::Point>;

// Command integers for line parts / polygon rings (rings without their
// repeated first point), with the cursor carried across them.
std::vector<std::uint32_t> lineGeometry(const std::vector<Path>& parts);
std::vector<std::uint32_t> polygonGeometry(const std::vector<Path>& rings);
std::vector<std::uint32_t> pointGeometry(const Path& points);

using Properties = std::vector<std::pair<std::string, std::string>>;

struct FeatureSpec {
    std::uint32_t type = 0;
    std::vector<std::uint32_t> geometry;
    Properties properties;
    bool hasId = false;
    std::uint64_t id = 0;
};

// Builds a layer with string properties, sharing key and value tables.
class LayerBuilder {
public:
    explicit LayerBuilder(std::string layerName) : name(std::move(layerName)) {}

    LayerBuilder& add(const FeatureSpec& feature);
    LayerBuilder& line(const std::vector<Path>& parts, const Properties& properties = {});
    LayerBuilder& polygon(const std::vector<Path>& rings, const Properties& properties = {});
    std::string encode() const;

private:
    std::uint32_t indexOf(std::vector<std::string>& table, const std::string& text);

    std::string name;
    std::vector<std::string> keys;
    std::vector<std::string> values;
    std::vector<std::string> features;
};

// Layers are written in the order they are added.
class TileBuilder {
public:
    TileBuilder& layer(const LayerBuilder& layer);
    TileBuilder& rawLayer(const std::string& layerMessage);
    const std::string& bytes() const { return tile.bytes(); }

private:
    Proto tile;
};

} // namespace mvt
