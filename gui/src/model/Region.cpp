#include "model/Region.hpp"

#include "model/DirectionsData.hpp"
#include "model/DogTrackModel.hpp"

const Region builtInRegion{builtInStart, builtInStartScale, DEFAULT_POSITION, DirectionsData.data()};
