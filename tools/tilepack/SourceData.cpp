#include "tilepack/SourceData.hpp"

#include <algorithm>
#include <cmath>
#include <fstream>
#include <functional>
#include <numbers>
#include <sstream>
#include <stdexcept>
#include <thread>

#include <nlohmann/json.hpp>

#include "tilepack/GeoBox.hpp"
#include "tilepack/Geos.hpp"
#include "tilepack/RepairBudget.hpp"

namespace tilepack {

namespace {

using nlohmann::json;

std::string propertyOf(const json& feature, const char* key)
{
    const json& properties = feature.at("properties");
    if (!properties.is_object()) {
        return {};
    }
    const auto found = properties.find(key);
    return found != properties.end() && found->is_string() ? found->get<std::string>() : std::string{};
}

WorldPath pathOf(const json& coordinates)
{
    WorldPath points;
    points.reserve(coordinates.size());
    for (const json& position : coordinates) {
        points.push_back(project(position.at(0).get<double>(), position.at(1).get<double>()));
    }
    return points;
}

std::vector<WorldPath> ringsOf(const json& polygon)
{
    std::vector<WorldPath> rings;
    for (const json& ring : polygon) {
        WorldPath path = pathOf(ring);
        if (path.size() >= 3) {
            rings.push_back(std::move(path));
        }
        if (rings.empty()) {
            break; // no shell, no polygon
        }
    }
    return rings;
}

void addLine(WorldGeometry& geometry, const json& line)
{
    WorldPath path = pathOf(line);
    if (path.size() >= 2) {
        geometry.components.push_back({std::move(path)});
    }
}

void addPolygon(WorldGeometry& geometry, const json& polygon)
{
    std::vector<WorldPath> rings = ringsOf(polygon);
    if (!rings.empty()) {
        geometry.components.push_back(std::move(rings));
    }
}

// Points, lines and polygons from one GeoJSON geometry; empty when it has no
// usable part.
WorldGeometry geometryOf(const json& geometry)
{
    const std::string type = geometry.at("type").get<std::string>();
    const json& coordinates = geometry.at("coordinates");
    WorldGeometry out;
    if (type == "Point") {
        out.shape = Shape::Point;
        out.components.push_back({{project(coordinates.at(0).get<double>(), coordinates.at(1).get<double>())}});
    } else if (type == "LineString") {
        out.shape = Shape::Line;
        addLine(out, coordinates);
    } else if (type == "MultiLineString") {
        out.shape = Shape::Line;
        for (const json& line : coordinates) {
            addLine(out, line);
        }
    } else if (type == "Polygon") {
        out.shape = Shape::Polygon;
        addPolygon(out, coordinates);
    } else if (type == "MultiPolygon") {
        out.shape = Shape::Polygon;
        for (const json& polygon : coordinates) {
            addPolygon(out, polygon);
        }
    } else {
        throw std::runtime_error("unsupported geometry type \"" + type + "\"");
    }
    return out;
}

using Assign = std::function<std::optional<LayerAssignment>(const json& feature)>;

struct FileResult {
    std::vector<SourceFeature> features;
    unsigned int skipped = 0;
    unsigned int repaired = 0;
    std::vector<std::string> warnings;
    std::string error;
};

// How a warning names a feature: its place in the file and its name, if any.
std::string describeFeature(const std::filesystem::path& path, std::size_t index, const json& feature)
{
    std::string text = path.filename().string() + " feature " + std::to_string(index);
    for (const char* key : {"name", "name_en"}) {
        if (const std::string name = propertyOf(feature, key); !name.empty()) {
            text += " \"" + name + "\"";
            break;
        }
    }
    return text;
}

FileResult readFeatures(std::istream& in, const std::filesystem::path& path, const Assign& assign)
{
    FileResult result;
    try {
        const json document = json::parse(in);
        const json& features = document.at("features");
        if (!features.is_array()) {
            throw std::runtime_error("\"features\" is not an array");
        }
        std::size_t index = 0;
        for (const json& feature : features) {
            ++index;
            std::optional<LayerAssignment> assignment = assign(feature);
            if (!assignment || feature.at("geometry").is_null()) {
                ++result.skipped;
                continue;
            }
            SourceFeature source;
            source.layer = std::move(assignment->layer);
            source.properties = std::move(assignment->properties);
            source.minZoom = assignment->minZoom;
            source.geometry = geometryOf(feature.at("geometry"));
            if (source.geometry.shape == Shape::Polygon && !source.geometry.empty()) {
                source.geometry = repairedPolygon(std::move(source.geometry), describeFeature(path, index, feature),
                                                  result.repaired, result.warnings);
            }
            if (source.geometry.empty()) {
                ++result.skipped;
                continue;
            }
            source.envelope = envelopeOf(source.geometry);
            result.features.push_back(std::move(source));
        }
    } catch (const std::exception& error) {
        result.error = path.string() + ": " + error.what();
    }
    return result;
}

FileResult readFile(const std::filesystem::path& path, const Assign& assign)
{
    std::ifstream in(path);
    if (!in) {
        FileResult result;
        result.error = path.string() + ": cannot be read";
        return result;
    }
    return readFeatures(in, path, assign);
}

// The four files and how their features are assigned to layers.
const std::vector<std::pair<std::string, Assign>>& sourceFiles()
{
    static const std::vector<std::pair<std::string, Assign>> files{
        {"water.geojson", [](const json& f) { return assignWater(propertyOf(f, "layer")); }},
        {"roads.geojson",
         [](const json& f) { return assignRoad(propertyOf(f, "highway"), propertyOf(f, "oneway") == "yes"); }},
        {"areas.geojson", [](const json& f) { return assignArea(propertyOf(f, "kind")); }},
        {"places.geojson", [](const json& f) { return assignPlace(propertyOf(f, "type"), propertyOf(f, "name_en")); }},
    };
    return files;
}

} // namespace

WorldGeometry repairedPolygon(WorldGeometry geometry, const std::string& name, unsigned int& repairs,
                              std::vector<std::string>& warnings)
{
    const GeometryPtr original = toGeos(geometry);
    if (GEOSisValid_r(geosContext(), original.get()) == 1) {
        return geometry;
    }
    const RepairBudget budget = repairBudgetOf(geometry.components);
    if (!budget.withinBudget) {
        warnings.push_back(name + ": left out, a polygon of " + std::to_string(budget.vertices) +
                           " edges crossing itself too often to repair");
        return WorldGeometry{Shape::Polygon, {}};
    }
    ++repairs;
    // Repair can leave lines or points beside the areas; only areas are kept.
    const GeometryPtr valid = checked(GEOSMakeValid_r(geosContext(), original.get()), "make valid");
    return fromGeos(valid.get(), Shape::Polygon);
}

WorldPoint project(double longitude, double latitude)
{
    const double clamped = std::clamp(latitude, -maxLatitude, maxLatitude) * std::numbers::pi / 180.0;
    const double x = (longitude + 180.0) / 360.0;
    const double y = (1.0 - std::log(std::tan(clamped) + 1.0 / std::cos(clamped)) / std::numbers::pi) / 2.0;
    return WorldPoint{x * worldSize, y * worldSize};
}

std::string readSourceText(std::size_t file, const std::string& text)
{
    const auto& [name, assign] = sourceFiles().at(file);
    std::istringstream in(text);
    return readFeatures(in, name, assign).error;
}

SourceData loadSourceData(const std::filesystem::path& directory)
{
    const std::vector<std::pair<std::string, Assign>>& files = sourceFiles();

    // The files are independent: two read at a time keep both cores busy.
    std::vector<FileResult> results(files.size());
    {
        std::vector<std::jthread> readers;
        for (std::size_t i = 0; i < files.size(); ++i) {
            readers.emplace_back([&, i] { results[i] = readFile(directory / files[i].first, files[i].second); });
            if (readers.size() == 2) {
                readers.clear();
            }
        }
    }

    SourceData data;
    for (FileResult& result : results) {
        if (!result.error.empty()) {
            throw std::runtime_error(result.error);
        }
        data.skipped += result.skipped;
        data.repaired += result.repaired;
        data.warnings.insert(data.warnings.end(), result.warnings.begin(), result.warnings.end());
        for (SourceFeature& feature : result.features) {
            feature.id = data.features.size() + 1;
            data.features.push_back(std::move(feature));
        }
    }
    return data;
}

} // namespace tilepack
