#pragma once

#include <array>

#include "dogtrack_screen/DogTrackPresenter.hpp"
#include "dogtrack_screen/DogTrackViewBase.hpp"
#include "map_screen/BaseMapView.hpp"
#include "model/DogTrackModel.hpp"
#include "model/MapPosition.hpp"
#include "vecta/widgets/WaypointWidget.hpp"
#include "vecta/widgets/overlays/RouteOverlay.hpp"

// The dog tracker: the map centred on the owner, a marker for the owner and
// for each dog, and each dog's trail drawn with the map.
class DogTrackView : public BaseMapView<DogTrackViewBase> {
public:
    void setupScreen() override;
    void tearDownScreen() override {}

    void setMapPosition(const MapPosition& position);
    void setMePosition(const MapPosition& position, vecta::Coordinate owner);
    // Dogs off the map area stay at its nearest edge.
    void setDogPositions(const MapPosition& position, std::array<vecta::Coordinate, dogCount> dogs);
    // The trails are read in place: the offsets are already relative to the
    // map position.
    void setDogTrail(const MapPosition& position, const std::array<DogTrackModel::DogTrail, dogCount>& trails);

private:
    void configureMarker(vecta::WaypointWidget& marker, ui::BitmapId icon, bool keepOnScreen);

    vecta::WaypointWidget ownerMarker;
    std::array<vecta::WaypointWidget, dogCount> dogMarkers;
    std::array<vecta::RouteOverlay, dogCount> trailOverlays;
};
