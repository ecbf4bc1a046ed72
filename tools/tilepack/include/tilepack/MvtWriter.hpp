#pragma once

// Encodes one vector tile (version 2, extent 4096, string properties).

#include <cstdint>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "tilepack/SourceMapping.hpp"
#include "tilepack/TileGeometry.hpp"

namespace tilepack {

// Distinct property values per layer that the firmware's reader takes.
constexpr std::size_t maxLayerValues = 510;

struct TileFeature {
    std::uint64_t id = 0;
    const Properties* properties = nullptr;
    TileShape geometry;
};

class MvtWriter {
public:
    void add(const std::string& layer, TileFeature feature);
    // Layers in alphabetical order. A tile without features still holds an
    // empty "water" layer, so that every stored tile has bytes. A layer with
    // more distinct property values than the reader takes keeps only
    // "class", the one property the firmware reads.
    std::string encode() const;
    // The properties `encode` leaves out, as "layer.key".
    std::set<std::string> droppedKeys() const;
    // Features per layer as `encode` writes them.
    std::map<std::string, unsigned int> featureCounts() const;

private:
    std::map<std::string, std::vector<TileFeature>> layers;
};

// The command integers of one feature's geometry.
std::vector<std::uint32_t> encodeGeometry(const TileShape& shape);

} // namespace tilepack
