#include "imageconvert/BitmapList.hpp"

#include <sstream>
#include <stdexcept>

namespace imageconvert {

namespace {

PixelFormat parseFormat(const std::string& text, int lineNumber)
{
    if (text == "RGB565") {
        return PixelFormat::RGB565;
    }
    if (text == "ARGB8888") {
        return PixelFormat::ARGB8888;
    }
    throw std::runtime_error("line " + std::to_string(lineNumber) + ": unknown pixel format \"" + text +
                             "\" (RGB565 or ARGB8888)");
}

} // namespace

std::vector<BitmapSpec> readBitmapList(std::istream& in)
{
    std::vector<BitmapSpec> specs;
    std::string line;
    int lineNumber = 0;
    while (std::getline(in, line)) {
        ++lineNumber;
        const std::string content = line.substr(0, line.find('#'));
        std::istringstream fields(content);
        std::string name;
        if (!(fields >> name)) {
            continue;
        }
        int width = 0;
        int height = 0;
        std::string format;
        std::string extra;
        if (!(fields >> width >> height >> format) || (fields >> extra)) {
            throw std::runtime_error("line " + std::to_string(lineNumber) +
                                     ": expected \"name width height format\", got \"" + line + "\"");
        }
        // The table stores sizes in 16 bits and the solid size in 13.
        if (width <= 0 || height <= 0 || width > 8191 || height > 8191) {
            throw std::runtime_error("line " + std::to_string(lineNumber) + ": size of " + name +
                                     " must be 1 to 8191 pixels each way");
        }
        specs.push_back(BitmapSpec{name, width, height, parseFormat(format, lineNumber)});
    }
    return specs;
}

} // namespace imageconvert
