#pragma once

#include <cstdint>

#include "emulated/HostProtocol.hpp"

namespace emulated {

// The emulated board's blitter: does the transfers its port hands over
// (Request::BlitRun) with the simulator's blitter engine, on the shared RAM
// block, in no emulated time.
class BlitExecutor {
public:
    explicit BlitExecutor(std::uint8_t* sharedRam) : ram(sharedRam) {}

    ReplyRecord run(const RequestRecord& request) const;

private:
    std::uint8_t* ram;
};

} // namespace emulated
