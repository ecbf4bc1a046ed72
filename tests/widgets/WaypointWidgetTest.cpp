#include <gtest/gtest.h>

#include "ui/Bitmap.hpp"
#include "ui/widgets/Box.hpp"
#include "vecta/widgets/PizzaWaypointWidget.hpp"
#include "vecta/widgets/WaypointWidget.hpp"

namespace {

// Sizes only: positioning reads nothing else of the table.
enum Icon : ui::BitmapId { Normal, Left, Top, Right, Bottom };
constexpr ui::Bitmap::BitmapData iconTable[] = {
    {nullptr, nullptr, 60, 60, 0, 0, 0, 0, 0, 0}, {nullptr, nullptr, 72, 60, 0, 0, 0, 0, 0, 0},
    {nullptr, nullptr, 60, 72, 0, 0, 0, 0, 0, 0}, {nullptr, nullptr, 72, 60, 0, 0, 0, 0, 0, 0},
    {nullptr, nullptr, 60, 72, 0, 0, 0, 0, 0, 0},
};

// Placed as on the map screens: 800 x 420 area, the map centre at (400, 180).
template <class Marker> void setUpMarker(Marker& marker, bool keepOnScreen)
{
    ui::Bitmap::registerBitmapDatabase(iconTable, 5);
    marker.setPosition(0, 0, 800, 420);
    marker.scaleX = marker.scaleY = 0.25f;
    marker.rotation = 0.0f;
    marker.rotationCenterX = marker.screenCenterX = 400.0f;
    marker.rotationCenterY = marker.screenCenterY = 180.0f;
    marker.keepOnScreen = keepOnScreen;
    marker.bitmaps = {Normal, Left, Top, Right, Bottom};
}

// Places the marker so that its point projects to screen pixel (px, py).
template <class Marker> void placeAt(Marker& marker, int px, int py)
{
    marker.offsetX = (px - 400) * 4;
    marker.offsetY = (py - 180) * 4;
    marker.updatePosition();
}

struct Placed {
    ui::BitmapId bitmap;
    int x;
    int y;
    bool operator==(const Placed&) const = default;
};

Placed placed(const vecta::WaypointWidget& marker)
{
    const ui::Image& icon = marker.getIcon();
    return {icon.getBitmap().getId(), icon.getX(), icon.getY()};
}

void PrintTo(const Placed& p, std::ostream* os)
{
    *os << "bitmap " << p.bitmap << " at (" << p.x << ", " << p.y << ")";
}

} // namespace

TEST(WaypointWidget, CentresTheIconOnTheScaledAndRotatedPoint)
{
    vecta::WaypointWidget marker;
    setUpMarker(marker, false);
    marker.offsetX = 402; // 100.5 pixels at scale 0.25, truncated
    marker.updatePosition();
    EXPECT_EQ(placed(marker), (Placed{Normal, 470, 150}));

    marker.rotation = 90.0f; // clockwise: east turns to south
    marker.updatePosition();
    EXPECT_EQ(placed(marker), (Placed{Normal, 370, 250}));

    // Without keepOnScreen a point far outside is simply centred there.
    placeAt(marker, 2000, -300);
    marker.rotation = 0.0f;
    marker.updatePosition();
    EXPECT_EQ(placed(marker), (Placed{Normal, 1970, -330}));
    EXPECT_TRUE(marker.getIcon().isVisible());

    // Nothing moves while the marker is hidden.
    marker.setVisible(false);
    placeAt(marker, 400, 180);
    EXPECT_EQ(placed(marker), (Placed{Normal, 1970, -330}));
}

TEST(WaypointWidget, KeepOnScreenPinsToTheEdgesWithEdgeIcons)
{
    vecta::WaypointWidget marker;
    setUpMarker(marker, true);
    placeAt(marker, 400, 180);
    EXPECT_EQ(placed(marker), (Placed{Normal, 370, 150}));
    // Exactly on the right edge is still inside: half the icon shows.
    placeAt(marker, 800, 180);
    EXPECT_EQ(placed(marker), (Placed{Normal, 770, 150}));
    placeAt(marker, 900, 180);
    EXPECT_EQ(placed(marker), (Placed{Right, 728, 150}));
    placeAt(marker, 300, 500);
    EXPECT_EQ(placed(marker), (Placed{Bottom, 270, 348}));
    placeAt(marker, -100, 200);
    EXPECT_EQ(placed(marker), (Placed{Left, 0, 170}));
    // Left of and above: the vertical edge icon wins, in the corner.
    placeAt(marker, -50, -50);
    EXPECT_EQ(placed(marker), (Placed{Top, 0, 0}));
}

TEST(WaypointWidget, PointsBeyondSixteenBitOffsetsNeverWrapIntoView)
{
    // 65,936 units east: truncated to 16 bits this would be 400 units, on
    // screen at x 500.
    vecta::WaypointWidget free;
    setUpMarker(free, false);
    free.offsetX = 65936;
    free.updatePosition();
    EXPECT_FALSE(free.getIcon().isVisible());
    free.offsetX = 400;
    free.updatePosition();
    EXPECT_TRUE(free.getIcon().isVisible());
    EXPECT_EQ(placed(free), (Placed{Normal, 470, 150}));

    vecta::WaypointWidget pinned;
    setUpMarker(pinned, true);
    pinned.offsetX = 65936;
    pinned.updatePosition();
    EXPECT_EQ(placed(pinned), (Placed{Right, 728, 150}));
    pinned.offsetX = -2000000;
    pinned.offsetY = 2000000;
    pinned.updatePosition();
    EXPECT_EQ(placed(pinned), (Placed{Bottom, 0, 348}));
    EXPECT_TRUE(pinned.getIcon().isVisible());
}

TEST(WaypointWidget, ClickNeedsPressAndReleaseOnTheVisibleIcon)
{
    vecta::WaypointWidget marker;
    setUpMarker(marker, false);
    placeAt(marker, 400, 180); // icon (370, 150) to (430, 210)
    const auto tap = [&marker](std::int16_t x0, std::int16_t y0, std::int16_t x1, std::int16_t y1) {
        marker.handleClickEvent(ui::ClickEvent(ui::ClickEvent::PRESSED, x0, y0));
        marker.handleClickEvent(ui::ClickEvent(ui::ClickEvent::RELEASED, x1, y1));
    };
    tap(400, 180, 400, 180); // no callback: ignored
    int clicks = 0;
    marker.clickedCallback = [&clicks] { ++clicks; };
    tap(370, 150, 429, 209);
    EXPECT_EQ(clicks, 1);
    tap(400, 180, 430, 180);
    tap(369, 180, 400, 180);
    marker.handleClickEvent(ui::ClickEvent(ui::ClickEvent::PRESSED, 400, 180));
    marker.handleClickEvent(ui::ClickEvent(ui::ClickEvent::CANCEL, 400, 180));
    EXPECT_EQ(clicks, 1);

    // A hidden marker keeps its icon where it was and takes no tap there.
    marker.setVisible(false);
    tap(400, 180, 400, 180);
    EXPECT_EQ(clicks, 1);
    marker.setVisible(true);
    tap(400, 180, 400, 180);
    EXPECT_EQ(clicks, 2);

    marker.offsetX = 1000000; // hidden where it was: too far to place
    marker.updatePosition();
    tap(400, 180, 400, 180);
    EXPECT_EQ(clicks, 2);
}

// The pizza screen's obstacles: the top bar and the order ring.
class PizzaMarker : public ::testing::Test {
protected:
    PizzaMarker()
    {
        setUpMarker(marker, true);
        ring.setXY(292, 311);
        marker.topPanel = &topBar;
        marker.roundButton = &ring;
    }

    const ui::Rect topBar{287, 0, 226, 54};
    ui::Box ring{216, 216, 0};
    PizzaWaypointWidget marker;
};

TEST_F(PizzaMarker, CornerOnTheBarsMiddleGoesBelowTheBar)
{
    // The guarded band is x 320 to 477; the corner (370, 10) lies on it.
    placeAt(marker, 400, 40);
    EXPECT_EQ(placed(marker), (Placed{Top, 340, 54}));
    // Over the bar's outer end the marker is left alone.
    placeAt(marker, 320, 40);
    EXPECT_EQ(placed(marker), (Placed{Normal, 290, 10}));
}

TEST_F(PizzaMarker, CornerInTheRingsDiscSitsOnItsRim)
{
    // Corner (390, 350): 10 left of the centre (400, 419), inside radius 108.
    placeAt(marker, 420, 380);
    EXPECT_EQ(placed(marker), (Placed{Bottom, 360, 239})); // 419 - sqrt(108^2 - 10^2) - 72
    // Off the disc, beside the ring: pinned to the area as usual.
    placeAt(marker, 150, 380);
    EXPECT_EQ(placed(marker), (Placed{Normal, 120, 350}));
}

TEST(PizzaWaypointWidget, BandBelowAnOffCentreButtonWithoutRimIsNoHit)
{
    // The band below the area is tested about the area's centre, the rim
    // about the button's: here the corner lies beyond the circle's width.
    const ui::Rect topBar(287, 0, 226, 54);
    ui::Box ring(216, 216, 0);
    ring.setXY(600, 311);
    PizzaWaypointWidget marker;
    setUpMarker(marker, true);
    marker.topPanel = &topBar;
    marker.roundButton = &ring;
    placeAt(marker, 380, 600);
    EXPECT_EQ(placed(marker), (Placed{Bottom, 350, 348}));
}
