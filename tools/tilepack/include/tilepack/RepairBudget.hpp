#pragma once

// Repairing a self-intersecting polygon costs time and memory that grow with
// the number of its self-crossings, which can reach the square of its vertex
// count (a star drawn in one stroke). The repair is allowed only while the
// crossings stay in proportion to the vertices; the count itself stops as
// soon as it is over budget, so it too stays in proportion to the input.

#include <vector>

#include "tilepack/WorldGeometry.hpp"

namespace tilepack {

struct RepairBudget {
    unsigned long vertices = 0;
    bool withinBudget = true;
};

// Counts crossings between non-neighbouring edges of all rings of the
// polygon components, up to a bound in proportion to the vertex count.
RepairBudget repairBudgetOf(const std::vector<std::vector<WorldPath>>& polygons);

} // namespace tilepack
