#pragma once

#include "model/Region.hpp"

// The flash image's region, read in place; the built-in one when the image
// has none. A damaged record stops start-up before the GUI is built.
Region imageRegion();
