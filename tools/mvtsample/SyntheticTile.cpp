#include "mvtsample/SyntheticTile.hpp"

#include <algorithm>
#include <random>

#include "mvtsample/MvtEncoder.hpp"

namespace mvt {

namespace {

class Shapes {
public:
    explicit Shapes(unsigned int seed) : random(seed) {}

    int coordinate() { return std::uniform_int_distribution<int>(-64, 4160)(random); }
    int step() { return std::uniform_int_distribution<int>(-300, 300)(random); }
    std::size_t pick(std::size_t count) { return std::uniform_int_distribution<std::size_t>(0, count - 1)(random); }

    Path walk(std::size_t points)
    {
        Path path{{coordinate(), coordinate()}};
        while (path.size() < points) {
            const vecta::Point last = path.back();
            path.push_back({std::clamp(last.x + step(), -64, 4160), std::clamp(last.y + step(), -64, 4160)});
        }
        return path;
    }

    // Clockwise square in tile coordinates (y down): an outer ring.
    static Path square(vecta::Point corner, int side)
    {
        return {corner, {corner.x + side, corner.y}, {corner.x + side, corner.y + side}, {corner.x, corner.y + side}};
    }

    static Path reversed(Path ring)
    {
        std::reverse(ring.begin() + 1, ring.end());
        return ring;
    }

    // An outer ring with a grid of holes.
    std::vector<Path> polygonWithHoles(int holes)
    {
        const vecta::Point corner{std::clamp(coordinate(), 0, 3000), std::clamp(coordinate(), 0, 3000)};
        const int side = 400 + static_cast<int>(pick(600));
        std::vector<Path> rings{square(corner, side)};
        const int cell = side / (holes + 1);
        for (int i = 0; i < holes; ++i) {
            const vecta::Point holeCorner{corner.x + cell * i + cell / 2, corner.y + side / 3};
            rings.push_back(reversed(square(holeCorner, std::max(cell / 3, 40))));
        }
        return rings;
    }

private:
    std::mt19937 random;
};

} // namespace

std::string makeSyntheticTile(unsigned int seed, std::size_t targetBytes)
{
    static const char* const roadClasses[] = {"street",  "primary",  "secondary", "tertiary",
                                              "service", "motorway", "track",     "path"};
    static const char* const landuseClasses[] = {"park", "wood", "grass", "residential", "pitch"};
    Shapes shapes(seed);
    LayerBuilder building("building");
    LayerBuilder landuse("landuse");
    LayerBuilder road("road");
    LayerBuilder water("water");
    std::size_t estimate = 0;
    while (estimate < targetBytes) {
        const Path line = shapes.walk(4 + shapes.pick(20));
        road.line({line}, {{"class", roadClasses[shapes.pick(std::size(roadClasses))]},
                           {"oneway", shapes.pick(2) == 0 ? "true" : "false"}});
        estimate += line.size() * 3 + 12;
        if (shapes.pick(3) == 0) {
            const auto rings = shapes.polygonWithHoles(static_cast<int>(shapes.pick(4)));
            if (shapes.pick(2) == 0) {
                water.polygon(rings);
            } else {
                landuse.polygon(rings, {{"class", landuseClasses[shapes.pick(std::size(landuseClasses))]}});
            }
            estimate += rings.size() * 14 + 10;
        }
        if (shapes.pick(2) == 0) {
            const vecta::Point corner{shapes.coordinate(), shapes.coordinate()};
            building.polygon({Shapes::square(corner, 20 + static_cast<int>(shapes.pick(60)))},
                             {{"underground", "false"}});
            estimate += 22;
        }
    }
    return TileBuilder().layer(building).layer(landuse).layer(road).layer(water).bytes();
}

} // namespace mvt
