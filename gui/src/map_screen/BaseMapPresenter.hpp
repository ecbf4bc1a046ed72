#pragma once

#include "model/Model.hpp"
#include "model/ModelListener.hpp"
#include "vecta/MapStyle.hpp"
#include "vecta/TileTranscoder.hpp"

// What both map presenters share: the model link and the transcoder that
// turns fetched tiles into the cache's segment buffers.
template <class PresenterBase> class BaseMapPresenter : public PresenterBase, public ModelListener {
public:
    Model& getModel() { return *model; }
    vecta::TileTranscoder& getTranscoder() { return transcoder; }

protected:
    BaseMapPresenter() : transcoder(vecta::getMapStyle()) {}

private:
    vecta::TileTranscoder transcoder;
};
