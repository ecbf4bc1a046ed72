#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "imageconvert/BitmapList.hpp"
#include "imageconvert/Raster.hpp"

namespace imageconvert {

// What the firmware's bitmap table holds for one image.
struct BitmapRecord {
    BitmapSpec spec;
    std::uint32_t offset; // into the pixel blob
    PixelRect solid;
};

// All images' pixels in one blob (each 4-byte aligned) and their records.
class BitmapTable {
public:
    void add(const BitmapSpec& spec, const Raster& raster);

    const std::vector<std::uint8_t>& pixels() const { return blob; }
    const std::vector<BitmapRecord>& records() const { return entries; }

    // C++ source of the table; it embeds the blob from `blobFileName`,
    // found on the assembler's include path.
    std::string source(const std::string& blobFileName) const;

private:
    std::vector<std::uint8_t> blob;
    std::vector<BitmapRecord> entries;
};

} // namespace imageconvert
