#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>

#include "vecta/MapStyle.hpp"
#include "vecta/StringHash.hpp"

namespace vecta {

// The style is written once as a table, one row per (layer, class) pair and
// one cell per zoom level; each level's rules are taken from it at compile
// time, so the firmware only ever sees the finished per-level arrays.

constexpr std::uint8_t styleMinZoom = 6;
constexpr std::uint8_t styleMaxZoom = 16;
constexpr std::size_t styleZoomCount = styleMaxZoom - styleMinZoom + 1;

struct NoRule {};
// A cell for a zoom level that has no rule for the row's pair.
constexpr NoRule noRule{};

// A row's rule at one zoom level. No default constructor, so a row that
// misses a zoom level's cell does not compile.
struct StyleCell {
    constexpr StyleCell(NoRule) {}
    constexpr StyleCell(std::uint8_t cellOpacity, float cellWidth)
        : hasRule(true), opacity(cellOpacity), width(cellWidth)
    {
    }
    // Where the pair changes colour with the zoom level: this level's colour.
    constexpr StyleCell(std::uint8_t cellOpacity, float cellWidth, std::uint32_t cellRgb)
        : hasRule(true), opacity(cellOpacity), width(cellWidth), rgb(cellRgb)
    {
    }

    bool hasRule = false;
    std::uint8_t opacity = 0;
    float width = 0.0f;
    std::optional<std::uint32_t> rgb;
};

struct StyleRow {
    const char* layer;
    const char* featureClass;
    std::uint32_t rgb;
    StyleCell cells[styleZoomCount];

    constexpr const StyleCell& at(unsigned int zoom) const { return cells[zoom - styleMinZoom]; }
};

constexpr std::size_t ruleCountAt(std::span<const StyleRow> rows, unsigned int zoom)
{
    std::size_t count = 0;
    for (const StyleRow& row : rows) {
        if (row.at(zoom).hasRule) {
            ++count;
        }
    }
    return count;
}

// A zoom level's rules: the rows that have a rule there, in row order.
template <std::size_t RuleCount>
constexpr std::array<LayerStyle, RuleCount> rulesAt(std::span<const StyleRow> rows, unsigned int zoom)
{
    std::array<LayerStyle, RuleCount> rules{};
    std::size_t next = 0;
    for (const StyleRow& row : rows) {
        const StyleCell& cell = row.at(zoom);
        if (cell.hasRule) {
            rules[next++] = LayerStyle{stringHash(row.layer), stringHash(row.featureClass),
                                       0xFF000000u | cell.rgb.value_or(row.rgb), cell.opacity, cell.width};
        }
    }
    return rules;
}

} // namespace vecta
