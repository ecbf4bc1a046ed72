#include "mvtsample/MvtEncoder.hpp"

#include <algorithm>
#include <cstring>

#include "vecta/TileFormat.hpp"

namespace mvt {

Proto& Proto::varint(std::uint64_t value)
{
    while (value >= 0x80) {
        data.push_back(static_cast<char>((value & 0x7F) | 0x80));
        value >>= 7;
    }
    data.push_back(static_cast<char>(value));
    return *this;
}

Proto& Proto::tag(std::uint32_t field, std::uint32_t wireType)
{
    return varint((std::uint64_t{field} << 3) | wireType);
}

Proto& Proto::varintField(std::uint32_t field, std::uint64_t value)
{
    return tag(field, 0).varint(value);
}

Proto& Proto::bytesField(std::uint32_t field, const std::string& value)
{
    tag(field, 2).varint(value.size());
    data += value;
    return *this;
}

Proto& Proto::packedField(std::uint32_t field, const std::vector<std::uint32_t>& values)
{
    Proto packed;
    for (const std::uint32_t value : values) {
        packed.varint(value);
    }
    return bytesField(field, packed.bytes());
}

Proto& Proto::fixed32Field(std::uint32_t field, float value)
{
    tag(field, 5);
    char raw[4];
    std::memcpy(raw, &value, 4);
    data.append(raw, 4);
    return *this;
}

Proto& Proto::fixed64Field(std::uint32_t field, double value)
{
    tag(field, 1);
    char raw[8];
    std::memcpy(raw, &value, 8);
    data.append(raw, 8);
    return *this;
}

std::uint32_t command(std::uint32_t id, std::uint32_t count)
{
    return vecta::geometryCommand(id, count);
}

std::uint32_t zigZag(std::int32_t value)
{
    return (static_cast<std::uint32_t>(value) << 1) ^ static_cast<std::uint32_t>(value >> 31);
}

namespace {

struct Cursor {
    vecta::Point at{0, 0};

    void delta(std::vector<std::uint32_t>& out, vecta::Point to)
    {
        out.push_back(zigZag(to.x - at.x));
        out.push_back(zigZag(to.y - at.y));
        at = to;
    }
};

std::vector<std::uint32_t> pathsGeometry(const std::vector<Path>& paths, bool closed)
{
    std::vector<std::uint32_t> out;
    Cursor cursor;
    for (const Path& path : paths) {
        out.push_back(command(vecta::MoveToCommand, 1));
        cursor.delta(out, path.front());
        out.push_back(command(vecta::LineToCommand, static_cast<std::uint32_t>(path.size() - 1)));
        for (std::size_t i = 1; i < path.size(); ++i) {
            cursor.delta(out, path[i]);
        }
        if (closed) {
            out.push_back(command(vecta::ClosePathCommand, 1));
        }
    }
    return out;
}

} // namespace

std::vector<std::uint32_t> lineGeometry(const std::vector<Path>& parts)
{
    return pathsGeometry(parts, false);
}

std::vector<std::uint32_t> polygonGeometry(const std::vector<Path>& rings)
{
    return pathsGeometry(rings, true);
}

std::vector<std::uint32_t> pointGeometry(const Path& points)
{
    std::vector<std::uint32_t> out{command(vecta::MoveToCommand, static_cast<std::uint32_t>(points.size()))};
    Cursor cursor;
    for (const vecta::Point point : points) {
        cursor.delta(out, point);
    }
    return out;
}

std::uint32_t LayerBuilder::indexOf(std::vector<std::string>& table, const std::string& text)
{
    const auto found = std::find(table.begin(), table.end(), text);
    if (found != table.end()) {
        return static_cast<std::uint32_t>(found - table.begin());
    }
    table.push_back(text);
    return static_cast<std::uint32_t>(table.size() - 1);
}

LayerBuilder& LayerBuilder::add(const FeatureSpec& feature)
{
    Proto message;
    if (feature.hasId) {
        message.varintField(vecta::FeatureId, feature.id);
    }
    if (!feature.properties.empty()) {
        std::vector<std::uint32_t> tags;
        for (const auto& [key, value] : feature.properties) {
            tags.push_back(indexOf(keys, key));
            tags.push_back(indexOf(values, value));
        }
        message.packedField(vecta::FeatureTags, tags);
    }
    message.varintField(vecta::FeatureType, feature.type);
    message.packedField(vecta::FeatureGeometry, feature.geometry);
    features.push_back(message.bytes());
    return *this;
}

LayerBuilder& LayerBuilder::line(const std::vector<Path>& parts, const Properties& properties)
{
    return add(FeatureSpec{2, lineGeometry(parts), properties});
}

LayerBuilder& LayerBuilder::polygon(const std::vector<Path>& rings, const Properties& properties)
{
    return add(FeatureSpec{3, polygonGeometry(rings), properties});
}

std::string LayerBuilder::encode() const
{
    Proto layer;
    layer.varintField(vecta::LayerVersion, 2).bytesField(vecta::LayerName, name);
    for (const std::string& feature : features) {
        layer.bytesField(vecta::LayerFeatures, feature);
    }
    for (const std::string& key : keys) {
        layer.bytesField(vecta::LayerKeys, key);
    }
    for (const std::string& value : values) {
        layer.bytesField(vecta::LayerValues, Proto().bytesField(vecta::ValueString, value).bytes());
    }
    layer.varintField(vecta::LayerExtent, 4096);
    return layer.bytes();
}

TileBuilder& TileBuilder::layer(const LayerBuilder& builder)
{
    return rawLayer(builder.encode());
}

TileBuilder& TileBuilder::rawLayer(const std::string& layerMessage)
{
    tile.bytesField(vecta::tileLayersField, layerMessage);
    return *this;
}

} // namespace mvt
