#pragma once

#include <cmath>

// The PC's and the board's C libraries round their float functions
// differently, while their double functions round to the same float. The
// model's results must not depend on where it runs, so its float
// transcendentals go through double.
namespace portable {

inline float sin(float x)
{
    return static_cast<float>(std::sin(static_cast<double>(x)));
}

inline float cos(float x)
{
    return static_cast<float>(std::cos(static_cast<double>(x)));
}

inline float tan(float x)
{
    return static_cast<float>(std::tan(static_cast<double>(x)));
}

inline float atan(float x)
{
    return static_cast<float>(std::atan(static_cast<double>(x)));
}

inline float sinh(float x)
{
    return static_cast<float>(std::sinh(static_cast<double>(x)));
}

inline float log(float x)
{
    return static_cast<float>(std::log(static_cast<double>(x)));
}

inline float log2(float x)
{
    return static_cast<float>(std::log2(static_cast<double>(x)));
}

} // namespace portable
