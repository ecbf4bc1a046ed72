#pragma once

#include <string>

#include "SharedBlock.hpp"
#include "emulated/HostProtocol.hpp"

namespace emulated {

// The emulated board's blitter: does the transfers its port hands over
// (Request::BlitRun) with the device models' blitter engine, on the shared RAM
// block, in no emulated time.
class BlitExecutor {
public:
    explicit BlitExecutor(SharedBlock ram) : block(ram) {}

    // Fills in the reply; empty, or why the transfer's registers or memory
    // lie outside the block. Registers the blitter refuses are answered as
    // a refused transfer, as the device would.
    std::string run(const RequestRecord& request, ReplyRecord& reply) const;

private:
    SharedBlock block;
};

} // namespace emulated
