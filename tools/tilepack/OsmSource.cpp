#include "tilepack/OsmSource.hpp"

#include <stdexcept>

// GCC 12 sees an overread in libosmium's inlined area builder that cannot
// happen (a false positive of its string-length tracking).
#if defined(__GNUC__) && !defined(__clang__)
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wstringop-overread"
#endif
#include <osmium/area/assembler.hpp>
#include <osmium/area/multipolygon_manager.hpp>
#include <osmium/handler.hpp>
#include <osmium/handler/node_locations_for_ways.hpp>
#include <osmium/index/map/flex_mem.hpp>
#include <osmium/io/any_input.hpp>
#include <osmium/relations/relations_manager.hpp>
#include <osmium/visitor.hpp>
#if defined(__GNUC__) && !defined(__clang__)
#pragma GCC diagnostic pop
#endif

#include "tilepack/Coastline.hpp"
#include "tilepack/CollectionTable.hpp"

namespace tilepack {

namespace {

// A problem of the input itself, passed on as it is.
class Refused : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

Tags tagsOf(const osmium::TagList& list)
{
    Tags tags;
    tags.reserve(list.size());
    for (const osmium::Tag& tag : list) {
        tags.emplace_back(tag.key(), tag.value());
    }
    return tags;
}

WorldPoint projected(const osmium::Location& location)
{
    return project(location.lon(), location.lat());
}

// Nodes missing from the extract (ways cut at its edge) are skipped.
WorldPath pathOf(const osmium::NodeRefList& nodes)
{
    WorldPath path;
    path.reserve(nodes.size());
    for (const osmium::NodeRef& node : nodes) {
        if (node.location().valid()) {
            path.push_back(projected(node.location()));
        }
    }
    return path;
}

void checkLocation(const osmium::Node& node)
{
    if (!node.location().valid()) {
        throw Refused("node " + std::to_string(node.id()) +
                      " has coordinates outside the world's (longitude -180..180, latitude -90..90)");
    }
}

bool isOneway(const Tags& tags)
{
    const std::string_view oneway = tagValue(tags, "oneway");
    return oneway == "yes" || oneway == "true" || oneway == "1" || oneway == "-1";
}

class Collector : public osmium::handler::Handler {
public:
    Collector(const TagMapping& rules, OsmData& out) : mapping(rules), data(out) {}

    void node(const osmium::Node& node)
    {
        checkLocation(node);
        ++nodes;
        if (node.tags().empty()) {
            return;
        }
        const std::vector<LayerAssignment> assignments = mapping.assign(tagsOf(node.tags()), OsmShape::Point);
        countSkipped(assignments.empty());
        for (const LayerAssignment& assignment : assignments) {
            add(assignment, WorldGeometry{Shape::Point, {{{projected(node.location())}}}});
        }
    }

    void way(const osmium::Way& way)
    {
        if (way.tags().empty()) {
            return;
        }
        const Tags tags = tagsOf(way.tags());
        WorldPath path = pathOf(way.nodes());
        if (tagValue(tags, "natural") == "coastline") {
            keepCoast(way, path);
        }
        const std::vector<LayerAssignment> assignments = mapping.assign(tags, OsmShape::Line);
        countSkipped(assignments.empty() && (!way.is_closed() || mapping.assign(tags, OsmShape::Area).empty()));
        if (path.size() < 2) {
            return;
        }
        for (const LayerAssignment& assignment : assignments) {
            if (assignment.layer == "road" && !tagValue(tags, "highway").empty()) {
                keepRoad(way, tags);
            }
            add(assignment, WorldGeometry{Shape::Line, {{path}}});
        }
    }

    void area(const osmium::Area& area)
    {
        const std::vector<LayerAssignment> assignments = mapping.assign(tagsOf(area.tags()), OsmShape::Area);
        if (assignments.empty()) {
            return;
        }
        const std::string name = std::string(area.from_way() ? "way " : "relation ") + std::to_string(area.orig_id());
        WorldGeometry geometry{Shape::Polygon, {}};
        for (const osmium::OuterRing& outer : area.outer_rings()) {
            std::vector<WorldPath> rings{pathOf(outer)};
            for (const osmium::InnerRing& inner : area.inner_rings(outer)) {
                rings.push_back(pathOf(inner));
            }
            geometry.components.push_back(std::move(rings));
        }
        if (geometry.empty()) {
            data.source.warnings.push_back(name + ": a broken area (its rings do not close), left out");
            return;
        }
        geometry = repairedPolygon(std::move(geometry), name, data.source.repaired, data.source.warnings);
        if (geometry.empty()) {
            return;
        }
        for (const LayerAssignment& assignment : assignments) {
            add(assignment, geometry);
        }
    }

    unsigned int nodeCount() const { return nodes; }
    const std::vector<CoastWay>& coast() const { return coastWays; }

private:
    void add(const LayerAssignment& assignment, const WorldGeometry& geometry)
    {
        SourceFeature feature;
        feature.layer = assignment.layer;
        feature.properties = assignment.properties;
        feature.minZoom = assignment.minZoom;
        feature.maxZoom = assignment.maxZoom;
        feature.geometry = geometry;
        feature.envelope = envelopeOf(geometry);
        feature.id = data.source.features.size() + 1;
        data.source.features.push_back(std::move(feature));
    }

    void countSkipped(bool skipped)
    {
        if (skipped) {
            ++data.source.skipped;
        }
    }

    void keepCoast(const osmium::Way& way, const WorldPath& path)
    {
        CoastWay coast{way.id(), {}, {}};
        for (const osmium::NodeRef& node : way.nodes()) {
            if (node.location().valid()) {
                coast.nodes.push_back(node.ref());
                coast.path.push_back(projected(node.location()));
            }
        }
        if (coast.path.size() == path.size() && path.size() >= 2) {
            coastWays.push_back(std::move(coast));
        } else {
            data.source.warnings.push_back("coastline way " + std::to_string(way.id()) +
                                           ": nodes missing from the extract, left out");
        }
    }

    void keepRoad(const osmium::Way& way, const Tags& tags)
    {
        RoadWay road{way.id(), {}, pathOf(way.nodes()), std::string(tagValue(tags, "highway")), isOneway(tags)};
        for (const osmium::NodeRef& node : way.nodes()) {
            road.nodes.push_back(node.ref());
        }
        data.roads.push_back(std::move(road));
    }

    const TagMapping& mapping;
    OsmData& data;
    unsigned int nodes = 0;
    std::vector<CoastWay> coastWays;
};

template <typename Work> auto reading(const std::filesystem::path& file, Work work)
{
    try {
        return work(osmium::io::File(file.string()));
    } catch (const Refused&) {
        throw;
    } catch (const std::exception& error) {
        throw std::runtime_error(file.string() + ": not a readable OpenStreetMap extract (" + error.what() + ")");
    }
}

bool anyWithin(const SourceData& data, const Envelope& box)
{
    for (const SourceFeature& feature : data.features) {
        if (feature.envelope.intersects(box)) {
            return true;
        }
    }
    return false;
}

} // namespace

GeoBox extractBox(const std::filesystem::path& file)
{
    return reading(file, [&](const osmium::io::File& input) {
        osmium::io::Reader header(input, osmium::osm_entity_bits::nothing);
        osmium::Box box = header.header().box();
        header.close();
        if (!box.valid()) {
            osmium::io::Reader nodes(input, osmium::osm_entity_bits::node);
            while (osmium::memory::Buffer buffer = nodes.read()) {
                for (const osmium::Node& node : buffer.select<osmium::Node>()) {
                    checkLocation(node);
                    box.extend(node.location());
                }
            }
            nodes.close();
        }
        if (!box.valid()) {
            throw Refused(file.string() + ": holds no map data");
        }
        return GeoBox{box.bottom_left().lon(), box.bottom_left().lat(), box.top_right().lon(), box.top_right().lat()};
    });
}

OsmData loadOsm(const std::filesystem::path& file, const TagMapping& mapping, const GeoBox& box,
                const ReadProgress& progress)
{
    OsmData data;
    const std::vector<CoastWay> coast = reading(file, [&](const osmium::io::File& input) {
        osmium::area::Assembler::config_type config;
        config.create_empty_areas = true; // how a broken area shows itself
        osmium::area::MultipolygonManager<osmium::area::Assembler> areas{config};
        osmium::relations::read_relations(input, areas);

        using Index = osmium::index::map::FlexMem<osmium::unsigned_object_id_type, osmium::Location>;
        Index index;
        osmium::handler::NodeLocationsForWays<Index> locations{index};
        locations.ignore_errors();
        Collector collector(mapping, data);
        osmium::io::Reader reader(input, osmium::io::read_meta::no);
        auto assembled = areas.handler([&](osmium::memory::Buffer&& buffer) { osmium::apply(buffer, collector); });
        while (osmium::memory::Buffer buffer = reader.read()) {
            osmium::apply(buffer, locations, collector, assembled);
            if (progress) {
                progress(reader.offset(), reader.file_size());
            }
        }
        assembled.flush(); // the areas still held back
        reader.close();
        if (collector.nodeCount() == 0) {
            throw Refused(file.string() + ": holds no map data");
        }
        return collector.coast();
    });
    const Envelope world = worldEnvelope(box);
    if (!coast.empty()) {
        Sea sea = seaWithin(coast, world);
        for (const std::string& problem : sea.problems) {
            data.source.warnings.push_back(problem + "; the sea is left out");
        }
        if (!sea.water.empty()) {
            data.seaFromCoastline = true;
            SourceFeature water;
            water.layer = "water";
            water.minZoom = firstZoom;
            water.envelope = envelopeOf(sea.water);
            water.geometry = std::move(sea.water);
            water.id = data.source.features.size() + 1;
            data.source.features.push_back(std::move(water));
        }
    }
    if (!anyWithin(data.source, world)) {
        throw Refused(file.string() + ": no map data the mapping keeps lies inside the box");
    }
    return data;
}

} // namespace tilepack
