#pragma once

namespace vecta {

// Bytes of one tile's segment buffer in the board's map cache. The tile
// builder and the tools size their checks by it, so they cannot drift from
// what the board holds.
constexpr unsigned int cacheSlotBytes = 71680;

} // namespace vecta
