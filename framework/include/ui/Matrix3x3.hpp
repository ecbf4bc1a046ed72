#pragma once

namespace ui {

// Row-major 3x3 transform. Every operation multiplies on the left, so the
// operations apply in the order they are called.
class Matrix3x3 {
public:
    struct Point {
        float x;
        float y;
    };

    Matrix3x3();

    void scale(float sx, float sy);
    void rotate(float degrees);
    void translate(float tx, float ty);
    Point affineTransform(float x, float y) const;

    float elements[3][3];
};

} // namespace ui
