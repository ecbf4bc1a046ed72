#pragma once

#include <cstdint>
#include <cstring>
#include <map>
#include <utility>
#include <vector>

#include "board_config/BoardConfig.hpp"
#include "board_glue/FrameBuffers.hpp"
#include "ui/HALGPU.hpp"
#include "ui/LCDGPU.hpp"
#include "ui/TouchController.hpp"
#include "vecta/Buffer.hpp"
#include "vecta/MapStore.hpp"

namespace mapfixture {

// Builds a segment buffer the way the transcoder lays it out.
class SegmentBufferBuilder {
public:
    // `points` are x, y pairs; `commands` one byte per step and close.
    SegmentBufferBuilder& add(std::uint32_t styleId, std::uint8_t pathStyle, const std::vector<float>& points,
                              const std::vector<std::uint8_t>& commands, vecta::BoundingBox box)
    {
        vecta::SegmentHeader header{};
        header.style_id = styleId;
        header.point_count = static_cast<std::uint16_t>(points.size() / 2);
        header.close_count = static_cast<std::uint8_t>(commands.size() - points.size() / 2);
        header.path_style = pathStyle;
        header.bbox = box;
        append(&header, sizeof header);
        append(points.data(), points.size() * sizeof(float));
        append(commands.data(), commands.size());
        while (bytes.size() % 4 != 0) {
            bytes.push_back(0);
        }
        return *this;
    }

    std::vector<std::uint32_t> words() const
    {
        std::vector<std::uint32_t> w(bytes.size() / 4);
        std::memcpy(w.data(), bytes.data(), bytes.size());
        return w;
    }

private:
    void append(const void* data, std::size_t n)
    {
        const auto* p = static_cast<const std::uint8_t*>(data);
        bytes.insert(bytes.end(), p, p + n);
    }
    std::vector<std::uint8_t> bytes;
};

// Holds tiles by address; any other tile has size 0.
class FakeStore : public vecta::MapStore {
public:
    vecta::MapTile getTile(std::uint32_t x, std::uint32_t y, std::uint8_t zoom) const override
    {
        requests.push_back({x, y});
        const auto found = tiles.find({x, y});
        if (found == tiles.end()) {
            return vecta::MapTile{x, y, zoom, nullptr, 0};
        }
        return vecta::MapTile{x, y, zoom, reinterpret_cast<const char*>(found->second.data()),
                              static_cast<std::uint32_t>(found->second.size() * 4)};
    }

    std::map<std::pair<std::uint32_t, std::uint32_t>, std::vector<std::uint32_t>> tiles;
    mutable std::vector<std::pair<std::uint32_t, std::uint32_t>> requests;
};

class NoTouch : public ui::TouchController {
public:
    void init() override {}
    bool sampleTouch(std::int32_t&, std::int32_t&) override { return false; }
};

// The GPU HAL over the board's frame buffers, as the map widget needs it.
struct GpuHal {
    GpuHal() : hal(lcd, touch, board::panelWidth, board::panelHeight)
    {
        hal.setFrameBufferStartAddresses(frameBuf, frameBuf + frameBufferPixels, nullptr);
        hal.initialize();
    }
    ui::LCDGPU lcd;
    NoTouch touch;
    ui::HALGPU hal;
};

} // namespace mapfixture
