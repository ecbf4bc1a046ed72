#pragma once

// Reads every written tile back with the firmware's own reader and
// transcoder, exactly as the board would. A tile the firmware cannot read
// stops at the firmware's assertion.

#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "board_config/BoardConfig.hpp"
#include "vecta/TileTranscoder.hpp"

namespace tilepack {

struct TileCheck {
    std::map<std::uint32_t, unsigned int> featuresPerLayer; // by layer name hash
    unsigned int slotBytes = 0;                             // segment buffer kept in a cache slot
    unsigned int slotSegments = 0;
    unsigned int wholeBytes = 0; // segment buffer with room for everything
    unsigned int wholeSegments = 0;

    bool overflowsSlot() const { return wholeSegments > slotSegments; }
};

class TileValidator {
public:
    TileValidator();
    TileCheck check(const std::string& tile, std::uint8_t zoom);

private:
    vecta::TileTranscoder transcoder;
    std::vector<std::uint32_t> slot;
    std::vector<std::uint32_t> whole;
};

} // namespace tilepack
