// Small collection images as tilepack lays them out: tables of the real
// ranges, a few real-sized tiles, and the checksum trailer.

#include "FuzzSeeds.hpp"
#include "mvtsample/SyntheticTile.hpp"
#include "tilepack/CollectionImage.hpp"

std::vector<std::string> fuzzSeeds()
{
    std::vector<std::string> seeds;
    tilepack::CollectionTiles tiles = tilepack::emptyCollection();
    seeds.emplace_back();
    for (std::size_t level = 0; level < tiles.size(); level += 5) {
        tiles[level][0] = mvt::makeSyntheticTile(static_cast<unsigned int>(level) + 1, 200);
        const std::vector<std::uint8_t> image = tilepack::layoutImage(tiles);
        seeds.back().assign(image.begin(), image.end());
        seeds.emplace_back();
    }
    seeds.pop_back();
    return seeds;
}
