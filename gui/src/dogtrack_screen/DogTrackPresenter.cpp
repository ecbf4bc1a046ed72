#include "dogtrack_screen/DogTrackPresenter.hpp"

#include "dogtrack_screen/DogTrackView.hpp"

namespace {

// Zoom level 16 with the owner's surroundings filling the screen.
constexpr float ownerViewScale = 1.0152595f;

} // namespace

void DogTrackPresenter::activate()
{
    Model& m = getModel();
    m.setActiveScreen(ActiveScreen::DogTrack);
    const vecta::Coordinate start = m.getDogTrackModel().getOwnerPosition();
    m.setCoordinates(start.latitude, start.longitude);
    m.setScale(ownerViewScale);
}

void DogTrackPresenter::mapPositionChanged()
{
    const MapPosition& position = getModel().getMapPosition();
    view.setMapPosition(position);
    ownerPositionsChanged();
    dogPositionsChanged();
}

void DogTrackPresenter::dogPositionsChanged()
{
    const DogTrackModel& dogs = getModel().getDogTrackModel();
    const MapPosition& position = getModel().getMapPosition();
    view.setDogPositions(position, dogs.getDogPositions());
    view.setDogTrail(position, dogs.getTrails());
}

void DogTrackPresenter::ownerPositionsChanged()
{
    view.setMePosition(getModel().getMapPosition(), getModel().getDogTrackModel().getOwnerPosition());
}
