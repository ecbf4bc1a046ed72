// The GPU library's pool allocator (shared with the simulator) asks whether
// an injected fault fails its set-up; the emulated board injects none.

#include "sim/BoardFaults.hpp"

namespace sim::board::detail {

bool stepFails(Fault, const char*)
{
    return false;
}

} // namespace sim::board::detail
