#include "simulator/Faults.hpp"

#include <cstring>
#include <memory>

#include "sim/Flash.hpp"

namespace simulator {

namespace {

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
