#pragma once

#include <cstdint>
#include <span>

#include "emulated/HostProtocol.hpp"

namespace emulated {

// The RAM block the board shares with the runner, as the runner's bytes:
// board addresses from sharedRamBase on, as many as the span holds. Every
// address the board hands over is looked up here, so nothing it writes
// leads the runner outside the block.
class SharedBlock {
public:
    explicit SharedBlock(std::span<std::uint8_t> ram) : bytes(ram) {}

    // Null unless all `size` bytes from `address` lie in the block.
    std::uint8_t* at(std::uint64_t address, std::uint64_t size) const
    {
        if (address < sharedRamBase || address - sharedRamBase > bytes.size() ||
            size > bytes.size() - (address - sharedRamBase)) {
            return nullptr;
        }
        return bytes.data() + (address - sharedRamBase);
    }

    std::uint64_t size() const { return bytes.size(); }

private:
    std::span<std::uint8_t> bytes;
};

} // namespace emulated
