#pragma once

#include <cstddef>
#include <cstdint>

#include <pb.h>

namespace vecta {

// The parts of one feature that the transcoder reads, found in place in the
// tile; the id and the tag pairs are not decoded here.
struct FeatureFields {
    const pb_byte_t* tags = nullptr;
    std::size_t tagsSize = 0;
    const pb_byte_t* geometry = nullptr;
    std::size_t geometrySize = 0;
    std::uint32_t type = 0;
};

// Reads the next feature of a layer's tile stream; false at the end of the
// layer, and when bytes do not decode, which also sets `damaged`.
bool nextFeatureFields(pb_istream_t* layer, FeatureFields& fields, bool& damaged);

} // namespace vecta
