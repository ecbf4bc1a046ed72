#include <gtest/gtest.h>

#include <cstring>
#include <memory>

#include "model/Model.hpp"
#include "model_tests/RecordingListener.hpp"

namespace {

class DogSimulation : public ::testing::Test {
protected:
    DogSimulation()
    {
        model->bind(&listener);
        model->setActiveScreen(ActiveScreen::DogTrack);
    }

    DogTrackModel& dogs() { return model->getDogTrackModel(); }

    void tick(int frames)
    {
        for (int i = 0; i < frames; ++i) {
            model->tick();
        }
    }

    std::unique_ptr<Model> model = std::make_unique<Model>();
    RecordingListener listener;
};

// FNV-1a over the bytes of every trail point, dog 0 first.
std::uint32_t trailChecksum(const std::array<DogTrackModel::DogTrail, dogCount>& trails)
{
    std::uint32_t hash = 0x811c9dc5u;
    for (const DogTrackModel::DogTrail& trail : trails) {
        for (std::uint32_t i = 0; i < trail.count; ++i) {
            unsigned char bytes[sizeof(vecta::Coordinate)];
            std::memcpy(bytes, &trail.points[i], sizeof bytes);
            for (const unsigned char byte : bytes) {
                hash = (hash ^ byte) * 0x01000193u;
            }
        }
    }
    return hash;
}

TEST(DogHeading, TurnsWrapIntoOneRevolution)
{
    EXPECT_FLOAT_EQ(turnHeading(6.2f, 0.3f), 0.2168147f);
    EXPECT_FLOAT_EQ(turnHeading(0.1f, -0.4f), 5.983185f);
    EXPECT_FLOAT_EQ(turnHeading(3.0f, 0.4f), 3.4f);
}

// The expected values come from an independent reimplementation of the
// engine and the draw rule, not from this code.
TEST_F(DogSimulation, SeededDrawsGiveTheKnownHeadingsAndSpeeds)
{
    const std::array<DogTrackModel::DogState, dogCount>& states = dogs().getDogStates();
    EXPECT_EQ(states[0].heading, 3.2371675968170166f);
    EXPECT_EQ(states[0].speed, 0.009050076827406883f);
    EXPECT_EQ(states[4].heading, 3.846160650253296f);
    EXPECT_EQ(states[4].speed, 0.009319565258920193f);
    EXPECT_EQ(dogs().getSteps(), 1u);
    for (const DogTrackModel::DogTrail& trail : dogs().getTrails()) {
        EXPECT_EQ(trail.count, 1u);
    }

    // The first move only turns the dogs and records the start again.
    tick(1);
    EXPECT_EQ(states[0].heading, 3.1889688968658447f);
    EXPECT_EQ(states[2].heading, 0.38371866941452026f);
    EXPECT_EQ(listener.calls, (std::vector<std::string>{"dogPositionsChanged"}));
    const DogTrackModel::DogTrail& trail = dogs().getTrails()[0];
    ASSERT_EQ(trail.count, 2u);
    EXPECT_EQ(trail.points[1].latitude, DEFAULT_POSITION.latitude);
    EXPECT_EQ(trail.offsets[1].x, trail.offsets[0].x);

    tick(14);
    EXPECT_EQ(listener.calls.size(), 15u);
    EXPECT_EQ(dogs().getSteps(), 2u);
    tick(1);
    EXPECT_EQ(states[0].heading, 3.00425386428833f);
    EXPECT_EQ(dogs().getSteps(), 3u);
}

TEST_F(DogSimulation, WalkStopsAfter199MovesWithTheKnownTrails)
{
    tick(2971); // moves at frames 0, 15, ..., 2970
    EXPECT_EQ(dogs().getSteps(), 200u);
    const auto positions = dogs().getDogPositions();
    tick(600);
    EXPECT_EQ(listener.calls.size(), 3571u);
    for (std::size_t i = 0; i < dogCount; ++i) {
        EXPECT_EQ(dogs().getTrails()[i].count, DOG_TRAIL_SIZE);
        EXPECT_EQ(dogs().getDogPositions()[i].latitude, positions[i].latitude);
    }
    EXPECT_EQ(trailChecksum(dogs().getTrails()), 0xb60da080u);
    EXPECT_EQ(positions[0].latitude, 56.1879768371582f);
    EXPECT_EQ(positions[4].longitude, 10.183330535888672f);
}

TEST_F(DogSimulation, TrailOffsetsFollowTheMapCentre)
{
    tick(1000);
    const DogTrackModel::DogTrail& trail = dogs().getTrails()[1];
    const vecta::Coordinate last = trail.points[trail.count - 1];
    model->setCoordinates(last.latitude, last.longitude);
    EXPECT_EQ(trail.offsets[trail.count - 1].x, 0);
    EXPECT_EQ(trail.offsets[trail.count - 1].y, 0);
    const MapUnits first = toMapUnits(trail.points[0], model->getMapPosition().zoom);
    EXPECT_EQ(trail.offsets[0].x, first.x - model->getMapPosition().x);
}

} // namespace
