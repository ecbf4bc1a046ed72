#include "tilepack/MvtWriter.hpp"

#include <set>
#include <string_view>

#include <protozero/pbf_writer.hpp>

#include "vecta/TileFormat.hpp"

namespace tilepack {

namespace {

enum : std::uint32_t { PointType = 1, LineType = 2, PolygonType = 3 };

std::uint32_t command(std::uint32_t id, std::size_t count)
{
    return vecta::geometryCommand(id, static_cast<std::uint32_t>(count));
}

std::uint32_t zigZag(std::int32_t value)
{
    return (static_cast<std::uint32_t>(value) << 1) ^ static_cast<std::uint32_t>(value >> 31);
}

class Cursor {
public:
    void moveTo(const vecta::Point& point, std::vector<std::uint32_t>& out)
    {
        out.push_back(zigZag(point.x - x));
        out.push_back(zigZag(point.y - y));
        x = point.x;
        y = point.y;
    }

private:
    std::int32_t x = 0;
    std::int32_t y = 0;
};

std::uint32_t indexOf(std::map<std::string, std::uint32_t>& table, const std::string& text)
{
    return table.try_emplace(text, static_cast<std::uint32_t>(table.size())).first->second;
}

// Entries of a table in index order.
std::vector<std::string> ordered(const std::map<std::string, std::uint32_t>& table)
{
    std::vector<std::string> texts(table.size());
    for (const auto& [text, index] : table) {
        texts[index] = text;
    }
    return texts;
}

std::uint32_t typeOf(Shape shape)
{
    switch (shape) {
    case Shape::Point:
        return PointType;
    case Shape::Line:
        return LineType;
    case Shape::Polygon:
        return PolygonType;
    }
    return 0;
}

// Whether the layer's distinct property values fit the reader's table.
bool valuesFit(const std::vector<TileFeature>& features)
{
    std::set<std::string_view> values;
    for (const TileFeature& feature : features) {
        if (feature.properties != nullptr) {
            for (const auto& property : *feature.properties) {
                values.insert(property.second);
            }
        }
    }
    return values.size() <= maxLayerValues;
}

std::string encodeLayer(const std::string& name, const std::vector<TileFeature>& features)
{
    // Too many values: only the one property the firmware reads is kept.
    const bool classOnly = !valuesFit(features);
    std::map<std::string, std::uint32_t> keys;
    std::map<std::string, std::uint32_t> values;
    std::string data;
    protozero::pbf_writer layer(data);
    layer.add_string(vecta::LayerName, name);
    for (const TileFeature& feature : features) {
        std::vector<std::uint32_t> tags;
        if (feature.properties != nullptr) {
            for (const auto& [key, value] : *feature.properties) {
                if (classOnly && key != "class") {
                    continue;
                }
                tags.push_back(indexOf(keys, key));
                tags.push_back(indexOf(values, value));
            }
        }
        const std::vector<std::uint32_t> geometry = encodeGeometry(feature.geometry);
        protozero::pbf_writer message(layer, vecta::LayerFeatures);
        message.add_uint64(vecta::FeatureId, feature.id);
        if (!tags.empty()) {
            message.add_packed_uint32(vecta::FeatureTags, tags.begin(), tags.end());
        }
        message.add_enum(vecta::FeatureType, static_cast<std::int32_t>(typeOf(feature.geometry.shape)));
        message.add_packed_uint32(vecta::FeatureGeometry, geometry.begin(), geometry.end());
    }
    for (const std::string& key : ordered(keys)) {
        layer.add_string(vecta::LayerKeys, key);
    }
    for (const std::string& value : ordered(values)) {
        protozero::pbf_writer message(layer, vecta::LayerValues);
        message.add_string(vecta::ValueString, value);
    }
    layer.add_uint32(vecta::LayerExtent, vecta::tileExtent);
    layer.add_uint32(vecta::LayerVersion, 2);
    return data;
}

} // namespace

std::vector<std::uint32_t> encodeGeometry(const TileShape& shape)
{
    std::vector<std::uint32_t> out;
    Cursor cursor;
    if (shape.shape == Shape::Point) {
        for (const TilePath& points : shape.parts) {
            out.push_back(command(vecta::MoveToCommand, points.size()));
            for (const vecta::Point& point : points) {
                cursor.moveTo(point, out);
            }
        }
        return out;
    }
    for (const TilePath& path : shape.parts) {
        out.push_back(command(vecta::MoveToCommand, 1));
        cursor.moveTo(path[0], out);
        out.push_back(command(vecta::LineToCommand, path.size() - 1));
        for (std::size_t i = 1; i < path.size(); ++i) {
            cursor.moveTo(path[i], out);
        }
        if (shape.shape == Shape::Polygon) {
            out.push_back(command(vecta::ClosePathCommand, 1));
        }
    }
    return out;
}

void MvtWriter::add(const std::string& layer, TileFeature feature)
{
    layers[layer].push_back(std::move(feature));
}

std::map<std::string, unsigned int> MvtWriter::featureCounts() const
{
    std::map<std::string, unsigned int> counts;
    if (layers.empty()) {
        counts["water"] = 0;
    }
    for (const auto& [name, features] : layers) {
        counts[name] = static_cast<unsigned int>(features.size());
    }
    return counts;
}

std::string MvtWriter::encode() const
{
    std::string data;
    protozero::pbf_writer tile(data);
    if (layers.empty()) {
        tile.add_message(vecta::tileLayersField, encodeLayer("water", {}));
    }
    for (const auto& [name, features] : layers) {
        tile.add_message(vecta::tileLayersField, encodeLayer(name, features));
    }
    return data;
}

std::set<std::string> MvtWriter::droppedKeys() const
{
    std::set<std::string> dropped;
    for (const auto& [name, features] : layers) {
        if (valuesFit(features)) {
            continue;
        }
        for (const TileFeature& feature : features) {
            if (feature.properties == nullptr) {
                continue;
            }
            for (const auto& property : *feature.properties) {
                if (property.first != "class") {
                    dropped.insert(name + "." + property.first);
                }
            }
        }
    }
    return dropped;
}

} // namespace tilepack
