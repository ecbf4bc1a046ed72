// The framework's blits through BlitterDMA on the simulated blitter, and the
// kernel services behind them.

#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <vector>

#include "KernelTask.hpp"
#include "board_config/BoardConfig.hpp"
#include "board_glue/BlitterDMA.hpp"
#include "sim/Board.hpp"
#include "sim/BoardFaults.hpp"
#include "sim/Interrupts.hpp"
#include "support/AssertionMatcher.hpp"
#include "ui/HALGPU.hpp"
#include "ui/OSWrappers.hpp"
#include "ui/TouchController.hpp"

namespace {

class NoTouch : public ui::TouchController {
public:
    void init() override {}
    bool sampleTouch(std::int32_t&, std::int32_t&) override { return false; }
};

// An 8 x 2 RGB565 area of which blits cover parts.
using Pixels = std::array<std::uint16_t, 16>;

ui::BlitOp fill(Pixels& target, std::uint32_t rgb, std::uint8_t alpha)
{
    ui::BlitOp op;
    op.operation = alpha == 255 ? ui::BLIT_OP_FILL : ui::BLIT_OP_FILL_WITH_ALPHA;
    op.pDst = target.data() + 1;
    op.nSteps = 3;
    op.nLoops = 2;
    op.dstLoopStride = 8;
    op.color = rgb;
    op.alpha = alpha;
    op.dstFormat = ui::Bitmap::RGB565;
    return op;
}

// Where the firmware's Error_Handler would stop the board.
int boardStops = 0;

class Blitter : public ::testing::Test {
protected:
    Blitter() : hal(dma, lcd, touch, board::panelWidth, board::panelHeight)
    {
        sim::board::powerOn();
        boardStops = 0;
    }
    ~Blitter() override { sim::board::clearFaults(); }

    // Runs the blits on the GUI task as the frame loop does; true when the
    // task finished.
    bool run(const std::vector<ui::BlitOp>& ops, bool porchPending = false)
    {
        const sim::KernelStop stop = boardtest::runAsTask([&] {
            ui::OSWrappers::initialize();
            dma.initialize();
            if (porchPending) {
                sim::raiseInterrupt([](void* target) { static_cast<ui::HAL*>(target)->allowDMATransfers(); }, &hal);
            }
            for (const ui::BlitOp& op : ops) {
                dma.addToQueue(op);
            }
            dma.flush();
        });
        return stop == sim::KernelStop::Requested;
    }

    BlitterDMA dma{[] { ++boardStops; }};
    ui::LCDGPU lcd;
    NoTouch touch;
    ui::HALGPU hal;
};

} // namespace

TEST_F(Blitter, QueuedFillsAndCopiesAllLandBeforeFlushReturns)
{
    Pixels area{};
    Pixels copy{};
    ui::BlitOp copyOp;
    copyOp.operation = ui::BLIT_OP_COPY;
    copyOp.pSrc = area.data();
    copyOp.pDst = copy.data();
    copyOp.nSteps = 8;
    copyOp.nLoops = 2;
    copyOp.srcLoopStride = 8;
    copyOp.dstLoopStride = 8;
    ASSERT_TRUE(run({fill(area, 0xFF0000, 255), fill(area, 0x0000FF, 128), copyOp}));
    EXPECT_EQ(area[0], 0u) << "outside the fill";
    // Red, then blue at alpha 128 over it: red 127, blue 128.
    EXPECT_EQ(area[1], (15 << 11) | 16);
    EXPECT_EQ(area[8 + 3], (15 << 11) | 16);
    EXPECT_EQ(area[4], 0u);
    EXPECT_EQ(copy, area);
    ui::LockFreeDMA_Queue& queue = dma.getQueue();
    EXPECT_GE(queue.peakCount(true), 1u) << "the blits went through the queue";
    EXPECT_EQ(queue.peakCount(false), 0u) << "empty since the flush";
    EXPECT_EQ(queue.capacity(), BlitterDMA::queueCapacity - 1) << "one slot tells full from empty";
}

// The display's front-porch interrupt starts the queue too; when it comes
// in the middle of queueing, the first blit must still run once.
TEST_F(Blitter, AFrontPorchDuringQueueingStartsEachBlitOnce)
{
    Pixels area{};
    ASSERT_TRUE(run({fill(area, 0x00FF00, 255)}, true));
    EXPECT_FALSE(dma.isDMARunning());
    EXPECT_EQ(area[1], 0x07E0);
    ASSERT_TRUE(run({fill(area, 0xFF0000, 255), fill(area, 0x0000FF, 255)}, true)) << "the queue still works";
    EXPECT_EQ(area[1], 0x001F);
}

TEST_F(Blitter, PaletteSourcesTakeTheirColoursFromTheTable)
{
    struct Table {
        ui::ColorTableHeader header;
        std::uint8_t entries[2][3]; // B, G, R
    } table{{ui::Bitmap::RGB888, 2}, {{0, 0, 0}, {0, 0xFF, 0}}};
    const std::array<std::uint8_t, 4> indices{0, 1, 1, 0};
    Pixels out{};
    ui::BlitOp op;
    op.operation = ui::BLIT_OP_COPY_L8;
    op.pSrc = reinterpret_cast<const std::uint16_t*>(indices.data());
    op.pClut = reinterpret_cast<const std::uint8_t*>(&table);
    op.pDst = out.data();
    op.nSteps = 4;
    op.nLoops = 1;
    op.srcLoopStride = 4;
    op.dstLoopStride = 8;
    op.srcFormat = ui::BLIT_FORMAT_L8_FIRST;
    op.dstFormat = ui::Bitmap::RGB565;
    run({op});
    EXPECT_EQ(out[0], 0u);
    EXPECT_EQ(out[1], 0x07E0);
    EXPECT_EQ(out[2], 0x07E0);
}

TEST_F(Blitter, ReportsItsCapabilitiesAndType)
{
    EXPECT_EQ(dma.getBlitCaps(), 0x3EFu);
    EXPECT_EQ(dma.getBlitCaps() & ui::BLIT_OP_COPY_WITH_TRANSPARENT_PIXELS, 0u);
    EXPECT_EQ(dma.getDMAType(), 1);
}

TEST_F(Blitter, AFormatOutsideTheTranslationStops)
{
    Pixels area{};
    ui::BlitOp op = fill(area, 0, 255);
    op.dstFormat = 5;
    EXPECT_ASSERTION(run({op}), "false && \"Unsupported Format!\"");

    struct Table {
        ui::ColorTableHeader header;
        std::uint8_t entries[2];
    } table{{ui::Bitmap::RGB565, 1}, {0, 0}};
    const std::uint8_t index = 0;
    ui::BlitOp palette;
    palette.operation = ui::BLIT_OP_COPY_L8;
    palette.pSrc = reinterpret_cast<const std::uint16_t*>(&index);
    palette.pClut = reinterpret_cast<const std::uint8_t*>(&table);
    palette.pDst = area.data();
    palette.nSteps = 1;
    palette.nLoops = 1;
    palette.srcFormat = ui::BLIT_FORMAT_L8_FIRST;
    EXPECT_ASSERTION(run({palette}), "false && \"Unsupported format\"");
}

TEST_F(Blitter, ABlitterThatCannotBeSetUpStopsTheBoard)
{
    sim::board::failStep(sim::board::Step::Blitter);
    ASSERT_TRUE(run({}));
    EXPECT_EQ(boardStops, 1);
}

// A blit the blitter refuses is over at once, counted: the queue goes on
// and the flush returns instead of waiting for a completion that never comes.
TEST_F(Blitter, ARefusedBlitFailsCountedAndTheQueueGoesOn)
{
    using devices::Fault;
    Pixels area{};
    const std::vector<ui::BlitOp> ops{fill(area, 0xFF0000, 255), fill(area, 0x0000FF, 128)};
    sim::board::injectFault(Fault::BlitterLayer, 0, 0, UINT64_MAX);
    ASSERT_TRUE(run(ops));
    EXPECT_EQ(dma.failedBlits(), 1u) << "only the blend needs its layers";
    EXPECT_EQ(area[1], 0xF800);
    sim::board::clearFaults();
    sim::board::injectFault(Fault::BlitterStart, 0, 0, UINT64_MAX);
    ASSERT_TRUE(run(ops));
    EXPECT_EQ(dma.failedBlits(), 3u);
    EXPECT_FALSE(dma.isDMARunning());
    EXPECT_EQ(area[1], 0xF800) << "nothing was drawn";
    EXPECT_EQ(boardStops, 0);

    sim::board::clearFaults();
    ASSERT_TRUE(run({fill(area, 0x00FF00, 255)}));
    EXPECT_EQ(area[1], 0x07E0) << "the blitter works again";
    EXPECT_EQ(dma.failedBlits(), 3u);
}

TEST(VSync, ASignalThatCameWhileTheGuiWasBusyIsDiscardedOnce)
{
    sim::board::powerOn();
    std::uint64_t returnedAt = 0;
    boardtest::runAsTask([&] {
        ui::OSWrappers::initialize();
        // Two syncs while busy: the queue keeps one, the wait drops it.
        ui::OSWrappers::signalVSync();
        ui::OSWrappers::signalVSync();
        sim::scheduleInterrupt([](void*) { ui::OSWrappers::signalVSync(); }, nullptr, 16);
        ui::OSWrappers::waitForVSync();
        returnedAt = sim::kernelMilliseconds();
    });
    EXPECT_EQ(returnedAt, 16u) << "the stale signal must not end the wait";
}
