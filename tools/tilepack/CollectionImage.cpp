#include "tilepack/CollectionImage.hpp"

#include <cstring>
#include <stdexcept>

#include <zlib.h>

#include "sim/ImageTrailer.hpp"

namespace tilepack {

namespace {

class ImageWriter {
public:
    std::uint32_t offset() const { return static_cast<std::uint32_t>(bytes.size()); }
    std::uint32_t address() const { return collectionBaseAddress + offset(); }

    void align() { bytes.resize((bytes.size() + 3) & ~std::size_t{3}, 0); }
    void put(std::uint32_t value)
    {
        for (int shift = 0; shift < 32; shift += 8) {
            bytes.push_back(static_cast<std::uint8_t>(value >> shift));
        }
    }
    void putAt(std::uint32_t at, std::uint32_t value)
    {
        for (int i = 0; i < 4; ++i) {
            bytes[at + i] = static_cast<std::uint8_t>(value >> (8 * i));
        }
    }
    void append(const std::string& data) { bytes.insert(bytes.end(), data.begin(), data.end()); }

    std::vector<std::uint8_t> bytes;
};

} // namespace

CollectionTiles emptyCollection(const CollectionLayout& layout)
{
    CollectionTiles tiles;
    for (std::size_t level = 0; level < layout.ranges.size(); ++level) {
        tiles[level].resize(layout.ranges[level].count());
    }
    return tiles;
}

std::vector<std::uint8_t> layoutImage(const CollectionTiles& tiles, const CollectionLayout& layout,
                                      const RegionRecord* region)
{
    ImageWriter image;
    for (std::size_t level = 0; level < layout.ranges.size(); ++level) {
        image.put(0); // batch addresses, filled in below
    }
    if (region != nullptr) {
        const auto* bytes = reinterpret_cast<const std::uint8_t*>(region);
        image.bytes.insert(image.bytes.end(), bytes, bytes + sizeof(RegionRecord));
    }
    for (std::size_t level = 0; level < layout.ranges.size(); ++level) {
        const ZoomRange& range = layout.ranges[level];
        const LevelTiles& payloads = tiles[level];
        if (payloads.size() != range.count()) {
            throw std::logic_error("tile list of zoom " + std::to_string(range.zoom) + " does not match its range");
        }
        image.align();
        image.putAt(static_cast<std::uint32_t>(level * 4), image.address());
        const std::uint32_t listOffset = image.offset() + 24;
        image.put(collectionBaseAddress + listOffset);
        image.put(range.count());
        image.put(range.minX);
        image.put(range.maxX);
        image.put(range.minY);
        image.put(range.maxY);
        for (std::uint32_t i = 0; i < range.count(); ++i) {
            image.put(0);
            image.put(0);
        }
        // Payloads in order of x, then y.
        for (std::uint32_t x = range.minX; x <= range.maxX; ++x) {
            for (std::uint32_t y = range.minY; y <= range.maxY; ++y) {
                const std::uint32_t index = range.indexOf(x, y);
                const std::string& payload = payloads[index];
                if (payload.empty()) {
                    continue;
                }
                image.align();
                image.putAt(listOffset + index * 8, image.address());
                image.putAt(listOffset + index * 8 + 4, static_cast<std::uint32_t>(payload.size()));
                image.append(payload);
            }
        }
    }
    image.align();
    if (image.bytes.size() + sim::imageTrailerBytes > 0xFFFFFFFFu - collectionBaseAddress) {
        throw std::runtime_error("the collection does not fit the flash address space");
    }
    const std::uint32_t covered = image.offset();
    const auto checksum = static_cast<std::uint32_t>(crc32_z(0, image.bytes.data(), image.bytes.size()));
    image.put(sim::imageTrailerTag);
    image.put(covered);
    image.put(checksum);
    return std::move(image.bytes);
}

} // namespace tilepack
