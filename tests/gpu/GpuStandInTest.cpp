#include <array>
#include <cstdint>
#include <functional>
#include <random>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "device_models/GpuPools.hpp"
#include "gpu/gpu_graphics.h"
#include "platform/rtos.h"
#include "sim/Kernel.hpp"

namespace {

constexpr int size = 64;

struct Rgb {
    int r;
    int g;
    int b;
};

Rgb rgb(std::uint16_t p)
{
    return Rgb{((p >> 11) & 0x1F) * 255 / 31, ((p >> 5) & 0x3F) * 255 / 63, (p & 0x1F) * 255 / 31};
}

// A 64 x 64 RGB565 texture, white, bound inside an open command list.
class GpuStandIn : public ::testing::Test {
protected:
    GpuStandIn() : pixels(size * size, 0xFFFF)
    {
        gpu_sys_init();
        list = gpu_cmdlist_create_circular(8192, 4);
        gpu_cmdlist_bind(&list);
        gpu_bind_dst_texture(reinterpret_cast<std::uintptr_t>(pixels.data()), size, size, GPU_FORMAT_RGB565, size * 2);
        path = vg_path_create();
        paint = vg_paint_create();
        vg_set_blend(VG_BLEND_SRC_OVER);
        vg_set_quality(1);
        vg_path_set_matrix(path, identity);
        vg_paint_set_paint_color(paint, gpu_rgba(255, 0, 0, 255));
    }
    ~GpuStandIn() override
    {
        vg_path_destroy(path);
        vg_paint_destroy(paint);
        gpu_cmdlist_unbind();
        gpu_cmdlist_destroy(&list);
    }

    void finish()
    {
        gpu_cmdlist_submit(&list);
        gpu_cmdlist_wait(&list);
    }
    std::uint16_t at(int x, int y) const { return pixels[y * size + x]; }

    static constexpr vg_matrix3x3_t identity = {{1, 0, 0}, {0, 1, 0}, {0, 0, 1}};
    std::vector<std::uint16_t> pixels;
    gpu_cmdlist_t list{};
    void* path = nullptr;
    void* paint = nullptr;
};

// Outer square 0..40 and inner square 10..30, both wound the same way.
const std::uint8_t ringCommands[] = {VG_MOVE, VG_LINE, VG_LINE, VG_LINE, VG_CLOSE,
                                     VG_MOVE, VG_LINE, VG_LINE, VG_LINE, VG_CLOSE};
const float ringPoints[] = {0, 0, 40, 0, 40, 40, 0, 40, 10, 10, 30, 10, 30, 30, 10, 30};

} // namespace

TEST_F(GpuStandIn, EvenOddFillLeavesTheHoleWhereNonZeroFillsIt)
{
    vg_set_fill_rule(VG_FILL_EVEN_ODD);
    vg_path_set_shape(path, 10, ringCommands, 16, ringPoints);
    EXPECT_EQ(vg_draw_path(path, paint), VG_NO_ERROR);
    finish();
    EXPECT_EQ(at(5, 5), 0xF800);
    EXPECT_EQ(at(20, 20), 0xFFFF);
    EXPECT_EQ(at(50, 50), 0xFFFF);

    vg_set_fill_rule(VG_FILL_NON_ZERO);
    EXPECT_EQ(vg_draw_path(path, paint), VG_NO_ERROR);
    finish();
    EXPECT_EQ(at(20, 20), 0xF800);
}

TEST_F(GpuStandIn, OpacityAndColourAlphaBlendSourceOver)
{
    const std::uint8_t commands[] = {VG_MOVE, VG_HLINE, VG_VLINE, VG_HLINE, VG_CLOSE};
    const float points[] = {0, 0, 64, 64, 0};
    vg_set_fill_rule(VG_FILL_EVEN_ODD);
    vg_path_set_shape(path, 5, commands, 5, points);
    vg_paint_set_opacity(paint, 0.5f);
    vg_draw_path(path, paint);
    finish();
    const Rgb half = rgb(at(32, 32));
    EXPECT_EQ(half.r, 255);
    EXPECT_NEAR(half.g, 128, 5);
    EXPECT_NEAR(half.b, 128, 5);

    // Colour alpha and opacity multiply: black at alpha 0.5 x 0.5 over that.
    vg_paint_set_paint_color(paint, gpu_rgba(0, 0, 0, 128));
    vg_draw_path(path, paint);
    finish();
    const Rgb quarter = rgb(at(32, 32));
    EXPECT_NEAR(quarter.r, 191, 6);
    EXPECT_NEAR(quarter.g, 96, 6);
}

TEST_F(GpuStandIn, ClipRectangleLimitsDrawing)
{
    const std::uint8_t commands[] = {VG_MOVE, VG_HLINE, VG_VLINE, VG_HLINE, VG_CLOSE};
    const float points[] = {0, 0, 64, 64, 0};
    vg_set_fill_rule(VG_FILL_EVEN_ODD);
    vg_path_set_shape(path, 5, commands, 5, points);
    gpu_set_clip(8, 4, 12, 10);
    vg_draw_path(path, paint);
    finish();
    EXPECT_EQ(at(8, 4), 0xF800);
    EXPECT_EQ(at(19, 13), 0xF800);
    EXPECT_EQ(at(20, 13), 0xFFFF);
    EXPECT_EQ(at(19, 14), 0xFFFF);
    EXPECT_EQ(at(7, 4), 0xFFFF);
}

// Cairo cuts a path at its clip, so an area drawn under a smaller clip can
// differ at edge pixels; under a scissor it equals the area drawn whole.
TEST_F(GpuStandIn, AScissoredAreaEqualsTheSameAreaDrawnWholeAndNothingElseChanges)
{
    // Translucent strokes and fills through and beyond the texture, turned.
    const auto drawShapes = [&] {
        std::minstd_rand random(7);
        const auto coordinate = [&] { return static_cast<float>(random() % 1000) / 10.0f - 20.0f; };
        const vg_matrix3x3_t turned = {{0.93f, -0.37f, 4.2f}, {0.37f, 0.93f, -1.7f}, {0, 0, 1}};
        vg_path_set_matrix(path, turned);
        for (int shape = 0; shape < 40; ++shape) {
            const std::uint8_t commands[] = {VG_MOVE, VG_LINE, VG_LINE, VG_LINE, VG_CLOSE};
            const float points[] = {coordinate(), coordinate(), coordinate(), coordinate(),
                                    coordinate(), coordinate(), coordinate(), coordinate()};
            const bool fill = shape % 2 == 0;
            vg_set_fill_rule(fill ? VG_FILL_EVEN_ODD : VG_STROKE);
            vg_stroke_set_width(static_cast<float>(random() % 80) / 10.0f + 0.5f);
            vg_path_set_shape(path, fill ? 5 : 4, commands, 8, points);
            vg_paint_set_paint_color(paint,
                                     gpu_rgba(static_cast<std::uint8_t>(random()), static_cast<std::uint8_t>(random()),
                                              static_cast<std::uint8_t>(random()), 170));
            vg_draw_path(path, paint);
        }
        finish();
    };
    const std::vector<std::uint16_t> before(size * size, 0x1234);
    pixels = before;
    drawShapes();
    const std::vector<std::uint16_t> whole = pixels;

    for (const auto& [x, y, w, h] : std::vector<std::array<int, 4>>{{9, 17, 13, 11}, {40, 0, 24, 64}, {1, 50, 7, 3}}) {
        pixels = before;
        gpu_bind_dst_texture(reinterpret_cast<std::uintptr_t>(pixels.data()), size, size, GPU_FORMAT_RGB565, size * 2);
        gpu_set_scissor(x, y, static_cast<std::uint32_t>(w), static_cast<std::uint32_t>(h));
        drawShapes();
        int differing = 0;
        for (int py = 0; py < size; ++py) {
            for (int px = 0; px < size; ++px) {
                const bool inside = px >= x && px < x + w && py >= y && py < y + h;
                differing += at(px, py) != (inside ? whole[py * size + px] : before[py * size + px]) ? 1 : 0;
            }
        }
        EXPECT_EQ(differing, 0) << "scissor " << x << "," << y << " " << w << "x" << h;
    }
}

TEST_F(GpuStandIn, StrokeWidthIsInPathUnitsWithRoundCaps)
{
    // Scale 4: a 2-unit line from x 2 to 12 at y 8 covers y 28..36 and
    // x 8..48 on screen, and its round caps reach 4 pixels further.
    const vg_matrix3x3_t scale4 = {{4, 0, 0}, {0, 4, 0}, {0, 0, 1}};
    const std::uint8_t commands[] = {VG_MOVE, VG_LINE};
    const float points[] = {2, 8, 12, 8};
    vg_set_fill_rule(VG_STROKE);
    vg_stroke_set_width(2.0f);
    vg_path_set_matrix(path, scale4);
    vg_path_set_shape(path, 2, commands, 4, points);
    vg_draw_path(path, paint);
    finish();
    EXPECT_EQ(at(30, 28), 0xF800);
    EXPECT_EQ(at(30, 35), 0xF800);
    EXPECT_EQ(at(30, 26), 0xFFFF);
    EXPECT_EQ(at(30, 37), 0xFFFF);
    EXPECT_EQ(at(50, 32), 0xF800); // inside the cap
    EXPECT_EQ(at(51, 28), 0xFFFF); // a square cap would cover this
    EXPECT_EQ(at(53, 32), 0xFFFF);
}

TEST_F(GpuStandIn, RefusesWorkOutsideTheBracketAndSurvivesACollapsedMatrix)
{
    vg_set_fill_rule(VG_FILL_EVEN_ODD);
    vg_path_set_shape(path, 10, ringCommands, 16, ringPoints);
    gpu_cmdlist_unbind();
    EXPECT_EQ(vg_draw_path(path, paint), VG_NO_BOUND_CMDLIST);
    gpu_cmdlist_bind(&list);

    const vg_matrix3x3_t collapsed = {{0, 0, 5}, {0, 0, 5}, {0, 0, 1}};
    vg_path_set_matrix(path, collapsed);
    EXPECT_EQ(vg_draw_path(path, paint), VG_INVALID_MATRIX);
    EXPECT_EQ(vg_draw_path(nullptr, paint), VG_INVALID_HANDLE);
    finish();
    EXPECT_EQ(at(5, 5), 0xFFFF);

    vg_path_set_matrix(path, identity);
    EXPECT_EQ(vg_draw_path(path, paint), VG_NO_ERROR);
    finish();
    EXPECT_EQ(at(5, 5), 0xF800);
}

TEST_F(GpuStandIn, TruncatedPathDrawsOnlyItsCompleteSteps)
{
    // The last line-to lacks its y: the shape stays a triangle.
    const std::uint8_t commands[] = {VG_MOVE, VG_LINE, VG_LINE, VG_LINE};
    const float points[] = {0, 0, 40, 0, 0, 40, 40};
    vg_set_fill_rule(VG_FILL_EVEN_ODD);
    vg_path_set_shape(path, 4, commands, 7, points);
    EXPECT_EQ(vg_draw_path(path, paint), VG_NO_ERROR);
    vg_path_set_shape(path, 3, nullptr, 6, points);
    EXPECT_EQ(vg_draw_path(path, paint), VG_NO_ERROR);
    finish();
    EXPECT_EQ(at(5, 5), 0xF800);
    EXPECT_EQ(at(35, 35), 0xFFFF);
}

TEST_F(GpuStandIn, PathsAndPaintsGoBackToThePool)
{
    for (int i = 0; i < 10000; ++i) {
        void* p = vg_path_create();
        void* q = vg_paint_create();
        ASSERT_NE(p, nullptr);
        ASSERT_NE(q, nullptr);
        vg_path_destroy(p);
        vg_paint_destroy(q);
        vg_paint_destroy(q); // a second release is ignored
    }
    gpu_buffer_t bo = gpu_buffer_create_pool(1, 1024);
    ASSERT_NE(bo.base_virt, nullptr);
    gpu_buffer_destroy(&bo);
    EXPECT_EQ(bo.pool, -1);
    EXPECT_EQ(bo.base_virt, nullptr);
    gpu_buffer_destroy(&bo);
}

TEST_F(GpuStandIn, PoolFiguresFollowLiveBlocksAndKeepThePeakUntilRead)
{
    const std::uint32_t base = devices::readGpuPoolFigures(0, true).inUse;
    void* a = gpu_host_malloc(60); // rounded up to 64
    void* b = gpu_host_malloc(100);
    gpu_host_free(a);
    gpu_host_free(a); // a second release changes nothing
    devices::GpuPoolFigures figures = devices::readGpuPoolFigures(0, true);
    EXPECT_EQ(figures.inUse, base + 104);
    EXPECT_EQ(figures.peak, base + 168);
    EXPECT_GT(figures.size, figures.peak);
    gpu_host_free(b);
    figures = devices::readGpuPoolFigures(0, false);
    EXPECT_EQ(figures.inUse, base);
    EXPECT_EQ(figures.peak, base + 104) << "the peak starts again from the previous reading";
    EXPECT_EQ(devices::readGpuPoolFigures(3, true).size, 0u) << "never set up";
}

TEST_F(GpuStandIn, RequestLargerThanAnyPoolFails)
{
    EXPECT_EQ(gpu_pool_malloc(0, 0xFFFFFFFFu), nullptr);
    EXPECT_EQ(gpu_pool_malloc(1, 0xFFFFFFF9u), nullptr);
    EXPECT_EQ(gpu_host_malloc(0xFFFFFFFCu), nullptr);
    // The pool is still whole: a normal allocation works.
    void* p = gpu_host_malloc(64);
    EXPECT_NE(p, nullptr);
    gpu_host_free(p);
}

TEST_F(GpuStandIn, SubmissionsCompleteInOrder)
{
    gpu_cmdlist_submit(&list);
    const std::int32_t first = list.submission_id;
    gpu_cmdlist_submit(&list);
    EXPECT_EQ(list.submission_id, first + 1);
    EXPECT_EQ(gpu_wait_irq_cl(first), 0);
    EXPECT_EQ(gpu_cmdlist_wait(&list), 0);
}

namespace {

void runFunction(void* argument)
{
    (*static_cast<std::function<void()>*>(argument))();
}

} // namespace

TEST(GpuCompletion, WaitReturnsOnlyOnceItsListHasCompleted)
{
    gpu_sys_init();
    std::vector<std::string> trace;
    std::function<void()> gui = [&] {
        EXPECT_EQ(gpu_wait_irq_cl(0), 0); // already complete: no wait
        trace.push_back("waiting");
        gpu_wait_irq_cl(2);
        trace.push_back("done@" + std::to_string(rtos::tickCount()));
    };
    std::function<void()> interrupts = [&] {
        rtos::delay(5);
        HAL_GPU_CommandListCpltCallback(nullptr, 1);
        trace.push_back("list 1");
        rtos::delay(5);
        HAL_GPU_CommandListCpltCallback(nullptr, 2);
        trace.push_back("list 2");
    };
    rtos::createTask(runFunction, &gui, rtos::TaskAttributes{"GUI_Task", 4096, rtos::Priority::Normal});
    rtos::createTask(runFunction, &interrupts, rtos::TaskAttributes{"gpu", 4096, rtos::Priority::Low});
    EXPECT_EQ(sim::runKernel(sim::TimeMode::Virtual), sim::KernelStop::AllBlocked);
    EXPECT_EQ(trace, (std::vector<std::string>{"waiting", "list 1", "done@10", "list 2"}));
}
