#include "simulator/Figures.hpp"

#include <algorithm>
#include <iterator>

#include "device_models/GpuPools.hpp"
#include "sim/Kernel.hpp"
#include "ui/DMA.hpp"
#include "ui/HAL.hpp"
#include "vecta/GlobalMapCache.hpp"

namespace simulator {

namespace {

constexpr int gpuPools = 2; // general allocations and the stencil

template <typename Layer> void countSlots(const Layer& layer, std::uint64_t& cached, std::uint64_t& pending)
{
    for (const vecta::CacheTile& slot : layer.slots) {
        if (slot.pending) {
            ++pending;
        } else if (!slot.placeholder && slot.size != 0) {
            ++cached;
        }
    }
}

// The map fetcher's queue changes only on the GUI task, between the
// readings: its peak is the largest reading since the previous one.
std::uint64_t fetcherPeak = 0;

} // namespace

std::vector<Figure> readFigures(bool startNewPeaks)
{
    std::vector<Figure> figures;
    const sim::KernelFigures kernel = sim::readKernelFigures(startNewPeaks);
    figures.push_back(Figure{"kernel heap", kernel.heapInUse, kernel.heapPeak, kernel.heapSize, {}});
    for (std::size_t i = 0; i < kernel.queues.size(); ++i) {
        figures.push_back(
            Figure{"kernel queue " + std::to_string(i + 1), kernel.queues[i].now, kernel.queues[i].peak, 1, {}});
    }
    for (int pool = 0; pool < gpuPools; ++pool) {
        const devices::GpuPoolFigures gpu = devices::readGpuPoolFigures(pool, startNewPeaks);
        figures.push_back(Figure{"gpu pool " + std::to_string(pool), gpu.inUse, gpu.peak, gpu.size, {}});
    }
    if (ui::DMA_Interface* dma = ui::HAL::getInstance() != nullptr ? ui::HAL::getInstance()->getDMA() : nullptr) {
        ui::LockFreeDMA_Queue& blits = dma->getQueue();
        const std::uint64_t peak = blits.peakCount(startNewPeaks);
        figures.push_back(Figure{"blit queue", blits.count(), peak, blits.capacity(), {}});
        figures.push_back(Figure{"failed blits", dma->failedBlits(), dma->failedBlits(), 0, {}});
    }
    const std::uint64_t queued = mapCache.fetcher.queue.size();
    fetcherPeak = std::max(fetcherPeak, queued);
    figures.push_back(Figure{"map fetcher queue", queued, fetcherPeak, decltype(mapCache.fetcher.queue)::capacity, {}});
    if (startNewPeaks) {
        fetcherPeak = queued;
    }
    std::uint64_t cached = 0;
    std::uint64_t pending = 0;
    countSlots(mapCache.lower, cached, pending);
    countSlots(mapCache.current, cached, pending);
    countSlots(mapCache.upper, cached, pending);
    const std::uint64_t slots =
        std::size(mapCache.lower.slots) + std::size(mapCache.current.slots) + std::size(mapCache.upper.slots);
    figures.push_back(Figure{"tile slots cached", cached, cached, slots, "follows the view"});
    figures.push_back(Figure{"tile slots pending", pending, pending, slots, "follows the view"});
    return figures;
}

FigureWindows::FigureWindows(std::uint64_t runFrames) : windowFrames(std::max<std::uint64_t>(1, runFrames / count))
{
}

void FigureWindows::add(std::uint64_t frame, const std::vector<Figure>& reading)
{
    figures = reading;
    const std::size_t index = std::min<std::uint64_t>((frame - 1) / windowFrames, count - 1);
    if (windows.size() <= index) {
        windows.resize(index + 1);
    }
    Window& window = windows[index];
    if (window.floor.size() != figures.size()) {
        // A queue created later in the run joins with a fresh window.
        window.floor.assign(figures.size(), ~std::uint64_t{0});
        window.peak.assign(figures.size(), 0);
    }
    for (std::size_t i = 0; i < figures.size(); ++i) {
        window.floor[i] = std::min(window.floor[i], figures[i].now);
        window.peak[i] = std::max(window.peak[i], figures[i].peak);
    }
}

// A leak lifts the level a resource returns to at rest, while work lifts
// only its peaks, and which screen is shown moves that level within a range.
// So after a warm-up window, a steady figure grows when its lowest value in
// a later window lies above the most it held in the window after the warm-up.
std::string FigureWindows::growth() const
{
    if (windows.size() < 3) {
        return {};
    }
    const Window& reference = windows[1];
    for (std::size_t w = 2; w < windows.size(); ++w) {
        const Window& window = windows[w];
        for (std::size_t i = 0; i < figures.size() && i < window.floor.size() && i < reference.floor.size(); ++i) {
            if (figures[i].unsteady.empty() && window.floor[i] > reference.peak[i]) {
                return figures[i].name + " grows: it rests at " + std::to_string(window.floor[i]) + " in window " +
                       std::to_string(w + 1) + ", above the most it held in window 2, " +
                       std::to_string(reference.peak[i]);
            }
        }
    }
    return {};
}

void FigureWindows::print(std::FILE* out, const char* prefix) const
{
    const auto print = [out](std::uint64_t value) {
        std::fprintf(out, " %llu", static_cast<unsigned long long>(value));
    };
    for (std::size_t i = 0; i < figures.size(); ++i) {
        std::fprintf(out, "%s%-18s resting", prefix, figures[i].name.c_str());
        for (const Window& window : windows) {
            print(i < window.floor.size() ? window.floor[i] : 0);
        }
        std::fprintf(out, "; peak");
        for (const Window& window : windows) {
            print(i < window.peak.size() ? window.peak[i] : 0);
        }
        if (figures[i].capacity != 0) {
            std::fprintf(out, "; of");
            print(figures[i].capacity);
        }
        if (!figures[i].unsteady.empty()) {
            std::fprintf(out, " (not checked: %s)", figures[i].unsteady.c_str());
        }
        std::fprintf(out, "\n");
    }
}

nlohmann::ordered_json figuresForTrace()
{
    nlohmann::ordered_json values;
    for (const Figure& figure : readFigures(false)) {
        values[figure.name] = figure.now;
    }
    return values;
}

} // namespace simulator
