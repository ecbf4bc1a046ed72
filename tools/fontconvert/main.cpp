// fontconvert: renders one font of the text table from a typeface file into
// a 4-bit glyph table with its kerning pairs.

#include <cstdio>
#include <exception>
#include <filesystem>
#include <fstream>
#include <stdexcept>
#include <string>

#include "converteroptions/ConverterOptions.hpp"
#include "fontconvert/CharacterSet.hpp"
#include "fontconvert/FontTable.hpp"
#include "fontconvert/Typeface.hpp"

namespace {

void writeFile(const std::filesystem::path& path, const std::string& bytes)
{
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    if (!out) {
        throw std::runtime_error("cannot write " + path.string());
    }
}

} // namespace

int main(int argc, char** argv)
{
    try {
        const ConverterOptions options(argc, argv,
                                       {{"face", "typeface file FreeType reads (TTF, OTF, WOFF)", true},
                                        {"name", "font name; the getter is getFont_<name>", true},
                                        {"size", "pixel size", true},
                                        {"height", "font height in pixels", true},
                                        {"baseline", "baseline, pixels below the top", true},
                                        {"overhang",
                                         "pixels a glyph may reach past its pen position or advance "
                                         "(default 0)",
                                         false},
                                        {"chars", "character set, e.g. 0x20-0x2F,0x3F", true},
                                        {"out", "folder for Font_<name>.cpp and Font_<name>.bin", true}});
        if (options.helpRequested()) {
            std::printf("%s", options
                                  .usage("fontconvert", "Renders one font from a typeface into a 4-bit glyph "
                                                        "table with kerning.")
                                  .c_str());
            return 0;
        }
        fontconvert::FontSpec spec{options.text("name"),
                                   options.number("size", 4, 200),
                                   options.number("height", 1, 255),
                                   options.number("baseline", 0, 255),
                                   options.has("overhang") ? options.number("overhang", 0, 15) : 0,
                                   0,
                                   U'?'};
        spec.maxRight = spec.maxLeft;
        if (spec.baseline > spec.height) {
            throw std::runtime_error("the baseline lies below the font's bottom");
        }
        const std::filesystem::path facePath = options.text("face");
        const fontconvert::Typeface typeface(facePath.string(), spec.pixelSize);
        const fontconvert::FontTable table(typeface, spec, fontconvert::parseCharacterSet(options.text("chars")));
        const std::filesystem::path outDir = options.text("out");
        std::filesystem::create_directories(outDir);
        const std::string stem = "Font_" + spec.name;
        writeFile(outDir / (stem + ".bin"), std::string(table.pixels().begin(), table.pixels().end()));
        writeFile(outDir / (stem + ".cpp"), table.source(stem + ".bin", facePath.filename().string()));
        std::printf("fontconvert: %s, %zu glyphs, %zu kerning pairs, %zu bytes of pixels\n", spec.name.c_str(),
                    table.glyphs().size(), table.kerning().size(), table.pixels().size());
    } catch (const std::exception& e) {
        std::fprintf(stderr, "fontconvert: %s\n", e.what());
        return 1;
    }
    return 0;
}
