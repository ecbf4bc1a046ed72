#include "portable/Math.hpp"

#include "portable/BitCast.hpp"

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <limits>

// Minimax polynomials and range reductions after the classic Cephes single
// precision library; every step is one rounded float operation.

namespace portable {

namespace {

constexpr float fourOverPi = 1.27323954473516f;
// pi / 4 in three parts, so that the reduction stays exact for |x| <= 8192.
constexpr float quarterPi1 = 0.78515625f;
constexpr float quarterPi2 = 2.4187564849853515625e-4f;
constexpr float quarterPi3 = 3.77489497744594108e-8f;
constexpr float reductionLimit = 8192.0f;

// ln 2 in two parts, the first exact in few bits.
constexpr float ln2High = 0.693359375f;
constexpr float ln2Low = -2.12194440e-4f;
constexpr float sqrtHalf = 0.707106781186547524f;
constexpr float log2OfE = 1.44269504088896341f;
constexpr float largestExpArgument = 88.72283905206835f;
constexpr float smallestExpArgument = -103.278929903431851103f;

constexpr float halfPi = 1.5707963267948966192f;
// pi as a float and what it leaves out.
constexpr float piHigh = 3.14159274101257324f;
constexpr float piLow = -8.74227766e-8f;
constexpr float quarterPi = 0.7853981633974483096f;
constexpr float threeQuarterPi = 2.3561944901923449288f;
constexpr float tanThreeEighthsPi = 2.414213562373095f;
constexpr float tanEighthPi = 0.4142135623730950f;

float sinPolynomial(float x, float z)
{
    return ((-1.9515295891e-4f * z + 8.3321608736e-3f) * z - 1.6666654611e-1f) * z * x + x;
}

float cosPolynomial(float z)
{
    return ((2.443315711809948e-5f * z - 1.388731625493765e-3f) * z + 4.166664568298827e-2f) * z * z - 0.5f * z + 1.0f;
}

// ln(1 + x) for x in [sqrt(1/2) - 1, sqrt(2) - 1), and the exponent e added.
float logOfReduced(float x, int e)
{
    const float z = x * x;
    float y = ((((((((7.0376836292e-2f * x - 1.1514610310e-1f) * x + 1.1676998740e-1f) * x - 1.2420140846e-1f) * x +
                   1.4249322787e-1f) *
                      x -
                  1.6668057665e-1f) *
                     x +
                 2.0000714765e-1f) *
                    x -
                2.4999993993e-1f) *
                   x +
               3.3333331174e-1f) *
              x * z;
    const auto exponent = static_cast<float>(e);
    y += ln2Low * exponent;
    y += -0.5f * z;
    return x + y + ln2High * exponent;
}

// Splits x > 0 into m in [sqrt(1/2), sqrt(2)) and e with x = m * 2^e; exact.
float reduceForLog(float x, int& e)
{
    float m = std::frexp(x, &e); // m in [0.5, 1)
    if (m < sqrtHalf) {
        m += m;
        --e;
    }
    return m;
}

struct Reduced {
    float x;         // in [-pi / 4, pi / 4]
    unsigned octant; // which eighth of the turn, after folding odd octants up
};

Reduced reduceQuarter(float x)
{
    auto octant = static_cast<unsigned>(fourOverPi * x);
    auto y = static_cast<float>(octant);
    if ((octant & 1u) != 0) {
        ++octant;
        y += 1.0f;
    }
    return Reduced{((x - y * quarterPi1) - y * quarterPi2) - y * quarterPi3, octant};
}

// The bits of 2 / pi after the point, behind a word of zeros: enough for the
// largest float times 2 / pi to keep 64 bits after the quadrant's.
constexpr std::uint32_t twoOverPiBits[] = {0x00000000, 0xA2F9836E, 0x4E441529, 0xFC2757D1, 0xF534DDC0,
                                           0xDB629599, 0x3C439041, 0xFE5163AB, 0xDEBBC561};

// 32 bits of twoOverPiBits from bit `position` on, counting from the first
// word's top bit.
std::uint32_t twoOverPiWindow(int position)
{
    const auto word = static_cast<std::size_t>(position / 32);
    const int shift = position % 32;
    if (shift == 0) {
        return twoOverPiBits[word];
    }
    return (twoOverPiBits[word] << shift) | (twoOverPiBits[word + 1] >> (32 - shift));
}

// Exact reduction for finite x > reductionLimit: x = m * 2^s with an
// integer m times 2 / pi, keeping only the bits that decide the quadrant
// (mod 4 quarter turns) and the 64 after them, in integer arithmetic.
Reduced reduceLarge(float x)
{
    const auto bits = portable::bitCast<std::uint32_t>(x);
    const std::uint64_t m = (bits & 0x7fffffu) | 0x800000u;
    const int s = static_cast<int>((bits >> 23) & 0xffu) - 127 - 23;
    // Bits of 2 / pi before s - 2 after the point add multiples of 8 quarter
    // turns; the window's 96 bits start there.
    const int start = s - 2 + 31;
    const std::uint64_t high = m * twoOverPiWindow(start);
    const std::uint64_t middle = m * twoOverPiWindow(start + 32);
    const std::uint64_t low = m * twoOverPiWindow(start + 64);
    // x * 2 / pi mod 8 with 61 bits after the point, wrapping mod 2^64.
    const std::uint64_t turns = (high << 32) + middle + (low >> 32);
    const auto fraction = (turns << 3) | ((low & 0xffffffffu) >> 29);
    // Round to the nearest quarter turn: a fraction of a half or more counts
    // from the next one, below it.
    const auto quadrant = static_cast<unsigned>((turns >> 61) + (fraction >> 63)) & 3u;
    const auto signedFraction = static_cast<std::int64_t>(fraction);
    constexpr double quarterTurnPerUnit = 1.5707963267948966 / 18446744073709551616.0;
    return Reduced{static_cast<float>(static_cast<double>(signedFraction) * quarterTurnPerUnit), quadrant * 2u};
}

// |x| folded into [-pi / 4, pi / 4] for finite x.
Reduced reduce(float x)
{
    const float magnitude = std::fabs(x);
    return magnitude <= reductionLimit ? reduceQuarter(magnitude) : reduceLarge(magnitude);
}

constexpr float notANumber = std::numeric_limits<float>::quiet_NaN();
constexpr float infinity = std::numeric_limits<float>::infinity();

// log of 0, negatives, infinity and NaN.
float logOutsideDomain(float x)
{
    if (x == 0.0f) {
        return -infinity;
    }
    return x > 0.0f ? x : notANumber;
}

} // namespace

float log(float x)
{
    if (!(x > 0.0f) || std::isinf(x)) {
        return logOutsideDomain(x);
    }
    int e = 0;
    const float m = reduceForLog(x, e);
    return logOfReduced(m - 1.0f, e);
}

float log2(float x)
{
    if (!(x > 0.0f) || std::isinf(x)) {
        return logOutsideDomain(x);
    }
    int e = 0;
    const float m = reduceForLog(x, e);
    // For a power of two m is 1 and the fraction's logarithm exactly 0.
    return static_cast<float>(e) + logOfReduced(m - 1.0f, 0) * log2OfE;
}

float exp(float x)
{
    if (std::isnan(x)) {
        return x;
    }
    if (x > largestExpArgument) {
        return infinity;
    }
    if (x < smallestExpArgument) {
        return 0.0f;
    }
    const float n = std::floor(log2OfE * x + 0.5f);
    float r = x - n * ln2High;
    r -= n * ln2Low;
    const float z = r * r;
    const float p = (((((1.9875691500e-4f * r + 1.3981999507e-3f) * r + 8.3334519073e-3f) * r + 4.1665795894e-2f) * r +
                      1.6666665459e-1f) *
                         r +
                     5.0000001201e-1f) *
                        z +
                    r + 1.0f;
    return std::ldexp(p, static_cast<int>(n));
}

float sinh(float x)
{
    const float magnitude = std::fabs(x);
    if (magnitude > 1.0f) {
        const float e = exp(magnitude);
        const float result = 0.5f * e - 0.5f / e;
        return x < 0.0f ? -result : result;
    }
    const float z = x * x;
    return ((2.03721912945e-4f * z + 8.33028376239e-3f) * z + 1.66667160211e-1f) * z * x + x;
}

float atan(float x)
{
    if (std::isnan(x)) {
        return x;
    }
    float t = std::fabs(x);
    float base = 0.0f;
    if (t > tanThreeEighthsPi) {
        base = halfPi;
        t = -1.0f / t;
    } else if (t > tanEighthPi) {
        base = quarterPi;
        t = (t - 1.0f) / (t + 1.0f);
    }
    const float z = t * t;
    const float result =
        base + (((8.05374449538e-2f * z - 1.38776856032e-1f) * z + 1.99777106478e-1f) * z - 3.33329491539e-1f) * z * t +
        t;
    return x < 0.0f ? -result : result;
}

float sin(float x)
{
    if (!std::isfinite(x)) {
        return notANumber;
    }
    const bool negative = x < 0.0f;
    const Reduced r = reduce(x);
    bool flip = negative;
    unsigned octant = r.octant & 7u;
    if (octant > 3) {
        flip = !flip;
        octant -= 4;
    }
    const float z = r.x * r.x;
    const float y = (octant == 1 || octant == 2) ? cosPolynomial(z) : sinPolynomial(r.x, z);
    return flip ? -y : y;
}

float cos(float x)
{
    if (!std::isfinite(x)) {
        return notANumber;
    }
    const Reduced r = reduce(x);
    bool flip = false;
    unsigned octant = r.octant & 7u;
    if (octant > 3) {
        flip = true;
        octant -= 4;
    }
    if (octant > 1) {
        flip = !flip;
    }
    const float z = r.x * r.x;
    const float y = (octant == 1 || octant == 2) ? sinPolynomial(r.x, z) : cosPolynomial(z);
    return flip ? -y : y;
}

float tan(float x)
{
    if (!std::isfinite(x)) {
        return notANumber;
    }
    const Reduced r = reduce(x);
    const float z = r.x * r.x;
    float y = r.x;
    if (std::fabs(r.x) > 1.0e-4f) {
        y = (((((9.38540185543e-3f * z + 3.11992232697e-3f) * z + 2.44301354525e-2f) * z + 5.34112807005e-2f) * z +
              1.33387994085e-1f) *
                 z +
             3.33331568548e-1f) *
                z * r.x +
            r.x;
    }
    if ((r.octant & 2u) != 0) {
        y = -1.0f / y;
    }
    return x < 0.0f ? -y : y;
}

float atan2(float y, float x)
{
    if (std::isnan(x) || std::isnan(y)) {
        return notANumber;
    }
    const float ay = std::fabs(y);
    const float ax = std::fabs(x);
    float angle = halfPi; // from the positive x axis towards |y|
    if (ay == infinity && ax == infinity) {
        angle = std::signbit(x) ? threeQuarterPi : quarterPi;
    } else if (ay != infinity && (ax != 0.0f || ay == 0.0f)) {
        angle = (ax == infinity || ay == 0.0f) ? 0.0f : atan(ay / ax);
        if (std::signbit(x)) {
            angle = piHigh - (angle - piLow);
        }
    }
    return std::signbit(y) ? -angle : angle;
}

float hypot(float x, float y)
{
    if (std::isinf(x) || std::isinf(y)) {
        return infinity;
    }
    // Float squares are exact in double and neither overflows nor underflows
    // there: one rounding for the sum, one for the root, one to float.
    const auto dx = static_cast<double>(x);
    const auto dy = static_cast<double>(y);
    return static_cast<float>(std::sqrt(dx * dx + dy * dy));
}

} // namespace portable
