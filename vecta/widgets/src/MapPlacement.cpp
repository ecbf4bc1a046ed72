#include "vecta/widgets/MapPlacement.hpp"

namespace vecta {

ui::Matrix3x3 MapPlacement::placementMatrix(float offsetX, float offsetY) const
{
    ui::Matrix3x3 m;
    m.scale(scaleX, scaleY);
    m.translate(translationX - rotationCenterX + offsetX * scaleX, translationY - rotationCenterY + offsetY * scaleY);
    m.rotate(rotation);
    m.translate(rotationCenterX, rotationCenterY);
    return m;
}

} // namespace vecta
