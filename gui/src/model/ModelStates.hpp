#pragma once

#include <cstdint>

// Which simulation the model ticks: the one of the screen on show.
enum class ActiveScreen : std::uint32_t { None = 0, Pizza = 1, DogTrack = 2 };

enum class PizzaState : std::uint32_t { Idle = 0, OnItsWay = 1, Arrived = 2 };

// Whether the pizza screen keeps the map on the courier or leaves it to the user.
enum class MoveMode : std::uint32_t { FollowPizza = 0, Free = 1 };
