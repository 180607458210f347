// The race flown by fixed steps alone, as the main loop does, with no window and no picture:
// the physics world's update, the simulation's step, then whatever decides the next step's
// controls (the autopilot, or a recorded flight the simulation reads itself). Target times,
// imported ghosts and the tests fly the race this way.
#pragma once

#include "game/race/RaceSimulation.hpp"
#include "physics/PhysicsService.hpp"
#include "physics/Step.hpp"

namespace kes {

struct HeadlessRace {
    explicit HeadlessRace(Course course = firstCourse(), Difficulty difficulty = Difficulty::hard)
        : simulation(physics, difficulty, std::move(course)) {}

    void step() {
        physics.world->update(kFixedStep);
        simulation.fixedUpdate();
        ++steps;
    }

    PhysicsService physics;
    RaceSimulation simulation;
    std::uint64_t steps = 0;  // taken by this runner
};

}  // namespace kes
