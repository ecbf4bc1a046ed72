// Answers arbitrary requests of the emulated board over a shared block of
// arbitrary bytes, as the runner does: nothing the image writes may crash
// the runner or lead it outside the block, which is an exact-size heap
// buffer here so that the sanitizer sees any step out of it. A run that
// ends well has run a frame, and its cost report is written.
//
// The input: a byte of settings (bit 0 keep a trace, bit 1 report costs in
// emulated time, bit 2 a picture of every frame), a byte of the number of
// requests (at most maxRequests), the requests, then the block's first
// bytes; the rest of the block is zero.

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <sstream>
#include <string>
#include <vector>

#include "BoardRequests.hpp"
#include "CostReport.hpp"
#include "HostLinkFuzz.hpp"

namespace {

constexpr std::size_t maxRequests = 32;

const std::vector<simulator::ScriptEvent>& script()
{
    static const std::vector<simulator::ScriptEvent> events =
        simulator::parseScript("5 press 400 240\n20 move 420 250\n30 key M\n40 key S\n50 release\n"
                               "60 watchdog-refresh off\n70 key Q\n",
                               "fuzz")
            .events;
    return events;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size < 2) {
        return 0;
    }
    const std::uint8_t flags = data[0];
    const std::size_t count = std::min<std::size_t>(data[1], maxRequests);
    data += 2;
    size -= 2;
    if (size < count * sizeof(emulated::RequestRecord)) {
        return 0;
    }
    static std::vector<std::uint8_t> bytes(hostlinkfuzz::blockBytes);
    const std::size_t contents = std::min(size - count * sizeof(emulated::RequestRecord), bytes.size());
    std::memcpy(bytes.data(), data + count * sizeof(emulated::RequestRecord), contents);
    std::memset(bytes.data() + contents, 0, bytes.size() - contents);

    emulated::RunSettings settings;
    settings.frames = 2;
    settings.reportCosts = (flags & hostlinkfuzz::reportCosts) != 0;
    settings.timeMode = settings.reportCosts ? emulated::TimeMode::Emulated : emulated::TimeMode::Board;
    settings.screenshotEvery = (flags & hostlinkfuzz::everyPicture) != 0 ? 1 : 0;
    settings.script = script();
    std::ostringstream trace;
    emulated::RunOutputs outputs;
    outputs.trace = (flags & hostlinkfuzz::keepTrace) != 0 ? &trace : nullptr;
    outputs.savePicture = [](const std::uint16_t* pixels, const std::string&) {
        // The frame's first and last pixels, where a frame partly outside
        // the block would show; the writer reads what lies between.
        const volatile std::uint16_t* frame = pixels;
        static_cast<void>(frame[0]);
        static_cast<void>(frame[hostlinkfuzz::panelPixels - 1]);
        return std::string();
    };
    emulated::RunOutcome outcome;
    emulated::BoardRequests requests(settings, emulated::SharedBlock(bytes), outputs, outcome);
    for (std::size_t i = 0; i < count && outcome.problem.empty() && !requests.done(); ++i) {
        emulated::RequestRecord request{};
        std::memcpy(&request, data + i * sizeof request, sizeof request);
        requests.answer(request);
    }
    if (requests.done() && outcome.problem.empty()) {
        if (outcome.frames == 0) {
            __builtin_trap();
        }
        if (settings.reportCosts) {
            emulated::costReport("fuzz", outcome, 0);
        }
    }
    return 0;
}
