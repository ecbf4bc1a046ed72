// Tiles of the built-in collection, from every zoom level and of every size
// (the largest included), so that layers and classes the style draws reach
// the geometry decoder; plus synthetic tiles of all geometry kinds.

#include <algorithm>
#include <cstdint>
#include <cstring>

#include "FuzzSeeds.hpp"
#include "mvtsample/SyntheticTile.hpp"
#include "platform/flash.h"
#include "sim/DefaultFlash.hpp"
#include "tile_fetcher/tilelib.h"

namespace {

constexpr std::size_t tilesPerLevel = 4;

std::uint32_t wordAt(const sim::FlashImageView& image, std::uint32_t address)
{
    std::uint32_t value = 0;
    std::memcpy(&value, image.bytes + (address - flashBaseAddress), sizeof value);
    return value;
}

} // namespace

std::vector<std::string> fuzzSeeds()
{
    std::vector<std::string> seeds;
    for (unsigned int seed = 1; seed <= 3; ++seed) {
        seeds.push_back(mvt::makeSyntheticTile(seed, std::size_t{600} * seed));
    }
    const sim::FlashImageView image = sim::defaultFlashImage();
    for (std::uint32_t level = 0; level < tilelib::zoomLevels; ++level) {
        const std::uint32_t batch = wordAt(image, flashBaseAddress + 4 * level);
        const std::uint32_t list = wordAt(image, batch);
        const std::uint32_t count = wordAt(image, batch + 4);
        std::vector<std::string> tiles;
        for (std::uint32_t i = 0; list != 0 && i < count; ++i) {
            const std::uint32_t size = wordAt(image, list + 8 * i + 4);
            if (size != 0) {
                const auto* bytes = image.bytes + (wordAt(image, list + 8 * i) - flashBaseAddress);
                tiles.emplace_back(reinterpret_cast<const char*>(bytes), size);
            }
        }
        // Spread over the sizes of the level, the largest last.
        std::sort(tiles.begin(), tiles.end(), [](const auto& a, const auto& b) { return a.size() < b.size(); });
        for (std::size_t i = 1; i <= tilesPerLevel && !tiles.empty(); ++i) {
            seeds.push_back(tiles[(tiles.size() - 1) * i / tilesPerLevel]);
        }
    }
    return seeds;
}
