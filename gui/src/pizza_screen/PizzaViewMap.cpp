#include <algorithm>

#include "model/PizzaModel.hpp"
#include "pizza_screen/PizzaView.hpp"

// The map side of the pizza view: the map, the route split at the courier
// and the markers, all placed from offsets relative to the map position.

namespace {

// The courier moves on by this much of a segment every third frame.
constexpr std::uint32_t subStepsPerMove = 3;
constexpr std::uint32_t subStepsPerSegment = PizzaModel::framesPerStep;
constexpr std::uint32_t lastRoutePoint = PizzaModel::lastStep;

template <class Placement> void scaleAndTurn(Placement& placement, const MapPosition& position)
{
    placement.scaleX = position.tileScale;
    placement.scaleY = position.tileScale;
    placement.rotation = position.rotation;
}

void placeAt(vecta::WaypointWidget& marker, vecta::Point offset)
{
    marker.offsetX = offset.x;
    marker.offsetY = offset.y;
    marker.updatePosition();
}

} // namespace

void PizzaView::setMapPosition(const MapPosition& position, std::uint32_t)
{
    updateMapPosition(position);
    scaleAndTurn(travelledRoute, position);
    scaleAndTurn(remainingRoute, position);
    scaleAndTurn(startMarker, position);
    scaleAndTurn(courierMarker, position);
    scaleAndTurn(homeMarker, position);
    placeMarkers();
    // Everything that follows the map lies in its area.
    mapWidget.invalidate();
}

void PizzaView::setCurrentStep(std::uint32_t step)
{
    // The route has no point beyond the last.
    currentStep = std::min(step, lastRoutePoint);
    subStep = 0;
    tickCount = 0;
    placeMarkers();
    // The courier's point belongs to both parts, so the lines meet.
    travelledRoute.routePoints = &CachedDirections[0];
    travelledRoute.routeLength = currentStep + 1;
    remainingRoute.routePoints = &CachedDirections[currentStep];
    remainingRoute.routeLength = directionsPointCount - currentStep;
    // Both parts change: the route is redrawn where it lies.
    ui::Rect travelled = travelledRoute.strokeBounds();
    ui::Rect remaining = remainingRoute.strokeBounds();
    mapWidget.invalidateRect(travelled);
    mapWidget.invalidateRect(remaining);
}

void PizzaView::handleTickEvent()
{
    BaseMapView::handleTickEvent();
    if (tickCount % subStepsPerMove != 0) {
        ++tickCount;
        return;
    }
    subStep += subStepsPerMove;
    placeAt(courierMarker, courierPosition());
    ++tickCount;
}

void PizzaView::placeMarkers()
{
    placeAt(startMarker, CachedDirections.front());
    placeAt(homeMarker, CachedDirections.back());
    placeAt(courierMarker, courierPosition());
}

vecta::Point PizzaView::courierPosition() const
{
    const vecta::Point from = CachedDirections[currentStep];
    if (currentStep >= lastRoutePoint) {
        return from;
    }
    const vecta::Point to = CachedDirections[currentStep + 1];
    const float f = static_cast<float>(subStep) / static_cast<float>(subStepsPerSegment);
    return {static_cast<std::int32_t>(static_cast<float>(from.x) + f * static_cast<float>(to.x - from.x)),
            static_cast<std::int32_t>(static_cast<float>(from.y) + f * static_cast<float>(to.y - from.y))};
}
