#pragma once

// Which layer, properties and first zoom level each kind of source feature
// gets in the stored tiles.

#include <cstdint>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace tilepack {

using Properties = std::vector<std::pair<std::string, std::string>>;

struct LayerAssignment {
    std::string layer;
    Properties properties;     // "class" first when the feature has one
    std::uint8_t minZoom;      // stored from this zoom level on
    std::uint8_t maxZoom = 16; // up to this one
};

// A line of roads.geojson by its "highway" value (and "oneway").
std::optional<LayerAssignment> assignRoad(const std::string& highway, bool oneway);
// A polygon of areas.geojson by its "kind".
std::optional<LayerAssignment> assignArea(const std::string& kind);
// A feature of water.geojson by its "layer".
std::optional<LayerAssignment> assignWater(const std::string& layer);
// A point of places.geojson.
std::optional<LayerAssignment> assignPlace(const std::string& type, const std::string& name);

// Every (layer, class) the mapping can produce with its first zoom level,
// "default" standing for features without a class.
struct StoredClass {
    std::string layer;
    std::string featureClass;
    std::uint8_t minZoom;
};
std::vector<StoredClass> storedClasses();

} // namespace tilepack
