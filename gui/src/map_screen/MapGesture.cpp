#include "map_screen/MapGesture.hpp"

#include <cmath>

#include "model/MapProjection.hpp"
#include "portable/Math.hpp"

namespace {

constexpr float degreesToRadians = 0.017453292f;

struct Offset {
    float x;
    float y;
};

// Turns a screen offset by -degrees: from screen directions to map directions.
Offset unrotate(float degrees, float u, float v)
{
    const float a = -std::fmod(degrees, 360.0f) * degreesToRadians;
    const float cosine = portable::cos(a);
    const float sine = portable::sin(a);
    return {u * cosine - v * sine, u * sine + v * cosine};
}

// Centres the map on the point `offset` pixels (map directions) from the
// current centre.
void moveCentreBy(Model& model, Offset offset)
{
    const MapPosition& position = model.getMapPosition();
    const std::int32_t x = truncateToInt32(static_cast<float>(position.x) + offset.x / position.tileScale);
    const std::int32_t y = truncateToInt32(static_cast<float>(position.y) + offset.y / position.tileScale);
    const vecta::Coordinate centre = toCoordinate(static_cast<float>(x), static_cast<float>(y), position.zoom);
    model.setCoordinates(centre.latitude, centre.longitude);
}

} // namespace

void applyMapGesture(Model& model, const MapTransform& transform)
{
    const MapPosition& position = model.getMapPosition();
    if (transform.dx != 0 || transform.dy != 0) {
        // Dragging the map one way shows what lies the other way.
        moveCentreBy(model,
                     unrotate(position.rotation, static_cast<float>(-transform.dx), static_cast<float>(-transform.dy)));
    }
    if (transform.scale != 1.0f) {
        model.setScale(position.scale * transform.scale);
    }
    if (transform.rotation != 0.0f) {
        const float before = position.rotation;
        const float after = before + transform.rotation;
        const float u = transform.centerX - mapAnchorX;
        const float v = transform.centerY - mapAnchorY;
        const Offset was = unrotate(before, u, v);
        const Offset now = unrotate(after, u, v);
        model.setRotation(after);
        moveCentreBy(model, {was.x - now.x, was.y - now.y});
        model.setRotationCenter(transform.centerX, transform.centerY);
    }
}
