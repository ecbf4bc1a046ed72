#!/usr/bin/env python3
"""Derives the pizza courier's route table from the road data.

The route runs along the shortest path of the street graph between the
restaurant and the customer, is simplified to keep its corners, then padded
to exactly 178 points so no two neighbours are more than 149 m apart. The
first three points and the last one are fixed. The road data ends just
south of the restaurant, so the route joins the nearest street that leads to
the customer in a straight line.

Regenerate with:
  python3 tools/pizzaroute/make_route.py ../shared/mapdata/roads.geojson \
      > gui/src/model/DirectionsData.cpp && clang-format -i gui/src/model/DirectionsData.cpp
"""
import heapq
import json
import math
import struct
import sys

POINT_COUNT = 178
FIXED_START = [(56.192020416259766, 10.180440902709961), (56.19148254394531, 10.180998802185059),
               (56.19136047363281, 10.180704116821289)]
FIXED_END = (56.16998291015625, 10.19033432006836)
MAX_SPACING_M = 149.0
SIMPLIFY_TOLERANCE_M = 1.5

# Streets a courier on a scooter may use; footways, steps, motorways and the
# untagged lines (railways, barriers, waterways) are left out.
COURIER_WAYS = {"residential", "tertiary", "tertiary_link", "secondary", "secondary_link", "primary",
                "primary_link", "unclassified", "living_street", "service", "road", "cycleway", "pedestrian"}


def f32(value):
    return struct.unpack("f", struct.pack("f", value))[0]


def metres(a, b):
    lat = math.radians((a[0] + b[0]) / 2)
    dy = (b[0] - a[0]) * 111195.0
    dx = (b[1] - a[1]) * 111195.0 * math.cos(lat)
    return math.hypot(dx, dy)


def load_graph(path):
    with open(path, encoding="utf-8") as source:
        features = json.load(source)["features"]
    graph = {}
    for feature in features:
        if feature["properties"].get("highway") not in COURIER_WAYS:
            continue
        points = [(lat, lon) for lon, lat in feature["geometry"]["coordinates"]]
        for a, b in zip(points, points[1:]):
            length = metres(a, b)
            graph.setdefault(a, []).append((b, length))
            graph.setdefault(b, []).append((a, length))
    if not graph:
        sys.exit("make_route: no courier streets in " + path)
    return graph


def nearest_node(nodes, point):
    return min(nodes, key=lambda node: metres(node, point))


def reachable(graph, start):
    seen = {start}
    stack = [start]
    while stack:
        for neighbour, _ in graph[stack.pop()]:
            if neighbour not in seen:
                seen.add(neighbour)
                stack.append(neighbour)
    return seen


def shortest_path(graph, start, goal):
    distance = {start: 0.0}
    previous = {}
    queue = [(0.0, start)]
    while queue:
        d, node = heapq.heappop(queue)
        if node == goal:
            break
        if d > distance[node]:
            continue
        for neighbour, length in graph[node]:
            candidate = d + length
            if candidate < distance.get(neighbour, math.inf):
                distance[neighbour] = candidate
                previous[neighbour] = node
                heapq.heappush(queue, (candidate, neighbour))
    if goal not in distance:
        sys.exit("make_route: the two ends are not connected by courier streets")
    path = [goal]
    while path[-1] != start:
        path.append(previous[path[-1]])
    return path[::-1]


def offset_from_chord(point, a, b):
    length = metres(a, b)
    if length == 0:
        return metres(point, a)
    # Cross-track distance on a local flat projection is plenty at street scale.
    scale = math.cos(math.radians(a[0]))
    ax, ay, bx, by = a[1] * scale, a[0], b[1] * scale, b[0]
    px, py = point[1] * scale, point[0]
    cross = abs((bx - ax) * (ay - py) - (ax - px) * (by - ay)) / math.hypot(bx - ax, by - ay)
    return cross * 111195.0


def simplify(points, tolerance):
    if len(points) < 3:
        return points
    worst, worst_index = 0.0, 0
    for i in range(1, len(points) - 1):
        offset = offset_from_chord(points[i], points[0], points[-1])
        if offset > worst:
            worst, worst_index = offset, i
    if worst <= tolerance:
        return [points[0], points[-1]]
    left = simplify(points[: worst_index + 1], tolerance)
    return left[:-1] + simplify(points[worst_index:], tolerance)


def drop_close_neighbours(points, minimum):
    kept = [points[0]]
    for point in points[1:-1]:
        if metres(kept[-1], point) >= minimum:
            kept.append(point)
    kept.append(points[-1])
    return kept


def pad_to(points, count):
    """Splits the longest segment in two until the route has count points."""
    points = list(points)
    while len(points) < count:
        longest = max(range(len(points) - 1), key=lambda i: metres(points[i], points[i + 1]))
        a, b = points[longest], points[longest + 1]
        points.insert(longest + 1, ((a[0] + b[0]) / 2, (a[1] + b[1]) / 2))
    return points


def build_route(graph):
    # Enter the street network at its nearest point that actually leads to the customer.
    exit_node = nearest_node(graph, FIXED_END)
    entry = nearest_node(reachable(graph, exit_node), FIXED_START[-1])
    street_part = [FIXED_START[-1]] + shortest_path(graph, entry, exit_node) + [FIXED_END]
    street_part = drop_close_neighbours(simplify(street_part, SIMPLIFY_TOLERANCE_M), 1.0)
    free_points = POINT_COUNT - len(FIXED_START) + 1
    if len(street_part) > free_points:
        sys.exit("make_route: simplified route has %d points, more than %d" % (len(street_part), free_points))
    route = FIXED_START[:-1] + pad_to(street_part, free_points)
    route = [(f32(lat), f32(lon)) for lat, lon in route]
    spacing = [metres(a, b) for a, b in zip(route, route[1:])]
    if len(route) != POINT_COUNT or max(spacing) > MAX_SPACING_M or min(spacing) < 0.5:
        sys.exit("make_route: spacing %.1f..%.1f m outside the courier's range" % (min(spacing), max(spacing)))
    return route, sum(spacing), min(spacing), max(spacing)


def main():
    if len(sys.argv) != 2:
        sys.exit("usage: make_route.py ROADS_GEOJSON > DirectionsData.cpp")
    route, length, shortest, longest = build_route(load_graph(sys.argv[1]))
    print("// Generated by tools/pizzaroute/make_route.py from the OpenStreetMap road data;")
    print("// (c) OpenStreetMap contributors. Do not edit: regenerate as that script says.")
    print("// %d points, %.0f m, neighbours %.1f m to %.1f m apart." % (len(route), length, shortest, longest))
    print('#include "model/DirectionsData.hpp"')
    print()
    print("const std::array<vecta::Coordinate, directionsPointCount> DirectionsData = {{")
    for lat, lon in route:
        print("    {%.9gf, %.9gf}," % (lat, lon))
    print("}};")


if __name__ == "__main__":
    main()
