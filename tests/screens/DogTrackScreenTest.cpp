#include <gtest/gtest.h>

#include "FrameDriver.hpp"
#include "ScreenTree.hpp"
#include "dogtrack_screen/DogTrackView.hpp"
#include "images/BitmapDatabase.hpp"

namespace {

class DogTrackScreen : public ::testing::Test {
protected:
    DogTrackScreen()
    {
        driver.resetModel();
        driver.heap.app.gotoDogTrackScreenNoTransition();
        driver.frame();
        ui::Screen& screen = *driver.heap.app.getCurrentScreen();
        // Draw order: the owner over the five dogs.
        markers = drawablesOf<vecta::WaypointWidget>(screen);
        map = drawablesOf<vecta::MapWidget>(screen).at(0);
        trails = overlaysOf<vecta::RouteOverlay>(*map);
    }

    const vecta::WaypointWidget& owner() const { return *markers.at(5); }
    const vecta::WaypointWidget& dog(std::size_t i) const { return *markers.at(i); }
    const MapPosition& position() const { return driver.heap.model.getMapPosition(); }
    const DogTrackModel& dogs() const { return driver.heap.model.getDogTrackModel(); }

    FrameDriver driver;
    std::vector<vecta::WaypointWidget*> markers;
    vecta::MapWidget* map = nullptr;
    std::vector<const vecta::RouteOverlay*> trails;
};

TEST_F(DogTrackScreen, EnteringCentresTheOwnerAtZoom16WithTheDogsBesideHim)
{
    ASSERT_EQ(markers.size(), 6u);
    ASSERT_EQ(trails.size(), 5u);
    EXPECT_EQ(driver.heap.model.getActiveScreen(), ActiveScreen::DogTrack);
    EXPECT_EQ(position().zoom, 16);
    EXPECT_FLOAT_EQ(position().tileScale, 0.12690744f);
    EXPECT_EQ(map->zoom, 16);
    // 24 x 24 owner icon and 12 x 12 dog icons centred on the anchor.
    EXPECT_EQ(owner().getIcon().getBitmap().getId(), BITMAP_IMAGE_START_ICON_ID);
    EXPECT_NEAR(owner().getIcon().getX(), 388, 1);
    EXPECT_NEAR(owner().getIcon().getY(), 168, 1);
    for (std::size_t i = 0; i < dogCount; ++i) {
        EXPECT_EQ(dog(i).getIcon().getBitmap().getId(), BITMAP_IMAGE_DOG_ICON_ID);
        EXPECT_NEAR(dog(i).getIcon().getX(), 394, 1);
        EXPECT_NEAR(dog(i).getIcon().getY(), 174, 1);
    }
    // The first simulation frame appended a second, identical point.
    for (const vecta::RouteOverlay* trail : trails) {
        EXPECT_EQ(trail->routeLength, 2u);
    }
}

TEST_F(DogTrackScreen, TrailsAreReadInPlaceFromTheModel)
{
    driver.frames(600);
    for (std::size_t i = 0; i < dogCount; ++i) {
        // The first overlay attached is drawn last: dog 4's comes first.
        const vecta::RouteOverlay& trail = *trails.at(dogCount - 1 - i);
        EXPECT_EQ(trail.routePoints, dogs().getTrails()[i].offsets.data());
        // The start and one point per move, at frames 0, 15, ..., 600.
        EXPECT_EQ(trail.routeLength, 42u);
    }
}

TEST_F(DogTrackScreen, PanningAwayLeavesTheOwnerBehindAndPinsTheDogsToTheEdge)
{
    driver.frames(200);
    driver.heap.model.setCoordinates(DEFAULT_POSITION.latitude, DEFAULT_POSITION.longitude - 0.05f);
    driver.frame();
    // The owner lies some 3 km east, far right of the screen.
    EXPECT_GT(owner().getIcon().getX(), 800);
    for (std::size_t i = 0; i < dogCount; ++i) {
        EXPECT_EQ(dog(i).getIcon().getRect().right(), 800) << i;
        EXPECT_TRUE(dog(i).getIcon().isVisible());
    }
}

TEST(DogTrackFromTheMenu, TheMenusDogButtonEntersTheDogTracker)
{
    FrameDriver driver;
    driver.heap.app.gotoMenuScreenNoTransition();
    driver.frame();
    driver.tap(560, 240);
    driver.frame();
    EXPECT_NE(dynamic_cast<DogTrackView*>(driver.heap.app.getCurrentScreen()), nullptr);
    EXPECT_EQ(driver.heap.model.getActiveScreen(), ActiveScreen::DogTrack);
}

} // namespace
