// fontconvert: renders one font of the text table from a typeface file into
// a 4-bit glyph table with its kerning pairs.

#include <cstdio>
#include <exception>
#include <filesystem>
#include <fstream>
#include <stdexcept>
#include <string>

#include <CLI/CLI.hpp>

#include "CharacterSet.hpp"
#include "FontTable.hpp"
#include "Typeface.hpp"

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
    CLI::App app{"Renders one font from a typeface into a 4-bit glyph table with kerning."};
    std::filesystem::path facePath;
    std::filesystem::path outDir;
    std::string characters;
    fontconvert::FontSpec spec{"", 0, 0, 0, 0, 0, U'?'};
    app.add_option("--face", facePath, "Typeface file FreeType reads (TTF, OTF, WOFF)")
        ->required()
        ->check(CLI::ExistingFile);
    app.add_option("--name", spec.name, "Font name; the getter is getFont_<name>")->required();
    app.add_option("--size", spec.pixelSize, "Pixel size")->required()->check(CLI::Range(4, 200));
    app.add_option("--height", spec.height, "Font height in pixels")->required()->check(CLI::Range(1, 255));
    app.add_option("--baseline", spec.baseline, "Baseline, pixels below the top")
        ->required()
        ->check(CLI::Range(0, 255));
    app.add_option("--overhang", spec.maxLeft, "Pixels a glyph may reach past its pen position or advance")
        ->check(CLI::Range(0, 15));
    app.add_option("--chars", characters, "Character set, e.g. 0x20-0x2F,0x3F")->required();
    app.add_option("--out", outDir, "Folder for Font_<name>.cpp and Font_<name>.bin")->required();
    CLI11_PARSE(app, argc, argv);
    spec.maxRight = spec.maxLeft;

    try {
        if (spec.baseline > spec.height) {
            throw std::runtime_error("the baseline lies below the font's bottom");
        }
        const fontconvert::Typeface typeface(facePath.string(), spec.pixelSize);
        const fontconvert::FontTable table(typeface, spec, fontconvert::parseCharacterSet(characters));
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
