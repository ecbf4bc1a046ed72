// Feeds arbitrary text to the builder's reading of one GeoJSON source file
// (the first byte picks which): malformed input must end in an error
// message, never in a crash or a read outside the text.

#include <cstddef>
#include <cstdint>
#include <string>

#include "tilepack/SourceData.hpp"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size == 0) {
        return 0;
    }
    const std::string text(reinterpret_cast<const char*>(data) + 1, size - 1);
    tilepack::readSourceText(data[0] % tilepack::sourceFileCount, text);
    return 0;
}
