#pragma once

#include "map_screen/BaseMapPresenter.hpp"
#include "mvp/Presenter.hpp"

class DogTrackView;

// Shows the dog simulation on the dog-track screen: the owner, the five dogs
// and their trails on the map.
class DogTrackPresenter : public BaseMapPresenter<ui::Presenter> {
public:
    explicit DogTrackPresenter(DogTrackView& v) : view(v) {}

    void activate() override;

    void mapPositionChanged() override;
    void dogPositionsChanged() override;
    void ownerPositionsChanged() override;

private:
    DogTrackView& view;
};
