#include "tileinspect/ShapeStats.hpp"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <iterator>

#include "vecta/MapStyle.hpp"
#include "vecta/StringHash.hpp"
#include "vecta/TileTranscoder.hpp"
#include "vecta/VectorTile.hpp"

namespace tileinspect {

namespace {

struct SourcePoint {
    double x;
    double y;

    bool operator==(const SourcePoint&) const = default;
};
using Path = std::vector<SourcePoint>;

// A line part, or a ring with its first point repeated at the end, as the
// transcoder receives it.
struct SourcePart {
    Path points;
    bool hole = false;
};

// The rings or line parts of one segment, as written.
struct WrittenSegment {
    bool polygon = false;
    std::vector<Path> paths;
};

std::vector<WrittenSegment> readSegments(const std::vector<std::uint32_t>& buffer, unsigned int bytes)
{
    std::vector<WrittenSegment> segments;
    vecta::BufferReader reader(buffer.data(), bytes);
    for (vecta::Segment segment = vecta::TileTranscoder::readNextSegment(reader); segment.header != nullptr;
         segment = vecta::TileTranscoder::readNextSegment(reader)) {
        const std::size_t count = segment.header->point_count;
        std::vector<float> coordinates(2u * count);
        std::memcpy(coordinates.data(), segment.payload.current, 8u * count);
        const std::uint8_t* commands = segment.payload.current + 8u * count;
        WrittenSegment written{segment.header->path_style == vecta::Polygon, {}};
        std::size_t point = 0;
        for (std::size_t i = 0; i < count + segment.header->close_count; ++i) {
            if (commands[i] == vecta::MoveTo) {
                written.paths.emplace_back();
            }
            if (commands[i] != vecta::ClosePath && !written.paths.empty()) {
                written.paths.back().push_back({coordinates[2 * point], coordinates[2 * point + 1]});
                ++point;
            }
        }
        segments.push_back(std::move(written));
    }
    return segments;
}

std::uint32_t styleKey(const vecta::Layer& layer, vecta::Feature& feature)
{
    static constexpr std::uint32_t classHash = vecta::stringHash("class");
    static constexpr std::uint32_t defaultHash = vecta::stringHash("default");
    for (auto property = feature.nextProperty(); !property.isEnd(); property = feature.nextProperty()) {
        if (property.keyHash == classHash) {
            return layer.nameHash + property.value.string_value();
        }
    }
    return layer.nameHash + defaultHash;
}

std::int32_t zigZag(std::uint32_t value)
{
    return static_cast<std::int32_t>((value >> 1) ^ (0u - (value & 1u)));
}

// The parts of a line or polygon feature. Rings are told apart by the sign of
// their area as the transcoder does: y runs down, outer rings are positive.
std::vector<SourcePart> sourceParts(vecta::Feature& feature)
{
    std::vector<std::uint32_t> values;
    while (feature.geometryCursor.bytes_left > 0) {
        std::uint32_t value = 0;
        if (!feature.nextValue(value)) {
            break;
        }
        values.push_back(value);
    }
    std::vector<SourcePart> parts;
    double x = 0;
    double y = 0;
    std::size_t i = 0;
    while (i < values.size()) {
        const std::uint32_t id = values[i] & 7u;
        const std::uint32_t count = values[i] >> 3;
        ++i;
        if (id == 7) {
            Path& ring = parts.back().points;
            double doubleArea = 0;
            for (std::size_t p = 0; p < ring.size(); ++p) {
                const SourcePoint& a = ring[p];
                const SourcePoint& b = ring[(p + 1) % ring.size()];
                doubleArea += a.x * b.y - b.x * a.y;
            }
            parts.back().hole = doubleArea <= -2;
            ring.push_back(ring.front());
            continue;
        }
        if (id == 1) {
            parts.emplace_back();
        }
        for (std::uint32_t n = 0; n < count && i + 1 < values.size(); ++n, i += 2) {
            x += zigZag(values[i]);
            y += zigZag(values[i + 1]);
            parts.back().points.push_back({x, y});
        }
    }
    return parts;
}

double distanceToEdge(const SourcePoint& p, const SourcePoint& a, const SourcePoint& b)
{
    const double dx = b.x - a.x;
    const double dy = b.y - a.y;
    const double lengthSquared = dx * dx + dy * dy;
    double t = lengthSquared > 0 ? ((p.x - a.x) * dx + (p.y - a.y) * dy) / lengthSquared : 0;
    t = std::clamp(t, 0.0, 1.0);
    return std::hypot(p.x - (a.x + t * dx), p.y - (a.y + t * dy));
}

// Largest distance of a source point from the thinned edge between the kept
// points around it; negative when `thinned` is not a subsequence of `source`.
// A kept point is matched to its earliest copy, the last one to the last
// source point: paths may pass one point twice.
double deviation(const Path& source, const Path& thinned)
{
    if (thinned.empty() || source.empty() || !(thinned.front() == source.front()) ||
        !(thinned.back() == source.back())) {
        return -1;
    }
    double largest = 0;
    std::size_t kept = 0;
    for (std::size_t s = 1; s < source.size(); ++s) {
        const bool lastKept = kept + 2 == thinned.size();
        const bool mayMatch = kept + 1 < thinned.size() && (!lastKept || s + 1 == source.size());
        if (mayMatch && source[s] == thinned[kept + 1]) {
            ++kept;
        } else if (kept + 1 < thinned.size()) {
            largest = std::max(largest, distanceToEdge(source[s], thinned[kept], thinned[kept + 1]));
        } else {
            return -1;
        }
    }
    return kept + 1 == thinned.size() ? largest : -1;
}

std::size_t distinctPoints(Path path)
{
    std::sort(path.begin(), path.end(),
              [](const SourcePoint& a, const SourcePoint& b) { return a.x < b.x || (a.x == b.x && a.y < b.y); });
    return static_cast<std::size_t>(std::unique(path.begin(), path.end()) - path.begin());
}

double spanOf(const Path& path)
{
    const auto [minX, maxX] =
        std::minmax_element(path.begin(), path.end(), [](const auto& a, const auto& b) { return a.x < b.x; });
    const auto [minY, maxY] =
        std::minmax_element(path.begin(), path.end(), [](const auto& a, const auto& b) { return a.y < b.y; });
    return std::max(maxX->x - minX->x, maxY->y - minY->y);
}

void tallyPath(const Path& source, const Path& thinned, bool ring, ShapeStats& stats)
{
    const double distance = deviation(source, thinned);
    if (distance < 0) {
        ++stats.unmatched;
    }
    stats.largestDeviation = std::max(stats.largestDeviation, distance);
    if (ring) {
        ++stats.rings;
        if (distinctPoints(thinned) <= 2) {
            ++stats.flatRings;
            stats.wideFlatRings += spanOf(source) > vecta::TileTranscoder::thinningDistance ? 1 : 0;
        }
    } else {
        ++stats.lines;
        if (thinned.size() == 2) {
            ++stats.linesToEnds;
            stats.bentLinesToEnds += source.size() > 2 ? 1 : 0;
        }
    }
}

// Pairs the feature's parts with the segments written for it, in order.
void tallyFeature(const std::vector<SourcePart>& parts, bool polygon, const std::vector<WrittenSegment>& segments,
                  std::size_t& next, ShapeStats& stats)
{
    const WrittenSegment* current = nullptr;
    std::size_t ring = 0;
    for (const SourcePart& part : parts) {
        if (!polygon || !part.hole) {
            current = next < segments.size() ? &segments[next++] : nullptr;
            ring = 0;
        }
        if (current == nullptr || ring >= current->paths.size()) {
            stats.holesLeftOut += part.hole ? 1 : 0;
            stats.unmatched += part.hole ? 0 : 1;
            continue;
        }
        tallyPath(part.points, current->paths[ring++], polygon, stats);
    }
}

} // namespace

void ShapeStats::add(const ShapeStats& other)
{
    tiles += other.tiles;
    bufferBytes.insert(bufferBytes.end(), other.bufferBytes.begin(), other.bufferBytes.end());
    lines += other.lines;
    linesToEnds += other.linesToEnds;
    bentLinesToEnds += other.bentLinesToEnds;
    rings += other.rings;
    flatRings += other.flatRings;
    wideFlatRings += other.wideFlatRings;
    holesLeftOut += other.holesLeftOut;
    largestDeviation = std::max(largestDeviation, other.largestDeviation);
    unmatched += other.unmatched;
}

unsigned int ShapeStats::medianBytes() const
{
    std::vector<unsigned int> sorted;
    std::copy_if(bufferBytes.begin(), bufferBytes.end(), std::back_inserter(sorted),
                 [](unsigned int bytes) { return bytes > 0; });
    if (sorted.empty()) {
        return 0;
    }
    std::nth_element(sorted.begin(), sorted.begin() + static_cast<std::ptrdiff_t>(sorted.size() / 2), sorted.end());
    return sorted[sorted.size() / 2];
}

unsigned int ShapeStats::largestBytes() const
{
    return bufferBytes.empty() ? 0 : *std::max_element(bufferBytes.begin(), bufferBytes.end());
}

void tallyTile(const std::string& tile, unsigned int zoom, std::vector<std::uint32_t>& buffer, ShapeStats& stats)
{
    static vecta::TileTranscoder transcoder;
    vecta::BufferWriter writer(buffer.data(), static_cast<unsigned int>(buffer.size() * sizeof(std::uint32_t)));
    const unsigned int bytes = transcoder.decode(tile.data(), static_cast<unsigned int>(tile.size()),
                                                 static_cast<unsigned char>(zoom), writer);
    ++stats.tiles;
    stats.bufferBytes.push_back(bytes);
    const std::vector<WrittenSegment> segments = readSegments(buffer, bytes);

    const vecta::LevelStyle& level = vecta::getMapStyle().level(zoom);
    alignas(8) static std::uint8_t arenaStorage[vecta::TileTranscoder::arenaSize];
    vecta::MemoryArena arena{arenaStorage, sizeof arenaStorage, 0};
    vecta::VectorTile reader(tile.data(), static_cast<unsigned int>(tile.size()), &arena);
    std::size_t next = 0;
    for (vecta::Layer layer = reader.nextLayer(); layer.isValid(); layer = reader.nextLayer()) {
        for (vecta::Feature feature = layer.nextFeature(); feature.isValid(); feature = layer.nextFeature()) {
            const vecta::LayerStyle* rule = level.find(styleKey(layer, feature));
            if (rule == nullptr || rule->opacity == 0 || (feature.type != 2 && feature.type != 3)) {
                continue;
            }
            tallyFeature(sourceParts(feature), feature.type == 3, segments, next, stats);
        }
    }
    stats.unmatched += segments.size() - next;
}

} // namespace tileinspect
