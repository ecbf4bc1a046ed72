#pragma once

// The vector-tile wire format as the reader, the transcoder, the builder's
// writer and the sample encoder all speak it: one place for its numbers.

#include <cstdint>

namespace vecta {

// The tile message's repeated layer field.
constexpr std::uint32_t tileLayersField = 3;

// Field numbers of the layer, feature and value messages.
enum LayerField : std::uint32_t {
    LayerName = 1,
    LayerFeatures = 2,
    LayerKeys = 3,
    LayerValues = 4,
    LayerExtent = 5,
    LayerVersion = 15,
};

enum FeatureField : std::uint32_t { FeatureId = 1, FeatureTags = 2, FeatureType = 3, FeatureGeometry = 4 };

// A value message holds one of these; they run from ValueString to ValueBool.
enum ValueField : std::uint32_t {
    ValueString = 1,
    ValueFloat = 2,
    ValueDouble = 3,
    ValueInt = 4,
    ValueUint = 5,
    ValueSint = 6,
    ValueBool = 7,
};

// A geometry is a run of commands: id in the low 3 bits, count above.
enum GeometryCommand : std::uint32_t { MoveToCommand = 1, LineToCommand = 2, ClosePathCommand = 7 };

constexpr std::uint32_t geometryCommand(std::uint32_t id, std::uint32_t count)
{
    return id | (count << 3);
}

} // namespace vecta
