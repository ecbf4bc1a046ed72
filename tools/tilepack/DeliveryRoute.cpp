#include "tilepack/DeliveryRoute.hpp"

#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <functional>
#include <limits>
#include <numbers>
#include <queue>
#include <stdexcept>
#include <unordered_map>
#include <utility>

#include <zlib.h>

#include "tilepack/RegionLayout.hpp"

namespace tilepack {

namespace {

constexpr double earthRadius = 6371008.8;
constexpr double defaultRouteMetres = 3000.0;
// The pizza screen's start zoom (13) as the model's scale.
constexpr float startScale = 0.25f;

struct Edge {
    std::uint32_t to;
    double metres;
};

// The drivable road network: one vertex per road node, an edge per way
// segment in both directions.
struct RoadGraph {
    std::vector<std::int64_t> ids;
    std::vector<WorldPoint> points;
    std::vector<std::vector<Edge>> edges;

    LatLon at(std::uint32_t vertex) const { return unproject(points[vertex]); }
};

RoadGraph graphOf(const std::vector<RoadWay>& roads)
{
    RoadGraph graph;
    std::unordered_map<std::int64_t, std::uint32_t> index;
    const auto vertexOf = [&](std::int64_t id, WorldPoint point) {
        const auto [found, added] = index.try_emplace(id, static_cast<std::uint32_t>(graph.ids.size()));
        if (added) {
            graph.ids.push_back(id);
            graph.points.push_back(point);
            graph.edges.emplace_back();
        }
        return found->second;
    };
    for (const RoadWay& road : roads) {
        if (!drivable(road.highway) || road.nodes.size() != road.path.size()) {
            continue;
        }
        for (std::size_t i = 1; i < road.nodes.size(); ++i) {
            const std::uint32_t from = vertexOf(road.nodes[i - 1], road.path[i - 1]);
            const std::uint32_t to = vertexOf(road.nodes[i], road.path[i]);
            const double metres = metresBetween(graph.at(from), graph.at(to));
            graph.edges[from].push_back({to, metres});
            graph.edges[to].push_back({from, metres});
        }
    }
    return graph;
}

struct Paths {
    std::vector<double> metres;
    std::vector<std::uint32_t> previous;
};

Paths dijkstra(const RoadGraph& graph, std::uint32_t source)
{
    const auto none = std::numeric_limits<std::uint32_t>::max();
    Paths paths{std::vector<double>(graph.ids.size(), std::numeric_limits<double>::infinity()),
                std::vector<std::uint32_t>(graph.ids.size(), none)};
    using Entry = std::pair<double, std::uint32_t>;
    std::priority_queue<Entry, std::vector<Entry>, std::greater<>> queue;
    paths.metres[source] = 0.0;
    queue.emplace(0.0, source);
    while (!queue.empty()) {
        const auto [metres, vertex] = queue.top();
        queue.pop();
        if (metres > paths.metres[vertex]) {
            continue;
        }
        for (const Edge& edge : graph.edges[vertex]) {
            const double reached = metres + edge.metres;
            if (reached < paths.metres[edge.to]) {
                paths.metres[edge.to] = reached;
                paths.previous[edge.to] = vertex;
                queue.emplace(reached, edge.to);
            }
        }
    }
    return paths;
}

bool inside(const GeoBox& box, LatLon point)
{
    return point.longitude >= box.west && point.longitude <= box.east && point.latitude >= box.south &&
           point.latitude <= box.north;
}

// The vertex nearest `point` among those `eligible` allows (lowest id on a tie).
template <typename Eligible> std::uint32_t nearestVertex(const RoadGraph& graph, LatLon point, Eligible eligible)
{
    std::uint32_t best = std::numeric_limits<std::uint32_t>::max();
    double bestMetres = std::numeric_limits<double>::infinity();
    for (std::uint32_t vertex = 0; vertex < graph.ids.size(); ++vertex) {
        if (!eligible(vertex)) {
            continue;
        }
        const double metres = metresBetween(point, graph.at(vertex));
        if (metres < bestMetres || (metres == bestMetres && graph.ids[vertex] < graph.ids[best])) {
            best = vertex;
            bestMetres = metres;
        }
    }
    return best;
}

// Whether each vertex belongs to the largest connected network, where a
// default shop must lie for a 3 km way to exist.
std::vector<bool> largestNetwork(const RoadGraph& graph)
{
    const std::uint32_t unseen = std::numeric_limits<std::uint32_t>::max();
    std::vector<std::uint32_t> network(graph.ids.size(), unseen);
    std::vector<std::uint32_t> sizes;
    std::vector<std::uint32_t> stack;
    for (std::uint32_t start = 0; start < graph.ids.size(); ++start) {
        if (network[start] != unseen) {
            continue;
        }
        const auto number = static_cast<std::uint32_t>(sizes.size());
        sizes.push_back(0);
        network[start] = number;
        stack.push_back(start);
        while (!stack.empty()) {
            const std::uint32_t vertex = stack.back();
            stack.pop_back();
            ++sizes[number];
            for (const Edge& edge : graph.edges[vertex]) {
                if (network[edge.to] == unseen) {
                    network[edge.to] = number;
                    stack.push_back(edge.to);
                }
            }
        }
    }
    const auto largest = static_cast<std::uint32_t>(std::max_element(sizes.begin(), sizes.end()) - sizes.begin());
    std::vector<bool> inLargest(network.size());
    for (std::size_t i = 0; i < network.size(); ++i) {
        inLargest[i] = network[i] == largest;
    }
    return inLargest;
}

// `count` points evenly along `path`, its ends included.
std::vector<WorldPoint> resample(const std::vector<WorldPoint>& path, const std::vector<double>& along,
                                 std::size_t count)
{
    std::vector<WorldPoint> points;
    points.reserve(count);
    std::size_t segment = 1;
    for (std::size_t i = 0; i < count; ++i) {
        const double wanted = along.back() * static_cast<double>(i) / static_cast<double>(count - 1);
        while (segment + 1 < path.size() && along[segment] < wanted) {
            ++segment;
        }
        const double length = along[segment] - along[segment - 1];
        const double t = length > 0.0 ? std::clamp((wanted - along[segment - 1]) / length, 0.0, 1.0) : 0.0;
        const WorldPoint& a = path[segment - 1];
        const WorldPoint& b = path[segment];
        points.push_back({a.x + (b.x - a.x) * t, a.y + (b.y - a.y) * t});
    }
    return points;
}

vecta::Coordinate coordinateOf(LatLon point)
{
    return {static_cast<float>(point.latitude), static_cast<float>(point.longitude)};
}

} // namespace

void checkInside(const GeoBox& box, LatLon point, const char* option)
{
    if (!inside(box, point)) {
        throw std::runtime_error(std::string(option) + " " + std::to_string(point.latitude) + "," +
                                 std::to_string(point.longitude) + " lies outside the box " + describeBox(box));
    }
}

LatLon parseLatLon(const std::string& text, const char* option)
{
    std::array<double, 2> values{};
    const char* at = text.data();
    const char* const end = text.data() + text.size();
    for (std::size_t i = 0; i < values.size(); ++i) {
        const auto [next, error] = std::from_chars(at, end, values[i]);
        const char wanted = i == 0 ? ',' : '\0';
        if (error != std::errc{} || (i == 0 ? (next == end || *next != wanted) : next != end)) {
            throw std::runtime_error(std::string(option) + " \"" + text + "\" is not LAT,LON in degrees");
        }
        at = next + 1;
    }
    return {values[0], values[1]};
}

bool drivable(const std::string& highway)
{
    static const std::array<std::string_view, 15> classes{
        "motorway",     "motorway_link", "trunk",          "trunk_link", "primary",
        "primary_link", "secondary",     "secondary_link", "tertiary",   "tertiary_link",
        "unclassified", "residential",   "living_street",  "service",    "road"};
    return std::find(classes.begin(), classes.end(), highway) != classes.end();
}

LatLon unproject(WorldPoint point)
{
    const double longitude = point.x / worldSize * 360.0 - 180.0;
    const double latitude =
        std::atan(std::sinh(std::numbers::pi * (1.0 - 2.0 * point.y / worldSize))) * 180.0 / std::numbers::pi;
    return {latitude, longitude};
}

double metresBetween(LatLon a, LatLon b)
{
    const double toRadians = std::numbers::pi / 180.0;
    const double dLat = (b.latitude - a.latitude) * toRadians;
    const double dLon = (b.longitude - a.longitude) * toRadians;
    const double h = std::sin(dLat / 2) * std::sin(dLat / 2) + std::cos(a.latitude * toRadians) *
                                                                   std::cos(b.latitude * toRadians) *
                                                                   std::sin(dLon / 2) * std::sin(dLon / 2);
    return 2.0 * earthRadius * std::asin(std::min(1.0, std::sqrt(h)));
}

RegionRecord regionRecordFor(const std::vector<RoadWay>& roads, const GeoBox& box, std::optional<LatLon> shop,
                             std::optional<LatLon> home)
{
    if (shop) {
        checkInside(box, *shop, "--shop");
    }
    if (home) {
        checkInside(box, *home, "--home");
    }
    const RoadGraph graph = graphOf(roads);
    const auto inBox = [&](std::uint32_t vertex) { return inside(box, graph.at(vertex)); };
    bool anyInBox = false;
    for (std::uint32_t vertex = 0; vertex < graph.ids.size() && !anyInBox; ++vertex) {
        anyInBox = inBox(vertex);
    }
    if (!anyInBox) {
        throw std::runtime_error("no drivable road in the box " + describeBox(box));
    }
    const std::vector<bool> network = largestNetwork(graph);
    const LatLon centre{(box.south + box.north) / 2, (box.west + box.east) / 2};
    const std::uint32_t from =
        shop ? nearestVertex(graph, *shop, inBox)
             : nearestVertex(graph, centre, [&](std::uint32_t v) { return inBox(v) && network[v]; });
    const Paths paths = dijkstra(graph, from);
    std::uint32_t to = 0;
    if (home) {
        to = nearestVertex(graph, *home, inBox);
    } else {
        double bestGap = std::numeric_limits<double>::infinity();
        for (std::uint32_t vertex = 0; vertex < graph.ids.size(); ++vertex) {
            const double gap = std::abs(paths.metres[vertex] - defaultRouteMetres);
            if (inBox(vertex) && (gap < bestGap || (gap == bestGap && graph.ids[vertex] < graph.ids[to]))) {
                to = vertex;
                bestGap = gap;
            }
        }
    }
    if (!std::isfinite(paths.metres[to]) || to == from) {
        throw std::runtime_error("no drivable road leads from the shop (node " + std::to_string(graph.ids[from]) +
                                 ") to the home (node " + std::to_string(graph.ids[to]) + ")");
    }
    std::vector<WorldPoint> path;
    std::vector<double> along;
    for (std::uint32_t vertex = to; vertex != from; vertex = paths.previous[vertex]) {
        path.push_back(graph.points[vertex]);
    }
    path.push_back(graph.points[from]);
    std::reverse(path.begin(), path.end());
    along.push_back(0.0);
    for (std::size_t i = 1; i < path.size(); ++i) {
        along.push_back(along.back() + metresBetween(unproject(path[i - 1]), unproject(path[i])));
    }
    const std::vector<WorldPoint> points = resample(path, along, region::routePoints);

    RegionRecord record{};
    record.tag = region::tag;
    record.version = region::version;
    record.bytes = sizeof(RegionRecord);
    for (std::size_t i = 0; i < points.size(); ++i) {
        record.route[i] = coordinateOf(unproject(points[i]));
    }
    record.shop = record.route[0];
    record.home = record.route[region::routePoints - 1];
    // The customer's view, as the built-in start; the dogs half-way along.
    record.start = record.home;
    record.startScale = startScale;
    record.dogs = record.route[region::routePoints / 2];
    record.crc = static_cast<std::uint32_t>(
        crc32_z(0, reinterpret_cast<const Bytef*>(&record), sizeof(RegionRecord) - sizeof(record.crc)));
    return record;
}

} // namespace tilepack
