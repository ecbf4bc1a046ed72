#include <gtest/gtest.h>

#include <cmath>
#include <utility>

#include "board_config/BoardConfig.hpp"
#include "images/BitmapDatabase.hpp"
#include "model/MapProjection.hpp"
#include "pizza_screen/PizzaView.hpp"
#include "screens/FrameDriver.hpp"
#include "screens/InstantTileFetcher.hpp"
#include "screens/PizzaScreenParts.hpp"
#include "texts/TextKeysAndLanguages.hpp"
#include "ui/TouchGestures.hpp"
#include "vecta/GlobalMapCache.hpp"

namespace {

constexpr std::int16_t ringCentreX = 400;
constexpr std::int16_t ringCentreY = 419;

constexpr std::uint16_t rgb565(int red, int green, int blue)
{
    return static_cast<std::uint16_t>(((red >> 3) << 11) | ((green >> 2) << 5) | (blue >> 3));
}

class PizzaScreen : public ::testing::Test {
protected:
    PizzaScreen()
    {
        driver.resetModel();
        driver.heap.app.gotoPizzaScreenNoTransition();
        driver.frames(2); // entered, then its first own tick
    }

    PizzaView& view() { return *dynamic_cast<PizzaView*>(driver.heap.app.getCurrentScreen()); }
    Model& model() { return driver.heap.model; }
    PizzaModel& pizza() { return model().getPizzaModel(); }
    PizzaScreenParts parts() { return PizzaScreenParts(view()); }

    // Press at one point, move to another, lift there.
    void pressMoveRelease(std::int16_t x0, std::int16_t y0, std::int16_t x1, std::int16_t y1)
    {
        driver.touch.samples = {{true, x0, y0}, {true, x1, y1}, {false, 0, 0}};
        driver.frames(3);
    }

    FrameDriver driver;
};

TEST_F(PizzaScreen, EnteringShowsTheOrderPanelOnTheStartView)
{
    const PizzaScreenParts p = parts();
    EXPECT_EQ(model().getActiveScreen(), ActiveScreen::Pizza);
    EXPECT_EQ(pizza().getMoveMode(), MoveMode::FollowPizza);
    EXPECT_EQ(model().getMapPosition().tileX, 4327);
    EXPECT_EQ(p.centerText.getTypedText().getId(), T_ORDER);
    EXPECT_FALSE(p.courierMarker.isVisible());
    EXPECT_FALSE(p.startMarker.isVisible());
    EXPECT_FALSE(p.excitedText.isVisible());
    EXPECT_FALSE(p.travelledRoute->enabled);
    EXPECT_TRUE(p.homeMarker.isVisible());
    EXPECT_EQ(shownText(p.bitrateText), "Instant");
    EXPECT_EQ(shownText(p.fpsText), "--.-- fps");
    // The map follows the cache's centre tile.
    EXPECT_EQ(p.map.tileX, 4327);
    EXPECT_EQ(p.map.zoom, 13);
    EXPECT_EQ(p.map.getHeight(), 420);
}

TEST_F(PizzaScreen, GridTogglesOnlyOnPressAndReleaseInsideTheButton)
{
    const PizzaScreenParts p = parts();
    pressMoveRelease(40, 40, 200, 200);
    EXPECT_TRUE(p.grid->enabled);
    pressMoveRelease(200, 200, 40, 40);
    EXPECT_TRUE(p.grid->enabled);
    driver.tap(40, 40);
    EXPECT_FALSE(p.grid->enabled);
    EXPECT_EQ(p.gridButton.getBitmap().getId(), BITMAP_IMAGE_GRID_OFF_ID);
    driver.tap(17, 64);
    EXPECT_TRUE(p.grid->enabled);
    EXPECT_EQ(p.gridButton.getBitmap().getId(), BITMAP_IMAGE_GRID_ON_ID);
}

TEST_F(PizzaScreen, RingOrdersOnATapWithinItsDiscOnly)
{
    // Inside the ring's square but outside its disc.
    driver.tap(295, 314);
    pressMoveRelease(ringCentreX, ringCentreY, 100, 200);
    pressMoveRelease(100, 200, ringCentreX, ringCentreY);
    EXPECT_EQ(pizza().getPizzaState(), PizzaState::Idle);
    // The inside of the ring counts, not only its band.
    driver.tap(ringCentreX, ringCentreY);
    EXPECT_EQ(pizza().getPizzaState(), PizzaState::OnItsWay);
    // Under way a tap changes nothing.
    driver.tap(ringCentreX, ringCentreY);
    EXPECT_EQ(pizza().getPizzaState(), PizzaState::OnItsWay);
}

TEST_F(PizzaScreen, TopBarCyclesTheBitrateWithItsIcons)
{
    const PizzaScreenParts p = parts();
    struct Shown {
        const char* text;
        ui::BitmapId flash, sd, bluetooth;
        TileFetcher::Bitrate rate;
    };
    const Shown cycle[] = {
        {"262 kb/s", BITMAP_IMAGE_FLASH_OFF_ID, BITMAP_IMAGE_SD_ON_ID, BITMAP_IMAGE_BLUETOOTH_OFF_ID,
         TileFetcher::Bitrate::Kbps262},
        {"44 kb/s", BITMAP_IMAGE_FLASH_OFF_ID, BITMAP_IMAGE_SD_OFF_ID, BITMAP_IMAGE_BLUETOOTH_ON_ID,
         TileFetcher::Bitrate::Kbps44},
        {"Instant", BITMAP_IMAGE_FLASH_ON_ID, BITMAP_IMAGE_SD_OFF_ID, BITMAP_IMAGE_BLUETOOTH_OFF_ID,
         TileFetcher::Bitrate::Instant},
    };
    const std::int16_t rightEdge = p.bitrateText.getRect().right();
    for (const Shown& shown : cycle) {
        driver.tap(300, 30);
        EXPECT_EQ(shownText(p.bitrateText), shown.text);
        EXPECT_EQ(p.flashIcon.getBitmap().getId(), shown.flash);
        EXPECT_EQ(p.sdIcon.getBitmap().getId(), shown.sd);
        EXPECT_EQ(p.bluetoothIcon.getBitmap().getId(), shown.bluetooth);
        EXPECT_EQ(TileFetcher::GetCurrentBitrate(), shown.rate);
        EXPECT_EQ(p.bitrateText.getRect().right(), rightEdge); // right-aligned
    }
}

TEST_F(PizzaScreen, InformationOverlaySwallowsTapsButNotTheGridButton)
{
    const PizzaScreenParts p = parts();
    driver.tap(759, 41);
    ASSERT_TRUE(p.infoBackground.isVisible());
    driver.tap(ringCentreX, ringCentreY);
    driver.tap(300, 30);
    EXPECT_EQ(pizza().getPizzaState(), PizzaState::Idle);
    EXPECT_EQ(TileFetcher::GetCurrentBitrate(), TileFetcher::Bitrate::Instant);
    // A press still counts as the user being there.
    driver.frames(10);
    EXPECT_GE(pizza().getIdleTicks(), 10u);
    driver.touch.samples = {{true, 500, 300}};
    driver.frame();
    EXPECT_LE(pizza().getIdleTicks(), 1u);
    driver.touch.samples = {{false, 0, 0}};
    driver.frame();

    // Both arrows turn between the same two pages.
    driver.tap(44, 436);
    EXPECT_EQ(p.infoBackground.getBitmap().getId(), BITMAP_IMAGE_INFO_BACKGROUND_2_ID);
    driver.tap(756, 436);
    EXPECT_EQ(p.infoBackground.getBitmap().getId(), BITMAP_IMAGE_INFO_BACKGROUND_1_ID);

    // The grid button lies under the back button's left end and is tested first.
    driver.tap(40, 40);
    EXPECT_FALSE(p.grid->enabled);
    EXPECT_TRUE(p.infoBackground.isVisible());
    driver.tap(100, 40);
    EXPECT_FALSE(p.infoBackground.isVisible());
    EXPECT_FALSE(p.backButton.isVisible());
}

TEST_F(PizzaScreen, ProgressRingArcGrowsFromLowerLeftOverTheTop)
{
    const PizzaScreenParts p = parts();
    const struct {
        std::uint32_t step;
        std::int32_t endDegrees;
    } arcs[] = {{0, -120}, {89, 0}, {178, 120}, {500, 120}};
    for (const auto& arc : arcs) {
        view().setProgress(arc.step);
        EXPECT_EQ(p.ring.getArcStartFixed(), -120 * 32);
        EXPECT_EQ(p.ring.getArcEndFixed(), arc.endDegrees * 32) << arc.step;
    }
}

TEST_F(PizzaScreen, HomeMarkerKeepsClearOfTheTopBarAndPinsToTheEdges)
{
    const PizzaScreenParts p = parts();
    const vecta::Coordinate home = DirectionsData.back();
    const auto homeAt = [&](float north, float east) -> const ui::Image& {
        model().setCoordinates(home.latitude - north, home.longitude - east);
        driver.frame();
        return p.homeMarker.getIcon();
    };
    // Above the screen's middle: just below the top bar, with the top icon.
    const ui::Image& above = homeAt(0.01f, 0.0f);
    EXPECT_EQ(above.getBitmap().getId(), BITMAP_IMAGE_HOME_UP_ICON_ID);
    EXPECT_EQ(above.getY(), p.topBar.getHeight());
    // Far east: at the right edge.
    const ui::Image& right = homeAt(0.0f, 0.05f);
    EXPECT_EQ(right.getBitmap().getId(), BITMAP_IMAGE_HOME_RIGHT_ICON_ID);
    EXPECT_EQ(right.getRect().right(), board::panelWidth);
    // Below the middle: on the ring's rim, with the bottom icon.
    const ui::Image& below = homeAt(-0.01f, 0.0f);
    EXPECT_EQ(below.getBitmap().getId(), BITMAP_IMAGE_HOME_DOWN_ICON_ID);
    const std::int32_t dx = below.getX() + below.getWidth() / 2 - ringCentreX;
    const std::int32_t rimY = ringCentreY - static_cast<std::int32_t>(std::sqrt(108.0 * 108 - dx * dx));
    EXPECT_NEAR(below.getRect().bottom(), rimY, 2);
}

// The home marker and the courier marker run the presenter's two map
// actions; a marker the panel hides takes no tap where its icon last was.
TEST_F(PizzaScreen, MarkerTapsGoHomeAndFollowTheCourier)
{
    const PizzaScreenParts p = parts();
    const vecta::Coordinate home = DirectionsData.back();
    // The start view lies a few metres from home: its icon covers the anchor.
    ASSERT_TRUE(p.homeMarker.getIcon().getRect().intersect(400, 180));
    driver.tap(400, 180);
    EXPECT_EQ(pizza().getMoveMode(), MoveMode::Free);
    EXPECT_FLOAT_EQ(model().getMapPosition().coordinate.latitude, home.latitude);
    EXPECT_FLOAT_EQ(model().getMapPosition().coordinate.longitude, home.longitude);

    // Placed once at entry, then hidden by the order panel.
    const ui::Rect hiddenCourier = p.courierMarker.getIcon().getRect();
    ASSERT_FALSE(p.courierMarker.isVisible());
    ASSERT_GT(hiddenCourier.width, 0);
    driver.tap(hiddenCourier.x + hiddenCourier.width / 2, hiddenCourier.y + hiddenCourier.height / 2);
    EXPECT_EQ(pizza().getMoveMode(), MoveMode::Free);

    driver.tap(ringCentreX, ringCentreY);
    ASSERT_TRUE(p.courierMarker.isVisible());
    const ui::Rect courier = p.courierMarker.getIcon().getRect();
    driver.tap(courier.x + courier.width / 2, courier.y + courier.height / 2);
    EXPECT_EQ(pizza().getMoveMode(), MoveMode::FollowPizza);
}

TEST_F(PizzaScreen, OrdersByItselfAfter1200FramesWithoutATouch)
{
    const PizzaScreenParts p = parts();
    model().setCoordinates(56.18f, 10.19f); // the user panned: no longer following
    driver.frames(600);
    driver.tap(100, 300); // the press starts the count again
    driver.frames(1198);
    EXPECT_EQ(pizza().getPizzaState(), PizzaState::Idle);
    EXPECT_EQ(pizza().getMoveMode(), MoveMode::Free);
    driver.frame();
    EXPECT_EQ(pizza().getPizzaState(), PizzaState::OnItsWay);
    EXPECT_EQ(pizza().getMoveMode(), MoveMode::FollowPizza);
    EXPECT_EQ(shownText(p.centerText), "01:14");
    EXPECT_TRUE(p.courierMarker.isVisible());
}

// Leaving for the menu stops the delivery; coming back shows it at once
// where it stopped, and it goes on from there.
TEST_F(PizzaScreen, ReenteringMidDeliveryShowsPanelRingAndTimeAtOnce)
{
    driver.tap(ringCentreX, ringCentreY);
    driver.frames(290); // steps at frames 1, 26, ..., 276; none on the way back
    driver.heap.app.gotoMenuScreenNoTransition();
    driver.frame();
    const std::uint32_t step = pizza().getCurrentStep();
    ASSERT_EQ(step, 12u);
    driver.frames(100);
    EXPECT_EQ(pizza().getCurrentStep(), step);

    driver.heap.app.gotoPizzaScreenNoTransition();
    driver.frame();
    const PizzaScreenParts p = parts();
    EXPECT_EQ(shownText(p.centerText), "01:09"); // 166 steps of 5/12 s
    EXPECT_EQ(p.ring.getArcEndFixed(), (12 * 240 / 178 - 120) * 32);
    EXPECT_TRUE(p.courierMarker.isVisible());
    EXPECT_TRUE(p.startMarker.isVisible());
    EXPECT_EQ(p.travelledRoute->routeLength, step + 1);
    EXPECT_EQ(p.remainingRoute->routePoints, &CachedDirections[step]);
    EXPECT_EQ(pizza().getMoveMode(), MoveMode::FollowPizza);
    driver.frames(25);
    EXPECT_EQ(pizza().getCurrentStep(), step + 1);
}

// Where the two routes meet they overlap inside the turn: the part still to
// go is drawn over the part behind.
TEST_F(PizzaScreen, RemainingRouteIsDrawnOverTheTravelledWhereTheyMeet)
{
    // The route turns by some 80 degrees at point 1, the courier's first step.
    const vecta::Coordinate corner = DirectionsData[1];
    model().setCoordinates(corner.latitude, corner.longitude);
    driver.frames(40); // the tiles around it arrive, one per frame
    driver.tap(ringCentreX, ringCentreY);
    driver.frame();
    ASSERT_EQ(pizza().getCurrentStep(), 1u);
    // The courier's icon would cover the corner.
    PizzaScreenParts p = parts();
    p.courierMarker.setVisible(false);
    view().getRootContainer().invalidate();
    driver.frame();

    // Four pixels from the corner along the inner bisector: within half a
    // line width (7.5 pixels) of both lines.
    const vecta::Point a = CachedDirections[0];
    const vecta::Point b = CachedDirections[1];
    const vecta::Point c = CachedDirections[2];
    const auto unit = [](float x, float y) {
        const float length = std::hypot(x, y);
        return std::pair{x / length, y / length};
    };
    const auto [inX, inY] = unit(static_cast<float>(a.x - b.x), static_cast<float>(a.y - b.y));
    const auto [outX, outY] = unit(static_cast<float>(c.x - b.x), static_cast<float>(c.y - b.y));
    const auto [bisectorX, bisectorY] = unit(inX + outX, inY + outY);
    const float units = 4.0f / model().getMapPosition().tileScale;
    const ui::Matrix3x3::Point inside =
        p.remainingRoute->placementMatrix(0.0f, 0.0f)
            .affineTransform(static_cast<float>(b.x) + units * bisectorX, static_cast<float>(b.y) + units * bisectorY);
    const std::uint16_t shown = driver.shownPixel(static_cast<int>(inside.x), static_cast<int>(inside.y));
    EXPECT_EQ(shown, rgb565(38, 38, 38));
}

TEST_F(PizzaScreen, OnlyTilesOfTheVisibleBlockRedrawTheMap)
{
    driver.frames(60); // every wanted tile is in
    ASSERT_FALSE(driver.heap.app.hasInvalidatedAreas());
    const MapPosition& position = model().getMapPosition();
    const auto arrive = [this](int x, int y, int zoom) {
        TileFetcher::Submit(x, y, zoom);
        instantfetcher::deliver(TileFetcher::GetResult());
        view().checkTileFetcherResult();
    };
    // A tile of the layer above is kept for a zoom, not drawn now.
    arrive(2 * position.tileX, 2 * position.tileY, position.zoom + 1);
    EXPECT_FALSE(driver.heap.app.hasInvalidatedAreas());
    arrive(position.tileX + 1, position.tileY - 1, position.zoom);
    EXPECT_TRUE(driver.heap.app.hasInvalidatedAreas());
}

TEST_F(PizzaScreen, DamagedTileLeavesAnEmptySlotAndIsCounted)
{
    driver.frames(60); // every wanted tile is in
    const MapPosition& position = model().getMapPosition();
    const std::uint32_t before = model().getDamagedTiles();
    // A layer whose length runs past the tile.
    static const char damaged[] = {0x1A, 0x7F, 0x0A, 0x01, 'x'};
    instantfetcher::deliver(
        TileFetcher::Result{position.tileX + 1, position.tileY, position.zoom, damaged, sizeof damaged, true});
    view().checkTileFetcherResult();
    const vecta::CacheTile& slot = mapCache.getMapCacheTile(position.tileX + 1, position.tileY, position.zoom);
    EXPECT_FALSE(slot.pending);
    EXPECT_EQ(slot.size, 0u);
    EXPECT_EQ(model().getDamagedTiles(), before + 1);
}

} // namespace
