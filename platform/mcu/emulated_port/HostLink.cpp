#include "HostLink.hpp"

#include <cstring>

#include "FrameCost.hpp"
#include "mcu/Console.hpp"
#include "mcu/InterruptsHeld.hpp"
#include "mcu/Semihosting.hpp"

namespace {

constexpr std::uint32_t modeWriteBinary = 5;
constexpr std::uint32_t modeReadBinary = 1;

int requests = -1;
int replies = -1;

int openHostFile(const char* name, std::uint32_t mode)
{
    const std::uint32_t block[3] = {reinterpret_cast<std::uintptr_t>(name), mode,
                                    static_cast<std::uint32_t>(std::strlen(name))};
    return static_cast<int>(mcu::semihostingCall(mcu::semihosting::open, reinterpret_cast<std::uintptr_t>(block)));
}

// Both calls return the bytes not transferred; a pipe may deliver a reply
// in pieces.
bool transfer(std::uint32_t operation, int file, void* data, std::uint32_t size)
{
    auto* bytes = static_cast<std::uint8_t*>(data);
    while (size > 0) {
        const std::uint32_t block[3] = {static_cast<std::uint32_t>(file), reinterpret_cast<std::uintptr_t>(bytes),
                                        size};
        const std::uint32_t left = mcu::semihostingCall(operation, reinterpret_cast<std::uintptr_t>(block));
        if (left >= size) {
            return false;
        }
        bytes += size - left;
        size = left;
    }
    return true;
}

[[noreturn]] void hostLost()
{
    mcu::consoleWrite("emulated board: the host runner does not answer\n");
    mcu::stop(false);
}

} // namespace

namespace emulated {

void connectHost()
{
    requests = openHostFile("requests", modeWriteBinary);
    replies = openHostFile("replies", modeReadBinary);
    if (requests < 0 || replies < 0) {
        hostLost();
    }
}

ReplyRecord ask(Request kind, std::initializer_list<std::uint32_t> words)
{
    mcu::InterruptsHeld held;
    const LeftOutWork linking(LeftOut::Emulation);
    RequestRecord request{kind, {}};
    std::uint32_t* word = request.words;
    for (const std::uint32_t value : words) {
        *word++ = value;
    }
    ReplyRecord reply{};
    if (!transfer(mcu::semihosting::write, requests, &request, sizeof request) ||
        !transfer(mcu::semihosting::read, replies, &reply, sizeof reply)) {
        hostLost();
    }
    return reply;
}

} // namespace emulated
