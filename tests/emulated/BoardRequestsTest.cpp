// The runner's answers to what the emulated board writes into the shared
// block: records within it are read, any that reach outside it or that
// the runner cannot take end the run with a problem, never a crash or a
// read past the block.

#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include "BoardRequests.hpp"
#include "board_config/BoardConfig.hpp"
#include "device_models/BlitterEngine.hpp"
#include "emulated/FrameRecord.hpp"
#include "emulated/GpuRecords.hpp"
#include "gpu/gpu_graphics.h"

namespace {

using emulated::Request;

constexpr std::uint32_t base = emulated::sharedRamBase;
constexpr std::uint32_t blockBytes = 1u << 20;
constexpr std::uint32_t frame = base + 0x10000;
constexpr std::uint32_t record = base + 0x100;
constexpr std::uint32_t list = base + 0x1000;
// One row of the panel's frame, RGB565.
constexpr std::int32_t rowBytes = board::panelWidth * 2;

class Board {
public:
    explicit Board(emulated::RunSettings run = {}, bool keepTrace = false) : settings(std::move(run))
    {
        settings.frames = 2;
        emulated::RunOutputs outputs;
        outputs.trace = keepTrace ? &trace : nullptr;
        outputs.savePicture = [this](const std::uint16_t*, const std::string& path) {
            pictures.push_back(path);
            return std::string();
        };
        requests = std::make_unique<emulated::BoardRequests>(settings, emulated::SharedBlock(ram), outputs, outcome);
    }

    emulated::ReplyRecord ask(Request kind, const std::vector<std::uint32_t>& words)
    {
        emulated::RequestRecord request{kind, {}};
        std::copy(words.begin(), words.end(), request.words);
        return requests->answer(request);
    }

    template <typename T> void put(std::uint32_t address, const T& value)
    {
        std::memcpy(ram.data() + (address - base), &value, sizeof value);
    }

    std::vector<std::uint8_t> ram = std::vector<std::uint8_t>(blockBytes);
    emulated::RunSettings settings;
    emulated::RunOutcome outcome;
    std::ostringstream trace;
    std::vector<std::string> pictures;
    std::unique_ptr<emulated::BoardRequests> requests;
};

emulated::FrameRecord plainRecord()
{
    emulated::FrameRecord value{};
    std::strcpy(value.state.screen, "pizza");
    std::strcpy(value.state.pizzaState, "baking");
    return value;
}

// A filled square on the panel's frame, as the board's GPU library lists it.
std::vector<std::uint8_t> squareList(const emulated::GpuDraw& draw)
{
    const std::uint8_t commands[8] = {VG_MOVE, VG_LINE, VG_LINE, VG_LINE, VG_CLOSE};
    const float floats[8] = {10, 10, 50, 10, 50, 50, 10, 50};
    std::vector<std::uint8_t> bytes;
    auto append = [&](emulated::GpuOp op, const void* payload, std::uint32_t size) {
        const emulated::GpuRecordHeader header{op, size};
        bytes.insert(bytes.end(), reinterpret_cast<const std::uint8_t*>(&header),
                     reinterpret_cast<const std::uint8_t*>(&header) + sizeof header);
        bytes.insert(bytes.end(), static_cast<const std::uint8_t*>(payload),
                     static_cast<const std::uint8_t*>(payload) + size);
    };
    append(emulated::GpuOp::PathData, commands, sizeof commands);
    append(emulated::GpuOp::PathData, floats, sizeof floats);
    append(emulated::GpuOp::Draw, &draw, sizeof draw);
    return bytes;
}

emulated::GpuDraw squareDraw()
{
    emulated::GpuDraw draw{};
    draw.bindCount = 1;
    draw.texture = {frame, board::panelWidth, board::panelHeight, GPU_FORMAT_RGB565, rowBytes};
    draw.blend = VG_BLEND_SRC_OVER;
    draw.quality = 1;
    draw.fillRule = VG_FILL_EVEN_ODD;
    draw.paintType = VG_PAINT_COLOR;
    draw.hasShape = emulated::shapeHasCommands | emulated::shapeHasFloats;
    draw.matrix[0][0] = draw.matrix[1][1] = draw.matrix[2][2] = 1.0f;
    draw.paintColor = 0xFFFFFFFFu;
    draw.paintOpacity = 1.0f;
    draw.commandCount = 5;
    draw.floatCount = 8;
    return draw;
}

std::uint16_t pixelAt(const Board& board, int x, int y)
{
    std::uint16_t pixel = 0;
    std::memcpy(&pixel, board.ram.data() + (frame - base) + (y * board::panelWidth + x) * 2, sizeof pixel);
    return pixel;
}

std::string runList(Board& board, const std::vector<std::uint8_t>& bytes)
{
    std::memcpy(board.ram.data() + (list - base), bytes.data(), bytes.size());
    board.ask(Request::GpuRun, {list, static_cast<std::uint32_t>(bytes.size()), 1});
    return board.outcome.problem;
}

TEST(SharedBlock, HandsOutOnlyWhatLiesWhollyInside)
{
    std::vector<std::uint8_t> bytes(4096);
    const emulated::SharedBlock block(bytes);
    EXPECT_EQ(block.at(base, 4096), bytes.data());
    EXPECT_EQ(block.at(base + 4095, 1), bytes.data() + 4095);
    EXPECT_EQ(block.at(base + 4096, 0), bytes.data() + 4096);
    EXPECT_EQ(block.at(base + 4095, 2), nullptr);
    EXPECT_EQ(block.at(base + 4097, 0), nullptr);
    EXPECT_EQ(block.at(base - 1, 1), nullptr);
    EXPECT_EQ(block.at(base + 8, ~std::uint64_t{0}), nullptr);
}

TEST(BoardRequests, RunsFramesWithATraceAndStops)
{
    Board board({}, true);
    board.put(record, plainRecord());
    EXPECT_EQ(board.ask(Request::Hello, {emulated::protocolVersion, base}).words[2], 1u);
    EXPECT_EQ(board.ask(Request::FrameDone, {17, frame, 900, record, 0}).words[0], 0u);
    EXPECT_EQ(board.ask(Request::FrameDone, {34, frame, 900, record, 0}).words[0], emulated::stopRun);
    EXPECT_EQ(board.outcome.problem, "");
    EXPECT_TRUE(board.requests->done());
    EXPECT_EQ(board.pictures.size(), 1u);
    EXPECT_NE(board.trace.str().find("\"screen\":\"pizza\""), std::string::npos);
}

TEST(BoardRequests, RefusesRecordsOutsideTheBlock)
{
    const struct {
        const char* what;
        Request kind;
        std::vector<std::uint32_t> words;
        const char* problem;
    } cases[] = {
        {"fault table", Request::Hello, {emulated::protocolVersion, base + blockBytes - 8}, "fault table"},
        {"frame record", Request::FrameDone, {17, frame, 900, base + blockBytes - 4, 0}, "frame record"},
        {"frame at the end", Request::FrameDone, {17, base + blockBytes - rowBytes, 900, record, 0}, "frame is not"},
        {"frame at an odd address", Request::FrameDone, {17, frame + 1, 900, record, 0}, "frame is not"},
        {"blitter registers", Request::BlitRun, {base + blockBytes - 4, 0, 0, frame, 4, 4, 0}, "blitter"},
        {"GPU list", Request::GpuRun, {base + blockBytes - 4, 64, 1}, "outside the shared RAM"},
    };
    for (const auto& c : cases) {
        Board board({}, true);
        board.put(record, plainRecord());
        board.ask(c.kind, c.words);
        EXPECT_NE(board.outcome.problem.find(c.problem), std::string::npos) << c.what << ": " << board.outcome.problem;
    }
}

TEST(BoardRequests, RefusesRequestsOutOfTurn)
{
    emulated::RunSettings costs;
    costs.reportCosts = true;
    costs.timeMode = emulated::TimeMode::Emulated;
    Board early(costs);
    // The figures end a run reporting costs: before any frame, the report would have none.
    early.ask(Request::RunFigures, {record});
    EXPECT_NE(early.outcome.problem.find("before the runner stopped"), std::string::npos);
    EXPECT_FALSE(early.requests->done());

    Board late;
    late.ask(Request::FrameDone, {17, frame, 900, 0, 0});
    late.ask(Request::FrameDone, {34, frame, 900, 0, 0});
    late.ask(Request::FrameDone, {51, frame, 900, 0, 0});
    EXPECT_NE(late.outcome.problem.find("after the runner stopped it"), std::string::npos);
}

TEST(BoardRequests, RefusesNamesThatAreNotText)
{
    Board board({}, true);
    emulated::FrameRecord bad = plainRecord();
    bad.state.screen[0] = static_cast<char>(0xFF);
    board.put(record, bad);
    board.ask(Request::FrameDone, {17, frame, 900, record, 0});
    EXPECT_NE(board.outcome.problem.find("plain text"), std::string::npos);
}

TEST(GpuExecutor, DrawsOnTheFrameInTheBlock)
{
    Board board;
    EXPECT_EQ(runList(board, squareList(squareDraw())), "");
    EXPECT_EQ(pixelAt(board, 30, 30), 0xFFFF);

    // A clip whose far edge lies beyond an int's and cairo's reach still
    // covers the frame.
    Board wide;
    emulated::GpuDraw clipped = squareDraw();
    clipped.clipCount = 1;
    clipped.clip[2] = clipped.clip[3] = -1;
    EXPECT_EQ(runList(wide, squareList(clipped)), "");
    EXPECT_EQ(pixelAt(wide, 30, 30), 0xFFFF);
}

TEST(GpuExecutor, RefusesDrawsItCannotDo)
{
    const struct {
        const char* what;
        void (*change)(emulated::GpuDraw&);
        const char* problem;
    } cases[] = {
        {"blend", [](emulated::GpuDraw& d) { d.blend = 7; }, "blend or paint"},
        {"paint", [](emulated::GpuDraw& d) { d.paintType = 3; }, "blend or paint"},
        {"texture past the block", [](emulated::GpuDraw& d) { d.texture.height = 4800; }, "texture outside"},
        {"texture rows upwards", [](emulated::GpuDraw& d) { d.texture.stride = -rowBytes; }, "texture outside"},
        // Padded to a word, the count wrapped to no bytes at all.
        {"command count", [](emulated::GpuDraw& d) { d.commandCount = 0xFFFFFFFFu; }, "path data is missing"},
    };
    for (const auto& c : cases) {
        Board board;
        emulated::GpuDraw draw = squareDraw();
        c.change(draw);
        EXPECT_NE(runList(board, squareList(draw)).find(c.problem), std::string::npos) << c.what;
    }
}

TEST(GpuExecutor, RefusesPathDataLargerThanTheBlock)
{
    Board board;
    const emulated::GpuRecordHeader header{emulated::GpuOp::PathData, blockBytes / 2};
    board.put(list, header);
    for (int i = 0; i < 3 && board.outcome.problem.empty(); ++i) {
        board.ask(Request::GpuRun, {list, static_cast<std::uint32_t>(sizeof header + header.bytes), 0});
    }
    EXPECT_NE(board.outcome.problem.find("larger than the shared RAM"), std::string::npos);
}

TEST(BlitExecutor, CopiesOnlyWithinTheBlock)
{
    constexpr std::uint32_t registers = base + 0x200;
    devices::blit::Registers r{};
    r.output = {bsp::BlitterMode::MemoryToMemory, bsp::BlitterColorMode::RGB565, 0};
    r.layers[1] = {bsp::BlitterColorMode::RGB565, 0, bsp::BlitterAlphaMode::Keep, 255, 0};
    Board board;
    board.put(registers, r);
    EXPECT_EQ(board.ask(Request::BlitRun, {registers, frame, 0, frame + 4096, 64, 2, 0}).words[0], 1u);
    // The source's last line runs past the block's end.
    board.ask(Request::BlitRun, {registers, base + blockBytes - 200, 0, frame, 64, 2, 0});
    EXPECT_NE(board.outcome.problem.find("outside the shared RAM"), std::string::npos);

    // Lines 2^32 pixels apart, which 32 bits wrap onto one another.
    r.output.lineOffset = r.layers[1].lineOffset = 0xFFFFFFFFu - 63;
    Board wrapped;
    wrapped.put(registers, r);
    wrapped.ask(Request::BlitRun, {registers, frame, 0, frame + 4096, 64, 1u << 16, 0});
    EXPECT_NE(wrapped.outcome.problem.find("outside the shared RAM"), std::string::npos);
    r.output.lineOffset = r.layers[1].lineOffset = 0;

    // A copy reads its source in the output's format: a source of smaller
    // pixels would be read past what was looked up.
    r.output.colorMode = bsp::BlitterColorMode::ARGB8888;
    r.layers[1].colorMode = bsp::BlitterColorMode::A4;
    Board mixed;
    mixed.put(registers, r);
    EXPECT_EQ(mixed.ask(Request::BlitRun, {registers, base + blockBytes - 40, 0, frame, 64, 1, 0}).words[0], 0u);
    EXPECT_EQ(mixed.outcome.problem, "");
}

} // namespace
