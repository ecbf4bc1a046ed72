#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <limits>
#include <memory>

#include "model/MapProjection.hpp"
#include "model/Model.hpp"
#include "model/TileZoomInfo.hpp"
#include "model_tests/RecordingListener.hpp"

namespace {

using Calls = std::vector<std::string>;

class ModelPosition : public ::testing::Test {
protected:
    ModelPosition() { model->bind(&listener); }

    std::unique_ptr<Model> model = std::make_unique<Model>();
    RecordingListener listener;
};

TEST(MapProjection, StartPositionLiesInTile4327_2544AtZoom13)
{
    const MapUnits units = toMapUnits({56.1699f, 10.190293f}, 13);
    EXPECT_EQ(units.tileX, 4327);
    EXPECT_EQ(units.tileY, 2544);
    // Exactly the start view's constants: single precision throughout.
    EXPECT_EQ(units.x, 17727020);
    EXPECT_EQ(units.y, 10420245);
}

TEST(MapProjection, InverseReturnsTheCoordinateWithinFloatPrecision)
{
    const vecta::Coordinate back = toCoordinate(17727020.0f, 10420245.0f, 13);
    EXPECT_NEAR(back.latitude, 56.1699f, 2e-5f);
    EXPECT_NEAR(back.longitude, 10.190293f, 2e-5f);
    // The world's top-left corner and centre.
    EXPECT_NEAR(toCoordinate(0.0f, 0.0f, 0).longitude, -180.0f, 1e-4f);
    EXPECT_NEAR(toCoordinate(2048.0f, 2048.0f, 0).latitude, 0.0f, 1e-4f);
}

TEST(MapProjection, OutOfWorldInputSaturatesInsteadOfOverflowing)
{
    const MapUnits pole = toMapUnits({90.0f, 0.0f}, 16);
    EXPECT_NEAR(pole.y, 0, 64); // clamped to the projection's edge
    const MapUnits east = toMapUnits({0.0f, 1e30f}, 16);
    EXPECT_EQ(east.x, 2147483520);
    EXPECT_EQ(truncateToInt32(std::numeric_limits<float>::quiet_NaN()), 0);
}

TEST_F(ModelPosition, SetScaleClampsAndDerivesZoomAndTileScale)
{
    struct Case {
        float requested, scale;
        unsigned zoom;
        float tileScale;
    };
    for (const Case c : {Case{0.0f, 0.005f, 8, 0.16f}, Case{10.0f, 1.5f, 16, 0.1875f}, Case{0.25f, 0.25f, 14, 0.125f},
                         Case{1.0f, 1.0f, 16, 0.125f}, Case{0.49f, 0.49f, 14, 0.245f}}) {
        SCOPED_TRACE(c.requested);
        model->setScale(c.requested);
        const MapPosition& position = model->getMapPosition();
        EXPECT_FLOAT_EQ(position.scale, c.scale);
        EXPECT_EQ(position.zoom, c.zoom);
        EXPECT_FLOAT_EQ(position.tileScale, c.tileScale);
        // The tile follows the zoom level: the start tile 4327 at zoom 13
        // halves or doubles with each level.
        const int levelsAbove13 = static_cast<int>(c.zoom) - 13;
        if (levelsAbove13 >= 0) {
            EXPECT_EQ(position.tileX >> levelsAbove13, 4327);
        } else {
            EXPECT_EQ(position.tileX, 4327 >> -levelsAbove13);
        }
        EXPECT_EQ(position.x >> 12, position.tileX);
    }
    EXPECT_EQ(listener.calls.size(), 5u);
}

TEST_F(ModelPosition, UnchangedOrNotANumberScaleLeavesThePositionAlone)
{
    model->setScale(0.3f);
    const MapPosition before = model->getMapPosition();
    listener.calls.clear();
    model->setScale(0.3f);
    model->setScale(std::nanf(""));
    model->setRotation(std::nanf(""));
    model->setCoordinates(std::nanf(""), 10.0f);
    EXPECT_TRUE(listener.calls.empty());
    EXPECT_EQ(model->getMapPosition().scale, before.scale);
    EXPECT_EQ(model->getMapPosition().zoom, before.zoom);
    EXPECT_EQ(model->getMapPosition().x, before.x);
}

TEST_F(ModelPosition, SetCoordinatesEndsFollowModeBeforeAnnouncingThePosition)
{
    ASSERT_EQ(model->getPizzaModel().getMoveMode(), MoveMode::FollowPizza);
    const vecta::Coordinate same = model->getMapPosition().coordinate;
    model->setCoordinates(same.latitude, same.longitude);
    EXPECT_EQ(model->getPizzaModel().getMoveMode(), MoveMode::Free);
    EXPECT_EQ(listener.calls, (Calls{"moveModeChanged", "mapPositionChanged"}));

    listener.calls.clear();
    model->setCoordinates(same.latitude, same.longitude);
    EXPECT_EQ(listener.calls, (Calls{"mapPositionChanged"}));
}

TEST_F(ModelPosition, SetCoordinatesRefreshesOnlyTheActiveSimulationsCache)
{
    const vecta::Coordinate end = DirectionsData.back();
    model->setActiveScreen(ActiveScreen::DogTrack);
    model->setCoordinates(end.latitude, end.longitude);
    EXPECT_NE(CachedDirections.back().x, 0); // still relative to the old centre

    model->setActiveScreen(ActiveScreen::Pizza);
    model->setCoordinates(end.latitude, end.longitude);
    EXPECT_EQ(CachedDirections.back().x, 0);
    EXPECT_EQ(CachedDirections.back().y, 0);
}

TEST_F(ModelPosition, ZoomLevelChangeBringsTheActiveCacheToTheNewLevel)
{
    const vecta::Coordinate end = DirectionsData.back();
    const auto expectCurrent = [this](vecta::Coordinate point, vecta::Point cached) {
        const vecta::Point expected = offsetFromCenter(point, model->getMapPosition());
        EXPECT_EQ(cached.x, expected.x);
        EXPECT_EQ(cached.y, expected.y);
    };
    model->setActiveScreen(ActiveScreen::Pizza);
    model->setCoordinates(end.latitude + 0.01f, end.longitude);
    model->setScale(0.6f); // zoom 13 to 15: offsets four times as large
    ASSERT_EQ(model->getMapPosition().zoom, 15);
    expectCurrent(end, CachedDirections.back());

    model->setActiveScreen(ActiveScreen::DogTrack);
    model->setCoordinates(56.18f, 10.18f);
    model->setScale(0.2f);
    ASSERT_EQ(model->getMapPosition().zoom, 13);
    const DogTrackModel::DogTrail& trail = model->getDogTrackModel().getTrails()[0];
    expectCurrent(trail.points[0], trail.offsets[0]);
}

TEST_F(ModelPosition, RotationCentreComparesTheStoredIntegersAsFloats)
{
    model->setRotationCenter(400.0f, 240.0f);
    EXPECT_TRUE(listener.calls.empty());
    model->setRotationCenter(400.7f, 240.2f);
    EXPECT_EQ(listener.calls, (Calls{"mapPositionChanged"}));
    EXPECT_EQ(model->getMapPosition().rotationCenterX, 400);
    EXPECT_EQ(model->getMapPosition().rotationCenterY, 240);
}

// A region from a flash image: the view, the route and the dogs start there,
// at the zoom level its scale calls for.
TEST(ModelRegion, StartsTheViewTheDeliveryAndTheDogsInTheRegion)
{
    std::array<vecta::Coordinate, directionsPointCount> route{};
    for (std::size_t i = 0; i < route.size(); ++i) {
        route[i] = {47.17f + 0.0001f * static_cast<float>(i), 9.54f};
    }
    const Region region{{47.18f, 9.545f}, 0.5f, {47.175f, 9.541f}, route.data()};
    Model model(region);
    const MapPosition& position = model.getMapPosition();
    EXPECT_EQ(position.coordinate.latitude, 47.18f);
    EXPECT_EQ(position.coordinate.longitude, 9.545f);
    EXPECT_EQ(position.scale, 0.5f);
    const TileZoomInfo level(0.5f);
    EXPECT_EQ(position.zoom, level.zoom);
    EXPECT_EQ(position.tileScale, level.tileScale);
    const MapUnits units = toMapUnits({47.18f, 9.545f}, level.zoom);
    EXPECT_EQ(position.x, units.x);
    EXPECT_EQ(position.tileY, units.tileY);
    EXPECT_EQ(model.getStart().latitude, 47.18f);
    EXPECT_EQ(model.getPizzaModel().getHome().latitude, route.back().latitude);
    EXPECT_EQ(model.getDogTrackModel().getDogPositions()[0].longitude, 9.541f);
    EXPECT_EQ(model.getDogTrackModel().getOwnerPosition().latitude, 47.175f);
    // The route is drawn relative to the region's view, not Aarhus.
    const vecta::Point first = CachedDirections[0];
    const vecta::Point expected = offsetFromCenter(route[0], position);
    EXPECT_EQ(first.x, expected.x);
    EXPECT_EQ(first.y, expected.y);
}

} // namespace
