#pragma once

#include "ui/Drawable.hpp"

namespace ui {

// A leaf drawable.
class Widget : public Drawable {};

} // namespace ui
