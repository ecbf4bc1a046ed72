#include <gtest/gtest.h>

#include <cmath>

#include "MapViewPlacement.hpp"
#include "model/Model.hpp"
#include "vecta/widgets/MapPlacement.hpp"

namespace {

// Where the map position itself lands on screen: its offset inside the
// origin tile, in the block's centre cell.
ui::Matrix3x3::Point centreOnScreen(const MapPosition& position)
{
    vecta::MapPlacement placement;
    mapdemo::placeMapView(position, placement);
    const ui::Matrix3x3 matrix = placement.placementMatrix(4096.0f, 4096.0f);
    return matrix.affineTransform(static_cast<float>(position.x - position.tileX * 4096),
                                  static_cast<float>(position.y - position.tileY * 4096));
}

} // namespace

TEST(MapViewPlacement, TheMapPositionLandsOnTheAnchorAtAnyScaleAndRotation)
{
    Model model;
    const struct {
        float latitude, longitude, scale, rotation;
    } views[] = {{56.1699f, 10.190293f, 0.25f, 0.0f},
                 {56.152f, 10.205f, 0.3f, 30.0f},
                 {56.0f, 9.5f, 0.006f, -75.0f},
                 {56.185f, 10.18f, 1.5f, 181.0f}};
    for (const auto& view : views) {
        model.setCoordinates(view.latitude, view.longitude);
        model.setScale(view.scale);
        model.setRotation(view.rotation);
        const auto point = centreOnScreen(model.getMapPosition());
        // The tile corner's round trip through the single-precision
        // projection moves it by a map unit or two, plus up to two float
        // steps of the map unit value (16 units at zoom 16).
        const auto y = static_cast<float>(model.getMapPosition().y);
        const float floatStep = std::nextafter(y, 2.0f * y) - y;
        const float tolerance = (2.0f + 2.0f * floatStep) * model.getMapPosition().tileScale + 0.01f;
        EXPECT_NEAR(point.x, 400.0f, tolerance) << view.scale << " " << view.rotation;
        EXPECT_NEAR(point.y, 180.0f, tolerance) << view.scale << " " << view.rotation;
    }
}
