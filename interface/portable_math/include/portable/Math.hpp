#pragma once

// The float functions the model and the framework's rotations need,
// computed by our own code from plain single-precision operations. The PC's
// and the board's C libraries round their float functions differently, and
// the board has no double-precision unit; these give the same bits on both,
// about as fast as the library's. Within three units in the last place over
// the ranges the model uses. The firmware calls none of the library's.
namespace portable {

// Exact for 0 and powers of two: log2 decides the zoom level.
float log2(float x);
float log(float x);
float exp(float x);
float sinh(float x);
float atan(float x);
// Quadrants and signed zeros as the C library's.
float atan2(float y, float x);
// Within half a unit in the last place, plus the odd double rounding.
float hypot(float x, float y);

// Arguments beyond +-8192 take a slower, exact reduction.
float sin(float x);
float cos(float x);
float tan(float x);

} // namespace portable
