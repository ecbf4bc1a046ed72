#pragma once

#include <cstdint>

// The GPU command list as the emulated board's GPU port writes it and the
// host executes it: a sequence of records, each a header and its payload,
// every record 4-byte aligned.
namespace emulated {

enum class GpuOp : std::uint32_t {
    // Raw path bytes, appended to what the next Draw uses.
    PathData = 1,
    // One path drawn with the state below; the path data gathered before it
    // holds the command bytes, padded to 4, then the floats.
    Draw = 2,
};

struct GpuRecordHeader {
    GpuOp op;
    std::uint32_t bytes; // payload, a multiple of 4
};

struct GpuTexture {
    std::uint32_t address;
    std::uint32_t width;
    std::uint32_t height;
    std::uint32_t format;
    std::int32_t stride;
};

struct GpuDraw {
    // Grows with every bind of the destination, which also tells the GPU
    // that the processor may have drawn there since.
    std::uint32_t bindCount;
    GpuTexture texture;
    std::int32_t clip[4]; // x, y, w, h
    std::uint32_t clipCount;
    std::int32_t scissor[4]; // x, y, w, h
    std::uint32_t scissorCount;
    std::uint32_t blend;
    std::uint8_t quality;
    std::uint8_t fillRule;
    std::uint8_t paintType;
    std::uint8_t hasShape; // bit 0: commands, bit 1: floats
    float strokeWidth;
    float matrix[3][3];
    std::uint32_t paintColor;
    float paintOpacity;
    std::uint32_t commandCount;
    std::uint32_t floatCount;
};

constexpr std::uint8_t shapeHasCommands = 1;
constexpr std::uint8_t shapeHasFloats = 2;

// Wide enough for any 32-bit count, which a board may write.
constexpr std::uint64_t paddedToWord(std::uint64_t bytes)
{
    return (bytes + 3u) & ~std::uint64_t{3};
}

} // namespace emulated
