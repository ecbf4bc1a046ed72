#include "model/UniformDraw.hpp"

#include <cmath>

float uniformDraw(std::mt19937& engine, float low, float high)
{
    const auto output = static_cast<std::uint32_t>(engine());
    float u = static_cast<float>(output) * 0x1p-32f;
    if (u >= 1.0f) {
        u = std::nextafter(1.0f, 0.0f);
    }
    return std::fma(high - low, u, low);
}
