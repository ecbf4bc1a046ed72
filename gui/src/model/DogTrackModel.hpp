#pragma once

#include <array>
#include <cstdint>
#include <random>

#include "model/MapProjection.hpp"
#include "vecta/Geometry.hpp"

class Model;

inline constexpr std::uint32_t DOG_TRAIL_SIZE = 200;
inline constexpr std::size_t dogCount = 5;
inline constexpr vecta::Coordinate DEFAULT_POSITION{56.185672760009766f, 10.18172550201416f};

// A heading turned by delta, wrapped back into [0, 2 pi].
float turnHeading(float heading, float delta);

// Five dogs roaming away from their owner on seeded random walks, each
// leaving a trail of up to DOG_TRAIL_SIZE points.
class DogTrackModel {
public:
    struct DogState {
        float heading; // radians, 0 = north, pi/2 = east, kept within [0, 2 pi]
        float speed;   // km per frame of elapsed simulation time
    };

    struct DogTrail {
        std::uint32_t count;
        std::array<vecta::Coordinate, DOG_TRAIL_SIZE> points;
        std::array<vecta::Point, DOG_TRAIL_SIZE> offsets; // relative to the map centre
    };

    static constexpr std::uint32_t framesPerMove = 15;

    DogTrackModel(Model* model, vecta::Coordinate start);

    void tick();
    void moveDog(vecta::Coordinate& position, DogState& state, int elapsed);
    void updateTrailCache();

    vecta::Coordinate getOwnerPosition() const { return ownerPosition; }
    const std::array<vecta::Coordinate, dogCount>& getDogPositions() const { return dogPositions; }
    const std::array<DogTrail, dogCount>& getTrails() const { return trails; }
    const std::array<DogState, dogCount>& getDogStates() const { return dogStates; }
    std::uint32_t getSteps() const { return steps; }

private:
    void append(DogTrail& trail, vecta::Coordinate position);

    Model* model;
    std::mt19937 engine;
    vecta::Coordinate ownerPosition; // where the dogs start
    std::array<vecta::Coordinate, dogCount> dogPositions{};
    std::array<DogTrail, dogCount> trails{};
    std::uint32_t steps = 0;
    std::array<DogState, dogCount> dogStates{};
    // Frames ticked in this run; never reset, so the walk goes on where it
    // stopped when the screen is entered again.
    std::uint32_t frameCount = 0;
};
