#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <functional>
#include <limits>

#include "portable/Math.hpp"

namespace {

// Distance from the exact value in units of the float's last place there.
double ulpsFrom(float value, double exact)
{
    const auto rounded = static_cast<float>(exact);
    const float step = std::nextafter(std::fabs(rounded), std::numeric_limits<float>::infinity()) - std::fabs(rounded);
    return std::fabs(static_cast<double>(value) - exact) / static_cast<double>(step);
}

struct Case {
    const char* name;
    std::function<float(float)> ours;
    std::function<double(double)> exact;
    float from;
    float to;
};

} // namespace

// The ranges the model uses: headings, latitudes, Mercator arguments, scales.
TEST(PortableMath, WithinThreeUnitsInTheLastPlaceOverTheModelsRanges)
{
    const Case cases[] = {
        {"sin", portable::sin, [](double x) { return std::sin(x); }, -7.0f, 7.0f},
        {"cos", portable::cos, [](double x) { return std::cos(x); }, -7.0f, 7.0f},
        {"tan", portable::tan, [](double x) { return std::tan(x); }, -1.4845f, 1.4845f},
        {"atan", portable::atan, [](double x) { return std::atan(x); }, -12.0f, 12.0f},
        {"sinh", portable::sinh, [](double x) { return std::sinh(x); }, -3.2f, 3.2f},
        {"exp", portable::exp, [](double x) { return std::exp(x); }, -20.0f, 20.0f},
        {"log", portable::log, [](double x) { return std::log(x); }, 0.001f, 30.0f},
        {"log2", portable::log2, [](double x) { return std::log2(x); }, 0.001f, 30.0f},
    };
    constexpr int samples = 200000;
    for (const Case& c : cases) {
        double worst = 0.0;
        float worstAt = 0.0f;
        for (int i = 0; i <= samples; ++i) {
            const float x = c.from + (c.to - c.from) * static_cast<float>(i) / samples;
            const double ulps = ulpsFrom(c.ours(x), c.exact(static_cast<double>(x)));
            if (ulps > worst) {
                worst = ulps;
                worstAt = x;
            }
        }
        EXPECT_LE(worst, 3.0) << c.name << " at " << worstAt;
    }
}

TEST(PortableMath, ExactWhereTheZoomLevelAndTheMapCentreDependOnIt)
{
    for (int e = -30; e <= 30; ++e) {
        EXPECT_EQ(portable::log2(std::ldexp(1.0f, e)), static_cast<float>(e)) << e;
    }
    EXPECT_EQ(portable::log(1.0f), 0.0f);
    EXPECT_EQ(portable::sin(0.0f), 0.0f);
    EXPECT_EQ(portable::cos(0.0f), 1.0f);
    EXPECT_EQ(portable::tan(0.0f), 0.0f);
    EXPECT_EQ(portable::atan(0.0f), 0.0f);
    EXPECT_EQ(portable::sinh(0.0f), 0.0f);
}

TEST(PortableMath, InputsOutsideTheFastPathsGiveTheLibrarysAnswers)
{
    EXPECT_TRUE(std::isnan(portable::sin(std::numeric_limits<float>::quiet_NaN())));
    EXPECT_TRUE(std::isnan(portable::cos(std::numeric_limits<float>::infinity())));
    EXPECT_TRUE(std::isnan(portable::atan(std::numeric_limits<float>::quiet_NaN())));
    EXPECT_TRUE(std::isnan(portable::log(-1.0f)));
    EXPECT_EQ(portable::log(0.0f), -std::numeric_limits<float>::infinity());
    EXPECT_EQ(portable::exp(100.0f), std::numeric_limits<float>::infinity());
    EXPECT_EQ(portable::exp(-200.0f), 0.0f);
    EXPECT_FLOAT_EQ(portable::sin(100000.0f), static_cast<float>(std::sin(100000.0)));
    EXPECT_FLOAT_EQ(portable::atan(1.0e30f), 1.5707964f);
}

// Beyond the fast reduction, up to the largest float: the exact reduction
// must keep the quadrant and the bits after it.
TEST(PortableMath, LargeArgumentsWithinThreeUnitsInTheLastPlace)
{
    const Case cases[] = {
        {"sin", portable::sin, [](double x) { return std::sin(x); }, 0.0f, 0.0f},
        {"cos", portable::cos, [](double x) { return std::cos(x); }, 0.0f, 0.0f},
        {"tan", portable::tan, [](double x) { return std::tan(x); }, 0.0f, 0.0f},
    };
    for (const Case& c : cases) {
        double worst = 0.0;
        float worstAt = 0.0f;
        // Every binade from 2^13 up, 4000 arguments in each, both signs.
        for (int e = 13; e < 128; ++e) {
            for (int i = 0; i < 4000; ++i) {
                const float magnitude = std::ldexp(1.0f + static_cast<float>(i) / 4000.0f, e);
                for (const float x : {magnitude, -magnitude}) {
                    const double ulps = ulpsFrom(c.ours(x), c.exact(static_cast<double>(x)));
                    if (ulps > worst) {
                        worst = ulps;
                        worstAt = x;
                    }
                }
            }
        }
        EXPECT_LE(worst, 3.0) << c.name << " at " << worstAt;
    }
}

// The touch controller's finger angles and distances and the canvas's arc
// angles: every direction, at panel distances and far beyond, where squares
// of floats overflow and underflow.
TEST(PortableMath, Atan2AndHypotOverEveryDirection)
{
    double worstAtan2 = 0.0;
    double worstHypot = 0.0;
    for (const float radius : {1.0e-30f, 0.75f, 3.0f, 480.0f, 933.0f, 1.0e30f}) {
        for (int i = 0; i < 100000; ++i) {
            const double direction = 6.283185307179586 * i / 100000;
            const auto x = static_cast<float>(radius * std::cos(direction));
            const auto y = static_cast<float>(radius * std::sin(direction));
            const auto dx = static_cast<double>(x);
            const auto dy = static_cast<double>(y);
            worstAtan2 = std::max(worstAtan2, ulpsFrom(portable::atan2(y, x), std::atan2(dy, dx)));
            worstHypot = std::max(worstHypot, ulpsFrom(portable::hypot(x, y), std::hypot(dx, dy)));
        }
    }
    // atan's three units and the quotient's rounding.
    EXPECT_LE(worstAtan2, 3.5);
    // Half a unit, and double rounding's sliver beyond it.
    EXPECT_LE(worstHypot, 0.5001);
}

TEST(PortableMath, Atan2AndHypotOnAxesAndInfinitiesAsTheLibrary)
{
    constexpr float inf = std::numeric_limits<float>::infinity();
    const float values[] = {0.0f, -0.0f, 1.0f, -1.0f, 1.0e-40f, -3.0e38f, inf, -inf};
    for (const float y : values) {
        for (const float x : values) {
            const float ours = portable::atan2(y, x);
            const float library = std::atan2(y, x);
            EXPECT_EQ(ours, library) << "atan2(" << y << ", " << x << ")";
            EXPECT_EQ(std::signbit(ours), std::signbit(library)) << "atan2(" << y << ", " << x << ")";
            EXPECT_EQ(portable::hypot(x, y), std::hypot(x, y)) << "hypot(" << x << ", " << y << ")";
        }
    }
    constexpr float nan = std::numeric_limits<float>::quiet_NaN();
    EXPECT_TRUE(std::isnan(portable::atan2(nan, 1.0f)));
    EXPECT_TRUE(std::isnan(portable::atan2(1.0f, nan)));
    EXPECT_TRUE(std::isnan(portable::hypot(nan, 1.0f)));
    EXPECT_EQ(portable::hypot(nan, -inf), inf);
}
