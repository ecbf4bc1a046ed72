#pragma once

// The collection's tiles as an MBTiles file (SQLite), for GIS tools: the
// tiles exactly as the image stores them, raw vector tiles without gzip,
// rows in TMS order (y counted from the south).

#include <filesystem>
#include <map>
#include <set>
#include <string>

#include "tilepack/CollectionBuilder.hpp"
#include "tilepack/GeoBox.hpp"

namespace tilepack {

struct VectorLayer {
    std::set<std::string> fields;
    std::uint8_t minZoom = lastZoom;
};
using VectorLayers = std::map<std::string, VectorLayer>;

// The layers the source data fills and the property keys they carry.
VectorLayers vectorLayersOf(const SourceData& data);

struct MbtilesInfo {
    std::string name;
    std::string attribution;
    GeoBox bounds;
    VectorLayers layers;
};

// Writes next to `out` and renames it over `out`: the file is complete or
// absent. Throws with SQLite's reason on failure.
void writeMbtiles(const std::filesystem::path& out, const BuiltCollection& collection, const CollectionLayout& layout,
                  const MbtilesInfo& info);

} // namespace tilepack
