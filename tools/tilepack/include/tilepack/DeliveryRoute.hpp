#pragma once

// The region record of an extract: the delivery route from the pizza shop to
// the customer's home along drivable roads, where the board starts and where
// the dogs start.

#include <optional>
#include <string>
#include <vector>

#include "tile_fetcher/region.h"
#include "tilepack/GeoBox.hpp"
#include "tilepack/OsmSource.hpp"

namespace tilepack {

struct LatLon {
    double latitude;
    double longitude;
};

// Reads "LAT,LON" for `option`; throws with one line when it is not that.
LatLon parseLatLon(const std::string& text, const char* option);

// Throws, naming `option`, when `point` lies outside `box`.
void checkInside(const GeoBox& box, LatLon point, const char* option);

// Whether ways of this highway class carry cars.
bool drivable(const std::string& highway);

// The shortest drivable way between the road nodes nearest `shop` and `home`
// (undirected: one-way tags are not followed), resampled to the record's
// points evenly along it. Without `shop`, the road node of the largest road
// network nearest the box's centre; without `home`, the node inside the box
// whose way from the shop comes nearest 3 km (lowest node id on a tie).
// Throws with one line on a point outside `box`, an extract without drivable
// roads in the box or shop and home without a drivable way between them.
RegionRecord regionRecordFor(const std::vector<RoadWay>& roads, const GeoBox& box, std::optional<LatLon> shop,
                             std::optional<LatLon> home);

// The inverse of `project`.
LatLon unproject(WorldPoint point);

// Metres along the earth's surface.
double metresBetween(LatLon a, LatLon b);

} // namespace tilepack
