#pragma once

#include "SharedBlock.hpp"
#include "emulated/HostProtocol.hpp"

namespace emulated {

// The emulated board's blitter: does the transfers its port hands over
// (Request::BlitRun) with the simulator's blitter engine, on the shared RAM
// block, in no emulated time.
class BlitExecutor {
public:
    explicit BlitExecutor(SharedBlock ram) : block(ram) {}

    ReplyRecord run(const RequestRecord& request) const;

private:
    SharedBlock block;
};

} // namespace emulated
