#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "screens/FrameDriver.hpp"
#include "screens/PizzaScreenParts.hpp"
#include "ui/TouchGestures.hpp"

// The screens as the user sees them, compared with reference pictures.
// After an intended change to the look, write new references with
//   SCREEN_REFERENCE_UPDATE=1 build/default/tests/screens/screen_picture_tests
// from the repository root, look at them, and commit them. Every run leaves
// its pictures in the build tree (SCREEN_PICTURE_DIR).

namespace {

class ScreenPicture : public ::testing::Test {
protected:
    ScreenPicture() { driver.resetModel(); }

    void enter(void (FrontendApplicationBase::*request)())
    {
        (driver.heap.app.*request)();
        driver.frames(2);
    }

    // Lets the map tiles around the view arrive, one per frame.
    void loadTiles() { driver.frames(40); }

    void expectPicture(const std::string& name)
    {
        const std::string picture = std::string(SCREEN_PICTURE_DIR) + "/" + name + ".png";
        ASSERT_EQ(driver.savePicture(picture), "");
        if (!SCREEN_REAL_MAP_DATA) {
            GTEST_SKIP() << "the references show the real map data";
        }
        const std::string reference = std::string(SCREEN_REFERENCE_DIR) + "/" + name + ".png";
        if (std::getenv("SCREEN_REFERENCE_UPDATE") != nullptr) {
            ASSERT_EQ(driver.savePicture(reference), "");
            return;
        }
        const int differing = driver.differingPixels(reference);
        ASSERT_GE(differing, 0) << "cannot read " << reference;
        // Exact: a tolerance large enough for antialiasing noise also hides a
        // misplaced marker.
        EXPECT_EQ(differing, 0) << "pixels differing from " << reference << "; see " << picture;
    }

    FrameDriver driver;
};

TEST_F(ScreenPicture, PizzaScreenIdle)
{
    enter(&FrontendApplicationBase::gotoPizzaScreenNoTransition);
    loadTiles();
    expectPicture("pizza_idle");
}

TEST_F(ScreenPicture, PizzaOnItsWayOnATurnedMap)
{
    enter(&FrontendApplicationBase::gotoPizzaScreenNoTransition);
    driver.tap(400, 419); // order
    driver.frames(30 * 25);
    // Turn the map a quarter less than fully about the screen anchor.
    const PizzaScreenParts parts(*driver.heap.app.getCurrentScreen());
    driver.heap.model.setRotation(-35.0f);
    loadTiles();
    expectPicture("pizza_on_its_way_turned");
    EXPECT_TRUE(parts.courierMarker.isVisible());
}

TEST_F(ScreenPicture, PizzaInformationSecondPage)
{
    enter(&FrontendApplicationBase::gotoPizzaScreenNoTransition);
    driver.tap(759, 41);
    driver.tap(44, 436);
    loadTiles();
    expectPicture("pizza_information_2");
}

TEST_F(ScreenPicture, DogScreenAfter600Frames)
{
    enter(&FrontendApplicationBase::gotoDogTrackScreenNoTransition);
    driver.frames(600);
    expectPicture("dog_track_600");
}

} // namespace
