#pragma once

#include <cstdint>

#include "ui/Matrix3x3.hpp"
#include "ui/Widget.hpp"
#include "vecta/Buffer.hpp"
#include "vecta/Geometry.hpp"
#include "vecta/MapStore.hpp"
#include "vecta/MapStyle.hpp"
#include "vecta/widgets/MapOverlay.hpp"
#include "vecta/widgets/MapPlacement.hpp"

namespace vecta {

// Draws the 3 x 3 block of cached tiles around an origin tile with the GPU,
// each tile under its own transform, then the overlays on top.
class MapWidget : public ui::Widget, public MapPlacement {
public:
    MapWidget(const MapStyle& mapStyle, const MapStore& tileStore);
    ~MapWidget() override;
    MapWidget(const MapWidget&) = delete;
    MapWidget& operator=(const MapWidget&) = delete;

    // The first overlay added is drawn last, on top.
    void addOverlay(MapOverlay& overlay);

    void draw(const ui::Rect& invalid) const override;
    // Never opaque: what lies behind shows where tiles are missing.
    ui::Rect getSolidRect() const override { return ui::Rect(); }
    // The screens invalidate the widget when the map must be redrawn.
    void invalidateContent() const override {}

    void handleDrawShape(const SegmentHeader* header, BufferReader& payload, const ui::Rect& clip) const;
    // Draws the shape unless it cannot reach `clip` (its box widened by
    // `strokeReach`) or, while the widget draws its tiles, a whole redraw
    // would leave it out (its box misses `wholeArea`).
    void drawShape(std::uint32_t commandCount, const std::uint8_t* commands, std::uint32_t floatCount,
                   const float* floats, const BoundingBox& box, const ui::Rect& clip) const;

    const MapStyle& style;
    const MapStore& store;
    float mapScale = 0.0f; // the requested map scale; sets stroke widths
    const std::uint32_t* placeholderTile = nullptr;
    std::uint32_t placeholderTileSize = 0;
    std::int32_t tileX = 0;
    std::int32_t tileY = 0;
    std::uint8_t zoom = 0;
    mutable ui::Matrix3x3 tileMatrix;
    // For the segment being drawn: how far its stroke reaches beyond its box
    // on screen, and the part of its tile a whole redraw draws.
    mutable float strokeReach = 0.0f;
    mutable bool drawingTiles = false;
    mutable ui::Rect wholeArea;
    MapOverlay* overlays = nullptr;
    void* paint = nullptr;
    void* path = nullptr;
};

} // namespace vecta
