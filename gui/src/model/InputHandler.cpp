#include "model/InputHandler.hpp"

#include "model/MapProjection.hpp"
#include "ui/TouchGestures.hpp"

namespace {

// Translations are kept in 16 bits; they wrap, and the differences taken
// between two samples stay right as long as one frame moves less than that.
std::int16_t toPixels16(float value)
{
    return static_cast<std::int16_t>(truncateToInt32(value));
}

} // namespace

void InputHandler::update()
{
    if (!mapTouchReady) {
        return;
    }
    current.scale = mapScale;
    current.rotation = mapRotation;
    current.centerX = mapRotationCenterX;
    current.centerY = mapRotationCenterY;
    current.dx = toPixels16(mapTx);
    current.dy = toPixels16(mapTy);
    current.valid = true;
    mapTouchReady = false;

    // Re-base where a phase begins, so that it never jumps by the absolute
    // scale or rotation it starts at; every later sample reaches the map,
    // whether or not the fingers' midpoint moved.
    if (!mapGestureBegan && started) {
        return;
    }
    mapGestureBegan = false;
    baseline = current;
    started = true;
}

MapTransform InputHandler::getTransform()
{
    MapTransform result;
    if (!current.valid) {
        return result;
    }
    result.scale = baseline.scale > 0.0f ? current.scale / baseline.scale : 1.0f;
    result.rotation = current.rotation - baseline.rotation;
    result.dx = static_cast<std::int16_t>(current.dx - baseline.dx);
    result.dy = static_cast<std::int16_t>(current.dy - baseline.dy);
    result.centerX = current.centerX;
    result.centerY = current.centerY;
    result.valid = true;

    current.valid = false;
    baseline = current;
    return result;
}
