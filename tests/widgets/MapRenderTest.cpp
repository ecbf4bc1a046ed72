// The map widget drawn for real: a transcoded tile through the cairo GPU
// stand-in into the frame buffer.

#include <cstdlib>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "board_config/BoardConfig.hpp"
#include "mvtsample/SyntheticTile.hpp"
#include "sim/PngWriter.hpp"
#include "ui/Application.hpp"
#include "ui/Screen.hpp"
#include "ui/widgets/Box.hpp"
#include "vecta/TileTranscoder.hpp"
#include "vecta/widgets/GridOverlay.hpp"
#include "vecta/widgets/MapWidget.hpp"
#include "widgets/MapFixture.hpp"

namespace {

constexpr std::uint16_t beige = 0xEF5B; // 0xEDE9D9 in RGB565

class App : public ui::Application {
public:
    void show(ui::Screen& screen)
    {
        currentScreen = &screen;
        invalidate();
    }
};

std::vector<std::uint32_t> transcodedTile(unsigned seed)
{
    static vecta::TileTranscoder transcoder;
    std::vector<std::uint32_t> slot(board::cacheSlotBytes / 4);
    vecta::BufferWriter writer(slot.data(), board::cacheSlotBytes);
    const std::string tile = mvt::makeSyntheticTile(seed, 30 * 1024);
    const unsigned bytes = transcoder.decode(tile.data(), static_cast<unsigned>(tile.size()), 16, writer);
    slot.resize((bytes + 3) / 4);
    return slot;
}

// The GPU's pools come first: the widget takes its path and paint from them.
struct GpuSystem {
    GpuSystem() { gpu_sys_init(); }
};

class MapRender : public ::testing::Test {
protected:
    MapRender() : widget(vecta::getMapStyle(), store)
    {

        store.tiles[{50, 60}] = transcodedTile(3);

        for (vecta::MapPlacement* p :
             {static_cast<vecta::MapPlacement*>(&widget), static_cast<vecta::MapPlacement*>(&grid)}) {
            p->scaleX = p->scaleY = 0.25f;
            p->rotation = 0.0f;
            p->rotationCenterX = 400.5f;
            p->rotationCenterY = 180.5f;
            // The origin tile's corner at (400.5, 180.5): grid lines fill whole pixels.
            p->translationX = -623.5f;
            p->translationY = -843.5f;
        }
        widget.mapScale = 0.25f;
        widget.tileX = 50;
        widget.tileY = 60;
        widget.zoom = 16;
        widget.setPosition(0, 0, board::panelWidth, board::panelHeight);
        grid.enabled = true;
        widget.addOverlay(grid);
        background.setPosition(0, 0, board::panelWidth, board::panelHeight);
        background.setColor(0xFFEDE9D9);
        screen.add(background);
        screen.add(widget);
    }

    std::uint16_t pixel(int x, int y) const { return gpu.hal.getTFTFrameBuffer()[y * board::panelWidth + x]; }

    void render()
    {
        app.show(screen);
        gpu.hal.tick();
        gpu.hal.vSync();
        // Set MAP_RENDER_PNG to look at the picture.
        if (const char* path = std::getenv("MAP_RENDER_PNG")) {
            ASSERT_EQ(sim::writeRgb565Png(path, gpu.hal.getTFTFrameBuffer(), board::panelWidth, board::panelHeight,
                                          board::panelWidth * 2),
                      "");
        }
    }

    GpuSystem system;
    mapfixture::GpuHal gpu;
    mapfixture::FakeStore store;
    App app;
    ui::Screen screen;
    ui::Box background;
    vecta::MapWidget widget;
    vecta::GridOverlay grid;
};

} // namespace

TEST_F(MapRender, DrawsTheStoredTileInItsPlaceWithTheGridOnTop)
{
    render();
    EXPECT_EQ(pixel(400, 300), 0xF800); // grid line at the tile's west edge
    EXPECT_EQ(pixel(600, 180), 0xF800); // and its north edge
    EXPECT_EQ(pixel(100, 100), beige);  // the north-west tile is missing

    int drawn = 0;
    for (int y = 190; y < board::panelHeight; ++y) {
        for (int x = 410; x < board::panelWidth; ++x) {
            drawn += pixel(x, y) != beige ? 1 : 0;
        }
    }
    EXPECT_GT(drawn, 390 * 290 / 10);
}

TEST_F(MapRender, OnlyTheInvalidatedAreaIsRedrawn)
{
    render();
    // Paint over the shown picture behind the framework's back, then redraw
    // a small area: only that area is restored.
    const std::uint16_t original = pixel(400, 300);
    std::uint16_t* shown = gpu.hal.getTFTFrameBuffer();
    for (int i = 0; i < board::panelWidth * board::panelHeight; ++i) {
        shown[i] = 0x1234;
    }
    // Both buffers get the marker, so the next frame's starting point is known.
    std::uint16_t* back = gpu.hal.getClientFrameBuffer();
    for (int i = 0; i < board::panelWidth * board::panelHeight; ++i) {
        back[i] = 0x1234;
    }
    ui::Rect area(390, 290, 20, 20);
    widget.invalidateRect(area);
    gpu.hal.tick();
    gpu.hal.vSync();
    EXPECT_EQ(pixel(400, 300), original);
    EXPECT_EQ(pixel(389, 300), 0x1234);
    EXPECT_EQ(pixel(410, 300), 0x1234);
}

TEST_F(MapRender, RotatedBlockMatchesTheReferencePicture)
{
    // Regenerate after an intended change (from the repository root) with
    //   MAP_RENDER_PNG=tests/widgets/reference/rotated_block.png
    //   build/default/tests/widgets/widget_render_tests --gtest_filter=MapRender.RotatedBlock*
    for (std::uint32_t i = 0; i < 9; ++i) {
        store.tiles[{49 + i % 3, 59 + i / 3}] = transcodedTile(20 + i);
    }
    widget.rotation = grid.rotation = 30.0f;
    render();

    std::vector<std::uint16_t> reference(board::panelPixels);
    ASSERT_EQ(sim::readPngAsRgb565(MAP_REFERENCE_DIR "/rotated_block.png", reference.data(), board::panelWidth,
                                   board::panelHeight),
              "");
    // Antialiasing may differ by a few levels between rasterizer versions.
    int differing = 0;
    for (int y = 0; y < board::panelHeight; ++y) {
        for (int x = 0; x < board::panelWidth; ++x) {
            const std::uint16_t a = pixel(x, y);
            const std::uint16_t b = reference[y * board::panelWidth + x];
            const int dr = std::abs(((a >> 11) & 0x1F) - ((b >> 11) & 0x1F));
            const int dg = std::abs(((a >> 5) & 0x3F) - ((b >> 5) & 0x3F));
            const int db = std::abs((a & 0x1F) - (b & 0x1F));
            differing += (dr > 2 || dg > 4 || db > 2) ? 1 : 0;
        }
    }
    EXPECT_LE(differing, board::panelWidth * board::panelHeight / 200) << "pixels differing from the reference";
}
