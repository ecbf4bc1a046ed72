// The pizza screen's progress ring drawn from its kept spans, and by the
// processor, against the rasteriser it replaced: 4 x 4 samples a pixel, an
// arc tangent per sample, painted with the ring's bitmap.

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <vector>

#include <gtest/gtest.h>

#include "board_config/BoardConfig.hpp"
#include "board_glue/FrameBuffers.hpp"
#include "common/FrontendSetup.hpp"
#include "images/BitmapDatabase.hpp"
#include "pizza_screen/PizzaView.hpp"
#include "portable/Math.hpp"
#include "ui/Color.hpp"
#include "ui/HALGPU.hpp"
#include "ui/LCDGPU.hpp"
#include "ui/widgets/canvas/CanvasWidget.hpp"
#include "ui/widgets/canvas/CanvasWidgetRenderer.hpp"

namespace {

class NoTouch : public ui::TouchController {
public:
    void init() override {}
    bool sampleTouch(std::int32_t&, std::int32_t&) override { return false; }
};

constexpr std::int16_t ringSize = 216;
constexpr std::int16_t ringX = 100;
constexpr std::int16_t ringY = 50;
constexpr std::uint32_t lastStep = 178;

// The rasteriser the ring was drawn with before its spans were kept.
class ReferenceRing {
public:
    ReferenceRing(float startDegrees, float endDegrees)
    {
        const std::int32_t arcStart = fixed(startDegrees);
        const std::int32_t arcEnd = fixed(endDegrees);
        cx = cy = static_cast<float>(fixed(ringSize / 2.0f)) / 32.0f;
        r = static_cast<float>(fixed(102)) / 32.0f;
        half = static_cast<float>(fixed(12)) / 64.0f;
        inner = r - half;
        outer = r + half;
        start = std::fmod(static_cast<float>(std::min(arcStart, arcEnd)) / 32.0f, 360.0f);
        span = static_cast<float>(std::abs(arcEnd - arcStart)) / 32.0f;
        fullCircle = span >= 360.0f;
        roundCaps = !fullCircle; // cap precision 1
        const std::int32_t ends[2] = {arcStart, arcEnd};
        for (int i = 0; i < 2; ++i) {
            const float a = static_cast<float>(ends[i]) / 32.0f / 57.29578f;
            capX[i] = cx + portable::sin(a) * r;
            capY[i] = cy - portable::cos(a) * r;
        }
    }

    std::uint8_t coverage(int x, int y) const
    {
        if (std::abs(static_cast<float>(y) + 0.5f - cy) > outer + 1.0f) {
            return 0;
        }
        const float dx = static_cast<float>(x) + 0.5f - cx;
        const float dy = static_cast<float>(y) + 0.5f - cy;
        const float distance = std::sqrt(dx * dx + dy * dy);
        if (distance < inner - 1.0f || distance > outer + 1.0f) {
            return 0;
        }
        const bool withinArc = fullCircle || arcHolds(dx, dy, distance);
        int hits = 0;
        for (int sy = 0; sy < 4; ++sy) {
            for (int sx = 0; sx < 4; ++sx) {
                const float px = static_cast<float>(x) + (static_cast<float>(sx) + 0.5f) * 0.25f;
                const float py = static_cast<float>(y) + (static_cast<float>(sy) + 0.5f) * 0.25f;
                hits += (withinArc ? inBand(px, py) : inside(px, py)) ? 1 : 0;
            }
        }
        return static_cast<std::uint8_t>(hits * 255 / 16);
    }

private:
    static std::int32_t fixed(float value) { return static_cast<std::int32_t>(value * 32.0f); }

    bool inBand(float x, float y) const
    {
        const float dx = x - cx;
        const float dy = y - cy;
        const float distance = std::sqrt(dx * dx + dy * dy);
        return distance >= inner && distance <= outer;
    }
    float angleFromStart(float dx, float dy) const
    {
        const float angle = portable::atan2(dx, -dy) * 57.29578f;
        float relative = std::fmod(angle - start, 360.0f);
        if (relative < 0.0f) {
            relative += 360.0f;
        }
        return relative;
    }
    bool arcHolds(float dx, float dy, float distance) const
    {
        const float margin = 57.29578f / std::max(distance, 1.0f);
        const float relative = angleFromStart(dx, dy);
        return relative >= margin && relative + margin <= span;
    }
    bool inside(float x, float y) const
    {
        if (!inBand(x, y)) {
            return false;
        }
        if (fullCircle || angleFromStart(x - cx, y - cy) <= span) {
            return true;
        }
        for (int i = 0; i < 2; ++i) {
            if (roundCaps && (x - capX[i]) * (x - capX[i]) + (y - capY[i]) * (y - capY[i]) <= half * half) {
                return true;
            }
        }
        return false;
    }

    float cx, cy, r, half, inner, outer, start, span;
    bool fullCircle, roundCaps;
    float capX[2], capY[2];
};

// The pixels the reference paints over `background` with the ring's bitmap.
std::vector<std::uint16_t> referencePixels(const ReferenceRing& ring, const std::vector<std::uint16_t>& background)
{
    std::vector<std::uint16_t> pixels = background;
    const ui::Bitmap bitmap(BITMAP_IMAGE_PROCESS_BAR_FULL_ID);
    const std::uint8_t* data = bitmap.getData();
    for (int y = 0; y < bitmap.getHeight(); ++y) {
        for (int x = 0; x < bitmap.getWidth(); ++x) {
            const unsigned coverage = ring.coverage(x, y);
            if (coverage == 0) {
                continue;
            }
            const std::uint8_t* p = data + (static_cast<std::ptrdiff_t>(y) * bitmap.getWidth() + x) * 4;
            ui::Color::blendRGB565(pixels[static_cast<std::size_t>(y) * ringSize + static_cast<std::size_t>(x)], p[2],
                                   p[1], p[0], static_cast<std::uint8_t>(coverage * p[3] / 255u));
        }
    }
    return pixels;
}

class ProgressRing : public ::testing::Test {
protected:
    ProgressRing() : hal(lcd, touch, board::panelWidth, board::panelHeight)
    {
        static FrontendHeap& heap = setupFrontend();
        static_cast<void>(heap);
        hal.setFrameBufferStartAddresses(frameBuf, frameBuf + frameBufferPixels, nullptr);
        ui::CanvasWidgetRenderer::setupBuffer(scratch, sizeof scratch);
        painter.setBitmap(ui::Bitmap(BITMAP_IMAGE_PROCESS_BAR_FULL_ID));
        background.resize(static_cast<std::size_t>(ringSize) * ringSize);
        for (std::size_t i = 0; i < background.size(); ++i) {
            background[i] = static_cast<std::uint16_t>(i * 2654435761u >> 16);
        }
    }
    ~ProgressRing() override { ui::CanvasWidgetRenderer::resetBuffer(); }

    void shape(ui::Circle& ring)
    {
        ring.setPainter(painter);
        ring.setPosition(ringX, ringY, ringSize, ringSize);
        ring.setCenter(ringSize / 2.0f, ringSize / 2.0f);
        ring.setRadius(102);
        ring.setCapPrecision(0);
        ring.setLineWidth(12);
    }

    // The ring drawn whole over the background, its box read back.
    std::vector<std::uint16_t> drawn(const ui::Circle& ring)
    {
        std::uint16_t* fb = hal.getClientFrameBuffer();
        for (int y = 0; y < ringSize; ++y) {
            std::copy_n(background.begin() + y * ringSize, ringSize, fb + (ringY + y) * board::panelWidth + ringX);
        }
        ring.draw(ui::Rect(0, 0, ringSize, ringSize));
        std::vector<std::uint16_t> box(background.size());
        for (int y = 0; y < ringSize; ++y) {
            std::copy_n(fb + (ringY + y) * board::panelWidth + ringX, ringSize, box.begin() + y * ringSize);
        }
        return box;
    }

    static float stepEnd(std::uint32_t step)
    {
        return static_cast<float>(static_cast<int>(step * 240 / lastStep) - 120);
    }

    ui::LCDGPU lcd;
    NoTouch touch;
    ui::HALGPU hal;
    std::uint8_t scratch[12000] = {};
    ui::PainterRGB565Bitmap painter;
    std::vector<std::uint16_t> background;
};

// Every step as the pizza screen moves it on, the kept rows of the step
// before reused; then every step and the full circle drawn afresh and by
// the processor.
TEST_F(ProgressRing, EveryStepAndTheFullCircleEqualTheReferenceRasteriser)
{
    static ui::CanvasSpanStorage<PizzaView::ringSpanRuns, PizzaView::ringSpanPixels> spans;
    ui::Circle stepped;
    shape(stepped);
    stepped.setSpanStorage(&spans);
    stepped.setArc(-120.0f, stepEnd(0));
    std::uint32_t mostPixels = 0;
    for (std::uint32_t step = 0; step <= lastStep; ++step) {
        stepped.updateArc(-120.0f, stepEnd(step));
        ASSERT_EQ(drawn(stepped), referencePixels(ReferenceRing(-120.0f, stepEnd(step)), background))
            << "step " << step;
        mostPixels = std::max(mostPixels, spans.pixelsHeld());
    }
    EXPECT_GT(mostPixels, 0u);
    EXPECT_TRUE(spans.holdsShape()); // kept, not bypassed

    ui::Circle fresh;
    shape(fresh);
    ui::Circle byProcessor;
    shape(byProcessor);
    const std::vector<std::pair<float, float>> arcs{
        {-120.0f, 120.0f}, {0.0f, 360.0f}, {-120.0f, -120.0f}, {30.0f, 250.0f}, {-300.0f, -100.0f}};
    for (const auto& [from, to] : arcs) {
        const std::vector<std::uint16_t> expected = referencePixels(ReferenceRing(from, to), background);
        fresh.setArc(from, to);
        fresh.setSpanStorage(&spans);
        EXPECT_EQ(drawn(fresh), expected) << from << " to " << to;
        EXPECT_TRUE(spans.holdsShape()) << from << " to " << to << " does not fit the ring's spans";
        byProcessor.setArc(from, to);
        EXPECT_EQ(drawn(byProcessor), expected) << from << " to " << to << " by the processor";
    }
}

} // namespace
