#include "tilepack/SourceMapping.hpp"

#include <algorithm>
#include <array>
#include <string_view>

namespace tilepack {

namespace {

struct RoadClass {
    std::string_view highway;
    std::string_view featureClass;
    std::uint8_t minZoom;
};

// First zoom levels follow the style: a class is stored from the level where
// it is first drawn, or where real data would start to carry it.
constexpr std::array<RoadClass, 23> roadClasses{{
    {"motorway", "motorway", 6},
    {"trunk", "trunk", 6},
    {"primary", "primary", 6},
    {"secondary", "secondary", 6},
    {"tertiary", "tertiary", 6},
    {"motorway_link", "motorway_link", 10},
    {"trunk_link", "trunk_link", 10},
    {"primary_link", "primary", 6},
    {"secondary_link", "secondary", 6},
    {"tertiary_link", "tertiary", 6},
    {"construction", "construction", 14},
    {"residential", "street", 11},
    {"unclassified", "street", 11},
    {"living_street", "street", 11},
    {"road", "street", 11},
    {"pedestrian", "pedestrian", 12},
    {"service", "service", 14},
    {"track", "track", 14},
    {"footway", "path", 14},
    {"path", "path", 14},
    {"cycleway", "path", 14},
    {"steps", "path", 14},
    {"bridleway", "path", 14},
}};

struct AreaClass {
    std::string_view kind;
    std::string_view layer;
    std::string_view featureClass; // empty: no properties but the layer's own
    std::uint8_t minZoom;
};

constexpr std::array<AreaClass, 6> areaClasses{{
    {"water", "water", "", 6},
    {"park", "landuse", "park", 6},
    {"wood", "landuse", "wood", 7},
    {"grass", "landuse", "grass", 10},
    {"residential", "landuse", "residential", 10},
    {"building", "building", "", 15},
}};

struct PlaceType {
    std::string_view type;
    std::uint8_t minZoom;
};

constexpr std::array<PlaceType, 4> placeTypes{{{"city", 6}, {"town", 8}, {"village", 10}, {"suburb", 12}}};

constexpr std::uint8_t waterwayMinZoom = 8;

} // namespace

std::optional<LayerAssignment> assignRoad(const std::string& highway, bool oneway)
{
    const auto* found = std::find_if(roadClasses.begin(), roadClasses.end(),
                                     [&](const RoadClass& road) { return road.highway == highway; });
    if (found == roadClasses.end()) {
        return std::nullopt;
    }
    return LayerAssignment{"road",
                           {{"class", std::string(found->featureClass)},
                            {"type", highway},
                            {"structure", "none"},
                            {"oneway", oneway ? "true" : "false"}},
                           found->minZoom};
}

std::optional<LayerAssignment> assignArea(const std::string& kind)
{
    const auto* found =
        std::find_if(areaClasses.begin(), areaClasses.end(), [&](const AreaClass& area) { return area.kind == kind; });
    if (found == areaClasses.end()) {
        return std::nullopt;
    }
    LayerAssignment assignment{std::string(found->layer), {}, found->minZoom};
    if (!found->featureClass.empty()) {
        assignment.properties.emplace_back("class", found->featureClass);
    } else if (found->layer == "building") {
        assignment.properties.emplace_back("underground", "false");
    }
    return assignment;
}

std::optional<LayerAssignment> assignWater(const std::string& layer)
{
    if (layer == "water") {
        return LayerAssignment{"water", {}, 6};
    }
    if (layer == "waterway") {
        return LayerAssignment{"waterway", {{"class", "river"}}, waterwayMinZoom};
    }
    return std::nullopt;
}

std::optional<LayerAssignment> assignPlace(const std::string& type, const std::string& name)
{
    const auto* found =
        std::find_if(placeTypes.begin(), placeTypes.end(), [&](const PlaceType& place) { return place.type == type; });
    if (found == placeTypes.end()) {
        return std::nullopt;
    }
    return LayerAssignment{"place_label", {{"type", type}, {"name_en", name}}, found->minZoom};
}

std::vector<StoredClass> storedClasses()
{
    std::vector<StoredClass> classes;
    classes.reserve(roadClasses.size() + areaClasses.size() + 1 + placeTypes.size());
    for (const RoadClass& road : roadClasses) {
        classes.push_back({"road", std::string(road.featureClass), road.minZoom});
    }
    for (const AreaClass& area : areaClasses) {
        const std::string featureClass = area.featureClass.empty() ? "default" : std::string(area.featureClass);
        classes.push_back({std::string(area.layer), featureClass, area.minZoom});
    }
    classes.push_back({"waterway", "river", waterwayMinZoom});
    for (const PlaceType& place : placeTypes) {
        classes.push_back({"place_label", "default", place.minZoom});
    }
    return classes;
}

} // namespace tilepack
