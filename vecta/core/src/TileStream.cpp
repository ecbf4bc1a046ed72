#include "TileStream.hpp"

#include <algorithm>
#include <cstring>

#include "vecta/StringHash.hpp"

namespace vecta {

// The stream's state is a moving pointer into the tile: sub-streams copy it
// and hand it back on close, so every stream reads in place.
bool readTileBytes(pb_istream_t* stream, pb_byte_t* destination, std::size_t count)
{
    const pb_byte_t* source = tileBytes(stream);
    if (destination != nullptr) {
        if (count == 1) {
            *destination = *source;
        } else {
            std::memcpy(destination, source, count);
        }
    }
    stream->state = const_cast<pb_byte_t*>(source + count);
    return true;
}

pb_istream_t tileStream(const char* data, unsigned int size)
{
    return pb_istream_t{&readTileBytes, const_cast<char*>(data), size, nullptr};
}

Varint longVarintAt(const pb_byte_t* bytes, std::size_t available)
{
    // Up to four bytes cannot overflow; longer ones nanopb checks.
    std::uint32_t value = 0;
    for (std::size_t i = 0; i < std::min<std::size_t>(available, 4); ++i) {
        value |= static_cast<std::uint32_t>(bytes[i] & 0x7Fu) << (7 * i);
        if ((bytes[i] & 0x80u) == 0) {
            return Varint{value, static_cast<std::uint32_t>(i + 1)};
        }
    }
    pb_istream_t stream{&readTileBytes, const_cast<pb_byte_t*>(bytes), available, nullptr};
    if (!pb_decode_varint32(&stream, &value)) {
        return Varint{0, 0};
    }
    return Varint{value, static_cast<std::uint32_t>(available - stream.bytes_left)};
}

std::uint32_t countVarints(pb_istream_t packed)
{
    std::uint32_t count = 0;
    if (packed.callback == &readTileBytes) {
        // Every varint ends in its one byte below 0x80; an unfinished last one
        // does not count.
        const pb_byte_t* bytes = tileBytes(&packed);
        for (std::size_t i = 0; i < packed.bytes_left; ++i) {
            count += bytes[i] < 0x80u ? 1u : 0u;
        }
        return count;
    }
    std::uint32_t ignored = 0;
    while (packed.bytes_left > 0 && decodeVarint(&packed, ignored)) {
        ++count;
    }
    return count;
}

std::uint32_t hashPrefix(const pb_byte_t* text, std::size_t length)
{
    const std::size_t kept = std::min<std::size_t>(length, hashedPrefixLength);
    const auto* characters = reinterpret_cast<const char*>(text);
    std::size_t hashed = 0;
    while (hashed < kept && characters[hashed] != '\0') {
        ++hashed;
    }
    return stringHash(characters, hashed);
}

bool readHashedString(pb_istream_t* stream, std::uint32_t& hash)
{
    std::uint32_t length = 0;
    if (!decodeVarint(stream, length)) {
        return false;
    }
    const std::uint32_t kept = std::min<std::uint32_t>(length, hashedPrefixLength);
    if (stream->callback == &readTileBytes) {
        if (length > stream->bytes_left) {
            return false;
        }
        hash = hashPrefix(tileBytes(stream), length);
        advance(stream, length);
        return true;
    }
    char buffer[hashedPrefixLength + 1] = {};
    if (!pb_read(stream, reinterpret_cast<pb_byte_t*>(buffer), kept) || !skipBytes(stream, length - kept)) {
        return false;
    }
    hash = stringHash(buffer);
    return true;
}

bool skipOtherField(pb_istream_t* stream, pb_wire_type_t wireType)
{
    return pb_skip_field(stream, wireType);
}

} // namespace vecta
