#pragma once

#include <vector>

#include "ui/Screen.hpp"
#include "vecta/widgets/MapWidget.hpp"

// The screen as the framework sees it: its drawables in draw order and the
// map's overlays in drawing order. Tests look at widgets through these.
inline std::vector<ui::Drawable*> drawables(ui::Screen& screen)
{
    std::vector<ui::Drawable*> result;
    for (ui::Drawable* d = screen.getRootContainer().getFirstChild(); d != nullptr; d = d->getNextSibling()) {
        result.push_back(d);
    }
    return result;
}

// The drawables of type T, in draw order.
template <class T> std::vector<T*> drawablesOf(ui::Screen& screen)
{
    std::vector<T*> result;
    for (ui::Drawable* d : drawables(screen)) {
        if (auto* t = dynamic_cast<T*>(d)) {
            result.push_back(t);
        }
    }
    return result;
}

template <class T> std::vector<const T*> overlaysOf(const vecta::MapWidget& map)
{
    std::vector<const T*> result;
    for (const vecta::MapOverlay* o = map.overlays; o != nullptr; o = o->next) {
        if (const auto* t = dynamic_cast<const T*>(o)) {
            result.push_back(t);
        }
    }
    return result;
}
