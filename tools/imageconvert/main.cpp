// imageconvert: renders the listed SVG images into the firmware's bitmap
// table and pixel blob.

#include <cstdio>
#include <exception>
#include <filesystem>
#include <fstream>
#include <stdexcept>
#include <string>

#include "converteroptions/ConverterOptions.hpp"
#include "imageconvert/BitmapList.hpp"
#include "imageconvert/BitmapTable.hpp"
#include "imageconvert/PngPreview.hpp"
#include "imageconvert/SvgRenderer.hpp"

namespace {

void writeFile(const std::filesystem::path& path, const void* data, std::size_t size)
{
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(static_cast<const char*>(data), static_cast<std::streamsize>(size));
    if (!out) {
        throw std::runtime_error("cannot write " + path.string());
    }
}

} // namespace

int main(int argc, char** argv)
{
    try {
        const ConverterOptions options(
            argc, argv,
            {{"list", "bitmap list: name width height format per line; <name>.svg beside it", true},
             {"out", "folder for BitmapDatabase.cpp and bitmaps.bin", true},
             {"png", "also save every rendered image as <name>.png in this folder", false}});
        if (options.helpRequested()) {
            std::printf("%s", options
                                  .usage("imageconvert", "Renders the listed SVG images into the bitmap table "
                                                         "and its pixel data.")
                                  .c_str());
            return 0;
        }
        const std::filesystem::path listPath = options.text("list");
        const std::filesystem::path outDir = options.text("out");
        std::ifstream listFile(listPath);
        if (!listFile) {
            throw std::runtime_error("cannot read " + listPath.string());
        }
        const auto specs = imageconvert::readBitmapList(listFile);
        imageconvert::BitmapTable table;
        for (const auto& spec : specs) {
            const auto svg = listPath.parent_path() / (spec.name + ".svg");
            const auto raster = imageconvert::renderSvgFile(svg.string(), spec.width, spec.height);
            table.add(spec, raster);
            if (options.has("png")) {
                const std::filesystem::path previewDir = options.text("png");
                std::filesystem::create_directories(previewDir);
                imageconvert::writePng(raster, (previewDir / (spec.name + ".png")).string());
            }
        }
        std::filesystem::create_directories(outDir);
        writeFile(outDir / "bitmaps.bin", table.pixels().data(), table.pixels().size());
        const std::string source = table.source("bitmaps.bin");
        writeFile(outDir / "BitmapDatabase.cpp", source.data(), source.size());
        std::printf("imageconvert: %zu images, %zu bytes of pixels\n", specs.size(), table.pixels().size());
    } catch (const std::exception& e) {
        std::fprintf(stderr, "imageconvert: %s\n", e.what());
        return 1;
    }
    return 0;
}
