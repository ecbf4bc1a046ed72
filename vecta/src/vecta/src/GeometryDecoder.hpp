#pragma once

#include <cstdint>

#include "TileProcessor.hpp"
#include "vecta/VectorTile.hpp"

namespace vecta {

// Reads a feature's vector-tile command integers and hands the points of
// each line part or ring to the processor.
class GeometryDecoder {
public:
    GeometryDecoder(Feature& source, TileProcessor& sink);

    void decodeLine();
    void decodePolygon();

private:
    enum CommandId : std::uint32_t { MoveToCommand = 1, LineToCommand = 2, ClosePathCommand = 7 };

    void readCommand();
    void nextCommand();
    Point readPoint();
    Point beginPart(bool ring);

    Feature& feature;
    TileProcessor& processor;
    std::uint32_t command = 0;
    std::uint32_t id = 0;
    std::uint32_t count = 0;
    std::int32_t x = 0;
    std::int32_t y = 0;
};

} // namespace vecta
