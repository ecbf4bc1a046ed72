// The external-memory port with its octal flash. The flash becomes readable
// only after the command sequence has put it into octal DTR mode and the
// port into memory-mapped mode.

#include "BoardState.hpp"
#include "sim/Flash.hpp"

namespace {

enum class FlashState : std::uint8_t { Off, PortReady, ResetEnabled, Resetting, Ready, OctalDtr, Mapped };

constexpr std::uint32_t resetRecoveryMs = 100;
constexpr std::uint32_t modeSwitchMs = 40;
constexpr std::uint8_t deviceSizeLog2 = 27;
constexpr std::uint32_t configRegister2Dummy = 0x300;
constexpr std::uint32_t configRegister2Mode = 0;
constexpr std::uint8_t octalDtrMode = 2;

struct Port {
    FlashState state = FlashState::Off;
    bool writeEnabled = false;
    bool dummyCyclesSet = false;
    std::uint64_t busyUntilMs = 0;
};

Port port;

bool busy()
{
    return sim::board::detail::boardTimeMs() < port.busyUntilMs;
}

} // namespace

namespace sim::board::detail {

void resetFlashPort()
{
    port = Port{};
    sim::setFlashMapped(false);
}

} // namespace sim::board::detail

namespace bsp {

using sim::board::Step;
using sim::board::detail::boardTimeMs;
using sim::board::detail::takeFailure;

Status flashPortInit(const FlashPortConfig& config)
{
    if (takeFailure(Step::FlashPort) || config.deviceSizeLog2 != deviceSizeLog2 || config.fifoThreshold == 0) {
        return Status::Error;
    }
    port = Port{};
    port.state = FlashState::PortReady;
    sim::setFlashMapped(false);
    return Status::Ok;
}

// A command the chip is not ready for fails, as a real transfer would time out.
Status flashCommand(FlashCommand command, std::uint32_t address, std::uint8_t value)
{
    if (port.state == FlashState::Off || port.state == FlashState::Mapped || busy()) {
        return Status::Error;
    }
    switch (command) {
    case FlashCommand::ResetEnable:
        port.state = FlashState::ResetEnabled;
        return Status::Ok;
    case FlashCommand::ResetMemory:
        if (port.state != FlashState::ResetEnabled) {
            return Status::Error;
        }
        port.state = FlashState::Ready;
        port.writeEnabled = false;
        port.busyUntilMs = boardTimeMs() + resetRecoveryMs;
        return Status::Ok;
    case FlashCommand::WriteEnable:
        if (port.state != FlashState::Ready) {
            return Status::Error;
        }
        port.writeEnabled = true;
        return Status::Ok;
    case FlashCommand::WriteConfigRegister2:
        if (port.state != FlashState::Ready || !port.writeEnabled) {
            return Status::Error;
        }
        port.writeEnabled = false;
        if (address == configRegister2Dummy) {
            port.dummyCyclesSet = true;
            return Status::Ok;
        }
        if (address == configRegister2Mode && value == octalDtrMode && port.dummyCyclesSet) {
            port.state = FlashState::OctalDtr;
            port.busyUntilMs = boardTimeMs() + modeSwitchMs;
            return Status::Ok;
        }
        return Status::Error;
    }
    return Status::Error;
}

Status flashEnableMemoryMapped()
{
    if (port.state != FlashState::OctalDtr || busy()) {
        return Status::Error;
    }
    port.state = FlashState::Mapped;
    sim::setFlashMapped(true);
    return Status::Ok;
}

} // namespace bsp
