#include "BlitExecutor.hpp"

#include <cstring>

#include "device_models/BlitterEngine.hpp"

namespace emulated {

namespace {

// Board addresses in the shared block, as the runner's own pointers; keeps
// whether the engine looked for memory outside it.
class SharedMemory : public devices::blit::MemoryWindow {
public:
    explicit SharedMemory(SharedBlock ram) : block(ram) {}

    std::uint8_t* at(std::uint64_t address, std::uint64_t bytes) const override
    {
        std::uint8_t* found = block.at(address, bytes);
        outside = outside || found == nullptr;
        return found;
    }

    mutable bool outside = false;

private:
    SharedBlock block;
};

} // namespace

std::string BlitExecutor::run(const RequestRecord& request, ReplyRecord& reply) const
{
    reply = ReplyRecord{};
    const std::uint8_t* held = block.at(request.words[0], sizeof(devices::blit::Registers));
    if (held == nullptr) {
        return "the emulated board's blitter registers are not in the shared RAM";
    }
    devices::blit::Registers registers{};
    std::memcpy(&registers, held, sizeof registers);
    // The engine copies memory to memory in the output's format, its source
    // looked up in the foreground's: the two must agree.
    if (registers.output.mode == bsp::BlitterMode::MemoryToMemory &&
        registers.layers[1].colorMode != registers.output.colorMode) {
        return {};
    }
    const devices::blit::Job job{request.words[1], request.words[2], request.words[3],
                                 request.words[4], request.words[5], request.words[6]};
    // The engine goes through every line of a transfer without pixels.
    if (job.width == 0 || job.height == 0) {
        reply.words[0] = 1;
        return {};
    }
    // It adds a width and a line offset in 32 bits: lines that lie 4 GiB
    // apart or more would wrap onto each other, their area looked up as if
    // small, and the runner would fill each line again for billions of lines.
    for (const std::uint32_t lineOffset :
         {registers.output.lineOffset, registers.layers[0].lineOffset, registers.layers[1].lineOffset}) {
        if (std::uint64_t{job.width} + lineOffset > 0xFFFFFFFFu) {
            return "a blitter transfer of the emulated board reaches outside the shared RAM";
        }
    }
    const SharedMemory memory(block);
    devices::blit::TransferLoad load;
    if (devices::blit::runJob(registers, job, memory, load)) {
        reply.words[0] = 1;
        reply.words[1] = static_cast<std::uint32_t>(load.bytes);
    } else if (memory.outside) {
        return "a blitter transfer of the emulated board reaches outside the shared RAM";
    }
    return {};
}

} // namespace emulated
