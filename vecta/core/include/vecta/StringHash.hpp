#pragma once

#include <cstddef>
#include <cstdint>

namespace vecta {

// Names, keys and string values are compared by this 32-bit hash only:
// h(s) = s[0] + 33 * h(s[1..]), h("") = 5381, wrapping.
constexpr std::uint32_t stringHash(const char* text, std::size_t length)
{
    std::uint32_t hash = 5381;
    while (length > 0) {
        --length;
        hash = static_cast<std::uint32_t>(static_cast<unsigned char>(text[length])) + 33u * hash;
    }
    return hash;
}

// Hashes up to the first zero byte.
constexpr std::uint32_t stringHash(const char* text)
{
    std::size_t length = 0;
    while (text[length] != '\0') {
        ++length;
    }
    return stringHash(text, length);
}

// Only this many leading bytes of a name, key or string value take part.
constexpr std::size_t hashedPrefixLength = 47;

} // namespace vecta
