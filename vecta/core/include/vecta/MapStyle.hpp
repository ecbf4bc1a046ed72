#pragma once

#include <cstdint>

namespace vecta {

// One style rule: features whose key (layer hash + class hash) matches are
// drawn with this paint. Opacity 0 means never drawn.
struct LayerStyle {
    std::uint32_t layerHash;
    std::uint32_t classHash;
    std::uint32_t color; // 0xAARRGGBB
    std::uint8_t opacity;
    float width;

    constexpr std::uint32_t key() const { return layerHash + classHash; }
};

// A rule's key and its place in the level's rules.
struct RuleKey {
    std::uint32_t key;
    std::uint32_t rule;
};

struct LevelStyle {
    const LayerStyle* layers;
    std::uint32_t count;
    const RuleKey* byKey; // the `count` keys in ascending order

    // The rule with this key, or null. Keys are unique within a level.
    const LayerStyle* find(std::uint32_t key) const;
};

struct MapStyle {
    std::uint8_t minZoom;
    std::uint8_t maxZoom;
    const LevelStyle* levels;
    std::uint32_t levelCount;

    std::uint8_t clampZoom(unsigned int zoom) const;
    // The rules of a zoom level, clamped into [minZoom, maxZoom].
    const LevelStyle& level(unsigned int zoom) const;
};

const MapStyle& getMapStyle();

} // namespace vecta
