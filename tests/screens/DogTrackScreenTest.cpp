#include <gtest/gtest.h>

#include <cmath>

#include "board_config/BoardConfig.hpp"
#include "dogtrack_screen/DogTrackView.hpp"
#include "images/BitmapDatabase.hpp"
#include "model/MapProjection.hpp"
#include "screens/FrameDriver.hpp"
#include "screens/ScreenTree.hpp"

namespace {

class DogTrackScreen : public ::testing::Test {
protected:
    DogTrackScreen()
    {
        driver.resetModel();
        driver.heap.app.gotoDogTrackScreenNoTransition();
        driver.frame();
        findParts();
    }

    // The screen is rebuilt on every entry.
    void findParts()
    {
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

// Where a marker for `point` must stand: the anchor plus the map-turned,
// scaled offset.
ui::Matrix3x3::Point projected(const MapPosition& position, vecta::Coordinate point)
{
    const vecta::Point offset = offsetFromCenter(point, position);
    const double a = position.rotation * 3.141592653589793 / 180.0;
    const double x = offset.x * position.tileScale;
    const double y = offset.y * position.tileScale;
    return {static_cast<float>(400.0 + x * std::cos(a) - y * std::sin(a)),
            static_cast<float>(180.0 + x * std::sin(a) + y * std::cos(a))};
}

// Ten seconds in, the dogs have left the owner: each marker stands on its
// dog, on the plain and on the turned map, and the trails are the model's.
TEST_F(DogTrackScreen, MarkersAndTrailsFollowTheDogsOnAPlainAndATurnedMap)
{
    driver.frames(600);
    for (std::size_t i = 0; i < dogCount; ++i) {
        // The first overlay attached is drawn last: dog 4's comes first.
        const vecta::RouteOverlay& trail = *trails.at(dogCount - 1 - i);
        EXPECT_EQ(trail.routePoints, dogs().getTrails()[i].offsets.data());
        // The start and one point per move, at frames 0, 15, ..., 600.
        EXPECT_EQ(trail.routeLength, 42u);
    }
    for (const float rotation : {0.0f, 90.0f}) {
        driver.heap.model.setRotation(rotation);
        driver.frame();
        for (std::size_t i = 0; i < dogCount; ++i) {
            const ui::Matrix3x3::Point p = projected(position(), dogs().getDogPositions()[i]);
            ASSERT_GT(std::hypot(p.x - 400.0f, p.y - 180.0f), 3.0f) << i;
            EXPECT_NEAR(dog(i).getIcon().getX() + 6, p.x, 1.0f) << i << " at " << rotation;
            EXPECT_NEAR(dog(i).getIcon().getY() + 6, p.y, 1.0f) << i << " at " << rotation;
        }
        // The map turns about the owner, who stays on the anchor.
        EXPECT_NEAR(owner().getIcon().getX(), 388, 1);
        EXPECT_NEAR(owner().getIcon().getY(), 168, 1);
        for (const vecta::RouteOverlay* trail : trails) {
            EXPECT_EQ(trail->rotation, rotation);
        }
    }
}

TEST_F(DogTrackScreen, PanningAwayLeavesTheOwnerBehindAndPinsTheDogsToTheEdge)
{
    driver.frames(200);
    driver.heap.model.setCoordinates(DEFAULT_POSITION.latitude, DEFAULT_POSITION.longitude - 0.05f);
    driver.frame();
    // The owner lies some 3 km east, far right of the screen.
    EXPECT_GT(owner().getIcon().getX(), board::panelWidth);
    for (std::size_t i = 0; i < dogCount; ++i) {
        EXPECT_EQ(dog(i).getIcon().getRect().right(), board::panelWidth) << i;
        EXPECT_TRUE(dog(i).getIcon().isVisible());
    }
}

TEST_F(DogTrackScreen, WalkResumesWhereItStoppedAfterATripThroughTheMenu)
{
    driver.frames(20);
    const auto before = dogs().getDogPositions();
    ASSERT_EQ(dogs().getSteps(), 3u);
    driver.heap.app.gotoMenuScreenNoTransition();
    driver.frames(60);
    EXPECT_EQ(dogs().getSteps(), 3u);
    EXPECT_EQ(dogs().getDogPositions()[0].latitude, before[0].latitude);
    driver.heap.app.gotoDogTrackScreenNoTransition();
    driver.frames(9);
    EXPECT_EQ(dogs().getSteps(), 3u);
    driver.frame(); // the walk's frame 30
    EXPECT_EQ(dogs().getSteps(), 4u);
    findParts();
    EXPECT_EQ(trails.at(0)->routeLength, 4u);
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
