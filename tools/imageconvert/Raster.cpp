#include "imageconvert/Raster.hpp"

namespace imageconvert {

// Row by row, the run of opaque pixels above each column forms a histogram;
// the largest rectangle under it is found with a stack of rising bars.
PixelRect largestOpaqueRect(const Raster& raster)
{
    PixelRect best;
    long bestArea = 0;
    std::vector<int> heights(static_cast<std::size_t>(raster.width) + 1, 0);
    std::vector<int> stack;
    stack.reserve(heights.size());
    for (int y = 0; y < raster.height; ++y) {
        for (int x = 0; x < raster.width; ++x) {
            heights[x] = raster.alpha(x, y) == 255 ? heights[x] + 1 : 0;
        }
        stack.clear();
        for (int x = 0; x <= raster.width; ++x) {
            while (!stack.empty() && heights[stack.back()] >= heights[x]) {
                const int h = heights[stack.back()];
                stack.pop_back();
                const int left = stack.empty() ? 0 : stack.back() + 1;
                const long area = static_cast<long>(h) * (x - left);
                if (area > bestArea) {
                    bestArea = area;
                    best = PixelRect{left, y - h + 1, x - left, h};
                }
            }
            stack.push_back(x);
        }
    }
    return best;
}

} // namespace imageconvert
