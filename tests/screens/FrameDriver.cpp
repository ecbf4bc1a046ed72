#include "screens/FrameDriver.hpp"
#include "board_config/BoardConfig.hpp"

#include <new>
#include <vector>

#include "board_glue/FrameBuffers.hpp"
#include "common/FrontendSetup.hpp"
#include "sim/PngWriter.hpp"

namespace {

// Start-up's registration and heap, once per program: the heap is static.
FrontendHeap& registeredHeap()
{
    static FrontendHeap& heap = setupFrontend();
    return heap;
}

} // namespace

FrameDriver::FrameDriver() : hal(lcd, touch, board::panelWidth, board::panelHeight), heap(registeredHeap())
{
    gpu_sys_init();
    hal.setFrameBufferStartAddresses(frameBuf, frameBuf + frameBufferPixels, nullptr);
    hal.initialize();
}

void FrameDriver::frame()
{
    hal.tick();
    hal.vSync();
}

void FrameDriver::frames(int count)
{
    for (int i = 0; i < count; ++i) {
        frame();
    }
}

void FrameDriver::tap(std::int16_t x, std::int16_t y)
{
    touch.samples.push_back({true, x, y});
    touch.samples.push_back({false, 0, 0});
    frames(2);
}

void FrameDriver::resetModel()
{
    heap.model.~Model();
    new (&heap.model) Model();
}

std::string FrameDriver::savePicture(const std::string& path) const
{
    return sim::writeRgb565Png(path, hal.getTFTFrameBuffer(), board::panelWidth, board::panelHeight,
                               board::panelWidth * 2);
}

int FrameDriver::differingPixels(const std::string& referencePath) const
{
    std::vector<std::uint16_t> reference(board::panelPixels);
    if (!sim::readPngAsRgb565(referencePath, reference.data(), board::panelWidth, board::panelHeight).empty()) {
        return -1;
    }
    int differing = 0;
    for (int y = 0; y < board::panelHeight; ++y) {
        for (int x = 0; x < board::panelWidth; ++x) {
            differing += shownPixel(x, y) != reference[y * board::panelWidth + x] ? 1 : 0;
        }
    }
    return differing;
}
