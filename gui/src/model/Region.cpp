#include "model/Region.hpp"

#include "model/DirectionsData.hpp"
#include "model/DogTrackModel.hpp"

const Region builtInRegion{{56.169898986816406f, 10.190293312072754f}, 0.25f, DEFAULT_POSITION, DirectionsData.data()};
