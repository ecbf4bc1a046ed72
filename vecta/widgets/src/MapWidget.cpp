#include "vecta/widgets/MapWidget.hpp"

#include <algorithm>
#include <cmath>

#include "gpu/gpu_graphics.h"
#include "platform/Assert.hpp"
#include "ui/HALGPU.hpp"
#include "vecta/TileTranscoder.hpp"

namespace vecta {

namespace {

constexpr std::int32_t gridCords[9][2] = {{0, 0}, {1, 0}, {2, 0}, {0, 1}, {1, 1}, {2, 1}, {0, 2}, {1, 2}, {2, 2}};
constexpr float tileSize = 4096.0f;

// Screen box of transformed corners: floor of the minima, ceil of the
// maxima, held as 16-bit values (clamped, never wrapped).
struct ScreenBox {
    std::int32_t x0;
    std::int32_t y0;
    std::int32_t x1;
    std::int32_t y1;

    bool misses(const ui::Rect& area) const
    {
        return x0 >= area.x + area.width || x1 <= area.x || y0 >= area.y + area.height || y1 <= area.y;
    }
    // The part of `area` the box covers.
    ui::Rect operator&(const ui::Rect& area) const
    {
        const std::int32_t left = std::max<std::int32_t>(x0, area.x);
        const std::int32_t top = std::max<std::int32_t>(y0, area.y);
        const std::int32_t right = std::min<std::int32_t>(x1, area.x + area.width);
        const std::int32_t bottom = std::min<std::int32_t>(y1, area.y + area.height);
        return ui::Rect(static_cast<std::int16_t>(left), static_cast<std::int16_t>(top),
                        static_cast<std::int16_t>(right - left), static_cast<std::int16_t>(bottom - top));
    }
};

std::int32_t to16(float value)
{
    if (!(value > -32768.0f)) {
        return -32768; // also NaN
    }
    return value < 32767.0f ? static_cast<std::int32_t>(value) : 32767;
}

ScreenBox screenBox(const ui::Matrix3x3& m, float minX, float minY, float maxX, float maxY)
{
    const ui::Matrix3x3::Point corners[4] = {m.affineTransform(minX, minY), m.affineTransform(minX, maxY),
                                             m.affineTransform(maxX, minY), m.affineTransform(maxX, maxY)};
    float lowX = corners[0].x;
    float lowY = corners[0].y;
    float highX = corners[0].x;
    float highY = corners[0].y;
    for (const auto& c : corners) {
        lowX = std::min(lowX, c.x);
        lowY = std::min(lowY, c.y);
        highX = std::max(highX, c.x);
        highY = std::max(highY, c.y);
    }
    return ScreenBox{to16(std::floor(lowX)), to16(std::floor(lowY)), to16(std::ceil(highX)), to16(std::ceil(highY))};
}

void setClip(const ui::Rect& r)
{
    gpu_set_clip(r.x, r.y, static_cast<std::uint32_t>(std::max<std::int16_t>(r.width, 0)),
                 static_cast<std::uint32_t>(std::max<std::int16_t>(r.height, 0)));
}

void setScissor(const ui::Rect& r)
{
    gpu_set_scissor(r.x, r.y, static_cast<std::uint32_t>(std::max<std::int16_t>(r.width, 0)),
                    static_cast<std::uint32_t>(std::max<std::int16_t>(r.height, 0)));
}

// The paint the GPU holds, from the last rule used.
struct PaintInUse {
    std::uint32_t color = 0;
    std::uint8_t opacity = 0;
    float width = 0.0f;
    float strokeWidthOnScreen = 0.0f;
};

// Reads the cell's tile, or the placeholder while it is missing; false when
// there is neither.
bool cellSegments(const MapWidget& widget, std::int32_t cellX, std::int32_t cellY, BufferReader& reader)
{
    const MapTile tile = widget.store.getTile(static_cast<std::uint32_t>(widget.tileX + cellX - 1),
                                              static_cast<std::uint32_t>(widget.tileY + cellY - 1), widget.zoom);
    const std::uint32_t* data = reinterpret_cast<const std::uint32_t*>(tile.data);
    std::uint32_t size = tile.size;
    if (data == nullptr || size == 0) {
        if (widget.placeholderTile == nullptr) {
            return false;
        }
        data = widget.placeholderTile;
        size = widget.placeholderTileSize;
    }
    if (size > 3) {
        reader = BufferReader(data, size);
        reader.realign();
    }
    return true;
}

void usePaint(const MapWidget& widget, const LayerStyle& rule, PaintInUse& inUse)
{
    // Paint set-up is skipped while consecutive segments share it.
    if (rule.color == inUse.color && rule.opacity == inUse.opacity && rule.width == inUse.width) {
        return;
    }
    const float width = widget.scaleX > 0.0f ? rule.width * widget.mapScale / widget.scaleX : rule.width;
    vg_paint_set_opacity(widget.paint, rule.opacity == 255 ? 1.0f : static_cast<float>(rule.opacity / 255.0));
    vg_paint_set_paint_color(
        widget.paint, gpu_rgba(static_cast<std::uint8_t>(rule.color >> 16), static_cast<std::uint8_t>(rule.color >> 8),
                               static_cast<std::uint8_t>(rule.color), static_cast<std::uint8_t>(rule.color >> 24)));
    vg_stroke_set_width(1.5f * width);
    inUse.strokeWidthOnScreen = 1.5f * width * std::max(std::fabs(widget.scaleX), std::fabs(widget.scaleY));
    inUse.color = rule.color;
    inUse.opacity = rule.opacity;
    inUse.width = rule.width;
}

} // namespace

MapWidget::MapWidget(const MapStyle& mapStyle, const MapStore& tileStore) : style(mapStyle), store(tileStore)
{
    path = vg_path_create();
    paint = vg_paint_create();
    VECTA_ASSERT(path != nullptr && paint != nullptr && "GPU pool exhausted");
    vg_paint_lock_tran_to_path(paint, 1);
    vg_paint_set_type(paint, VG_PAINT_COLOR);
}

MapWidget::~MapWidget()
{
    vg_path_destroy(path);
    vg_paint_destroy(paint);
}

void MapWidget::addOverlay(MapOverlay& overlay)
{
    overlay.next = overlays;
    overlays = &overlay;
}

void MapWidget::draw(const ui::Rect& invalid) const
{
    if (invalid.width <= 0 || invalid.height <= 0) {
        return;
    }
    const LevelStyle& level = style.level(zoom);
    if (level.count == 0) {
        return;
    }
    ui::HALGPU::bindExecBuffer();
    ui::HALGPU::lcdGPU().bindFrameBufferTexture();
    // Clipped as a redraw of the whole widget is, scissored to the area being
    // redrawn: an area redrawn alone equals the same area of a whole redraw.
    const ui::Rect whole(0, 0, rect.width, rect.height);
    setScissor(invalid);
    vg_set_blend(VG_BLEND_SRC_OVER);
    vg_set_quality(1);

    PaintInUse lastPaint;

    for (const auto& cell : gridCords) {
        BufferReader reader;
        if (!cellSegments(*this, cell[0], cell[1], reader)) {
            continue;
        }

        tileMatrix = placementMatrix(static_cast<float>(cell[0]) * tileSize, static_cast<float>(cell[1]) * tileSize);
        const ScreenBox tileBox = screenBox(tileMatrix, 0.0f, 0.0f, tileSize, tileSize);
        if (tileBox.misses(invalid)) {
            continue;
        }
        // Shapes clear of the area redrawn are left out.
        const ui::Rect clip = tileBox & invalid;
        wholeArea = tileBox & whole;
        drawingTiles = true;
        setClip(wholeArea);
        vg_path_set_matrix(path, tileMatrix.elements);

        for (Segment segment = TileTranscoder::readNextSegment(reader); segment.header != nullptr;
             segment = TileTranscoder::readNextSegment(reader)) {
            const LayerStyle* rule = level.find(segment.header->style_id);
            if (rule == nullptr) {
                // A buffer drawn at a zoom level must be transcoded with its rules.
                assertionFailed("style", __FILE__, __LINE__, __PRETTY_FUNCTION__);
            }
            vg_set_fill_rule(segment.header->path_style == Polygon ? VG_FILL_EVEN_ODD : VG_STROKE);
            usePaint(*this, *rule, lastPaint);
            // Half the stroke on screen and a pixel of antialiasing.
            strokeReach = segment.header->path_style == Polygon ? 0.0f : lastPaint.strokeWidthOnScreen / 2.0f + 1.0f;
            handleDrawShape(segment.header, segment.payload, clip);
        }
    }

    strokeReach = 0.0f;
    drawingTiles = false;
    for (const MapOverlay* overlay = overlays; overlay != nullptr; overlay = overlay->next) {
        setClip(whole);
        overlay->draw(path, paint, invalid);
    }
    ui::HALGPU::submitExecBuffer();
}

void MapWidget::handleDrawShape(const SegmentHeader* header, BufferReader& payload, const ui::Rect& clip) const
{
    const std::uint32_t pointCount = header->point_count;
    const std::uint32_t closeCount = header->close_count;
    const float* floats = nullptr;
    if (pointCount > 0 && 8 * pointCount <= payload.remaining() &&
        (reinterpret_cast<std::uintptr_t>(payload.current) & 3u) == 0) {
        floats = reinterpret_cast<const float*>(payload.current);
        payload.current += std::size_t{8} * pointCount;
    }
    if (pointCount + closeCount == 0) {
        drawShape(0, nullptr, 2 * pointCount, floats, header->bbox, clip);
        return;
    }
    const std::uint8_t* commands = nullptr;
    if (pointCount + closeCount <= payload.remaining()) {
        commands = payload.current;
        payload.current += pointCount + closeCount;
    }
    drawShape(pointCount + closeCount, commands, 2 * pointCount, floats, header->bbox, clip);
}

void MapWidget::drawShape(std::uint32_t commandCount, const std::uint8_t* commands, std::uint32_t floatCount,
                          const float* floats, const BoundingBox& box, const ui::Rect& clip) const
{
    const ScreenBox shapeBox = screenBox(tileMatrix, box.minX, box.minY, box.maxX, box.maxY);
    const auto reach = static_cast<std::int32_t>(std::ceil(strokeReach));
    const ScreenBox reached{shapeBox.x0 - reach, shapeBox.y0 - reach, shapeBox.x1 + reach, shapeBox.y1 + reach};
    if (reached.misses(clip) || (drawingTiles && shapeBox.misses(wholeArea))) {
        return;
    }
    const float bbox[4] = {static_cast<float>(box.minX), static_cast<float>(box.minY), static_cast<float>(box.maxX),
                           static_cast<float>(box.maxY)};
    vg_path_set_shape_and_bbox(path, commandCount, commands, floatCount, floats, bbox);
    vg_draw_path(path, paint);
}

} // namespace vecta
