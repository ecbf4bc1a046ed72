#include "BlitExecutor.hpp"

#include <cstring>

#include "sim/BlitterEngine.hpp"

namespace emulated {

namespace {

// Board addresses in the shared block, as the runner's own pointers.
class SharedMemory : public sim::blit::MemoryWindow {
public:
    explicit SharedMemory(SharedBlock ram) : block(ram) {}

    std::uint8_t* at(std::uint64_t address, std::uint64_t bytes) const override { return block.at(address, bytes); }

private:
    SharedBlock block;
};

} // namespace

ReplyRecord BlitExecutor::run(const RequestRecord& request) const
{
    ReplyRecord reply{};
    const SharedMemory memory(block);
    const std::uint8_t* held = memory.at(request.words[0], sizeof(sim::blit::Registers));
    if (held == nullptr) {
        return reply;
    }
    sim::blit::Registers registers{};
    std::memcpy(&registers, held, sizeof registers);
    const sim::blit::Job job{request.words[1], request.words[2], request.words[3],
                             request.words[4], request.words[5], request.words[6]};
    sim::blit::TransferLoad load;
    if (sim::blit::runJob(registers, job, memory, load)) {
        reply.words[0] = 1;
        reply.words[1] = static_cast<std::uint32_t>(load.bytes);
    }
    return reply;
}

} // namespace emulated
