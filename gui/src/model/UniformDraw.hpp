#pragma once

#include <random>

// Draws a float uniform over [low, high) from the engine's next 32-bit
// output, by a fixed rule so that the sequence never depends on a library's
// distribution internals: u = output / 2^32 rounded to float and kept below
// 1, the value low + (high - low) * u in one fused multiply-add.
float uniformDraw(std::mt19937& engine, float low, float high);
