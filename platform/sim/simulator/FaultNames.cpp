// The names of the hardware faults and how a --fault is written, for both
// boards' runners.

#include <charconv>

#include "simulator/Faults.hpp"

namespace simulator {

namespace {

using devices::Fault;

// The tile in the middle of the pizza screen's first view.
constexpr std::uint32_t startTileX = 4327;
constexpr std::uint32_t startTileY = 2544;
constexpr std::uint32_t startTileZoom = 13;

struct FaultName {
    const char* name;
    Fault fault;
    bool tileBitFlip;
    std::uint32_t minValue; // 0: takes no value
    std::uint32_t maxValue;
};

constexpr FaultName names[] = {
    {"touch-silent", Fault::TouchSilent, false, 0, 0},
    {"touch-late", Fault::TouchLate, false, 1, 1000},
    {"touch-count", Fault::TouchCount, false, 5, 15},
    {"touch-outside", Fault::TouchOutside, false, 0, 0},
    {"touch-irq-stuck", Fault::TouchIrqStuck, false, 0, 0},
    {"vsync-late", Fault::VsyncLate, false, 1, 1000},
    {"gpu-init", Fault::GpuInit, false, 0, 0},
    {"gpu-stencil", Fault::GpuStencil, false, 0, 0},
    {"blitter-init", Fault::BlitterInit, false, 0, 0},
    {"blitter-layer", Fault::BlitterLayer, false, 0, 0},
    {"blitter-start", Fault::BlitterStart, false, 0, 0},
    {"gpu-pool", Fault::GpuPool, false, 0, 0},
    {"tile-bitflip", Fault::TouchSilent, true, 0, 0},
};

template <typename Number> bool parseNumber(const std::string& text, Number& number)
{
    const char* end = text.data() + text.size();
    const auto [at, error] = std::from_chars(text.data(), end, number);
    return !text.empty() && error == std::errc{} && at == end;
}

std::string parseTile(const std::string& text, FaultRequest& request)
{
    const std::size_t first = text.find('/');
    const std::size_t second = first == std::string::npos ? first : text.find('/', first + 1);
    if (second == std::string::npos || !parseNumber(text.substr(0, first), request.tileX) ||
        !parseNumber(text.substr(first + 1, second - first - 1), request.tileY) ||
        !parseNumber(text.substr(second + 1), request.tileZoom)) {
        return "the tile is X/Y/ZOOM";
    }
    return {};
}

} // namespace

std::string parseFaultWindow(const std::string& text, FaultRequest& request)
{
    const std::size_t dash = text.find('-');
    if (!parseNumber(text.substr(0, dash), request.fromMs) ||
        (dash != std::string::npos && !parseNumber(text.substr(dash + 1), request.untilMs)) ||
        request.untilMs <= request.fromMs) {
        return "the time is @FROM or @FROM-UNTIL in board milliseconds, UNTIL after FROM";
    }
    return {};
}

const char* const faultHelp =
    "a hardware fault, repeatable, from board time FROM ms (default 0) until before UNTIL: touch-silent (the touch "
    "chip "
    "holds the bus), touch-late=MS (answers MS 1..1000 late), touch-count=N (every third report claims N 5..15 "
    "points), touch-outside (every third report puts the first finger off the panel), touch-irq-stuck (the touch "
    "line stays low), vsync-late=MS (a refresh a second comes MS 1..1000 late), gpu-init and gpu-stencil (the "
    "GPU library cannot set up its ring buffer or stencil), gpu-pool (the GPU library's memory pools refuse "
    "every allocation), blitter-init, blitter-layer and blitter-start (the "
    "blitter refuses its output or a layer configuration, or to start a transfer), tile-bitflip[=X/Y/ZOOM] (a bit "
    "of that stored tile, by default the one in the middle of the first view, is flipped; no time)";

std::string parseFault(const std::string& text, FaultRequest& request)
{
    request = FaultRequest{};
    const std::size_t at = text.find('@');
    const std::string head = text.substr(0, at);
    const std::size_t equals = head.find('=');
    const std::string name = head.substr(0, equals);
    const FaultName* known = nullptr;
    for (const FaultName& candidate : names) {
        if (name == candidate.name) {
            known = &candidate;
        }
    }
    if (known == nullptr) {
        return "unknown fault '" + name + "'";
    }
    request.tileBitFlip = known->tileBitFlip;
    request.fault = known->fault;
    if (known->tileBitFlip) {
        if (at != std::string::npos) {
            return "tile-bitflip damages the flash before power-on: no @time";
        }
        request.tileX = startTileX;
        request.tileY = startTileY;
        request.tileZoom = startTileZoom;
        return equals == std::string::npos ? std::string{} : parseTile(head.substr(equals + 1), request);
    }
    if (known->minValue == 0 && equals != std::string::npos) {
        return name + " takes no value";
    }
    if (known->minValue != 0 && (equals == std::string::npos || !parseNumber(head.substr(equals + 1), request.value) ||
                                 request.value < known->minValue || request.value > known->maxValue)) {
        return name + " needs =" + std::to_string(known->minValue) + ".." + std::to_string(known->maxValue);
    }
    return at == std::string::npos ? std::string{} : parseFaultWindow(text.substr(at + 1), request);
}

} // namespace simulator
