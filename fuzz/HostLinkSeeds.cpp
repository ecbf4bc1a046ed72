// Request sequences of the emulated board as its image sends them, with the
// records they point at laid out in the block as the image writes them: a
// board-time run with a trace, a run reporting costs, a watchdog reset and a
// GPU list cut between two requests. The blitter is programmed as the
// firmware's blitter driver programs it.

#include <cstring>
#include <initializer_list>
#include <string>
#include <vector>

#include "FuzzSeeds.hpp"
#include "HostLinkFuzz.hpp"
#include "device_models/BlitterEngine.hpp"
#include "emulated/CostRecords.hpp"
#include "emulated/FrameRecord.hpp"
#include "emulated/GpuRecords.hpp"
#include "emulated/HostProtocol.hpp"
#include "gpu/gpu_graphics.h"

namespace {

using emulated::Request;

// Where the records lie in the block; the frame last, as it stays zero.
constexpr std::uint32_t faultTable = 0x0000;
constexpr std::uint32_t frameRecord = 0x0100;
constexpr std::uint32_t frameCost = 0x0200;
constexpr std::uint32_t runFigures = 0x0240;
constexpr std::uint32_t blitterRegisters = 0x0300; // three sets, one a transfer
constexpr std::uint32_t icon = 0x1000;             // 32 x 16 RGB565
constexpr std::uint32_t glyph = 0x1400;            // 16 x 16 A8
constexpr std::uint32_t gpuList = 0x1800;
constexpr std::uint32_t frame = 0x10000;
constexpr std::uint32_t panelWidth = sim::board::panelWidth;

std::uint32_t address(std::uint32_t offset)
{
    return emulated::sharedRamBase + offset;
}

class SeedWriter {
public:
    void ask(Request kind, std::initializer_list<std::uint32_t> words)
    {
        emulated::RequestRecord request{kind, {}};
        std::copy(words.begin(), words.end(), request.words);
        requests.push_back(request);
    }

    template <typename T> void put(std::uint32_t offset, const T& value)
    {
        if (block.size() < offset + sizeof value) {
            block.resize(offset + sizeof value);
        }
        std::memcpy(block.data() + offset, &value, sizeof value);
    }

    void putBytes(std::uint32_t offset, const std::vector<std::uint8_t>& bytes)
    {
        if (block.size() < offset + bytes.size()) {
            block.resize(offset + bytes.size());
        }
        std::memcpy(block.data() + offset, bytes.data(), bytes.size());
    }

    std::string seed(std::uint8_t flags) const
    {
        std::string text{static_cast<char>(flags), static_cast<char>(requests.size())};
        text.append(reinterpret_cast<const char*>(requests.data()), requests.size() * sizeof(requests[0]));
        text.append(reinterpret_cast<const char*>(block.data()), block.size());
        return text;
    }

private:
    std::vector<emulated::RequestRecord> requests;
    std::vector<std::uint8_t> block;
};

// A GPU list as the board's GPU library records it: a filled square and
// a stroked line on the frame, each path's commands padded to a word then
// its floats.
std::vector<std::uint8_t> gpuRecords(std::uint32_t bindCount)
{
    std::vector<std::uint8_t> list;
    auto append = [&](emulated::GpuOp op, const void* payload, std::uint32_t bytes) {
        const emulated::GpuRecordHeader header{op, bytes};
        const auto* head = reinterpret_cast<const std::uint8_t*>(&header);
        list.insert(list.end(), head, head + sizeof header);
        const auto* body = static_cast<const std::uint8_t*>(payload);
        list.insert(list.end(), body, body + bytes);
    };
    struct Shape {
        std::uint8_t commands[8];
        float floats[8];
    };
    const Shape square{{VG_MOVE, VG_LINE, VG_LINE, VG_LINE, VG_CLOSE}, {100, 100, 300, 100, 300, 260, 100, 260}};
    const Shape line{{VG_MOVE, VG_LINE, VG_HLINE}, {20, 400, 600, 60, 780}};
    const std::uint32_t floatCounts[] = {8, 5};
    const std::uint8_t rules[] = {VG_FILL_EVEN_ODD, VG_STROKE};
    const std::uint32_t commandCounts[] = {5, 3};
    const Shape* shapes[] = {&square, &line};
    for (int i = 0; i < 2; ++i) {
        append(emulated::GpuOp::PathData, shapes[i]->commands,
               static_cast<std::uint32_t>(emulated::paddedToWord(commandCounts[i])));
        append(emulated::GpuOp::PathData, shapes[i]->floats, floatCounts[i] * 4);
        emulated::GpuDraw draw{};
        draw.bindCount = bindCount;
        draw.texture = {address(frame), panelWidth, sim::board::panelHeight, GPU_FORMAT_RGB565,
                        static_cast<std::int32_t>(panelWidth * 2)};
        draw.clip[2] = draw.scissor[2] = sim::board::panelWidth;
        draw.clip[3] = draw.scissor[3] = sim::board::panelHeight;
        draw.clipCount = draw.scissorCount = bindCount;
        draw.blend = VG_BLEND_SRC_OVER;
        draw.quality = 1;
        draw.fillRule = rules[i];
        draw.paintType = VG_PAINT_COLOR;
        draw.hasShape = emulated::shapeHasCommands | emulated::shapeHasFloats;
        draw.strokeWidth = 4.0f;
        draw.matrix[0][0] = draw.matrix[1][1] = draw.matrix[2][2] = 1.0f;
        draw.paintColor = 0xFF3366CCu;
        draw.paintOpacity = 1.0f;
        draw.commandCount = commandCounts[i];
        draw.floatCount = floatCounts[i];
        append(emulated::GpuOp::Draw, &draw, sizeof draw);
    }
    return list;
}

void putHello(SeedWriter& writer)
{
    emulated::FaultWindow windows[emulated::faultSlots]{};
    writer.put(faultTable, windows);
    writer.ask(Request::Hello, {emulated::protocolVersion, address(faultTable)});
}

void putFrameRecord(SeedWriter& writer)
{
    emulated::FrameRecord record{};
    std::strcpy(record.state.screen, "pizza");
    std::strcpy(record.state.pizzaState, "on its way");
    record.state.latitude = 48.137f;
    record.state.longitude = 11.575f;
    record.state.scale = 1.0f;
    record.state.tileScale = 1.0f;
    record.state.zoom = 16;
    record.state.dogCount = 2;
    record.state.tilesCached = 12;
    record.state.gestureScale = 1.0f;
    record.kernelHeapInUse = 40000;
    writer.put(frameRecord, record);
}

// A fill, a copy and an A8 glyph blended over the frame, as the blitter
// driver sets them up, each transfer with registers of its own.
void putBlits(SeedWriter& writer)
{
    const std::uint32_t dst = address(frame + (40 * panelWidth + 40) * 2);
    auto blit = [&](std::uint32_t index, const devices::blit::Registers& held,
                    std::initializer_list<std::uint32_t> job) {
        const auto at = static_cast<std::uint32_t>(blitterRegisters + index * sizeof held);
        writer.put(at, held);
        std::vector<std::uint32_t> words{address(at)};
        words.insert(words.end(), job);
        writer.ask(Request::BlitRun, {words[0], words[1], words[2], words[3], words[4], words[5], words[6]});
    };
    devices::blit::Registers r{};
    r.output = {bsp::BlitterMode::RegisterToMemory, bsp::BlitterColorMode::RGB565, panelWidth - 64};
    blit(0, r, {0xFF336699u, 0, dst, 64, 32, 0});
    writer.putBytes(icon, std::vector<std::uint8_t>(std::size_t{32} * 16 * 2, 0x5A));
    r.output = {bsp::BlitterMode::MemoryToMemory, bsp::BlitterColorMode::RGB565, panelWidth - 32};
    r.layers[1] = {bsp::BlitterColorMode::RGB565, 0, bsp::BlitterAlphaMode::Keep, 255, 0};
    blit(1, r, {address(icon), 0, dst, 32, 16, 0});
    writer.putBytes(glyph, std::vector<std::uint8_t>(std::size_t{16} * 16, 0xC0));
    r.output = {bsp::BlitterMode::MemoryToMemoryBlend, bsp::BlitterColorMode::RGB565, panelWidth - 16};
    r.layers[1] = {bsp::BlitterColorMode::A8, 0, bsp::BlitterAlphaMode::Multiply, 200, 0x202020};
    r.layers[0] = {bsp::BlitterColorMode::RGB565, panelWidth - 16, bsp::BlitterAlphaMode::Keep, 255, 0};
    blit(2, r, {address(glyph), dst, dst, 16, 16, 1});
}

void frameDone(SeedWriter& writer, std::uint32_t ms, bool record, bool cost)
{
    writer.ask(Request::FrameDone,
               {ms, address(frame), 4000, record ? address(frameRecord) : 0, cost ? address(frameCost) : 0});
}

} // namespace

std::vector<std::string> fuzzSeeds()
{
    std::vector<std::string> seeds;
    {
        SeedWriter writer;
        putHello(writer);
        const std::vector<std::uint8_t> list = gpuRecords(1);
        writer.putBytes(gpuList, list);
        writer.ask(Request::GpuRun, {address(gpuList), static_cast<std::uint32_t>(list.size()), 1});
        putBlits(writer);
        putFrameRecord(writer);
        for (std::uint32_t ms = 17; ms <= 34; ms += 17) {
            frameDone(writer, ms, true, false);
        }
        seeds.push_back(writer.seed(hostlinkfuzz::keepTrace));
    }
    {
        SeedWriter writer;
        putHello(writer);
        putFrameRecord(writer);
        emulated::FrameCost cost{};
        cost.frame = 1200000;
        cost.model = 80000;
        cost.gpuCommands = 300000;
        cost.commandLists = 1;
        cost.transfers = 40;
        cost.boardTime = 2500000;
        writer.put(frameCost, cost);
        emulated::RunFigures figures{};
        std::strcpy(figures.stacks[0].name, "defaultTask");
        std::strcpy(figures.stacks[1].name, "GUI_Task");
        std::strcpy(figures.stacks[2].name, "TileFetcher_Task");
        figures.kernelHeapBytes = 65536;
        writer.put(runFigures, figures);
        writer.ask(Request::Fingers, {5});
        const std::vector<std::uint8_t> list = gpuRecords(1);
        writer.putBytes(gpuList, list);
        writer.ask(Request::GpuRun, {address(gpuList), static_cast<std::uint32_t>(list.size()), 1});
        for (std::uint32_t ms = 17; ms <= 34; ms += 17) {
            frameDone(writer, ms, true, true);
        }
        writer.ask(Request::RunFigures, {address(runFigures)});
        seeds.push_back(writer.seed(hostlinkfuzz::reportCosts));
    }
    {
        SeedWriter writer;
        putHello(writer);
        frameDone(writer, 17, false, false);
        writer.ask(Request::WatchdogExpired, {2800});
        putHello(writer);
        frameDone(writer, 17, false, false);
        writer.ask(Request::Stalled, {2021});
        seeds.push_back(writer.seed(hostlinkfuzz::everyPicture));
    }
    {
        // A list that filled up: the path's data goes first, its draw after.
        SeedWriter writer;
        putHello(writer);
        const std::vector<std::uint8_t> list = gpuRecords(1);
        const std::uint32_t cut = 8 + 8 + 8 + 32;
        writer.putBytes(gpuList, list);
        writer.ask(Request::GpuRun, {address(gpuList), cut, 0});
        writer.ask(Request::GpuRun, {address(gpuList + cut), static_cast<std::uint32_t>(list.size()) - cut, 1});
        frameDone(writer, 17, false, false);
        seeds.push_back(writer.seed(0));
    }
    return seeds;
}
