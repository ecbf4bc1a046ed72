// One full redraw of the panel from the collection's densest 3 x 3 tile block:
// through the map widget and the GPU stand-in, and the same segments drawn by
// cairo directly.

#include <benchmark/benchmark.h>
#include <cairo.h>

#include <algorithm>
#include <map>
#include <utility>
#include <vector>

#include "board_config/BoardConfig.hpp"
#include "board_glue/FrameBuffers.hpp"
#include "gpu/gpu_graphics.h"
#include "platform/flash.h"
#include "tile_fetcher/tilelib.h"
#include "ui/HALGPU.hpp"
#include "ui/LCDGPU.hpp"
#include "vecta/MapStore.hpp"
#include "vecta/TileTranscoder.hpp"
#include "vecta/widgets/MapWidget.hpp"

namespace {

constexpr std::uint8_t zoom = 16;

std::uint32_t storedBytes(std::uint32_t x, std::uint32_t y)
{
    return tilelib_getTile(x, y, zoom)->size;
}

// The densest 3 x 3 block of zoom-16 tiles in the built-in collection
// (central Aarhus), by stored bytes, each transcoded into a cache-sized slot.
class DenseBlock : public vecta::MapStore {
public:
    DenseBlock()
    {
        const auto* levels =
            static_cast<const std::uint32_t*>(flash_pointer(flashBaseAddress, tilelib::zoomLevels * 4));
        const auto* batch =
            levels == nullptr
                ? nullptr
                : static_cast<const TileBatch*>(flash_pointer(levels[zoom - tilelib::minZoom], sizeof(TileBatch)));
        if (batch == nullptr || batch->count == 0) {
            return;
        }
        std::uint32_t densest = 0;
        for (std::uint32_t y = batch->minY + 1; y < batch->maxY; ++y) {
            for (std::uint32_t x = batch->minX + 1; x < batch->maxX; ++x) {
                std::uint32_t bytes = 0;
                for (std::uint32_t cell = 0; cell < 9; ++cell) {
                    bytes += storedBytes(x - 1 + cell % 3, y - 1 + cell / 3);
                }
                if (bytes > densest) {
                    densest = bytes;
                    centreX = x;
                    centreY = y;
                }
            }
        }
        static vecta::TileTranscoder transcoder;
        for (std::uint32_t cell = 0; cell < 9; ++cell) {
            const std::uint32_t x = centreX - 1 + cell % 3;
            const std::uint32_t y = centreY - 1 + cell / 3;
            const TileEntry* entry = tilelib_getTile(x, y, zoom);
            const auto* data = static_cast<const char*>(flash_pointer(entry->data, entry->size));
            std::vector<std::uint32_t> slot(board::cacheSlotBytes / 4);
            vecta::BufferWriter writer(slot.data(), board::cacheSlotBytes);
            const unsigned bytes = data == nullptr ? 0 : transcoder.decode(data, entry->size, zoom, writer);
            slot.resize((bytes + 3) / 4);
            stored += entry->size;
            segments += bytes;
            tiles[{x, y}] = std::move(slot);
        }
    }
    vecta::MapTile getTile(std::uint32_t x, std::uint32_t y, std::uint8_t z) const override
    {
        const auto found = tiles.find({x, y});
        if (found == tiles.end()) {
            return vecta::MapTile{x, y, z, nullptr, 0};
        }
        return vecta::MapTile{x, y, z, reinterpret_cast<const char*>(found->second.data()),
                              static_cast<std::uint32_t>(found->second.size() * 4)};
    }
    void report(benchmark::State& state) const
    {
        state.counters["tileX"] = centreX;
        state.counters["tileY"] = centreY;
        state.counters["stored_bytes"] = stored;
        state.counters["segment_bytes"] = segments;
    }

    std::map<std::pair<std::uint32_t, std::uint32_t>, std::vector<std::uint32_t>> tiles;
    std::uint32_t centreX = 0;
    std::uint32_t centreY = 0;
    std::uint32_t stored = 0;
    std::uint32_t segments = 0;
};

class NoTouch : public ui::TouchController {
public:
    void init() override {}
    bool sampleTouch(std::int32_t&, std::int32_t&) override { return false; }
};

// A view at zoom 16 and map scale 1.0 (tile scale 0.125: a tile is 512
// pixels wide), centred on the middle of the origin tile.
constexpr float mapScale = 1.0f;
void place(vecta::MapPlacement& p)
{
    p.scaleX = p.scaleY = 0.125f;
    p.rotation = 0.0f;
    p.rotationCenterX = 400.0f;
    p.rotationCenterY = 180.0f;
    p.translationX = 400.0f - 2048.0f * 0.125f - 512.0f;
    p.translationY = 180.0f - 2048.0f * 0.125f - 512.0f;
}

void BM_WidgetFullRedraw(benchmark::State& state)
{
    gpu_sys_init();
    ui::LCDGPU lcd;
    NoTouch touch;
    ui::HALGPU hal(lcd, touch, board::panelWidth, board::panelHeight);
    hal.setFrameBufferStartAddresses(frameBuf, frameBuf + frameBufferPixels, nullptr);
    hal.initialize();
    const DenseBlock block;
    vecta::MapWidget widget(vecta::getMapStyle(), block);
    place(widget);
    widget.mapScale = mapScale;
    widget.tileX = static_cast<std::int32_t>(block.centreX);
    widget.tileY = static_cast<std::int32_t>(block.centreY);
    widget.zoom = zoom;
    widget.setPosition(0, 0, board::panelWidth, board::panelHeight);
    for (auto _ : state) {
        widget.draw(ui::Rect(0, 0, board::panelWidth, board::panelHeight));
    }
    state.counters["fps"] = benchmark::Counter(static_cast<double>(state.iterations()), benchmark::Counter::kIsRate);
    block.report(state);
}
BENCHMARK(BM_WidgetFullRedraw)->Unit(benchmark::kMillisecond);

// Whether a segment's box, transformed, lies off the screen.
bool offScreen(const ui::Matrix3x3& m, const vecta::BoundingBox& box)
{
    float x0 = 1e9f;
    float y0 = 1e9f;
    float x1 = -1e9f;
    float y1 = -1e9f;
    for (const auto& [x, y] : {std::pair{box.minX, box.minY}, std::pair{box.minX, box.maxY},
                               std::pair{box.maxX, box.minY}, std::pair{box.maxX, box.maxY}}) {
        const auto p = m.affineTransform(x, y);
        x0 = std::min(x0, p.x);
        y0 = std::min(y0, p.y);
        x1 = std::max(x1, p.x);
        y1 = std::max(y1, p.y);
    }
    return x0 >= board::panelWidth || x1 <= 0.0f || y0 >= board::panelHeight || y1 <= 0.0f;
}

// The same segments, paints and matrices, straight into cairo.
void BM_DirectCairoFullRedraw(benchmark::State& state)
{
    const DenseBlock block;
    vecta::MapPlacement placement;
    place(placement);
    const vecta::MapStyle& style = vecta::getMapStyle();
    const vecta::LevelStyle& level = style.level(zoom);
    cairo_surface_t* surface =
        cairo_image_surface_create_for_data(reinterpret_cast<unsigned char*>(frameBuf), CAIRO_FORMAT_RGB16_565,
                                            board::panelWidth, board::panelHeight, board::panelWidth * 2);
    cairo_t* cr = cairo_create(surface);
    cairo_set_line_join(cr, CAIRO_LINE_JOIN_ROUND);
    cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
    cairo_set_antialias(cr, CAIRO_ANTIALIAS_FAST); // as the stand-in draws at quality 1
    const float strokeScale = 1.5f * mapScale / placement.scaleX;
    for (auto _ : state) {
        for (int cell = 0; cell < 9; ++cell) {
            const vecta::MapTile tile = block.getTile(block.centreX - 1 + cell % 3, block.centreY - 1 + cell / 3, zoom);
            const ui::Matrix3x3 m = placement.placementMatrix(static_cast<float>(cell % 3) * 4096.0f,
                                                              static_cast<float>(cell / 3) * 4096.0f);
            cairo_matrix_t matrix;
            cairo_matrix_init(&matrix, m.elements[0][0], m.elements[1][0], m.elements[0][1], m.elements[1][1],
                              m.elements[0][2], m.elements[1][2]);
            vecta::BufferReader reader(reinterpret_cast<const std::uint32_t*>(tile.data), tile.size);
            for (vecta::Segment s = vecta::TileTranscoder::readNextSegment(reader); s.header != nullptr;
                 s = vecta::TileTranscoder::readNextSegment(reader)) {
                if (offScreen(m, s.header->bbox)) {
                    continue; // the widget culls these too
                }
                const vecta::LayerStyle* rule = level.find(s.header->style_id);
                const auto* floats = reinterpret_cast<const float*>(s.payload.current);
                const std::uint8_t* commands = s.payload.current + 8u * s.header->point_count;
                cairo_set_matrix(cr, &matrix);
                cairo_new_path(cr);
                std::uint32_t f = 0;
                for (std::uint32_t i = 0; i < s.header->point_count + s.header->close_count; ++i) {
                    if (commands[i] == 0) {
                        cairo_close_path(cr);
                    } else if (commands[i] == 1) {
                        cairo_move_to(cr, floats[f], floats[f + 1]);
                        f += 2;
                    } else {
                        cairo_line_to(cr, floats[f], floats[f + 1]);
                        f += 2;
                    }
                }
                cairo_set_source_rgba(cr, ((rule->color >> 16) & 0xFF) / 255.0, ((rule->color >> 8) & 0xFF) / 255.0,
                                      (rule->color & 0xFF) / 255.0, rule->opacity / 255.0);
                if (s.header->path_style == vecta::Polygon) {
                    cairo_set_fill_rule(cr, CAIRO_FILL_RULE_EVEN_ODD);
                    cairo_fill(cr);
                } else {
                    cairo_set_line_width(cr, rule->width * strokeScale);
                    cairo_stroke(cr);
                }
            }
        }
        cairo_surface_flush(surface);
    }
    cairo_destroy(cr);
    cairo_surface_destroy(surface);
    state.counters["fps"] = benchmark::Counter(static_cast<double>(state.iterations()), benchmark::Counter::kIsRate);
    block.report(state);
}
BENCHMARK(BM_DirectCairoFullRedraw)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
