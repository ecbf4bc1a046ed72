// Maintained by hand: no tool writes this file.

#pragma once

#include "ui/TypedText.hpp"

// Typed-text identifiers: indices into the text table.
enum TypedTextId : ui::TypedTextId {
    T_GET_EXCITED_NOW = 0,
    T_PIZZA_ON_ITS_WAY = 1,
    T_REMAINING_TIME = 2,
    T_ORDER = 3,
    T_ARRIVED = 4,
    T_TWO_VALUES = 5,
    T_BITRATE_LABEL = 6,
    T_BITRATE_VALUE = 7,
    T_FRAME_RATE = 8,
};
