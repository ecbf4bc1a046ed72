#pragma once

#include <string>

#include "model/DirectionsData.hpp"
#include "screens/ScreenTree.hpp"
#include "ui/Screen.hpp"
#include "ui/widgets/Image.hpp"
#include "ui/widgets/TextArea.hpp"
#include "ui/widgets/canvas/CanvasWidget.hpp"
#include "vecta/widgets/GridOverlay.hpp"
#include "vecta/widgets/MapWidget.hpp"
#include "vecta/widgets/WaypointWidget.hpp"
#include "vecta/widgets/overlays/RouteOverlay.hpp"

// The pizza screen's widgets, found in draw order: the screen base's two
// boxes, the base map view's map, grid button and frame rate, then the
// pizza view's own members.
struct PizzaScreenParts {
    explicit PizzaScreenParts(ui::Screen& screen) : all(drawables(screen))
    {
        const auto route = overlaysOf<vecta::RouteOverlay>(map);
        // In drawing order: the remaining route over the travelled one.
        travelledRoute = route.at(0);
        remainingRoute = route.at(1);
        grid = overlaysOf<vecta::GridOverlay>(map).at(0);
    }

    template <class T> T& at(std::size_t index) const { return dynamic_cast<T&>(*all.at(index)); }

    std::vector<ui::Drawable*> all;
    vecta::MapWidget& map = at<vecta::MapWidget>(2);
    ui::Image& gridButton = at<ui::Image>(3);
    ui::TextAreaWithOneWildcard& fpsText = at<ui::TextAreaWithOneWildcard>(4);
    vecta::WaypointWidget& startMarker = at<vecta::WaypointWidget>(5);
    vecta::WaypointWidget& courierMarker = at<vecta::WaypointWidget>(6);
    vecta::WaypointWidget& homeMarker = at<vecta::WaypointWidget>(7);
    ui::TextArea& excitedText = at<ui::TextArea>(11);
    ui::TextAreaWithOneWildcard& centerText = at<ui::TextAreaWithOneWildcard>(13);
    ui::Circle& ring = at<ui::Circle>(14);
    ui::Image& topBar = at<ui::Image>(15);
    ui::Image& sdIcon = at<ui::Image>(16);
    ui::Image& flashIcon = at<ui::Image>(17);
    ui::Image& bluetoothIcon = at<ui::Image>(18);
    ui::TextAreaWithOneWildcard& bitrateText = at<ui::TextAreaWithOneWildcard>(21);
    ui::Image& infoBackground = at<ui::Image>(23);
    ui::Image& backButton = at<ui::Image>(26);
    const vecta::RouteOverlay* remainingRoute = nullptr;
    const vecta::RouteOverlay* travelledRoute = nullptr;
    const vecta::GridOverlay* grid = nullptr;
};

// What a text area shows, its placeholder filled in.
inline std::string shownText(const ui::TextArea& area)
{
    std::string text;
    for (const ui::UnicodeChar* c = area.getTypedText().getText(); *c != 0; ++c) {
        if (*c == ui::TEXT_PLACEHOLDER) {
            for (const ui::UnicodeChar* w = area.getWildcard1(); w != nullptr && *w != 0; ++w) {
                text += static_cast<char>(*w);
            }
        } else {
            text += static_cast<char>(*c);
        }
    }
    return text;
}
