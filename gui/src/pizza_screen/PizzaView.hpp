#pragma once

#include <cstdint>
#include <functional>

#include "map_screen/BaseMapView.hpp"
#include "model/MapPosition.hpp"
#include "pizza_screen/PizzaPresenter.hpp"
#include "pizza_screen/PizzaViewBase.hpp"
#include "tile_fetcher/TileFetcher.h"
#include "ui/widgets/Image.hpp"
#include "ui/widgets/TextArea.hpp"
#include "ui/widgets/canvas/AbstractPainterRGB565.hpp"
#include "ui/widgets/canvas/CanvasWidget.hpp"
#include "vecta/widgets/PizzaWaypointWidget.hpp"
#include "vecta/widgets/WaypointWidget.hpp"
#include "vecta/widgets/overlays/RouteOverlay.hpp"

// The pizza tracker: the map with the route and the start, courier and home
// markers, the bottom panel with the progress ring that is also the order
// button, the bitrate bar and a two-page information overlay. It only shows
// and reports taps; the presenter decides.
class PizzaView : public BaseMapView<PizzaViewBase> {
public:
    // The progress ring's kept pixels, with room to spare: its bitmap
    // paints 300 runs of 5,438 pixels at most (the full circle).
    static constexpr std::uint32_t ringSpanRuns = 384;
    static constexpr std::uint32_t ringSpanPixels = 6144;

    void setupScreen() override;
    void tearDownScreen() override {}
    void handleClickEvent(const ui::ClickEvent& event) override;
    void handleDragEvent(const ui::DragEvent& event) override;
    void handleTickEvent() override;

    // The panels of the three order states.
    void showIdle();
    void showOnItsWay();
    void showArrived();

    void setTime(std::uint8_t minutes, std::uint8_t seconds);
    // The ring grows clockwise from -120 to +120 degrees over the route.
    void setProgress(std::uint32_t step);
    void setBitrate(TileFetcher::Bitrate bitrate);
    void cycleBitrate();
    void setInfoScreenVisible(bool visible);

    void setPositionClickedCallback(std::function<void()> callback);
    void setHomeClickedCallback(std::function<void()> callback);
    void setOrderClickedCallback(std::function<void()> callback);

    // The map side: map, route and markers placed from the map position.
    void setMapPosition(const MapPosition& position, std::uint32_t step);
    // The courier reached route point `step`.
    void setCurrentStep(std::uint32_t step);

private:
    // One per part of the screen, called in drawing order.
    void setupRoute();
    void setupMarkers();
    void setupBottomPanel();
    void setupRing();
    void setupTopBar();
    void setupBitrate();
    void setupInformationPages();
    void configureRoute(vecta::RouteOverlay& route, std::uint8_t red, std::uint8_t green, std::uint8_t blue);
    void configureMarker(vecta::WaypointWidget& marker, const vecta::WaypointWidget::WaypointBitmaps& bitmaps,
                         bool keepOnScreen);
    void setCenterText(ui::TypedTextId text);
    void showCourierAndRoute(bool visible);
    void placeMarkers();
    vecta::Point courierPosition() const;
    bool ringTapped(const ui::ClickEvent& release) const;
    void handleInfoClick(const ui::ClickEvent& event);

    vecta::RouteOverlay travelledRoute;
    vecta::RouteOverlay remainingRoute;
    vecta::WaypointWidget startMarker;
    PizzaWaypointWidget courierMarker;
    PizzaWaypointWidget homeMarker;
    ui::Image corners[2];
    ui::Image bottomOverlay;
    ui::UnicodeChar centerTextBuffer[20] = {};
    ui::TextAreaWithOneWildcard centerText;
    ui::TextArea excitedText;
    ui::TextArea onItsWayText;
    ui::Circle progressRing;
    ui::PainterRGB565Bitmap progressPainter;
    ui::Image topBar;
    ui::Image flashIcon;
    ui::Image sdIcon;
    ui::Image bluetoothIcon;
    ui::Image bitrateBackground;
    ui::TextArea bitrateLabel;
    ui::UnicodeChar bitrateBuffer[10] = {};
    ui::TextAreaWithOneWildcard bitrateText;
    ui::Image infoButton;
    ui::Image infoBackground;
    ui::Image backButton;
    ui::Image leftArrow;
    ui::Image rightArrow;
    std::function<void()> orderClickedCallback;
    std::uint32_t subStep = 0;
    std::uint32_t tickCount = 0;
    std::uint32_t currentStep = 0;
};
