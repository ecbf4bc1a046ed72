#include <gtest/gtest.h>

#include <cstring>

#include "vecta/Buffer.hpp"
#include "vecta/TileTranscoder.hpp"

using vecta::BufferReader;
using vecta::BufferWriter;
using vecta::TileTranscoder;

namespace {

void writeSegment(BufferWriter& writer, std::uint16_t points, std::uint8_t closeCount)
{
    BufferWriter header = writer.reserveHeader();
    for (std::uint16_t i = 0; i < points; ++i) {
        writer.write(static_cast<float>(i));
        writer.write(static_cast<float>(-i));
    }
    for (int i = 0; i < points + closeCount; ++i) {
        writer.write(std::uint8_t{vecta::LineTo});
    }
    writer.pad();
    header.write(vecta::SegmentHeader{42, points, closeCount, vecta::LineString, {}});
}

} // namespace

TEST(SegmentBuffer, SegmentsArePaddedToFourBytes)
{
    std::uint32_t storage[64] = {};
    BufferWriter writer(storage, sizeof storage);
    writeSegment(writer, 2, 0); // 16 + 16 + 2 = 34, padded to 36
    EXPECT_EQ(writer.size(), 36u);
    writeSegment(writer, 5, 1); // 16 + 40 + 6 = 62, padded to 64
    EXPECT_EQ(writer.size(), 100u);

    BufferReader reader(storage, writer.size());
    vecta::Segment line = TileTranscoder::readNextSegment(reader);
    ASSERT_NE(line.header, nullptr);
    EXPECT_EQ(line.header->style_id, 42u);
    EXPECT_EQ(line.payload.size, 18u);
    vecta::Segment polygon = TileTranscoder::readNextSegment(reader);
    ASSERT_NE(polygon.header, nullptr);
    EXPECT_EQ(reinterpret_cast<const std::uint8_t*>(polygon.header), reinterpret_cast<std::uint8_t*>(storage) + 36);
    EXPECT_EQ(polygon.payload.size, 46u);
    float secondY = 0;
    std::memcpy(&secondY, polygon.payload.current + 12, 4);
    EXPECT_EQ(secondY, -1.0f);
    EXPECT_EQ(TileTranscoder::readNextSegment(reader).header, nullptr);
}

TEST(SegmentBuffer, ReaderRefusesShortOrMisalignedInput)
{
    std::uint32_t storage[8] = {};
    BufferReader fifteen(storage, 15);
    EXPECT_EQ(TileTranscoder::readNextSegment(fifteen).header, nullptr);
    EXPECT_EQ(fifteen.remaining(), 15u);

    BufferReader reader(storage, 10);
    BufferReader piece = reader.take(3);
    EXPECT_EQ(piece.current, nullptr);
    EXPECT_EQ(reader.remaining(), 7u);
    // Now misaligned: nothing more is taken.
    EXPECT_EQ(reader.take(4).current, nullptr);
    EXPECT_EQ(reader.remaining(), 7u);
    reader.realign();
    EXPECT_EQ(reader.remaining(), 6u);
    EXPECT_EQ(reader.take(7).current, nullptr);
    EXPECT_EQ(reader.take(6).size, 6u);
}

TEST(SegmentBuffer, RefusedWriteDiscardsUntilRollback)
{
    std::uint32_t storage[5] = {};
    BufferWriter writer(storage, 20);
    writer.checkpoint();
    EXPECT_TRUE(static_cast<bool>(writer.reserveHeader()));
    EXPECT_TRUE(writer.write(1.0f));
    EXPECT_FALSE(writer.write(2.0f));
    EXPECT_TRUE(writer.hasDiscarded());
    // Even a write that would fit stays refused.
    EXPECT_FALSE(writer.write(std::uint8_t{1}));
    writer.rollback();
    EXPECT_EQ(writer.size(), 0u);
    EXPECT_FALSE(writer.hasDiscarded());
    EXPECT_TRUE(writer.write(3.0f));
}

TEST(SegmentBuffer, CheckpointIsKeptWhileDiscarded)
{
    std::uint32_t storage[2] = {};
    BufferWriter writer(storage, 8);
    writer.write(1.0f);
    writer.checkpoint();
    writer.write(2.0f);
    writer.write(3.0f);
    writer.checkpoint(); // ignored: discarded
    writer.rollback();
    EXPECT_EQ(writer.size(), 4u);
}

TEST(SegmentBuffer, InvalidWriterRefusesEverything)
{
    BufferWriter writer;
    EXPECT_FALSE(static_cast<bool>(writer));
    EXPECT_FALSE(writer.write(1.0f));
    EXPECT_FALSE(static_cast<bool>(writer.reserveHeader()));
    writer.rollback(); // no checkpoint: stays discarded
    EXPECT_TRUE(writer.hasDiscarded());
    EXPECT_EQ(writer.size(), 0u);
}

TEST(SegmentBuffer, PadPastTheEndDiscards)
{
    std::uint32_t storage[18] = {};
    BufferWriter writer(storage, 71);
    for (int i = 0; i < 70; ++i) {
        writer.write(std::uint8_t{2});
    }
    writer.pad();
    EXPECT_TRUE(writer.hasDiscarded());
    EXPECT_EQ(writer.size(), 70u);
}
