#pragma once

#include <cstdint>

#include <pb_decode.h>

namespace vecta {

// Helpers over nanopb input streams whose state is a moving pointer into the
// tile. Reads are bounded by the streams' bytes_left, whatever the bytes say.

pb_istream_t tileStream(const char* data, unsigned int size);

// Short varints and skips are taken straight from the tile; everything else
// goes through nanopb.
bool decodeVarint(pb_istream_t* stream, std::uint32_t& out);
bool skipBytes(pb_istream_t* stream, std::uint32_t count);

// Reads a length-delimited string and hashes its first 47 bytes; the rest is
// skipped. Returns false when the length or the bytes cannot be read.
bool readHashedString(pb_istream_t* stream, std::uint32_t& hash);

// Decodes the next tag; false at the end of the stream. A tag that does not
// decode violates the tile contract.
bool nextTag(pb_istream_t* stream, pb_wire_type_t& wireType, std::uint32_t& field);
void skipField(pb_istream_t* stream, pb_wire_type_t wireType);

} // namespace vecta
