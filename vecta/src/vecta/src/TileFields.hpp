#pragma once

#include <cstdint>

namespace vecta {

// Field numbers of the vector-tile messages that the reader handles.
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

constexpr std::uint32_t tileLayersField = 3;

} // namespace vecta
