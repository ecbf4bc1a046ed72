#include "simulator/Faults.hpp"

#include <charconv>
#include <cstring>
#include <memory>

#include "sim/Flash.hpp"

namespace simulator {

namespace {

using sim::board::Fault;

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

std::string parseWindow(const std::string& text, FaultRequest& request)
{
    const std::size_t dash = text.find('-');
    if (!parseNumber(text.substr(0, dash), request.fromMs) ||
        (dash != std::string::npos && !parseNumber(text.substr(dash + 1), request.untilMs)) ||
        request.untilMs <= request.fromMs) {
        return "the time is @FROM or @FROM-UNTIL in board milliseconds, UNTIL after FROM";
    }
    return {};
}

std::uint32_t readWord(const std::uint8_t* image, std::size_t offset)
{
    std::uint32_t word = 0;
    std::memcpy(&word, image + offset, sizeof word);
    return word;
}

// Where the tile's bytes lie in the image; false when it holds no such tile.
bool findTile(const std::uint8_t* image, std::size_t size, const FaultRequest& request, std::size_t& offset,
              std::size_t& length)
{
    constexpr std::uint32_t base = 0xA0000000u;
    constexpr std::uint32_t batchBytes = 24;
    if (request.tileZoom < 6 || request.tileZoom > 16 || size < 44) {
        return false;
    }
    const std::uint32_t batch = readWord(image, std::size_t{request.tileZoom - 6} * 4) - base;
    if (batch > size - batchBytes) {
        return false;
    }
    const std::uint32_t list = readWord(image, batch) - base;
    const std::uint32_t minX = readWord(image, batch + 8);
    const std::uint32_t maxX = readWord(image, batch + 12);
    const std::uint32_t minY = readWord(image, batch + 16);
    const std::uint32_t maxY = readWord(image, batch + 20);
    if (request.tileX < minX || request.tileX > maxX || request.tileY < minY || request.tileY > maxY) {
        return false;
    }
    const std::uint64_t entry =
        list + (std::uint64_t{request.tileX - minX} + std::uint64_t{request.tileY - minY} * (maxX - minX + 1)) * 8;
    if (entry > size - 8) {
        return false;
    }
    const std::uint32_t data = readWord(image, entry);
    length = readWord(image, entry + 4);
    offset = data - base;
    return data != 0 && length != 0 && offset <= size && length <= size - offset;
}

// Reads a varint at `at`; false when it runs past `end` or past 32 bits.
bool readVarint(const std::uint8_t* tile, std::size_t end, std::size_t& at, std::uint64_t& value)
{
    value = 0;
    for (int shift = 0; shift < 35 && at < end; shift += 7) {
        const std::uint8_t byte = tile[at++];
        value |= std::uint64_t{byte & 0x7Fu} << shift;
        if ((byte & 0x80u) == 0) {
            return true;
        }
    }
    return false;
}

// Flips the top bit of the last byte of the first layer's length: the
// length then takes in the next byte and runs far past the tile's end, a
// structural damage no reader can decode around (a flipped bit in a
// coordinate would still decode). Why that is impossible, or empty.
std::string damageTile(std::uint8_t* tile, std::size_t length)
{
    constexpr std::uint8_t layerTag = 3 << 3 | 2;
    if (length < 2 || tile[0] != layerTag) {
        return "the tile does not start with a layer";
    }
    std::size_t at = 1;
    std::uint64_t layerLength = 0;
    if (!readVarint(tile, length, at, layerLength) || layerLength > length - at) {
        return "the tile's first layer is already damaged";
    }
    tile[at - 1] ^= 0x80u;
    std::size_t damagedAt = 1;
    std::uint64_t damagedLength = 0;
    if (readVarint(tile, length, damagedAt, damagedLength) && damagedLength <= length - damagedAt) {
        tile[at - 1] ^= 0x80u;
        return "a flipped bit in the tile's first layer length still fits the tile";
    }
    return {};
}

} // namespace

const char* const faultHelp =
    "a hardware fault, repeatable, from board time FROM ms (default 0) until before UNTIL: touch-silent (the touch "
    "chip "
    "holds the bus), touch-late=MS (answers MS 1..1000 late), touch-count=N (every third report claims N 5..15 "
    "points), touch-outside (every third report puts the first finger off the panel), touch-irq-stuck (the touch "
    "line stays low), vsync-late=MS (a refresh a second comes MS 1..1000 late), gpu-init and gpu-stencil (the "
    "GPU library cannot set up its ring buffer or stencil), blitter-init, blitter-layer and blitter-start (the "
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
    return at == std::string::npos ? std::string{} : parseWindow(text.substr(at + 1), request);
}

std::string applyFaults(const std::vector<FaultRequest>& requests)
{
    sim::board::clearFaults();
    for (const FaultRequest& request : requests) {
        if (!request.tileBitFlip) {
            sim::board::injectFault(request.fault, request.value, request.fromMs, request.untilMs);
            continue;
        }
        std::size_t size = 0;
        const std::uint8_t* installed = sim::installedFlashImage(size);
        std::size_t offset = 0;
        std::size_t length = 0;
        if (installed == nullptr || !findTile(installed, size, request, offset, length)) {
            return "tile-bitflip: the collection holds no tile " + std::to_string(request.tileX) + "/" +
                   std::to_string(request.tileY) + "/" + std::to_string(request.tileZoom);
        }
        auto copy = std::make_unique<std::uint8_t[]>(size);
        std::memcpy(copy.get(), installed, size);
        if (const std::string refused = damageTile(copy.get() + offset, length); !refused.empty()) {
            return "tile-bitflip: " + refused;
        }
        sim::installFlashImage(copy.get(), size);
        // The flash reads it for the rest of the program.
        static std::unique_ptr<std::uint8_t[]> damaged;
        damaged = std::move(copy);
    }
    return {};
}

} // namespace simulator
