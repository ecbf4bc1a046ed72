// Serial ports: configured by the firmware, never written.

#include "BoardState.hpp"

namespace bsp {

Status serialInit(SerialPort, std::uint32_t baud)
{
    return sim::board::detail::takeFailure(sim::board::Step::Serial) || baud == 0 ? Status::Error : Status::Ok;
}

} // namespace bsp
