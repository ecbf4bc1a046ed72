#include "model/DogTrackModel.hpp"

#include <algorithm>

#include "model/Model.hpp"
#include "model/UniformDraw.hpp"
#include "platform/Assert.hpp"
#include "portable/Math.hpp"

namespace {

constexpr std::uint32_t randomSeed = 36867;
constexpr std::uint32_t lastMoveStep = DOG_TRAIL_SIZE - 1;
constexpr int longestRunFrames = 1000;
constexpr float fullTurn = 6.2831855f;
constexpr double fullTurnExact = 6.283185307179586;
constexpr float turnLimit = 0.5f;
constexpr float slowestSpeed = 0.001f;
constexpr float fastestSpeed = 0.01f;
// Earth radius in km times degrees per radian.
constexpr float kmPerDegreeLatitude = 365031.40625f;
constexpr double earthRadiusKm = 6371.0;
constexpr double degreesPerRadian = 57.295780181884766;
constexpr double pi = 3.141592653589793;

} // namespace

float turnHeading(float heading, float delta)
{
    float turned = heading + delta;
    if (turned < 0.0f) {
        turned = static_cast<float>(turned + fullTurnExact);
    }
    if (turned > fullTurnExact) {
        turned = static_cast<float>(turned - fullTurnExact);
    }
    return turned;
}

DogTrackModel::DogTrackModel(Model* owner, vecta::Coordinate start)
    : model(owner), engine(randomSeed), ownerPosition(start)
{
    for (std::size_t i = 0; i < dogCount; ++i) {
        dogPositions[i] = start;
        DogTrail& trail = trails[i];
        append(trail, start);
        VECTA_ASSERT(trail.count <= DOG_TRAIL_SIZE);
        dogStates[i].heading = uniformDraw(engine, 0.0f, fullTurn);
        dogStates[i].speed = uniformDraw(engine, slowestSpeed, fastestSpeed);
    }
    steps = 1;
}

void DogTrackModel::tick()
{
    if (steps <= lastMoveStep && frameCount % framesPerMove == 0) {
        for (std::size_t i = 0; i < dogCount; ++i) {
            moveDog(dogPositions[i], dogStates[i], static_cast<int>(frameCount));
            append(trails[i], dogPositions[i]);
        }
        ++steps;
    }
    model->notify(&ModelListener::dogPositionsChanged);
    ++frameCount;
}

void DogTrackModel::moveDog(vecta::Coordinate& position, DogState& state, int elapsed)
{
    const int runFrames = std::min(elapsed, longestRunFrames);
    state.heading = turnHeading(state.heading, uniformDraw(engine, -turnLimit, turnLimit));
    const float distance = static_cast<float>(runFrames) * state.speed;
    const float north = distance * portable::cos(state.heading);
    const float east = distance * portable::sin(state.heading);
    const float startLatitude = position.latitude;
    position.latitude = startLatitude + north / kmPerDegreeLatitude;
    const float latitudeCosine = portable::cos(static_cast<float>(startLatitude * pi / 180.0));
    position.longitude =
        position.longitude + static_cast<float>(east / (latitudeCosine * earthRadiusKm * degreesPerRadian));
}

void DogTrackModel::updateTrailCache()
{
    const MapPosition& position = model->getMapPosition();
    for (DogTrail& trail : trails) {
        for (std::uint32_t i = 0; i < trail.count; ++i) {
            trail.offsets[i] = offsetFromCenter(trail.points[i], position);
        }
    }
}

void DogTrackModel::append(DogTrail& trail, vecta::Coordinate position)
{
    // Guarded by the step limit in tick(); a full trail must never be written past.
    VECTA_ASSERT(trail.count < DOG_TRAIL_SIZE);
    trail.points[trail.count] = position;
    trail.offsets[trail.count] = offsetFromCenter(position, model->getMapPosition());
    ++trail.count;
}
