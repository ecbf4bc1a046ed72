#include "fontconvert/CharacterSet.hpp"

#include <algorithm>
#include <sstream>
#include <stdexcept>

namespace fontconvert {

namespace {

char32_t parseCodePoint(const std::string& text, const std::string& part)
{
    std::size_t used = 0;
    unsigned long value = 0;
    try {
        value = std::stoul(text, &used, 16);
    } catch (const std::logic_error&) {
        used = 0;
    }
    // The tables hold UTF-16 code units: the basic plane only.
    if (text.rfind("0x", 0) != 0 || used != text.size() || value > 0xFFFF || value == 0) {
        throw std::runtime_error("bad character set entry \"" + part + "\": use 0xHHHH or 0xHHHH-0xHHHH");
    }
    return static_cast<char32_t>(value);
}

} // namespace

std::vector<char32_t> parseCharacterSet(const std::string& text)
{
    std::vector<char32_t> set;
    std::istringstream parts(text);
    std::string part;
    while (std::getline(parts, part, ',')) {
        const std::size_t dash = part.find('-');
        const char32_t first = parseCodePoint(part.substr(0, dash), part);
        const char32_t last = dash == std::string::npos ? first : parseCodePoint(part.substr(dash + 1), part);
        if (last < first) {
            throw std::runtime_error("bad character set entry \"" + part + "\": range runs backwards");
        }
        for (char32_t c = first; c <= last; ++c) {
            set.push_back(c);
        }
    }
    std::sort(set.begin(), set.end());
    set.erase(std::unique(set.begin(), set.end()), set.end());
    if (set.empty()) {
        throw std::runtime_error("empty character set");
    }
    return set;
}

} // namespace fontconvert
