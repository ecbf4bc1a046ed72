#include "tilepack/PolygonPieces.hpp"

#include <algorithm>
#include <limits>
#include <optional>
#include <stdexcept>
#include <string>
#include <utility>

#include "vecta/TileTranscoder.hpp"

namespace tilepack {

namespace {

// Far more cuts than any real polygon needs: each one halves the holes.
constexpr int maxCutDepth = 32;

struct Span {
    std::int32_t min;
    std::int32_t max;
};

Span spanOf(const TilePath& ring, bool alongX)
{
    Span span{std::numeric_limits<std::int32_t>::max(), std::numeric_limits<std::int32_t>::min()};
    for (const vecta::Point& point : ring) {
        const std::int32_t value = alongX ? point.x : point.y;
        span.min = std::min(span.min, value);
        span.max = std::max(span.max, value);
    }
    return span;
}

struct Cut {
    bool alongX; // true: a vertical line x = at
    std::int32_t at;
};

// A line between the holes that no hole comes within the overlap of, so
// that every hole stays whole in one piece, and that leaves at least a
// quarter of the holes on either side; the most even such line.
std::optional<std::int32_t> lineBetweenHoles(const std::vector<TilePath>& rings, bool alongX)
{
    std::vector<Span> holes;
    for (std::size_t i = 1; i < rings.size(); ++i) {
        const Span span = spanOf(rings[i], alongX);
        holes.push_back(Span{span.min - pieceOverlap, span.max + pieceOverlap});
    }
    std::sort(holes.begin(), holes.end(), [](const Span& a, const Span& b) { return a.min < b.min; });
    const std::size_t fewest = holes.size() / 4;
    std::optional<std::int32_t> best;
    std::size_t bestSmallerSide = 0;
    std::int32_t reach = holes.front().max;
    for (std::size_t before = 1; before < holes.size(); ++before) {
        const std::size_t smallerSide = std::min(before, holes.size() - before);
        if (holes[before].min > reach + 1 && smallerSide >= fewest && smallerSide > bestSmallerSide) {
            best = reach + 1 + (holes[before].min - reach - 1) / 2;
            bestSmallerSide = smallerSide;
        }
        reach = std::max(reach, holes[before].max);
    }
    return best;
}

// Through the middle of the holes along the longer side of the outer ring,
// between holes where possible.
Cut cutFor(const std::vector<TilePath>& rings)
{
    const Span width = spanOf(rings[0], true);
    const Span height = spanOf(rings[0], false);
    const bool alongX = width.max - width.min >= height.max - height.min;
    for (const bool axis : {alongX, !alongX}) {
        if (const std::optional<std::int32_t> line = lineBetweenHoles(rings, axis)) {
            return Cut{axis, *line};
        }
    }
    std::vector<std::int32_t> centres;
    for (std::size_t i = 1; i < rings.size(); ++i) {
        const Span span = spanOf(rings[i], alongX);
        centres.push_back(span.min + (span.max - span.min) / 2);
    }
    std::nth_element(centres.begin(), centres.begin() + static_cast<std::ptrdiff_t>(centres.size() / 2), centres.end());
    const Span outer = alongX ? width : height;
    return Cut{alongX, std::clamp(centres[centres.size() / 2], outer.min + 1, outer.max - 1)};
}

// The two pieces of `polygon` on either side of the cut, each reaching the
// overlap beyond it.
std::vector<std::vector<WorldPath>> piecesOf(const std::vector<WorldPath>& polygon, const Cut& cut,
                                             const TileTransform& transform)
{
    const WorldGeometry whole{Shape::Polygon, {polygon}};
    const Envelope around = envelopeOf(whole);
    const double margin = transform.scale;
    std::vector<Envelope> sides;
    if (cut.alongX) {
        sides.push_back({around.minX - margin, around.minY - margin, transform.worldX(cut.at + pieceOverlap),
                         around.maxY + margin});
        sides.push_back({transform.worldX(cut.at - pieceOverlap), around.minY - margin, around.maxX + margin,
                         around.maxY + margin});
    } else {
        sides.push_back({around.minX - margin, around.minY - margin, around.maxX + margin,
                         transform.worldY(cut.at + pieceOverlap)});
        sides.push_back({around.minX - margin, transform.worldY(cut.at - pieceOverlap), around.maxX + margin,
                         around.maxY + margin});
    }
    std::vector<std::vector<WorldPath>> pieces;
    for (const Envelope& side : sides) {
        WorldGeometry piece = clipTo(whole, side);
        for (std::vector<WorldPath>& component : piece.components) {
            pieces.push_back(std::move(component));
        }
    }
    return pieces;
}

// Returns whether the polygon had to be cut.
bool appendPieces(const std::vector<WorldPath>& polygon, const TileTransform& transform, std::vector<TilePath>& out,
                  int depth)
{
    std::vector<TilePath> rings;
    rings.reserve(polygon.size());
    for (const WorldPath& ring : polygon) {
        rings.push_back(tileRing(ring, transform));
    }
    std::vector<TilePath> piece;
    if (!appendPolygon(rings, piece)) {
        return false;
    }
    if (piece.size() - 1 <= maxHoles) {
        out.insert(out.end(), std::make_move_iterator(piece.begin()), std::make_move_iterator(piece.end()));
        return false;
    }
    if (depth == maxCutDepth) {
        throw std::runtime_error("a polygon with " + std::to_string(piece.size() - 1) +
                                 " holes cannot be cut into pieces of at most 254");
    }
    for (const std::vector<WorldPath>& half : piecesOf(polygon, cutFor(piece), transform)) {
        appendPieces(half, transform, out, depth + 1);
    }
    return true;
}

} // namespace

bool belowResolution(const TilePath& hole)
{
    const Span width = spanOf(hole, true);
    const Span height = spanOf(hole, false);
    return width.max - width.min < vecta::TileTranscoder::thinningDistance &&
           height.max - height.min < vecta::TileTranscoder::thinningDistance;
}

void appendPolygonPieces(const std::vector<WorldPath>& polygon, const TileTransform& transform, TileShape& shape)
{
    if (polygon.empty()) {
        return;
    }
    std::vector<WorldPath> visible{polygon.front()};
    for (std::size_t i = 1; i < polygon.size(); ++i) {
        if (belowResolution(tileRing(polygon[i], transform))) {
            ++shape.holesLeftOut;
        } else {
            visible.push_back(polygon[i]);
        }
    }
    if (appendPieces(visible, transform, shape.parts, 0)) {
        ++shape.polygonsSplit;
    }
}

} // namespace tilepack
