#include "ui/Matrix3x3.hpp"

#include <cmath>

#include "portable/Math.hpp"

namespace ui {

Matrix3x3::Matrix3x3() : elements{{1.0f, 0.0f, 0.0f}, {0.0f, 1.0f, 0.0f}, {0.0f, 0.0f, 1.0f}}
{
}

void Matrix3x3::scale(float sx, float sy)
{
    for (int c = 0; c < 3; ++c) {
        elements[0][c] *= sx;
        elements[1][c] *= sy;
    }
}

void Matrix3x3::rotate(float degrees)
{
    // Reduced first: rotations accumulate without bound, and a large angle
    // times pi loses all precision or overflows.
    const float angle = std::fmod(degrees, 360.0f) * 3.1415927f / 180.0f;
    // The same bits on the board and the PC, whatever their C libraries.
    const float cosA = portable::cos(angle);
    const float sinA = portable::sin(angle);
    for (int c = 0; c < 3; ++c) {
        const float row0 = elements[0][c];
        const float row1 = elements[1][c];
        elements[0][c] = cosA * row0 - sinA * row1;
        elements[1][c] = sinA * row0 + cosA * row1;
    }
}

void Matrix3x3::translate(float tx, float ty)
{
    for (int c = 0; c < 3; ++c) {
        elements[0][c] += tx * elements[2][c];
        elements[1][c] += ty * elements[2][c];
    }
}

Matrix3x3::Point Matrix3x3::affineTransform(float x, float y) const
{
    return Point{elements[0][0] * x + elements[0][1] * y + elements[0][2],
                 elements[1][0] * x + elements[1][1] * y + elements[1][2]};
}

} // namespace ui
