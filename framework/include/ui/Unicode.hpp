#pragma once

#include <cstdarg>
#include <cstdint>

namespace ui {

using UnicodeChar = std::uint16_t;

// Formatting into fixed UTF-16 buffers: never more than dstSize - 1
// characters, always terminated (unless dstSize is 0).
namespace Unicode {

std::uint16_t strlen(const UnicodeChar* text);
// Copies the ASCII/Latin-1 text `src`; returns the characters copied.
std::uint16_t strncpy(UnicodeChar* dst, const char* src, std::uint16_t maxChars);

// printf-style: %d %i %u %x %X %c, %s (a UTF-16 string) and %%, with the
// flags - 0 + space, a width and a precision (either may be *).
UnicodeChar* snprintf(UnicodeChar* dst, std::uint16_t dstSize, const char* format, ...);
UnicodeChar* vsnprintf(UnicodeChar* dst, std::uint16_t dstSize, const char* format, std::va_list args);

// Like snprintf, but every %f (flags, width and precision as above; six
// decimals by default) takes the next value of `values`.
UnicodeChar* snprintfFloats(UnicodeChar* dst, std::uint16_t dstSize, const char* format, const float* values);

} // namespace Unicode

} // namespace ui
