#pragma once

#include <string>
#include <vector>

namespace fontconvert {

// Parses "0x20-0x2F,0x3F,0xE1": code points and inclusive ranges, given in
// hexadecimal. Returns them sorted without repeats; throws
// std::runtime_error naming the bad part.
std::vector<char32_t> parseCharacterSet(const std::string& text);

} // namespace fontconvert
