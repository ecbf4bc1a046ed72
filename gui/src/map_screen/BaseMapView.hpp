#pragma once

#include <algorithm>
#include <cstdint>

#include "images/BitmapDatabase.hpp"
#include "map_screen/FrameRateMeter.hpp"
#include "map_screen/MapBlockPlacement.hpp"
#include "map_screen/MapGesture.hpp"
#include "model/InputHandler.hpp"
#include "model/MapPosition.hpp"
#include "platform/bsp.h"
#include "texts/TextKeysAndLanguages.hpp"
#include "tile_fetcher/TileFetcher.h"
#include "ui/HAL.hpp"
#include "ui/Unicode.hpp"
#include "ui/widgets/Image.hpp"
#include "ui/widgets/TextArea.hpp"
#include "vecta/Buffer.hpp"
#include "vecta/GlobalMapCache.hpp"
#include "vecta/MapStyle.hpp"
#include "vecta/TileTranscoder.hpp"
#include "vecta/widgets/GridOverlay.hpp"
#include "vecta/widgets/MapWidget.hpp"

// The map screen both map screens are built on: the full-screen map with its
// tile grid, the grid button and the frame-rate read-out. Its tick applies
// gestures to the model, collects one fetched tile into the cache and submits
// the next request.
template <class ViewBase> class BaseMapView : public ViewBase {
public:
    BaseMapView() : mapWidget(vecta::getMapStyle(), mapCache) {}

    void setupScreen() override
    {
        ViewBase::setupScreen();
        // Nothing in front of the map is opaque all over.
        this->useSMOCDrawing(false);

        mapWidget.setPosition(0, 0, ui::HAL::DISPLAY_WIDTH, ui::HAL::DISPLAY_HEIGHT);
        mapWidget.rotationCenterX = mapAnchorX;
        mapWidget.rotationCenterY = mapAnchorY;
        this->add(mapWidget);
        gridOverlay.rotationCenterX = mapAnchorX;
        gridOverlay.rotationCenterY = mapAnchorY;
        mapWidget.addOverlay(gridOverlay);

        mapCache.fetcher.fetch = [](int x, int y, int zoom) { TileFetcher::Submit(x, y, zoom); };

        gridButton.setXY(17, 17);
        gridOverlay.enabled = true;
        gridButton.setBitmap(ui::Bitmap(BITMAP_IMAGE_GRID_ON_ID));
        this->add(gridButton);
        mapWidget.invalidate();

        this->add(fpsText);
        fpsText.setTypedText(ui::TypedText(T_FRAME_RATE));
        ui::Unicode::snprintf(fpsBuffer, fpsBufferSize, "--.--");
        fpsText.setWildcard(fpsBuffer);
        fpsText.setXY(70, 27);
        fpsText.resizeToCurrentText();
    }

    void handleClickEvent(const ui::ClickEvent& event) override { handleMapClick(event); }

    void handleDragEvent(const ui::DragEvent& event) override
    {
        ViewBase::handleDragEvent(event);
        inputHandler.handleDragEvent(event);
    }

    void handleTickEvent() override
    {
        inputHandler.update();
        if (inputHandler.hasPendingUpdates()) {
            applyMapGesture(this->presenter->getModel(), inputHandler.getTransform());
        }
        checkTileFetcherResult();
        if (TileFetcher::IsIdle()) {
            mapCache.fetcher.fetchNext();
        }
        showFrameRate();
    }

    // Stores one finished fetch in the cache, transcoded for its zoom level.
    void checkTileFetcherResult()
    {
        const TileFetcher::Result result = TileFetcher::GetResult();
        // A tile the collection does not hold arrives without data: its slot
        // stays empty and is not asked for again.
        if (!result.valid || result.data == nullptr) {
            return;
        }
        const struct {
            TileFetcher::Result result;
            vecta::TileTranscoder& transcoder;
        } job{result, this->presenter->getTranscoder()};
        // Captures one reference, so the closure needs no heap.
        const vecta::TileFill fill = [&job](char* buffer, unsigned int capacity) {
            vecta::BufferWriter writer;
            if (buffer != nullptr && capacity > 4) {
                // Cache slots are word-aligned.
                writer = vecta::BufferWriter(reinterpret_cast<std::uint32_t*>(buffer), capacity);
                writer.realign();
            }
            bsp::setDebugSignal(bsp::DebugSignal::TileTranscode, true);
            const unsigned int used = job.transcoder.decode(job.result.data, job.result.size,
                                                            static_cast<unsigned char>(job.result.zoom), writer);
            bsp::setDebugSignal(bsp::DebugSignal::TileTranscode, false);
            return used;
        };
        // A damaged tile is stored as an empty slot, so it is not fetched
        // again, and counted.
        const std::uint32_t damagedBefore = job.transcoder.damagedTiles();
        const bool stored = mapCache.storeTile(result.x, result.y, result.zoom, fill);
        if (job.transcoder.damagedTiles() != damagedBefore) {
            this->presenter->getModel().countDamagedTile();
        }
        const bool visible = result.zoom == originZoom && result.x >= originTileX - 1 && result.x <= originTileX + 1 &&
                             result.y >= originTileY - 1 && result.y <= originTileY + 1;
        if (stored && visible) {
            mapWidget.invalidate();
        }
    }

protected:
    // The framework's dispatch, then the grid button. Returns whether the
    // event was a tap on the grid button.
    bool handleMapClick(const ui::ClickEvent& event)
    {
        ViewBase::handleClickEvent(event);
        inputHandler.handleClickEvent(event);
        if (event.getType() == ui::ClickEvent::PRESSED) {
            pressX = event.getX();
            pressY = event.getY();
            return false;
        }
        if (event.getType() != ui::ClickEvent::RELEASED || !tapped(gridButton.getRect(), event)) {
            return false;
        }
        gridOverlay.enabled = !gridOverlay.enabled;
        gridButton.setBitmap(ui::Bitmap(gridOverlay.enabled ? BITMAP_IMAGE_GRID_ON_ID : BITMAP_IMAGE_GRID_OFF_ID));
        gridButton.invalidate();
        mapWidget.invalidate();
        return true;
    }

    // Whether the remembered press and this release both lie in `area`.
    bool tapped(const ui::Rect& area, const ui::ClickEvent& release) const
    {
        return area.intersect(static_cast<std::int16_t>(pressX), static_cast<std::int16_t>(pressY)) &&
               area.intersect(release.getX(), release.getY());
    }

    // The map's share of each screen's setMapPosition: moves the cache with
    // the centre tile and places the map and the grid.
    void updateMapPosition(const MapPosition& position)
    {
        if (position.tileX != originTileX || position.tileY != originTileY || position.zoom != originZoom) {
            originTileX = position.tileX;
            originTileY = position.tileY;
            originZoom = position.zoom;
            mapCache.setOrigo(originTileX, originTileY, originZoom);
            mapWidget.tileX = originTileX;
            mapWidget.tileY = originTileY;
            mapWidget.zoom = originZoom;
        }
        placeMapBlock(position, originTileX, originTileY, mapWidget);
        placeMapBlock(position, originTileX, originTileY, gridOverlay);
        mapWidget.mapScale = position.scale;
    }

    static constexpr std::uint16_t fpsBufferSize = 6;

    InputHandler inputHandler;
    std::int32_t originTileX = 4328;
    std::int32_t originTileY = 2544;
    std::uint8_t originZoom = 13;
    vecta::MapWidget mapWidget;
    vecta::GridOverlay gridOverlay;
    ui::Image gridButton;
    std::int32_t pressX = 0;
    std::int32_t pressY = 0;
    ui::TextAreaWithOneWildcard fpsText;
    ui::UnicodeChar fpsBuffer[fpsBufferSize] = {};

private:
    void showFrameRate()
    {
        // One meter per kind of map screen, kept across visits.
        static FrameRateMeter meter;
        float fps = 0.0f;
        if (!meter.addFrame(ui::HAL::getInstance()->getLCDRefreshCount(), fps)) {
            return;
        }
        ui::UnicodeChar reading[fpsBufferSize] = {};
        ui::Unicode::snprintfFloats(reading, fpsBufferSize, "%f", &fps);
        // The same reading is not drawn again.
        if (std::equal(reading, reading + fpsBufferSize, fpsBuffer)) {
            return;
        }
        std::copy(reading, reading + fpsBufferSize, fpsBuffer);
        fpsText.invalidate();
        fpsText.resizeToCurrentText();
        fpsText.invalidate();
    }
};
