#pragma once

// The map source data, read from GeoJSON, assigned to layers and projected to
// world units: Web Mercator scaled so that one unit is one tile unit at zoom
// 16 (2^28 units around the world), y growing southward like tile units.

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include "tilepack/SourceMapping.hpp"
#include "tilepack/WorldGeometry.hpp"

namespace tilepack {

constexpr double worldSize = 268435456.0; // 2^16 tiles x 4096 units

WorldPoint project(double longitude, double latitude);

struct SourceFeature {
    std::string layer;
    Properties properties;
    std::uint8_t minZoom = 0;
    std::uint8_t maxZoom = 16;
    std::uint64_t id = 0;
    WorldGeometry geometry;
    Envelope envelope;
};

struct SourceData {
    std::vector<SourceFeature> features;
    unsigned int skipped = 0;          // source features the mapping has no place for
    unsigned int repaired = 0;         // invalid polygons made valid
    std::vector<std::string> warnings; // features left out, each named
};

// Invalid polygons would make clipping fail later; they are repaired once,
// or left out (empty, with a warning naming `name`) when the repair would
// cost out of proportion.
WorldGeometry repairedPolygon(WorldGeometry geometry, const std::string& name, unsigned int& repairs,
                              std::vector<std::string>& warnings);

// Reads water, roads, areas and places from `directory`. Throws with a clear
// message when a file is missing or malformed.
SourceData loadSourceData(const std::filesystem::path& directory);

// Reads the text of one source file as loadSourceData would (file: 0 water,
// 1 roads, 2 areas, 3 places) and returns its error message, or an empty
// string; for fuzzing the reading of outside bytes.
std::string readSourceText(std::size_t file, const std::string& text);
constexpr std::size_t sourceFileCount = 4;

} // namespace tilepack
