// Serial ports: configured by the firmware, their output goes nowhere.

#include "BoardState.hpp"

namespace {

std::size_t discarded = 0;

} // namespace

namespace sim::board {

std::size_t serialBytesDiscarded()
{
    return discarded;
}

} // namespace sim::board

namespace sim::board::detail {

void resetSerial()
{
    discarded = 0;
}

} // namespace sim::board::detail

namespace bsp {

Status serialInit(SerialPort, std::uint32_t baud)
{
    return sim::board::detail::takeFailure(sim::board::Step::Serial) || baud == 0 ? Status::Error : Status::Ok;
}

void serialWrite(SerialPort, const char*, std::size_t size)
{
    discarded += size;
}

} // namespace bsp
