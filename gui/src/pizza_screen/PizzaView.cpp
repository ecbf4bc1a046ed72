#include "pizza_screen/PizzaView.hpp"

#include <algorithm>
#include <initializer_list>
#include <utility>

#include "images/BitmapDatabase.hpp"
#include "model/DirectionsData.hpp"
#include "model/PizzaModel.hpp"
#include "texts/TextKeysAndLanguages.hpp"

namespace {

constexpr ui::colortype white = 0xFFFFFFFF;
constexpr ui::colortype black = 0xFF000000;
// The map area ends where the bottom panel's band begins.
constexpr std::int16_t mapAreaHeight = 420;
constexpr std::int16_t centerTextY = 422;
constexpr std::uint32_t lastProgressStep = 178;
constexpr std::uint16_t bitrateTextLimit = 9;

// Shared by both route overlays: each rebuilds its path here while drawing.
std::uint8_t routeCommands[directionsPointCount];
float routePoints[2 * directionsPointCount];

} // namespace

// The progress ring's painted pixels, kept from one pizza step to the next
// and across visits; the blitter reads them, so on the board they lie in
// the frame-buffer RAM.
ui::CanvasSpanStorage<PizzaView::ringSpanRuns, PizzaView::ringSpanPixels> ringSpans;

void PizzaView::setupScreen()
{
    BaseMapView::setupScreen();
    mapWidget.setPosition(0, 0, ui::HAL::DISPLAY_WIDTH, mapAreaHeight);
    setupRoute();
    setupMarkers();

    corners[0].setBitmap(ui::Bitmap(BITMAP_IMAGE_TOP_LEFT_ROUND_CORNOR_ID));
    corners[0].setXY(0, 0);
    corners[1].setBitmap(ui::Bitmap(BITMAP_IMAGE_TOP_RIGHT_ROUND_CORNOR_ID));
    corners[1].setXY(static_cast<std::int16_t>(ui::HAL::DISPLAY_WIDTH - corners[1].getWidth()), 0);
    add(corners[0]);
    add(corners[1]);

    setupBottomPanel();
    setupRing();
    setupTopBar();
    setupBitrate();
    setupInformationPages();
}

void PizzaView::setupRoute()
{
    configureRoute(travelledRoute, 251, 76, 91);
    configureRoute(remainingRoute, 38, 38, 38);
    // The map draws its overlays in the reverse order of attaching: the
    // remaining route goes over the travelled one, the grid over both.
    mapWidget.addOverlay(remainingRoute);
    mapWidget.addOverlay(travelledRoute);
}

void PizzaView::setupMarkers()
{
    const ui::BitmapId start = BITMAP_IMAGE_START_ICON_ID;
    configureMarker(startMarker, {start, start, start, start, start}, false);
    startMarker.offsetX = CachedDirections.front().x;
    startMarker.offsetY = CachedDirections.front().y;
    configureMarker(courierMarker,
                    {BITMAP_IMAGE_PIZZA_DELIVERY_ICON_ID, BITMAP_IMAGE_PIZZA_DELIVERY_LEFT_ICON_ID,
                     BITMAP_IMAGE_PIZZA_DELIVERY_UP_ICON_ID, BITMAP_IMAGE_PIZZA_DELIVERY_RIGHT_ICON_ID,
                     BITMAP_IMAGE_PIZZA_DELIVERY_DOWN_ICON_ID},
                    true);
    configureMarker(homeMarker,
                    {BITMAP_IMAGE_HOME_ICON_ID, BITMAP_IMAGE_HOME_LEFT_ICON_ID, BITMAP_IMAGE_HOME_UP_ICON_ID,
                     BITMAP_IMAGE_HOME_RIGHT_ICON_ID, BITMAP_IMAGE_HOME_DOWN_ICON_ID},
                    true);
    for (PizzaWaypointWidget* marker : {&courierMarker, &homeMarker}) {
        marker->roundButton = &progressRing;
        marker->topPanel = &topBar.getRect();
    }
    add(startMarker);
    add(courierMarker);
    add(homeMarker);
}

// The band at the bottom: its background, the texts either side of the ring
// and the ring's centre text.
void PizzaView::setupBottomPanel()
{
    bottomOverlay.setBitmap(ui::Bitmap(BITMAP_IMAGE_BOTTOM_OVERLAY_ID));
    bottomOverlay.setXY(static_cast<std::int16_t>((ui::HAL::DISPLAY_WIDTH - bottomOverlay.getWidth()) / 2),
                        static_cast<std::int16_t>(ui::HAL::DISPLAY_HEIGHT - bottomOverlay.getHeight()));
    add(bottomOverlay);

    excitedText.setColor(white);
    excitedText.setTypedText(ui::TypedText(T_GET_EXCITED_NOW));
    excitedText.setXY(38, 432);
    excitedText.resizeToCurrentText();
    add(excitedText);
    onItsWayText.setColor(white);
    onItsWayText.setTypedText(ui::TypedText(T_PIZZA_ON_ITS_WAY));
    onItsWayText.setXY(549, 432);
    onItsWayText.resizeToCurrentText();
    add(onItsWayText);

    centerText.setColor(black);
    centerText.setWildcard(centerTextBuffer);
    centerText.setY(centerTextY);
    add(centerText);
}

// The progress ring is also the order button; it sits on the bottom band.
void PizzaView::setupRing()
{
    progressPainter.setBitmap(ui::Bitmap(BITMAP_IMAGE_PROCESS_BAR_FULL_ID));
    progressRing.setPainter(progressPainter);
    add(progressRing);

    constexpr std::int16_t ringSize = 216;
    progressRing.setSpanStorage(&ringSpans);
    progressRing.setPosition(static_cast<std::int16_t>((ui::HAL::DISPLAY_WIDTH - ringSize) / 2),
                             static_cast<std::int16_t>(bottomOverlay.getY() + 5), ringSize, ringSize);
    progressRing.setCenter(ringSize / 2.0f, ringSize / 2.0f);
    progressRing.setRadius(102);
    progressRing.setCapPrecision(0);
    progressRing.setLineWidth(12);
}

void PizzaView::setupTopBar()
{
    topBar.setBitmap(ui::Bitmap(BITMAP_IMAGE_TOP_BAR_ID));
    topBar.setXY(static_cast<std::int16_t>(ui::HAL::DISPLAY_WIDTH / 2 - topBar.getWidth() / 2), 0);
    add(topBar);
    sdIcon.setBitmap(ui::Bitmap(BITMAP_IMAGE_SD_OFF_ID));
    sdIcon.setXY(static_cast<std::int16_t>(ui::HAL::DISPLAY_WIDTH / 2 - sdIcon.getWidth() / 2), 8);
    add(sdIcon);
    flashIcon.setBitmap(ui::Bitmap(BITMAP_IMAGE_FLASH_OFF_ID));
    flashIcon.setXY(static_cast<std::int16_t>(sdIcon.getX() - 5 - flashIcon.getWidth()), 8);
    add(flashIcon);
    bluetoothIcon.setBitmap(ui::Bitmap(BITMAP_IMAGE_BLUETOOTH_OFF_ID));
    bluetoothIcon.setXY(static_cast<std::int16_t>(sdIcon.getX() + sdIcon.getWidth() + 5), 8);
    add(bluetoothIcon);
}

void PizzaView::setupBitrate()
{
    bitrateBackground.setBitmap(ui::Bitmap(BITMAP_IMAGE_BITRATE_ID));
    bitrateBackground.setXY(static_cast<std::int16_t>(ui::HAL::DISPLAY_WIDTH / 2 - bitrateBackground.getWidth() / 2),
                            static_cast<std::int16_t>(topBar.getY() + topBar.getHeight() + 4));
    add(bitrateBackground);
    bitrateLabel.setColor(white);
    bitrateLabel.setTypedText(ui::TypedText(T_BITRATE_LABEL));
    bitrateLabel.setXY(static_cast<std::int16_t>(bitrateBackground.getX() + 16),
                       static_cast<std::int16_t>(bitrateBackground.getY() + 7));
    bitrateLabel.resizeToCurrentText();
    add(bitrateLabel);
    // Right-aligned: the text grows leftwards from 16 pixels inside the
    // background's right end.
    bitrateText.setColor(white);
    bitrateText.setXY(static_cast<std::int16_t>(bitrateBackground.getX() + bitrateBackground.getWidth() - 16),
                      bitrateLabel.getY());
    bitrateText.setTypedText(ui::TypedText(T_BITRATE_VALUE));
    bitrateText.setWildcard(bitrateBuffer);
    add(bitrateText);
    setBitrate(TileFetcher::Bitrate::Instant);
}

// The info button and the two information pages it opens, hidden until then.
void PizzaView::setupInformationPages()
{
    infoButton.setBitmap(ui::Bitmap(BITMAP_IMAGE_INFO_NORMAL_ID));
    infoButton.setXY(static_cast<std::int16_t>(ui::HAL::DISPLAY_WIDTH - 17 - infoButton.getWidth()), 17);
    add(infoButton);
    infoBackground.setBitmap(ui::Bitmap(BITMAP_IMAGE_INFO_BACKGROUND_1_ID));
    infoBackground.setXY(0, 0);
    backButton.setBitmap(ui::Bitmap(BITMAP_IMAGE_BACK_ID));
    backButton.setXY(20, 20);
    leftArrow.setBitmap(ui::Bitmap(BITMAP_IMAGE_INFO_LEFT_ARROW_ID));
    leftArrow.setXY(20, static_cast<std::int16_t>(ui::HAL::DISPLAY_HEIGHT - 20 - leftArrow.getHeight()));
    rightArrow.setBitmap(ui::Bitmap(BITMAP_IMAGE_INFO_RIGHT_ARROW_ID));
    rightArrow.setXY(static_cast<std::int16_t>(ui::HAL::DISPLAY_WIDTH - 20 - rightArrow.getWidth()), leftArrow.getY());
    for (ui::Image* part : {&infoBackground, &rightArrow, &leftArrow, &backButton}) {
        part->setVisible(false);
        add(*part);
    }
}

void PizzaView::configureRoute(vecta::RouteOverlay& route, std::uint8_t red, std::uint8_t green, std::uint8_t blue)
{
    route.color[0] = red;
    route.color[1] = green;
    route.color[2] = blue;
    route.color[3] = 255;
    route.lineWidth = 60.0f;
    route.rotationCenterX = route.translationX = mapAnchorX;
    route.rotationCenterY = route.translationY = mapAnchorY;
    route.enabled = true;
    route.commands = routeCommands;
    route.points = routePoints;
}

void PizzaView::configureMarker(vecta::WaypointWidget& marker, const vecta::WaypointWidget::WaypointBitmaps& bitmaps,
                                bool keepOnScreen)
{
    marker.setPosition(0, 0, ui::HAL::DISPLAY_WIDTH, mapAreaHeight);
    marker.bitmaps = bitmaps;
    marker.keepOnScreen = keepOnScreen;
    marker.rotationCenterX = marker.screenCenterX = mapAnchorX;
    marker.rotationCenterY = marker.screenCenterY = mapAnchorY;
}

void PizzaView::showCourierAndRoute(bool visible)
{
    for (ui::Drawable* part :
         std::initializer_list<ui::Drawable*>{&startMarker, &courierMarker, &excitedText, &onItsWayText}) {
        part->setVisible(visible);
    }
    travelledRoute.enabled = visible;
    remainingRoute.enabled = visible;
    homeMarker.setVisible(true);
}

void PizzaView::showIdle()
{
    showCourierAndRoute(false);
    setCenterText(T_ORDER);
    getRootContainer().invalidate();
}

void PizzaView::showOnItsWay()
{
    showCourierAndRoute(true);
    getRootContainer().invalidate();
}

void PizzaView::showArrived()
{
    showCourierAndRoute(false);
    setCenterText(T_ARRIVED);
    getRootContainer().invalidate();
}

void PizzaView::setCenterText(ui::TypedTextId text)
{
    centerText.setTypedText(ui::TypedText(text));
    centerText.resizeToCurrentText();
    centerText.centerX();
}

void PizzaView::setTime(std::uint8_t minutes, std::uint8_t seconds)
{
    centerText.setTypedText(ui::TypedText(T_REMAINING_TIME));
    ui::Unicode::snprintf(centerTextBuffer, 20, "%02d:%02d", minutes, seconds);
    centerText.invalidate();
    centerText.resizeToCurrentText();
    centerText.centerX();
    centerText.invalidate();
}

void PizzaView::setProgress(std::uint32_t step)
{
    const std::uint32_t shown = std::min(step, lastProgressStep);
    const auto end = static_cast<float>(static_cast<std::int32_t>(shown * 240 / lastProgressStep) - 120);
    progressRing.updateArc(-120.0f, end);
}

void PizzaView::setBitrate(TileFetcher::Bitrate bitrate)
{
    TileFetcher::SetBitrate(bitrate);
    switch (bitrate) {
    case TileFetcher::Bitrate::Instant:
        flashIcon.setBitmap(ui::Bitmap(BITMAP_IMAGE_FLASH_ON_ID));
        sdIcon.setBitmap(ui::Bitmap(BITMAP_IMAGE_SD_OFF_ID));
        bluetoothIcon.setBitmap(ui::Bitmap(BITMAP_IMAGE_BLUETOOTH_OFF_ID));
        break;
    case TileFetcher::Bitrate::Kbps262:
        flashIcon.setBitmap(ui::Bitmap(BITMAP_IMAGE_FLASH_OFF_ID));
        sdIcon.setBitmap(ui::Bitmap(BITMAP_IMAGE_SD_ON_ID));
        bluetoothIcon.setBitmap(ui::Bitmap(BITMAP_IMAGE_BLUETOOTH_OFF_ID));
        break;
    case TileFetcher::Bitrate::Kbps44:
        flashIcon.setBitmap(ui::Bitmap(BITMAP_IMAGE_FLASH_OFF_ID));
        sdIcon.setBitmap(ui::Bitmap(BITMAP_IMAGE_SD_OFF_ID));
        bluetoothIcon.setBitmap(ui::Bitmap(BITMAP_IMAGE_BLUETOOTH_ON_ID));
        break;
    }
    flashIcon.invalidate();
    sdIcon.invalidate();
    bluetoothIcon.invalidate();

    // What the fetcher now runs at, read back.
    if (TileFetcher::GetCurrentBitrate() != TileFetcher::Bitrate::Instant) {
        ui::Unicode::snprintf(bitrateBuffer, bitrateTextLimit, "%d kb/s", TileFetcher::GetCurrentBitrateKbPerS());
    } else {
        ui::Unicode::snprintf(bitrateBuffer, bitrateTextLimit, "Instant");
    }
    bitrateText.invalidate();
    bitrateText.resizeToCurrentTextWithAlignment();
    bitrateText.invalidate();
}

void PizzaView::cycleBitrate()
{
    switch (TileFetcher::GetCurrentBitrate()) {
    case TileFetcher::Bitrate::Instant:
        setBitrate(TileFetcher::Bitrate::Kbps262);
        break;
    case TileFetcher::Bitrate::Kbps262:
        setBitrate(TileFetcher::Bitrate::Kbps44);
        break;
    case TileFetcher::Bitrate::Kbps44:
        setBitrate(TileFetcher::Bitrate::Instant);
        break;
    }
}

void PizzaView::setInfoScreenVisible(bool visible)
{
    for (ui::Image* part : {&infoBackground, &backButton, &rightArrow, &leftArrow}) {
        part->setVisible(visible);
        part->invalidate();
    }
}

void PizzaView::setPositionClickedCallback(std::function<void()> callback)
{
    courierMarker.clickedCallback = std::move(callback);
}

void PizzaView::setHomeClickedCallback(std::function<void()> callback)
{
    homeMarker.clickedCallback = std::move(callback);
}

void PizzaView::setOrderClickedCallback(std::function<void()> callback)
{
    orderClickedCallback = std::move(callback);
}

void PizzaView::handleDragEvent(const ui::DragEvent& event)
{
    BaseMapView::handleDragEvent(event);
    presenter->notifyTouch();
}

bool PizzaView::ringTapped(const ui::ClickEvent& release) const
{
    // The whole disc counts, the inside of the ring included.
    const std::int32_t halfWidth = progressRing.getWidth() / 2;
    const std::int32_t halfHeight = progressRing.getHeight() / 2;
    const std::int32_t cx = progressRing.getX() + halfWidth;
    const std::int32_t cy = progressRing.getY() + halfHeight;
    const std::int32_t radiusSquared = halfWidth * halfHeight;
    const auto inside = [&](std::int32_t x, std::int32_t y) {
        return (x - cx) * (x - cx) + (y - cy) * (y - cy) < radiusSquared;
    };
    return inside(pressX, pressY) && inside(release.getX(), release.getY());
}

void PizzaView::handleInfoClick(const ui::ClickEvent& event)
{
    if (event.getType() != ui::ClickEvent::RELEASED) {
        return;
    }
    if (tapped(backButton.getRect(), event)) {
        setInfoScreenVisible(false);
    }
    if (tapped(rightArrow.getRect(), event) || tapped(leftArrow.getRect(), event)) {
        const bool firstPage = infoBackground.getBitmap().getId() == BITMAP_IMAGE_INFO_BACKGROUND_1_ID;
        infoBackground.setBitmap(
            ui::Bitmap(firstPage ? BITMAP_IMAGE_INFO_BACKGROUND_2_ID : BITMAP_IMAGE_INFO_BACKGROUND_1_ID));
        infoBackground.invalidate();
    }
}

void PizzaView::handleClickEvent(const ui::ClickEvent& event)
{
    if (handleMapClick(event)) {
        return;
    }
    if (event.getType() == ui::ClickEvent::PRESSED) {
        presenter->notifyTouch();
    }
    // The open information overlay takes every tap but the grid button's.
    if (infoBackground.isVisible()) {
        handleInfoClick(event);
        return;
    }
    homeMarker.handleClickEvent(event);
    courierMarker.handleClickEvent(event);
    if (event.getType() != ui::ClickEvent::RELEASED) {
        return;
    }
    if (orderClickedCallback && ringTapped(event)) {
        orderClickedCallback();
    }
    if (tapped(topBar.getRect(), event)) {
        cycleBitrate();
    }
    if (tapped(infoButton.getRect(), event)) {
        setInfoScreenVisible(true);
    }
}
